#include "CheckerClock.h"

#include <QDateTime>
#include <QThread>

CheckerClock SystemClock() {
    return [] { return QDateTime::currentSecsSinceEpoch(); };
}

CheckerSleeper SystemSleeper() {
    return [](int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); };
}
