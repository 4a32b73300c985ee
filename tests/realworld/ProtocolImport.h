#pragma once

#include "ReportImporter.h"
#include "ReportText.h"

// The two halves of the importer, one per protocol. Each fills outcome and
// sets its kind.
namespace realworld {

void importAtaReport(const ReportText& report, ImportOutcome* outcome);
void importNvmeReport(const ReportText& report, ImportOutcome* outcome);

// The verdict of "SMART overall-health self-assessment test result:".
Verdict overallVerdict(const ReportText& report);

} // namespace realworld
