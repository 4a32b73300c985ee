#pragma once

#include <optional>

class CHdd;

namespace vorn::checker {

// What the checker's drawn indicators show, kept free of any window so that
// the tests and the other programs compute the same colours and bars.

struct TemperatureRgb {
    int red = 0;
    int green = 0;
    int blue = 0;

    bool operator==(const TemperatureRgb& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
};

// Slopes of the two temperature drawings: the toolbar square and the
// information panel's temperature box differ by a hair and so, at 30, 45, 59
// and 60 degrees, by one step of red.
inline constexpr double kDiskButtonSlope = 4.25;
inline constexpr double kTempBoxSlope = 4.266666666666667;

// Cyan at 1 degree to red at 60 and above (the temperature is clamped to
// 60). Nothing for 0 and below, where the control paints its neutral colour
// and no figure.
std::optional<TemperatureRgb> TemperatureColour(int degrees, double slope);

// The disk's wear in per cent: the greatest depletion among its display
// records other than the temperature attributes, and never below 0 (a disk
// without records, or with every record at or above its baseline, has 0).
// An NVMe disk's wear is its health log's percentage used.
double DiskWear(const CHdd& disk);

// What the toolbar square paints of a disk, copied from it after a pass so
// that the square never reads a disk a later pass is rewriting.
struct DiskButtonValues {
    int temperature = 0; // degrees; 0 and below paint no colour and no figure
    double wear = 0;     // per cent, as DiskWear
};

DiskButtonValues DiskButtonValuesOf(const CHdd& disk);

} // namespace vorn::checker
