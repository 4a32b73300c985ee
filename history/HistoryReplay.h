#pragma once

#include "Reading.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSqlDatabase>

#include <cstdint>

namespace vorn::history {

// The stored readings of one disk (0: of every disk, disk by disk) rebuilt
// from their days, hours, single readings and the changes between them,
// from sinceMs on (a bucket that ends after sinceMs included).
QList<StoredReading> Replay(const QSqlDatabase& db, int disk,
                            const QMap<int, DiskIdentity>& identities,
                            const QHash<int, QString>& names, std::int64_t sinceMs);

} // namespace vorn::history
