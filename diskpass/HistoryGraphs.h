#pragma once

#include "ChartSnapshot.h"
#include "Reading.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace vorn::diskpass {

// How far back a graph looks from now.
enum class GraphSpan { Day, Month, Year, All };

// "24時間", "30日", "1年", "すべて", in the interface language.
QString GraphSpanName(GraphSpan span);

// One value of the readings: the temperature, an attribute's current value
// or raw count, by its series code (SeriesCodes.h).
struct GraphValue {
    int series = 0;
    QString name; // "温度", "05 代替処理済のセクタ数 (生の値)"
    QString unit; // the axis title
};

GraphValue TemperatureValue();
GraphValue AttributeCurrentValue(int id, const QString& name);
GraphValue AttributeRawValue(int id, const QString& name);

struct GraphDisk {
    history::DiskIdentity identity;
    QString name; // the legend's text: model and drive names
};

// What a graph shows: a value of some disks over a span up to nowMs.
struct GraphQuery {
    QString storePath;
    QList<GraphDisk> disks;
    GraphValue value;
    GraphSpan span = GraphSpan::Day;
    std::int64_t nowMs = 0;
    QString title;
};

// The value's curve over the readings: a point per reading that has it,
// a folded hour or day at its middle with its range.
ChartCurve CurveOf(const QList<history::StoredReading>& readings, int series, const QString& name);

// Reads the store and makes the graph: on a worker, never on the window's
// thread, as a year of readings takes a while to replay. A store that does
// not exist yet is not made by looking at it.
ChartSnapshot LoadGraph(const GraphQuery& query);

// The window-free side of a graph window: each request is loaded by the
// worker and its snapshot handed to show on the caller's thread; a request
// overtaken by a newer one is never shown.
class CHistoryGraphs {
public:
    // Runs work off the caller's thread, then done back on it.
    using Worker = std::function<void(std::function<void()> work, std::function<void()> done)>;

    CHistoryGraphs(Worker worker, std::function<void(const ChartSnapshot&)> show);
    ~CHistoryGraphs();
    CHistoryGraphs(const CHistoryGraphs&) = delete;
    CHistoryGraphs& operator=(const CHistoryGraphs&) = delete;

    void Request(const GraphQuery& query);
    bool IsLoading() const { return m_pending > 0; }

private:
    Worker m_worker;
    std::function<void(const ChartSnapshot&)> m_show;
    std::shared_ptr<int> m_alive; // a done after the controller is gone does nothing
    int m_latest = 0;
    int m_pending = 0;
};

// A worker on Qt's thread pool whose dones run on the application's
// thread, the windows' one.
CHistoryGraphs::Worker ThreadPoolWorker();

} // namespace vorn::diskpass
