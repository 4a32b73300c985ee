#include "DriveKnowledge.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace vorn::hdd;

namespace {

// An attribute entry with raw bytes 0-5, the reserved byte and the current
// and worst values.
AttributeBytes Entry(std::initializer_list<int> raw, int reserved = 0, int current = 100,
                     int worst = 100) {
    AttributeBytes e{};
    e[0] = 1;
    e[3] = static_cast<BYTE>(current);
    e[4] = static_cast<BYTE>(worst);
    std::size_t i = 5;
    for (int b : raw)
        e[i++] = static_cast<BYTE>(b);
    e[11] = static_cast<BYTE>(reserved);
    return e;
}

} // namespace

// The texts are those the system's S.M.A.R.T. tools print for the same
// bytes (the printed ones from real drives' reports), so both can be read
// side by side; value is what the suite counts with.
TEST(RawFormat, PrintsEachFormatAsTheSystemToolsDo) {
    const struct {
        const char* what;
        RawFormat format;
        AttributeBytes entry;
        const char* byteOrder;
        const char* text;
        std::uint64_t value;
    } cases[] = {
        {"48-bit counter", RawFormat::Raw48, Entry({0x39, 0x30, 0, 0, 0, 0x01}), "",
         "1099511640121", 1099511640121ull},
        {"minimum and maximum a byte apart (xx HH xx LL xx TT)", RawFormat::TempMinMax,
         Entry({36, 0, 19, 0, 46, 0}), "", "36 (Min/Max 19/46)", 36},
        {"a minimum below zero, sign-extended", RawFormat::TempMinMax,
         Entry({31, 0, 0xfa, 0xff, 62, 0}), "", "31 (Min/Max -6/62)", 31},
        {"maximum and minimum swapped (xx LL xx HH xx TT)", RawFormat::TempMinMax,
         Entry({30, 0, 50, 0, 20, 0}), "", "30 (Min/Max 20/50)", 30},
        {"00 00 HH LL xx TT", RawFormat::TempMinMax, Entry({27, 0, 20, 28, 0, 0}), "",
         "27 (Min/Max 20/28)", 27},
        {"00 00 00 HH LL TT", RawFormat::TempMinMax, Entry({30, 20, 41, 0, 0, 0}), "",
         "30 (Min/Max 20/41)", 30},
        {"with a count of times over the limit", RawFormat::TempMinMax,
         Entry({27, 0, 26, 53, 7, 0}), "", "27 (Min/Max 26/53 #7)", 27},
        {"a lifetime minimum above the current value", RawFormat::TempMinMax,
         Entry({24, 0, 0, 0, 21, 0}), "", "24 (0 21 0 0 0)", 24},
        {"a byte 0 above 127 without sign extension", RawFormat::TempMinMax,
         Entry({128, 0, 129, 0, 127, 0}), "", "128 (0 127 0 129 0)", 128},
        {"temperature alone", RawFormat::TempMinMax, Entry({36, 0, 0, 0, 0, 0}), "", "36", 36},
        {"tenths of a degree", RawFormat::Temp10x, Entry({0x63, 0x01, 0, 0, 0, 0}), "", "35.5", 35},
        {"hours and milliseconds, reserved byte included", RawFormat::Msec24Hour32,
         Entry({0x97, 0x54, 0, 0, 0x3a, 0x17}, 0x18), "", "21655h+26m+18.810s", 21655},
        {"seconds", RawFormat::Sec2Hour, Entry({0x2e, 0xa2, 0x88, 0x07, 0, 0}), "",
         "35109h+42m+06s", 35109},
        {"minutes", RawFormat::Min2Hour, Entry({0xa9, 0x90, 0, 0, 0, 0}), "", "617h+13m", 617},
        {"minutes with the word above them", RawFormat::Min2Hour, Entry({0xa9, 0x90, 0, 0, 5, 0}),
         "", "617h+13m (5)", 617},
        {"half minutes", RawFormat::Halfmin2Hour, Entry({0xf6, 0xb3, 0x3e, 0, 0, 0}), "",
         "34244h+11m", 34244},
        {"load and unload cycles", RawFormat::Raw24Raw24, Entry({0xba, 0xde, 0x4c, 0, 0, 0}), "",
         "0/5037754", 0},
        {"errors over operations", RawFormat::Raw24Raw32, Entry({1, 0, 0, 1, 2, 0}, 1), "",
         "65538/16777217", 65538},
        {"24 bits with three more bytes", RawFormat::Raw24Raw8, Entry({0xd2, 0x04, 0, 0, 2, 0}), "",
         "1234 (0 2 0)", 1234},
        {"24 bits alone", RawFormat::Raw24Raw8, Entry({0xd2, 0x04, 0, 0, 0, 0}), "", "1234", 1234},
        {"a word with two more", RawFormat::Raw16Raw16, Entry({0xba, 0x08, 0xff, 0xff, 6, 0}), "",
         "2234 (6 65535)", 2234},
        {"spin-up time with its average", RawFormat::Raw16Avg16, Entry({186, 0, 185, 0, 0, 0}), "",
         "186 (Average 185)", 186},
        {"three words", RawFormat::Raw16, Entry({1, 0, 2, 0, 3, 0}), "", "3 2 1", 3},
        {"six bytes", RawFormat::Raw8, Entry({3, 2, 1, 0, 0, 0}), "", "0 0 0 1 2 3", 0},
        {"12 hex digits", RawFormat::Hex48, Entry({0, 0, 0, 0, 0x49, 0}), "", "0x004900000000",
         0x004900000000ull},
        {"56 bits in hex", RawFormat::Hex56, Entry({1, 0, 0, 0, 0, 0}, 0xab), "",
         "0xab000000000001", 0xab000000000001ull},
        {"64 bits take the worst and current values last", RawFormat::Raw64,
         Entry({0, 0, 0, 0, 0, 0}, 0, 2, 1), "", "258", 258},
        {"a byte order that leaves byte 0 out", RawFormat::Raw48, Entry({9, 1, 0, 0, 0, 0}),
         "54321", "1", 1},
        {"a byte order with the worst value first", RawFormat::Hex48,
         Entry({1, 2, 3, 4, 5, 6}, 0, 100, 0x77), "w01234", "0x770102030405", 0x770102030405ull},
    };
    for (const auto& c : cases) {
        const RawValue raw = decodeRaw(c.format, c.entry, QByteArray(c.byteOrder));
        EXPECT_EQ(raw.text.toStdString(), c.text) << c.what;
        EXPECT_EQ(raw.value, c.value) << c.what;
    }
}
