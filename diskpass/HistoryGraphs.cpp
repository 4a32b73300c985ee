#include "HistoryGraphs.h"

#include "HistoryStore.h"
#include "SeriesCodes.h"
#include "Translation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThreadPool>

#include <limits>
#include <optional>

namespace vorn::diskpass {

namespace {

constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;

std::int64_t SpanStart(GraphSpan span, std::int64_t nowMs) {
    switch (span) {
    case GraphSpan::Day:
        return nowMs - kDayMs;
    case GraphSpan::Month:
        return nowMs - 30 * kDayMs;
    case GraphSpan::Year:
        return nowMs - 365 * kDayMs;
    case GraphSpan::All:
        break;
    }
    return std::numeric_limits<std::int64_t>::min();
}

std::optional<std::int64_t> ValueOf(const history::Reading& reading, int series) {
    if (series == history::series::kTemperature)
        return reading.temperature > 0 ? std::optional<std::int64_t>(reading.temperature)
                                       : std::nullopt;
    const auto attribute = [&](int base) -> std::optional<std::int64_t> {
        for (const history::AttributeValue& value : reading.attributes) {
            if (value.id != series - base)
                continue;
            if (base == history::series::kAttributeRaw)
                return std::int64_t(value.raw48);
            return value.current >= 0 ? std::optional<std::int64_t>(value.current) : std::nullopt;
        }
        return std::nullopt;
    };
    if (series > history::series::kAttributeRaw && series <= history::series::kAttributeRaw + 255)
        return attribute(history::series::kAttributeRaw);
    if (series > history::series::kAttributeCurrent && series < history::series::kAttributeWorst)
        return attribute(history::series::kAttributeCurrent);
    return std::nullopt;
}

QString AttributeLabel(int id, const QString& name) {
    return QStringLiteral("%1 %2").arg(id, 2, 16, QLatin1Char('0')).toUpper().arg(name);
}

} // namespace

QString GraphSpanName(GraphSpan span) {
    switch (span) {
    case GraphSpan::Day:
        return Cm_Tr("HistoryGraphs", "24時間");
    case GraphSpan::Month:
        return Cm_Tr("HistoryGraphs", "30日");
    case GraphSpan::Year:
        return Cm_Tr("HistoryGraphs", "1年");
    case GraphSpan::All:
        break;
    }
    return Cm_Tr("HistoryGraphs", "すべて");
}

namespace {

// A sentence per span rather than the span's name put into one: English
// says "in the last 30 days" where Japanese only names the span.
QString EmptyText(GraphSpan span) {
    switch (span) {
    case GraphSpan::Day:
        return Cm_Tr("HistoryGraphs", "24時間の記録はありません");
    case GraphSpan::Month:
        return Cm_Tr("HistoryGraphs", "30日の記録はありません");
    case GraphSpan::Year:
        return Cm_Tr("HistoryGraphs", "1年の記録はありません");
    case GraphSpan::All:
        break;
    }
    return Cm_Tr("HistoryGraphs", "すべての記録はありません");
}

} // namespace

GraphValue TemperatureValue() {
    return {history::series::kTemperature, Cm_Tr("HistoryGraphs", "温度"),
            Cm_Tr("HistoryGraphs", "温度 (℃)")};
}

GraphValue AttributeCurrentValue(int id, const QString& name) {
    return {history::series::kAttributeCurrent + id,
            Cm_Tr("HistoryGraphs", "%1 (現在値)").arg(AttributeLabel(id, name)),
            Cm_Tr("HistoryGraphs", "現在値")};
}

GraphValue AttributeRawValue(int id, const QString& name) {
    return {history::series::kAttributeRaw + id,
            Cm_Tr("HistoryGraphs", "%1 (生の値)").arg(AttributeLabel(id, name)),
            Cm_Tr("HistoryGraphs", "生の値")};
}

ChartCurve CurveOf(const QList<history::StoredReading>& readings, int series, const QString& name) {
    ChartCurve curve;
    curve.name = name;
    for (const history::StoredReading& stored : readings) {
        const std::optional<std::int64_t> value = ValueOf(stored.reading, series);
        if (!value)
            continue;
        ChartPoint point;
        point.timeMs = stored.reading.timeMs + stored.spanMs / 2;
        point.value = double(*value);
        point.low = double(stored.lows.value(series, *value));
        point.high = double(stored.highs.value(series, *value));
        curve.points.append(point);
    }
    return curve;
}

ChartSnapshot LoadGraph(const GraphQuery& query) {
    ChartSnapshot snapshot;
    snapshot.title = query.title;
    snapshot.unit = query.value.unit;
    snapshot.toMs = query.nowMs;
    const std::int64_t since = SpanStart(query.span, query.nowMs);
    snapshot.fromMs = query.span == GraphSpan::All ? query.nowMs : since;
    snapshot.emptyText = EmptyText(query.span);
    std::optional<history::HistoryStore> store;
    if (!query.storePath.isEmpty() && QFileInfo::exists(query.storePath)) {
        store.emplace();
        if (!store->open(query.storePath))
            store.reset();
    }
    for (const GraphDisk& disk : query.disks) {
        QList<history::StoredReading> readings;
        if (store) {
            if (const int number = store->findDisk(disk.identity))
                readings = store->readings(number, since);
        }
        ChartCurve curve = CurveOf(readings, query.value.series, disk.name);
        // "All" starts where the oldest reading does.
        if (!curve.points.isEmpty() && query.span == GraphSpan::All)
            snapshot.fromMs = std::min(snapshot.fromMs, readings.first().reading.timeMs);
        snapshot.curves.append(std::move(curve));
    }
    if (snapshot.fromMs >= snapshot.toMs)
        snapshot.fromMs = snapshot.toMs - kDayMs;
    return snapshot;
}

CHistoryGraphs::CHistoryGraphs(Worker worker, std::function<void(const ChartSnapshot&)> show)
    : m_worker(std::move(worker)), m_show(std::move(show)), m_alive(std::make_shared<int>(0)) {}

CHistoryGraphs::~CHistoryGraphs() = default;

void CHistoryGraphs::Request(const GraphQuery& query) {
    const int number = ++m_latest;
    ++m_pending;
    auto result = std::make_shared<ChartSnapshot>();
    const std::weak_ptr<int> alive = m_alive;
    m_worker([query, result] { *result = LoadGraph(query); },
             [this, alive, number, result] {
                 if (alive.expired())
                     return;
                 --m_pending;
                 if (number == m_latest)
                     m_show(*result);
             });
}

CHistoryGraphs::Worker ThreadPoolWorker() {
    return [](std::function<void()> work, std::function<void()> done) {
        QThreadPool::globalInstance()->start(
            [work = std::move(work), done = std::move(done)]() mutable {
                work();
                // The application outlives every window, and the done asks
                // its controller whether it is still there.
                QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(done),
                                          Qt::QueuedConnection);
            });
    };
}

} // namespace vorn::diskpass
