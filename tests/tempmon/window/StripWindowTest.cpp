#include "StripWindow.h"
#include "HeatgaugeMenu.h"
#include "Smoothly.h"
#include "StripPainter.h"
#include "Translation.h"

#include "../../support/PassFakes.h"
#include "../../support/ScopedSimMachine.h"
#include "../../support/SimMachineFiles.h"
#include "../../support/TempDir.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QRegularExpression>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorn::diskpass;

namespace {

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

TEST(StripPicture, BallsFramesAndGapsForUnknownCoolHotAndOverHotDisks) {
    const ColourScale scale{40, 0, 60};
    const std::vector<DiskReading> readings = {{-1, {}, {}, false, {}},
                                               {0, {}, {}, false, {}},
                                               {60, {}, {}, false, {}},
                                               {95, {}, {}, false, {}}};
    const QImage picture = PaintStrip(readings, scale);
    ASSERT_EQ(picture.size(), QSize(107, 24));
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(At(picture, 27 * i, 0), QColor(128, 128, 128));
        EXPECT_EQ(At(picture, 27 * i + 25, 23), QColor(128, 128, 128));
        if (i < 3) {
            EXPECT_EQ(At(picture, 27 * i + 26, 12), QColor(Qt::white));
        }
    }
    // The ball's rim beside the figures, half way down.
    const QColor unknown = At(picture, 1, 12);
    const QColor cool = At(picture, 27 + 1, 12);
    const QColor hot = At(picture, 54 + 1, 12);
    EXPECT_TRUE(unknown.red() == unknown.green() && unknown.green() == unknown.blue());
    EXPECT_GT(unknown.red(), 80);
    EXPECT_GT(cool.blue() - cool.red(), 80);
    EXPECT_EQ(cool.red(), cool.green());
    EXPECT_GT(hot.red() - hot.blue(), 80);
    EXPECT_EQ(hot.green(), hot.blue());
    EXPECT_EQ(At(picture, 81 + 1, 12), hot);
    // The rim is darker than the ball further in.
    EXPECT_LT(At(picture, 54 + 13, 1).red() + At(picture, 54 + 13, 1).green(),
              At(picture, 54 + 13, 3).red() + At(picture, 54 + 13, 3).green());
}

TEST(TrayIconPicture, TheTemperatureInWhiteOnItsColourInAGreyFrame) {
    const ColourScale scale{40, 0, 60};
    const struct {
        int temperature;
        QColor fill;
    } cases[] = {{-1, QColor(128, 128, 128)},
                 {0, QColor(40, 40, 255)},
                 {60, QColor(255, 40, 40)},
                 {95, QColor(255, 40, 40)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.temperature);
        const QImage icon = PaintTrayIcon(c.temperature, scale);
        ASSERT_EQ(icon.size(), QSize(16, 16));
        EXPECT_EQ(At(icon, 0, 0), QColor(98, 98, 98));
        EXPECT_EQ(At(icon, 15, 15), QColor(98, 98, 98));
        EXPECT_EQ(At(icon, 1, 1), c.fill);
        int white = 0;
        for (int y = 1; y < 15; ++y) {
            for (int x = 1; x < 15; ++x)
                white += std::min({icon.pixelColor(x, y).red(), icon.pixelColor(x, y).green(),
                                   icon.pixelColor(x, y).blue()}) >= 200;
        }
        EXPECT_GT(white, 2);
    }
}

// Where there is no temperature the cell is one flat neutral grey with a
// black "-", not a ball of some colour.
TEST(StripPicture, NoTemperatureGivesAFlatNeutralBoxWithADash) {
    const QImage picture = PaintStrip({{-1, {}, {}, false, {}}}, ColourScale{40, 0, 60});
    const QColor box = At(picture, 3, 3);
    EXPECT_TRUE(box.red() == box.green() && box.green() == box.blue());
    EXPECT_EQ(At(picture, 22, 20), box);
    EXPECT_EQ(At(picture, 5, 12), box);
    int dark = 0;
    for (int y = 6; y < 18; ++y) {
        for (int x = 6; x < 20; ++x)
            dark += At(picture, x, y).lightness() < box.lightness() - 60;
    }
    EXPECT_GT(dark, 2) << "the dash";
}

