#include "DeviceStatistics.h"
#include "AtaCommandSet.h"
#include "CHdd.h"
#include "DeviceStatisticsRead.h"

#include "../support/StatisticsPages.h"
#include "SimDiskFixture.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

using testimg::StatisticsLog;
using vorn::hdd::StatisticsRoute;
namespace ata = vorn::platform::ata;

TEST(DeviceStatisticsDecoder, AValueCountsOnlyFromAValidEntryOfAPageThatIsWhatItSays) {
    const auto usual = [] { return StatisticsLog::usual(10873, 409, 34); };
    const struct {
        const char* what;
        StatisticsLog log;
        std::int64_t hours, cycles;
        int temperature;
    } cases[] = {
        {"a drive's usual log", usual(), 10873, 409, 34},
        {"hours not valid", usual().entry(1, 16, 5, testimg::kStatSupported), -1, 409, 34},
        {"general page headed as page 2", usual().header(1, 1, 2), -1, -1, 34},
        {"general page of revision 0", usual().header(1, 0), -1, -1, 34},
        {"hours wider than 32 bits", StatisticsLog::usual(1ull << 32 | 7, 409, 34), -1, 409, 34},
        {"no sensor (80h)", StatisticsLog::usual(100, 2, 0x80), 100, 2, -1},
        {"no page carries its header", StatisticsLog(8).entry(1, 16, 77), -1, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const vorn::hdd::DeviceStatistics s = vorn::hdd::decodeDeviceStatistics(c.log.bytes);
        EXPECT_EQ(s.powerOnHours, c.hours);
        EXPECT_EQ(s.powerCycles, c.cycles);
        EXPECT_EQ(s.temperature, c.temperature);
        EXPECT_EQ(s.read, c.temperature != -1 || c.hours != -1);
    }
}

// The logs' list: every valid entry of both pages by name, counters at
// their full width, temperatures signed, a flagged or absent value left out.
TEST(DeviceStatisticsDecoder, TheListHoldsEveryValidEntryInLogOrderWithItsUnit) {
    StatisticsLog log = StatisticsLog::usual(10873, 409, 34);
    log.entry(1, 0x18, 0x123456789ABCull)            // sectors written: 48 bits
        .entry(1, 0x28, 77, testimg::kStatSupported) // sectors read: not valid
        .entry(1, 0x30, 1ull << 48)                  // read commands: too wide
        .entry(5, 0x28, BYTE(-5))                    // lowest: below zero
        .entry(5, 0x20, 0x80)                        // highest: no value
        .entry(5, 0x50, 90);                         // minutes over the limit
    const vorn::hdd::DeviceStatistics s = vorn::hdd::decodeDeviceStatistics(log.bytes);
    QStringList got;
    for (const vorn::hdd::DeviceStatistic& v : s.values)
        got << QStringLiteral("%1=%2 %3").arg(v.name).arg(v.value).arg(v.unit);
    EXPECT_EQ(got, (QStringList{"lifetime_power_on_resets=409 count", "power_on_hours=10873 hours",
                                "logical_sectors_written=20015998343868 sectors",
                                "current_temperature=34 celsius", "lowest_temperature=-5 celsius",
                                "time_in_over_temperature=90 minutes"}));
    // A page that is not what it says gives none of its entries.
    EXPECT_EQ(vorn::hdd::decodeDeviceStatistics(log.header(5, 1, 6).bytes).values.size(), 3u);
}

SectorImage identifyWith(WORD major, WORD w83, WORD w84, WORD w87, bool smartOn = true) {
    SectorImage image = simtest::sataIdentify();
    for (const auto& [word, value] : {std::pair<int, WORD>{80, major},
                                      {83, w83},
                                      {84, w84},
                                      {87, w87},
                                      {85, WORD(smartOn ? 1 : 0)}})
        testimg::setWord(image, word, value);
    return image;
}

const SectorImage kGpl = identifyWith(0x01F0, 0x4400, 0x4020, 0x4020);
const SectorImage kAcs3 = identifyWith(0x07F0, 0x4400, 0x4000, 0x4000);

TEST(DeviceStatisticsRoute, TheIdentifyDataChooseTheCommandAndTheListThePages) {
    const struct {
        const char* what;
        SectorImage identify;
        StatisticsRoute route;
    } cases[] = {
        {"48-bit and logging", kGpl, StatisticsRoute::ReadLogExt},
        {"logging bit in words not valid", identifyWith(0x07F0, 0x4400, 0xFFFF, 0xFFFF),
         StatisticsRoute::SmartReadLog},
        {"logging without 48-bit", identifyWith(0x07F0, 0x4000, 0x4020, 0x4020),
         StatisticsRoute::SmartReadLog},
        {"ACS-3, S.M.A.R.T. off", identifyWith(0x07F0, 0x4400, 0x4000, 0x4000, false),
         StatisticsRoute::None},
        {"an older drive without logging", identifyWith(0x01F0, 0x4400, 0x4000, 0x4000),
         StatisticsRoute::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vorn::hdd::statisticsRoute(c.identify), c.route) << c.what;

    // What the library sends is what the door lets through.
    for (BYTE page : {0, 1, 5})
        EXPECT_EQ(ata::classifyCommand(vorn::hdd::statisticsReadLogExt(page)),
                  ata::CommandClass::Read);
    EXPECT_EQ(ata::classifyCommand(vorn::hdd::statisticsSmartReadLog()), ata::CommandClass::Read);

    EXPECT_EQ(vorn::hdd::listedStatisticsPages(StatisticsLog(1).list({0, 1, 3, 5, 7}).bytes),
              (std::vector<BYTE>{1, 5}));
    EXPECT_TRUE(vorn::hdd::listedStatisticsPages(StatisticsLog(1).header(0, 1, 1).bytes).empty());
}

// A disk of the simulated machine read through the facade: the requests
// each route sends, what they bring back, and a drive that aborts them.
class StatisticsRead : public simtest::SimDiskTest {
protected:
    void disk(const SectorImage& identify, const StatisticsLog& pages) {
        writeDisk(QStringLiteral("a-disk0"), QStringLiteral("Index=0"),
                  QStringLiteral("Direct=yes"));
        writeSector(QStringLiteral("a-disk0/identify.hex"), identify);
        m_dir.write(QStringLiteral("a-disk0/device-statistics.hex"),
                    QByteArray(reinterpret_cast<const char*>(pages.bytes.data()),
                               qsizetype(pages.bytes.size()))
                        .toHex(' '));
        start();
        ASSERT_TRUE(m_hdd.OpenHddHandle(0, -1, -1));
        ASSERT_TRUE(m_hdd.GetHddInfo());
        clearTrace();
    }
    // Each pass-through request as its flags word and its current task
    // file (feature, count, LBA low/mid/high, device, command).
    QStringList commands() const {
        QStringList out;
        for (const simtest::TraceLine& line : trace())
            out << line.code + QLatin1Char(' ') + line.input.mid(2 * 2, 4) + QLatin1Char(' ') +
                       line.input.mid(32 * 2, 14);
        return out;
    }
    CHdd m_hdd;
};

TEST_F(StatisticsRead, ReadLogExtAsksTheListThenTheListedPagesOfAnOpenDisk) {
    disk(kGpl, StatisticsLog::usual(21655, 1420, 41));
    EXPECT_TRUE(m_hdd.GetDeviceStatistics());
    EXPECT_EQ(m_hdd.m_DeviceStatistics.powerOnHours, 21655);
    EXPECT_EQ(m_hdd.m_DeviceStatistics.powerCycles, 1420);
    EXPECT_EQ(m_hdd.m_DeviceStatistics.temperature, 41);
    // Data in and 48-bit; log 04h in LBA low, the page in LBA mid.
    EXPECT_EQ(commands(),
              (QStringList{"0004D02C 0A00 0001040000002F", "0004D02C 0A00 0001040100002F",
                           "0004D02C 0A00 0001040500002F"}));
    EXPECT_EQ(log().filter(QStringLiteral("CHdd::GetDeviceStatistics-ReadLogExt-")).size(), 3);

    m_hdd.CloseHddHandle();
    clearTrace();
    EXPECT_FALSE(m_hdd.GetDeviceStatistics());
    EXPECT_TRUE(trace().empty());
    EXPECT_EQ(m_hdd.m_DeviceStatistics.powerOnHours, 21655); // a closed disk keeps its values
}

TEST_F(StatisticsRead, SmartReadLogTakesSixPagesAtOnceAndALogBeyondItsFileIsAborted) {
    disk(kAcs3, StatisticsLog::usual(3000, 12, 29));
    EXPECT_TRUE(m_hdd.GetDeviceStatistics());
    EXPECT_EQ(m_hdd.m_DeviceStatistics.powerOnHours, 3000);
    // Count 6 of log 04h, 28-bit, 3072 bytes asked for.
    EXPECT_EQ(commands(), QStringList{"0004D02C 0200 D506044FC200B0"});
    EXPECT_EQ(trace()[0].input.mid(8 * 2, 8), QStringLiteral("000C0000"));

    // Two pages on file: SMART READ LOG of six is aborted, and so is READ LOG
    // EXT of the pages past the list.
    for (const SectorImage& identify : {kAcs3, kGpl}) {
        disk(identify, StatisticsLog(2).list({0, 1, 5}).header(1).entry(1, 16, 50));
        m_hdd.GetDeviceStatistics();
        EXPECT_EQ(m_hdd.m_DeviceStatistics.powerOnHours, identify == kGpl ? 50 : -1);
        EXPECT_EQ(m_hdd.m_DeviceStatistics.temperature, -1);
        EXPECT_EQ(log().filter(QStringLiteral("[Error:")).size(), 1);
        Cm_CloseErrorFile();
    }
}

} // namespace
