#include "SmartDecoder.h"

namespace vorn::smart {

namespace {
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kFirstEntry = 2;

std::size_t entryOffset(int k) {
    return kFirstEntry + kEntrySize * static_cast<std::size_t>(k);
}
} // namespace

AttributeEntry attributeEntry(const SectorImage& attributes, int k) {
    AttributeEntry entry;
    if (k < 0 || k >= kEntryCount)
        return entry;
    const std::size_t at = entryOffset(k);
    entry.id = attributes[at];
    entry.flags = vorn::le::read16(attributes.data(), attributes.size(), at + 1);
    entry.current = attributes[at + 3];
    entry.worst = attributes[at + 4];
    entry.raw = vorn::le::read32(attributes.data(), attributes.size(), at + 5);
    return entry;
}

BYTE thresholdValue(const SectorImage& thresholds, int k) {
    if (k < 0 || k >= kEntryCount)
        return 0;
    return thresholds[entryOffset(k) + 1];
}

int verdictFromRegisters(BYTE cylinderLow, BYTE cylinderHigh) {
    if (cylinderLow == 0x4F && cylinderHigh == 0xC2)
        return 0;
    if (cylinderLow == 0xF4 && cylinderHigh == 0x2C)
        return 1;
    return -1;
}

int temperature(const SectorImage& attributes) {
    int implausible = -1;
    for (int k = 0; k < kEntryCount; ++k) {
        const AttributeEntry entry = attributeEntry(attributes, k);
        if (!isTemperatureAttribute(entry.id))
            continue;
        const int degrees = static_cast<BYTE>(entry.raw);
        if (degrees < 100)
            return degrees;
        implausible = degrees;
    }
    return implausible;
}

int rawCount(const SectorImage& attributes, BYTE id) {
    if (id == 0)
        return -1; // empty slots carry no count
    for (int k = 0; k < kEntryCount; ++k) {
        const AttributeEntry entry = attributeEntry(attributes, k);
        if (entry.id == id)
            return static_cast<int>(entry.raw);
    }
    return -1;
}

} // namespace vorn::smart
