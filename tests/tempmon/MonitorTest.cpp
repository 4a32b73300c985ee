#include "../support/PassFakes.h"
#include "../support/ScopedSimMachine.h"
#include "../support/SimMachineFiles.h"
#include "../support/TempDir.h"
#include "ColourScale.h"
#include "DiskScan.h"
#include "HeatgaugeMenu.h"
#include "HeatgaugeMonitor.h"
#include "ReadingWords.h"
#include "SimDevice.h"
#include "Translation.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <chrono>

#include <gtest/gtest.h>

using namespace vorn::diskpass;

using namespace heatgauge;

namespace {

const WinRect kWork{0, 0, 1000, 700};
const QString kSampleMachine = QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine");

// Every call the monitor makes on its window, as one line each.
class RecordingView : public CStripView {
public:
    void Place(const WinRect& r) override {
        calls << QStringLiteral("place %1 %2 %3 %4")
                     .arg(r.left)
                     .arg(r.top)
                     .arg(r.right)
                     .arg(r.bottom);
    }
    void SetTopmost(bool on) override { calls << QStringLiteral("topmost %1").arg(on); }
    void SetMouseInput(bool on) override { calls << QStringLiteral("mouse %1").arg(on); }
    void Fade(bool in, int percent) override {
        calls << QStringLiteral("fade %1 %2").arg(in ? "in" : "out").arg(percent);
    }
    void ShowReadings(const std::vector<DiskReading>& r) override {
        readings = r;
        ++shown;
    }
    void ShowAbout() override { calls << QStringLiteral("about"); }
    void Activate() override { calls << QStringLiteral("activate"); }
    void Finish(bool fadeOut, int percent) override {
        calls << QStringLiteral("finish %1 %2").arg(fadeOut).arg(percent);
    }
    void Notify(const QString& title, const QString& text) override {
        notices << title + QLatin1Char('|') + text;
    }
    QStringList notices;
    QStringList calls;
    std::vector<DiskReading> readings;
    int shown = 0;
};

// A copy of a machine, for a test that changes its disks.
void CopyFolder(const QString& from, const QString& to) {
    ASSERT_TRUE(simfiles::CopyMachine(from, to));
}

class MonitorTest : public ::testing::Test {
protected:
    void SetUp() override { m_sim.install(kSampleMachine); }

    QString Machine() const { return m_dir.path(QStringLiteral("machine")); }
    QString IniPath() const { return m_dir.path(QStringLiteral("HeatgaugeMini.ini")); }
    QByteArray Ini() const { return m_dir.read(QStringLiteral("HeatgaugeMini.ini")); }

    void Start(const QByteArray& ini = QByteArray()) {
        if (!ini.isEmpty())
            m_dir.write(QStringLiteral("HeatgaugeMini.ini"), ini);
        m_monitor.Scan(PassOptions(), [this](int ms) { m_sleeps.push_back(ms); });
        m_monitor.Start(&m_view, kWork);
        m_view.calls.clear();
    }

    ScopedSimMachine m_sim;
    TestDir m_dir;
    FakeTimer m_timer;
    CInlinePassRunner m_runner;
    RecordingView m_view;
    std::vector<int> m_sleeps;
    CHeatgaugeMonitor m_monitor{
        {m_dir.path(QStringLiteral("HeatgaugeMini.ini")), &m_timer, &m_runner}};
};

TEST_F(MonitorTest, StartsOnTheSampleMachineInTheCornerAndRefreshesEveryTwoMinutes) {
    m_monitor.Scan(PassOptions(), [](int) {});
    std::vector<int> indexes;
    for (const CDisk* disk : m_monitor.Disks())
        indexes.push_back(disk->m_nListIndex);
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2, 3, 4, 5})); // the USB disk last
    m_monitor.Start(&m_view, kWork);

    EXPECT_EQ(m_view.calls,
              (QStringList{"place 839 676 1000 700", "topmost 1", "mouse 1", "fade in 100"}));
    ASSERT_EQ(m_view.readings.size(), 6u);
    EXPECT_EQ(m_view.readings[1].temperature, 43);
    EXPECT_EQ(m_view.readings[5].temperature, 37);
    EXPECT_EQ(m_view.readings[3].temperature, -1);
    EXPECT_EQ(ReadingTip(m_view.readings[0]), QStringLiteral("ST2000DM008-2FR102\nC: D: \n34 ℃"));
    EXPECT_EQ(ReadingTip(m_view.readings[3]), QStringLiteral("HDS722580VLAT20\nG: \n-- ℃"));
    EXPECT_EQ(m_runner.passes, 1);
    EXPECT_EQ(m_timer.interval, 120000);
    m_timer.Tick();
    EXPECT_EQ(m_runner.passes, 2);
    EXPECT_TRUE(Ini().isEmpty()); // starting writes nothing
}

