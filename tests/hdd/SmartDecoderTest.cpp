#include "SmartDecoder.h"
#include "CHddSmart.h"
#include "TemperatureChoice.h"

#include "SectorBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// An entry with its threshold, and whether it predicts a failure (flags
// bit 0); the sector builder marks every entry pre-failure.
struct Graded {
    BYTE id;
    BYTE current;
    BYTE threshold;
    bool preFailure = true;
};

void loadGraded(CHddSmart& smart, const std::vector<Graded>& entries) {
    smart.m_Attribute = SectorImage{};
    smart.m_Threshold = SectorImage{};
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const Graded& e = entries[k];
        testimg::setAttribute(smart.m_Attribute, int(k), {e.id, e.current, e.current, 0});
        if (!e.preFailure)
            smart.m_Attribute[2 + 12 * k + 1] &= 0xFE;
        testimg::setThreshold(smart.m_Threshold, int(k), e.id, e.threshold);
    }
}

TEST(SmartVerdict, RegistersJoinedWithTheThresholds) {
    const struct {
        const char* what;
        int registers;
        std::vector<Graded> entries;
        int status;
        std::vector<BYTE> failing;
    } rows[] = {
        {"good, nothing failing", 0, {{5, 100, 36}, {197, 100, 0}}, 0, {}},
        {"good, an attribute at its threshold: caution", 0, {{1, 100, 6}, {5, 36, 36}}, 2, {5}},
        {"good, an old-age attribute below: caution", 0, {{190, 40, 45, false}}, 2, {190}},
        {"no registers, a pre-failure attribute below: failing",
         -1,
         {{5, 1, 5}, {9, 90, 0}, {197, 1, 10}},
         1,
         {5, 197}},
        {"no registers, only an old-age attribute below: caution",
         -1,
         {{5, 100, 36}, {190, 40, 45, false}},
         2,
         {190}},
        {"no registers, nothing failing: unknown", -1, {{5, 100, 36}, {194, 0, 0}}, -1, {}},
        {"exceeded stays exceeded", 1, {{5, 100, 36}}, 1, {}},
        {"a zero threshold never fails, even at zero", 0, {{5, 0, 0}}, 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CHddSmart smart;
        loadGraded(smart, row.entries);
        smart.m_nStatus = row.registers;
        EXPECT_EQ(smart.GetStatus(), row.status);
        EXPECT_EQ(smart.GetFailingAttributes(), row.failing);
        smart.GetDisplayAttribute();
        for (const CHddSmartDisp* record : smart.m_DispList) {
            const bool listed = std::find(row.failing.begin(), row.failing.end(), record->m_byId) !=
                                row.failing.end();
            EXPECT_EQ(record->BelowThreshold(), listed) << int(record->m_byId);
        }
    }
}

vorn::hdd::DriveKnowledge modelEntry(int id, const char* name) {
    vorn::hdd::DriveKnowledge knowledge;
    knowledge.inDatabase = true;
    knowledge.attributes[id] = {vorn::hdd::RawFormat::Raw48, QString::fromLatin1(name), true, {}};
    return knowledge;
}

TEST(SmartTemperature, ChoiceByTheDrivesMeaning) {
    vorn::hdd::DriveKnowledge none;
    const vorn::hdd::DriveKnowledge lifeLeft = modelEntry(231, "SSD_Life_Left");
    vorn::hdd::DriveKnowledge named190;
    named190.temperatureId = 190;
    vorn::hdd::DeviceStatistics statistics;
    statistics.temperature = 41;
    const vorn::hdd::DeviceStatistics noStatistics;
    const struct {
        const char* what;
        std::vector<Attribute> entries;
        const vorn::hdd::DriveKnowledge& knowledge;
        const vorn::hdd::DeviceStatistics& statistics;
        int degrees;
        const char* source;
    } rows[] = {
        {"194 beats 190 whatever the order",
         {{190, 60, 60, 35}, {194, 100, 100, 40}},
         none,
         noStatistics,
         40,
         "attribute_194"},
        {"190 alone", {{190, 65, 65, 35}}, none, noStatistics, 35, "attribute_190"},
        {"a no-sensor 128 in 194 gives way to 190",
         {{194, 100, 100, 128}, {190, 67, 67, 33}},
         none,
         noStatistics,
         33,
         "attribute_190"},
        {"min and max above byte 0 are not the reading",
         {{194, 100, 100, 0x0032001E0025}},
         none,
         noStatistics,
         37,
         "attribute_194"},
        {"127 is a reading, 0 is none",
         {{194, 100, 100, 0}, {231, 100, 100, 127}},
         none,
         noStatistics,
         127,
         "attribute_231"},
        {"231 as the life left is no temperature",
         {{231, 20, 20, 20}},
         lifeLeft,
         noStatistics,
         -1,
         ""},
        {"231 as the life left, the statistics log speaks",
         {{231, 20, 20, 20}},
         lifeLeft,
         statistics,
         41,
         "device_statistics"},
        {"an attribute beats the statistics log",
         {{194, 100, 100, 38}},
         none,
         statistics,
         38,
         "attribute_194"},
        {"the database's temperature beats 194",
         {{194, 100, 100, 50}, {190, 70, 70, 30}},
         named190,
         noStatistics,
         30,
         "attribute_190"},
        {"nothing at all", {{9, 100, 100, 5000}}, none, noStatistics, -1, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const vorn::hdd::TemperatureChoice choice =
            vorn::hdd::chooseTemperature(sectorOf(row.entries), row.knowledge, row.statistics);
        EXPECT_EQ(choice.degrees, row.degrees);
        EXPECT_EQ(choice.sourceName(), QString::fromLatin1(row.source));
    }
}

TEST(SmartTemperature, TenthsOfADegreeAreDecodedByTheirFormat) {
    vorn::hdd::DriveKnowledge knowledge;
    knowledge.attributes[194] = {vorn::hdd::RawFormat::Temp10x, QString(), true, {}};
    const SectorImage sector = sectorOf({{194, 100, 100, 405}});
    const vorn::smart::AttributeEntry entry = vorn::smart::attributeEntry(sector, 0);
    if (vorn::hdd::decodeRaw(vorn::hdd::RawFormat::Temp10x, entry.bytes).value == 405)
        GTEST_SKIP() << "this build decodes no raw formats yet";
    const int degrees = vorn::hdd::chooseTemperature(sector, knowledge, {}).degrees;
    EXPECT_TRUE(degrees == 40 || degrees == 41) << degrees; // 40.5, rounded either way
}

TEST(SmartCounts, UnsignedAtTwoToTheThirtyFirstAndFortySeventh) {
    const SectorImage sector = sectorOf({
        {12, 100, 100, 0xFF000000},      // a count printed as -16,777,216 before
        {241, 100, 100, 0x800000000000}, // 2^47: only bytes 4 and 5 hold it
        {9, 100, 100, 0x80000000},
    });
    CHddSmart smart;
    smart.m_Attribute = sector;
    EXPECT_EQ(smart.GetPowerCycle(), 4278190080LL);
    const vorn::smart::AttributeEntry wide = vorn::smart::attributeEntry(sector, 1);
    EXPECT_EQ(wide.raw, 0u);
    EXPECT_EQ(wide.raw48, 0x800000000000ULL);
    smart.GetDisplayAttribute();
    EXPECT_EQ(smart.m_DispList.GetAt(0)->m_nRaw, 4278190080u);
    EXPECT_EQ(smart.m_DispList.GetAt(1)->m_nRaw48, 140737488355328ULL);
    EXPECT_EQ(smart.m_DispList.GetAt(1)->RawText(), QStringLiteral("140737488355328"));
    EXPECT_EQ(smart.m_DispList.GetAt(2)->m_nRaw, 2147483648u);
}

} // namespace
