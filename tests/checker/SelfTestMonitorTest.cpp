#include "SelfTestMonitor.h"

#include "CHdd.h"
#include "SimDevice.h"

#include <gtest/gtest.h>

#include "../support/PassFakes.h"
#include "../support/ScopedSimMachine.h"
#include "../support/SimMachineFiles.h"
#include "../support/TempDir.h"

#include <chrono>
#include <deque>

namespace {

using namespace vorn::diskpass;
using vorn::hdd::SelfTestKind;
using vorn::hdd::SelfTestOutcome;
using Phase = SelfTestSnapshot::Phase;

// A drive that answers from a script: each Progress takes the next answer
// (the last one repeats), and every call is counted.
class ScriptedDisk : public CSelfTestDisk {
public:
    vorn::hdd::SelfTestCapabilities caps;
    std::deque<vorn::hdd::SelfTestProgress> answers;
    SelfTestOutcome startOutcome = SelfTestOutcome::Accepted;
    bool sleeping = false;
    int progressCalls = 0;
    int starts = 0;
    int aborts = 0;

    vorn::hdd::SelfTestCapabilities Capabilities() override { return caps; }
    SelfTestOutcome Start(SelfTestKind) override {
        ++starts;
        return startOutcome;
    }
    SelfTestOutcome Abort() override {
        ++aborts;
        answers = {idle(1)};
        return SelfTestOutcome::Accepted;
    }
    std::optional<vorn::hdd::SelfTestProgress> Progress() override {
        ++progressCalls;
        if (answers.empty())
            return std::nullopt;
        const auto answer = answers.front();
        if (answers.size() > 1)
            answers.pop_front();
        return answer;
    }
    std::optional<vorn::hdd::DriveLogs> Logs() override { return vorn::hdd::DriveLogs{}; }
    bool Sleeping() override { return sleeping; }

