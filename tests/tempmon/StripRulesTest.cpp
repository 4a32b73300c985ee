#include "ColourScale.h"
#include "HeatgaugeMenu.h"
#include "ReadingWords.h"
#include "StripGeometry.h"
#include "Translation.h"
#include "TraySummary.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const WinRect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
void PrintTo(const Rgb& c, std::ostream* out) {
    *out << "rgb(" << c.red << ", " << c.green << ", " << c.blue << ")";
}

namespace {

TEST(StripSize, TwentySevenPixelsPerDiskAndNeverNarrowerThanOneCell) {
    const struct {
        int disks;
        WinSize size;
    } cases[] = {{0, {26, 24}}, {1, {26, 24}}, {3, {80, 24}}, {26, {701, 24}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.disks);
        EXPECT_EQ(strip::Size(c.disks), c.size);
    }
    // The white column between two cells belongs to neither.
    EXPECT_EQ(strip::CellAt(25, 10, 3), 0);
    EXPECT_EQ(strip::CellAt(26, 10, 3), -1);
    EXPECT_EQ(strip::CellAt(27, 10, 3), 1);
    EXPECT_EQ(strip::CellAt(60, 10, 2), -1);
}

// 64 disks are 1727 pixels in one row: on a 1366 pixel screen they wrap
// into rows, every cell inside the strip and none on another.
TEST(StripSize, ManyDisksWrapIntoRowsThatFitTheWorkArea) {
    EXPECT_EQ(strip::Columns(64, 1920), 0);
    EXPECT_EQ(strip::Columns(64, 1727), 0);
    const int columns = strip::Columns(64, 1366);
    EXPECT_EQ(columns, 50);
    const WinSize size = strip::Size(64, columns);
    EXPECT_EQ(size, (WinSize{1349, 49}));
    EXPECT_EQ(strip::Cell(49, columns), (WinRect{1323, 0, 1349, 24}));
    EXPECT_EQ(strip::Cell(50, columns), (WinRect{0, 25, 26, 49}));
    const WinRect whole{0, 0, size.width, size.height};
    for (int i = 0; i < 64; ++i) {
        const WinRect c = strip::Cell(i, columns);
        EXPECT_TRUE(whole.Contains(c)) << i;
        EXPECT_EQ(strip::CellAt(c.left + 13, c.top + 12, 64, columns), i);
    }
    EXPECT_EQ(strip::CellAt(10, 24, 64, columns), -1) << "the white row between";
    EXPECT_EQ(strip::CellAt(27 * 20, 30, 64, columns), -1) << "past the last cell";
    EXPECT_EQ(strip::Columns(3, 40), 1);
    EXPECT_EQ(strip::Size(3, 1), (WinSize{26, 74}));
}

TEST(StripSnap, WithinFourPixelsOfAnEdgeTheStripLiesOnIt) {
    const WinRect work{0, 0, 1000, 700};
    const WinSize size{80, 24};
    const struct {
        const char* name;
        int x, y;
        int left, top;
    } cases[] = {
        {"free", 500, 300, 500, 300},
        {"3 px from the left", 3, 300, 0, 300},
        {"4 px from the left stays", 4, 300, 4, 300},
        {"3 px from the right", 1000 - 80 - 3, 300, 920, 300},
        {"4 px from the bottom stays", 500, 700 - 24 - 4, 500, 672},
        {"past the bottom right", 990, 690, 920, 676},
        {"above and left of the area", -50, -9, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(strip::Snap(c.x, c.y, size, work),
                  (WinRect{c.left, c.top, c.left + 80, c.top + 24}));
    }
    // An area narrower than the strip: the far edge wins.
    EXPECT_EQ(strip::Snap(0, 0, size, {0, 0, 50, 700}).left, -30);
}

TEST(StripFollowsWorkArea, OneEdgeAtMostAndOnlyAnEdgeItLayOn) {
    const WinRect old{0, 0, 1000, 700};
    const struct {
        const char* name;
        WinRect window;
        WinRect area;
        std::optional<WinRect> expected;
    } cases[] = {
        {"panel grows at the bottom: the strip on the old bottom edge moves up",
         {920, 676, 1000, 700},
         {0, 0, 1000, 660},
         WinRect{920, 636, 1000, 660}},
        {"panel shrinks at the bottom: the strip on the bottom edge moves down",
         {500, 676, 580, 700},
         {0, 0, 1000, 740},
         WinRect{500, 716, 580, 740}},
        {"panel appears on the left: the strip on the left edge moves right",
         {0, 300, 80, 324},
         {60, 0, 1000, 700},
         WinRect{60, 300, 140, 324}},
        {"panel appears on the right of a strip at the right edge",
         {920, 300, 1000, 324},
         {0, 0, 940, 700},
         WinRect{860, 300, 940, 324}},
        {"a strip on no edge stays", {500, 300, 580, 324}, {0, 40, 1000, 660}, std::nullopt},
        {"a strip on no edge but cut off is pulled in and stops there",
         {500, 650, 580, 674},
         {0, 0, 1000, 600},
         WinRect{500, 576, 580, 600}},
        {"a corner strip cut off on two sides is pulled in on both",
         {0, 676, 80, 700},
         {30, 0, 1000, 660},
         WinRect{30, 636, 110, 660}},
        {"the left edge is followed before the bottom edge",
         {0, 676, 80, 700},
         {-100, 0, 1000, 740},
         WinRect{-100, 676, -20, 700}},
        {"nothing moved: the strip is placed where it is",
         {0, 676, 80, 700},
         old,
         WinRect{0, 676, 80, 700}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(strip::FollowWorkArea(c.window, old, c.area), c.expected);
    }
}

TEST(ColourScale, BlueToRedAcrossTheRangeAndSaturatedBeyondIt) {
    const ColourScale scale{40, 0, 60};
    const struct {
        int temperature;
        Rgb colour;
    } cases[] = {
        {0, {40, 40, 255}},  {30, {147, 40, 148}}, {60, {255, 40, 40}},
        {95, {255, 40, 40}}, {-5, {40, 40, 255}},  {59, {251, 40, 44}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.temperature);
        EXPECT_EQ(scale.Colour(c.temperature), c.colour);
    }
    // Unknown: a light grey ball, a mid grey tray square.
    EXPECT_EQ(scale.Ball(-1), (Rgb{80, 80, 80}));
    EXPECT_EQ(scale.Tray(-1), (Rgb{128, 128, 128}));
    EXPECT_EQ((ColourScale{80, 30, 40}).Colour(35), (Rgb{167, 80, 168}));
}

TEST(ColourScale, BallRingsRunFromTheRimToNearlyWhite) {
    const Rgb rim{40, 40, 255};
    EXPECT_EQ(BallRing(rim, 0, 28), rim);
    EXPECT_EQ(BallRing(rim, 14, 28), (Rgb{147, 147, 255}));
    EXPECT_EQ(BallRing(rim, 27, 28), (Rgb{247, 247, 255}));
}

TEST(PopupMenu, TheTranslucencyItemAWndAlphaMarks) {
    using namespace heatgauge;
    const struct {
        int alpha;
        int item;
    } cases[] = {{100, 0}, {80, 1}, {50, 2}, {20, 4}, {0, -1}, {120, -1}, {110, 0}, {-1, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alpha);
        EXPECT_EQ(AlphaItem(c.alpha), c.item);
    }
    EXPECT_EQ(AlphaOfCommand(kCmdAlpha0), 100);
    EXPECT_EQ(AlphaOfCommand(kCmdAlpha80), 20);
}

} // namespace

// The single tray icon must not hide a failing disk behind a cooler one,
// nor take an unknown temperature for the hottest.
TEST(TraySummary, HottestKnownTemperatureWorstStateAndALinePerDisk) {
    std::vector<DiskReading> readings(3);
    readings[0] = {34, "A", "C: ", false, {}, vorn::DiskState::Good};
    readings[1] = {kUnknownTemperature, "B", "", true, {}, vorn::DiskState::Failing};
    readings[2] = {41, "C", "E: ", false, {}, vorn::DiskState::Caution};
    const TraySummary summary = SummaryOf(readings);
    EXPECT_EQ(summary.temperature, 41);
    EXPECT_EQ(summary.state, vorn::DiskState::Failing);
    EXPECT_EQ(summary.tip, QStringLiteral("34 ℃ 正常 A C:\n-- ℃ ✖ 異常 スタンバイ中 B\n"
                                          "41 ℃ ▲ 注意 C E:"));

    readings.resize(1);
    readings[0].temperature = kUnknownTemperature;
    EXPECT_EQ(SummaryOf(readings).temperature, kUnknownTemperature);
    EXPECT_EQ(SummaryOf({}).tip, QStringLiteral("HeatgaugeMini"));
}

// In English a reading keeps its figures in the sentences that carry them,
// and the single icon's lines read as the cells do.
TEST(ReadingWords, InEnglishTheTipsAndLinesKeepEveryFigure) {
    const CTextCatalogue english(InterfaceLanguage::English);
    DiskReading asleep{kUnknownTemperature, "A", "C: ", true, {}, vorn::DiskState::Failing};
    DiskReading testing{41, "B", "E: ", false, {}, vorn::DiskState::Good};
    testing.dayLow = 31;
    testing.dayHigh = 44;
    testing.selfTestPercent = 50;
    EXPECT_EQ(ReadingTip(asleep), QStringLiteral("A\nC: \n-- ℃ Standby\n✖ Bad"));
    EXPECT_EQ(ReadingTip(testing), QStringLiteral("B\nE: \n41 ℃\nLast 24 hours: 31-44 ℃\n"
                                                  "Self-test running: 50% done"));
    EXPECT_EQ(SummaryOf({asleep, testing}).tip,
              QStringLiteral("-- ℃ ✖ Bad Standby A C:\n41 ℃ Good B E:"));
}