TEST_F(MonitorTest, AStoredPlaceIsSnappedAndAHiddenStripIsNeitherFadedNorPutOnTop) {
    m_dir.write(QStringLiteral("HeatgaugeMini.ini"),
                "[SysEnv]\r\nWndwPos=2 300 0 0\r\nWndShow=0\r\nWndMouse=0\r\n");
    m_monitor.Scan(PassOptions(), [](int) {});
    m_monitor.Start(&m_view, kWork);
    EXPECT_EQ(m_view.calls, (QStringList{"place 0 300 161 324", "mouse 0"}));
}

struct CommandCase {
    const char* name;
    int command;
    QStringList calls;
    bool writes;
};

TEST_F(MonitorTest, WhatEachCommandDoesAndWhetherItWritesTheFile) {
    const CommandCase cases[] = {
        {"about", kCmdAbout, {"about"}, false},
        {"shown off", kCmdShow, {"fade out 100"}, true},
        {"topmost off", kCmdTopmost, {"topmost 0"}, true},
        {"mouse input off: written at the exit only", kCmdMouse, {"mouse 0"}, false},
        {"60 %", kCmdAlpha0 + 3, {"fade in 40"}, true},
        {"one tray icon for all disks", kCmdOneTrayIcon, {}, true},
        {"an unknown id", 40000, {}, false},
        {"exit", kCmdExit, {"finish 1 100"}, true},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        FakeTimer timer;
        RecordingView view;
        CHeatgaugeMonitor monitor({SettingsPath(dir.path()), &timer, &m_runner});
        monitor.Scan(PassOptions(), [](int) {});
        monitor.Start(&view, kWork);
        view.calls.clear();
        monitor.Command(c.command);
        EXPECT_EQ(view.calls, c.calls);
        EXPECT_EQ(QFile::exists(SettingsPath(dir.path())), c.writes);
    }
}

TEST_F(MonitorTest, ALevelChosenWhileHiddenShowsTheStripButLeavesItUnchecked) {
    Start("[SysEnv]\r\nWndShow=0\r\n");
    m_monitor.Command(kCmdAlpha0 + 3);
    EXPECT_EQ(m_view.calls, QStringList{"fade in 40"});
    EXPECT_EQ(m_monitor.Settings().wndShow, 0);
    EXPECT_TRUE(Ini().contains("WndAlpha=40\r\n"));
    EXPECT_TRUE(Ini().contains("WndShow=0\r\n"));

    m_monitor.TrayClicked();
    EXPECT_EQ(m_monitor.Settings().wndShow, 1);
    EXPECT_TRUE(Ini().contains("WndShow=1\r\n"));
}

