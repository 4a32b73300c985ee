#include "LeadingNumber.h"

#include <algorithm>

namespace vorn {

namespace {

template <typename Char> bool isSpace(Char c) {
    return c == Char(' ') || (c >= Char('\t') && c <= Char('\r'));
}

template <typename Char> bool isDigit(Char c) {
    return c >= Char('0') && c <= Char('9');
}

// The magnitude of the most negative value allowed, without overflowing.
unsigned long long magnitudeOf(long long value) {
    return value < 0 ? static_cast<unsigned long long>(-(value + 1)) + 1 : 0;
}

long long signedOf(unsigned long long magnitude, bool negative) {
    if (!negative)
        return static_cast<long long>(magnitude);
    return magnitude == 0 ? 0 : -static_cast<long long>(magnitude - 1) - 1;
}

template <typename Char>
LeadingNumber read(const Char* text, std::size_t size, long long minimum, long long maximum,
                   LeadingNumberForm form) {
    LeadingNumber result;
    std::size_t i = 0;
    if (form.skipSpace) {
        while (i < size && isSpace(text[i]))
            ++i;
    }
    bool negative = false;
    if (form.sign && i < size && (text[i] == Char('+') || text[i] == Char('-'))) {
        negative = text[i] == Char('-');
        ++i;
    }
    if (i >= size || !isDigit(text[i]))
        return result;

    // Accumulated as a magnitude up to the bound on the side of the sign;
    // digits past it are still taken, so that end covers the whole number.
    const unsigned long long limit =
        negative ? magnitudeOf(minimum) : static_cast<unsigned long long>(std::max(maximum, 0LL));
    unsigned long long magnitude = 0;
    bool beyond = false;
    for (; i < size && isDigit(text[i]); ++i) {
        const auto digit = static_cast<unsigned>(text[i] - Char('0'));
        if (beyond)
            continue;
        if (magnitude > limit / 10 || (magnitude == limit / 10 && digit > limit % 10))
            beyond = true;
        else
            magnitude = magnitude * 10 + digit;
    }
    result.end = i;
    const long long value = beyond ? 0 : signedOf(magnitude, negative);
    if (beyond || value < minimum || value > maximum) {
        result.status = LeadingNumber::OutOfRange;
        result.saturated =
            beyond ? (negative ? minimum : maximum) : std::clamp(value, minimum, maximum);
        return result;
    }
    result.status = LeadingNumber::Number;
    result.value = value;
    result.saturated = value;
    return result;
}

} // namespace

LeadingNumber readLeadingNumber(std::string_view text, long long minimum, long long maximum,
                                LeadingNumberForm form) {
    return read(text.data(), text.size(), minimum, maximum, form);
}

LeadingNumber readLeadingNumber(std::u16string_view text, long long minimum, long long maximum,
                                LeadingNumberForm form) {
    return read(text.data(), text.size(), minimum, maximum, form);
}

LeadingNumber readLeadingNumber(QStringView text, long long minimum, long long maximum,
                                LeadingNumberForm form) {
    return read(text.utf16(), static_cast<std::size_t>(text.size()), minimum, maximum, form);
}

} // namespace vorn
