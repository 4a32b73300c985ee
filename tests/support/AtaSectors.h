#pragma once

#include "ByteOrder.h"
#include "WinTypes.h"

#include <QByteArray>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

// Hand-made 512-byte ATA sectors (IDENTIFY, READ DATA, READ THRESHOLDS) for
// any byte container of that size. Every helper writes one field the way the
// device lays it out; the little-endian writes are vorn::le's, whose own test
// pins them to literal bytes.
namespace testimg {

template <typename Sector> BYTE* bytesOf(Sector& sector) {
    return reinterpret_cast<BYTE*>(&sector[0]);
}

template <typename Sector> std::size_t sizeOf(const Sector& sector) {
    return static_cast<std::size_t>(sector.size());
}

template <typename Sector> void setWord(Sector& sector, int word, WORD value) {
    vorn::le::write16(bytesOf(sector), sizeOf(sector), std::size_t(word) * 2, value);
}

template <typename Sector> void setDword(Sector& sector, std::size_t offset, DWORD value) {
    vorn::le::write32(bytesOf(sector), sizeOf(sector), offset, value);
}

template <typename Sector> void setQword(Sector& sector, std::size_t offset, ULONGLONG value) {
    vorn::le::write64(bytesOf(sector), sizeOf(sector), offset, value);
}

// Text in reading order, padded with blanks to the field length (as the
// decoders see it after the byte-pair swap).
template <typename Sector>
void setText(Sector& sector, int offset, int length, const std::string& text) {
    for (int i = 0; i < length; ++i)
        sector[std::size_t(offset + i)] = i < int(text.size()) ? BYTE(text[std::size_t(i)]) : ' ';
}

// The same text as the device sends it: each byte pair exchanged.
template <typename Sector>
void setDeviceText(Sector& sector, int offset, int length, const std::string& text) {
    setText(sector, offset, length, text);
    for (int i = 0; i + 1 < length; i += 2)
        std::swap(sector[std::size_t(offset + i)], sector[std::size_t(offset + i + 1)]);
}

struct Attribute {
    BYTE id;
    BYTE current;
    BYTE worst;
    ULONGLONG raw; // six bytes
};

// Entry k of a READ DATA sector's attribute table.
template <typename Sector> void setAttribute(Sector& sector, int k, const Attribute& a) {
    const std::size_t at = 2 + 12 * std::size_t(k);
    sector[at] = a.id;
    sector[at + 1] = 0x33;
    sector[at + 2] = 0x00;
    sector[at + 3] = a.current;
    sector[at + 4] = a.worst;
    vorn::le::writeUnsigned(bytesOf(sector), sizeOf(sector), at + 5, 6, a.raw);
}

// Entry k of a READ THRESHOLDS sector.
template <typename Sector> void setThreshold(Sector& sector, int k, BYTE id, BYTE threshold) {
    const std::size_t at = 2 + 12 * std::size_t(k);
    sector[at] = id;
    sector[at + 1] = threshold;
}

// Sum of the 512 bytes modulo 256: 0 for a sector with a good checksum.
inline BYTE byteSum(const BYTE* sector) {
    BYTE sum = 0;
    for (int i = 0; i < 512; ++i)
        sum = BYTE(sum + sector[i]);
    return sum;
}

// Byte 511 such that the sector sums to 0.
template <typename Sector> void sealChecksum(Sector& sector) {
    sector[511] = 0;
    sector[511] = BYTE(0x100 - byteSum(&sector[0]));
}

// The sector as a simulated machine's .hex file.
template <typename Sector> QByteArray hexFile(const Sector& sector) {
    const QByteArray bytes(reinterpret_cast<const char*>(&sector[0]), 512);
    return "# hand-made test sector\n" + bytes.toHex(' ') + '\n';
}

} // namespace testimg
