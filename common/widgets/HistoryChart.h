#pragma once

#include "ChartSnapshot.h"
#include "VornComWidgetsExport.h"

#include <QChartView>
#include <QColor>

class QDateTimeAxis;
class QValueAxis;

namespace vorn {

// A history graph: one line per curve over local time, with the range of
// folded hours and days as a pale band behind it. It draws what it is
// handed and follows the palette, light or dark.
class VORNCOMWIDGETS_API CHistoryChart : public QChartView {
public:
    explicit CHistoryChart(QWidget* parent = nullptr);

    void Show(const ChartSnapshot& snapshot);
    const ChartSnapshot& Snapshot() const { return m_snapshot; }

    QDateTimeAxis* TimeAxis() const { return m_time; }
    QValueAxis* ValueAxis() const { return m_value; }

    // The line colour of curve k, on a light or a dark palette.
    static QColor CurveColour(int k, bool dark);

protected:
    void changeEvent(QEvent* event) override;

private:
    void ApplyTheme();
    bool IsDark() const;

    ChartSnapshot m_snapshot;
    QDateTimeAxis* m_time = nullptr;
    QValueAxis* m_value = nullptr;
};

// "最低 31 ℃、最高 44 ℃ (720 点)": what a screen reader says of a graph.
VORNCOMWIDGETS_API QString ChartSummary(const ChartSnapshot& snapshot);

} // namespace vorn
