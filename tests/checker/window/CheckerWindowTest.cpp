#include "CheckerWindow.h"
#include "AttributeDetailDialog.h"
#include "AttributeList.h"
#include "CheckerTray.h"

#include "../../support/PassFakes.h"
#include "../../support/ScopedSimMachine.h"
#include "../../support/SimMachineFiles.h"
#include "../../support/TempDir.h"

#include "CDiskButton.h"
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <memory>

using namespace vorn::diskpass;
using namespace vorn::checker;

namespace {

const QString kSample = QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine");
const QString kData = QStringLiteral(VORN_SOURCE_ROOT "/data");
const QString kQuit = QStringLiteral("「Drivewatch Vuda」を終了します。よろしいですか？");

// What the window asked of the desktop, and how the test answers.
struct Desk {
    bool answer = false;
    QStringList questions;
    QStringList messages;
    QString folder;
    QStringList opened;
    QList<AttributeDetailTexts> details;
    int fadesOut = 0;
};

WindowServices ServicesFor(Desk& desk) {
    WindowServices s;
    s.askYesNo = [&desk](QWidget*, const QString& text) {
        desk.questions << text;
        return desk.answer;
    };
    s.inform = [&desk](QWidget*, const QString& text) { desk.messages << text; };
    s.pickFolder = [&desk](const QString&) { return desk.folder; };
    s.openExternal = [&desk](const QString& target) {
        desk.opened << target;
        return true;
    };
    s.showSmoothly = [&desk](QWidget*, bool show, int, int) { desk.fadesOut += show ? 0 : 1; };
    s.runModal = [&desk](QDialog& dialog) {
        if (auto* detail = qobject_cast<CAttributeDetailDlg*>(&dialog))
            desk.details << detail->Texts();
    };
    return s;
}

class CheckerWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_sim.install(kSample);
        qputenv("VORN_SIM_TRACE", m_dir.path(QStringLiteral("trace.txt")).toLocal8Bit());
    }
    void TearDown() override {
        m_window.reset();
        qunsetenv("VORN_SIM_TRACE");
    }

    CCheckerDlg& Open(PassOptions options = {}, bool tray = true, const QString& startDir = kData,
                      CDiskPassRunner* runner = nullptr) {
        CCheckerDlg::Setup setup;
        setup.options = options;
        const QString baselines = m_dir.path();
        setup.session.baselineDir = [baselines] { return baselines; };
        setup.session.now = [this] { return m_now; };
        setup.session.sleep = [](int) {};
        setup.startDir = startDir;
        setup.services = ServicesFor(m_desk);
        setup.runner = runner ? runner : &m_inline;
        setup.trayAvailable = tray;
        m_window = std::make_unique<CCheckerDlg>(setup);
        m_window->Start();
        return *m_window;
    }

    // The device path of every traced request, in order.
    QStringList TracedPaths() const {
        QStringList paths;
        const QString text = QString::fromUtf8(m_dir.read(QStringLiteral("trace.txt")));
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            paths << line.section(QLatin1Char(' '), 0, 0);
        return paths;
    }

    ScopedSimMachine m_sim;
    TestDir m_dir;
    Desk m_desk;
    std::int64_t m_now = 1'800'000'000;
    CInlinePassRunner m_inline;
    CThreadedPassRunner m_threaded;
    std::unique_ptr<CCheckerDlg> m_window;
};

