#include "DeviceStatistics.h"
#include "AtaCommandSet.h"
#include "CHdd.h"
#include "DeviceStatisticsRead.h"

#include "../support/StatisticsPages.h"
#include "SimDiskFixture.h"

#include <gtest/gtest.h>

namespace {

using testimg::StatisticsLog;
using vorn::hdd::decodeDeviceStatistics;
using vorn::hdd::StatisticsRoute;
namespace ata = vorn::platform::ata;

TEST(DeviceStatisticsDecoder, AValueCountsOnlyFromAValidEntryOfAPageThatIsWhatItSays) {
    struct Case {
        const char* what;
        StatisticsLog log;
        std::int64_t hours, cycles;
        int temperature;
        bool read;
    };
    const Case cases[] = {
        {"a drive's usual log", StatisticsLog::usual(10873, 409, 34), 10873, 409, 34, true},
        {"hours not valid",
         StatisticsLog::usual(10873, 409, 34).entry(1, 16, 5, testimg::kStatSupported), -1, 409, 34,
         true},
        {"hours valid but not supported",
         StatisticsLog::usual(10873, 409, 34).entry(1, 16, 5, testimg::kStatValid), -1, 409, 34,
         true},
        {"general page headed as page 2", StatisticsLog::usual(10873, 409, 34).header(1, 1, 2), -1,
         -1, 34, true},
        {"general page of revision 0", StatisticsLog::usual(10873, 409, 34).header(1, 0), -1, -1,
         34, true},
        {"a later revision", StatisticsLog::usual(10873, 409, 34).header(1, 3), 10873, 409, 34,
         true},
        {"hours wider than 32 bits", StatisticsLog::usual(1ull << 32 | 7, 409, 34), -1, 409, 34,
         true},
        {"no sensor (80h)", StatisticsLog::usual(100, 2, 0x80), 100, 2, -1, true},
        {"zero degrees", StatisticsLog::usual(100, 2, 0), 100, 2, -1, true},
        {"temperature with bits above its byte",
         StatisticsLog::usual(100, 2, 30).entry(5, 8, 0x11E), 100, 2, -1, true},
        {"no temperature page read", StatisticsLog(2).header(1).entry(1, 16, 77), 77, -1, -1, true},
        {"no page carries its header", StatisticsLog(8).entry(1, 16, 77), -1, -1, -1, false},
        {"nothing read", StatisticsLog(0), -1, -1, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const vorn::hdd::DeviceStatistics s = decodeDeviceStatistics(c.log.bytes);
        EXPECT_EQ(s.powerOnHours, c.hours);
        EXPECT_EQ(s.powerCycles, c.cycles);
        EXPECT_EQ(s.temperature, c.temperature);
        EXPECT_EQ(s.read, c.read);
    }
}

SectorImage identifyWith(WORD major, WORD w83, WORD w84, WORD w87, bool smartOn = true) {
    SectorImage image = simtest::sataIdentify();
    testimg::setWord(image, 80, major);
    testimg::setWord(image, 83, w83);
    testimg::setWord(image, 84, w84);
    testimg::setWord(image, 87, w87);
    testimg::setWord(image, 85, smartOn ? 0x0001 : 0x0000);
    return image;
}

TEST(DeviceStatisticsRoute, TheIdentifyDataChooseTheCommandOrNone) {
    constexpr WORD kAcs3 = 0x07F0;
    constexpr WORD kAta8 = 0x01F0;
    const struct {
        const char* what;
        SectorImage identify;
        StatisticsRoute route;
    } cases[] = {
        {"48-bit and logging", identifyWith(kAta8, 0x4400, 0x4020, 0x4000),
         StatisticsRoute::ReadLogExt},
        {"logging as enabled only", identifyWith(kAta8, 0x4400, 0x4000, 0x4020),
         StatisticsRoute::ReadLogExt},
        {"logging bit in words not valid", identifyWith(kAcs3, 0x4400, 0xFFFF, 0xFFFF),
         StatisticsRoute::SmartReadLog},
        {"logging without 48-bit", identifyWith(kAcs3, 0x4000, 0x4020, 0x4020),
         StatisticsRoute::SmartReadLog},
        {"ACS-3, S.M.A.R.T. off", identifyWith(kAcs3, 0x4400, 0x4000, 0x4000, false),
         StatisticsRoute::None},
        {"an older drive", identifyWith(kAta8, 0x4400, 0x4000, 0x4000), StatisticsRoute::None},
        {"no version reported", identifyWith(0xFFFF, 0x4400, 0x4000, 0x4000),
         StatisticsRoute::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vorn::hdd::statisticsRoute(c.identify), c.route) << c.what;
}

TEST(DeviceStatisticsRoute, TheLibrarysCommandsPassTheDoorAndTheListPicksThePages) {
    for (BYTE page :
         {ata::kStatisticsPageList, ata::kStatisticsPageGeneral, ata::kStatisticsPageTemperature})
        EXPECT_EQ(ata::classifyCommand(vorn::hdd::statisticsReadLogExt(page)),
                  ata::CommandClass::Read)
            << int(page);
    EXPECT_EQ(ata::classifyCommand(vorn::hdd::statisticsSmartReadLog()), ata::CommandClass::Read);

    using Pages = std::vector<BYTE>;
    EXPECT_EQ(vorn::hdd::listedStatisticsPages(StatisticsLog(1).list({0, 1, 3, 5, 7}).bytes),
              (Pages{1, 5}));
    EXPECT_EQ(vorn::hdd::listedStatisticsPages(StatisticsLog(1).list({0, 1}).bytes), (Pages{1}));
    // Page 05h named after the count of entries is no entry.
    StatisticsLog shortList(1);
    shortList.list({0, 1});
    shortList.bytes[11] = 5;
    EXPECT_EQ(vorn::hdd::listedStatisticsPages(shortList.bytes), (Pages{1}));
    EXPECT_TRUE(vorn::hdd::listedStatisticsPages(StatisticsLog(1).header(0, 1, 1).bytes).empty());
}

// A disk of the simulated machine read through the facade: the requests
// each route sends, what they bring back, and a drive that aborts them.
class StatisticsRead : public simtest::SimDiskTest {
protected:
    void disk(const SectorImage& identify, const StatisticsLog* log) {
        writeDisk(QStringLiteral("a-disk0"), QStringLiteral("Index=0"),
                  QStringLiteral("Direct=yes"));
        writeSector(QStringLiteral("a-disk0/identify.hex"), identify);
        if (log)
            m_dir.write(QStringLiteral("a-disk0/device-statistics.hex"),
                        QByteArray(reinterpret_cast<const char*>(log->bytes.data()),
                                   qsizetype(log->bytes.size()))
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
        for (const simtest::TraceLine& line : trace()) {
            EXPECT_EQ(line.code, QStringLiteral("0004D02C"));
            out << line.input.mid(2 * 2, 4) + QLatin1Char(' ') + line.input.mid(32 * 2, 14);
        }
        return out;
    }
    QStringList steps() const {
        return log().filter(QStringLiteral("GetDeviceStatistics")) +
               log().filter(QStringLiteral("[Error:"));
    }
    CHdd m_hdd;
};

const SectorImage kGpl = identifyWith(0x01F0, 0x4400, 0x4020, 0x4020);
const SectorImage kAcs3 = identifyWith(0x07F0, 0x4400, 0x4000, 0x4000);

TEST_F(StatisticsRead, ReadLogExtAsksTheListThenTheListedPages) {
    const StatisticsLog pages = StatisticsLog::usual(21655, 1420, 41);
    disk(kGpl, &pages);
    EXPECT_TRUE(m_hdd.GetDeviceStatistics());
    EXPECT_EQ(m_hdd.m_DeviceStatistics.powerOnHours, 21655);
    EXPECT_EQ(m_hdd.m_DeviceStatistics.powerCycles, 1420);
    EXPECT_EQ(m_hdd.m_DeviceStatistics.temperature, 41);
    // READ LOG EXT, data in and 48-bit, log in LBA low and page in LBA mid.
    EXPECT_EQ(commands(),
              (QStringList{"0A00 0001040000002F", "0A00 0001040100002F", "0A00 0001040500002F"}));
    EXPECT_EQ(steps(), (QStringList{"CHdd::GetDeviceStatistics-ReadLogExt-00",
                                    "CHdd::GetDeviceStatistics-ReadLogExt-01",
                                    "CHdd::GetDeviceStatistics-ReadLogExt-05"}));

    // Closed, the disk is asked nothing and keeps what it had.
    m_hdd.CloseHddHandle();
    clearTrace();
    EXPECT_FALSE(m_hdd.GetDeviceStatistics());
    EXPECT_TRUE(trace().empty());
    EXPECT_EQ(m_hdd.m_DeviceStatistics.powerOnHours, 21655);
}

TEST_F(StatisticsRead, PagesBeyondTheLogAndAMissingLogAreAborted) {
    StatisticsLog onlyList(1);
    onlyList.list({0, 1, 5});
    disk(kGpl, &onlyList);
    EXPECT_FALSE(m_hdd.GetDeviceStatistics());
    EXPECT_EQ(commands().size(), 3);
    EXPECT_EQ(log().filter(QStringLiteral("[Error:")).size(), 2);
    EXPECT_EQ(m_hdd.m_DeviceStatistics.powerOnHours, -1);

    // Without the log the list is refused and nothing more is asked.
    ASSERT_TRUE(QFile::remove(m_dir.path(QStringLiteral("a-disk0/device-statistics.hex"))));
    m_sim.install(m_dir.path());
    ASSERT_TRUE(m_hdd.OpenHddHandle(0, -1, -1));
    clearTrace();
    EXPECT_FALSE(m_hdd.GetDeviceStatistics());
    EXPECT_EQ(commands(), QStringList{"0A00 0001040000002F"});
}

TEST_F(StatisticsRead, SmartReadLogTakesTheFirstSixPagesAtOnce) {
    const StatisticsLog pages = StatisticsLog::usual(3000, 12, 29);
    disk(kAcs3, &pages);
    EXPECT_TRUE(m_hdd.GetDeviceStatistics());
    EXPECT_EQ(m_hdd.m_DeviceStatistics.powerOnHours, 3000);
    EXPECT_EQ(m_hdd.m_DeviceStatistics.temperature, 29);
    // SMART READ LOG of six pages of log 04h, 28-bit, 3072 bytes asked for.
    EXPECT_EQ(commands(), QStringList{"0200 D506044FC200B0"});
    EXPECT_EQ(trace()[0].input.mid(8 * 2, 8), QStringLiteral("000C0000"));
    EXPECT_EQ(log().filter(QStringLiteral("GetDeviceStatistics-SmartReadLog")).size(), 1);
}

TEST_F(StatisticsRead, ALogShorterThanTheSmartReadIsAborted) {
    const StatisticsLog pages = StatisticsLog(2).header(1).entry(1, 16, 50);
    disk(kAcs3, &pages);
    EXPECT_FALSE(m_hdd.GetDeviceStatistics());
    EXPECT_EQ(m_hdd.m_DeviceStatistics.powerOnHours, -1);
    EXPECT_EQ(log().filter(QStringLiteral("[Error:")).size(), 1);
}

} // namespace
