#include "ColourScale.h"

#include <algorithm>

namespace {

int Cap(int component) {
    return std::min(component, 255);
}

Rgb Capped(int red, int green, int blue) {
    return {Cap(red), Cap(green), Cap(blue)};
}

int Lighten(int c0, int s, int rings) {
    return Cap(static_cast<int>(c0 + (255.0 - c0) * s / rings));
}

} // namespace

Rgb ColourScale::Colour(int temperature) const {
    const int b = baseColor;
    const int t = std::clamp(temperature, minTemp, maxTemp);
    const int span = std::max(maxTemp - minTemp, 1);
    // Truncated toward zero, as the scale has always been computed.
    const int e = static_cast<int>(static_cast<double>(255 - b) * (t - minTemp) / span);
    return Capped(b + e, b, 255 - e);
}

Rgb ColourScale::Ball(int temperature) const {
    if (temperature == kUnknownTemperature)
        return Capped(baseColor + 40, baseColor + 40, baseColor + 40);
    return Colour(temperature);
}

Rgb ColourScale::Tray(int temperature) const {
    if (temperature == kUnknownTemperature)
        return {128, 128, 128};
    return Colour(temperature);
}

Rgb BallRing(const Rgb& rim, int s, int rings) {
    return {Lighten(rim.red, s, rings), Lighten(rim.green, s, rings), Lighten(rim.blue, s, rings)};
}
