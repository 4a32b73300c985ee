// The checker's window used by keyboard alone, with many disks, at a scale
// of 2, in a dark palette and by a screen reader; and what saving reports
// tells the user.
#include "AttributeDetailDialog.h"
#include "AttributeList.h"
#include "CDiskButton.h"
#include "CExToolBar24.h"
#include "CheckerWindow.h"
#include "DiskButtonRow.h"
#include "DiskStateLook.h"
#include "ElidingLabel.h"
#include "Translation.h"
#include "WindowPlacement.h"

#include "../../support/PassFakes.h"
#include "../../support/ScopedSimMachine.h"
#include "../../support/SimMachineFiles.h"
#include "../../support/TempDir.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <gtest/gtest.h>

#include <memory>

using namespace vorn::diskpass;
using namespace vorn::checker;

namespace {

const QString kSample = QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine");
const QString kData = QStringLiteral(VORN_SOURCE_ROOT "/data");

struct Desk {
    QStringList questions;
    QStringList messages;
    QString folder;
    bool viewer = true;
    int details = 0;
};

class CheckerWindowReachTest : public ::testing::Test {
protected:
    void SetUp() override { m_sim.install(kSample); }
    void TearDown() override { m_window.reset(); }

    CCheckerDlg& Open(const QString& startDir = kData) {
        CCheckerDlg::Setup setup;
        const QString baselines = m_dir.path();
        setup.session.baselineDir = [baselines] { return baselines; };
        setup.session.now = [] { return std::int64_t(1'800'000'000); };
        setup.session.sleep = [](int) {};
        setup.startDir = startDir;
        setup.runner = &m_inline;
        Desk& desk = m_desk;
        setup.services.askYesNo = [&desk](QWidget*, const QString& text) {
            desk.questions << text;
            return false;
        };
        setup.services.inform = [&desk](QWidget*, const QString& text) { desk.messages << text; };
        setup.services.pickFolder = [&desk](const QString&) { return desk.folder; };
        setup.services.openExternal = [&desk](const QString&) { return desk.viewer; };
        setup.services.runModal = [&desk](QDialog& dialog) {
            desk.details += qobject_cast<CAttributeDetailDlg*>(&dialog) ? 1 : 0;
        };
        m_window = std::make_unique<CCheckerDlg>(setup);
        m_window->Start();
        return *m_window;
    }

    // Shown and active, so that focus and keys go where a user's would.
    CCheckerDlg& OpenActive() {
        CCheckerDlg& window = Open();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        return window;
    }

    ScopedSimMachine m_sim;
    TestDir m_dir;
    Desk m_desk;
    CInlinePassRunner m_inline;
    std::unique_ptr<CCheckerDlg> m_window;
};

QWidget* Focused() {
    return QApplication::focusWidget();
}

void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = Focused();
    ASSERT_TRUE(target);
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

TEST_F(CheckerWindowReachTest, TabWalksCommandsShownDiskStarListAndButtonsOnce) {
    CCheckerDlg& window = OpenActive();
    QList<QWidget*> expected;
    for (QAction* action : window.ToolBar()->actions()) {
        if (!action->isSeparator())
            expected << window.ToolBar()->widgetForAction(action);
    }
    ASSERT_EQ(expected.size(), 6);
    // Of the six disks only the shown one is a stop; the arrows reach
    // the others.
    expected << window.DiskButton(0) << window.Panel().StarButton() << window.List()
             << window.CloseButton() << window.MinimizeButton();
    expected.first()->setFocus(Qt::TabFocusReason);
    QList<QWidget*> walked{Focused()};
    for (int k = 1; k < expected.size() + 1; ++k) {
        Key(Qt::Key_Tab);
        walked << Focused();
    }
    EXPECT_EQ(walked.mid(0, expected.size()), expected);
    EXPECT_EQ(walked.last(), expected.first()) << "the chain closes";

    // Backwards from the first command lands on the last button.
    Key(Qt::Key_Backtab);
    EXPECT_EQ(Focused(), window.MinimizeButton());
}

TEST_F(CheckerWindowReachTest, ArrowsMoveBetweenDisksAndEnterOrSpaceShowsOne) {
    CCheckerDlg& window = OpenActive();
    window.DiskButton(0)->setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    EXPECT_EQ(Focused(), window.DiskButton(2));
    EXPECT_EQ(window.Monitor().Snapshot().shown, 0) << "moving the focus shows nothing yet";
    Key(Qt::Key_Return);
    EXPECT_EQ(window.Monitor().Snapshot().shown, 2);
    EXPECT_TRUE(window.DiskButton(2)->IsSelected());
    EXPECT_FALSE(window.DiskButton(0)->IsSelected());
    Key(Qt::Key_End);
    EXPECT_EQ(Focused(), window.DiskButton(5));
    Key(Qt::Key_Right);
    EXPECT_EQ(Focused(), window.DiskButton(5)) << "the last disk stays the last";
    Key(Qt::Key_Space);
    EXPECT_EQ(window.Monitor().Snapshot().shown, 5);
    Key(Qt::Key_Home);
    EXPECT_EQ(Focused(), window.DiskButton(0));
    Key(Qt::Key_Left);
    EXPECT_EQ(Focused(), window.DiskButton(0));

    // The Tab stop follows the shown disk.
    window.CloseButton()->setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Backtab);
    Key(Qt::Key_Backtab);
    Key(Qt::Key_Backtab);
    EXPECT_EQ(Focused(), window.DiskButton(5));
}

TEST_F(CheckerWindowReachTest, EnterOnARowOpensItsDetailAndTabLeavesTheList) {
    CCheckerDlg& window = OpenActive();
    window.Panel().StarButton()->setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Tab);
    ASSERT_EQ(Focused(), window.List());
    EXPECT_EQ(window.List()->currentIndex().row(), 0) << "arriving, a row is current";
    Key(Qt::Key_Down);
    Key(Qt::Key_Enter);
    EXPECT_EQ(m_desk.details, 1);
    Key(Qt::Key_Return);
    EXPECT_EQ(m_desk.details, 2);
    EXPECT_TRUE(window.isVisible()) << "Enter never ends the window";
    Key(Qt::Key_Tab);
    EXPECT_EQ(Focused(), window.CloseButton());
}

TEST_F(CheckerWindowReachTest, CommandKeysWorkFromAnyControl) {
    CCheckerDlg& window = OpenActive();
    window.List()->setFocus(Qt::TabFocusReason);
    TestDir reports;
    m_desk.folder = reports.path();
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(QDir(reports.path()).entryList(QDir::Files).size(), 18);

    window.DiskButton(1)->setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Asterisk);
    ASSERT_EQ(m_desk.questions.size(), 1);
    EXPECT_TRUE(m_desk.questions[0].startsWith(QStringLiteral("ハードディスクの使用時間を再調査")));

