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

// One statistic the drive gave, for the logs of the command-line tool.
struct DeviceStatistic {
    const char* name;  // the document's key, "power_on_hours"
    const char* unit;  // "count", "hours", "sectors", "milliseconds", "celsius", "minutes"
    const char* label; // shown text, marked for the "DeviceStatistics" context
    int page;
    int offset;
    std::int64_t value;
};

struct DeviceStatistics {
    bool read = false;              // at least one page was read and carried its header
    std::int64_t powerOnHours = -1; // General Statistics, -1 none
    std::int64_t powerCycles = -1;  // General Statistics, -1 none
    int temperature = -1;           // Temperature Statistics, current, degrees Celsius, -1 none
    // Every statistic of both pages the suite knows and the drive keeps
    // valid, in the log's order. Temperatures are signed; 80h is none.
    std::vector<DeviceStatistic> values;
};

// The log as read, page k at byte 512 k (a page that was not read is zero).
// A page counts only with its header (a revision, its own number); an entry
// only with its supported (63) and valid (62) bits set and no value bits
// beyond the statistic's width. A current temperature outside 1-127 is none.
VORNHDD_API DeviceStatistics decodeDeviceStatistics(const std::vector<BYTE>& log);

} // namespace vorn::hdd