TEST_F(MonitorTest, ExitWithoutSavingWritesNothingAndExitWithSavingWaitsForThePass) {
    Start();
    m_monitor.Command(kCmdMouse);
    m_monitor.Exit(false);
    EXPECT_TRUE(Ini().isEmpty());
    EXPECT_FALSE(m_timer.Running());
    EXPECT_TRUE(m_monitor.Disks().IsEmpty());
    EXPECT_EQ(m_view.calls.last(), QStringLiteral("finish 1 100"));
    // Whatever comes after the end changes nothing.
    m_monitor.Command(kCmdExit);
    m_monitor.TrayClicked();
    EXPECT_TRUE(Ini().isEmpty());

    CHeatgaugeMonitor saving({IniPath(), &m_timer, &m_runner});
    saving.Scan(PassOptions(), [](int) {});
    saving.Start(&m_view, kWork);
    saving.Command(kCmdMouse);
    m_runner.holdDone = true;
    m_timer.Tick();
    m_timer.Tick(); // dropped: the last pass has not ended
    EXPECT_EQ(m_runner.passes, 3);
    saving.Exit(true);
    EXPECT_TRUE(Ini().contains("WndMouse=0\r\n"));
}

void SetRawLow(const QString& hexFile, int id, int value) {
    ASSERT_TRUE(simfiles::SetRawLow(hexFile, id, value));
}

// Attribute 194's raw value (the temperature) in a SMART data file.
void SetTemperature(const QString& hexFile, int degrees) {
    SetRawLow(hexFile, 194, degrees);
}

void AppendToDiskIni(const QString& ini, const QByteArray& lines) {
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(lines);
}

// The sample machine with its old parallel ATA disk (1) spun down, and the
// simulated disks' trace in the test folder.
class SleepingDiskTest : public MonitorTest {
protected:
    void SetUp() override {
        CopyFolder(kSampleMachine, Machine());
        AppendToDiskIni(Machine() + QStringLiteral("/1-pata-old/disk.ini"), "PowerMode=standby\n");
        m_sim.install(Machine());
        qputenv("VORN_SIM_TRACE", m_dir.path(QStringLiteral("trace.txt")).toLocal8Bit());
    }
    void TearDown() override { qunsetenv("VORN_SIM_TRACE"); }
    QStringList Trace() const {
        return QString::fromUtf8(m_dir.read(QStringLiteral("trace.txt")))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Lines of the sleeping disk: its own path and the adapter target it has.
    static bool OfSleepingDisk(const QString& line) {
        return line.startsWith(QLatin1String("\\\\.\\PhysicalDrive1 ")) ||
               line.startsWith(QLatin1String("\\\\.\\Scsi1: "));
    }
};

TEST_F(SleepingDiskTest, ADayOfRefreshesSendsTheSleepingDiskOnlyCheckPowerMode) {
    Start();
    for (int tick = 0; tick < 720; ++tick)
        m_timer.Tick();
    EXPECT_EQ(m_runner.passes, 721); // the start-up read and a day of two-minute ticks

    int checks = 0;
    for (const QString& line : Trace()) {
        ASSERT_FALSE(line.contains(QLatin1String(" WAKE-UP "))) << line.toStdString();
        if (!OfSleepingDisk(line))
            continue;
        // ATA pass-through, and CHECK POWER MODE in its command register.
        const QStringList parts = line.split(QLatin1Char(' '));
        ASSERT_EQ(parts.value(1), QStringLiteral("0004D02C")) << line.toStdString();
        ASSERT_EQ(parts.value(2).mid(38 * 2, 2), QStringLiteral("E5")) << line.toStdString();
        ++checks;
    }
    EXPECT_EQ(checks, 722); // the scan, the start-up read and every tick
    ASSERT_EQ(m_view.readings.size(), 6u);
    EXPECT_EQ(m_view.readings[1].temperature, kUnknownTemperature);
    EXPECT_TRUE(m_view.readings[1].sleeping);
    EXPECT_EQ(ReadingTip(m_view.readings[1]),
              QStringLiteral("Maxtor 6Y080L0\nE: \n-- ℃ スタンバイ中"));
    EXPECT_EQ(m_view.readings[0].temperature, 34);

    // A read the user asks for reads it, and wakes it.
    RefreshDisks(m_monitor.Disks(), {}, PowerCheck::Note);
    EXPECT_TRUE(Trace().filter(QStringLiteral(" WAKE-UP 1-pata-old")).size() == 1);
    m_timer.Tick();
    EXPECT_EQ(m_view.readings[1].temperature, 43);
    EXPECT_FALSE(m_view.readings[1].sleeping);
}

TEST_F(SleepingDiskTest, WithTheCheckTurnedOffTheStripReadsAsBefore) {
    Start("[SysEnv]\r\nPowerCheck=0\r\n");
    EXPECT_EQ(Trace().filter(QStringLiteral(" WAKE-UP ")).size(), 1);
    for (const QString& line : Trace())
        EXPECT_NE(line.split(QLatin1Char(' ')).value(2).mid(38 * 2, 2), QStringLiteral("E5"));
    EXPECT_EQ(m_view.readings[1].temperature, 43);
}

// The first read takes the reference: the temperature limit speaks, and
// the disk that fails already; both in one notification, and not again.
TEST_F(MonitorTest, TheFirstPassTellsEveryChangeInOneNotificationOnce) {
    Start("[SysEnv]\r\nAlertTemp=40\r\n");
    ASSERT_EQ(m_view.notices.size(), 1);
    const QStringList lines = m_view.notices[0].split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2) << m_view.notices[0].toStdString();
    EXPECT_EQ(lines[0], "2 台のディスクの状態が変わりました|"
                        "Maxtor 6Y080L0 E: — 温度が 43℃ になりました（上限 40℃）");
    EXPECT_TRUE(lines[1].startsWith(ReadingName(m_view.readings[2]) + " — 健康状態は「異常」です"))
        << lines[1].toStdString();
    EXPECT_TRUE(ReadingTip(m_view.readings[2]).contains(QStringLiteral("健康状態は「異常」です")));
    m_timer.Tick();
    m_timer.Tick();
    EXPECT_EQ(m_view.notices.size(), 1);
}

