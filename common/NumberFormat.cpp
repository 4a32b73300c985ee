#include "NumberFormat.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace {

QString groupThousands(const QByteArray& digits) {
    QString grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += QLatin1Char(',');
        grouped += QLatin1Char(digits[i]);
    }
    return grouped;
}

QByteArray formatFixed(double value, int decimals) {
    const int size = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    QByteArray text(size, '\0');
    std::snprintf(text.data(), static_cast<size_t>(size) + 1, "%.*f", decimals, value);
    return text;
}

} // namespace

QString Cm_AddCommaInt(LONGLONG value) {
    // The magnitude in unsigned arithmetic also holds the most negative value.
    const std::uint64_t magnitude =
        value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value) : value;
    const QString grouped = groupThousands(QByteArray::number(magnitude));
    return value < 0 ? QLatin1Char('-') + grouped : grouped;
}

QString Cm_AddCommaReal(double value, int decimals) {
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    decimals = std::clamp(decimals, 0, 64);

    const double magnitude = std::fabs(value);
    double whole = std::trunc(magnitude);
    // "0.53", or "1.00" when the fraction rounds up; "0" or "1" without decimals.
    QByteArray fraction = formatFixed(magnitude - whole, decimals);
    if (fraction.startsWith('1')) {
        whole += 1.0;
        fraction[0] = '0';
    }
    const QByteArray wholeDigits = formatFixed(whole, 0);
    // No minus in front of a value that reads as zero ("-0.00").
    const bool showsZero =
        whole == 0.0 && fraction.count('0') + fraction.count('.') == fraction.size();
    const QString text = groupThousands(wholeDigits) + QString::fromLatin1(fraction.mid(1));
    return value < 0 && !showsZero ? QLatin1Char('-') + text : text;
}

QString Cm_DispByteSize(LONGLONG bytes) {
    // 64 bits throughout: a 32-bit kibibyte count would wrap at 4 TiB.
    const LONGLONG kibi = bytes / 1024;
    const LONGLONG mebi = kibi / 1024;
    const LONGLONG gibi = mebi / 1024;
    const double kb = bytes / 1024.0;
    const double mb = kibi / 1024.0;
    const double gb = mebi / 1024.0;

    // A value just below the next hundredth is nudged down so that it is not
    // rounded up to a figure the disk does not reach.
    const auto shown = [](double value, LONGLONG whole, const char* unit) {
        if (value != static_cast<double>(whole))
            value -= 0.0005;
        return Cm_AddCommaReal(value, 2) + QLatin1Char(' ') + QLatin1String(unit);
    };
    if (gb >= 1.0)
        return shown(gb, gibi, "GB");
    if (mb >= 1.0)
        return shown(mb, mebi, "MB");
    if (kb >= 1.0)
        return shown(kb, kibi, "KB");
    return Cm_AddCommaInt(bytes) + QStringLiteral(" Byte");
}

void Cm_ChangeByteOrder(void* buffer, int length) {
    if (!buffer)
        return;
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (int i = 0; i + 1 < length; i += 2)
        std::swap(bytes[i], bytes[i + 1]);
}
