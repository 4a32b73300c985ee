#pragma once

#include "AttributeDetail.h"
#include "ReportWriter.h"
#include "WinTypes.h"

#include <QString>
#include <QStringList>

#include <vector>

class CHdd;
class CHddSmartDisp;

namespace vorn::checker {

// What the detail dialog shows of one display record.
AttributeFigures AttributeFiguresOf(const CHddSmartDisp& record);

// The detail dialog's six texts for a record, with its explanation looked up
// in the description file below the start directory.
AttributeDetailTexts AttributeDetailTextsOf(const AttributeFigures& figures,
                                            const QString& startDir);
AttributeDetailTexts AttributeDetailTextsOf(const CHddSmartDisp& record, const QString& startDir);

// The kind's report of one disk: its image at this moment, named with its
// model number and drive number. 0 for a null disk, else as WriteReport.
BOOL WriteDiskReport(const CHdd* disk, ReportKind kind, const QString& folder,
                     const QString& startDir, QString* error = nullptr);

// The kinds of report a disk has: kReportKinds, or kNvmeReportKinds for an
// NVMe disk.
std::vector<ReportKind> ReportKindsOf(const CHdd& disk);

// The reports of one disk in the order of ReportKindsOf; one failing does
// not stop the others. Returns how many were
// written (the save command itself ignores the results).
int WriteDiskReports(const CHdd* disk, const QString& folder, const QString& startDir);

// The same with the templates below the process's current directory.
int WriteDiskReports(const CHdd* disk, const QString& folder);

// What saving the reports of every disk came to: how many files were
// written and, once each, "<file>: <reason>" for what failed (a template
// missing fails the same way for every disk and is said once).
struct ReportSaving {
    int written = 0;
    QStringList failures;
};

// Adds one disk's reports to what a save came to.
void AddDiskReports(ReportSaving& saving, const CHdd* disk, const QString& folder,
                    const QString& startDir);

template <typename Disks>
ReportSaving SaveDiskReports(const Disks& disks, const QString& folder, const QString& startDir) {
    ReportSaving saving;
    for (const CHdd* disk : disks)
        AddDiskReports(saving, disk, folder, startDir);
    return saving;
}

// The one message the user gets after saving: where the reports went, or
// which files failed and why.
QString ReportSavingMessage(const ReportSaving& saving, const QString& folder);

} // namespace vorn::checker