TEST_F(MonitorTest, ARisingReallocatedCountIsToldOnceAndStaysInTheTip) {
    CopyFolder(kSampleMachine, Machine());
    m_sim.install(Machine());
    Start("[SysEnv]\r\nAlertTemp=40\r\n");
    ASSERT_EQ(m_view.notices.size(), 1);
    m_view.notices.clear();

    SetRawLow(Machine() + QStringLiteral("/0-sata-healthy/smart-data.hex"), 5, 8);
    m_sim.install(Machine());
    for (int tick = 0; tick < 3; ++tick)
        m_timer.Tick();
    EXPECT_EQ(m_view.notices,
              QStringList{"ST2000DM008-2FR102 C: D:|再配置セクタ数 (5) が 0 から 8 に増えました"});
    EXPECT_TRUE(ReadingTip(m_view.readings[0]).endsWith(QStringLiteral("0 から 8 に増えました")));

    // Accepted while a pass runs: the acceptance follows the pass. Then no
    // more notices, and a further rise is a change again.
    m_runner.holdDone = true;
    m_timer.Tick();
    m_monitor.AcceptAlerts();
    const int passes = m_runner.passes;
    m_runner.holdDone = false;
    m_runner.Finish();
    EXPECT_EQ(m_runner.passes, passes + 1);
    m_timer.Tick();
    EXPECT_EQ(m_view.notices.size(), 1);
    SetRawLow(Machine() + QStringLiteral("/0-sata-healthy/smart-data.hex"), 5, 9);
    m_sim.install(Machine());
    m_timer.Tick();
    ASSERT_EQ(m_view.notices.size(), 2);
    EXPECT_TRUE(m_view.notices[1].endsWith(QStringLiteral("8 から 9 に増えました")));
}

