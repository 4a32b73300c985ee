#include "CDisk.h"

#include <QDateTime>

VORN_IMPLEMENT_DYNCREATE(CDisk, CScannedDisk)

CDisk::CDisk() : m_timeBaseline(BaselineNotWritten()) {}

std::int64_t CDisk::BaselineNotWritten() {
    return QDateTime(QDate(1971, 1, 1), QTime(0, 0), Qt::LocalTime).toSecsSinceEpoch();
}
