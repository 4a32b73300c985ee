#pragma once

#include "ColourScale.h"
#include "StripGeometry.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What the temperature monitor remembers between runs, in the [SysEnv]
// section of "HeatgaugeMini.ini" in its start folder.
struct HeatgaugeSettings {
    WinRect place;      // "WndwPos": left top right bottom
    int wndAlpha = 100; // opacity in per cent; the menu sets 100, 80, 60, 40, 20
    int wndShow = 1;    // 0: faded out
    int wndTop = 1;     // stays on top of other windows
    int wndMouse = 1;   // 0: mouse input passes through the strip
    int maxTemp = 60;   // red end of the scale, 40 ... 80
    int minTemp = 0;    // blue end of the scale, 0 ... 30
    int baseColor = 40; // 0 ... 80
    // Not read by the old program; a file without them gets the defaults.
    int powerCheck = 1; // non-zero: a disk in standby is not read, so not woken
    int alertTemp = 0;  // a notification at this many degrees; 0: none
    // Non-zero: one tray icon for every disk instead of one per disk. A file
    // without the key keeps the icon per disk it always had.
    int oneTrayIcon = 0;

    ColourScale Scale() const { return {baseColor, minTemp, maxTemp}; }
};

// "<folder>/HeatgaugeMini.ini".
QString SettingsPath(const QString& folder);

// The settings of a profile file's text. Missing keys keep their defaults;
// a key with an empty value reads as -1, a value that is no number as 0,
// and the colour-scale keys are pulled into their ranges. A "WndwPos" that
// gives fewer than four numbers keeps defaultPlace's other fields.
HeatgaugeSettings ParseSettings(const QByteArray& profile, const WinRect& defaultPlace);

// profile with every key written: the place as "%d %d %d %d", the others
// as "%d", in the file's order; other sections and keys are kept.
QByteArray WriteSettings(const QByteArray& profile, const HeatgaugeSettings& settings);

// The file's bytes, empty when it cannot be read.
QByteArray ReadSettingsFile(const QString& path);
// The same, but a file that is there and cannot be read (too large, not a
// regular file, no permission) gives nothing, with *failure set to the
// reason (a code of SafeFile.h); no file at all reads as empty.
std::optional<QByteArray> ReadSettingsFile(const QString& path, int* failure);
// Replaces the file whole (a temporary file renamed over it), so a crash or
// a full disk leaves the old file. False when it could not be written, and
// when the file there could not be read: what it holds besides our keys
// would be lost, so it is never replaced.
bool SaveSettingsFile(const QString& path, const HeatgaugeSettings& settings);