TEST_F(MonitorTest, ADiskThatDoesNotOpenAtARefreshKeepsItsLastTemperature) {
    CopyFolder(kSampleMachine, Machine());
    m_sim.install(Machine());
    Start();
    SetTemperature(Machine() + QStringLiteral("/0-sata-healthy/smart-data.hex"), 51);
    SetTemperature(Machine() + QStringLiteral("/1-pata-old/smart-data.hex"), 52);
    const QString ini = Machine() + QStringLiteral("/1-pata-old/disk.ini");
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray text = file.readAll();
    ASSERT_TRUE(text.contains("Direct=yes\nScsi=yes"));
    text.replace("Direct=yes\nScsi=yes", "Direct=no\nScsi=no");
    file.resize(0);
    file.write(text);
    file.close();
    m_sim.install(Machine());

    m_timer.Tick();
    EXPECT_EQ(m_view.readings[0].temperature, 51);
    EXPECT_EQ(m_view.readings[1].temperature, 43);
    EXPECT_EQ(m_view.readings[1].model, QStringLiteral("Maxtor 6Y080L0"));
}

TEST_F(MonitorTest, DraggingSnapsToTheWorkAreaAndTheReleaseWrites) {
    Start();
    m_monitor.Press(900, 690);
    m_monitor.Drag(500, 400);
    EXPECT_EQ(m_view.calls.last(), QStringLiteral("place 439 386 600 410"));
    EXPECT_TRUE(Ini().isEmpty());
    m_monitor.Release(37, 12);
    EXPECT_EQ(m_view.calls.last(), QStringLiteral("place 0 0 161 24"));
    EXPECT_TRUE(Ini().contains("WndwPos=0 0 161 24\r\n"));

    // While dragging the work area is not followed; afterwards it is.
    m_monitor.Press(10, 10);
    m_monitor.WorkAreaChanged({0, 30, 1000, 700});
    EXPECT_EQ(m_view.calls.last(), QStringLiteral("place 0 0 161 24"));
    m_monitor.Release(10, 10);
    m_monitor.WorkAreaChanged({0, 30, 1000, 700});
    EXPECT_EQ(m_view.calls.last(), QStringLiteral("place 0 30 161 54"));
}

} // namespace

TEST_F(MonitorTest, NvmeDisksShowTheirTemperatureAndTellRisingMediaErrors) {
    CopyFolder(QStringLiteral(VORN_SOURCE_ROOT "/tests/fixtures/nvme-machine"), Machine());
    m_sim.install(Machine());
    Start();
    ASSERT_EQ(m_view.readings.size(), 2u);
    EXPECT_EQ(ReadingTip(m_view.readings[0]), QStringLiteral("Vorn Example NVMe 512GB\nC: \n45 ℃"));
    EXPECT_EQ(m_view.readings[1].temperature, -1); // 0 K: no reading
    // The second disk's reliability bit is on already: told once.
    EXPECT_EQ(m_view.notices,
              QStringList{"Vorn Example NVMe 256GB|クリティカル警告: 信頼性が低下しました"});
    m_view.notices.clear();

    // Media errors at byte 160 of the health log.
    const QString log = Machine() + QStringLiteral("/0-nvme-healthy/nvme-health.hex");
    QByteArray bytes = simfiles::ReadHex(log);
    ASSERT_EQ(bytes.size(), 512);
    bytes[160] = 5;
    ASSERT_TRUE(simfiles::WriteHex(log, bytes));
    m_sim.install(Machine());
    m_timer.Tick();
    m_timer.Tick();
    EXPECT_EQ(m_view.readings[0].temperature, 45);
    EXPECT_EQ(
        m_view.notices,
        QStringList{
            "Vorn Example NVMe 512GB C:|メディアとデータ保全のエラーが 0 から 5 に増えました"});
}

