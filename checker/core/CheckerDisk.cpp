#include "CheckerDisk.h"

#include <QDateTime>

using namespace vorn::diskpass;

namespace vorn::checker {

VORN_IMPLEMENT_DYNCREATE(CDisk, CScannedDisk)

CDisk::CDisk() : m_timeBaseline(BaselineNotWritten()) {}

std::int64_t CDisk::BaselineNotWritten() {
    // Worked out once: a local time costs a pass through the time zone rules,
    // and every disk of every scan starts with this one.
    static const std::int64_t time =
        QDateTime(QDate(1971, 1, 1), QTime(0, 0), Qt::LocalTime).toSecsSinceEpoch();
    return time;
}

} // namespace vorn::checker