// At scale 2 the strip and the icons carry twice the pixels, drawn so and
// not a picture of scale 1 enlarged: that would leave every 2 x 2 block one
// colour.
TEST(StripPicture, AtScaleTwoEveryPictureHasItsOwnDevicePixels) {
    const ColourScale scale{40, 0, 60};
    const QImage strip = PaintStrip({{34, {}, {}, false, {}}, {60, {}, {}, false, {}}}, scale, 2.0);
    ASSERT_EQ(strip.size(), QSize(106, 48));
    EXPECT_EQ(strip.devicePixelRatio(), 2.0);
    EXPECT_EQ(At(strip, 0, 0), QColor(128, 128, 128));
    EXPECT_EQ(At(strip, 1, 1), QColor(128, 128, 128));
    EXPECT_NE(At(strip, 2, 24), QColor(128, 128, 128)) << "the frame is one window pixel";
    EXPECT_EQ(At(strip, 52, 24), QColor(Qt::white));
    EXPECT_EQ(At(strip, 53, 24), QColor(Qt::white));
    int mixedBlocks = 0;
    for (int y = 4; y < 44; y += 2) {
        for (int x = 4; x < 48; x += 2) {
            const QRgb c = strip.pixel(x, y);
            mixedBlocks += strip.pixel(x + 1, y) != c || strip.pixel(x, y + 1) != c ||
                           strip.pixel(x + 1, y + 1) != c;
        }
    }
    EXPECT_GT(mixedBlocks, 40);

    const QImage icon = PaintTrayIcon(60, scale, vorn::DiskState::Good, 2.0);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(At(icon, 0, 0), QColor(98, 98, 98));
    EXPECT_EQ(At(icon, 31, 31), QColor(98, 98, 98));
    EXPECT_EQ(At(icon, 2, 2), QColor(255, 40, 40));
    const QIcon both = TrayIcon(60, scale, vorn::DiskState::Good);
    EXPECT_EQ(both.availableSizes().size(), 2);
}

class StripWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_sim.install(QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine"));
        CmSmoothlyDriver driver;
        driver.osKind = [] { return 9; };
        driver.composited = [](QWidget*) { return true; };
        driver.setAlpha = [this](QWidget*, int alpha) { m_alphas.push_back(alpha); };
        driver.delay = [](int) {};
        Cm_SetSmoothlyDriver(driver);
    }
    void TearDown() override { Cm_SetSmoothlyDriver({}); }

    void Start(const QByteArray& ini = QByteArray()) {
        if (!ini.isEmpty())
            m_dir.write(QStringLiteral("HeatgaugeMini.ini"), ini);
        m_monitor.Scan(PassOptions(), [](int) {});
        m_window = std::make_unique<CStripWindow>(&m_monitor);
        m_monitor.Start(m_window.get(), m_window->WorkArea());
    }

    QAction* Item(const QString& text) {
        QMenu* menu = m_window->Menu();
        for (QAction* action : menu->actions()) {
            if (action->text() == text)
                return action;
            if (action->menu()) {
                for (QAction* level : action->menu()->actions()) {
                    if (level->text() == text)
                        return level;
                }
            }
        }
        return nullptr;
    }

    QByteArray Ini() const { return m_dir.read(QStringLiteral("HeatgaugeMini.ini")); }

    ScopedSimMachine m_sim;
    TestDir m_dir;
    FakeTimer m_timer;
    CInlinePassRunner m_runner;
    CHeatgaugeMonitor m_monitor{
        {m_dir.path(QStringLiteral("HeatgaugeMini.ini")), &m_timer, &m_runner}};
    std::unique_ptr<CStripWindow> m_window;
    std::vector<int> m_alphas;
};

