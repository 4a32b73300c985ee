#include "CHslColor.h"

#include <algorithm>

namespace vorn::checker {

namespace {

constexpr float kPerTwoBytes = 0.0019607844f; // 1 / 510
constexpr float kPerSixtyDegrees = 0.016666668f;

BYTE ToByte(float unit) {
    // Truncation, as the byte results are defined; the clamp only keeps a
    // rounding speck below 0 from becoming an out-of-range conversion.
    return static_cast<BYTE>(std::clamp(static_cast<int>(unit * 255.0f), 0, 255));
}

float HueValue(float m1, float m2, float hue) {
    if (hue > 360.0f)
        hue -= 360.0f;
    else if (hue < 0.0f)
        hue += 360.0f;
    if (hue < 60.0f)
        return m1 + (m2 - m1) * hue * kPerSixtyDegrees;
    if (hue < 180.0f)
        return m2;
    if (hue < 240.0f)
        return m1 + (m2 - m1) * (240.0f - hue) * kPerSixtyDegrees;
    return m1;
}

} // namespace

CHslColor::CHslColor(COLORREF color)
    : CHslColor(static_cast<BYTE>(color & 0xFF), static_cast<BYTE>((color >> 8) & 0xFF),
                static_cast<BYTE>((color >> 16) & 0xFF)) {}

CHslColor::CHslColor(BYTE red, BYTE green, BYTE blue) {
    SetRgb(red, green, blue);
}

void CHslColor::SetRgb(BYTE red, BYTE green, BYTE blue) {
    m_byRed = red;
    m_byGreen = green;
    m_byBlue = blue;
    m_bRgbValid = true;
    m_bHslValid = false;
}

BYTE CHslColor::GetRed() const {
    ToRgb();
    return m_byRed;
}

BYTE CHslColor::GetGreen() const {
    ToRgb();
    return m_byGreen;
}

BYTE CHslColor::GetBlue() const {
    ToRgb();
    return m_byBlue;
}

float CHslColor::GetHue() const {
    ToHsl();
    return m_fHue;
}

float CHslColor::GetSaturation() const {
    ToHsl();
    return m_fSaturation;
}

float CHslColor::GetLightness() const {
    ToHsl();
    return m_fLightness;
}

void CHslColor::SetLightness(float lightness) {
    ToHsl();
    m_fLightness = lightness;
    m_bRgbValid = false;
}

void CHslColor::ToHsl() const {
    if (m_bHslValid)
        return;
    const int r = m_byRed, g = m_byGreen, b = m_byBlue;
    const int max = std::max({r, g, b});
    const int min = std::min({r, g, b});
    m_fLightness = static_cast<float>(max + min) * kPerTwoBytes;
    if (max == min) {
        m_fSaturation = 0.0f;
        m_fHue = 0.0f;
    } else {
        const float d = static_cast<float>(max - min);
        m_fSaturation = m_fLightness <= 0.5f ? d / static_cast<float>(max + min)
                                             : d / static_cast<float>(510 - (max + min));
        const float rc = static_cast<float>(max - r) / d;
        const float gc = static_cast<float>(max - g) / d;
        const float bc = static_cast<float>(max - b) / d;
        // Later tests override earlier ones; pure red ends at 360, not 0.
        if (r == max)
            m_fHue = (bc + 6.0f - gc) * 60.0f;
        if (g == max)
            m_fHue = (rc + 2.0f - bc) * 60.0f;
        if (b == max)
            m_fHue = (gc + 4.0f - rc) * 60.0f;
        if (m_fHue > 360.0f)
            m_fHue -= 360.0f;
    }
    m_bHslValid = true;
}

void CHslColor::ToRgb() const {
    if (m_bRgbValid)
        return;
    if (m_fSaturation == 0.0f) {
        m_byRed = m_byGreen = m_byBlue = ToByte(m_fLightness);
    } else {
        const float l = m_fLightness, s = m_fSaturation;
        const float m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
        const float m1 = 2.0f * l - m2;
        m_byRed = ToByte(HueValue(m1, m2, m_fHue + 120.0f));
        m_byGreen = ToByte(HueValue(m1, m2, m_fHue));
        m_byBlue = ToByte(HueValue(m1, m2, m_fHue - 120.0f));
    }
    m_bRgbValid = true;
}

} // namespace vorn::checker
