#pragma once

#include "PassClock.h"

#include <cstdint>
#include <functional>

namespace vorn::checker {

class CDisk;
class CDiskList;

// Disks count power-on time in different units (hours, minutes, seconds,
// half minutes...). The checker learns a disk's unit by watching the
// counter: a counter that moves fast is counting seconds.

// The unit code of a counter in whole hours.
inline constexpr int kPohUnitHours = 7;

// The counts per hour of a unit code; -1 for -1 (not determined), 1 for 7
// and for any code the table does not know.
int PohDivisor(int unit);

// Raw counter in hours, truncated toward zero; -1 when the unit is not
// determined or the disk gives no counter.
int PohHours(int raw, int unit);

// The unit after watching the counter grow by delta in elapsed seconds: 0
// (seconds) as soon as it grew 28 or more; after 178 seconds 1 for 5 or
// more, 2 for 2 to 4, 7 for less; otherwise still -1.
int DecidePohUnit(std::int64_t elapsedSeconds, std::int64_t delta);

// The measurement over all ATA disks with S.M.A.R.T. enabled (an NVMe disk
// counts hours). The window owns the
// 30-second timer and calls Pass on each tick; IsRunning() stands for "the
// timer is set".
class CPohMeasurement {
public:
    static constexpr int kIntervalMs = 30000;

    explicit CPohMeasurement(diskpass::PassClock now) : m_now(std::move(now)) {}

    // Starts watching every S.M.A.R.T. disk from its current counter. With
    // reset, each such disk's unit is forgotten first and its baseline
    // written through writeBaseline (which may be empty).
    void Start(const CDiskList& disks, bool reset,
               const std::function<void(CDisk*)>& writeBaseline = {});

    // One timer tick after the disks were refreshed: decides the units that
    // can be decided. Returns true when every S.M.A.R.T. disk has a unit; the
    // measurement then stops.
    bool Pass(const CDiskList& disks);

    bool IsRunning() const { return m_bRunning; }
    void Stop() { m_bRunning = false; }

    // Seconds the measurement lasts; the power-on box shows progress out of it.
    int m_nPohWindow = 180;

private:
    diskpass::PassClock m_now;
    bool m_bRunning = false;
};

} // namespace vorn::checker