    // F5 reads every disk again: a changed disk shows its new value.
    const QString machine = m_dir.path(QStringLiteral("machine"));
    ASSERT_TRUE(simfiles::CopyMachine(kSample, machine));
    ASSERT_TRUE(
        simfiles::SetRawLow(machine + QStringLiteral("/0-sata-healthy/smart-data.hex"), 0xC2, 51));
    m_sim.install(machine);
    Key(Qt::Key_F5);
    EXPECT_EQ(window.Panel().ValueText(PanelField::Temperature), QStringLiteral("51℃"));

    Key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(m_desk.questions.size(), 2) << "quitting asks as every way out does";
    EXPECT_TRUE(window.isVisible());
    Key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_FALSE(window.isVisible());
}

// A machine of n copies of the sample's healthy disk, numbered 0 to n - 1.
void WriteMachineOf(const TestDir& dir, int n) {
    ASSERT_TRUE(QFile::copy(kSample + QStringLiteral("/machine.ini"),
                            dir.path(QStringLiteral("machine.ini"))));
    const QString from = kSample + QStringLiteral("/0-sata-healthy");
    QFile source(from + QStringLiteral("/disk.ini"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray base = source.readAll();
    for (int k = 0; k < n; ++k) {
        const QString name = QStringLiteral("%1-disk").arg(k, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(simfiles::CopyMachine(from, dir.path(name)));
        QByteArray disk = base;
        disk.replace("PHYSICALDRIVE0", "PHYSICALDRIVE" + QByteArray::number(k));
        disk.replace("Index=0", "Index=" + QByteArray::number(k));
        ASSERT_TRUE(dir.write(name + QStringLiteral("/disk.ini"), disk));
    }
}

TEST_F(CheckerWindowReachTest, SixtyFourDisksAreAllReachableByKeyboardAndMouse) {
    TestDir machine;
    ASSERT_NO_FATAL_FAILURE(WriteMachineOf(machine, 64));
    m_sim.install(machine.path());
    CCheckerDlg& window = OpenActive();
    // The window as it opens on a 1366 by 768 screen, and narrower.
    ASSERT_LE(window.width(), 1366);
    ASSERT_EQ(window.Monitor().Session().Disks().GetCount(), 64);
    CDiskButtonRow* row = window.DiskRow();
    ASSERT_EQ(row->Count(), 64);
    const QRect logo = window.Logo()->geometry();
    auto inSight = [&](int k) {
        const CDiskButton* button = window.DiskButton(k);
        const QRect onWindow(button->mapTo(&window, QPoint(0, 0)), button->size());
        return row->IsRevealed(k) && window.rect().contains(onWindow) && !onWindow.intersects(logo);
    };
    EXPECT_TRUE(inSight(0));
    EXPECT_FALSE(inSight(63));
    EXPECT_TRUE(row->ForwardButton()->isVisible());

    // By keyboard: every disk comes into sight as the focus reaches it.
    window.DiskButton(0)->setFocus(Qt::TabFocusReason);
    for (int k = 1; k < 64; ++k) {
        Key(Qt::Key_Right);
        ASSERT_EQ(Focused(), window.DiskButton(k));
        ASSERT_TRUE(inSight(k)) << k;
    }
    Key(Qt::Key_Return);
    EXPECT_EQ(window.Monitor().Snapshot().shown, 63);

    // By mouse: the arrows at the row's ends walk back to the first disk
    // and forward to the last.
    int clicks = 0;
    while (!inSight(0) && clicks++ < 64)
        row->BackButton()->click();
    EXPECT_TRUE(inSight(0));
    EXPECT_FALSE(row->BackButton()->isEnabled());
    clicks = 0;
    while (!inSight(63) && clicks++ < 64)
        row->ForwardButton()->click();
    EXPECT_TRUE(inSight(63));
    QTest::mouseClick(window.DiskButton(63), Qt::LeftButton);
    EXPECT_EQ(window.Monitor().Snapshot().shown, 63);

    // A wider window gives the row more room, and fewer need scrolling.
    const int before = row->width();
    window.resize(window.width() + 300, window.height());
    EXPECT_EQ(row->width(), before + 300);
}

TEST_F(CheckerWindowReachTest, PlacedWithItsTitleBarOnTheScreenAtEveryScale) {
    const QMargins frame = AssumedFrame(16);
    const QSize wanted(650, 500);
    // 1366 by 768 at scales 1, 1.5 and 2; and a panel at the top.
    for (const QRect& available : {QRect(0, 0, 1366, 768), QRect(0, 0, 911, 512),
                                   QRect(0, 0, 683, 384), QRect(0, 28, 683, 356)}) {
        SCOPED_TRACE(available.height());
        const QRect placed = PlaceWithin(wanted, frame, available);
        EXPECT_TRUE(available.contains(placed.marginsAdded(frame)));
        EXPECT_EQ(placed.size().boundedTo(wanted), placed.size());
        if (available.height() >= wanted.height() + frame.top() + frame.bottom()) {
            EXPECT_EQ(placed.size(), wanted);
        }
    }

    // The window itself, on this test's screen at whatever scale it runs
    // (the suite also runs at a scale of 2).
    CCheckerDlg& window = Open();
    const QRect available = window.screen()->availableGeometry();
    EXPECT_TRUE(available.contains(
        window.geometry().marginsAdded(AssumedFrame(window.fontMetrics().height()))));
}

TEST_F(CheckerWindowReachTest, PicturesAreDrawnForTheDevicePixelRatio) {
    CCheckerDlg& window = Open();
    const qreal ratio = window.devicePixelRatioF();
    EXPECT_EQ(ratio, qApp->devicePixelRatio());
    // A toolbar picture at a ratio of 2 is the twice-as-large drawing, not
    // the small one enlarged.
    auto* toolBar = static_cast<CExToolBar24*>(window.ToolBar());
    const QPixmap sharp = window.RefreshAction()->icon().pixmap(QSize(32, 32), 2.0);
    EXPECT_EQ(sharp.size(), QSize(64, 64));
    EXPECT_EQ(sharp.toImage(), toolBar->HiDpiImage(QIcon::Normal, 0).toImage());
    const QImage small = toolBar->Image(QIcon::Normal, 0).toImage();
    EXPECT_NE(sharp.toImage(), small.scaled(64, 64).convertToFormat(sharp.toImage().format()));
    // The disk square is painted at the screen's ratio.
    const QPixmap square = window.DiskButton(0)->grab();
    EXPECT_EQ(square.devicePixelRatio(), ratio);
    EXPECT_EQ(square.width(), qRound(window.DiskButton(0)->width() * ratio));
}

// WCAG's contrast ratio of two colours.
double Contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette DarkPalette() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark = fusion->standardPalette();
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 45));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

// Whether any pixel of the area is close to the colour.
bool Shows(const QImage& image, const QRect& area, const QColor& colour) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - colour.red()) + std::abs(p.green() - colour.green()) +
                    std::abs(p.blue() - colour.blue()) <
                60)
                return true;
        }
    }
    return false;
}

