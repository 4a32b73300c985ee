#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

TEST(AddCommaInt, GroupsThreeDigitsWithOneLeadingMinus) {
    const struct {
        LONGLONG value;
        const char* expected;
    } cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {1000000, "1,000,000"},
        {1001001, "1,001,001"},
        {80026361856, "80,026,361,856"},
        {-1, "-1"},
        {-1234, "-1,234"},
        {-1000000, "-1,000,000"},
        {std::numeric_limits<LONGLONG>::max(), "9,223,372,036,854,775,807"},
        {std::numeric_limits<LONGLONG>::min(), "-9,223,372,036,854,775,808"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cm_AddCommaInt(c.value), QLatin1String(c.expected)) << c.value;
}

TEST(AddCommaReal, RoundsAndCarriesIntoTheIntegerPart) {
    const struct {
        double value;
        int decimals;
        const char* expected;
    } cases[] = {
        {74.53, 2, "74.53"},
        {0.0, 2, "0.00"},
        {1.9996, 2, "2.00"},
        {0.996, 2, "1.00"},
        {999.999, 2, "1,000.00"},
        {1234567.891, 1, "1,234,567.9"},
        {1234.6, 0, "1,235"},
        {1234.4, 0, "1,234"},
        {-1234.5, 1, "-1,234.5"},
        {-0.25, 2, "-0.25"},
        {-999.999, 2, "-1,000.00"},
        {-0.001, 2, "0.00"},
        {1.7, -3, "2"},
        {1e20, 2, "100,000,000,000,000,000,000.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cm_AddCommaReal(c.value, c.decimals), QLatin1String(c.expected))
            << c.value << " with " << c.decimals;
}

TEST(AddCommaReal, NonFiniteValuesHaveATextOfTheirOwn) {
    EXPECT_EQ(Cm_AddCommaReal(std::nan(""), 2), QStringLiteral("nan"));
    EXPECT_EQ(Cm_AddCommaReal(HUGE_VAL, 2), QStringLiteral("inf"));
    EXPECT_EQ(Cm_AddCommaReal(-HUGE_VAL, 2), QStringLiteral("-inf"));
    EXPECT_EQ(Cm_AddCommaReal(0.5, 1000).size(), 2 + 64);
}

TEST(DispByteSize, PicksTheLargestUnitOfAtLeastOne) {
    const struct {
        LONGLONG bytes;
        const char* expected;
    } cases[] = {
        {0, "0 Byte"},
        {512, "512 Byte"},
        {1023, "1,023 Byte"},
        {1024, "1.00 KB"},
        {1535, "1.50 KB"},
        {1536, "1.50 KB"},
        {1048575, "1,024.00 KB"},
        {1048576, "1.00 MB"},
        {80026361856, "74.53 GB"},
        // Just under 2 GiB: the nudged value rounds up and carries.
        {2147482624, "2.00 GB"},
        // At and beyond 4 TiB the kibibyte count no longer fits 32 bits.
        {4398046511104, "4,096.00 GB"},
        {8001563222016, "7,452.04 GB"},
        {-5, "-5 Byte"},
        {-123456789, "-123,456,789 Byte"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cm_DispByteSize(c.bytes), QLatin1String(c.expected)) << c.bytes;
}

TEST(ChangeByteOrder, SwapsEachPairAndLeavesAnOddByte) {
    char text[] = "iHat";
    Cm_ChangeByteOrder(text, 4);
    EXPECT_STREQ(text, "Hita");

    char odd[] = "abc";
    Cm_ChangeByteOrder(odd, 3);
    EXPECT_STREQ(odd, "bac");

    char untouched[] = "ab";
    Cm_ChangeByteOrder(untouched, 0);
    Cm_ChangeByteOrder(untouched, -2);
    Cm_ChangeByteOrder(nullptr, 8);
    EXPECT_STREQ(untouched, "ab");
}

} // namespace
