#include "Smoothly.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Watches every step of a fade instead of showing and waiting.
class SmoothlyTest : public ::testing::Test {
protected:
    void SetUp() override { Install(); }
    void TearDown() override { Cm_SetSmoothlyDriver({}); }

    void Install() {
        m_alphas.clear();
        m_delays.clear();
        Cm_SetSmoothlyDriver({[this] { return m_kind; }, [this](QWidget*) { return m_composited; },
                              [this](QWidget*, int alpha) { m_alphas.push_back(alpha); },
                              [this](int ms) { m_delays.push_back(ms); }});
    }

    // A shown window, prepared and at full opacity.
    void Prepare() {
        ASSERT_EQ(Cm_CreateSmoothly(&m_window, 1), 0);
        m_alphas.clear();
    }

    int m_kind = 0;
    bool m_composited = true;
    std::vector<int> m_alphas;
    std::vector<int> m_delays;
    QWidget m_window;
};

TEST_F(SmoothlyTest, AlphaStepsInAndOut) {
    const std::vector<int> step10 = {0, 25, 51, 76, 102, 127, 153, 178, 204, 229, 255};
    const std::vector<int> step5 = {0,   12,  25,  38,  51,  63,  76,  89,  102, 114, 127,
                                    140, 153, 165, 178, 191, 204, 216, 229, 242, 255};
    Prepare();
    for (const auto& [step, alphas] : {std::pair{10, step10}, std::pair{5, step5}}) {
        SCOPED_TRACE(step);
        m_alphas.clear();
        m_delays.clear();
        Cm_ShowSmoothly(&m_window, 1, step, 100);
        EXPECT_EQ(m_alphas, alphas);
        EXPECT_EQ(m_delays, std::vector<int>(alphas.size(), step)); // a pause after each step

        m_alphas.clear();
        Cm_ShowSmoothly(&m_window, 0, step, 100);
        EXPECT_EQ(m_alphas, std::vector<int>(alphas.rbegin(), alphas.rend()));
        EXPECT_TRUE(m_window.isVisible()); // left transparent, not hidden
    }

    // Step 2 with the opacities the temperature monitor offers.
    for (const auto& [percent, last, count] :
         {std::tuple{100, 255, 51}, {80, 204, 41}, {50, 127, 26}, {20, 51, 11}, {120, 255, 51}}) {
        SCOPED_TRACE(percent);
        m_alphas.clear();
        Cm_ShowSmoothly(&m_window, 1, 2, percent);
        ASSERT_EQ(m_alphas.size(), std::size_t(count));
        EXPECT_EQ(m_alphas.front(), 0);
        EXPECT_EQ(m_alphas.back(), last);
        m_alphas.clear();
        Cm_ShowSmoothly(&m_window, 0, 2, percent);
        EXPECT_EQ(m_alphas.front(), last); // alpha never beyond 255, also from 120 %
        EXPECT_EQ(m_alphas.back(), 0);
    }
}

TEST_F(SmoothlyTest, StepsThatWouldNeverEndJumpToTheEnd) {
    Prepare();
    Cm_ShowSmoothly(&m_window, 1, 0, 100);
    Cm_ShowSmoothly(&m_window, 0, -5, 100);
    EXPECT_EQ(m_alphas, (std::vector<int>{255, 0}));
}

TEST_F(SmoothlyTest, WhenFadesDoNothing) {
    Cm_ShowSmoothly(&m_window, 1, 10, 100); // nothing prepared yet
    EXPECT_EQ(Cm_DestroySmoothly(), 0);

    m_kind = 10;
    EXPECT_EQ(Cm_CreateSmoothly(&m_window, 1), 10);
    EXPECT_FALSE(m_window.isVisible());
    Cm_ShowSmoothly(&m_window, 1, 10, 100);
    EXPECT_TRUE(m_alphas.empty());

    m_kind = 9;
    Prepare();
    Cm_ShowSmoothly(&m_window, 1, 2, -1);
    Cm_ShowSmoothly(&m_window, 0, 2, -1);
    m_window.showMinimized();
    Cm_ShowSmoothly(&m_window, 0, 2, 100);
    m_window.hide();
    Cm_ShowSmoothly(&m_window, 0, 2, 100);
    EXPECT_TRUE(m_alphas.empty());
    EXPECT_EQ(Cm_DestroySmoothly(), 1);
}

TEST_F(SmoothlyTest, CreateStartsTransparentAndShowsOrHides) {
    EXPECT_EQ(Cm_CreateSmoothly(&m_window, 1), 0);
    EXPECT_TRUE(m_window.isVisible());
    EXPECT_EQ(Cm_CreateSmoothly(&m_window, 0), 1);
    EXPECT_FALSE(m_window.isVisible());
    EXPECT_EQ(m_alphas, (std::vector<int>{0, 0}));
}

TEST_F(SmoothlyTest, WithoutCompositorShowAndHide) {
    m_composited = false;
    Prepare();
    Cm_ShowSmoothly(&m_window, 0, 10, 100);
    EXPECT_FALSE(m_window.isVisible());
    Cm_ShowSmoothly(&m_window, 1, 10, 80);
    EXPECT_TRUE(m_window.isVisible());
    EXPECT_EQ(m_alphas, (std::vector<int>{0, 204}));
    EXPECT_TRUE(m_delays.empty());

    // A window its program hid stays hidden.
    m_window.hide();
    Cm_ShowSmoothly(&m_window, 1, 10, 100);
    EXPECT_FALSE(m_window.isVisible());
}

} // namespace