TEST_F(CheckerWindowReachTest, EveryPanelTextAndListHeadingIsReadableInADarkPalette) {
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    CCheckerDlg& window = Open();
    window.DiskButton(2)->Press(); // the failing disk, with its red word
    const QImage shot = window.grab().toImage();
    // tools/window-screenshots.sh keeps this picture for the documentation.
    if (const QString dir = qEnvironmentVariable("VORN_SHOT_DIR"); !dir.isEmpty())
        shot.save(dir + QStringLiteral("/drivewatchmini-dark.png"));
    const qreal ratio = shot.devicePixelRatio();
    const auto onShot = [&](const QWidget* w) {
        const QRect r(w->mapTo(&window, QPoint(0, 0)), w->size());
        return QRect(r.topLeft() * ratio, r.size() * ratio);
    };
    const QColor panel = window.Panel().Background()->palette().color(QPalette::Base);
    EXPECT_LT(panel.lightness(), 80) << "the panel turns dark with the palette";
    EXPECT_TRUE(Shows(shot, onShot(window.Panel().Background()).adjusted(1, 1, -1, -1), panel));
    int labels = 0;
    for (int f = 0; f < kPanelFieldCount; ++f) {
        const auto field = static_cast<PanelField>(f);
        for (QWidget* w :
             {static_cast<QWidget*>(window.Panel().Caption(field)), window.Panel().Value(field)}) {
            auto* label = qobject_cast<QLabel*>(w);
            if (!label || label->text().isEmpty() || label->text() == QStringLiteral("-"))
                continue;
            SCOPED_TRACE(label->text().toStdString());
            const QColor text = label->palette().color(label->foregroundRole());
            EXPECT_GE(Contrast(text, panel), 4.5);
            EXPECT_TRUE(Shows(shot, onShot(label), text)) << "painted as its palette says";
            ++labels;
        }
    }
    EXPECT_GE(labels, 24);
    // The disk squares keep their own colours on the dark toolbar.
    EXPECT_TRUE(
        Shows(shot, onShot(window.DiskButton(2)), vorn::BadgeColour(vorn::DiskState::Failing)));

    QHeaderView* header = window.List()->horizontalHeader();
    const QImage heading = header->grab().toImage();
    const QColor face = header->palette().color(QPalette::Button);
    const QColor words = header->palette().color(QPalette::ButtonText);
    EXPECT_GE(Contrast(words, face), 4.5);
    EXPECT_TRUE(Shows(heading, heading.rect(), words));
    EXPECT_LT(QColor(heading.pixel(2, heading.height() / 2)).lightness(), 100);
    // And the same window in English, for the documentation only.
    if (const QString dir = qEnvironmentVariable("VORN_SHOT_DIR"); !dir.isEmpty()) {
        m_window.reset();
        const CTextCatalogue english(InterfaceLanguage::English);
        CCheckerDlg& inEnglish = Open();
        inEnglish.DiskButton(2)->Press();
        inEnglish.grab().save(dir + QStringLiteral("/drivewatchmini-dark-en.png"));
        m_window.reset();
    }
    m_window.reset();
    QApplication::setPalette(saved);
}

