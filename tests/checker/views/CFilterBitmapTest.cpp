#include "CFilterBitmap.h"
#include "CBitmapFilter.h"
#include "CHslColor.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace vorn::checker;

namespace {

constexpr QRgb kMagenta = 0xFFFF00FF;

// One row of pixels through the filters; the key colour is magenta.
QImage Filtered(const std::vector<QRgb>& row, std::vector<std::unique_ptr<CBitmapFilter>> filters) {
    QImage image(static_cast<int>(row.size()), 1, QImage::Format_RGB32);
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, 0, row[static_cast<std::size_t>(x)]);
    CFilterBitmap bitmap;
    bitmap.Attach(image);
    std::vector<CBitmapFilter*> chain;
    for (auto& filter : filters) {
        filter->SetKeyColor(255, 0, 255);
        chain.push_back(filter.get());
    }
    EXPECT_EQ(bitmap.ApplyFilters(chain), TRUE);
    return bitmap.Image();
}

std::vector<std::unique_ptr<CBitmapFilter>> Filters(bool grey, int steps, float step) {
    std::vector<std::unique_ptr<CBitmapFilter>> filters;
    if (grey)
        filters.push_back(std::make_unique<CGrayFilter>());
    for (int i = 0; i < steps; ++i)
        filters.push_back(std::make_unique<CLightnessFilter>(step));
    return filters;
}

class FailingFilter : public CBitmapFilter {
public:
    BOOL Process(const BYTE*, int, int, BYTE*, int, int) override { return FALSE; }
};

} // namespace

TEST(HslColorTest, PureRedHasHue360AndConvertsBack) {
    CHslColor red(MakeColorRef(255, 0, 0));
    EXPECT_EQ(red.GetHue(), 360.0f);
    EXPECT_EQ(red.GetSaturation(), 1.0f);
    red.SetLightness(red.GetLightness()); // forces the way back through HSL
    EXPECT_EQ(red.GetRed(), 255);
    EXPECT_EQ(red.GetGreen(), 0);
    EXPECT_EQ(red.GetBlue(), 0);
}

TEST(FilterChainTest, PixelsComeOutAsComputedByHand) {
    struct Case {
        const char* what;
        bool grey;
        int steps;
        float step;
        QRgb in;
        QRgb out;
    };
    const Case cases[] = {
        {"black, one step", false, 1, 0.08f, qRgb(0, 0, 0), qRgb(20, 20, 20)},
        {"white stays", false, 1, 0.08f, qRgb(255, 255, 255), qRgb(255, 255, 255)},
        {"grey 100", false, 1, 0.08f, qRgb(100, 100, 100), qRgb(120, 120, 120)},
        {"grey 128", false, 1, 0.08f, qRgb(128, 128, 128), qRgb(148, 148, 148)},
        {"grey 245 stops at 1", false, 1, 0.08f, qRgb(245, 245, 245), qRgb(255, 255, 255)},
        {"darker, grey 100", false, 1, -0.08f, qRgb(100, 100, 100), qRgb(79, 79, 79)},
        {"darker, black stays", false, 1, -0.08f, qRgb(0, 0, 0), qRgb(0, 0, 0)},
        {"red to grey", true, 0, 0.0f, qRgb(255, 0, 0), qRgb(76, 76, 76)},
        {"red, disabled chain", true, 3, 0.08f, qRgb(255, 0, 0), qRgb(136, 136, 136)},
        {"red, normal chain", false, 2, 0.04f, qRgb(255, 0, 0), qRgb(254, 40, 40)},
        {"magenta, disabled chain", true, 3, 0.08f, kMagenta, kMagenta},
        {"magenta, normal chain", false, 2, 0.04f, kMagenta, kMagenta},
    };
    for (const Case& c : cases) {
        const QImage out = Filtered({c.in}, Filters(c.grey, c.steps, c.step));
        EXPECT_EQ(out.pixel(0, 0), c.out) << c.what;
    }
}

TEST(FilterChainTest, AGreyRampOnlyGetsLighterAndSaturates) {
    std::vector<QRgb> ramp;
    for (int v = 0; v < 256; ++v)
        ramp.push_back(qRgb(v, v, v));
    const QImage out = Filtered(ramp, Filters(false, 1, 0.08f));
    int previous = 0;
    for (int v = 0; v < 256; ++v) {
        const QRgb pixel = out.pixel(v, 0);
        ASSERT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel)) << v;
        EXPECT_GE(qRed(pixel), v) << v;
        EXPECT_GE(qRed(pixel), previous) << v;
        EXPECT_LE(qRed(pixel) - v, 21) << v; // 0.08 of 255, plus the truncation
        previous = qRed(pixel);
    }
    EXPECT_EQ(qRed(out.pixel(235, 0)), 255);
}

TEST(FilterChainTest, EmptyOrFailingChainsKeepTheBitmap) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    CFilterBitmap bitmap;
    EXPECT_EQ(bitmap.ApplyFilters({}), FALSE); // no bitmap yet
    bitmap.Attach(image);
    EXPECT_EQ(bitmap.ApplyFilters({}), TRUE);
    EXPECT_EQ(bitmap.Image().cacheKey(), image.cacheKey());

    CGrayFilter grey;
    FailingFilter failing;
    EXPECT_EQ(bitmap.ApplyFilters({&grey, &failing}), FALSE);
    EXPECT_EQ(bitmap.Image(), image);
}
