#include "SelfTestDialog.h"
#include "CExToolBar24.h"
#include "CHdd.h"
#include "CheckerCommands.h"
#include "CheckerTray.h"
#include "CheckerWindow.h"
#include "SelfTestWindow.h"
#include "SimDevice.h"

#include "../../support/PassFakes.h"
#include "../../support/ScopedSimMachine.h"
#include "../../support/SimMachineFiles.h"
#include "../../support/TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

using namespace vorn::diskpass;
using namespace vorn::checker;
using vorn::hdd::SelfTestKind;

namespace {

// The checker on a copy of the sample machine whose first disk tests itself
// on the test's clock; the self-tests' timers are ticked by hand.
class SelfTestDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        vorn::platform::setSimClock(
            [this] { return std::chrono::steady_clock::time_point(std::chrono::seconds(m_now)); });
        ASSERT_TRUE(simfiles::CopyMachine(QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine"),
                                          m_dir.path(QStringLiteral("m"))));
    }
    void TearDown() override {
        m_window.reset();
        vorn::platform::setSimClock(nullptr);
    }

    void Install(const char* deviceLines = "") {
        QFile file(m_dir.path(QStringLiteral("m/0-sata-healthy/disk.ini")));
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(deviceLines);
        file.close();
        m_machine.install(m_dir.path(QStringLiteral("m")));
    }

    CCheckerDlg& Open() {
        CCheckerDlg::Setup setup;
        const QString baselines = m_dir.path();
        setup.session.baselineDir = [baselines] { return baselines; };
        setup.session.sleep = [](int) {};
        setup.startDir = QStringLiteral(VORN_SOURCE_ROOT "/data");
        setup.services.askYesNo = [](QWidget*, const QString&) { return false; };
        setup.services.runModal = [](QDialog&) {};
        setup.runner = &m_runner;
        setup.selfTestTimer = [this] {
            auto timer = std::make_unique<FakeTimer>();
            m_timers.push_back(timer.get());
            return std::unique_ptr<CRefreshTimer>(std::move(timer));
        };
        setup.selfTestClock = [this] { return m_now; };
        m_window = std::make_unique<CCheckerDlg>(setup);
        m_window->Start();
        return *m_window;
    }

    CSelfTestDlg* Dialog() const { return m_window->SelfTests()->Dialog(); }

    // Lets seconds pass, ticking whichever self-test timer runs when due.
    void Pass(std::int64_t seconds) {
        const std::int64_t end = m_now + seconds;
        for (;;) {
            FakeTimer* due = nullptr;
            for (FakeTimer* timer : m_timers) {
                if (timer->Running() && m_now + timer->interval / 1000 <= end)
                    due = timer;
            }
            if (!due)
                break;
            m_now += due->interval / 1000;
            due->Tick();
        }
        m_now = end;
    }

    void StartFromTheToolbar(SelfTestKind kind) {
        auto* toolbar = static_cast<CExToolBar24*>(m_window->ToolBar());
        ASSERT_NE(toolbar->action(ID_SELF_TEST), nullptr);
        toolbar->action(ID_SELF_TEST)->trigger();
        ASSERT_NE(Dialog(), nullptr);
        ASSERT_TRUE(Dialog()->isVisible());
        Dialog()->KindButton(kind)->setChecked(true);
        ASSERT_TRUE(Dialog()->StartButton()->isEnabled());
        Dialog()->StartButton()->click();
    }

    QString LogCell(int row, int column) const {
        const QTableWidgetItem* item = Dialog()->LogTable()->item(row, column);
        return item ? item->text() : QString();
    }

    std::int64_t m_now = 0;
    TestDir m_dir;
    ScopedSimMachine m_machine;
    CInlinePassRunner m_runner;
    std::vector<FakeTimer*> m_timers;
    std::unique_ptr<CCheckerDlg> m_window;
};

