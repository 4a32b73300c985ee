#include "HistoryChart.h"

#include <QApplication>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QImage>
#include <QLineSeries>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cstdlib>

using vorn::ChartCurve;
using vorn::ChartPoint;
using vorn::ChartSnapshot;
using vorn::CHistoryChart;

namespace {

constexpr std::int64_t kHour = 3600 * 1000;
constexpr std::int64_t kStart = 1704067200000;

ChartSnapshot DayOfTemperatures(bool withRange) {
    ChartSnapshot snapshot;
    snapshot.title = QStringLiteral("温度");
    snapshot.unit = QStringLiteral("温度 (℃)");
    snapshot.fromMs = kStart;
    snapshot.toMs = kStart + 24 * kHour;
    ChartCurve curve;
    curve.name = QStringLiteral("DISK");
    for (int h = 0; h <= 24; ++h) {
        const double value = h < 12 ? 30 + h : 54 - h; // up to 42 at noon, back to 30
        curve.points.append({kStart + h * kHour, value, withRange ? value - 3 : value,
                             withRange ? value + 3 : value});
    }
    snapshot.curves = {curve};
    return snapshot;
}

bool Near(QRgb a, const QColor& b, int tolerance) {
    return std::abs(qRed(a) - b.red()) <= tolerance &&
           std::abs(qGreen(a) - b.green()) <= tolerance &&
           std::abs(qBlue(a) - b.blue()) <= tolerance;
}

// Pixels of colour within a few pixels of the point.
int PixelsNear(const QImage& image, QPointF at, const QColor& colour, int tolerance = 40) {
    int found = 0;
    for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
            const QPoint p(int(at.x()) + dx, int(at.y()) + dy);
            if (image.rect().contains(p) && Near(image.pixel(p), colour, tolerance))
                ++found;
        }
    }
    return found;
}

QImage Render(CHistoryChart& chart) {
    chart.resize(640, 360);
    chart.show();
    QApplication::processEvents();
    return chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Base, QColor(0x18, 0x18, 0x18));
    dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
    return dark;
}

} // namespace

// The curve is drawn where its points are, over the snapshot's time span
// and a value range that holds it, on a light and on a dark palette.
TEST(HistoryChart, DrawsTheCurveAtItsPointsOnLightAndDarkPalettes) {
    for (const bool dark : {false, true}) {
        CHistoryChart chart;
        if (dark)
            chart.setPalette(DarkPalette());
        chart.Show(DayOfTemperatures(false));
        const QImage image = Render(chart);
        // The pictures of docs/images, when asked for.
        if (const QString folder = qEnvironmentVariable("VORN_PICTURES"); !folder.isEmpty())
            image.save(folder + (dark ? QStringLiteral("/history-graph-dark.png")
                                      : QStringLiteral("/history-graph-light.png")));

        EXPECT_EQ(chart.TimeAxis()->min().toMSecsSinceEpoch(), kStart);
        EXPECT_EQ(chart.TimeAxis()->max().toMSecsSinceEpoch(), kStart + 24 * kHour);
        EXPECT_LE(chart.ValueAxis()->min(), 30);
        EXPECT_GE(chart.ValueAxis()->max(), 42);
        EXPECT_LT(chart.ValueAxis()->max() - chart.ValueAxis()->min(), 40) << "a loose axis";

        const auto series = chart.chart()->series();
        ASSERT_EQ(series.size(), 1);
        const QColor line = CHistoryChart::CurveColour(0, dark);
        const QPointF noon = chart.mapFromScene(
            chart.chart()->mapToPosition(QPointF(double(kStart + 12 * kHour), 42), series[0]));
        const QPointF morning = chart.mapFromScene(
            chart.chart()->mapToPosition(QPointF(double(kStart + 3 * kHour), 33), series[0]));
        EXPECT_GT(PixelsNear(image, noon, line), 0) << "dark " << dark;
        EXPECT_GT(PixelsNear(image, morning, line), 0) << "dark " << dark;
        // Away from the line there is only the background.
        const QPointF below = chart.mapFromScene(
            chart.chart()->mapToPosition(QPointF(double(kStart + 12 * kHour), 32), series[0]));
        EXPECT_EQ(PixelsNear(image, below, line), 0) << "dark " << dark;
        const QColor background = chart.palette().color(QPalette::Base);
        EXPECT_GT(PixelsNear(image, below, background, 8), 0) << "dark " << dark;
    }
}

// A folded hour's range shows as a band around the line; a snapshot with
// no point says so in the title and to a screen reader.
TEST(HistoryChart, RangesAreABandAndAnEmptyGraphSaysSo) {
    CHistoryChart chart;
    chart.Show(DayOfTemperatures(true));
    const QImage image = Render(chart);
    const auto series = chart.chart()->series();
    ASSERT_EQ(series.size(), 2); // the band and the line
    const QPointF inBand = chart.mapFromScene(
        chart.chart()->mapToPosition(QPointF(double(kStart + 6 * kHour), 34), series.last()));
    EXPECT_EQ(PixelsNear(image, inBand, CHistoryChart::CurveColour(0, false)), 0);
    EXPECT_GT(PixelsNear(image, inBand, QColor(0xc7, 0xd7, 0xef), 30), 0) << "no pale band";
    EXPECT_EQ(chart.accessibleName(), QStringLiteral("温度"));
    EXPECT_EQ(chart.accessibleDescription(), QStringLiteral("最低 27、最高 45 (25 点)"));

    ChartSnapshot empty = DayOfTemperatures(false);
    empty.curves[0].points.clear();
    empty.emptyText = QStringLiteral("24時間の記録はありません");
    chart.Show(empty);
    EXPECT_EQ(chart.chart()->title(), empty.emptyText);
    EXPECT_EQ(chart.accessibleDescription(), empty.emptyText);
}
