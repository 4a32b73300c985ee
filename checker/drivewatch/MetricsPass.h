#pragma once

#include "DiskMetrics.h"

#include "DiskScan.h"
#include "PassClock.h"
#include "PassOptions.h"

#include <QList>
#include <QString>

#include <cstdint>

namespace vorn::drivewatch {

// One look at every disk for the metrics: the scan, the baselines (read,
// never written), the comparison with the accepted state and a reading
// for the history.
struct MetricsPassEnvironment {
    QString baselineDir; // baseline and watch files
    QString historyPath; // empty: no history
    diskpass::PassClock now = diskpass::SystemClock();
    diskpass::PassSleeper sleep = diskpass::SystemSleeper();
    diskpass::PowerCheck check = diskpass::PowerCheck::SkipSleeping;
};

struct MetricsPassResult {
    QList<DiskMetricValues> disks;
    std::int64_t passMs = 0;
    int exitCode = 0; // as a run of drivewatch would end for these disks
    QString notices;  // "drivewatch: ..." lines: files, the history
};

// The watch files' channel of the metrics: what the exporter compares
// leaves what the desktop and a cron job were told alone.
inline const QString kMetricsChannel = QStringLiteral("metrics");

MetricsPassResult RunMetricsPass(const diskpass::PassOptions& options,
                                 const MetricsPassEnvironment& env);

} // namespace vorn::drivewatch
