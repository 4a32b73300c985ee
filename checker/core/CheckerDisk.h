#pragma once

#include "ScannedDisk.h"

#include <cstdint>

namespace vorn::checker {

// The checker's disk: a scanned disk with what the checker keeps beside it,
// the baseline time and the power-on-hours unit and its measurement. Times
// are seconds since 1970-01-01 UTC.
class CDisk : public diskpass::CScannedDisk {
    VORN_DECLARE_DYNCREATE(CDisk)

public:
    CDisk();

    // Local time 1971-01-01 00:00:00: a baseline time that no file has
    // supplied and no write has set yet.
    static std::int64_t BaselineNotWritten();

    std::int64_t m_timeBaseline;
    int m_nPohUnit = -1;
    int m_nPohStart = 0;
    std::int64_t m_timePohStart = 0; // 0: no measurement started
    bool m_bPohRestart = false;      // slept through a pass: watch again on waking
};

} // namespace vorn::checker
