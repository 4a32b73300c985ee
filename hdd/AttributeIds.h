#pragma once

#include "WinTypes.h"

// The attribute IDs the suite gives a meaning of its own: the power-on
// counters, and the temperatures, which get a box of their own instead of a
// row and are read for the disk's temperature.
namespace vorn::smart {

constexpr BYTE kIdPowerOnHours = 9;
constexpr BYTE kIdPowerCycles = 12;
constexpr BYTE kIdTemperature = 194;
constexpr BYTE kIdTemperatureAlt = 231;
constexpr BYTE kIdHoursInUse = 222;

constexpr bool isTemperatureAttribute(int id) {
    return id == kIdTemperature || id == kIdTemperatureAlt;
}

} // namespace vorn::smart
