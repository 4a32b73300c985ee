#pragma once

#include <WinTypes.h>

namespace vorn::checker {

// Pixel filters over 32-bit buffers: rows top-down without gaps, each pixel
// the bytes blue, green, red and one that carries no colour. A pixel of the
// key colour, once one is set, passes every derived filter unchanged.
class CBitmapFilter {
public:
    virtual ~CBitmapFilter();

    void SetKeyColor(int red, int green, int blue);

    // The output size for an input of width by height: the same here and
    // in both derived filters.
    virtual void GetOutputSize(int& width, int& height) const;
    // Fills output from input; each output pixel at its input pixel's place.
    // The base copies unchanged.
    virtual BOOL Process(const BYTE* input, int inWidth, int inHeight, BYTE* output, int outWidth,
                         int outHeight);

protected:
    bool IsKey(const BYTE* pixel) const;
    // Runs map over every pixel both buffers hold, copying key pixels.
    template <typename Map>
    void ForEachPixel(const BYTE* input, int inWidth, int inHeight, BYTE* output, int outWidth,
                      int outHeight, Map map) const;

private:
    bool m_bKeyColor = false;
    int m_nKeyRed = 0;
    int m_nKeyGreen = 0;
    int m_nKeyBlue = 0;
};

// Grey from 6 parts green, 3 red and 1 blue, in whole numbers.
class CGrayFilter : public CBitmapFilter {
public:
    BOOL Process(const BYTE* input, int inWidth, int inHeight, BYTE* output, int outWidth,
                 int outHeight) override;
};

// Moves every pixel's lightness by a step, stopping at 0 and 1.
class CLightnessFilter : public CBitmapFilter {
public:
    explicit CLightnessFilter(float step) : m_fStep(step) {}

    BOOL Process(const BYTE* input, int inWidth, int inHeight, BYTE* output, int outWidth,
                 int outHeight) override;

private:
    float m_fStep;
};

} // namespace vorn::checker
