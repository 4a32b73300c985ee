#include "StripWindow.h"
#include "HeatgaugeMenu.h"
#include "Smoothly.h"
#include "StripPainter.h"

#include "../../support/PassFakes.h"
#include "../../support/ScopedSimMachine.h"
#include "../../support/SimMachineFiles.h"
#include "../../support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
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

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
