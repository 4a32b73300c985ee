#include "AttributeBar.h"
#include "AttributeList.h"
#include "CDiskButton.h"
#include "DiskStateLook.h"
#include "SingleInstance.h"
#include "ThreadedPassRunner.h"

#include "../../support/TempDir.h"

#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QProcess>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace vorn::diskpass;
using namespace vorn::checker;

namespace {

// --- The disk pass runner -------------------------------------------------

TEST(PassRunnerTest, TheWindowKeepsServingEventsWhileADiskHangs) {
    CThreadedPassRunner worker;
    QSemaphore diskAnswers;
    bool done = false;
    ASSERT_TRUE(worker.Run([&] { diskAnswers.acquire(); }, [&] { done = true; }));
    EXPECT_TRUE(worker.IsBusy());
    EXPECT_FALSE(worker.Run([] {}, [] {})) << "one job at a time";

    // Events are still delivered while the job hangs on the disk; the disk
    // answers from inside one of them.
    int served = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (++served == 3)
            diskAnswers.release();
    });
    tick.start(0);
    QSignalSpy idle(&worker, &CThreadedPassRunner::passEnded);
    ASSERT_TRUE(idle.wait(10000));
    EXPECT_GE(served, 3);
    EXPECT_TRUE(done);
    EXPECT_FALSE(worker.IsBusy());
}

TEST(PassRunnerTest, WaitingForTheJobDropsItsCallback) {
    CThreadedPassRunner worker;
    QSemaphore started;
    bool jobFinished = false;
    bool done = false;
    worker.Run(
        [&] {
            started.release();
            jobFinished = true;
        },
        [&] { done = true; });
    started.acquire();
    worker.Abandon();
    EXPECT_TRUE(jobFinished);
    EXPECT_FALSE(worker.IsBusy());
    // A new job is not ended by the old one's late completion.
    QSemaphore hold;
    ASSERT_TRUE(worker.Run([&] { hold.acquire(); }, [] {}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(worker.IsBusy());
    EXPECT_FALSE(done);
    hold.release();
    worker.Abandon();
}

// The strip's end waits for the last reading and still wants it; an end
// that starts the next pass finds the runner free.
TEST(PassRunnerTest, WaitingRunsTheEndHereAndAnEndMayStartTheNextPass) {
    CThreadedPassRunner runner;
    QSemaphore diskAnswers;
    int ends = 0;
    bool chained = false;
    ASSERT_TRUE(runner.Run([&] { diskAnswers.acquire(); },
                           [&] {
                               ++ends;
                               chained = runner.Run([] {}, [&] { ++ends; });
                           }));
    diskAnswers.release();
    runner.Wait();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(chained);
    EXPECT_TRUE(runner.IsBusy());
    runner.Wait();
    EXPECT_EQ(ends, 2);
    EXPECT_FALSE(runner.IsBusy());
    // Both passes' own ends are still queued; neither counts again.
    QCoreApplication::processEvents();
    EXPECT_EQ(ends, 2);
}

// --- One copy per user -----------------------------------------------------

TEST(SingleInstanceTest, ASecondCopyAsksTheFirstAndEndsWithoutTouchingADisk) {
    TestDir runtime;
    CSingleInstance first(QStringLiteral("DrivewatchMini"), runtime.path());
    ASSERT_TRUE(first.TryBecomeFirst());
    QSignalSpy shown(&first, &CSingleInstance::showRequested);

    TestDir work;
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VORN_SIM"), QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine"));
    env.insert(QStringLiteral("VORN_SIM_TRACE"), work.path(QStringLiteral("trace.txt")));
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(work.path());
    second.start(QStringLiteral(DRIVEWATCH_MINI), {QStringLiteral("-Vuda")});
    ASSERT_TRUE(second.waitForStarted());
    ASSERT_TRUE(shown.wait(15000)) << "the first copy was asked to show its window";
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QDir(work.path()).entryList(QDir::Files).isEmpty())
        << "no disk request traced, no baseline, no log";
    EXPECT_EQ(QDir(runtime.path()).entryList(QDir::Files).size(), 1) << "only the first lock";
}

TEST(SingleInstanceTest, ALockLeftByACrashedCopyIsTakenOver) {
    TestDir runtime;
    const QString name = CSingleInstance::InstanceName(QStringLiteral("DrivewatchMini"));
    // A lock whose process no longer runs.
    ASSERT_TRUE(
        runtime.write(name + QStringLiteral(".lock"),
                      "999999\nDrivewatchMini\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
    CSingleInstance copy(QStringLiteral("DrivewatchMini"), runtime.path());
    EXPECT_TRUE(copy.TryBecomeFirst());
    EXPECT_FALSE(
        CSingleInstance(QStringLiteral("DrivewatchMini"), runtime.path()).TryBecomeFirst());
}

// --- The attribute list's cells --------------------------------------------

QRgb PixelAt(const QImage& image, QPoint point) {
    return image.pixel(point) & 0xFFFFFF;
}

TEST(AttributeListTest, RowsPaintTheirBarInTheImportanceColour) {
    CAttributeListView view;
    view.resize(800, 120);
    AttributeRow important;
    important.cells = {"05", "再配置セクタ数", "100", "90", "50", "90", "20.0 %", "0 0"};
    important.importance = 2;
    AttributeRow ordinary = important;
    ordinary.importance = 0;
    ordinary.cells[6] = QStringLiteral("150.0 %");
    view.Model()->SetRows({important, ordinary});
    view.show();

    const QImage image = view.viewport()->grab().toImage();
    const int x = view.columnViewportPosition(6) + 4; // the cell less its margin
    const int width = view.columnWidth(6) - 8 - kBarInsetRight;
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        const QRect cell(x, view.rowViewportPosition(row), width, view.rowHeight(row));
        const int mid = cell.center().y();
        EXPECT_EQ(PixelAt(image, {cell.left(), mid}), kBarFrame);
        EXPECT_EQ(PixelAt(image, {cell.left() + 3, mid}), kBarFill);
        const QRgb end = PixelAt(image, {cell.left() + width / 2, mid});
        // 20 % leaves the rest of the area in the row's colour; 150 % fills
        // all of it and no more.
        EXPECT_EQ(end, row == 0 ? kBarAreaImportant : kBarFill);
        EXPECT_NE(PixelAt(image, {cell.left() + width + 3, mid}), kBarFill);
    }
}

} // namespace

