#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace vorn::drivewatch {

// The exposition of metrics as text, apart from where the values come
// from: families in, bytes out.

enum class MetricsFormat {
    Prometheus,  // the classic text format, version 0.0.4
    OpenMetrics, // OpenMetrics 1.0.0 text, ending in "# EOF"
};

enum class MetricType { Gauge, Counter };

using MetricLabels = QList<QPair<QString, QString>>; // name, value; in the order written

struct MetricSample {
    MetricLabels labels;
    double value = 0;
};

struct MetricFamily {
    // For a counter the name without "_total": the formats differ in
    // where the suffix goes (OpenMetrics names the family without it).
    QString name;
    QString help;
    MetricType type = MetricType::Gauge;
    QList<MetricSample> samples;
};

// Families without samples are left out: a TYPE line alone tells a
// scraper nothing and some linters reject it.
QByteArray EncodeMetrics(const QList<MetricFamily>& families, MetricsFormat format);

// The Content-Type of a scrape's answer.
QByteArray MetricsContentType(MetricsFormat format);

// The format a scraper asks for in its Accept header: OpenMetrics when it
// names it at all, since scrapers list it only when they parse it.
MetricsFormat MetricsFormatForAccept(const QByteArray& accept);

// A label value with backslash, double quote and line feed escaped.
QString EscapeLabelValue(const QString& value);

// A sample value: whole numbers up to 2^53 in plain digits, the rest in
// the shortest form that reads back the same; NaN and infinities as the
// formats spell them.
QString MetricValueText(double value);

} // namespace vorn::drivewatch
