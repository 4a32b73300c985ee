#include "MetricsPass.h"

#include "CheckerSession.h"
#include "DrivewatchOutput.h"
#include "HistoryReading.h"

#include "AlertWatch.h"

using namespace vorn::checker;
using namespace vorn::diskpass;

namespace vorn::drivewatch {

MetricsPassResult RunMetricsPass(const PassOptions& options, const MetricsPassEnvironment& env) {
    CCheckerSession::Environment sessionEnv;
    const QString baselineDir = env.baselineDir;
    sessionEnv.baselineDir = [baselineDir] { return baselineDir; };
    sessionEnv.writeBaselines = false;
    sessionEnv.now = env.now;
    sessionEnv.sleep = env.sleep;
    sessionEnv.scanCheck = env.check;
    CCheckerSession session(options, sessionEnv);
    session.Scan();
    session.LoadBaselines();

    MetricsPassResult result;
    result.passMs = env.now() * 1000;
    QStringList fileErrors = session.FileErrors();
    for (CDisk* disk : session.Disks()) {
        std::optional<int> alerts;
        if (!disk->m_bSleeping && disk->EnableSMART() && !baselineDir.isEmpty()) {
            const WatchResult watch = WatchDisk(disk, baselineDir, kMetricsChannel, {});
            if (!watch.fileError.isEmpty())
                fileErrors.append(watch.fileError);
            if (watch.watched)
                alerts = static_cast<int>(watch.alerts.size());
        }
        result.disks.append(DiskMetricValuesOf(*disk, DiskNodeName(*disk), result.passMs, alerts));
    }
    for (const QString& error : fileErrors)
        result.notices += QStringLiteral("drivewatch: %1\n").arg(error);
    if (!env.historyPath.isEmpty())
        for (const QString& line : RecordDisks(session.Disks(), env.historyPath, result.passMs))
            result.notices += QStringLiteral("drivewatch: %1\n").arg(line);
    result.exitCode = DrivewatchExitCode(session.Disks(), !fileErrors.isEmpty());
    return result;
}

} // namespace vorn::drivewatch