TEST_F(StripWindowTest, TheSampleMachineGivesSixCellsAndSixTrayIcons) {
    Start();
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(m_window->size(), QSize(161, 24));
    EXPECT_EQ(m_window->Picture().size(), QSize(161, 24));
    EXPECT_TRUE(m_window->windowFlags() & Qt::Tool);
    EXPECT_TRUE(m_window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(m_alphas.back(), 255);
    ASSERT_EQ(m_window->Tray().Count(), 6);
    EXPECT_EQ(m_window->Tray().At(1)->toolTip(), QStringLiteral("Maxtor 6Y080L0\nE: \n43 ℃"));

    // A refresh that changes no temperature paints no tray icon again.
    const qint64 before = m_window->Tray().At(0)->icon().cacheKey();
    m_timer.Tick();
    EXPECT_EQ(m_window->Tray().At(0)->icon().cacheKey(), before);
}

TEST_F(StripWindowTest, ASleepingDiskSaysSoInItsCellTipAndTrayTip) {
    const QString machine = m_dir.path(QStringLiteral("machine"));
    ASSERT_TRUE(
        simfiles::CopyMachine(QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine"), machine));
    QFile ini(machine + QStringLiteral("/1-pata-old/disk.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("PowerMode=standby\n");
    ini.close();
    m_sim.install(machine);
    Start();
    m_timer.Tick();
    const QString asleep = QStringLiteral("Maxtor 6Y080L0\nE: \n-- ℃ スタンバイ中");
    EXPECT_EQ(m_window->Tray().At(1)->toolTip(), asleep);

    const WinRect cell = strip::Cell(1);
    const QPoint inside((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    QHelpEvent help(QEvent::ToolTip, inside, m_window->mapToGlobal(inside));
    QApplication::sendEvent(m_window.get(), &help);
    EXPECT_EQ(QToolTip::text(), asleep);
    QToolTip::hideText();
}

TEST_F(StripWindowTest, WithoutDisksOneProgramIconAndAOneCellStrip) {
    TestDir empty;
    m_sim.install(empty.path());
    Start();
    EXPECT_EQ(m_window->size(), QSize(26, 24));
    ASSERT_EQ(m_window->Tray().Count(), 1);
    EXPECT_EQ(m_window->Tray().At(0)->toolTip(), QStringLiteral("HeatgaugeMini"));
}

TEST_F(StripWindowTest, TheMenuIsMarkedFromTheSettingsAndItsItemsAct) {
    Start("[SysEnv]\r\nWndAlpha=50\r\nWndTop=0\r\n");
    EXPECT_EQ(m_alphas.back(), 127);
    EXPECT_FALSE(m_window->windowFlags() & Qt::WindowStaysOnTopHint);
    for (int j = 0; j < 5; ++j)
        EXPECT_EQ(Item(QStringLiteral("%1 %").arg(20 * j))->isChecked(), j == 2) << j;
    EXPECT_TRUE(Item(QStringLiteral("ウィンドウ表示"))->isChecked());
    EXPECT_FALSE(Item(QStringLiteral("最前面に表示"))->isChecked());
    EXPECT_TRUE(Item(QStringLiteral("マウス入力"))->isChecked());

    Item(QStringLiteral("最前面に表示"))->trigger();
    EXPECT_TRUE(m_window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Ini().contains("WndTop=1\r\n"));
    Item(QStringLiteral("マウス入力"))->trigger();
    EXPECT_TRUE(m_window->windowFlags() & Qt::WindowTransparentForInput);
    Item(QStringLiteral("ウィンドウ表示"))->trigger();
    EXPECT_EQ(m_alphas.back(), 0);
    EXPECT_FALSE(m_window->isVisible());

    Item(QStringLiteral("Heatgauge Vuda の終了(&X)"))->trigger();
    EXPECT_EQ(m_window->Tray().Count(), 0);
    for (const char* line : {"WndAlpha=50\r\n", "WndShow=0\r\n", "WndTop=1\r\n", "WndMouse=0\r\n"})
        EXPECT_TRUE(Ini().contains(line)) << line;
}

// The strip takes the focus from a click on its tray icon; then the arrow
// keys walk its cells with a visible frame, and the menu key or Shift+F10
// opens the menu under the focused cell.
TEST_F(StripWindowTest, TheKeyboardWalksTheCellsAndOpensTheMenu) {
    Start();
    EXPECT_EQ(m_window->focusPolicy(), Qt::StrongFocus);
    m_monitor.TrayClicked();
    QApplication::setActiveWindow(m_window.get());
    ASSERT_TRUE(m_window->hasFocus());
    const auto press = [this](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(m_window.get(), &event);
    };
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    press(Qt::Key_Left);
    EXPECT_EQ(m_window->FocusCell(), 1);
    press(Qt::Key_End);
    press(Qt::Key_Right);
    EXPECT_EQ(m_window->FocusCell(), 5);

    // The focus frame: the dashes at the focused cell, none at the others.
    const auto dashes = [](const QImage& image, int cell) {
        int black = 0;
        for (int x = 27 * cell + 3; x < 27 * cell + 23; ++x)
            black += image.pixelColor(x, 2) == QColor(Qt::black);
        return black;
    };
    press(Qt::Key_Home);
    const QImage focused = m_window->grab().toImage();
    EXPECT_GT(dashes(focused, 0), 4);
    EXPECT_EQ(dashes(focused, 1), 0);

    for (const auto& [key, modifiers] : {std::pair{int(Qt::Key_Menu), Qt::NoModifier},
                                         std::pair{int(Qt::Key_F10), Qt::ShiftModifier}}) {
        SCOPED_TRACE(key);
        press(key, modifiers);
        ASSERT_TRUE(m_window->Menu()->isVisible());
        m_window->Menu()->hide();
    }
    press(Qt::Key_F10);
    EXPECT_FALSE(m_window->Menu()->isVisible()) << "F10 alone is not the menu key";
}

// A screen reader sees the strip as a list of its cells, each named by its
// disk and telling its temperature and state in words.
TEST_F(StripWindowTest, AScreenReaderReadsEveryCellsDiskTemperatureAndState) {
    Start();
    QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(m_window.get());
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->role(), QAccessible::List);
    ASSERT_EQ(strip->childCount(), 6);
    QAccessibleInterface* maxtor = strip->child(1);
    ASSERT_TRUE(maxtor);
    EXPECT_EQ(maxtor->role(), QAccessible::ListItem);
    EXPECT_EQ(maxtor->text(QAccessible::Name), QStringLiteral("Maxtor 6Y080L0 E:"));
    EXPECT_EQ(maxtor->text(QAccessible::Description), QStringLiteral("43 ℃ 正常"));
    EXPECT_EQ(strip->indexOfChild(maxtor), 1);
    EXPECT_TRUE(strip->child(2)->text(QAccessible::Description).endsWith(QStringLiteral("✖ 異常")));
    EXPECT_EQ(strip->child(3)->text(QAccessible::Description), QStringLiteral("-- ℃ ? 不明"));
    const QRect cell = strip->child(4)->rect();
    EXPECT_EQ(cell.size(), QSize(26, 24));
    EXPECT_EQ(strip->childAt(cell.center().x(), cell.center().y()), strip->child(4));
}

// The menu's choice of one tray icon for all disks: the hottest disk's
// temperature, a tip with every disk, kept in the settings file.
TEST_F(StripWindowTest, OneTrayIconForAllDisksIsAMenuChoiceKeptInTheFile) {
    Start("[SysEnv]\r\nWndAlpha=80\r\n");
    ASSERT_EQ(m_window->Tray().Count(), 6);
    QAction* one = Item(QStringLiteral("トレイアイコンを1つにまとめる"));
    ASSERT_TRUE(one);
    EXPECT_FALSE(one->isChecked());
    one->trigger();
    ASSERT_EQ(m_window->Tray().Count(), 1);
    const QStringList lines = m_window->Tray().At(0)->toolTip().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[1], QStringLiteral("43 ℃ 正常 Maxtor 6Y080L0 E:"));
    EXPECT_TRUE(Ini().contains("OneTrayIcon=1\r\n"));
    EXPECT_TRUE(Item(QStringLiteral("トレイアイコンを1つにまとめる"))->isChecked());
    m_timer.Tick();
    EXPECT_EQ(m_window->Tray().Count(), 1);

    Item(QStringLiteral("トレイアイコンを1つにまとめる"))->trigger();
    EXPECT_EQ(m_window->Tray().Count(), 6);
    EXPECT_TRUE(Ini().contains("OneTrayIcon=0\r\n"));
}

// 64 disks on the offscreen screen (800 pixels wide): the strip wraps into
// rows inside the work area, and every cell is painted, reachable by the
// keyboard and read by a screen reader.
TEST_F(StripWindowTest, SixtyFourDisksAllFitOnTheScreenInRows) {
    const QString machine = m_dir.path(QStringLiteral("machine"));
    const QString healthy = QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine/0-sata-healthy");
    for (int n = 0; n < 64; ++n) {
        const QString disk = machine + QStringLiteral("/%1-disk").arg(n, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(simfiles::CopyMachine(healthy, disk));
        QFile ini(disk + QStringLiteral("/disk.ini"));
        ASSERT_TRUE(ini.open(QIODevice::ReadWrite));
        QByteArray text = ini.readAll();
        text.replace("PHYSICALDRIVE0", "PHYSICALDRIVE" + QByteArray::number(n));
        text.replace("\nIndex=0\n", "\nIndex=" + QByteArray::number(n) + "\n");
        text.replace("\nSCSITargetId=0\n", "\nSCSITargetId=" + QByteArray::number(n) + "\n");
        ini.resize(0);
        ini.write(text);
    }
    ASSERT_TRUE(QFile::copy(QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine/machine.ini"),
                            machine + QStringLiteral("/machine.ini")));
    m_sim.install(machine);
    Start();
    ASSERT_EQ(m_window->CellCount(), 64);
    const WinRect area = m_window->WorkArea();
    const QRect strip = m_window->geometry();
    EXPECT_TRUE(QRect(area.left, area.top, area.Width(), area.Height()).contains(strip))
        << strip.x() << "," << strip.y() << " " << strip.width() << "x" << strip.height();
    EXPECT_GT(strip.height(), 24);
    EXPECT_EQ(m_window->Picture().size(), strip.size());
    for (int i = 0; i < 64; ++i)
        EXPECT_TRUE(m_window->rect().contains(m_window->CellRect(i))) << i;
    const QRect last = m_window->CellRect(63);
    EXPECT_NE(m_window->Picture().pixelColor(last.center()), QColor(Qt::white));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(m_window.get())->childCount(), 64);

    m_monitor.TrayClicked();
    QApplication::setActiveWindow(m_window.get());
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &end);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &up);
    EXPECT_EQ(m_window->FocusCell(), 63 - m_monitor.Columns());
}

// The strip's menu in a dark palette keeps its text readable (the strip
// paints its own colours on its own white). With VORN_STRIP_IMAGES naming a
// folder, the strip at scale 2 and the dark menu are kept there (how
// docs/images is made).
TEST_F(StripWindowTest, TheMenuReadsInADarkPaletteAndTheStripIsSharpAtScaleTwo) {
    Start();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(50, 50, 50));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    QMenu* menu = m_window->Menu();
    menu->setPalette(dark);
    menu->ensurePolished();
    const QImage shown = menu->grab().toImage();
    int light = 0;
    int darkPixels = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const int l = shown.pixelColor(x, y).lightness();
            light += l > 170;
            darkPixels += l < 70;
        }
    }
    EXPECT_GT(darkPixels, shown.width() * shown.height() / 2) << "a dark menu";
    EXPECT_GT(light, 50) << "with light text on it";

    const QImage sharp = PaintStrip(m_window->Readings(), m_monitor.Settings().Scale(), 2.0);
    EXPECT_EQ(sharp.size(), m_window->size() * 2);
    const QString folder = qEnvironmentVariable("VORN_STRIP_IMAGES");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(sharp.save(folder + QStringLiteral("/heatgauge-strip-scale2.png")));
        EXPECT_TRUE(shown.save(folder + QStringLiteral("/heatgauge-menu-dark.png")));
    }
}

