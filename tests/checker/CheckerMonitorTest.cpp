#include "CheckerMonitor.h"
#include "HistoryGraphs.h"
#include "HistoryStore.h"

#include "../support/PassFakes.h"
#include "../support/ScopedSimMachine.h"
#include "../support/SimMachineFiles.h"
#include "../support/TempDir.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace vorn::diskpass;
using namespace vorn::checker;

namespace {

const QString kSample = QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine");
const QString kRestartQuestion =
    QStringLiteral("ハードディスクの使用時間を再調査します。\nよろしいですか？");

// The window without widgets: every call as a line, every snapshot kept.
class RecordingView : public CCheckerView {
public:
    void Show(const CheckerSnapshot& snapshot) override {
        shown.push_back(snapshot);
        calls << QStringLiteral("show %1").arg(snapshot.shown);
    }
    void SetBusy(bool busy) override { calls << QStringLiteral("busy %1").arg(busy); }
    void Notify(const QString& title, const QString&) override { calls << "notify " + title; }
    bool AskYesNo(const QString& question) override {
        questions << question;
        if (whileAsking)
            whileAsking();
        return answer;
    }
    void Inform(const QString& message) override { calls << "inform " + message; }
    QString PickFolder(const QString&) override { return QString(); }

    QStringList calls;
    QStringList questions;
    std::vector<CheckerSnapshot> shown;
    bool answer = true;
    // What happens while the question is open, as a modal box lets it.
    std::function<void()> whileAsking;
};

class CheckerMonitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(simfiles::CopyMachine(kSample, Machine()));
        m_machine.install(Machine());
        CCheckerMonitor::Environment env;
        const QString baselines = m_dir.path();
        env.session.baselineDir = [baselines] { return baselines; };
        env.session.now = [this] { return m_now; };
        env.session.sleep = [](int) {};
        env.timer = &m_timer;
        env.runner = &m_runner;
        m_monitor = std::make_unique<CCheckerMonitor>(PassOptions(), env);
    }
    void TearDown() override { m_monitor.reset(); }

    QString Machine() const { return m_dir.path(QStringLiteral("machine")); }

    void SetTemperature(const QString& disk, int degrees) {
        ASSERT_TRUE(simfiles::SetRawLow(Machine() + "/" + disk + "/smart-data.hex", 194, degrees));
        m_machine.install(Machine());
    }

    TestDir m_dir;
    ScopedSimMachine m_machine;
    std::int64_t m_now = 1'800'000'000;
    FakeTimer m_timer;
    CInlinePassRunner m_runner;
    RecordingView m_view;
    std::unique_ptr<CCheckerMonitor> m_monitor;
};

TEST_F(CheckerMonitorTest, WhileAPassRunsACommandIsDroppedUnlessItsAnswerWasGiven) {
    m_runner.holdDone = true;
    m_monitor->Start(&m_view);
    m_monitor->Refresh();
    m_monitor->TimerPass();
    m_monitor->Select(2);
    m_monitor->AskAcceptAlerts();
    m_monitor->AskRestartMeasurement();
    EXPECT_FALSE(m_monitor->Detail(0));
    EXPECT_TRUE(m_view.questions.isEmpty()) << "nothing is asked that could not be done";
    // The button of a notification is an answer: it follows the pass, once
    // however often it was pressed.
    m_monitor->AcceptAlerts();
    m_monitor->AcceptAlerts();
    EXPECT_EQ(m_runner.passes, 1);
    EXPECT_EQ(m_view.calls, QStringList{"busy 1"});

    m_runner.holdDone = false;
    m_runner.Finish();
    EXPECT_EQ(m_runner.passes, 2);
    // The disk that fails already at the first read is told once, in the
    // first pass's one notification; not again by the acceptance's pass.
    EXPECT_EQ(m_view.calls,
              (QStringList{"busy 1", "show 0", "notify WDC WD10EZEX-08WN4A0 F: /srv/backup",
                           "busy 0", "busy 1", "busy 0"}));
    ASSERT_TRUE(m_timer.Running()) << "the sample disks have no power-on unit yet";

    // A tick while the restart question is open starts a pass; the yes
    // restarts the measurement once that pass is over, not under it.
    m_now += 180;
    m_timer.Tick();
    ASSERT_FALSE(m_monitor->IsTimerRunning());
    m_runner.holdDone = true;
    m_view.whileAsking = [this] { m_monitor->Refresh(); };
    m_view.calls.clear();
    m_monitor->AskRestartMeasurement();
    EXPECT_EQ(m_view.questions, QStringList{kRestartQuestion});
    EXPECT_FALSE(m_monitor->IsTimerRunning());
    m_runner.Finish();
    EXPECT_TRUE(m_monitor->IsTimerRunning());
    for (const CDisk* disk : m_monitor->Session().Disks())
        EXPECT_EQ(disk->m_nPohUnit, -1);
    EXPECT_EQ(m_view.calls, (QStringList{"busy 1", "show 0", "busy 0", "show 0"}));
}