TEST_F(CheckerWindowReachTest, ScreenReadersHearModelTemperatureStateAndEveryControlsName) {
    CCheckerDlg& window = Open();
    const auto name = [](QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Name) : QString();
    };
    EXPECT_EQ(name(window.DiskButton(0)), QStringLiteral("ST2000DM008-2FR102 34℃ 正常\nC: D: "));
    EXPECT_EQ(name(window.DiskButton(2)),
              QStringLiteral("WDC WD10EZEX-08WN4A0 39℃ 異常\nF: /srv/backup \n"
                             "しきい値以下の属性: 05 再配置セクタ数"));
    EXPECT_EQ(name(window.DiskButton(3)), QStringLiteral("HDS722580VLAT20 温度不明 不明\nG: "));
    QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(window.DiskButton(0));
    EXPECT_TRUE(shown->state().checked);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(window.DiskButton(1))->state().checked);

    // Whatever takes the focus or shows a picture has a name.
    QStringList unnamed;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(w);
        const bool picture = label && !label->pixmap().isNull();
        if (!w->isVisibleTo(&window))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus || picture || qobject_cast<QAbstractButton*>(w)) &&
            name(w).isEmpty())
            unnamed << QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') +
                           w->objectName();
    }
    EXPECT_EQ(unnamed, QStringList());
}

