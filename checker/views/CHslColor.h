#pragma once

#include <WinTypes.h>

namespace vorn::checker {

// A colour as 0x00BBGGRR: red in the low byte.
using COLORREF = DWORD;

constexpr COLORREF MakeColorRef(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red | (green << 8) | (blue << 16));
}

// A colour held as red, green and blue bytes and as hue (degrees, 0 to 360),
// saturation and lightness (0 to 1), each side worked out from the other
// only when it is read after the other side changed. The arithmetic is
// single precision throughout, so that every byte result is reproducible.
class CHslColor {
public:
    CHslColor() = default;
    explicit CHslColor(COLORREF color);
    CHslColor(BYTE red, BYTE green, BYTE blue);

    void SetRgb(BYTE red, BYTE green, BYTE blue);
    BYTE GetRed() const;
    BYTE GetGreen() const;
    BYTE GetBlue() const;

    float GetHue() const;
    float GetSaturation() const;
    float GetLightness() const;
    void SetLightness(float lightness);

private:
    void ToHsl() const;
    void ToRgb() const;

    mutable BYTE m_byRed = 0;
    mutable BYTE m_byGreen = 0;
    mutable BYTE m_byBlue = 0;
    mutable float m_fHue = 0;
    mutable float m_fSaturation = 0;
    mutable float m_fLightness = 0;
    mutable bool m_bRgbValid = true;
    mutable bool m_bHslValid = false;
};

} // namespace vorn::checker
