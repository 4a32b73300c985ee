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
    entry.raw48 =
        vorn::le::readUnsigned<std::uint64_t>(attributes.data(), attributes.size(), at + 5, 6);
    for (std::size_t i = 0; i < kEntrySize; ++i)
        entry.bytes[i] = attributes[at + i];
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

std::vector<FailingAttribute> failingAttributes(const SectorImage& attributes,
                                                const SectorImage& thresholds) {
    std::vector<FailingAttribute> failing;
    for (int k = 0; k < kEntryCount; ++k) {
        const AttributeEntry entry = attributeEntry(attributes, k);
        if (entry.id != 0 && atOrBelowThreshold(entry.current, thresholdValue(thresholds, k)))
            failing.push_back({entry.id, entry.preFailure()});
    }
    return failing;
}

int combinedVerdict(int registerVerdict, const std::vector<FailingAttribute>& failing) {
    if (registerVerdict == 1 || failing.empty())
        return registerVerdict;
    if (registerVerdict == 0)
        return 2;
    // Behind a bridge that drops the registers the attributes are all the
    // drive says; a pre-failure one at its threshold is the failure itself.
    for (const FailingAttribute& attribute : failing) {
        if (attribute.preFailure)
            return 1;
    }
    return 2;
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

long long unsignedCount(const SectorImage& attributes, BYTE id) {
    if (id == 0)
        return -1;
    for (int k = 0; k < kEntryCount; ++k) {
        const AttributeEntry entry = attributeEntry(attributes, k);
        if (entry.id == id)
            return entry.raw == 0xFFFFFFFFu ? -1 : static_cast<long long>(entry.raw);
    }
    return -1;
}

} // namespace vorn::smart