// --- A disk's state at a glance ----------------------------------------------

namespace {

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    return dark;
}

double Luminance(const QColor& c) {
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsReddish(QRgb p) {
    return qRed(p) > 150 && qGreen(p) < 80 && qBlue(p) < 80;
}

} // namespace

TEST(DiskStateLookTest, WarningWordsStayReadableAndMarkedInLightAndDarkPalettes) {
    for (const QPalette& palette : {QPalette(Qt::white), DarkPalette()}) {
        for (const vorn::DiskState state : {vorn::DiskState::Failing, vorn::DiskState::Caution}) {
            const vorn::DiskStateLook look = vorn::LookOf(state, palette);
            EXPECT_TRUE(look.warns);
            EXPECT_FALSE(look.mark.isEmpty());
            EXPECT_GE(Contrast(look.colour, palette.color(QPalette::Window)), 4.5)
                << look.word.toStdString();
            EXPECT_GE(Contrast(look.colour, palette.color(QPalette::Base)), 4.5);
        }
        EXPECT_NE(vorn::LookOf(vorn::DiskState::Failing, palette).colour,
                  vorn::LookOf(vorn::DiskState::Caution, palette).colour);
        EXPECT_TRUE(vorn::LookOf(vorn::DiskState::Good, palette).mark.isEmpty());
    }
}

TEST(DiskStateLookTest, OnlyAFailingButtonCarriesTheRedBadge) {
    // No temperature on either, so no red-outlined figure: only the state
    // can put red into the corner.
    auto render = [](vorn::DiskState state) {
        CDiskButton button(DiskButtonValues{0, 0});
        button.resize(button.sizeHint());
        button.SetState(state);
        return button.grab().toImage();
    };
    const QImage failing = render(vorn::DiskState::Failing);
    const QImage good = render(vorn::DiskState::Good);
    int redFailing = 0, redGood = 0;
    for (int y = 3; y < 16; ++y) {
        for (int x = failing.width() - 13; x < failing.width(); ++x) {
            redFailing += IsReddish(failing.pixel(x, y));
            redGood += IsReddish(good.pixel(x, y));
        }
    }
    EXPECT_GT(redFailing, 40);
    EXPECT_EQ(redGood, 0);
}

TEST(DiskStateLookTest, AFailingRowPaintsRedAndTheOthersFollowThePalette) {
    for (const QPalette& palette : {QPalette(Qt::white), DarkPalette()}) {
        CAttributeListView view;
        view.setPalette(palette);
        view.resize(700, 120);
        AttributeRow below;
        below.cells = {QStringLiteral("05"),
                       QStringLiteral("再配置セクタ数"),
                       "100",
                       "112",
                       "140",
                       QStringLiteral("112"),
                       "-",
                       "738"};
        below.belowThreshold = true;
        AttributeRow fine = below;
        fine.belowThreshold = false;
        view.Model()->SetRows({below, fine});
        const QImage image = view.viewport()->grab().toImage();
        const QColor base = palette.color(QPalette::Base);
        auto rowHas = [&](int row, auto wanted) {
            const QRect r = view.visualRect(view.Model()->index(row, kColumnName));
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (wanted(QColor(image.pixel(x, y))))
                        return true;
            return false;
        };
        EXPECT_TRUE(rowHas(0, [](const QColor& c) { return c.red() > c.green() + 90; }));
        EXPECT_FALSE(rowHas(1, [](const QColor& c) { return c.red() > c.green() + 90; }));
        // The healthy row's text stands off the base in either palette.
        EXPECT_TRUE(rowHas(1, [&](const QColor& c) { return Contrast(c, base) > 4.5; }));
        // The mark goes where there is room for it, and the ID stays whole.
        const auto cell = [&](int row, int column) {
            return CAttributeRowDelegate::CellText(view.Model()->index(row, column));
        };
        EXPECT_EQ(cell(0, kColumnName), QStringLiteral("✖ 再配置セクタ数"));
        EXPECT_EQ(cell(0, kColumnId), QStringLiteral("05"));
        EXPECT_EQ(cell(1, kColumnName), QStringLiteral("再配置セクタ数"));
    }
}
