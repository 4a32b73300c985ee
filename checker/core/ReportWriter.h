#pragma once

#include "WinTypes.h"

#include <QString>

#include <cstddef>

// The three text reports of one disk's raw data, each made by walking a
// template from "<start dir>/Template" over one 512-byte device image.

enum class ReportKind { Identify, Attributes, Thresholds };

// In the order the save command writes them.
inline constexpr ReportKind kReportKinds[] = {ReportKind::Identify, ReportKind::Attributes,
                                              ReportKind::Thresholds};

// "<start dir>/Template/HddInfo.temp", "HddSmartAtr.temp", "HddSmartThr.temp";
// empty when the start directory is unknown.
QString ReportTemplatePath(const QString& startDir, ReportKind kind);

// The model as it may stand in a file name: "/" and NUL, which no Linux file
// name can hold, become "_" so a report never lands outside the folder.
QString ReportModelName(const QString& model);

// "<folder>/<model>_<drive>.hdd_inf.txt", ".smt_atr.txt" or ".smt_thr.txt".
QString ReportFilePath(const QString& folder, const QString& model, int drive, ReportKind kind);

// Expands the kind's template over the image into the report file, which is
// created or truncated. Returns 1 when the report was written whole; 0 for a
// null image, an unknown start directory, a missing template (no report file
// is then created), a report that cannot be created, or a failed write.
// Only the first imageSize bytes (at most 512) are ever read.
BOOL WriteReport(const QString& startDir, ReportKind kind, const QString& folder,
                 const QString& model, int drive, const BYTE* image, std::size_t imageSize);