// The strip's texts as the user meets them, in each language: every
// caption fits where it is shown, and in English nothing Japanese is left
// but what a drive itself says.
class StripTextsTest : public StripWindowTest,
                       public ::testing::WithParamInterface<InterfaceLanguage> {
protected:
    struct Shown {
        QString where;
        QString text;
    };

    static void AddMenu(const QMenu* menu, QList<Shown>* out) {
        out->append({QStringLiteral("menu"), menu->title()});
        for (const QAction* action : menu->actions()) {
            out->append({QStringLiteral("menu item"), action->text()});
            out->append({QStringLiteral("menu item tip"), action->toolTip()});
            if (action->menu())
                AddMenu(action->menu(), out);
        }
    }

    static void AddWidget(const QWidget* window, QList<Shown>* out) {
        out->append({QStringLiteral("window title"), window->windowTitle()});
        QList<const QWidget*> widgets{window};
        for (const QWidget* child : window->findChildren<QWidget*>())
            widgets.append(child);
        for (const QWidget* w : widgets) {
            out->append({QStringLiteral("tip"), w->toolTip()});
            out->append({QStringLiteral("accessible name"), w->accessibleName()});
            if (const auto* label = qobject_cast<const QLabel*>(w))
                out->append({QStringLiteral("label"), label->text()});
            if (const auto* button = qobject_cast<const QAbstractButton*>(w))
                out->append({QStringLiteral("button"), button->text()});
        }
    }

    // A caption wider than the room its widget gives it is cut off.
    static QStringList Clipped(const QWidget* window) {
        QStringList clipped;
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            if (!label->text().isEmpty() && !label->wordWrap() &&
                label->fontMetrics().horizontalAdvance(label->text()) >
                    label->contentsRect().width())
                clipped << label->text();
        }
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (button->width() < button->sizeHint().width())
                clipped << button->text();
        }
        return clipped;
    }

    // An item is cut off when its caption is wider than the item, or the
    // item wider than the menu as it opens.
    static QStringList ClippedItems(QMenu* menu) {
        QStringList clipped;
        menu->adjustSize();
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            const QString caption = QString(action->text()).remove(QLatin1Char('&'));
            const QRect item = menu->actionGeometry(action);
            if (menu->fontMetrics().horizontalAdvance(caption) >= item.width() ||
                item.right() >= menu->width())
                clipped << caption;
            if (action->menu())
                clipped << ClippedItems(action->menu());
        }
        return clipped;
    }
};

