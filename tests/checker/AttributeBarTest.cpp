#include "AttributeBar.h"

#include <gtest/gtest.h>

using namespace vorn::checker;

namespace {

TEST(DepletionBarTest, LengthFollowsTheCellText) {
    struct Case {
        const char* text;
        int width;
        int length;
    };
    const Case cases[] = {
        {"0.0 %", 100, 0},  {"50.0 %", 100, 50}, {"33.3 %", 90, 29}, {"150.0 %", 80, 80},
        {"-20.0 %", 80, 0}, {"- %", 80, 0},      {"12.5 %", 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DepletionBarLength(c.width, QString::fromUtf8(c.text)), c.length) << c.text;
}

} // namespace
