#include "DiskReports.h"

#include "AttributeDescription.h"
#include "CHdd.h"
#include "CHddSmartDisp.h"
#include "TextConvert.h"

AttributeFigures AttributeFiguresOf(const CHddSmartDisp& record) {
    AttributeFigures figures;
    figures.name = record.m_strName;
    figures.importance = record.m_byImportance;
    figures.init = record.m_nInit;
    figures.current = record.m_nCurrent;
    figures.worst = record.m_nWorst;
    figures.threshold = record.m_nThreshold;
    figures.depleted = record.CalcDepleted();
    return figures;
}

AttributeDetailTexts AttributeDetailTextsOf(const CHddSmartDisp& record, const QString& startDir) {
    return MakeAttributeDetailTexts(AttributeFiguresOf(record),
                                    LookupAttributeDescription(startDir, record.m_byId));
}

BOOL WriteDiskReport(const CHdd* disk, ReportKind kind, const QString& folder,
                     const QString& startDir, QString* error) {
    if (!disk)
        return FALSE;
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
    }
    if (!image)
        return FALSE;
    return WriteReport(startDir, kind, folder, disk->GetModelNumber(), disk->m_nDrive,
                       image->data(), image->size(), error);
}

int WriteDiskReports(const CHdd* disk, const QString& folder, const QString& startDir) {
    int written = 0;
    for (ReportKind kind : kReportKinds)
        written += WriteDiskReport(disk, kind, folder, startDir) ? 1 : 0;
    return written;
}

int WriteDiskReports(const CHdd* disk, const QString& folder) {
    return WriteDiskReports(disk, folder, Cm_CurrentDirectory());
}