    static vorn::hdd::SelfTestProgress running(int remaining) {
        return {true, 15, remaining, false};
    }
    static vorn::hdd::SelfTestProgress idle(int status) {
        return {false, status, 0, status >= 3 && status <= 8};
    }
};

struct Harness {
    explicit Harness(CSelfTestDisk* disk, CDiskPassRunner* runner = nullptr)
        : monitor({&timer, runner, [this] { return now; }}, disk,
                  [this](const SelfTestSnapshot& s) {
                      last = s;
                      ++published;
                  }) {}
    // Lets seconds pass, ticking the timer whenever its interval is due.
    void pass(std::int64_t seconds) {
        const std::int64_t end = now + seconds;
        while (timer.Running() && now + timer.interval / 1000 <= end) {
            now += timer.interval / 1000;
            timer.Tick();
        }
        now = end;
    }
    FakeTimer timer;
    std::int64_t now = 1000000;
    SelfTestSnapshot last;
    int published = 0;
    CSelfTestMonitor monitor;
};

TEST(SelfTestMonitor, PollIntervalFollowsTheExpectedTimeWithinItsBounds) {
    const std::pair<int, int> cases[] = {{0, 60},   {1, 15},    {2, 15},   {5, 15},
                                         {54, 162}, {100, 300}, {512, 300}};
    for (const auto& [minutes, seconds] : cases)
        EXPECT_EQ(CSelfTestMonitor::PollSeconds(minutes), seconds) << minutes;
    EXPECT_EQ(CSelfTestMonitor::TimeoutSeconds(2), 62 * 60);
    EXPECT_EQ(CSelfTestMonitor::TimeoutSeconds(120), 360 * 60);
}

TEST(SelfTestMonitor, PollsOnlyWhileATestRunsAndEndsWithTheDrivesVerdict) {
    ScriptedDisk disk;
    disk.caps.shortTest = disk.caps.extendedTest = true;
    disk.caps.shortMinutes = 2;
    disk.caps.extendedMinutes = 54;
    disk.answers = {ScriptedDisk::idle(0)};
    Harness h(&disk);
    h.monitor.Open();
    EXPECT_EQ(h.last.phase, Phase::Idle);
    EXPECT_FALSE(h.timer.Running());                         // nothing to follow: no polls at all
    EXPECT_FALSE(h.monitor.Start(SelfTestKind::Conveyance)); // not offered, nothing sent
    EXPECT_EQ(disk.starts, 0);

    disk.answers = {ScriptedDisk::running(90), ScriptedDisk::running(50), ScriptedDisk::running(10),
                    ScriptedDisk::idle(7)};
    ASSERT_TRUE(h.monitor.Start(SelfTestKind::Extended));
    EXPECT_EQ(h.last.phase, Phase::Running);
    EXPECT_EQ(h.last.kind, SelfTestKind::Extended);
    EXPECT_EQ(h.timer.interval, 162000);
    EXPECT_FALSE(h.monitor.Start(SelfTestKind::Short)); // one at a time
    const int callsAtStart = disk.progressCalls;
    h.pass(162);
    EXPECT_EQ(disk.progressCalls, callsAtStart + 1);
    EXPECT_EQ(h.last.progressPercent(), 50);
    h.pass(162 * 2);
    EXPECT_EQ(h.last.phase, Phase::Failed);
    EXPECT_FALSE(h.timer.Running());
    const int callsAtEnd = disk.progressCalls;
    h.pass(3600);
    EXPECT_EQ(disk.progressCalls, callsAtEnd);
}

TEST(SelfTestMonitor, ATestFoundRunningIsFollowedAndTimesOutWithAClearMessage) {
    ScriptedDisk disk;
    disk.caps.shortTest = disk.caps.extendedTest = true;
    disk.caps.shortMinutes = 1;
    disk.caps.extendedMinutes = 10;
    disk.answers = {ScriptedDisk::running(10)}; // forever
    Harness h(&disk);
    h.monitor.Open();
    EXPECT_EQ(h.last.phase, Phase::Running);
    EXPECT_FALSE(h.last.kind);          // started before this program ran
    EXPECT_EQ(h.timer.interval, 30000); // the longest test offered: 10 minutes
    h.pass(CSelfTestMonitor::TimeoutSeconds(10) - 30);
    EXPECT_EQ(h.last.phase, Phase::Running);
    h.pass(60);
    EXPECT_EQ(h.last.phase, Phase::TimedOut);
    EXPECT_TRUE(h.last.message.contains(QStringLiteral("stuck"))) << h.last.message.toStdString();
    EXPECT_FALSE(h.timer.Running());
    // A stuck test can still be aborted.
    EXPECT_TRUE(h.monitor.Abort());
    EXPECT_EQ(disk.aborts, 1);
    EXPECT_EQ(h.last.phase, Phase::Aborted);
}

TEST(SelfTestMonitor, ASleepingDiskIsNotAskedAndABusyRunnerDelaysTheCommand) {
    ScriptedDisk disk;
    disk.caps.shortTest = disk.caps.extendedTest = true;
    disk.caps.shortMinutes = 2;
    disk.answers = {ScriptedDisk::idle(0)};
    CInlinePassRunner runner;
    Harness h(&disk, &runner);
    h.monitor.Open();

    runner.holdDone = true;
    ASSERT_TRUE(runner.Run([] {}, [] {})); // another pass holds the disks
    disk.answers = {ScriptedDisk::running(90)};
    EXPECT_TRUE(h.monitor.Start(SelfTestKind::Short));
    EXPECT_EQ(disk.starts, 0);
    EXPECT_EQ(h.timer.interval, CSelfTestMonitor::kRetryMilliseconds);
    runner.holdDone = false;
    runner.Finish();
    h.timer.Tick();
    EXPECT_EQ(disk.starts, 1);
    EXPECT_EQ(h.last.phase, Phase::Running);

    disk.sleeping = true;
    const int calls = disk.progressCalls;
    h.pass(15 * 4);
    EXPECT_EQ(disk.progressCalls, calls);
    EXPECT_EQ(h.last.phase, Phase::Running);
}

TEST(SelfTestMonitor, ARefusedStartSaysWhy) {
    ScriptedDisk disk;
    disk.caps.shortTest = true;
    disk.answers = {ScriptedDisk::idle(0)};
    disk.startOutcome = SelfTestOutcome::NotPermitted;
    Harness h(&disk);
    h.monitor.Open();
    h.monitor.Start(SelfTestKind::Short);
    EXPECT_EQ(h.last.phase, Phase::Idle);
    EXPECT_TRUE(h.last.message.contains(QStringLiteral("not permitted")));
    EXPECT_FALSE(h.timer.Running());
}

// The same road through the simulated drive: its state machine, its logs,
// and the disk facade's commands.
class SelfTestOnSimDisk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(simfiles::CopyMachine(QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine"),
                                          m_dir.path(QStringLiteral("m"))));
        vorn::platform::setSimClock([this] {
            return std::chrono::steady_clock::time_point(std::chrono::seconds(m_harness.now));
        });
    }
    void TearDown() override { vorn::platform::setSimClock(nullptr); }

    void install(const char* deviceLines = "") {
        const QString ini = m_dir.path(QStringLiteral("m/0-sata-healthy/disk.ini"));
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(deviceLines);
        file.close();
        m_machine.install(m_dir.path(QStringLiteral("m")));
        ASSERT_TRUE(m_disk.OpenHddHandle(0, -1, -1));
        m_disk.GetHddInfo();
    }

    TestDir m_dir;
    ScopedSimMachine m_machine;
    CHdd m_disk;
    CHddSelfTestDisk m_adapter{m_disk};
    Harness m_harness{&m_adapter};
};

