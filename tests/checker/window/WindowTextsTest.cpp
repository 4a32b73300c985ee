// Every window and dialog of the checker in both interface languages: no
// caption is cut off, and the English one has no Japanese left.
#include "AboutBox.h"
#include "AttributeDetailDialog.h"
#include "CheckerTray.h"
#include "CheckerWindow.h"
#include "DiskButtonRow.h"
#include "HistoryDialog.h"
#include "SelfTestDialog.h"
#include "SeriesCodes.h"
#include "Translation.h"
#include "Version.h"

#include "../../support/PassFakes.h"
#include "../../support/ScopedSimMachine.h"
#include "../../support/TempDir.h"
#include "../../support/WidgetTextAudit.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace vorn::diskpass;
using namespace vorn::checker;
using vorn::test::ClippedCaptions;
using vorn::test::JapaneseTexts;
using vorn::test::TextAuditOptions;

namespace {

const QString kSample = QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine");
const QString kData = QStringLiteral(VORN_SOURCE_ROOT "/data");
// Values that elide on purpose and show the whole text in their tip.
const QStringList kEliding{QStringLiteral("vorn::checker::CElidingLabel")};

class WindowTextsTest : public ::testing::TestWithParam<InterfaceLanguage> {
protected:
    void SetUp() override {
        m_sim.install(kSample);
        m_english = GetParam() == InterfaceLanguage::English;
    }
    void TearDown() override { m_window.reset(); }

