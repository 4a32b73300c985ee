#pragma once

#include "DeviceBackend.h"
#include "SectorImage.h"
#include "VornHddExport.h"
#include "WinTypes.h"

#include <vector>

// How the Device Statistics log (04h) is asked for: the command the
// identify data allow, and the reads themselves. The disk's no-wake rules are
// the caller's: these are sent only to a disk the pass reads anyway.
namespace vorn::hdd {

enum class StatisticsRoute {
    None,         // the identify data give no reason to think the log exists
    ReadLogExt,   // 48-bit and General Purpose Logging: one page at a time
    SmartReadLog, // S.M.A.R.T. on and an ACS-2 or later drive: pages 00h-05h at once
};

VORNHDD_API StatisticsRoute statisticsRoute(const SectorImage& identify);

// The commands themselves, exactly as the device layer's allow-list takes them.
VORNHDD_API vorn::platform::AtaCommand statisticsReadLogExt(BYTE page);
VORNHDD_API vorn::platform::AtaCommand statisticsSmartReadLog();

// The pages of the log a drive's list (page 00h) names: general and
// temperature statistics, when listed. Empty for a page that is no list.
VORNHDD_API std::vector<BYTE> listedStatisticsPages(const std::vector<BYTE>& pageList);

// Sends the route's reads on an open handle (an adapter's disk by target),
// each with its trace line, and returns the log from page 00h with the pages
// not read left zero; empty when the drive gave nothing.
VORNHDD_API std::vector<BYTE> readStatisticsLog(HANDLE device, BYTE target, StatisticsRoute route);

} // namespace vorn::hdd