TEST_F(CheckerWindowReachTest, SavingSaysWhereOrWhichFileFailedAndWhyOnce) {
    CCheckerDlg& window = Open();
    TestDir reports;
    m_desk.folder = reports.path();
    window.SaveAction()->trigger();
    ASSERT_EQ(m_desk.messages.size(), 1);
    EXPECT_TRUE(m_desk.messages[0].contains(reports.path()));
    // Reports are text: no NUL or other control byte from an identity
    // string, so tools never take them for binary files.
    int files = 0;
    for (QDirIterator it(reports.path(), QDir::Files); it.hasNext(); ++files) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (int i = 0; i < bytes.size(); ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            ASSERT_TRUE((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n' || c == '\t')
                << file.fileName().toStdString() << " byte " << i << " is " << int(c);
        }
    }
    EXPECT_EQ(files, 18);

    // A folder that is no folder: every file fails, each named once with
    // its reason, in one message.
    m_desk.folder = reports.path(QStringLiteral("Maxtor 6Y080L0_1.smt_thr.txt"));
    m_desk.messages.clear();
    window.SaveAction()->trigger();
    ASSERT_EQ(m_desk.messages.size(), 1);
    const QString said = m_desk.messages[0];
    EXPECT_TRUE(said.startsWith(QStringLiteral("ディスク情報を保存できませんでした。")));
    EXPECT_EQ(said.count(m_desk.folder + QStringLiteral("/ST2000DM008-2FR102_0.hdd_inf.txt: ")), 1);
    EXPECT_TRUE(said.contains(QStringLiteral("ほか 10 件"))) << said.toStdString();

    // A missing template is one cause, said once for all disks.
    m_window.reset();
    TestDir bare;
    CCheckerDlg& noTemplates = Open(bare.path());
    m_desk.folder = reports.path();
    m_desk.messages.clear();
    noTemplates.SaveAction()->trigger();
    ASSERT_EQ(m_desk.messages.size(), 1);
    EXPECT_EQ(m_desk.messages[0].count(QStringLiteral("HddInfo.temp")), 1)
        << m_desk.messages[0].toStdString();
}

TEST_F(CheckerWindowReachTest, EmptyPlacesSayWhyAndCutTextsEndInAnEllipsisWithATip) {
    CCheckerDlg& window = Open();
    // A disk with S.M.A.R.T. off has no rows, and the list says why.
    window.DiskButton(3)->Press();
    EXPECT_EQ(window.List()->Model()->rowCount(), 0);
    EXPECT_EQ(window.List()->EmptyText(),
              QStringLiteral("S.M.A.R.T. が無効のため、属性はありません"));
    EXPECT_EQ(window.List()->accessibleDescription(), window.List()->EmptyText());
    window.DiskButton(0)->Press();
    EXPECT_TRUE(window.List()->accessibleDescription().isEmpty());
    EXPECT_FALSE(window.Panel().Message()->isVisible());

    // The raw value's column takes the room a wider window gives.
    QHeaderView* header = window.List()->horizontalHeader();
    const int raw = header->sectionSize(kColumnRaw);
    const int id = header->sectionSize(kColumnId);
    window.resize(window.width() + 200, window.height());
    EXPECT_EQ(header->sectionSize(kColumnRaw), raw + 200);
    EXPECT_EQ(header->sectionSize(kColumnId), id);

    // A value too long for its slot.
    auto* model = qobject_cast<CElidingLabel*>(window.Panel().Value(PanelField::Model));
    ASSERT_TRUE(model);
    const QString longName = QStringLiteral("A VERY LONG MODEL NAME OF FORTY CHARACTERS");
    model->setText(longName);
    EXPECT_TRUE(model->IsCut());
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), model->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(model, &help);
    EXPECT_EQ(QToolTip::text(), longName);
    QToolTip::hideText();

    // The manual is there but nothing opens it.
    m_desk.viewer = false;
    window.OpenManual();
    ASSERT_EQ(m_desk.messages.size(), 1);
    EXPECT_TRUE(m_desk.messages[0].startsWith(
        QStringLiteral("ヘルプファイルを開くプログラムがありません")));

    // No disk at all: the panel says so instead of a row of dashes.
    m_window.reset();
    TestDir empty;
    ASSERT_TRUE(QFile::copy(kSample + QStringLiteral("/machine.ini"),
                            empty.path(QStringLiteral("machine.ini"))));
    m_sim.install(empty.path());
    CCheckerDlg& none = Open();
    EXPECT_TRUE(none.Panel().Message()->isVisible());
    EXPECT_EQ(none.Panel().Message()->text(), QStringLiteral("ディスクが見つかりませんでした"));
}

} // namespace
