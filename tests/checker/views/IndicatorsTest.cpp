#include "../CheckerTestDisks.h"

#include "CDiskButton.h"
#include "CPowerOnStatic.h"
#include "CTempStatic.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace vorn::checker;

using namespace checkertest;

namespace {

// Whatever a control leaves unpainted keeps this colour.
const QRgb kUnpainted = qRgb(1, 2, 3);

// Renders the control alone; with VORN_VIEWS_IMAGES naming a folder the
// picture is also kept there, twice the size (how docs/images is made).
QImage Render(QWidget& widget, QSize size, const QString& name) {
    widget.resize(size);
    QImage image(size, QImage::Format_RGB32);
    image.fill(kUnpainted);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QString folder = qEnvironmentVariable("VORN_VIEWS_IMAGES");
    if (!folder.isEmpty()) {
        QImage shown(size, QImage::Format_RGB32);
        shown.fill(QApplication::palette().color(QPalette::Window));
        widget.render(&shown, QPoint(), QRegion(), QWidget::DrawChildren);
        shown.scaled(size * 2).save(folder + "/" + name + ".png");
    }
    return image;
}

bool HasColour(const QImage& image, const QRect& area, QRgb colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

// A disk at the given temperature (-1: no temperature attribute) with one
// attribute worn by the given share of its margin (baseline 100, threshold
// 50). The temperature attribute itself sits far below its threshold, which
// the wear bar must leave out.
void MakeDisk(CDisk* disk, int degrees, int wear) {
    const BYTE current = static_cast<BYTE>(100 - wear / 2);
    if (degrees >= 0)
        FillDisk(disk, Identify(),
                 {{5, current, current, 0, 50}, {194, 10, 10, ULONGLONG(degrees), 50}});
    else
        FillDisk(disk, Identify(), {{5, current, current, 0, 50}});
    for (CHddSmartDisp* record : disk->m_HddSmart.m_DispList)
        record->m_nInit = 100;
}

TEST(DiskButton, ColourFigureIconAndWearBar) {
    const QRgb grey = qRgb(198, 198, 198);
    const QRgb light = qRgb(240, 247, 255);
    const QRgb filled = qRgb(229, 170, 177);
    const QRgb frame = qRgb(120, 127, 169);
    const struct {
        const char* name;
        int degrees; // -2: no disk
        int wear;
        QRgb square;
        int lastFilled; // x of the bar's last filled column, 0 for none
        bool icon = false;
    } cases[] = {
        {"button-no-disk", -2, 0, grey, -1},
        {"button-unknown", -1, 0, grey, 0},
        {"button-0", 0, 0, grey, 0},
        {"button-30", 30, 0, qRgb(126, 129, 129), 0},
        {"button-30-fresh", 30, -20, qRgb(126, 129, 129), 0}, // above its baseline
        {"button-45-wear-50", 45, 50, qRgb(190, 65, 65), 17},
        {"button-60", 60, 0, qRgb(254, 1, 1), 0},
        {"button-75-wear-120", 75, 120, qRgb(254, 1, 1), 32},
        {"button-icon", 45, 0, qRgb(0, 0, 255), 0, true},
    };
    QPixmap blue(32, 32);
    blue.fill(Qt::blue);
    const QRect square(2, 3, 32, 32);
    const QRect figure(2, 3, 32, 20);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDisk disk;
        if (c.degrees != -2)
            MakeDisk(&disk, c.degrees, c.wear);
        const std::optional<DiskButtonValues> values =
            c.degrees != -2 ? std::optional(DiskButtonValuesOf(disk)) : std::nullopt;
        CDiskButton button(values, c.icon ? QIcon(blue) : QIcon());
        const QImage image = Render(button, QSize(36, 38), c.name);

        EXPECT_EQ(image.pixel(3, 24), c.square);
        EXPECT_EQ(image.pixel(0, 0), kUnpainted);
        EXPECT_EQ(image.pixel(35, 24), kUnpainted); // nothing right of the square
        const bool figureShown = c.degrees > 0;
        EXPECT_EQ(HasColour(image, figure, qRgb(255, 255, 255)), figureShown);
        EXPECT_EQ(HasColour(image, figure, qRgb(224, 0, 0)), figureShown);

        if (c.lastFilled < 0) {
            EXPECT_EQ(image.pixel(10, 31), grey); // no disk, no bar
            continue;
        }
        EXPECT_EQ(image.pixel(2, 29), frame);
        EXPECT_EQ(image.pixel(33, 34), frame);
        for (int x = 3; x <= 32; ++x)
            EXPECT_EQ(image.pixel(x, 31), x <= c.lastFilled ? filled : light) << "x " << x;
        EXPECT_EQ(image.pixel(34, 31), kUnpainted); // a full bar stays in its frame
    }
}

TEST(TempStatic, ColourAndTextFromItsText) {
    const QRgb neutral = QApplication::palette().color(QPalette::Button).rgb();
    const QRgb dash = QApplication::palette().color(QPalette::ButtonText).rgb();
    const struct {
        const char* name;
        const char* text;
        QRgb fill;
        bool figure;
    } cases[] = {
        {"temp-none", "-", neutral, false},
        {"temp-0", "0℃", neutral, false},
        {"temp-30", "30℃", qRgb(127, 128, 128), true},
        {"temp-45", "45℃", qRgb(191, 64, 64), true},
        {"temp-60", "60℃", qRgb(255, 0, 0), true},
        {"temp-75", "75℃", qRgb(255, 0, 0), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempStatic box;
        box.SetText(QString::fromUtf8(c.text));
        const QImage image = Render(box, QSize(110, 64), c.name);
        EXPECT_EQ(image.pixel(0, 0), c.fill);
        EXPECT_EQ(image.pixel(109, 63), c.fill);
        EXPECT_EQ(HasColour(image, image.rect(), qRgb(255, 255, 255)), c.figure);
        // Without a reading the box says so with a dash, not a black face.
        EXPECT_EQ(HasColour(image, QRect(40, 20, 30, 24), dash), !c.figure);
    }
}

TEST(PowerOnStatic, HoursOrMeasuringBar) {
    const QRgb base = QApplication::palette().color(QPalette::Base).rgb();
    const QRgb light = qRgb(255, 237, 230);
    const QRgb filled = qRgb(229, 170, 177);
    const QRgb frame = qRgb(120, 127, 169);
    const struct {
        const char* name;
        PowerOnInputs inputs;
        int lastFilled; // -1: hours shown, no bar
    } cases[] = {
        {"poweron-23", {23, 0, 0}, -1},
        {"poweron-1234", {1234, 0, 0}, -1},
        {"poweron-measuring", {-1, 180, 90}, 54},
        // An overrun measurement, and a total of 0, fill the frame and no
        // more.
        {"poweron-overrun", {-1, 180, 400}, 108},
        {"poweron-no-total", {-1, 0, 5}, 108},
        {"poweron-starting", {-1, 180, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPowerOnStatic box;
        box.SetInputs(c.inputs);
        const QImage image = Render(box, QSize(120, 24), c.name);
        if (c.lastFilled < 0) {
            EXPECT_EQ(image.pixel(119, 2), base);
            EXPECT_TRUE(HasColour(image, QRect(0, 0, 20, 24), qRgb(0, 0, 0))); // left-aligned
            EXPECT_FALSE(HasColour(image, QRect(80, 0, 40, 24), qRgb(0, 0, 0)));
            continue;
        }
        EXPECT_EQ(image.pixel(0, 12), frame);
        EXPECT_EQ(image.pixel(109, 12), frame);
        EXPECT_EQ(image.pixel(110, 12), kUnpainted);
        for (int x = 1; x <= 108; ++x)
            EXPECT_EQ(image.pixel(x, 2), x <= c.lastFilled ? filled : light) << "x " << x;
        EXPECT_TRUE(HasColour(image, QRect(40, 4, 30, 16), qRgb(0, 0, 0))); // centred text
    }
}

TEST(PowerOnStatic, TooltipWhenTheMouseRests) {
    CPowerOnStatic box;
    box.SetInputs({1234, 0, 0});
    box.resize(120, 24);
    box.show();
    QHelpEvent rest(QEvent::ToolTip, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&box, &rest);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("51 日 10 時間"));
    box.SetInputs({-1, 180, 90});
    QApplication::sendEvent(&box, &rest);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("判別中"));
    QToolTip::hideText();
}

TEST(Indicators, AccessibleNamesAndPress) {
    CDisk disk;
    CDiskButton button(DiskButtonValuesOf(disk));
    button.setToolTip(QStringLiteral("TESTDISK 500\nC: "));
    int presses = 0;
    QObject::connect(&button, &CDiskButton::clicked, [&presses] { ++presses; });
    QAccessibleInterface* square = QAccessible::queryAccessibleInterface(&button);
    ASSERT_TRUE(square && square->actionInterface());
    EXPECT_EQ(square->role(), QAccessible::Button);
    // The tip's model first, then what the square shows: no reading, and
    // the state it was given.
    EXPECT_EQ(square->text(QAccessible::Name), QStringLiteral("TESTDISK 500 温度不明 正常\nC: "));
    button.SetState(vorn::DiskState::Caution);
    EXPECT_EQ(square->text(QAccessible::Name), QStringLiteral("TESTDISK 500 温度不明 注意\nC: "));
    square->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(presses, 1);

    CTempStatic temperature;
    temperature.SetText(QStringLiteral("45℃"));
    CPowerOnStatic powerOn;
    powerOn.SetInputs({1234, 0, 0});
    for (const auto& [widget, name] : {std::pair<QWidget*, QString>{&temperature, "45℃"},
                                       std::pair<QWidget*, QString>{&powerOn, "1,234 時間"}}) {
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(widget);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->role(), QAccessible::StaticText);
        EXPECT_EQ(box->text(QAccessible::Name), name);
    }
}

} // namespace
