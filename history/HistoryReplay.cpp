#include "HistoryReplay.h"

#include "SeriesCodes.h"
#include "Sql.h"

#include <QSqlQuery>

#include <limits>
#include <vector>

namespace vorn::history {

namespace {

struct Row {
    std::int64_t t = 0;
    int series = 0;
    QVariant a, b, c; // per table: span and count; low, high and last; value
};

std::vector<Row> Load(const QSqlDatabase& db, const QString& sql, int disk, int columns) {
    std::vector<Row> rows;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!RunSql(&query, sql, {disk}))
        return rows;
    while (query.next()) {
        Row row;
        row.t = query.value(0).toLongLong();
        if (columns > 1)
            row.series = query.value(1).toInt();
        if (columns > 2)
            row.a = query.value(2);
        if (columns > 3)
            row.b = query.value(3);
        if (columns > 4)
            row.c = query.value(4);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

QList<StoredReading> ReplayDisk(const QSqlDatabase& db, int disk, const DiskIdentity& identity,
                                const QHash<int, QString>& names, std::int64_t sinceMs) {
    // Buckets carry (t, span, count) in t, series and a.
    const std::vector<Row> buckets =
        Load(db, QStringLiteral("SELECT t, span, count FROM buckets WHERE disk = ? ORDER BY t"),
             disk, 3);
    const std::vector<Row> ranges =
        Load(db,
             QStringLiteral("SELECT t, series, low, high, last FROM bucket_values WHERE disk = ? "
                            "ORDER BY t"),
             disk, 5);
    const std::vector<Row> changes =
        Load(db, QStringLiteral("SELECT t, series, value FROM changes WHERE disk = ? ORDER BY t"),
             disk, 3);
    const std::vector<Row> singles =
        Load(db, QStringLiteral("SELECT t FROM readings WHERE disk = ? ORDER BY t"), disk, 1);

    constexpr std::int64_t kEnd = std::numeric_limits<std::int64_t>::max();
    const auto head = [](const std::vector<Row>& rows, std::size_t at) {
        return at < rows.size() ? rows[at].t : kEnd;
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
        for (; r < ranges.size() && ranges[r].t == t; ++r) {
            const Row& row = ranges[r];
            if (row.c.isNull())
                state.remove(row.series);
            else
                state.insert(row.series, row.c.toLongLong());
            if (row.series == series::kTemperature && !row.a.isNull()) {
                low = row.a.toInt();
                high = row.b.toInt();
            }
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
            const int temperature = stored.reading.temperature;
            stored.temperatureMin = low != -1 ? low : temperature;
            stored.temperatureMax = high != -1 ? high : temperature;
            result.append(stored);
        };
        for (; b < buckets.size() && buckets[b].t == t; ++b) {
            const std::int64_t span = buckets[b].series;
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

} // namespace vorn::history
