#include "LeadingNumber.h"

#include <climits>

namespace {

template <typename Char> int leadingNumber(const Char* text) {
    if (!text)
        return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (value < limit)
            value = value * 10 + (*text - '0');
    }
    if (value > limit)
        value = limit;
    return static_cast<int>(negative ? -value : value);
}

} // namespace

int LeadingNumber(const char* text) {
    return leadingNumber(text);
}

int LeadingNumber(const char16_t* text) {
    return leadingNumber(text);
}
