#pragma once

#include "DiskMetrics.h"
#include "MetricsPass.h"
#include "MetricsText.h"

#include "PassRunner.h"
#include "RefreshTimer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace vorn::drivewatch {

// The exporter without its network: it reads the disks on its own
// schedule and keeps the last exposition ready, so that a scrape is a copy
// of bytes and never a disk request. A disk asleep at a pass is not read;
// its last values stay, marked as sleeping.
class CMetricsExporter {
public:
    static constexpr int kDefaultIntervalSeconds = 300;

    struct Environment {
        diskpass::CRefreshTimer* timer = nullptr;
        diskpass::CDiskPassRunner* runner = nullptr;
        // One pass, on the runner's thread.
        std::function<MetricsPassResult()> pass;
        // The pass's notices, back on the exporter's thread.
        std::function<void(const QString&)> notice;
        int intervalMs = kDefaultIntervalSeconds * 1000;
    };

    explicit CMetricsExporter(Environment environment);
    ~CMetricsExporter();
    CMetricsExporter(const CMetricsExporter&) = delete;
    CMetricsExporter& operator=(const CMetricsExporter&) = delete;

    // The first pass now, then one each interval; a tick while a pass
    // still runs is skipped.
    void Start();

    bool HasReading() const { return m_passes > 0; }
    int Passes() const { return m_passes; }
    // The last exposition; empty before the first pass ended.
    const QByteArray& Exposition(MetricsFormat format) const {
        return format == MetricsFormat::OpenMetrics ? m_openMetrics : m_prometheus;
    }
    const QList<DiskMetricValues>& Disks() const { return m_disks; }

private:
    void Pass();
    void PassEnded(const MetricsPassResult& result);

    Environment m_env;
    QList<DiskMetricValues> m_disks;
    QByteArray m_prometheus;
    QByteArray m_openMetrics;
    int m_passes = 0;
};

} // namespace vorn::drivewatch
