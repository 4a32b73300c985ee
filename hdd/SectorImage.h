#pragma once

#include "ByteOrder.h"
#include "WinTypes.h"

#include <array>
#include <cstddef>

// One 512-byte sector as the device sent it (IDENTIFY DEVICE, SMART READ
// DATA, SMART READ THRESHOLDS). Multi-byte fields are little-endian whatever
// the host's byte order; they are read with vorn::le (ByteOrder.h).
using SectorImage = std::array<BYTE, 512>;

namespace vorn::hdd {

// ATA words are numbered from 0; word n starts at byte 2n.
inline WORD identifyWord(const SectorImage& image, int word) {
    return word < 0
               ? 0
               : vorn::le::read16(image.data(), image.size(), static_cast<std::size_t>(word) * 2);
}

} // namespace vorn::hdd