TEST_F(CheckerWindowTest, EverySampleDiskFillsThePanelFromItsButton) {
    struct Expected {
        const char* model;
        const char* temperature;
        const char* cycles;
        const char* drives;
        const char* smart;
        const char* status;
        bool star;
    };
    const Expected disks[] = {
        {"ST2000DM008-2FR102", "34℃", "409 回", "C: D: ", "有効", "正常", true},
        {"Maxtor 6Y080L0", "43℃", "3,211 回", "E: ", "有効", "正常", true},
        {"WDC WD10EZEX-08WN4A0", "39℃", "1,902 回", "F: /srv/backup ", "有効", "異常", true},
        {"HDS722580VLAT20", "-", "-", "G: ", "無効", "不明", false},
        {"HGST HTS721010A9E630", "35℃", "1,433 回", "/home ", "有効", "正常", true},
        // The USB disk after the fixed ones, read through its bridge.
        {"WDC WD40EDAZ-11SLVB0", "37℃", "871 回", "H: ", "有効", "正常", true},
    };
    CCheckerDlg& window = Open();
    ASSERT_EQ(window.Monitor().Session().Disks().GetCount(), 6);
    // The first disk is shown without a click.
    EXPECT_EQ(window.Panel().ValueText(PanelField::Model), QStringLiteral("ST2000DM008-2FR102"));
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        window.DiskButton(k)->Press();
        const CInfoPanel& panel = window.Panel();
        EXPECT_EQ(window.Monitor().Snapshot().shown, k);
        EXPECT_EQ(panel.ValueText(PanelField::Model), QString::fromUtf8(disks[k].model));
        EXPECT_EQ(panel.ValueText(PanelField::Temperature),
                  QString::fromUtf8(disks[k].temperature));
        EXPECT_EQ(panel.ValueText(PanelField::PowerCycles), QString::fromUtf8(disks[k].cycles));
        EXPECT_EQ(panel.ValueText(PanelField::DriveLetters), QString::fromUtf8(disks[k].drives));
        EXPECT_EQ(panel.ValueText(PanelField::Smart), QString::fromUtf8(disks[k].smart));
        EXPECT_EQ(panel.ValueText(PanelField::Status), QString::fromUtf8(disks[k].status));
        EXPECT_EQ(panel.StarButton()->isEnabled(), disks[k].star);
        // A disk still being timed shows the measurement, one without
        // S.M.A.R.T. shows nothing.
        EXPECT_EQ(panel.ValueText(PanelField::PowerOn),
                  disks[k].star ? QStringLiteral("判別中") : QStringLiteral("-"));
        // Every caption names its value for a screen reader.
        EXPECT_EQ(panel.Caption(PanelField::Model)->buddy(), panel.Value(PanelField::Model));
    }
    // The button's tip: model, drive names, the state and the attribute
    // that fails.
    EXPECT_EQ(window.DiskButton(2)->toolTip(),
              QStringLiteral("WDC WD10EZEX-08WN4A0\nF: /srv/backup \n✖ 異常\nしきい値以下の属性: "
                             "05 再配置セクタ数"));
}

TEST_F(CheckerWindowTest, TheScanRunsOffTheWindowThreadWithTheCommandsLocked) {
    CCheckerDlg& window = Open({}, true, kData, &m_threaded);
    // The scan's end reaches the window as an event, so it is still busy.
    ASSERT_TRUE(window.Monitor().IsBusy());
    EXPECT_FALSE(window.ToolBar()->isEnabled());
    EXPECT_FALSE(window.Panel().StarButton()->isEnabled());
    QSignalSpy idle(&m_threaded, &CThreadedPassRunner::passEnded);
    ASSERT_TRUE(idle.wait(10000));
    EXPECT_TRUE(window.ToolBar()->isEnabled());
    EXPECT_TRUE(window.Panel().StarButton()->isEnabled());
    EXPECT_EQ(window.Monitor().Session().Disks().GetCount(), 6);
    EXPECT_EQ(window.Panel().ValueText(PanelField::Model), QStringLiteral("ST2000DM008-2FR102"));
}

TEST_F(CheckerWindowTest, ListHasEveryRecordButTheTemperaturesInDiskOrder) {
    CCheckerDlg& window = Open();
    const CDisk* disk = window.Monitor().Session().Disks().GetAt(window.Monitor().Snapshot().shown);
    QStringList expected;
    for (const CHddSmartDisp* record : disk->m_HddSmart.m_DispList) {
        if (record->m_byId != 194 && record->m_byId != 231)
            expected << QString::asprintf("%02X", record->m_byId);
    }
    const CAttributeListModel* model = window.List()->Model();
    QStringList ids;
    for (int row = 0; row < model->rowCount(); ++row)
        ids << model->index(row, 0).data().toString();
    EXPECT_EQ(ids, expected);
    EXPECT_FALSE(ids.contains(QStringLiteral("C2")));
    EXPECT_EQ(model->headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("劣化％"));
    EXPECT_EQ(model->index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
              Qt::AlignRight);
}

