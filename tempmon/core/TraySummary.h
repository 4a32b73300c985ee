#pragma once

#include "DiskState.h"
#include "HeatgaugeMonitor.h"

#include <QString>

#include <vector>

// The one tray icon that stands for every disk, for a machine with more
// disks than a tray has room for icons: the hottest temperature on it, the
// worst state as its frame, so a failing disk is not hidden behind a cool
// one, and a tip with a line per disk.
struct TraySummary {
    int temperature = kUnknownTemperature;
    vorn::DiskState state = vorn::DiskState::Good;
    QString tip;
};

// A line per disk in list order, its description then its name
// ("41 ℃ 正常 ST2000DM008 C: D:", ReadingWords). No disk gives the
// program's name.
TraySummary SummaryOf(const std::vector<DiskReading>& readings);
