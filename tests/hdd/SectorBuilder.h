#pragma once

#include "SectorImage.h"

#include <QString>

#include <cstring>
#include <ostream>
#include <string>

// Hand-made sectors for the decoder tests: each helper writes one field the
// way the device lays it out.
namespace testimg {

inline void setWord(SectorImage& image, int word, WORD value) {
    vorn::hdd::writeLe16(image.data(), image.size(), static_cast<std::size_t>(word) * 2, value);
}

inline void setDword(SectorImage& image, std::size_t offset, DWORD value) {
    vorn::hdd::writeLe32(image.data(), image.size(), offset, value);
}

inline void setQword(SectorImage& image, std::size_t offset, ULONGLONG value) {
    setDword(image, offset, static_cast<DWORD>(value));
    setDword(image, offset + 4, static_cast<DWORD>(value >> 32));
}

// Text in reading order, padded with blanks to the field length (as the
// decoders see it after the byte-pair swap).
inline void setText(SectorImage& image, int offset, int length, const std::string& text) {
    std::memset(image.data() + offset, ' ', static_cast<std::size_t>(length));
    std::memcpy(image.data() + offset, text.data(),
                text.size() < std::size_t(length) ? text.size() : std::size_t(length));
}

// The same text as the device sends it: each byte pair exchanged.
inline void setDeviceText(SectorImage& image, int offset, int length, const std::string& text) {
    setText(image, offset, length, text);
    for (int i = 0; i + 1 < length; i += 2)
        std::swap(image[offset + i], image[offset + i + 1]);
}

struct Attribute {
    BYTE id;
    BYTE current;
    BYTE worst;
    ULONGLONG raw; // six bytes
};

inline void setAttribute(SectorImage& sector, int k, const Attribute& a) {
    const std::size_t at = 2 + 12 * static_cast<std::size_t>(k);
    sector[at] = a.id;
    sector[at + 1] = 0x33;
    sector[at + 2] = 0x00;
    sector[at + 3] = a.current;
    sector[at + 4] = a.worst;
    for (int i = 0; i < 6; ++i)
        sector[at + 5 + i] = static_cast<BYTE>(a.raw >> (8 * i));
}

inline void setThreshold(SectorImage& sector, int k, BYTE id, BYTE threshold) {
    const std::size_t at = 2 + 12 * static_cast<std::size_t>(k);
    sector[at] = id;
    sector[at + 1] = threshold;
}

} // namespace testimg

// Readable QString values in assertion messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
