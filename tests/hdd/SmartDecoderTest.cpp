#include "SmartDecoder.h"
#include "CHddSmart.h"

#include "SectorBuilder.h"

#include <gtest/gtest.h>

#include <vector>

using testimg::Attribute;

namespace {

SectorImage sectorOf(const std::vector<Attribute>& attributes) {
    SectorImage sector{};
    for (std::size_t k = 0; k < attributes.size(); ++k)
        testimg::setAttribute(sector, static_cast<int>(k), attributes[k]);
    return sector;
}

TEST(SmartVerdict, OnlyTheTwoKnownPairsDecide) {
    const struct {
        BYTE low, high;
        int verdict;
    } rows[] = {
        {0x4F, 0xC2, 0},  {0xF4, 0x2C, 1},  {0x4F, 0x2C, -1},
        {0xF4, 0xC2, -1}, {0x00, 0x00, -1}, {0xC2, 0x4F, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(vorn::smart::verdictFromRegisters(row.low, row.high), row.verdict)
            << std::hex << int(row.low) << "/" << int(row.high);
}

TEST(SmartTemperature, FirstPlausibleWinsElseLastImplausible) {
    const struct {
        const char* what;
        std::vector<Attribute> entries;
        int expected;
    } rows[] = {
        {"194 then 231", {{194, 100, 100, 40}, {231, 100, 100, 35}}, 40},
        {"231 then 194", {{231, 100, 100, 35}, {194, 100, 100, 40}}, 35},
        {"implausible alone", {{194, 100, 100, 120}}, 120},
        {"implausible then plausible", {{194, 100, 100, 120}, {231, 100, 100, 38}}, 38},
        {"two implausible: the last", {{194, 100, 100, 120}, {231, 100, 100, 200}}, 200},
        {"99 is plausible, 100 is not", {{194, 100, 100, 100}, {231, 100, 100, 99}}, 99},
        // Only raw byte 0 counts: min/max temperatures sit in the bytes above.
        {"upper raw bytes ignored", {{9, 100, 100, 5000}, {194, 100, 100, 0x0032001E0025}}, 0x25},
        {"no temperature entry", {{9, 100, 100, 5000}, {12, 100, 100, 20}}, -1},
        {"zero sector", {}, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(vorn::smart::temperature(sectorOf(row.entries)), row.expected);
    }
}

TEST(SmartCounts, FirstEntryWithTheIdAndLowFourRawBytes) {
    CHddSmart smart;
    smart.m_Attribute = sectorOf({
        {1, 100, 100, 0},
        {9, 98, 98, 0x000100002710}, // 10 27 00 00 01 00: bytes 4 and 5 ignored
        {9, 97, 97, 1},
        {12, 99, 99, 0xFFFFFFFF},
    });
    EXPECT_EQ(smart.GetPowerOnHours(), 10000);
    EXPECT_EQ(smart.GetPowerCycle(), -1); // the full 32-bit count reads as "none"
    EXPECT_EQ(smart.GetTemperature(), -1);

    // The last slot is still part of the table; a count beyond it is not.
    SectorImage last{};
    testimg::setAttribute(last, 29, {12, 100, 100, 77});
    EXPECT_EQ(vorn::smart::rawCount(last, 12), 77);
    EXPECT_EQ(vorn::smart::attributeEntry(last, 30).id, 0);
}

} // namespace
