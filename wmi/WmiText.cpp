#include "WmiText.h"

#include "LeadingNumber.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cstdlib>
#include <limits>

namespace vorn::wmi {

void copyToField(const QString& text, char16_t* field, int capacity) {
    if (!field || capacity <= 0)
        return;
    qsizetype length = std::min<qsizetype>(text.size(), capacity - 1);
    if (length > 0 && length < text.size() && text.at(length - 1).isHighSurrogate())
        --length;
    const char16_t* source = reinterpret_cast<const char16_t*>(text.utf16());
    std::copy(source, source + length, field);
    std::fill(field + length, field + capacity, u'\0');
}

std::int32_t textToInt32(const QString& text) {
    using Limits = std::numeric_limits<std::int32_t>;
    return static_cast<std::int32_t>(
        vorn::readLeadingNumber(text, Limits::min(), Limits::max()).saturated);
}
std::int64_t textToInt64(const QString& text) {
    using Limits = std::numeric_limits<std::int64_t>;
    return vorn::readLeadingNumber(text, Limits::min(), Limits::max()).saturated;
}

std::int32_t wmiDateToTime(const QString& text) {
    if (text.size() < 14)
        return 0;
    for (int i = 0; i < 14; ++i) {
        if (!text.at(i).isDigit())
            return 0;
    }
    auto field = [&](int from, int count) { return text.mid(from, count).toInt(); };
    const QDate date(field(0, 4), field(4, 2), field(6, 2));
    const QTime time(field(8, 2), field(10, 2), field(12, 2));
    if (!date.isValid() || !time.isValid())
        return 0;
    const qint64 seconds = QDateTime(date, time, Qt::LocalTime).toSecsSinceEpoch();
    // The record keeps 32-bit seconds; dates outside that range cannot be
    // stored, and 0 says "no date" rather than a wrapped-around one.
    if (seconds < 0 || seconds > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(seconds);
}

QString wmiDateText(const QDateTime& localTime) {
    if (!localTime.isValid())
        return QString();
    const int offset = localTime.offsetFromUtc() / 60;
    return localTime.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".000000") +
           (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1").arg(std::abs(offset), 3, 10, QLatin1Char('0'));
}

} // namespace vorn::wmi