TEST_F(CheckerWindowTest, RefreshReadsEveryDiskAgain) {
    CCheckerDlg& window = Open();
    window.DiskButton(1)->Press();
    const qsizetype afterScan = TracedPaths().size();
    ASSERT_GT(afterScan, 0);
    window.RefreshAction()->trigger();
    // Every disk is asked again, each by the path it was found on; the
    // shown disk stays and its rows are the fresh records.
    QStringList asked = TracedPaths().mid(afterScan);
    asked.removeDuplicates();
    EXPECT_EQ(asked, (QStringList{"\\\\.\\PhysicalDrive0", "\\\\.\\PhysicalDrive1",
                                  "\\\\.\\PhysicalDrive2", "\\\\.\\PhysicalDrive3",
                                  "\\\\.\\Scsi3:", "\\\\.\\PhysicalDrive4"}));
    EXPECT_EQ(window.Monitor().Snapshot().shown, 1);
    EXPECT_EQ(window.List()->Model()->Rows().first().cells,
              MakeAttributeRow(
                  *window.Monitor().Session().Disks().GetAt(1)->m_HddSmart.m_DispList.GetAt(0))
                  .cells);
}

TEST_F(CheckerWindowTest, EveryWayOutAsksTheSameQuestionAndNoChangesNothing) {
    CCheckerDlg& window = Open();
    const QList<std::function<void()>> ways = {
        [&] { QTest::keyClick(&window, Qt::Key_Escape); },
        [&] { window.close(); },
        [&] { window.CloseButton()->click(); },
        [&] { window.Tray()->ExitAction()->trigger(); },
    };
    m_desk.answer = false;
    for (const auto& way : ways)
        way();
    EXPECT_EQ(m_desk.questions, QStringList(4, kQuit));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.Tray()->IsVisible());
    EXPECT_TRUE(window.IsTimerRunning());
    EXPECT_FALSE(window.IsTornDown());

    // Enter is no way out.
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_EQ(m_desk.questions.size(), 4);
    EXPECT_TRUE(window.isVisible());

    m_desk.answer = true;
    QSignalSpy finished(&window, &CCheckerDlg::finished);
    QFile::remove(m_dir.path(QStringLiteral("ZFL1K8QW.dat")));
    window.Tray()->ExitAction()->trigger();
    EXPECT_EQ(finished.size(), 1);
    EXPECT_TRUE(window.IsTornDown());
    EXPECT_FALSE(window.IsTimerRunning());
    EXPECT_FALSE(window.Tray()->IsVisible());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QFile::exists(m_dir.path(QStringLiteral("ZFL1K8QW.dat"))))
        << "the baselines are written at the end";
}

TEST_F(CheckerWindowTest, HidingKeepsTheMeasurementRunning) {
    CCheckerDlg& window = Open();
    ASSERT_TRUE(window.IsTimerRunning());
    window.MinimizeButton()->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.IsTimerRunning());
    EXPECT_EQ(m_desk.fadesOut, 1);
    window.Tray()->OpenAction()->trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.IsTimerRunning());
}

TEST_F(CheckerWindowTest, WithoutANotificationAreaTheWindowIsNeverHidden) {
    PassOptions mini;
    mini.m_bOptMini = true;
    CCheckerDlg& window = Open(mini, /*tray=*/false);
    EXPECT_TRUE(window.isVisible()) << "-Vuda without a tray would leave nothing to click";
    window.MinimizeButton()->click();
    EXPECT_TRUE(window.isMinimized());
}

TEST_F(CheckerWindowTest, VudaStartsHiddenInTheNotificationArea) {
    PassOptions mini;
    mini.m_bOptMini = true;
    CCheckerDlg& window = Open(mini);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Monitor().Session().Disks().GetCount(), 6);
}

