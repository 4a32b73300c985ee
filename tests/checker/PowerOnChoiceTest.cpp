#include "PowerOnChoice.h"
#include "CheckerTestDisks.h"
#include "PanelText.h"

#include <gtest/gtest.h>

namespace {

using namespace vorn::checker;
using vorn::hdd::PowerOnUnit;
using Source = PowerOnSource;

vorn::hdd::AttributeBytes attribute9(std::uint64_t raw) {
    vorn::hdd::AttributeBytes entry{};
    entry[0] = 9;
    vorn::le::writeUnsigned(entry.data(), entry.size(), 5, 6, raw);
    return entry;
}

PowerOnFacts ata(std::uint64_t raw) {
    PowerOnFacts facts;
    facts.attribute9 = attribute9(raw);
    return facts;
}

template <typename Change> PowerOnFacts with(PowerOnFacts facts, Change change) {
    change(facts);
    return facts;
}

TEST(PowerOnChoice, TheDrivesOwnWordFirstThenItsKnownUnitThenTheMeasuredOneThenHours) {
    const auto minutes = [](PowerOnFacts& f) { f.knownUnit = PowerOnUnit::Minutes; };
    const struct {
        const char* what;
        PowerOnFacts facts;
        std::int64_t hours;
        Source source;
    } cases[] = {
        {"statistics over everything",
         with(ata(999),
              [&](PowerOnFacts& f) {
                  minutes(f);
                  f.statisticsHours = 21655;
                  f.measuredUnit = 0;
              }),
         21655, Source::DeviceStatistics},
        {"the knowledge over the measurement",
         with(ata(2876418),
              [&](PowerOnFacts& f) {
                  minutes(f);
                  f.measuredUnit = 0;
              }),
         47940, Source::Attribute9},
        {"seconds",
         with(ata(5 * 3600 + 3599), [](PowerOnFacts& f) { f.knownUnit = PowerOnUnit::Seconds; }), 5,
         Source::Attribute9},
        {"hours with milliseconds behind",
         with(ata(0x1F40ull << 32 | 1234),
              [](PowerOnFacts& f) { f.knownUnit = PowerOnUnit::HoursMsec; }),
         1234, Source::Attribute9},
        {"the unit the window measured (half minutes)",
         with(ata(2400), [](PowerOnFacts& f) { f.measuredUnit = 1; }), 20,
         Source::Attribute9Measured},
        {"nothing known: hours, all 48 bits", ata(0x100000005ull), 4294967301,
         Source::Attribute9AssumedHours},
        {"no attribute 9", with(PowerOnFacts{}, [](PowerOnFacts& f) { f.measuredUnit = 7; }), -1,
         Source::None},
        {"the health log",
         with(PowerOnFacts{},
              [](PowerOnFacts& f) {
                  f.nvme = true;
                  f.nvmeHours = 5678;
                  f.statisticsHours = 1;
              }),
         5678, Source::NvmeHealth},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PowerOn chosen = ChoosePowerOn(c.facts);
        EXPECT_EQ(chosen.hours, c.hours);
        EXPECT_EQ(chosen.source, c.source);
    }
}

// The window times a counter only where nothing else gives its unit, and
// its power-on box shows the same hours as the document.
TEST(PowerOnChoice, OnlyADiskWithoutStatisticsOrKnowledgeIsTimed) {
    CDisk disk;
    checkertest::FillDisk(&disk, checkertest::Identify(), {{9, 90, 90, 600, 0}});
    EXPECT_TRUE(PowerOnUnitNeedsMeasuring(disk));
    EXPECT_EQ(FormatPowerOn(PowerOnBoxInputs(disk, true, 180, 0)), QStringLiteral("判別中"));

    disk.m_Knowledge.powerOnUnit = PowerOnUnit::Minutes;
    EXPECT_FALSE(PowerOnUnitNeedsMeasuring(disk));
    EXPECT_EQ(FormatPowerOn(PowerOnBoxInputs(disk, true, 180, 0)), QStringLiteral("10 時間"));

    disk.m_Knowledge.powerOnUnit = PowerOnUnit::Unknown;
    disk.m_DeviceStatistics.powerOnHours = 1234;
    EXPECT_FALSE(PowerOnUnitNeedsMeasuring(disk));
    EXPECT_EQ(FormatPowerOn(PowerOnBoxInputs(disk, true, 180, 0)), QStringLiteral("1,234 時間"));
}

} // namespace
