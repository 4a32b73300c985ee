#include "MetricsExporter.h"

#include <memory>

namespace vorn::drivewatch {

CMetricsExporter::CMetricsExporter(Environment environment) : m_env(std::move(environment)) {}

CMetricsExporter::~CMetricsExporter() {
    if (m_env.timer)
        m_env.timer->Stop();
    // The pass holds nothing of ours but its result, which goes unread.
    if (m_env.runner)
        m_env.runner->Abandon();
}

void CMetricsExporter::Start() {
    Pass();
    m_env.timer->Start(m_env.intervalMs, [this] { Pass(); });
}

void CMetricsExporter::Pass() {
    auto result = std::make_shared<MetricsPassResult>();
    const auto pass = m_env.pass;
    m_env.runner->Run([result, pass] { *result = pass(); }, [this, result] { PassEnded(*result); });
}

void CMetricsExporter::PassEnded(const MetricsPassResult& result) {
    QList<DiskMetricValues> disks;
    for (const DiskMetricValues& now : result.disks) {
        DiskMetricValues kept = now;
        for (const DiskMetricValues& before : m_disks) {
            if (now.SameDisk(before)) {
                kept = CarryOverWhileAsleep(now, before);
                break;
            }
        }
        disks.append(kept);
    }
    m_disks = disks;
    const QList<MetricFamily> families = DiskMetricFamilies(m_disks, result.passMs);
    m_prometheus = EncodeMetrics(families, MetricsFormat::Prometheus);
    m_openMetrics = EncodeMetrics(families, MetricsFormat::OpenMetrics);
    ++m_passes;
    if (m_env.notice && !result.notices.isEmpty())
        m_env.notice(result.notices);
}

} // namespace vorn::drivewatch
