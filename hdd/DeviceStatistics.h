#pragma once

#include "SectorImage.h"
#include "VornHddExport.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The values the suite takes from the drive's Device Statistics log (log
// 04h): the General Statistics page (01h) and the Temperature Statistics
// page (05h). A value counts only when its entry's valid bit is set.
namespace vorn::hdd {

struct DeviceStatistics {
    bool read = false;              // at least one page was read and carried its header
    std::int64_t powerOnHours = -1; // General Statistics, -1 none
    std::int64_t powerCycles = -1;  // General Statistics, -1 none
    int temperature = -1;           // Temperature Statistics, current, degrees Celsius, -1 none
};

// The log as read, page k at byte 512 k (a page that was not read is zero).
// A page counts only with its header (a revision, its own number); an entry
// only with its supported (63) and valid (62) bits set and no value bits
// beyond the statistic's width. A current temperature outside 1-127 is none.
VORNHDD_API DeviceStatistics decodeDeviceStatistics(const std::vector<BYTE>& log);

} // namespace vorn::hdd
