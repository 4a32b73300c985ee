#pragma once

#include "DriveKnowledge.h"

#include <cstdint>
#include <optional>

namespace vorn::checker {

class CDisk;

// Where a disk's power-on hours come from, best first: the drive's own
// Device Statistics, attribute 9 in the unit the drive knowledge gives, in
// the unit the window measured, or taken as hours. An NVMe disk's health
// log counts hours.
enum class PowerOnSource {
    None,
    DeviceStatistics,
    Attribute9,
    Attribute9Measured,
    Attribute9AssumedHours,
    NvmeHealth,
};

// The document's word for it ("device_statistics", ...); null for None.
const char* PowerOnSourceName(PowerOnSource source);

struct PowerOnFacts {
    bool nvme = false;
    std::int64_t nvmeHours = -1;
    std::int64_t statisticsHours = -1;             // -1: no valid entry
    std::optional<hdd::AttributeBytes> attribute9; // the entry, when the drive has one
    hdd::PowerOnUnit knownUnit = hdd::PowerOnUnit::Unknown;
    hdd::RawFormat knownFormat = hdd::RawFormat::Raw48; // of attribute 9
    int measuredUnit = -1;                              // PohUnit.h's code
};

struct PowerOn {
    std::int64_t hours = -1;
    PowerOnSource source = PowerOnSource::None;
};

PowerOn ChoosePowerOn(const PowerOnFacts& facts);

// The facts as the disk holds them after a read.
PowerOnFacts PowerOnFactsOf(const CDisk& disk);
PowerOn ChoosePowerOn(const CDisk& disk);

// True for a disk whose counter's unit only timing it can tell: an ATA disk
// with S.M.A.R.T. enabled whose power-on time neither its Device Statistics
// nor the drive knowledge give.
bool PowerOnUnitNeedsMeasuring(const CDisk& disk);

} // namespace vorn::checker
