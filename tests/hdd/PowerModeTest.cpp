#include "PowerMode.h"
#include "CHdd.h"
#include "SimDiskFixture.h"

using vorn::hdd::DecidePowerMode;
using vorn::hdd::PowerMode;
using vorn::hdd::PowerProbe;

namespace {

struct DecisionCase {
    const char* name;
    PowerProbe probe;
    PowerMode mode;
};

TEST(PowerModeDecision, SuspendedWinsAndAFailedCheckIsUnknown) {
    const DecisionCase cases[] = {
        {"runtime-suspended, no check made", {true, false, 0x00}, PowerMode::Standby},
        {"runtime-suspended beats an active answer", {true, true, 0xFF}, PowerMode::Standby},
        {"standby", {false, true, 0x00}, PowerMode::Standby},
        {"standby by timer", {false, true, 0x01}, PowerMode::Standby},
        {"cache mode, spun down", {false, true, 0x40}, PowerMode::Standby},
        {"cache mode, spinning", {false, true, 0x41}, PowerMode::Active},
        {"idle", {false, true, 0x80}, PowerMode::Idle},
        {"idle c", {false, true, 0x83}, PowerMode::Idle},
        {"active or idle", {false, true, 0xFF}, PowerMode::Active},
        {"a count no standard gives", {false, true, 0x7F}, PowerMode::Unknown},
        {"the check failed: the disk is read", {false, false, 0x00}, PowerMode::Unknown},
    };
    for (const DecisionCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecidePowerMode(c.probe), c.mode);
    }
    EXPECT_FALSE(vorn::hdd::ReadsInPeriodicPass(PowerMode::Standby));
    EXPECT_TRUE(vorn::hdd::ReadsInPeriodicPass(PowerMode::Unknown));
}

class CheckPowerModeTest : public simtest::SimDiskTest {};

// Each simulated mode is answered through the pass-through's registers,
// on both paths, and asking never wakes the disk.
TEST_F(CheckPowerModeTest, AnswersEachModeWithoutWakingAndAFailedCheckIsUnknown) {
    const QString drive = QStringLiteral("Index=%1\nSCSIPort=2\nSCSITargetId=%1\n");
    writeDisk("0-active", drive.arg(0), "Scsi=yes\nPowerMode=active");
    writeDisk("1-idle", drive.arg(1), "Scsi=yes\nPowerMode=idle");
    writeDisk("2-standby", drive.arg(2), "Scsi=yes\nPowerMode=standby");
    writeDisk("3-no-check", drive.arg(3), "Scsi=yes\nPowerMode=standby\nFail=power");
    start();
    const PowerMode expected[] = {PowerMode::Active, PowerMode::Idle, PowerMode::Standby,
                                  PowerMode::Unknown};
    for (int n = 0; n < 4; ++n) {
        SCOPED_TRACE(n);
        CHdd direct;
        ASSERT_TRUE(direct.OpenHddHandle(n, -1, -1));
        EXPECT_EQ(direct.CheckPowerMode(), expected[n]);
        CHdd adapter;
        ASSERT_TRUE(adapter.OpenHddHandle(n, 2, n));
        EXPECT_EQ(adapter.CheckPowerMode(), expected[n]);
    }
    for (const simtest::TraceLine& line : trace())
        EXPECT_NE(line.code, QStringLiteral("WAKE-UP")) << line.path.toStdString();
    CHdd closed;
    EXPECT_EQ(closed.CheckPowerMode(), PowerMode::Unknown);

    // Anything else wakes a disk in standby, once, and it then answers active.
    CHdd disk;
    ASSERT_TRUE(disk.OpenHddHandle(2, -1, -1));
    clearTrace();
    EXPECT_TRUE(disk.GetHddInfo());
    EXPECT_TRUE(disk.GetSmartAttribute());
    EXPECT_EQ(disk.CheckPowerMode(), PowerMode::Active);
    const std::vector<simtest::TraceLine> lines = trace();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].code + ' ' + lines[1].input, QStringLiteral("WAKE-UP 2-standby"));
    EXPECT_NE(lines[2].code, QStringLiteral("WAKE-UP"));
}

} // namespace
