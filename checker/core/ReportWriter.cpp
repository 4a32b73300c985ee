#include "ReportWriter.h"

#include "ReportTemplate.h"
#include "SafeFile.h"

#include <algorithm>

namespace vorn::checker {

namespace {

const char* templateName(ReportKind kind) {
    switch (kind) {
    case ReportKind::Identify:
        return "HddInfo.temp";
    case ReportKind::Attributes:
        return "HddSmartAtr.temp";
    case ReportKind::Thresholds:
        return "HddSmartThr.temp";
    case ReportKind::NvmeIdentify:
        return "NvmeIdentify.temp";
    case ReportKind::NvmeHealth:
        return "NvmeHealth.temp";
    }
    return "";
}

const char* reportSuffix(ReportKind kind) {
    switch (kind) {
    case ReportKind::Identify:
        return ".hdd_inf.txt";
    case ReportKind::Attributes:
        return ".smt_atr.txt";
    case ReportKind::Thresholds:
        return ".smt_thr.txt";
    case ReportKind::NvmeIdentify:
        return ".nvme_id.txt";
    case ReportKind::NvmeHealth:
        return ".nvme_log.txt";
    }
    return "";
}

} // namespace

std::size_t ReportImageSize(ReportKind kind) {
    return kind == ReportKind::NvmeIdentify ? 4096 : 512;
}

QString ReportTemplatePath(const QString& startDir, ReportKind kind) {
    if (startDir.isEmpty())
        return QString();
    return startDir + QStringLiteral("/Template/") + QLatin1String(templateName(kind));
}

QString ReportModelName(const QString& model) {
    QString name = model;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QChar(u'\0'), QLatin1Char('_'));
    return name;
}

QString ReportFilePath(const QString& folder, const QString& model, int drive, ReportKind kind) {
    return QStringLiteral("%1/%2_%3%4")
        .arg(folder, ReportModelName(model), QString::number(drive),
             QLatin1String(reportSuffix(kind)));
}

BOOL WriteReport(const QString& startDir, ReportKind kind, const QString& folder,
                 const QString& model, int drive, const BYTE* image, std::size_t imageSize,
                 QString* error) {
    if (!image)
        return FALSE;
    const QString templatePath = ReportTemplatePath(startDir, kind);
    if (templatePath.isEmpty())
        return FALSE;
    int failure = 0;
    const auto templateBytes = Cm_ReadBoundedFile(templatePath, kReportTemplateMaxBytes, &failure);
    const QString path = ReportFilePath(folder, model, drive, kind);
    if (!templateBytes) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(templatePath, Cm_FileErrorText(failure));
        return FALSE;
    }
    const QByteArray bytes =
        ExpandReportTemplate(*templateBytes, image, std::min(imageSize, ReportImageSize(kind)))
            .report;
    failure = Cm_ReplaceFile(path, bytes);
    if (failure && error)
        *error = QStringLiteral("%1: %2").arg(path, Cm_FileErrorText(failure));
    return failure ? FALSE : TRUE;
}

} // namespace vorn::checker