TEST_F(MonitorTest, AUsbDiskWhoseBridgePassesNothingSaysWhyInItsTip) {
    CopyFolder(kSampleMachine, Machine());
    const QString ini = Machine() + QStringLiteral("/4-usb/disk.ini");
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    text.replace("Bridge=sat16", "Bridge=none").replace("UsbId=1058:25a3:1021", "UsbId=1058:0701");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    m_sim.install(Machine());
    Start();
    ASSERT_EQ(m_view.readings.size(), 6u);
    const DiskReading& usb = m_view.readings.back();
    EXPECT_EQ(usb.temperature, -1);
    EXPECT_EQ(ReadingTip(usb),
              QStringLiteral("WD Elements 25A3 USB Device\nH: \n-- ℃\n"
                             "USB変換アダプタ 1058:0701 はS.M.A.R.T.を通しません"));
    // A disk whose S.M.A.R.T. was read carries no such line.
    EXPECT_TRUE(m_view.readings[0].smartNote.isEmpty());
}

// A settings file it cannot read: the strip says so once, runs on the
// defaults, and leaves the file alone through every change and the exit.
TEST_F(MonitorTest, ASettingsFileItCannotReadIsSaidOnceAndNeverReplaced) {
    const QByteArray large = "[Other]\r\n" + QByteArray(70 * 1024, 'x') + "\r\n";
    Start(large);
    ASSERT_EQ(m_view.notices.size(), 1) << m_view.notices.join("\n#").toStdString();
    EXPECT_TRUE(m_view.notices[0].contains(IniPath())) << m_view.notices[0].toStdString();
    EXPECT_EQ(m_monitor.Settings().wndAlpha, HeatgaugeSettings().wndAlpha);
    m_monitor.Command(kCmdTopmost);
    m_monitor.Command(kCmdAlpha0 + 2);
    m_monitor.Press(900, 690);
    m_monitor.Drag(500, 300);
    m_monitor.Release(500, 300);
    m_monitor.Exit(true);
    EXPECT_EQ(Ini(), large);
    EXPECT_EQ(m_view.notices.size(), 1);
}

// Something planted at a disk's watch file silences its alerts: the strip
// says so once, not at every refresh.
TEST_F(MonitorTest, AWatchFileThatCannotBeStoredIsSaidOnce) {
    ASSERT_TRUE(QDir().mkdir(m_dir.path(QStringLiteral("ZFL1K8QW.watch"))));
    Start();
    m_timer.Tick();
    const QStringList told = m_view.notices.filter(QStringLiteral("ZFL1K8QW.watch"));
    ASSERT_EQ(told.size(), 1) << m_view.notices.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(told[0].contains(QStringLiteral("not a regular file")));
}

// In English each notice is one sentence around the file it names.
TEST_F(MonitorTest, InEnglishTheFileNoticesNameTheirFileInTheSentence) {
    const CTextCatalogue english(InterfaceLanguage::English);
    ASSERT_TRUE(QDir().mkdir(m_dir.path(QStringLiteral("ZFL1K8QW.watch"))));
    Start("[Other]\r\n" + QByteArray(70 * 1024, 'x') + "\r\n");
    ASSERT_EQ(m_view.notices.size(), 1);
    const QString notice = m_view.notices[0];
    EXPECT_TRUE(
        notice.contains(QStringLiteral("Cannot read the settings file %1 (").arg(IniPath())))
        << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("). Running with the default settings")));
    const QRegularExpression watchNote(QStringLiteral("ZFL1K8QW\\.watch[^\n]* — changes cannot be "
                                                      "recorded, so no change of this disk will "
                                                      "be reported(\n|$)"));
    EXPECT_TRUE(notice.contains(watchNote)) << notice.toStdString();
}

