#pragma once

#include "ByteOrder.h"
#include "IdentifyLayout.h"
#include "WinTypes.h"

#include <array>
#include <cstddef>

// One 512-byte sector as the device sent it (IDENTIFY DEVICE, SMART READ
// DATA, SMART READ THRESHOLDS). Multi-byte fields are little-endian whatever
// the host's byte order; they are read with vorn::le (ByteOrder.h).
using SectorImage = std::array<BYTE, 512>;

namespace vorn::hdd {

// Word n of an IDENTIFY sector; 0 for a word outside it.
inline WORD identifyWord(const SectorImage& image, int word) {
    return word < 0
               ? 0
               : vorn::le::read16(image.data(), image.size(), vorn::identify::byteOfWord(word));
}

} // namespace vorn::hdd
