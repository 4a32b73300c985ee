#include "PohUnit.h"

#include "DiskList.h"
#include "PowerOnChoice.h"

namespace vorn::checker {

int PohDivisor(int unit) {
    switch (unit) {
    case -1:
        return -1;
    case 0:
        return 3600;
    case 1:
        return 120;
    case 2:
        return 60;
    case 3:
        return 12;
    case 4:
        return 6;
    case 5:
        return 3;
    case 6:
        return 2;
    default:
        return 1;
    }
}

int PohHours(int raw, int unit) {
    const int divisor = PohDivisor(unit);
    if (divisor < 0 || raw < 0)
        return -1;
    return raw / divisor;
}

int DecidePohUnit(std::int64_t elapsedSeconds, std::int64_t delta) {
    if (delta >= 28)
        return 0;
    if (elapsedSeconds < 178)
        return -1;
    if (delta >= 5)
        return 1;
    if (delta >= 2)
        return 2;
    return 7;
}

void CPohMeasurement::Start(const CDiskList& disks, bool reset,
                            const std::function<void(CDisk*)>& writeBaseline) {
    m_bRunning = false;
    for (CDisk* disk : disks) {
        if (!disk->EnableSMART() || disk->IsNvme())
            continue;
        if (reset) {
            disk->m_nPohUnit = -1;
            disk->m_timePohStart = 0;
            if (writeBaseline)
                writeBaseline(disk);
        }
        disk->m_nPohStart = disk->GetPowerOnHours();
        disk->m_timePohStart = m_now();
    }
    m_nPohWindow = 180;
    m_bRunning = true;
}

bool CPohMeasurement::Pass(const CDiskList& disks) {
    bool allKnown = true;
    const std::int64_t now = m_now();
    for (CDisk* disk : disks) {
        // A disk whose hours its statistics or its knowledge give is not timed.
        if (!PowerOnUnitNeedsMeasuring(*disk))
            continue;
        if (disk->m_nPohUnit == -1 && disk->m_bSleeping) {
            // Its counter was not read; once it wakes, it is watched afresh,
            // since a disk may not count the time it spent asleep.
            disk->m_bPohRestart = true;
            allKnown = false;
            continue;
        }
        if (disk->m_nPohUnit == -1 && disk->m_bPohRestart) {
            disk->m_bPohRestart = false;
            disk->m_nPohStart = disk->GetPowerOnHours();
            disk->m_timePohStart = now;
        }
        if (disk->m_nPohUnit == -1) {
            const std::int64_t elapsed = now - disk->m_timePohStart;
            const std::int64_t delta =
                static_cast<std::int64_t>(disk->GetPowerOnHours()) - disk->m_nPohStart;
            disk->m_nPohUnit = DecidePohUnit(elapsed, delta);
        }
        if (disk->m_nPohUnit == -1)
            allKnown = false;
    }
    if (allKnown)
        m_bRunning = false;
    return allKnown;
}

} // namespace vorn::checker
