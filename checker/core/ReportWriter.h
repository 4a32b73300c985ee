#pragma once

#include "WinTypes.h"

#include <QString>

#include <cstddef>

namespace vorn::checker {

// The three text reports of one disk's raw data, each made by walking a
// template from "<start dir>/Template" over one 512-byte device image.

// The first three are an ATA disk's; an NVMe disk's are its Identify
// Controller structure (4096 bytes) and its health log.
enum class ReportKind { Identify, Attributes, Thresholds, NvmeIdentify, NvmeHealth };

// In the order the save command writes them for an ATA disk.
inline constexpr ReportKind kReportKinds[] = {ReportKind::Identify, ReportKind::Attributes,
                                              ReportKind::Thresholds};
// The same for an NVMe disk.
inline constexpr ReportKind kNvmeReportKinds[] = {ReportKind::NvmeIdentify, ReportKind::NvmeHealth};

// The bytes of the kind's image a template may walk.
std::size_t ReportImageSize(ReportKind kind);

// "<start dir>/Template/HddInfo.temp", "HddSmartAtr.temp", "HddSmartThr.temp",
// "NvmeIdentify.temp", "NvmeHealth.temp";
// empty when the start directory is unknown.
QString ReportTemplatePath(const QString& startDir, ReportKind kind);

// The model as it may stand in a file name: "/" and NUL, which no Linux file
// name can hold, become "_" so a report never lands outside the folder.
QString ReportModelName(const QString& model);

// "<folder>/<model>_<drive>.hdd_inf.txt", ".smt_atr.txt", ".smt_thr.txt",
// ".nvme_id.txt" or ".nvme_log.txt".
QString ReportFilePath(const QString& folder, const QString& model, int drive, ReportKind kind);

// Templates are regular files of at most this size.
inline constexpr qint64 kReportTemplateMaxBytes = 1 << 20;

// Expands the kind's template over the image into the report file, which is
// replaced whole (Cm_ReplaceFile): a full disk leaves the previous report,
// and a symbolic link at the report's name is refused. Returns 1 when the
// report was written; 0 for a null image, an unknown start directory, a
// missing or refused template (no report file is then touched), or a report
// that could not be written, with "<path>: <reason>" in *error for the last
// two. Only the first imageSize bytes (at most ReportImageSize) are ever read.
BOOL WriteReport(const QString& startDir, ReportKind kind, const QString& folder,
                 const QString& model, int drive, const BYTE* image, std::size_t imageSize,
                 QString* error = nullptr);

} // namespace vorn::checker
