#include "LeadingNumber.h"

#include <QString>
#include <gtest/gtest.h>

#include <climits>

namespace {

using vorn::LeadingNumber;
using vorn::LeadingNumberForm;

constexpr LeadingNumberForm kDigitsOnly{false, false};

struct Case {
    const char* text; // UTF-8
    long long minimum;
    long long maximum;
    LeadingNumberForm form;
    LeadingNumber::Status status;
    long long saturated;
    std::size_t end; // in UTF-16 units
};

} // namespace

// The edges of the one reader, in narrow and wide text alike.
TEST(LeadingNumber, EdgesOfTheOneReader) {
    const Case cases[] = {
        {"42", INT_MIN, INT_MAX, {}, LeadingNumber::Number, 42, 2},
        {" \t\n\v\f\r-17abc", INT_MIN, INT_MAX, {}, LeadingNumber::Number, -17, 9},
        {"+8", INT_MIN, INT_MAX, {}, LeadingNumber::Number, 8, 2},
        {"-0", 0, 10, {}, LeadingNumber::Number, 0, 2},
        {"007", INT_MIN, INT_MAX, {}, LeadingNumber::Number, 7, 3},
        // No digits: empty, blanks, a sign alone, blanks after the sign.
        {"", INT_MIN, INT_MAX, {}, LeadingNumber::NoDigits, 0, 0},
        {"   ", INT_MIN, INT_MAX, {}, LeadingNumber::NoDigits, 0, 0},
        {"-", INT_MIN, INT_MAX, {}, LeadingNumber::NoDigits, 0, 0},
        {"- 5", INT_MIN, INT_MAX, {}, LeadingNumber::NoDigits, 0, 0},
        {"x12", INT_MIN, INT_MAX, {}, LeadingNumber::NoDigits, 0, 0},
        // Only the C locale's blanks and ASCII digits count (the byte-order
        // mark behind a blank, where no UTF-8 decoder drops it).
        {" \xEF\xBB\xBF"
         "5",
         INT_MIN,
         INT_MAX,
         {},
         LeadingNumber::NoDigits,
         0,
         0},
        {"\xC2\xA0"
         "5",
         INT_MIN,
         INT_MAX,
         {},
         LeadingNumber::NoDigits,
         0,
         0},
        {"\xD9\xA3", INT_MIN, INT_MAX, {}, LeadingNumber::NoDigits, 0, 0},
        {"12\xD9\xA3", INT_MIN, INT_MAX, {}, LeadingNumber::Number, 12, 2},
        {"\xEF\xBC\x95", INT_MIN, INT_MAX, {}, LeadingNumber::NoDigits, 0, 0},
        // The bounds themselves, one past them, and far past them; end
        // still covers every digit.
        {"2147483647", INT_MIN, INT_MAX, {}, LeadingNumber::Number, INT_MAX, 10},
        {"-2147483648", INT_MIN, INT_MAX, {}, LeadingNumber::Number, INT_MIN, 11},
        {"2147483648", INT_MIN, INT_MAX, {}, LeadingNumber::OutOfRange, INT_MAX, 10},
        {"-2147483649", INT_MIN, INT_MAX, {}, LeadingNumber::OutOfRange, INT_MIN, 11},
        {"99999999999999999999x",
         LLONG_MIN,
         LLONG_MAX,
         {},
         LeadingNumber::OutOfRange,
         LLONG_MAX,
         20},
        {"-9223372036854775808", LLONG_MIN, LLONG_MAX, {}, LeadingNumber::Number, LLONG_MIN, 20},
        {"-9223372036854775809",
         LLONG_MIN,
         LLONG_MAX,
         {},
         LeadingNumber::OutOfRange,
         LLONG_MIN,
         20},
        // A range that excludes 0 or the sign.
        {"0", 1, 1000, {}, LeadingNumber::OutOfRange, 1, 1},
        {"-5", 0, INT_MAX, {}, LeadingNumber::OutOfRange, 0, 2},
        // Without blanks or sign the first character must be a digit.
        {"12, Partition", 0, INT_MAX, kDigitsOnly, LeadingNumber::Number, 12, 2},
        {" 12", 0, INT_MAX, kDigitsOnly, LeadingNumber::NoDigits, 0, 0},
        {"+12", 0, INT_MAX, kDigitsOnly, LeadingNumber::NoDigits, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString wide = QString::fromUtf8(c.text);
        const LeadingNumber fromWide = vorn::readLeadingNumber(wide, c.minimum, c.maximum, c.form);
        const LeadingNumber fromNarrow =
            vorn::readLeadingNumber(std::string_view(c.text), c.minimum, c.maximum, c.form);
        for (const LeadingNumber& n : {fromWide, fromNarrow}) {
            EXPECT_EQ(n.status, c.status);
            EXPECT_EQ(n.saturated, c.saturated);
            EXPECT_EQ(n.value, c.status == LeadingNumber::Number ? c.saturated : 0);
        }
        EXPECT_EQ(fromWide.end, c.end);
        if (wide.size() == qsizetype(std::string_view(c.text).size())) {
            EXPECT_EQ(fromNarrow.end, c.end);
        }
    }
}
