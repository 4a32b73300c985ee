#include "MetricsText.h"

#include <charconv>
#include <cmath>

namespace vorn::drivewatch {

namespace {

QString EscapeHelp(const QString& help, MetricsFormat format) {
    QString out;
    out.reserve(help.size());
    for (const QChar c : help) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('"') && format == MetricsFormat::OpenMetrics)
            out += QStringLiteral("\\\"");
        else
            out += c;
    }
    return out;
}

QString SampleName(const MetricFamily& family) {
    return family.type == MetricType::Counter ? family.name + QStringLiteral("_total")
                                              : family.name;
}

} // namespace

QString EscapeLabelValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('"'))
            out += QStringLiteral("\\\"");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

QString MetricValueText(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("+Inf") : QStringLiteral("-Inf");
    constexpr double kExact = 9007199254740992.0; // 2^53
    if (value == std::floor(value) && std::fabs(value) <= kExact)
        return QString::number(static_cast<qint64>(value));
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
}

QByteArray EncodeMetrics(const QList<MetricFamily>& families, MetricsFormat format) {
    QString text;
    for (const MetricFamily& family : families) {
        if (family.samples.isEmpty())
            continue;
        const bool open = format == MetricsFormat::OpenMetrics;
        // The classic format names the counter's samples in its TYPE line.
        const QString typeName = open ? family.name : SampleName(family);
        const QString type = family.type == MetricType::Counter ? QStringLiteral("counter")
                                                                : QStringLiteral("gauge");
        text += QStringLiteral("# HELP %1 %2\n").arg(typeName, EscapeHelp(family.help, format));
        text += QStringLiteral("# TYPE %1 %2\n").arg(typeName, type);
        const QString sampleName = SampleName(family);
        for (const MetricSample& sample : family.samples) {
            text += sampleName;
            if (!sample.labels.isEmpty()) {
                text += QLatin1Char('{');
                bool first = true;
                for (const auto& [name, value] : sample.labels) {
                    if (!first)
                        text += QLatin1Char(',');
                    first = false;
                    text +=
                        name + QStringLiteral("=\"") + EscapeLabelValue(value) + QLatin1Char('"');
                }
                text += QLatin1Char('}');
            }
            text += QLatin1Char(' ') + MetricValueText(sample.value) + QLatin1Char('\n');
        }
    }
    if (format == MetricsFormat::OpenMetrics)
        text += QStringLiteral("# EOF\n");
    return text.toUtf8();
}

QByteArray MetricsContentType(MetricsFormat format) {
    return format == MetricsFormat::OpenMetrics
               ? QByteArrayLiteral("application/openmetrics-text; version=1.0.0; charset=utf-8")
               : QByteArrayLiteral("text/plain; version=0.0.4; charset=utf-8");
}

MetricsFormat MetricsFormatForAccept(const QByteArray& accept) {
    return accept.contains("application/openmetrics-text") ? MetricsFormat::OpenMetrics
                                                           : MetricsFormat::Prometheus;
}

} // namespace vorn::drivewatch
