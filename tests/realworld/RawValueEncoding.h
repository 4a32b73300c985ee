#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// From the raw value smartctl printed back to the bytes the drive sent.
//
// The printed shape says the layout: "36 (Min/Max 19/46)" is a temperature
// with its range, "21655h+26m+18.810s" an hours-and-milliseconds counter,
// "0/5037754" two counters in one entry, "0x..." a hexadecimal dump. Where
// one shape fits two layouts the attribute name decides (smartctl prints the
// drive database's name): "Nh+Mm" counts half-minutes when the name says so,
// else minutes; "a/b" is a 24/24 load-unload pair for a load counter, else a
// 24-bit count over a 32-bit total. A temperature range is written the way
// most disks lay it out (current, 0, min, max, 0, 0), which smartctl reads
// back as the same text.
namespace realworld {

struct EncodedRaw {
    std::array<std::uint8_t, 6> bytes{}; // raw bytes 0-5 of the entry
    std::uint8_t reserved = 0;           // the entry's last byte, for the 56-bit layouts
    QString format;                      // the layout assumed, in smartctl's -v words

    std::uint64_t raw48() const;
};

// Nullopt when the text fits no layout, or a part of it does not fit its
// bytes.
std::optional<EncodedRaw> encodeRawText(const QString& name, const QString& text);

} // namespace realworld