TEST_P(StripTextsTest, CaptionsFitAndEnglishLeavesNoJapanese) {
    const CTextCatalogue language(GetParam());
    Start();
    m_window->SetHistoryWorker([](std::function<void()> work, std::function<void()> done) {
        work();
        done();
    });
    QList<Shown> shown;
    QMenu* menu = m_window->Menu();
    AddMenu(menu, &shown);
    EXPECT_EQ(ClippedItems(menu).join(QStringLiteral(", ")).toStdString(), "");
    // The picture of the English menu for docs/images.
    const QString folder = qEnvironmentVariable("VORN_STRIP_IMAGES");
    if (!folder.isEmpty() && GetParam() == InterfaceLanguage::English) {
        EXPECT_TRUE(menu->grab().save(folder + QStringLiteral("/heatgauge-menu-en.png")));
    }

    const std::unique_ptr<QDialog> about = MakeHeatgaugeAbout(m_window.get());
    about->show();
    AddWidget(about.get(), &shown);
    EXPECT_EQ(Clipped(about.get()).join(QStringLiteral(", ")).toStdString(), "");
    about->hide();

    m_monitor.Command(heatgauge::kCmdHistory);
    ASSERT_TRUE(m_window->History());
    AddWidget(m_window->History(), &shown);
    m_window->History()->hide();

    AddWidget(m_window.get(), &shown);
    QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(m_window.get());
    shown.append({QStringLiteral("accessible name"), strip->text(QAccessible::Name)});
    for (int i = 0; i < m_window->CellCount(); ++i) {
        const WinRect c = strip::Cell(i);
        const QPoint inside((c.left + c.right) / 2, (c.top + c.bottom) / 2);
        QHelpEvent help(QEvent::ToolTip, inside, m_window->mapToGlobal(inside));
        QApplication::sendEvent(m_window.get(), &help);
        shown.append({QStringLiteral("cell tip"), QToolTip::text()});
        for (const QAccessible::Text t : {QAccessible::Name, QAccessible::Description})
            shown.append({QStringLiteral("accessible cell"), strip->child(i)->text(t)});
    }
    QToolTip::hideText();
    for (int i = 0; i < m_window->Tray().Count(); ++i)
        shown.append({QStringLiteral("tray tip"), m_window->Tray().At(i)->toolTip()});
    m_monitor.Command(heatgauge::kCmdOneTrayIcon);
    shown.append({QStringLiteral("single tray tip"), m_window->Tray().At(0)->toolTip()});

    if (GetParam() != InterfaceLanguage::English)
        return;
    // The drive's own words: its model and the volumes on it.
    QStringList theirs;
    for (const DiskReading& reading : m_window->Readings())
        theirs << reading.model << reading.driveLetters;
    const QRegularExpression japanese(QStringLiteral("[\u3000-\u30ff\u3400-\u9fff\uff00-\uffef]"));
    for (const Shown& each : shown) {
        QString text = each.text;
        for (const QString& words : theirs) {
            if (!words.isEmpty())
                text.remove(words);
        }
        EXPECT_FALSE(text.contains(japanese))
            << each.where.toStdString() << ": " << each.text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, StripTextsTest,
                         ::testing::Values(InterfaceLanguage::Japanese, InterfaceLanguage::English),
                         [](const ::testing::TestParamInfo<InterfaceLanguage>& param) {
                             return param.param == InterfaceLanguage::English ? "English"
                                                                              : "Japanese";
                         });

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