TEST_F(CheckerWindowTest, ATimerPassLeavesASleepingDiskUnreadAndItsTipsSaySo) {
    const QString machine = m_dir.path(QStringLiteral("machine"));
    ASSERT_TRUE(simfiles::CopyMachine(kSample, machine));
    QFile ini(machine + QStringLiteral("/1-pata-old/disk.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("PowerMode=standby\n");
    ini.close();
    m_sim.install(machine);
    CCheckerDlg& window = Open();
    // The start-up scan is the user's: it reads, and so wakes, the disk.
    EXPECT_EQ(window.DiskButton(1)->toolTip(), QStringLiteral("Maxtor 6Y080L0\nE: "));
    ASSERT_TRUE(window.IsTimerRunning());

    // It spins down again; the next pass of the timer only asks whether
    // it sleeps.
    m_sim.install(machine);
    const qsizetype before = TracedPaths().size();
    m_now += 30;
    window.TimerPass();
    const QString trace = QString::fromUtf8(m_dir.read(QStringLiteral("trace.txt")));
    const QStringList lines = trace.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(before);
    int checks = 0;
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains(QStringLiteral(" WAKE-UP "))) << line.toStdString();
        // CHECK POWER MODE, in the pass-through's command register.
        if (line.startsWith(QStringLiteral("\\\\.\\PhysicalDrive1 ")) ||
            line.startsWith(QStringLiteral("\\\\.\\Scsi1: "))) {
            EXPECT_EQ(line.section(QLatin1Char(' '), 2, 2).mid(38 * 2, 2), QStringLiteral("E5"))
                << line.toStdString();
            ++checks;
        }
    }
    EXPECT_EQ(checks, 1);
    const QString asleep = QStringLiteral("Maxtor 6Y080L0\nE: \nスタンバイ中");
    EXPECT_EQ(window.DiskButton(1)->toolTip(), asleep);
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(window.DiskButton(1));
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(QAccessible::Name),
              QStringLiteral("Maxtor 6Y080L0 43℃ 正常\nE: \nスタンバイ中"));
    EXPECT_EQ(window.DiskButton(0)->toolTip(), QStringLiteral("ST2000DM008-2FR102\nC: D: "));
    ASSERT_TRUE(window.Tray()->Icon());
    EXPECT_EQ(window.Tray()->Icon()->toolTip(),
              QStringLiteral("Drivewatch Vuda\nMaxtor 6Y080L0 スタンバイ中"));
    // Its last values stay on the panel.
    window.DiskButton(1)->Press();
    EXPECT_EQ(window.Panel().ValueText(PanelField::Temperature), QStringLiteral("43℃"));

    // Refreshing is the user's asking: the disk is read, and awake.
    window.RefreshAction()->trigger();
    EXPECT_EQ(window.DiskButton(1)->toolTip(), QStringLiteral("Maxtor 6Y080L0\nE: "));
    EXPECT_EQ(window.Tray()->Icon()->toolTip(), QStringLiteral("Drivewatch Vuda"));
}

TEST_F(CheckerWindowTest, StarAsksAndRestartsTheMeasurement) {
    CCheckerDlg& window = Open();
    m_now += 180;
    window.TimerPass();
    ASSERT_FALSE(window.IsTimerRunning()) << "a counter that did not move is counted in hours";
    EXPECT_EQ(window.Panel().ValueText(PanelField::PowerOn), QStringLiteral("10,873 時間"));

    QPushButton* star = window.Panel().StarButton();
    m_desk.answer = false;
    star->click();
    EXPECT_EQ(m_desk.questions.size(), 1);
    EXPECT_FALSE(window.IsTimerRunning());
    EXPECT_EQ(window.Panel().ValueText(PanelField::PowerOn), QStringLiteral("10,873 時間"));

    m_desk.answer = true;
    star->click();
    EXPECT_EQ(m_desk.questions.last(),
              QStringLiteral("ハードディスクの使用時間を再調査します。\nよろしいですか？"));
    EXPECT_TRUE(window.IsTimerRunning());
    EXPECT_EQ(window.Panel().ValueText(PanelField::PowerOn), QStringLiteral("判別中"));
    for (const CDisk* disk : window.Monitor().Session().Disks())
        EXPECT_EQ(disk->m_nPohUnit, -1);
}

TEST_F(CheckerWindowTest, ReportsGoToTheChosenFolder) {
    CCheckerDlg& window = Open();
    m_desk.folder.clear();
    window.SaveAction()->trigger();
    TestDir reports;
    m_desk.folder = reports.path();
    window.SaveAction()->trigger();
    const QStringList files = QDir(reports.path()).entryList(QDir::Files);
    EXPECT_EQ(files.size(), 18);
    EXPECT_TRUE(files.contains(QStringLiteral("Maxtor 6Y080L0_1.smt_thr.txt")));
}

TEST_F(CheckerWindowTest, DetailDialogWithAndWithoutADescription) {
    CCheckerDlg& window = Open();
    const CAttributeListModel* model = window.List()->Model();
    int row5 = -1;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data().toString() == QStringLiteral("05"))
            row5 = row;
    }
    ASSERT_GE(row5, 0);
    emit window.List()->doubleClicked(model->index(row5, 3));
    ASSERT_EQ(m_desk.details.size(), 1);
    const QString withText = m_desk.details[0].description;
    EXPECT_TRUE(withText.startsWith(QStringLiteral("再配置セクタ数 [重要度：高]\n\n")));
    EXPECT_GT(withText.size(), QStringLiteral("再配置セクタ数 [重要度：高]\n\n").size());

    // Started where no description file lies: name and importance only.
    m_window.reset();
    TestDir empty;
    CCheckerDlg& bare = Open({}, true, empty.path());
    emit bare.List()->doubleClicked(bare.List()->Model()->index(row5, 0));
    ASSERT_EQ(m_desk.details.size(), 2);
    EXPECT_EQ(m_desk.details[1].description, QStringLiteral("再配置セクタ数 [重要度：高]\n\n"));
    EXPECT_EQ(m_desk.details[1].current, m_desk.details[0].current);
}

