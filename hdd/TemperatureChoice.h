#pragma once

#include "DeviceStatistics.h"
#include "DriveKnowledge.h"
#include "SectorImage.h"
#include "VornHddExport.h"

#include <QString>

// Which reading is an ATA disk's temperature: the attribute the drive
// database names, else 194, else 190, else 231 where 231 is not the life
// left, and where no attribute gives one the Device Statistics log.
namespace vorn::hdd {

struct TemperatureChoice {
    int degrees = -1;    // -1: no reading
    int attributeId = 0; // the attribute read, 0 for none
    bool fromDeviceStatistics = false;

    // "attribute_194", "device_statistics", or empty for no reading.
    QString sourceName() const;
};

// A sensor gives 1 to 127 degrees; 0 and 128 and above are what drives send
// without one.
constexpr bool isPlausibleTemperature(long long degrees) {
    return degrees >= 1 && degrees <= 127;
}

// The degrees one attribute entry reads as: the current temperature its
// raw format leads with (tenths of a degree for Temp10x), else raw byte 0,
// where every other layout keeps the current degrees.
VORNHDD_API long long entryDegrees(const AttributeBytes& entry, const DriveKnowledge& knowledge);

VORNHDD_API TemperatureChoice chooseTemperature(const SectorImage& attributes,
                                                const DriveKnowledge& knowledge,
                                                const DeviceStatistics& statistics);

} // namespace vorn::hdd