TEST_F(SelfTestDialogTest, AShortTestRunsOnWhileTheDialogIsClosedAndTheWindowInTheTray) {
    Install();
    Open();
    StartFromTheToolbar(SelfTestKind::Short);
    EXPECT_TRUE(Dialog()->KindButton(SelfTestKind::Short)->text().contains(QStringLiteral("1分")));
    EXPECT_TRUE(
        Dialog()->KindButton(SelfTestKind::Extended)->text().contains(QStringLiteral("512分")));
    EXPECT_FALSE(Dialog()->StartButton()->isEnabled());
    EXPECT_TRUE(Dialog()->AbortButton()->isEnabled());
    Pass(30);
    EXPECT_EQ(Dialog()->Progress()->value(), 50);
    EXPECT_EQ(Dialog()->StateLine()->text(), QStringLiteral("実行中 50%"));

    Dialog()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Dialog(), nullptr);
    m_window->HideToTray();
    Pass(15);
    // Reopened from the tray menu mid-test: the running state, at once.
    m_window->Tray()->SelfTestAction()->trigger();
    ASSERT_NE(Dialog(), nullptr);
    // The drive counts in tenths: 25 % left is said as 30.
    EXPECT_EQ(Dialog()->StateLine()->text(), QStringLiteral("実行中 70%"));
    EXPECT_EQ(Dialog()->Progress()->value(), 70);
    EXPECT_FALSE(Dialog()->StartButton()->isEnabled());

    Pass(30);
    EXPECT_EQ(Dialog()->StateLine()->text(), QStringLiteral("正常終了"));
    EXPECT_EQ(Dialog()->Progress()->value(), 100);
    ASSERT_EQ(Dialog()->LogTable()->rowCount(), 1);
    EXPECT_EQ(LogCell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(LogCell(0, 1), QStringLiteral("ショート"));
    EXPECT_EQ(LogCell(0, 2), QStringLiteral("正常終了"));
    EXPECT_EQ(LogCell(0, 5), QStringLiteral("-"));
    EXPECT_TRUE(Dialog()->StartButton()->isEnabled());
    EXPECT_FALSE(Dialog()->AbortButton()->isEnabled());
}

TEST_F(SelfTestDialogTest, AFailureShowsItsLbaAndAnAbortEndsTheNextTest) {
    Install("SelfTest=fail\nSelfTestFailLba=777\n");
    Open();
    StartFromTheToolbar(SelfTestKind::Short);
    Pass(60);
    EXPECT_EQ(Dialog()->StateLine()->text(), QStringLiteral("失敗"));
    ASSERT_EQ(Dialog()->LogTable()->rowCount(), 1);
    EXPECT_TRUE(LogCell(0, 2).startsWith(QStringLiteral("失敗")));
    EXPECT_EQ(LogCell(0, 3), QStringLiteral("40%"));
    EXPECT_EQ(LogCell(0, 5), QStringLiteral("777"));

    Dialog()->KindButton(SelfTestKind::Extended)->setChecked(true);
    Dialog()->StartButton()->click();
    Pass(3600);
    EXPECT_TRUE(Dialog()->StateLine()->text().startsWith(QStringLiteral("実行中")));
    Dialog()->AbortButton()->click();
    EXPECT_EQ(Dialog()->StateLine()->text(), QStringLiteral("中止されました"));
    EXPECT_EQ(Dialog()->Progress()->value(), 0);
    ASSERT_EQ(Dialog()->LogTable()->rowCount(), 2);
    EXPECT_EQ(LogCell(0, 1), QStringLiteral("拡張"));
    EXPECT_NE(LogCell(0, 2), QStringLiteral("正常終了"));
    EXPECT_EQ(LogCell(1, 5), QStringLiteral("777"));
    EXPECT_FALSE(m_timers.front()->Running()); // no polling once it is over
}

// A test an earlier run left going is followed from the start, before any
// dialog is opened; the disks without one get no monitor and no command.
TEST_F(SelfTestDialogTest, ATestLeftRunningIsPickedUpAtTheStart) {
    Install();
    {
        CHdd earlier;
        ASSERT_TRUE(earlier.OpenHddHandle(0, -1, -1));
        earlier.GetHddInfo();
        ASSERT_TRUE(earlier.ReadSelfTestProgress());
        ASSERT_EQ(earlier.StartSelfTest(SelfTestKind::Short), vorn::hdd::SelfTestOutcome::Accepted);
    }
    m_now += 15;
    Open();
    const CCheckerSelfTests& tests = m_window->SelfTests()->SelfTests();
    ASSERT_NE(tests.Snapshot(0), nullptr);
    EXPECT_TRUE(tests.Snapshot(0)->running());
    EXPECT_FALSE(tests.Snapshot(0)->kind); // not started here
    EXPECT_EQ(tests.Snapshot(1), nullptr);
    EXPECT_EQ(m_timers.size(), 1u);
    Pass(CSelfTestMonitor::kMaxPollSeconds);
    EXPECT_EQ(tests.Snapshot(0)->phase, SelfTestSnapshot::Phase::Passed);
}

} // namespace