TEST_F(CheckerWindowTest, HelpOpensTheManualOrSaysItIsMissing) {
    CCheckerDlg& window = Open();
    QTest::keyClick(&window, Qt::Key_F1);
    ASSERT_EQ(m_desk.opened.size(), 1);
    EXPECT_TRUE(m_desk.opened[0].endsWith(QStringLiteral("/data/DrivewatchMini.html")));
    EXPECT_TRUE(m_desk.messages.isEmpty());

    m_window.reset();
    TestDir empty;
    CCheckerDlg& bare = Open({}, true, empty.path());
    QTest::keyClick(&bare, Qt::Key_F1);
    EXPECT_EQ(m_desk.messages, QStringList{QStringLiteral("ヘルプファイルがありません")});
    EXPECT_EQ(m_desk.opened.size(), 1);
}

TEST_F(CheckerWindowTest, ResizingStretchesTheListAndKeepsTheButtonsInTheCorners) {
    CCheckerDlg& window = Open();
    const QRect list = window.List()->geometry();
    const QPoint close = window.CloseButton()->pos();
    const int minimizeRight = window.width() - window.MinimizeButton()->geometry().right();
    window.resize(window.width() + 120, window.height() + 80);
    EXPECT_EQ(window.List()->geometry().topLeft(), list.topLeft());
    EXPECT_EQ(window.List()->width(), list.width() + 120);
    EXPECT_EQ(window.List()->height(), list.height() + 80);
    EXPECT_EQ(window.CloseButton()->pos(), close + QPoint(0, 80));
    EXPECT_EQ(window.width() - window.MinimizeButton()->geometry().right(), minimizeRight);
}

// The sample machine with an OpenError for each disk (empty: none).
void WriteMachineWithOpenErrors(const TestDir& dir, const QStringList& errors) {
    ASSERT_TRUE(simfiles::CopyMachine(kSample, dir.path()));
    const QStringList disks =
        QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    ASSERT_EQ(disks.size(), errors.size());
    for (int k = 0; k < disks.size(); ++k) {
        if (errors[k].isEmpty())
            continue;
        const QString ini = disks[k] + QStringLiteral("/disk.ini");
        const QByteArray entry = "[Device]\nOpenError=" + errors[k].toLatin1();
        ASSERT_TRUE(dir.write(ini, dir.read(ini).replace("[Device]", entry)));
    }
}

// The one message box that tells an ordinary user why the window is empty;
// a disk that could be read, or a refusal that is not about permission,
// must not bring it up.
TEST_F(CheckerWindowTest, SaysOnceWhenNoDiskMayBeReadForLackOfPermission) {
    const QString noPermission =
        QStringLiteral("ディスクを読み取る権限がありません。ディスクヘルパー（vorn-diskhelper）を"
                       "インストールするか、管理者として実行してください。");
    const QString d = QStringLiteral("denied");
    const QString b = QStringLiteral("busy");
    const struct {
        const char* name;
        QStringList errors;
        int disks;
        bool told;
    } cases[] = {
        {"every disk refuses", {d, d, d, d, d, d}, 0, true},
        {"one disk answers", {d, d, QString(), d, d, d}, 1, false},
        {"every disk is busy", {b, b, b, b, b, b}, 0, false},
        {"busy and refusing", {b, d, b, d, b, b}, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir machine;
        ASSERT_NO_FATAL_FAILURE(WriteMachineWithOpenErrors(machine, c.errors));
        m_sim.install(machine.path());
        m_desk.messages.clear();
        CCheckerDlg& window = Open();
        EXPECT_EQ(window.Monitor().Session().Disks().GetCount(), c.disks);
        EXPECT_EQ(m_desk.messages, c.told ? QStringList{noPermission} : QStringList());
        // A refresh that fails the same way says nothing more.
        window.RefreshAction()->trigger();
        EXPECT_EQ(m_desk.messages.size(), c.told ? 1 : 0);
        m_window.reset();
    }
}

} // namespace
