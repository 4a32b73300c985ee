#pragma once

#include "Reading.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>

#include <cstdint>

namespace vorn::history {

// One disk's stored readings rebuilt from its days, hours, single readings
// and the changes between them, from sinceMs on (a bucket that ends after
// sinceMs included).
QList<StoredReading> ReplayDisk(const QSqlDatabase& db, int disk, const DiskIdentity& identity,
                                const QHash<int, QString>& names, std::int64_t sinceMs);

} // namespace vorn::history
