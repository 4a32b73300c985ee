#include "ReportImporter.h"

#include "ProtocolImport.h"

namespace realworld {

Verdict overallVerdict(const ReportText& report) {
    const std::optional<QString> result =
        report.field(QStringLiteral("SMART overall-health self-assessment test result"));
    if (!result)
        return Verdict::None;
    if (result->startsWith(QLatin1String("PASSED")))
        return Verdict::Passed;
    if (result->startsWith(QLatin1String("FAILED")))
        return Verdict::Failed;
    return Verdict::None;
}

ImportOutcome importReport(const QString& text) {
    const ReportText report(text);
    ImportOutcome outcome;
    const bool nvme = report.field(QStringLiteral("Model Number")).has_value() ||
                      report.contains(QStringLiteral("SMART/Health Information (NVMe Log"));
    const bool ata = report.field(QStringLiteral("Device Model")).has_value() ||
                     report.lineStartingWith(QStringLiteral("ID# ATTRIBUTE_NAME")) >= 0;
    if (nvme && ata) {
        outcome.problem = QStringLiteral("both an ATA and an NVMe drive");
        return outcome;
    }
    if (nvme) {
        importNvmeReport(report, &outcome);
    } else if (ata) {
        importAtaReport(report, &outcome);
    } else {
        outcome.kind = ImportKind::NoDriveData;
    }
    return outcome;
}

} // namespace realworld
