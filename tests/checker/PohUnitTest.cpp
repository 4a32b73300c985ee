#include "CheckerTestDisks.h"

#include "DiskList.h"
#include "PanelText.h"
#include "PohUnit.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vorn::checker;

using namespace checkertest;

namespace {

TEST(PohUnit, DecisionsAfterElapsedSecondsAndGrowth) {
    const struct {
        std::int64_t elapsed;
        std::int64_t delta;
        int unit;
    } cases[] = {
        {30, 28, 0},  {30, 400, 0}, {30, 27, -1}, {177, 27, -1}, {177, 0, -1},
        {178, 0, 7},  {178, 1, 7},  {178, 2, 2},  {178, 4, 2},   {178, 5, 1},
        {178, 27, 1}, {178, 28, 0}, {900, -3, 7}, {210, 3, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecidePohUnit(c.elapsed, c.delta), c.unit) << c.elapsed << " s, +" << c.delta;
}

TEST(PohUnit, HoursFromTheRawCounterByUnit) {
    const struct {
        int unit;
        int raw;
        int hours;
    } cases[] = {
        {-1, 5000, -1}, {0, 7199, 1}, {1, 240, 2},     {2, 150, 2},      {3, 24, 2},  {4, 13, 2},
        {5, 7, 2},      {6, 5, 2},    {7, 1234, 1234}, {42, 1234, 1234}, {7, -1, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PohHours(c.raw, c.unit), c.hours) << "unit " << c.unit << " raw " << c.raw;
}

// Disks whose power-on counter the test moves by hand between passes.
class PohMeasurementTest : public ::testing::Test {
protected:
    CDisk* AddDisk(bool smartOn, int unit = -1) {
        auto disk = std::make_unique<CDisk>();
        FillDisk(disk.get(), Identify("S", "M", smartOn), {{9, 100, 100, 1000, 0}});
        disk->m_nPohUnit = unit;
        CDisk* raw = disk.get();
        m_disks.AddTail(std::move(disk));
        return raw;
    }

    static void SetCounter(CDisk* disk, ULONGLONG raw) {
        testimg::setAttribute(disk->m_HddSmart.m_Attribute, 0, {9, 100, 100, raw});
        disk->GetDisplayAttribute();
    }

    std::int64_t m_now = 1700000000;
    CPohMeasurement m_measurement{[this] { return m_now; }};
    CDiskList m_disks;
};

TEST_F(PohMeasurementTest, FastCounterIsDecidedInTheFirstPassOthersAtTheEnd) {
    CDisk* seconds = AddDisk(true);
    CDisk* minutes = AddDisk(true);
    CDisk* hours = AddDisk(true);
    CDisk* off = AddDisk(false);
    m_measurement.Start(m_disks, false);
    EXPECT_TRUE(m_measurement.IsRunning());
    EXPECT_EQ(seconds->m_timePohStart, m_now);
    EXPECT_EQ(off->m_timePohStart, 0);

    m_now += 30;
    SetCounter(seconds, 1028);
    SetCounter(minutes, 1001);
    EXPECT_FALSE(m_measurement.Pass(m_disks));
    EXPECT_EQ(seconds->m_nPohUnit, 0);
    EXPECT_EQ(minutes->m_nPohUnit, -1);

    // The box shows the progress of the disks still measuring.
    EXPECT_EQ(PowerOnBoxInputs(*minutes, true, m_measurement.m_nPohWindow, m_now),
              (PowerOnInputs{-1, 180, 30}));

    for (int pass = 2; pass <= 5; ++pass) {
        m_now += 30;
        EXPECT_FALSE(m_measurement.Pass(m_disks)) << pass;
    }
    m_now += 28; // 178 s after the start
    SetCounter(minutes, 1003);
    SetCounter(hours, 1001);
    EXPECT_TRUE(m_measurement.Pass(m_disks));
    EXPECT_FALSE(m_measurement.IsRunning());
    EXPECT_EQ(minutes->m_nPohUnit, 2);
    EXPECT_EQ(hours->m_nPohUnit, 7);
    EXPECT_EQ(off->m_nPohUnit, -1);
}

TEST_F(PohMeasurementTest, ADiskAsleepInAPassIsWatchedAfreshOnceItWakes) {
    CDisk* disk = AddDisk(true);
    m_measurement.Start(m_disks, false);
    // Asleep for ten minutes: its stale counter decides nothing.
    disk->m_bSleeping = true;
    m_now += 600;
    EXPECT_FALSE(m_measurement.Pass(m_disks));
    EXPECT_EQ(disk->m_nPohUnit, -1);

    // Awake, counting minutes: the window starts again at the waking pass,
    // so the asleep time does not pass for three minutes of a slow counter.
    disk->m_bSleeping = false;
    m_now += 30;
    SetCounter(disk, 1001);
    EXPECT_FALSE(m_measurement.Pass(m_disks));
    EXPECT_EQ(disk->m_timePohStart, m_now);
    m_now += 180;
    SetCounter(disk, 1004);
    EXPECT_TRUE(m_measurement.Pass(m_disks));
    EXPECT_EQ(disk->m_nPohUnit, 2);
}

TEST_F(PohMeasurementTest, ResetForgetsKnownUnitsAndWritesEachSmartDisk) {
    CDisk* known = AddDisk(true, 2);
    AddDisk(false, 5);
    int written = 0;
    m_measurement.Start(m_disks, true, [&](CDisk* disk) {
        EXPECT_EQ(disk->m_nPohUnit, -1);
        EXPECT_EQ(disk->m_timePohStart, 0);
        ++written;
    });
    EXPECT_EQ(written, 1);
    EXPECT_EQ(known->m_nPohUnit, -1);
    EXPECT_EQ(known->m_nPohStart, 1000);
    EXPECT_EQ(m_disks.GetAt(1)->m_nPohUnit, 5);
}

TEST_F(PohMeasurementTest, AUnitKnownBeforeStaysWhateverTheCounterDoes) {
    CDisk* known = AddDisk(true, 3);
    m_measurement.Start(m_disks, false);
    m_now += 30;
    SetCounter(known, 5000);
    EXPECT_TRUE(m_measurement.Pass(m_disks));
    EXPECT_EQ(known->m_nPohUnit, 3);
}

} // namespace
