#include "IndicatorValues.h"

#include <gtest/gtest.h>

using namespace vorn::checker;

namespace {

TEST(TemperatureColour, BothSlopesToTheUnit) {
    const struct {
        int degrees;
        TemperatureRgb button;
        TemperatureRgb box;
    } cases[] = {
        {1, {3, 252, 252}, {3, 252, 252}},
        {10, {41, 214, 214}, {41, 214, 214}},
        {30, {126, 129, 129}, {127, 128, 128}},
        {45, {190, 65, 65}, {191, 64, 64}},
        {59, {249, 6, 6}, {250, 5, 5}},
        // 60 and above: the box's product is exactly 256 and wraps to 255.
        {60, {254, 1, 1}, {255, 0, 0}},
        {75, {254, 1, 1}, {255, 0, 0}},
        {1000, {254, 1, 1}, {255, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        EXPECT_EQ(TemperatureColour(c.degrees, kDiskButtonSlope), c.button);
        EXPECT_EQ(TemperatureColour(c.degrees, kTempBoxSlope), c.box);
    }
    for (const int none : {0, -1, -300}) {
        EXPECT_FALSE(TemperatureColour(none, kDiskButtonSlope));
        EXPECT_FALSE(TemperatureColour(none, kTempBoxSlope));
    }
}

} // namespace