TEST_F(CheckerMonitorTest, TheViewKeepsWhatItWasShownWhileALaterPassRewritesTheDisks) {
    m_monitor->Start(&m_view);
    ASSERT_EQ(m_view.shown.size(), 1u);
    const CheckerSnapshot first = m_view.shown.back();
    ASSERT_EQ(first.disks.size(), 6u);
    const DiskSnapshot& maxtor = first.disks[1];
    EXPECT_EQ(maxtor.button.temperature, 43);
    EXPECT_EQ(maxtor.tip, QStringLiteral("Maxtor 6Y080L0\nE: "));
    EXPECT_EQ(maxtor.panel[PanelField::Temperature], QStringLiteral("43℃"));
    ASSERT_FALSE(maxtor.attributes.empty());
    for (const ListedAttribute& attribute : maxtor.attributes) {
        EXPECT_EQ(attribute.row.record, nullptr);
        ASSERT_TRUE(attribute.detail);
        EXPECT_EQ(attribute.detail->name, attribute.row.cells[1]);
    }

    SetTemperature(QStringLiteral("1-pata-old"), 51);
    m_monitor->Select(1);
    m_runner.holdDone = true;
    m_monitor->Refresh();
    // The pass has read the disk, and its end is still to come.
    ASSERT_EQ(m_monitor->Session().Disks().GetAt(1)->GetTemperature(), 51);
    EXPECT_EQ(m_view.shown.back().disks[1].button.temperature, 43);
    EXPECT_EQ(m_monitor->Snapshot().disks[1].panel[PanelField::Temperature], QStringLiteral("43℃"));
    m_runner.Finish();
    EXPECT_EQ(m_view.shown.back().disks[1].button.temperature, 51);
    EXPECT_EQ(m_view.shown.back().shown, 1);
    EXPECT_EQ(first.disks[1].button.temperature, 43);
    EXPECT_EQ(first.shown, 0);
}

TEST_F(CheckerMonitorTest, TheEndDropsARunningPassAndWritesTheBaselinesAfterIt) {
    m_monitor->Start(&m_view);
    const QString baseline = m_dir.path(QStringLiteral("ZFL1K8QW.dat"));
    m_runner.holdDone = true;
    m_monitor->Refresh();
    ASSERT_TRUE(QFile::remove(baseline));
    m_view.calls.clear();
    m_monitor->Exit();
    EXPECT_TRUE(QFile::exists(baseline));
    EXPECT_FALSE(m_monitor->IsTimerRunning());
    EXPECT_FALSE(m_timer.Running());
    EXPECT_FALSE(m_runner.IsBusy());

    // Nothing reaches the disks or the view any more.
    const int passes = m_runner.passes;
    m_runner.holdDone = false;
    m_monitor->Refresh();
    m_monitor->AcceptAlerts();
    m_monitor->Select(2);
    m_monitor->AskRestartMeasurement();
    EXPECT_EQ(m_runner.passes, passes);
    EXPECT_TRUE(m_view.calls.isEmpty());
    EXPECT_TRUE(m_view.questions.isEmpty());
}

} // namespace

// Every pass of the window stores what it read in the history, with the
// power-on hours that only the checker can tell, and the shown disk's graph
// is made from those readings.
TEST_F(CheckerMonitorTest, EveryPassIsStoredInTheHistoryAndTheShownDisksGraphFollows) {
    const QString history = m_dir.path(QStringLiteral("state/history.sqlite"));
    CCheckerMonitor::Environment env;
    const QString baselines = m_dir.path();
    env.session.baselineDir = [baselines] { return baselines; };
    env.session.now = [this] { return m_now; };
    env.session.sleep = [](int) {};
    env.timer = &m_timer;
    env.runner = &m_runner;
    env.historyPath = history;
    m_monitor = std::make_unique<CCheckerMonitor>(PassOptions(), env);
    m_monitor->Start(&m_view);
    SetTemperature(QStringLiteral("1-pata-old"), 51);
    m_now += 120;
    m_monitor->Refresh();

    const DiskSnapshot& maxtor = m_view.shown.back().disks[1];
    vorn::history::HistoryStore store;
    ASSERT_TRUE(store.open(history));
    const int number = store.findDisk(maxtor.identity);
    ASSERT_NE(number, 0);
    const QList<vorn::history::StoredReading> readings = store.readings(number);
    ASSERT_EQ(readings.size(), 2);
    EXPECT_EQ(readings[0].reading.temperature, 43);
    EXPECT_EQ(readings[1].reading.temperature, 51);
    EXPECT_EQ(readings[1].reading.timeMs, m_now * 1000);
    EXPECT_EQ(readings[1].reading.index, m_monitor->Session().Disks().GetAt(1)->m_nDrive);
    EXPECT_GE(readings[1].reading.powerOnHours, 0);

    vorn::diskpass::GraphQuery query;
    query.storePath = history;
    query.disks = {{maxtor.identity, QStringLiteral("Maxtor")}};
    query.value = vorn::diskpass::TemperatureValue();
    query.nowMs = m_now * 1000;
    const vorn::ChartSnapshot graph = vorn::diskpass::LoadGraph(query);
    ASSERT_EQ(graph.curves.size(), 1);
    ASSERT_EQ(graph.curves[0].points.size(), 2);
    EXPECT_EQ(graph.curves[0].points[1].value, 51);
}