// The strip stores each pass's readings in the history and its tips give
// the day's range from there; "温度の履歴" asks the window for every disk's
// temperatures of the day.
TEST_F(MonitorTest, EachPassIsStoredAndTheTipsGiveTheDaysRange) {
    class HistoryView : public RecordingView {
    public:
        void ShowHistory(const GraphQuery& q) override { query = q; }
        GraphQuery query;
    } view;
    std::int64_t now = 1'800'000'000;
    CHeatgaugeMonitor::Environment env{IniPath(), &m_timer, &m_runner};
    env.historyPath = m_dir.path(QStringLiteral("history.sqlite"));
    env.now = [&now] { return now; };
    CHeatgaugeMonitor monitor(env);
    monitor.Scan(PassOptions(), [](int) {});
    monitor.Start(&view, kWork);
    ASSERT_TRUE(simfiles::CopyMachine(kSampleMachine, Machine()));
    ASSERT_TRUE(simfiles::SetRawLow(Machine() + "/0-sata-healthy/smart-data.hex", 194, 39));
    m_sim.install(Machine());
    now += 120;
    m_timer.Tick();

    ASSERT_EQ(view.readings.size(), 6u);
    EXPECT_EQ(ReadingTip(view.readings[0]),
              QStringLiteral("ST2000DM008-2FR102\nC: D: \n39 ℃\n24時間: 34-39℃"));
    EXPECT_EQ(ReadingTip(view.readings[3]), QStringLiteral("HDS722580VLAT20\nG: \n-- ℃"))
        << "no temperature, no range";

    monitor.Command(kCmdHistory);
    ASSERT_EQ(view.query.disks.size(), 6);
    EXPECT_EQ(view.query.disks[0].name, QStringLiteral("ST2000DM008-2FR102 C: D:"));
    EXPECT_EQ(view.query.span, GraphSpan::Day);
    EXPECT_EQ(view.query.nowMs, now * 1000);
    const vorn::ChartSnapshot graph = LoadGraph(view.query);
    ASSERT_EQ(graph.curves.size(), 6);
    ASSERT_EQ(graph.curves[0].points.size(), 2);
    EXPECT_EQ(graph.curves[0].points[0].value, 34);
    EXPECT_EQ(graph.curves[0].points[1].value, 39);
    EXPECT_TRUE(graph.curves[3].points.isEmpty());
}
namespace {

// The sample machine on a clock of the test's own, set before the machine
// is made so that its drives start at zero.
class SelfTestTipTest : public MonitorTest {
protected:
    void SetUp() override {
        vorn::platform::setSimClock(
            [this] { return std::chrono::steady_clock::time_point(std::chrono::seconds(m_now)); });
        CopyFolder(kSampleMachine, Machine());
        AppendToDiskIni(Machine() + QStringLiteral("/1-pata-old/disk.ini"), "PowerMode=standby\n");
        m_sim.install(Machine());
    }
    void TearDown() override { vorn::platform::setSimClock(nullptr); }
    std::int64_t m_now = 0;
};

// A test another program started shows in the tip from the refresh's own
// read, and leaves it when the test is over; a disk asleep shows none.
TEST_F(SelfTestTipTest, ARunningSelfTestShowsItsProgressInTheTipOfAnAwakeDisk) {
    Start();
    CHdd other;
    ASSERT_TRUE(other.OpenHddHandle(0, -1, -1));
    other.GetHddInfo();
    ASSERT_TRUE(other.ReadSelfTestProgress());
    ASSERT_EQ(other.StartSelfTest(vorn::hdd::SelfTestKind::Short),
              vorn::hdd::SelfTestOutcome::Accepted);
    m_now += 30; // half of the one minute the drive names
    m_timer.Tick();
    ASSERT_EQ(m_view.readings.size(), 6u);
    EXPECT_EQ(m_view.readings[0].selfTestPercent, 50);
    EXPECT_TRUE(ReadingTip(m_view.readings[0]).endsWith(QStringLiteral("\nセルフテスト中 50%")));
    EXPECT_EQ(m_view.readings[1].selfTestPercent, -1);
    m_now += 60;
    m_timer.Tick();
    EXPECT_EQ(m_view.readings[0].selfTestPercent, -1);
    EXPECT_FALSE(ReadingTip(m_view.readings[0]).contains(QStringLiteral("セルフテスト")));
}

} // namespace
