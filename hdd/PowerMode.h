#pragma once

#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

// Whether a disk sleeps, found out without waking it. A disk that the
// kernel has runtime-suspended is not asked at all (any request would
// resume it); otherwise CHECK POWER MODE, which a disk answers from its
// controller without spinning up, tells the mode in the returned sector
// count.
namespace vorn::hdd {

enum class PowerMode {
    Unknown, // the check was not possible or not made: the disk is read
    Active,
    Idle,
    Standby, // spun down: a periodic pass leaves it alone
};

// What the two probes found.
struct PowerProbe {
    bool runtimeSuspended = false;
    bool checkAnswered = false; // CHECK POWER MODE completed without ERR
    BYTE sectorCount = 0;       // its returned sector count
};

// The decision table: runtime-suspended is standby whatever else; an
// answered check gives 00, 01 and 40 (standby and the spun-down cache mode)
// standby, 80 to 83 idle, FF and 41 active, anything else unknown; a failed
// check is unknown.
VORNHDD_API PowerMode DecidePowerMode(const PowerProbe& probe);

// "active", "idle", "standby", "unknown".
VORNHDD_API QString PowerModeName(PowerMode mode);

// A periodic pass reads a disk unless it is known to sleep.
inline bool ReadsInPeriodicPass(PowerMode mode) {
    return mode != PowerMode::Standby;
}

} // namespace vorn::hdd
