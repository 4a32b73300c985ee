#pragma once

// The colour of a temperature, shared by the strip's balls and the tray
// icons: blue at the low end of the scale, red at the high end, with the
// base component in the other two channels.

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb& o) const {
        return red == o.red && green == o.green && blue == o.blue;
    }
};

struct ColourScale {
    int baseColor = 40; // 0 ... 80 after the settings' ranges
    int minTemp = 0;    // 0 ... 30
    int maxTemp = 60;   // 40 ... 80

    // The scale colour of a known temperature. Temperatures beyond the ends
    // saturate at the end colours, so an over-hot disk is as red as the
    // scale gets instead of wrapping into some other colour.
    Rgb Colour(int temperature) const;

    // A ball's rim: the scale colour, or a light grey for an unknown (-1)
    // temperature.
    Rgb Ball(int temperature) const;
    // A tray icon's square: the scale colour, or mid grey when unknown.
    Rgb Tray(int temperature) const;
};

// Ring s (0 at the rim) of a ball of rings rings: the rim colour lightened
// toward white, each component capped at 255.
Rgb BallRing(const Rgb& rim, int s, int rings);

constexpr int kUnknownTemperature = -1;
