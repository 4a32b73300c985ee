#include "ReportText.h"

#include <limits>

namespace realworld {

ReportText::ReportText(const QString& text) {
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_lines = unified.split(QLatin1Char('\n'));
}

std::optional<QString> ReportText::field(const QString& key) const {
    const QString prefix = key + QLatin1Char(':');
    for (const QString& line : m_lines) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    }
    return std::nullopt;
}

bool ReportText::contains(const QString& text) const {
    for (const QString& line : m_lines) {
        if (line.contains(text))
            return true;
    }
    return false;
}

int ReportText::lineStartingWith(const QString& prefix, int from) const {
    for (int i = from; i < m_lines.size(); ++i) {
        if (m_lines[i].startsWith(prefix))
            return i;
    }
    return -1;
}

std::optional<std::uint64_t> leadingGroupedNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !trimmed[0].isDigit())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const QChar c : trimmed) {
        if (c.isDigit()) {
            const auto digit = static_cast<std::uint64_t>(c.digitValue());
            if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
                return std::nullopt;
            value = value * 10 + digit;
        } else if (c == QLatin1Char(',') || c == QLatin1Char('.') || c.isSpace()) {
            // A separator, unless a blank ends the number: "512 bytes".
            continue;
        } else {
            break;
        }
    }
    return value;
}

std::optional<std::int64_t> wholeNumber(const QString& text) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return static_cast<std::int64_t>(value);
}

} // namespace realworld
