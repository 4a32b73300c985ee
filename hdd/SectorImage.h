#pragma once

#include "WinTypes.h"

#include <array>
#include <cstddef>

// One 512-byte sector as the device sent it (IDENTIFY DEVICE, SMART READ
// DATA, SMART READ THRESHOLDS). Multi-byte fields are little-endian whatever
// the host's byte order, so every read below assembles its bytes itself.
using SectorImage = std::array<BYTE, 512>;

namespace vorn::hdd {

// Reads from a buffer of `size` bytes; a field that does not fit wholly
// inside the buffer reads as 0 rather than past its end.
inline WORD readLe16(const BYTE* data, std::size_t size, std::size_t offset) {
    if (offset > size || size - offset < 2)
        return 0;
    return static_cast<WORD>(data[offset] | (data[offset + 1] << 8));
}

inline DWORD readLe32(const BYTE* data, std::size_t size, std::size_t offset) {
    if (offset > size || size - offset < 4)
        return 0;
    return static_cast<DWORD>(data[offset]) | (static_cast<DWORD>(data[offset + 1]) << 8) |
           (static_cast<DWORD>(data[offset + 2]) << 16) |
           (static_cast<DWORD>(data[offset + 3]) << 24);
}

inline ULONGLONG readLe64(const BYTE* data, std::size_t size, std::size_t offset) {
    if (offset > size || size - offset < 8)
        return 0;
    return static_cast<ULONGLONG>(readLe32(data, size, offset)) |
           (static_cast<ULONGLONG>(readLe32(data, size, offset + 4)) << 32);
}

inline void writeLe16(BYTE* data, std::size_t size, std::size_t offset, WORD value) {
    if (offset > size || size - offset < 2)
        return;
    data[offset] = static_cast<BYTE>(value);
    data[offset + 1] = static_cast<BYTE>(value >> 8);
}

inline void writeLe32(BYTE* data, std::size_t size, std::size_t offset, DWORD value) {
    if (offset > size || size - offset < 4)
        return;
    for (int i = 0; i < 4; ++i)
        data[offset + i] = static_cast<BYTE>(value >> (8 * i));
}

// ATA words are numbered from 0; word n starts at byte 2n.
inline WORD identifyWord(const SectorImage& image, int word) {
    return word < 0 ? 0 : readLe16(image.data(), image.size(), static_cast<std::size_t>(word) * 2);
}

} // namespace vorn::hdd