TEST_F(SelfTestOnSimDisk, AShortTestRunsToItsEndAndIsLogged) {
    install();
    Harness& h = m_harness;
    h.monitor.Open();
    ASSERT_EQ(h.last.phase, Phase::Idle);
    EXPECT_EQ(h.last.capabilities.shortMinutes, 1);
    EXPECT_EQ(h.last.capabilities.extendedMinutes, 512); // FFh and the word
    EXPECT_TRUE(h.last.logs.selfTests.empty());
    ASSERT_TRUE(h.monitor.Start(SelfTestKind::Short));
    EXPECT_EQ(h.timer.interval, 15000);
    h.pass(30);
    EXPECT_EQ(h.last.phase, Phase::Running);
    EXPECT_EQ(h.last.remainingPercent, 50);
    h.pass(45);
    EXPECT_EQ(h.last.phase, Phase::Passed);
    ASSERT_EQ(h.last.logs.selfTests.size(), 1u);
    EXPECT_EQ(h.last.logs.selfTests[0].type, QStringLiteral("short"));
    EXPECT_EQ(h.last.logs.selfTests[0].statusCode, 0);
    EXPECT_FALSE(h.last.logs.selfTests[0].firstErrorLba);
    EXPECT_FALSE(h.timer.Running());
}

TEST_F(SelfTestOnSimDisk, AFailureNamesItsLbaAndAnAbortIsLoggedAsTheHosts) {
    install("SelfTest=fail\nSelfTestFailLba=777\n");
    Harness& h = m_harness;
    h.monitor.Open();
    ASSERT_TRUE(h.monitor.Start(SelfTestKind::Short));
    h.pass(60);
    EXPECT_EQ(h.last.phase, Phase::Failed);
    ASSERT_EQ(h.last.logs.selfTests.size(), 1u);
    EXPECT_EQ(h.last.logs.selfTests[0].statusCode, 7);
    EXPECT_EQ(h.last.logs.selfTests[0].remainingPercent, 40);
    EXPECT_EQ(h.last.logs.selfTests[0].firstErrorLba, 777u);

    ASSERT_TRUE(h.monitor.Start(SelfTestKind::Extended));
    h.pass(3600);
    EXPECT_EQ(h.last.phase, Phase::Running);
    ASSERT_TRUE(h.monitor.Abort());
    EXPECT_EQ(h.last.phase, Phase::Aborted);
    ASSERT_EQ(h.last.logs.selfTests.size(), 2u);
    EXPECT_EQ(h.last.logs.selfTests[0].type, QStringLiteral("extended"));
    EXPECT_EQ(h.last.logs.selfTests[0].statusCode, 1);
    EXPECT_EQ(h.last.logs.selfTests[1].statusCode, 7);
}

TEST_F(SelfTestOnSimDisk, AStuckDriveTimesOut) {
    install("SelfTest=stuck\n");
    Harness& h = m_harness;
    h.monitor.Open();
    ASSERT_TRUE(h.monitor.Start(SelfTestKind::Short));
    h.pass(CSelfTestMonitor::TimeoutSeconds(1) + 30);
    EXPECT_EQ(h.last.phase, Phase::TimedOut);
    EXPECT_EQ(h.last.remainingPercent, 10);
    EXPECT_TRUE(h.last.logs.selfTests.empty());
}

} // namespace
