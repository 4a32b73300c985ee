#include "PowerOnChoice.h"
#include "CheckerSession.h"
#include "CheckerTestDisks.h"
#include "PanelText.h"

#include "../support/ScopedSimMachine.h"
#include "../support/SimMachineFiles.h"

#include <QDir>
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
    const struct {
        const char* what;
        PowerOnFacts facts;
        std::int64_t hours;
        Source source;
    } cases[] = {
        {"statistics over everything",
         with(ata(999),
              [](PowerOnFacts& f) {
                  f.statisticsHours = 21655;
                  f.knownUnit = PowerOnUnit::Minutes;
                  f.measuredUnit = 0;
              }),
         21655, Source::DeviceStatistics},
        {"a minutes counter the knowledge names",
         with(ata(2876418), [](PowerOnFacts& f) { f.knownUnit = PowerOnUnit::Minutes; }), 47940,
         Source::Attribute9},
        {"half minutes",
         with(ata(241), [](PowerOnFacts& f) { f.knownUnit = PowerOnUnit::HalfMinutes; }), 2,
         Source::Attribute9},
        {"seconds",
         with(ata(5 * 3600 + 3599), [](PowerOnFacts& f) { f.knownUnit = PowerOnUnit::Seconds; }), 5,
         Source::Attribute9},
        {"hours with milliseconds behind",
         with(ata(0x1F40ull << 32 | 1234),
              [](PowerOnFacts& f) { f.knownUnit = PowerOnUnit::HoursMsec; }),
         1234, Source::Attribute9},
        {"the knowledge over the measurement",
         with(ata(7200),
              [](PowerOnFacts& f) {
                  f.knownUnit = PowerOnUnit::Hours;
                  f.measuredUnit = 0;
              }),
         7200, Source::Attribute9},
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
        {"a health log count past any int",
         with(PowerOnFacts{}, [](PowerOnFacts& f) { f.nvme = true; }), -1, Source::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PowerOn chosen = ChoosePowerOn(c.facts);
        EXPECT_EQ(chosen.hours, c.hours);
        EXPECT_EQ(chosen.source, c.source);
    }
    EXPECT_EQ(PowerOnSourceName(Source::None), nullptr);
    EXPECT_STREQ(PowerOnSourceName(Source::Attribute9AssumedHours), "attribute_9_assumed_hours");
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

    CDisk off;
    checkertest::FillDisk(&off, checkertest::Identify("S", "M", false), {{9, 90, 90, 600, 0}});
    EXPECT_FALSE(PowerOnUnitNeedsMeasuring(off));
}

} // namespace

namespace {

// The session asks for the three-minute measurement only for a disk that
// neither its statistics nor its knowledge explain.
TEST(PowerOnChoice, TheSessionTimesCountersOnlyWhereNothingElseGivesTheUnit) {
    const QString fixture =
        QStringLiteral(VORN_SOURCE_ROOT) + QStringLiteral("/tests/fixtures/statistics-machine");
    for (const bool withPlainDisk : {false, true}) {
        SCOPED_TRACE(withPlainDisk);
        TestDir machine;
        TestDir baselines;
        ASSERT_TRUE(simfiles::CopyMachine(fixture, machine.path()));
        if (!withPlainDisk) {
            ASSERT_TRUE(QDir(machine.path(QStringLiteral("2-gpl-no-log"))).removeRecursively());
        }
        ScopedSimMachine sim;
        sim.install(machine.path());
        CCheckerSession::Environment env;
        const QString dir = baselines.path();
        env.baselineDir = [dir] { return dir; };
        env.sleep = [](int) {};
        CCheckerSession session(vorn::diskpass::PassOptions{}, env);
        session.Scan();
        EXPECT_EQ(session.LoadBaselines(), withPlainDisk);
    }
}

} // namespace
