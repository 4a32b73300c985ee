#include "HistoryChart.h"

#include "Translation.h"

#include <QAreaSeries>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QEvent>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vorn {

namespace {

constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;

// Local time in the precision the span needs.
QString TimeFormat(std::int64_t spanMs) {
    if (spanMs <= 2 * kDayMs)
        return QStringLiteral("HH:mm");
    if (spanMs <= 62 * kDayMs)
        return QStringLiteral("MM/dd");
    return QStringLiteral("yyyy/MM");
}

} // namespace

QColor CHistoryChart::CurveColour(int k, bool dark) {
    // Told apart by lightness as well as hue; on a dark window lighter.
    static const QColor light[] = {QColor(0x1f, 0x5f, 0xbf), QColor(0xc0, 0x39, 0x2b),
                                   QColor(0x1e, 0x84, 0x49), QColor(0x8e, 0x44, 0xad),
                                   QColor(0xb9, 0x77, 0x0e), QColor(0x17, 0x7e, 0x89)};
    static const QColor darkColours[] = {QColor(0x6c, 0xb4, 0xff), QColor(0xff, 0x8a, 0x7a),
                                         QColor(0x7d, 0xd8, 0x8f), QColor(0xd2, 0x9b, 0xf0),
                                         QColor(0xf5, 0xc2, 0x6b), QColor(0x6f, 0xd6, 0xe0)};
    const int n = int(std::size(light));
    return dark ? darkColours[k % n] : light[k % n];
}

CHistoryChart::CHistoryChart(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->setAlignment(Qt::AlignBottom);
    m_time = new QDateTimeAxis(this);
    m_value = new QValueAxis(this);
    m_time->setTitleText(Cm_Tr("HistoryChart", "時刻"));
    m_value->setLabelFormat(QStringLiteral("%.0f"));
    chart()->addAxis(m_time, Qt::AlignBottom);
    chart()->addAxis(m_value, Qt::AlignLeft);
    ApplyTheme();
}

bool CHistoryChart::IsDark() const {
    return palette().color(QPalette::Window).lightness() < 128;
}

void CHistoryChart::ApplyTheme() {
    QChart* c = chart();
    const QPalette& p = palette();
    c->setBackgroundBrush(p.color(QPalette::Base));
    c->setPlotAreaBackgroundVisible(false);
    c->setTitleBrush(p.color(QPalette::Text));
    c->legend()->setLabelColor(p.color(QPalette::Text));
    QColor grid = p.color(QPalette::Text);
    grid.setAlpha(50);
    for (QAbstractAxis* axis :
         {static_cast<QAbstractAxis*>(m_time), static_cast<QAbstractAxis*>(m_value)}) {
        axis->setLabelsColor(p.color(QPalette::Text));
        axis->setTitleBrush(p.color(QPalette::Text));
        axis->setLinePenColor(p.color(QPalette::Text));
        axis->setGridLineColor(grid);
    }
    setBackgroundBrush(p.color(QPalette::Base));
    Show(m_snapshot);
}

void CHistoryChart::changeEvent(QEvent* event) {
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        ApplyTheme();
}

void CHistoryChart::Show(const ChartSnapshot& snapshot) {
    m_snapshot = snapshot;
    QChart* c = chart();
    c->removeAllSeries();
    setAccessibleName(snapshot.title);
    setAccessibleDescription(ChartSummary(snapshot));
    m_value->setTitleText(snapshot.unit);
    const std::int64_t span = std::max<std::int64_t>(snapshot.toMs - snapshot.fromMs, 1);
    m_time->setFormat(TimeFormat(span));
    m_time->setTickCount(7);
    m_time->setRange(QDateTime::fromMSecsSinceEpoch(snapshot.fromMs),
                     QDateTime::fromMSecsSinceEpoch(snapshot.toMs));
    c->setTitle(snapshot.IsEmpty() ? snapshot.emptyText : snapshot.title);

    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    const bool dark = IsDark();
    int k = 0;
    for (const ChartCurve& curve : snapshot.curves) {
        const QColor colour = CurveColour(k++, dark);
        auto* line = new QLineSeries;
        line->setName(curve.name);
        bool ranged = false;
        for (const ChartPoint& point : curve.points) {
            line->append(double(point.timeMs), point.value);
            low = std::min(low, point.low);
            high = std::max(high, point.high);
            ranged = ranged || point.low != point.high;
        }
        if (ranged) {
            // The band first, so that the line stays on top of it.
            auto* lows = new QLineSeries;
            auto* highs = new QLineSeries;
            for (const ChartPoint& point : curve.points) {
                lows->append(double(point.timeMs), point.low);
                highs->append(double(point.timeMs), point.high);
            }
            auto* band = new QAreaSeries(highs, lows);
            // The band does not own its edges; they go when it goes.
            lows->setParent(band);
            highs->setParent(band);
            QColor fill = colour;
            fill.setAlpha(60);
            band->setBrush(fill);
            band->setPen(Qt::NoPen);
            c->addSeries(band);
            band->attachAxis(m_time);
            band->attachAxis(m_value);
            for (QLegendMarker* marker : c->legend()->markers(band))
                marker->setVisible(false);
        }
        line->setPen(QPen(colour, 2));
        c->addSeries(line);
        line->attachAxis(m_time);
        line->attachAxis(m_value);
        if (curve.points.isEmpty()) {
            for (QLegendMarker* marker : c->legend()->markers(line))
                marker->setVisible(false);
        }
    }
    if (low > high) {
        low = 0;
        high = 60;
    }
    // A flat line sits inside the graph, not on its edge.
    const double pad = std::max(1.0, (high - low) * 0.1);
    m_value->setRange(std::floor(low - pad), std::ceil(high + pad));
    m_value->applyNiceNumbers();
    c->legend()->setVisible(snapshot.curves.size() > 1);
}

QString ChartSummary(const ChartSnapshot& snapshot) {
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    qsizetype points = 0;
    for (const ChartCurve& curve : snapshot.curves) {
        for (const ChartPoint& point : curve.points) {
            low = std::min(low, point.low);
            high = std::max(high, point.high);
            ++points;
        }
    }
    if (points == 0)
        return snapshot.emptyText;
    return Cm_Tr("HistoryChart", "最低 %1、最高 %2 (%3 点)")
        .arg(QString::number(low, 'f', 0), QString::number(high, 'f', 0))
        .arg(points);
}

} // namespace vorn
