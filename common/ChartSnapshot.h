#pragma once

#include <QList>
#include <QString>

#include <cstdint>

namespace vorn {

// A graph as plain values, made away from the window from whatever store
// holds the numbers: the window draws it and asks nothing else.

struct ChartPoint {
    std::int64_t timeMs = 0; // UTC milliseconds since 1970
    double value = 0;
    // What a folded hour or day held at its lowest and highest; both equal
    // value for a single reading.
    double low = 0;
    double high = 0;
};

struct ChartCurve {
    QString name;             // the legend's text
    QList<ChartPoint> points; // in time order
};

struct ChartSnapshot {
    QString title; // also the graph's accessible name
    QString unit;  // the value axis' title, "温度 (℃)"
    std::int64_t fromMs = 0;
    std::int64_t toMs = 0;
    QList<ChartCurve> curves;
    // Said in place of the curves when none has a point.
    QString emptyText;

    bool IsEmpty() const {
        for (const ChartCurve& curve : curves) {
            if (!curve.points.isEmpty())
                return false;
        }
        return true;
    }
};

} // namespace vorn
