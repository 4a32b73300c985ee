#include "HistoryFold.h"

#include "Sql.h"

#include <QMap>
#include <QSqlQuery>

#include <algorithm>
#include <optional>
#include <utility>

namespace vorn::history {

namespace {

std::int64_t FloorTo(std::int64_t t, std::int64_t unit) {
    const std::int64_t q = t / unit;
    return (t % unit < 0 ? q - 1 : q) * unit;
}

std::optional<std::int64_t> Oldest(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    if (!RunSql(&query, sql) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

struct Range {
    std::optional<std::int64_t> low, high, last;
    std::optional<std::int64_t> carried; // the value the bucket began with
    std::int64_t lastTime = 0;

    void hold(const QVariant& value) {
        if (value.isNull())
            return;
        const std::int64_t v = value.toLongLong();
        low = low ? std::min(*low, v) : v;
        high = high ? std::max(*high, v) : v;
    }
};

using DiskSeries = std::pair<int, int>;

QVariant Nullable(const std::optional<std::int64_t>& value) {
    return value ? QVariant(qint64(*value)) : QVariant(QMetaType::fromType<qint64>());
}

bool Finish(const QSqlDatabase& db, bool ok, QString* error) {
    if (ok && RunSql(db, QStringLiteral("COMMIT"), {}, nullptr, error))
        return true;
    RunSql(db, QStringLiteral("ROLLBACK"));
    return false;
}

// A bound that the value the bucket began with and its last value give is
// left out (NULL): a counter never holds another, nor does a temperature
// that only rose or only fell in the hour.
bool StoreBucket(const QSqlDatabase& db, std::int64_t t, std::int64_t span,
                 const QMap<int, qint64>& counts, const QMap<DiskSeries, Range>& ranges,
                 QString* error) {
    bool ok = true;
    QSqlQuery insert(db);
    for (auto it = counts.begin(); ok && it != counts.end(); ++it)
        ok = RunSql(&insert,
                    QStringLiteral("INSERT INTO buckets VALUES(?, ?, ?, ?) ON CONFLICT(t, disk) "
                                   "DO UPDATE SET count = count + excluded.count"),
                    {it.key(), qint64(t / kHourMs), qint64(span / kHourMs), it.value()}, nullptr,
                    error);
    for (auto it = ranges.begin(); ok && it != ranges.end(); ++it) {
        QVariant low = Nullable(it->low), high = Nullable(it->high);
        if (it->last) {
            const std::int64_t began = it->carried.value_or(*it->last);
            if (it->low == std::min(began, *it->last))
                low = Nullable(std::nullopt);
            if (it->high == std::max(began, *it->last))
                high = Nullable(std::nullopt);
        }
        ok = RunSql(
            &insert,
            QStringLiteral("INSERT INTO bucket_values VALUES(?, ?, ?, ?, ?, ?) "
                           "ON CONFLICT(t, disk, series) DO UPDATE SET "
                           "low = min(coalesce(low, last), "
                           "coalesce(excluded.low, excluded.last)), "
                           "high = max(coalesce(high, last), "
                           "coalesce(excluded.high, excluded.last)), "
                           "last = excluded.last"),
            {it.key().first, qint64(t / kHourMs), it.key().second, low, high, Nullable(it->last)},
            nullptr, error);
    }
    return ok;
}

QMap<int, qint64> Counts(QSqlQuery* query, const QString& sql, const QVariantList& span, bool* ok,
                         QString* error) {
    QMap<int, qint64> counts;
    *ok = *ok && RunSql(query, sql, span, nullptr, error);
    while (*ok && query->next())
        counts.insert(query->value(0).toInt(), query->value(1).toLongLong());
    return counts;
}

bool FoldHour(const QSqlDatabase& db, std::int64_t hour, QString* error) {
    if (!RunSql(db, QStringLiteral("BEGIN IMMEDIATE"), {}, nullptr, error))
        return false;
    const std::int64_t end = hour + kHourMs;
    const QVariantList span = {qint64(hour), qint64(end)};
    // What each value was when the hour began: older changes are folded
    // already but for the last one of each value.
    QMap<DiskSeries, QVariant> carried;
    QSqlQuery query(db);
    bool ok = RunSql(&query,
                     QStringLiteral("SELECT disk, series, value, max(t) FROM changes WHERE t < ? "
                                    "GROUP BY disk, series"),
                     {qint64(hour)}, nullptr, error);
    while (ok && query.next())
        carried.insert({query.value(0).toInt(), query.value(1).toInt()}, query.value(2));
    QMap<DiskSeries, Range> ranges;
    ok = ok && RunSql(&query,
                      QStringLiteral("SELECT t, disk, series, value FROM changes WHERE t >= ? AND "
                                     "t < ? ORDER BY t"),
                      span, nullptr, error);
    while (ok && query.next()) {
        const DiskSeries key{query.value(1).toInt(), query.value(2).toInt()};
        auto it = ranges.find(key);
        if (it == ranges.end()) {
            it = ranges.insert(key, Range());
            const QVariant before = carried.value(key);
            it->hold(before);
            if (!before.isNull())
                it->carried = before.toLongLong();
        }
        const QVariant value = query.value(3);
        it->hold(value);
        it->last = value.isNull() ? std::nullopt : std::optional<std::int64_t>(value.toLongLong());
        it->lastTime = query.value(0).toLongLong();
    }
    const QMap<int, qint64> counts = Counts(
        &query,
        QStringLiteral("SELECT disk, count(*) FROM readings WHERE t >= ? AND t < ? GROUP BY disk"),
        span, &ok, error);
    query.finish();
    ok = ok && StoreBucket(db, hour, kHourMs, counts, ranges, error);
    ok = ok && RunSql(db, QStringLiteral("DELETE FROM readings WHERE t >= ? AND t < ?"), span,
                      nullptr, error);
    // Each value's last change stays as what the next hour begins with.
    QSqlQuery remove(db);
    for (auto it = ranges.begin(); ok && it != ranges.end(); ++it)
        ok = RunSql(&remove,
                    QStringLiteral("DELETE FROM changes WHERE t < ? AND disk = ? AND series = ?"),
                    {qint64(it->lastTime), it.key().first, it.key().second}, nullptr, error);
    return Finish(db, ok, error);
}

bool FoldDay(const QSqlDatabase& db, std::int64_t day, QString* error) {
    if (!RunSql(db, QStringLiteral("BEGIN IMMEDIATE"), {}, nullptr, error))
        return false;
    const QVariantList span = {qint64(day / kHourMs), qint64((day + kDayMs) / kHourMs)};
    QSqlQuery query(db);
    bool ok = true;
    const QMap<int, qint64> counts = Counts(
        &query,
        QStringLiteral("SELECT disk, sum(count) FROM buckets WHERE t >= ? AND t < ? GROUP BY disk"),
        span, &ok, error);
    QMap<DiskSeries, Range> ranges;
    ok = ok && RunSql(&query,
                      QStringLiteral("SELECT disk, series, low, high, last FROM bucket_values "
                                     "WHERE t >= ? AND t < ? ORDER BY t"),
                      span, nullptr, error);
    QSqlQuery before(db);
    while (ok && query.next()) {
        const DiskSeries key{query.value(0).toInt(), query.value(1).toInt()};
        auto it = ranges.find(key);
        std::optional<std::int64_t> began;
        if (it == ranges.end()) {
            it = ranges.insert(key, Range());
            // The value the day began with: the last of the hour or day before.
            if (RunSql(&before,
                       QStringLiteral("SELECT last FROM bucket_values WHERE t < ? AND disk = ? "
                                      "AND series = ? ORDER BY t DESC LIMIT 1"),
                       {qint64(day / kHourMs), key.first, key.second}) &&
                before.next() && !before.value(0).isNull())
                it->carried = before.value(0).toLongLong();
            began = it->carried;
        } else {
            began = it->last;
        }
        const QVariant last = query.value(4);
        if (!last.isNull()) {
            const std::int64_t value = last.toLongLong();
            const std::int64_t from = began.value_or(value);
            it->hold(query.value(2).isNull() ? QVariant(qint64(std::min(from, value)))
                                             : query.value(2));
            it->hold(query.value(3).isNull() ? QVariant(qint64(std::max(from, value)))
                                             : query.value(3));
        }
        it->last = last.isNull() ? std::nullopt : std::optional<std::int64_t>(last.toLongLong());
    }
    before.finish();
    query.finish();
    ok = ok && RunSql(db, QStringLiteral("DELETE FROM buckets WHERE t >= ? AND t < ?"), span,
                      nullptr, error);
    ok = ok && RunSql(db, QStringLiteral("DELETE FROM bucket_values WHERE t >= ? AND t < ?"), span,
                      nullptr, error);
    ok = ok && StoreBucket(db, day, kDayMs, counts, ranges, error);
    return Finish(db, ok, error);
}

} // namespace

bool FoldOldest(const QSqlDatabase& db, std::int64_t nowMs, int maxSteps, QString* error) {
    const std::int64_t hourCutoff = FloorTo(nowMs - kKeepReadingsMs, kHourMs);
    const std::int64_t dayCutoff = FloorTo(nowMs - kKeepHoursMs, kDayMs);
    for (int step = 0; step < maxSteps; ++step) {
        const auto reading =
            Oldest(db, QStringLiteral("SELECT t FROM readings ORDER BY t LIMIT 1"));
        if (reading && *reading < hourCutoff) {
            if (!FoldHour(db, FloorTo(*reading, kHourMs), error))
                return false;
            continue;
        }
        const auto hour =
            Oldest(db, QStringLiteral("SELECT t FROM buckets WHERE span = 1 ORDER BY t LIMIT 1"));
        if (hour && *hour * kHourMs < dayCutoff) {
            if (!FoldDay(db, FloorTo(*hour * kHourMs, kDayMs), error))
                return false;
            continue;
        }
        return false;
    }
    return true;
}

} // namespace vorn::history
