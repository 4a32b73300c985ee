#include "DriveKnowledge.h"

// Placeholder until the drive database reader lands: every drive is generic.
namespace vorn::hdd {

DriveKnowledge lookupDriveKnowledge(const QString&, const QString&) {
    return {};
}

RawValue decodeRaw(RawFormat, const AttributeBytes& entry) {
    std::uint64_t v = 0;
    for (int i = 5; i >= 0; --i)
        v = (v << 8) | entry[static_cast<std::size_t>(5 + i)];
    return {v, QString::number(v)};
}

} // namespace vorn::hdd
