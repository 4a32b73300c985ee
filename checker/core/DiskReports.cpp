#include "DiskReports.h"

#include "AttributeDescription.h"
#include "CHdd.h"
#include "CHddSmartDisp.h"
#include "TextConvert.h"
#include "Translation.h"

namespace vorn::checker {

AttributeFigures AttributeFiguresOf(const CHddSmartDisp& record) {
    AttributeFigures figures;
    figures.id = record.m_byId;
    figures.name = record.m_strName;
    figures.importance = record.m_byImportance;
    figures.init = record.m_nInit;
    figures.current = record.m_nCurrent;
    figures.worst = record.m_nWorst;
    figures.threshold = record.m_nThreshold;
    figures.depleted = record.CalcDepleted();
    figures.rawText = record.RawText();
    figures.belowThreshold = record.BelowThreshold();
    return figures;
}

AttributeDetailTexts AttributeDetailTextsOf(const AttributeFigures& figures,
                                            const QString& startDir) {
    return MakeAttributeDetailTexts(figures, LookupAttributeDescription(startDir, figures.id));
}

AttributeDetailTexts AttributeDetailTextsOf(const CHddSmartDisp& record, const QString& startDir) {
    return AttributeDetailTextsOf(AttributeFiguresOf(record), startDir);
}

BOOL WriteDiskReport(const CHdd* disk, ReportKind kind, const QString& folder,
                     const QString& startDir, QString* error) {
    if (!disk)
        return FALSE;
    if (kind == ReportKind::NvmeIdentify) {
        const auto& identify = disk->m_HddNvme.m_IdentifyController;
        return WriteReport(startDir, kind, folder, disk->GetModelNumber(), disk->m_nDrive,
                           identify.data(), identify.size(), error);
    }
    const SectorImage* image = nullptr;
    switch (kind) {
    case ReportKind::Identify:
        image = &disk->m_HddInfo.m_Identify;
        break;
    case ReportKind::Attributes:
        image = &disk->m_HddSmart.m_Attribute;
        break;
    case ReportKind::Thresholds:
        image = &disk->m_HddSmart.m_Threshold;
        break;
    case ReportKind::NvmeIdentify:
        break;
    case ReportKind::NvmeHealth:
        image = &disk->m_HddNvme.m_HealthLog;
        break;
    }
    if (!image)
        return FALSE;
    return WriteReport(startDir, kind, folder, disk->GetModelNumber(), disk->m_nDrive,
                       image->data(), image->size(), error);
}

std::vector<ReportKind> ReportKindsOf(const CHdd& disk) {
    if (disk.IsNvme())
        return {std::begin(kNvmeReportKinds), std::end(kNvmeReportKinds)};
    return {std::begin(kReportKinds), std::end(kReportKinds)};
}

int WriteDiskReports(const CHdd* disk, const QString& folder, const QString& startDir) {
    if (!disk)
        return 0;
    int written = 0;
    for (ReportKind kind : ReportKindsOf(*disk))
        written += WriteDiskReport(disk, kind, folder, startDir) ? 1 : 0;
    return written;
}

void AddDiskReports(ReportSaving& saving, const CHdd* disk, const QString& folder,
                    const QString& startDir) {
    if (!disk)
        return;
    for (ReportKind kind : ReportKindsOf(*disk)) {
        QString error;
        if (WriteDiskReport(disk, kind, folder, startDir, &error))
            ++saving.written;
        else if (!error.isEmpty() && !saving.failures.contains(error))
            saving.failures << error;
    }
}

QString ReportSavingMessage(const ReportSaving& saving, const QString& folder) {
    // A long list of one cause would push the buttons off the screen.
    constexpr int kListed = 8;
    if (saving.failures.isEmpty())
        return Cm_Tr("DiskReports", "ディスク情報を保存しました。\n%1").arg(folder);
    QStringList lines = saving.failures.mid(0, kListed);
    if (saving.failures.size() > kListed)
        lines << Cm_Tr("DiskReports", "ほか %1 件").arg(saving.failures.size() - kListed);
    QString message =
        Cm_Tr("DiskReports", "ディスク情報を保存できませんでした。\n%1").arg(lines.join(u'\n'));
    if (saving.written > 0)
        message +=
            Cm_Tr("DiskReports", "\n\n%n 個のファイルは保存しました：%1", nullptr, saving.written)
                .arg(folder);
    return message;
}

int WriteDiskReports(const CHdd* disk, const QString& folder) {
    return WriteDiskReports(disk, folder, Cm_CurrentDirectory());
}

} // namespace vorn::checker
