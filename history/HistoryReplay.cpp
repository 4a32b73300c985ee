#include "HistoryReplay.h"

#include "HistoryFold.h"
#include "SeriesCodes.h"
#include "Sql.h"

#include <QSqlQuery>

#include <algorithm>
#include <limits>
#include <map>
#include <vector>

namespace vorn::history {

namespace {

struct Row {
    std::int64_t t = 0;
    int series = 0;
    QVariant a, b, c; // per table: span and count; low, high and last; value
};

struct DiskRows {
    std::vector<Row> buckets, ranges, changes, singles;
};

// One table's rows in time order, handed to the disks they belong to: a
// single pass over the table, whose rows are in time order of every disk.
// unitMs: what one of the table's times stands for.
void Load(const QSqlDatabase& db, const QString& columns, const QString& table, int columnCount,
          std::int64_t unitMs, int disk, std::vector<Row> DiskRows::*into,
          std::map<int, DiskRows>* disks) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql =
        QStringLiteral("SELECT disk, %1 FROM %2%3 ORDER BY t")
            .arg(columns, table, disk ? QStringLiteral(" WHERE disk = %1").arg(disk) : QString());
    if (!RunSql(&query, sql))
        return;
    while (query.next()) {
        Row row;
        row.t = query.value(1).toLongLong() * unitMs;
        if (columnCount > 1)
            row.series = query.value(2).toInt();
        if (columnCount > 2)
            row.a = query.value(3);
        if (columnCount > 3)
            row.b = query.value(4);
        if (columnCount > 4)
            row.c = query.value(5);
        ((*disks)[query.value(0).toInt()].*into).push_back(std::move(row));
    }
}

QList<StoredReading> ReplayDisk(int disk, const DiskIdentity& identity, const DiskRows& rows,
                                const QHash<int, QString>& names, std::int64_t sinceMs) {
    const std::vector<Row>& buckets = rows.buckets; // (t, span, count) in t, series and a
    const std::vector<Row>& ranges = rows.ranges;
    const std::vector<Row>& changes = rows.changes;
    const std::vector<Row>& singles = rows.singles;

    constexpr std::int64_t kEnd = std::numeric_limits<std::int64_t>::max();
    const auto head = [](const std::vector<Row>& list, std::size_t at) {
        return at < list.size() ? list[at].t : kEnd;
    };
    QList<StoredReading> result;
    SeriesValues state;
    std::size_t b = 0, r = 0, c = 0, s = 0;
    for (;;) {
        const std::int64_t t = std::min(std::min(head(buckets, b), head(ranges, r)),
                                        std::min(head(changes, c), head(singles, s)));
        if (t == kEnd)
            break;
        int low = -1;
        int high = -1;
        QMap<int, std::int64_t> lows, highs;
        for (; r < ranges.size() && ranges[r].t == t; ++r) {
            const Row& row = ranges[r];
            if (!row.c.isNull()) {
                // A bound left out is the one the start and the end give.
                const std::int64_t last = row.c.toLongLong();
                const std::int64_t began = state.value(row.series, last);
                const std::int64_t rowLow =
                    row.a.isNull() ? std::min(began, last) : row.a.toLongLong();
                const std::int64_t rowHigh =
                    row.b.isNull() ? std::max(began, last) : row.b.toLongLong();
                lows.insert(row.series, rowLow);
                highs.insert(row.series, rowHigh);
                if (row.series == series::kTemperature) {
                    low = int(rowLow);
                    high = int(rowHigh);
                }
            }
            if (row.c.isNull())
                state.remove(row.series);
            else
                state.insert(row.series, row.c.toLongLong());
        }
        for (; c < changes.size() && changes[c].t == t; ++c) {
            if (changes[c].a.isNull())
                state.remove(changes[c].series);
            else
                state.insert(changes[c].series, changes[c].a.toLongLong());
        }
        const auto give = [&](std::int64_t span, int count) {
            StoredReading stored;
            stored.diskNumber = disk;
            stored.reading.disk = identity;
            stored.reading.timeMs = t;
            FillReading(state, names, &stored.reading);
            stored.spanMs = span;
            stored.count = count;
            if (span > 0) {
                stored.lows = lows;
                stored.highs = highs;
            }
            const int temperature = stored.reading.temperature;
            stored.temperatureMin = low != -1 ? low : temperature;
            stored.temperatureMax = high != -1 ? high : temperature;
            result.append(stored);
        };
        for (; b < buckets.size() && buckets[b].t == t; ++b) {
            const std::int64_t span = buckets[b].series * kHourMs;
            if (t + span > sinceMs)
                give(span, buckets[b].a.toInt());
        }
        for (; s < singles.size() && singles[s].t == t; ++s) {
            if (t >= sinceMs)
                give(0, 1);
        }
    }
    return result;
}

} // namespace

QList<StoredReading> Replay(const QSqlDatabase& db, int disk,
                            const QMap<int, DiskIdentity>& identities,
                            const QHash<int, QString>& names, std::int64_t sinceMs) {
    std::map<int, DiskRows> disks;
    Load(db, QStringLiteral("t, span, count"), QStringLiteral("buckets"), 3, kHourMs, disk,
         &DiskRows::buckets, &disks);
    Load(db, QStringLiteral("t, series, low, high, last"), QStringLiteral("bucket_values"), 5,
         kHourMs, disk, &DiskRows::ranges, &disks);
    Load(db, QStringLiteral("t, series, value"), QStringLiteral("changes"), 3, 1, disk,
         &DiskRows::changes, &disks);
    Load(db, QStringLiteral("t"), QStringLiteral("readings"), 1, 1, disk, &DiskRows::singles,
         &disks);
    QList<StoredReading> result;
    for (const auto& [number, rows] : disks)
        result += ReplayDisk(number, identities.value(number), rows, names, sinceMs);
    return result;
}

} // namespace vorn::history
