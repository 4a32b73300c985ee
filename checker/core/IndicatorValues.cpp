#include "IndicatorValues.h"

#include "CHdd.h"
#include "NvmeDecoder.h"
#include "PanelText.h"

#include <algorithm>

namespace vorn::checker {

std::optional<TemperatureRgb> TemperatureColour(int degrees, double slope) {
    const int clamped = std::min(degrees, 60);
    if (clamped <= 0)
        return std::nullopt;
    // The red component is the low byte of the truncated negative product,
    // counted down from 255: one below floor(slope * t), except that a
    // product of exactly 256 wraps round to 255. Both drawings rely on this
    // wrap to reach pure red at 60 degrees with the steeper slope.
    const int product = static_cast<int>(clamped * -slope);
    const int red = (255 - (product & 0xFF)) & 0xFF;
    return TemperatureRgb{red, 255 - red, 255 - red};
}

double DiskWear(const CHdd& disk) {
    // An NVMe controller estimates its own wear: percentage used.
    if (disk.IsNvme()) {
        const SectorImage& log = disk.m_HddNvme.m_HealthLog;
        return disk.m_HddNvme.m_bHealthLog ? log[vorn::nvme::health::kPercentageUsed] : 0.0;
    }
    double wear = 0.0;
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        // A temperature by the drive's meaning swings with the room; an
        // SSD's 231 as life left is wear itself.
        if (!record->m_bTemperature)
            wear = std::max(wear, record->CalcDepleted());
    }
    return wear;
}

DiskButtonValues DiskButtonValuesOf(const CHdd& disk) {
    return {disk.GetTemperature(), DiskWear(disk)};
}

} // namespace vorn::checker
