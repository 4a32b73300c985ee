#include "HistoryFold.h"

#include "Sql.h"

#include <QMap>
#include <QSqlQuery>

#include <algorithm>
#include <optional>

namespace vorn::history {

namespace {

std::int64_t FloorTo(std::int64_t t, std::int64_t unit) {
    const std::int64_t q = t / unit;
    return (t % unit < 0 ? q - 1 : q) * unit;
}

std::optional<std::int64_t> Oldest(const QSqlDatabase& db, const QString& sql, int disk) {
    QSqlQuery query(db);
    if (!RunSql(&query, sql, {disk}) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

struct Range {
    std::optional<std::int64_t> low, high, last;
    std::int64_t lastTime = 0;

    void hold(const QVariant& value) {
        if (value.isNull())
            return;
        const std::int64_t v = value.toLongLong();
        low = low ? std::min(*low, v) : v;
        high = high ? std::max(*high, v) : v;
    }
};

QVariant Nullable(const std::optional<std::int64_t>& value) {
    return value ? QVariant(qint64(*value)) : QVariant(QMetaType::fromType<qint64>());
}

bool Finish(const QSqlDatabase& db, bool ok, QString* error) {
    if (ok && RunSql(db, QStringLiteral("COMMIT"), {}, nullptr, error))
        return true;
    RunSql(db, QStringLiteral("ROLLBACK"));
    return false;
}

bool StoreBucket(const QSqlDatabase& db, int disk, std::int64_t t, std::int64_t span, qint64 count,
                 const QMap<int, Range>& ranges, QString* error) {
    bool ok = RunSql(db,
                     QStringLiteral("INSERT INTO buckets VALUES(?, ?, ?, ?) ON CONFLICT(disk, t) "
                                    "DO UPDATE SET count = count + excluded.count"),
                     {disk, qint64(t), qint64(span), count}, nullptr, error);
    QSqlQuery insert(db);
    for (auto it = ranges.begin(); ok && it != ranges.end(); ++it) {
        ok = RunSql(
            &insert,
            QStringLiteral("INSERT INTO bucket_values VALUES(?, ?, ?, ?, ?, ?) "
                           "ON CONFLICT(disk, t, series) DO UPDATE SET "
                           "low = min(coalesce(low, excluded.low), "
                           "coalesce(excluded.low, low)), "
                           "high = max(coalesce(high, excluded.high), "
                           "coalesce(excluded.high, high)), last = excluded.last"),
            {disk, qint64(t), it.key(), Nullable(it->low), Nullable(it->high), Nullable(it->last)},
            nullptr, error);
    }
    return ok;
}

bool FoldHour(const QSqlDatabase& db, int disk, std::int64_t hour, QString* error) {
    if (!RunSql(db, QStringLiteral("BEGIN IMMEDIATE"), {}, nullptr, error))
        return false;
    const std::int64_t end = hour + kHourMs;
    bool ok = true;
    // What each value was when the hour began: older changes are folded
    // already but for the last one of each value.
    QMap<int, QVariant> carried;
    QSqlQuery query(db);
    ok = RunSql(&query,
                QStringLiteral("SELECT series, value, max(t) FROM changes WHERE disk = ? AND t < ? "
                               "GROUP BY series"),
                {disk, qint64(hour)}, nullptr, error);
    while (ok && query.next())
        carried.insert(query.value(0).toInt(), query.value(1));
    QMap<int, Range> ranges;
    ok = ok && RunSql(&query,
                      QStringLiteral("SELECT t, series, value FROM changes WHERE disk = ? AND "
                                     "t >= ? AND t < ? ORDER BY t"),
                      {disk, qint64(hour), qint64(end)}, nullptr, error);
    while (ok && query.next()) {
        const int code = query.value(1).toInt();
        auto it = ranges.find(code);
        if (it == ranges.end()) {
            it = ranges.insert(code, Range());
            it->hold(carried.value(code));
        }
        it->hold(query.value(2));
        it->last = query.value(2).isNull()
                       ? std::nullopt
                       : std::optional<std::int64_t>(query.value(2).toLongLong());
        it->lastTime = query.value(0).toLongLong();
    }
    qint64 count = 0;
    ok = ok && RunSql(&query,
                      QStringLiteral("SELECT count(*) FROM readings WHERE disk = ? AND t >= ? AND "
                                     "t < ?"),
                      {disk, qint64(hour), qint64(end)}, nullptr, error);
    if (ok && query.next())
        count = query.value(0).toLongLong();
    query.finish();
    ok = ok && StoreBucket(db, disk, hour, kHourMs, count, ranges, error);
    ok =
        ok && RunSql(db, QStringLiteral("DELETE FROM readings WHERE disk = ? AND t >= ? AND t < ?"),
                     {disk, qint64(hour), qint64(end)}, nullptr, error);
    // Each value's last change stays as what the next hour begins with.
    for (auto it = ranges.begin(); ok && it != ranges.end(); ++it)
        ok = RunSql(db,
                    QStringLiteral("DELETE FROM changes WHERE disk = ? AND series = ? AND t < ?"),
                    {disk, it.key(), qint64(it->lastTime)}, nullptr, error);
    return Finish(db, ok, error);
}

bool FoldDay(const QSqlDatabase& db, int disk, std::int64_t day, QString* error) {
    if (!RunSql(db, QStringLiteral("BEGIN IMMEDIATE"), {}, nullptr, error))
        return false;
    const std::int64_t end = day + kDayMs;
    const QVariantList span = {disk, qint64(day), qint64(end)};
    QSqlQuery query(db);
    qint64 count = 0;
    bool ok = RunSql(&query,
                     QStringLiteral("SELECT sum(count) FROM buckets WHERE disk = ? AND t >= ? AND "
                                    "t < ?"),
                     span, nullptr, error);
    if (ok && query.next())
        count = query.value(0).toLongLong();
    QMap<int, Range> ranges;
    // The last of each value is the one of its latest hour.
    ok = ok && RunSql(&query,
                      QStringLiteral("SELECT series, min(low), max(high), last, max(t) FROM "
                                     "bucket_values WHERE disk = ? AND t >= ? AND t < ? "
                                     "GROUP BY series"),
                      span, nullptr, error);
    while (ok && query.next()) {
        Range& range = ranges[query.value(0).toInt()];
        range.hold(query.value(1));
        range.hold(query.value(2));
        if (!query.value(3).isNull())
            range.last = query.value(3).toLongLong();
    }
    query.finish();
    ok = ok && RunSql(db, QStringLiteral("DELETE FROM buckets WHERE disk = ? AND t >= ? AND t < ?"),
                      span, nullptr, error);
    ok = ok &&
         RunSql(db, QStringLiteral("DELETE FROM bucket_values WHERE disk = ? AND t >= ? AND t < ?"),
                span, nullptr, error);
    ok = ok && StoreBucket(db, disk, day, kDayMs, count, ranges, error);
    return Finish(db, ok, error);
}

} // namespace

bool FoldOldest(const QSqlDatabase& db, std::int64_t nowMs, int maxSteps, QString* error) {
    const std::int64_t hourCutoff = FloorTo(nowMs - kKeepReadingsMs, kHourMs);
    const std::int64_t dayCutoff = FloorTo(nowMs - kKeepHoursMs, kDayMs);
    QList<int> disks;
    {
        QSqlQuery query(db);
        if (!RunSql(&query, QStringLiteral("SELECT id FROM disks ORDER BY id"), {}, nullptr, error))
            return false;
        while (query.next())
            disks.append(query.value(0).toInt());
    }
    int steps = 0;
    bool due = true;
    while (due && steps < maxSteps) {
        due = false;
        for (int disk : disks) {
            if (steps >= maxSteps)
                return true;
            bool folded = false;
            const auto reading = Oldest(
                db, QStringLiteral("SELECT t FROM readings WHERE disk = ? ORDER BY t LIMIT 1"),
                disk);
            if (reading && *reading < hourCutoff) {
                if (!FoldHour(db, disk, FloorTo(*reading, kHourMs), error))
                    return false;
                folded = true;
            } else if (const auto hour = Oldest(db,
                                                QStringLiteral("SELECT t FROM buckets WHERE disk "
                                                               "= ? AND span = 3600000 ORDER BY "
                                                               "t LIMIT 1"),
                                                disk);
                       hour && *hour < dayCutoff) {
                if (!FoldDay(db, disk, FloorTo(*hour, kDayMs), error))
                    return false;
                folded = true;
            }
            steps += folded ? 1 : 0;
            due = due || folded;
        }
    }
    return due;
}

} // namespace vorn::history
