#include "PassClock.h"

#include <QDateTime>
#include <QThread>

PassClock SystemClock() {
    return [] { return QDateTime::currentSecsSinceEpoch(); };
}

PassSleeper SystemSleeper() {
    return [](int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); };
}
