#include "PassClock.h"

#include <QDateTime>
#include <QThread>

namespace vorn::diskpass {

PassClock SystemClock() {
    return [] { return QDateTime::currentSecsSinceEpoch(); };
}

PassSleeper SystemSleeper() {
    return [](int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); };
}

} // namespace vorn::diskpass
