#include "HeatgaugeSettings.h"

#include "LeadingNumber.h"
#include "ProfileText.h"
#include "SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string_view>

namespace {

const QByteArray kSection("SysEnv");
// The profile functions were called with room for 125 characters.
constexpr int kValueRoom = 125;

// One signed decimal number as the C library reads it, from at: blanks, a
// sign, digits. Saturates at the 32-bit range. at moves past the number;
// false (at unchanged) when there are no digits.
bool ReadNumber(const QByteArray& text, int* at, int* number) {
    const std::string_view rest(text.constData() + *at, std::size_t(text.size() - *at));
    const vorn::LeadingNumber read = vorn::readLeadingNumber(rest, INT_MIN, INT_MAX);
    if (read.status == vorn::LeadingNumber::NoDigits)
        return false;
    *number = static_cast<int>(read.saturated);
    *at += static_cast<int>(read.end);
    return true;
}

int IntegerValue(const CProfileText& profile, const char* key, int fallback) {
    const std::optional<QByteArray> text = profile.Value(kSection, key);
    if (!text)
        return fallback;
    if (text->isEmpty())
        return -1;
    int at = 0;
    int number = 0;
    ReadNumber(text->left(kValueRoom), &at, &number);
    return number;
}

QByteArray Number(int value) {
    return QByteArray::number(value);
}

} // namespace

QString SettingsPath(const QString& folder) {
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + QStringLiteral("HeatgaugeMini.ini");
}

HeatgaugeSettings ParseSettings(const QByteArray& bytes, const WinRect& defaultPlace) {
    const CProfileText profile(bytes);
    HeatgaugeSettings s;
    s.place = defaultPlace;
    if (const std::optional<QByteArray> pos = profile.Value(kSection, "WndwPos")) {
        const QByteArray text = pos->left(kValueRoom);
        int at = 0;
        for (int* field : {&s.place.left, &s.place.top, &s.place.right, &s.place.bottom}) {
            if (!ReadNumber(text, &at, field))
                break;
        }
    }
    s.wndAlpha = IntegerValue(profile, "WndAlpha", s.wndAlpha);
    s.wndShow = IntegerValue(profile, "WndShow", s.wndShow);
    s.wndTop = IntegerValue(profile, "WndTop", s.wndTop);
    s.wndMouse = IntegerValue(profile, "WndMouse", s.wndMouse);
    s.maxTemp = std::clamp(IntegerValue(profile, "MaxTemp", s.maxTemp), 40, 80);
    s.minTemp = std::clamp(IntegerValue(profile, "MinTemp", s.minTemp), 0, 30);
    s.baseColor = std::clamp(IntegerValue(profile, "BaseColor", s.baseColor), 0, 80);
    s.powerCheck = IntegerValue(profile, "PowerCheck", s.powerCheck);
    s.alertTemp = std::max(IntegerValue(profile, "AlertTemp", s.alertTemp), 0);
    s.oneTrayIcon = IntegerValue(profile, "OneTrayIcon", s.oneTrayIcon);
    return s;
}

QByteArray WriteSettings(const QByteArray& bytes, const HeatgaugeSettings& s) {
    CProfileText profile(bytes);
    const WinRect& p = s.place;
    profile.SetValue(kSection, "WndwPos",
                     Number(p.left) + ' ' + Number(p.top) + ' ' + Number(p.right) + ' ' +
                         Number(p.bottom));
    profile.SetValue(kSection, "WndAlpha", Number(s.wndAlpha));
    profile.SetValue(kSection, "WndShow", Number(s.wndShow));
    profile.SetValue(kSection, "WndTop", Number(s.wndTop));
    profile.SetValue(kSection, "WndMouse", Number(s.wndMouse));
    profile.SetValue(kSection, "MaxTemp", Number(s.maxTemp));
    profile.SetValue(kSection, "MinTemp", Number(s.minTemp));
    profile.SetValue(kSection, "BaseColor", Number(s.baseColor));
    // The newer keys appear only once they matter, so a file the old program
    // wrote keeps its text.
    const HeatgaugeSettings defaults;
    if (s.powerCheck != defaults.powerCheck || profile.Value(kSection, "PowerCheck"))
        profile.SetValue(kSection, "PowerCheck", Number(s.powerCheck));
    if (s.alertTemp != defaults.alertTemp || profile.Value(kSection, "AlertTemp"))
        profile.SetValue(kSection, "AlertTemp", Number(s.alertTemp));
    if (s.oneTrayIcon != defaults.oneTrayIcon || profile.Value(kSection, "OneTrayIcon"))
        profile.SetValue(kSection, "OneTrayIcon", Number(s.oneTrayIcon));
    return profile.Bytes();
}

// A few lines of settings; anything larger, or not a regular file, is not
// ours and reads as no settings.
constexpr qint64 kSettingsMaxBytes = 64 * 1024;

QByteArray ReadSettingsFile(const QString& path) {
    return Cm_ReadBoundedFile(path, kSettingsMaxBytes).value_or(QByteArray());
}

std::optional<QByteArray> ReadSettingsFile(const QString& path, int* failure) {
    std::optional<QByteArray> bytes = Cm_ReadBoundedFile(path, kSettingsMaxBytes, failure);
    if (!bytes && *failure == ENOENT)
        return QByteArray();
    return bytes;
}

bool SaveSettingsFile(const QString& path, const HeatgaugeSettings& settings) {
    int failure = 0;
    const std::optional<QByteArray> old = ReadSettingsFile(path, &failure);
    if (!old)
        return false;
    // Never through a link someone planted at the settings file's name.
    return Cm_ReplaceFile(path, WriteSettings(*old, settings)) == 0;
}