    CCheckerDlg& Open(const QString& startDir = kData) {
        CCheckerDlg::Setup setup;
        const QString baselines = m_dir.path();
        setup.session.baselineDir = [baselines] { return baselines; };
        setup.session.now = [] { return std::int64_t(1'800'000'000); };
        setup.session.sleep = [](int) {};
        setup.startDir = startDir;
        setup.runner = &m_inline;
        setup.historyPath = m_dir.path(QStringLiteral("history.sqlite"));
        setup.historyWorker = [](std::function<void()> work, std::function<void()> done) {
            work();
            done();
        };
        setup.services.askYesNo = [this](QWidget*, const QString& text) {
            m_asked << text;
            return false;
        };
        setup.services.inform = [this](QWidget*, const QString& text) { m_asked << text; };
        setup.services.openExternal = [](const QString&) { return false; };
        setup.services.runModal = [](QDialog&) {};
        m_window = std::make_unique<CCheckerDlg>(setup);
        m_window->Start();
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        return *m_window;
    }

    // Both audits of one window; the Japanese one only in English, where no
    // text but the drives' own may hold Japanese.
    void Audit(QWidget& window, const QList<const QMenu*>& menus = {}) {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QStringList clipped = ClippedCaptions(&window, kEliding);
        EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char('\n')).toStdString();
        if (!m_english)
            return;
        TextAuditOptions options;
        options.driveStrings = m_driveStrings;
        const QStringList japanese = JapaneseTexts(&window, options, menus);
        EXPECT_TRUE(japanese.isEmpty()) << japanese.join(QLatin1Char('\n')).toStdString();
    }

    // The models and serials of the simulated disks: the drives' words.
    void TakeDriveStrings(const CCheckerDlg& window) {
        for (const DiskSnapshot& disk : window.Monitor().Snapshot().disks)
            m_driveStrings << disk.panel[PanelField::Model] << disk.panel[PanelField::Serial]
                           << disk.panel[PanelField::Firmware];
    }

    ScopedSimMachine m_sim;
    TestDir m_dir;
    CInlinePassRunner m_inline;
    bool m_english = false;
    const CTextCatalogue m_texts{GetParam()};
    QStringList m_driveStrings;
    QStringList m_asked;
    std::unique_ptr<CCheckerDlg> m_window;
};

TEST_P(WindowTextsTest, MainWindowTrayAndQuestionsForEveryDisk) {
    // Started where the manual is missing, so that F1 says so.
    CCheckerDlg& window = Open(m_dir.path());
    TakeDriveStrings(window);
    const int disks = window.DiskRow()->Count();
    ASSERT_EQ(disks, 6);
    for (int k = 0; k < disks; ++k) {
        SCOPED_TRACE(k);
        window.SelectDisk(k);
        Audit(window, {window.Tray()->Menu()});
    }
    // The window's own questions and messages, asked after the catalogue
    // was installed, are in its language too.
    window.ConfirmQuit();
    window.OpenManual();
    ASSERT_GE(m_asked.size(), 2);
    if (m_english) {
        for (const QString& asked : m_asked)
            EXPECT_FALSE(vorn::test::HasJapanese(asked)) << asked.toStdString();
    }
}

TEST_P(WindowTextsTest, DetailAndHistoryDialogsOfAFailingAttribute) {
    CCheckerDlg& window = Open();
    TakeDriveStrings(window);
    window.SelectDisk(2); // the failing disk: its 05 is below its threshold
    int failing = -1;
    const DiskSnapshot* shown = window.Monitor().Snapshot().Shown();
    ASSERT_TRUE(shown);
    for (std::size_t row = 0; row < shown->attributes.size(); ++row) {
        if (shown->attributes[row].row.belowThreshold)
            failing = int(row);
    }
    ASSERT_GE(failing, 0);
    const std::optional<AttributeFigures> figures = window.Monitor().Detail(failing);
    ASSERT_TRUE(figures);
    CAttributeDetailDlg detail(*figures, kData, &window);
    detail.SetHistory([] {});
    Audit(detail);
    // Every caption column fits its widest caption, the frames and the
    // dialog with it: nothing stands past the dialog's edge.
    for (const QWidget* child : detail.findChildren<QWidget*>())
        EXPECT_LE(child->geometry().right(), detail.width()) << child->objectName().toStdString();

    window.OpenHistory(vorn::history::series::kAttributeRaw + 5);
    ASSERT_TRUE(window.HistoryDialog());
    Audit(*window.HistoryDialog());
}

TEST_P(WindowTextsTest, SelfTestDialogInEveryPhaseAndTheAboutBox) {
    SelfTestSnapshot snapshot;
    snapshot.capabilities = {true, true, true, 2, 154, 5};
    snapshot.logsRead = true;
    snapshot.message = QStringLiteral("-");
    vorn::hdd::SelfTestEntry passed;
    passed.number = 1;
    passed.type = QStringLiteral("extended");
    passed.status = QStringLiteral("Completed without error");
    vorn::hdd::SelfTestEntry failed;
    failed.number = 2;
    failed.type = QStringLiteral("offline");
    failed.statusCode = 7;
    failed.failed = true;
    failed.status = QStringLiteral("Completed: read failure");
    failed.firstErrorLba = 123456;
    vorn::hdd::SelfTestEntry selective = failed;
    selective.number = 3;
    selective.type = QStringLiteral("selective");
    snapshot.logs.selfTests = {passed, failed, selective};
    snapshot.logs.errorLogRead = true;
    snapshot.logs.errors.count = 2;
    snapshot.logs.errors.entries = {{1, 100, 0x60, 0, 0x40, 0x51, 123456}};

    CSelfTestDlg dialog(QStringLiteral("ST2000DM008-2FR102"));
    using Phase = SelfTestSnapshot::Phase;
    for (Phase phase : {Phase::Unknown, Phase::Idle, Phase::Running, Phase::Passed, Phase::Failed,
                        Phase::Aborted, Phase::TimedOut}) {
        SCOPED_TRACE(int(phase));
        snapshot.phase = phase;
        snapshot.remainingPercent = 40;
        dialog.Show(snapshot);
        Audit(dialog);
    }
    snapshot.logs.errorLogRead = false;
    dialog.Show(snapshot);
    Audit(dialog);

    CVersion version;
    version.ReadResourceInformation(nullptr);
    CAboutBox about(version, QIcon());
    Audit(about);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, WindowTextsTest,
                         ::testing::Values(InterfaceLanguage::Japanese, InterfaceLanguage::English),
                         [](const ::testing::TestParamInfo<InterfaceLanguage>& param) {
                             return param.param == InterfaceLanguage::English ? "English"
                                                                              : "Japanese";
                         });

} // namespace
