#include "ByteOrder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using Bytes = std::array<unsigned char, 10>;
const Bytes kPattern = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xFE};

} // namespace

// Every reader and writer against literal bytes, so that the fixtures built
// with these writes cannot share a mistake with the readers under test.
TEST(ByteOrder, FieldsAreLowByteFirstAndStayInsideTheBuffer) {
    const unsigned char* p = kPattern.data();
    EXPECT_EQ(vorn::le::read16(p, 10, 0), 0x0201u);
    EXPECT_EQ(vorn::le::read32(p, 10, 1), 0x05040302u);
    EXPECT_EQ(vorn::le::read64(p, 10, 2), 0xFE09080706050403ull);
    EXPECT_EQ(vorn::le::readUnsigned<std::uint64_t>(p, 10, 4, 6), 0xFE0908070605ull);
    EXPECT_EQ(vorn::le::readUnsigned<std::uint64_t>(p, 10, 9, 1), 0xFEu);

    // A field that does not fit wholly reads 0: at the end, past the end,
    // across the end, wider than its type, or without a buffer.
    EXPECT_EQ(vorn::le::read16(p, 10, 9), 0u);
    EXPECT_EQ(vorn::le::read32(p, 10, 11), 0u);
    EXPECT_EQ(vorn::le::read64(p, 10, SIZE_MAX - 2), 0u);
    EXPECT_EQ(vorn::le::readUnsigned<std::uint16_t>(p, 10, 0, 3), 0u);
    EXPECT_EQ(vorn::le::read32(nullptr, 10, 0), 0u);
    EXPECT_EQ(vorn::le::readUnsigned<std::uint32_t>(p, 10, 10, 0), 0u);

    Bytes out{};
    vorn::le::write16(out.data(), out.size(), 0, 0x0201);
    vorn::le::write32(out.data(), out.size(), 2, 0x06050403);
    vorn::le::writeUnsigned<std::uint64_t>(out.data(), out.size(), 6, 3, 0xAA090807ull);
    EXPECT_EQ(out, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 0}));
    vorn::le::write64(out.data(), out.size(), 2, 0x8877665544332211ull);
    EXPECT_EQ(out, (Bytes{1, 2, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}));

    // Writes that would not fit leave every byte as it was.
    const Bytes before = out;
    vorn::le::write32(out.data(), out.size(), 7, 0xFFFFFFFF);
    vorn::le::write64(out.data(), out.size(), SIZE_MAX - 2, ~0ull);
    vorn::le::writeUnsigned<std::uint16_t>(out.data(), out.size(), 0, 3, 0xFFFF);
    EXPECT_EQ(out, before);
}
