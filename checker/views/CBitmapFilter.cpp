#include "CBitmapFilter.h"

#include "CHslColor.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vorn::checker {

namespace {

constexpr int kBlue = 0, kGreen = 1, kRed = 2;

const BYTE* PixelAt(const BYTE* buffer, int width, int x, int y) {
    return buffer + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)) *
                        4;
}

BYTE* PixelAt(BYTE* buffer, int width, int x, int y) {
    return buffer + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)) *
                        4;
}

} // namespace

CBitmapFilter::~CBitmapFilter() = default;

void CBitmapFilter::SetKeyColor(int red, int green, int blue) {
    m_nKeyRed = red;
    m_nKeyGreen = green;
    m_nKeyBlue = blue;
    m_bKeyColor = true;
}

void CBitmapFilter::GetOutputSize(int&, int&) const {}

bool CBitmapFilter::IsKey(const BYTE* pixel) const {
    return m_bKeyColor && pixel[kRed] == m_nKeyRed && pixel[kGreen] == m_nKeyGreen &&
           pixel[kBlue] == m_nKeyBlue;
}

template <typename Map>
void CBitmapFilter::ForEachPixel(const BYTE* input, int inWidth, int inHeight, BYTE* output,
                                 int outWidth, int outHeight, Map map) const {
    const int width = std::min(inWidth, outWidth);
    const int height = std::min(inHeight, outHeight);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const BYTE* in = PixelAt(input, inWidth, x, y);
            BYTE* out = PixelAt(output, outWidth, x, y);
            if (IsKey(in))
                std::memcpy(out, in, 3);
            else
                map(in, out);
        }
    }
}

BOOL CBitmapFilter::Process(const BYTE* input, int inWidth, int inHeight, BYTE* output,
                            int outWidth, int outHeight) {
    const int width = std::min(inWidth, outWidth);
    const int height = std::min(inHeight, outHeight);
    for (int y = 0; y < height; ++y)
        std::memcpy(PixelAt(output, outWidth, 0, y), PixelAt(input, inWidth, 0, y),
                    static_cast<std::size_t>(width) * 4);
    return TRUE;
}

BOOL CGrayFilter::Process(const BYTE* input, int inWidth, int inHeight, BYTE* output, int outWidth,
                          int outHeight) {
    ForEachPixel(
        input, inWidth, inHeight, output, outWidth, outHeight, [](const BYTE* in, BYTE* out) {
            const auto grey = static_cast<BYTE>((6 * in[kGreen] + 3 * in[kRed] + in[kBlue]) / 10);
            out[kBlue] = out[kGreen] = out[kRed] = grey;
        });
    return TRUE;
}

BOOL CLightnessFilter::Process(const BYTE* input, int inWidth, int inHeight, BYTE* output,
                               int outWidth, int outHeight) {
    const float step = m_fStep;
    ForEachPixel(input, inWidth, inHeight, output, outWidth, outHeight,
                 [step](const BYTE* in, BYTE* out) {
                     CHslColor color(in[kRed], in[kGreen], in[kBlue]);
                     const float lightness = color.GetLightness();
                     if (step > 0.0f && lightness < 1.0f)
                         color.SetLightness(std::min(lightness + step, 1.0f));
                     else if (step < 0.0f && lightness > 0.0f)
                         color.SetLightness(std::max(lightness + step, 0.0f));
                     out[kRed] = color.GetRed();
                     out[kGreen] = color.GetGreen();
                     out[kBlue] = color.GetBlue();
                 });
    return TRUE;
}

} // namespace vorn::checker
