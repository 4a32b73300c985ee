// The raw value of an attribute as the drive database's formats print it,
// character for character as the system's S.M.A.R.T. tools show it, so the
// two can be read side by side.
#include "DriveKnowledge.h"
#include "DrivePresets.h"

#include <cstdarg>
#include <cstdio>

namespace vorn::hdd {

namespace {

constexpr std::size_t kRawOffset = 5;
constexpr std::size_t kReservedOffset = 11;

// The bytes the order string names, most significant first, as one number.
std::uint64_t orderedValue(const AttributeBytes& entry, const QByteArray& order) {
    std::uint64_t value = 0;
    for (char c : order) {
        BYTE b = 0;
        if (c >= '0' && c <= '5')
            b = entry[kRawOffset + static_cast<std::size_t>(c - '0')];
        else if (c == 'r')
            b = entry[kReservedOffset];
        else if (c == 'v')
            b = entry[3];
        else if (c == 'w')
            b = entry[4];
        value = (value << 8) | b;
    }
    return value;
}

unsigned byteAt(std::uint64_t v, int i) {
    return static_cast<unsigned>((v >> (8 * i)) & 0xff);
}

unsigned wordAt(std::uint64_t v, int i) {
    return static_cast<unsigned>((v >> (16 * i)) & 0xffff);
}

QString format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
QString format(const char* pattern, ...) {
    char text[96];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return QString::fromLatin1(text);
}

// Whether high is what a sign extension of low would put beside it.
bool extendsSign(unsigned high, unsigned low) {
    return high == ((low & 0x80) ? 0xffu : 0x00u);
}

int signedByte(unsigned b) {
    return b >= 0x80 ? static_cast<int>(b) - 256 : static_cast<int>(b);
}

// The current temperature in byte 0, with a minimum and maximum (and on some
// drives a count of times over the limit) in one of the layouts drives use,
// bytes 5 to 0:
//   xx HH xx LL xx TT   (or LL and HH the other way round; xx: 00 or ff)
//   00 00 HH LL xx TT
//   00 00 00 HH LL TT
//   CC CC HH LL xx TT   (CC CC: the count)
// When none fits, or the minimum and maximum do not enclose the current
// value, the five upper bytes are printed as they are.
RawValue temperatureMinMax(std::uint64_t v) {
    unsigned b[6];
    for (int i = 0; i < 6; ++i)
        b[i] = byteAt(v, i);
    const int t = (b[0] & 0x80) && b[1] == 0xff ? signedByte(b[0]) : static_cast<int>(b[0]);
    RawValue out;
    out.value = t > 0 ? static_cast<std::uint64_t>(t) : 0;
    out.text = QString::number(t);
    if (!b[1] && !b[2] && !b[3] && !b[4] && !b[5])
        return out;

    int lo = 0, hi = 0;
    int count = -1;
    bool fits = true;
    if (extendsSign(b[1], b[0]) && extendsSign(b[3], b[2]) && extendsSign(b[5], b[4])) {
        lo = signedByte(b[2]);
        hi = signedByte(b[4]);
        if (lo > hi)
            std::swap(lo, hi);
    } else if (!b[5] && !b[4] && extendsSign(b[1], b[0])) {
        lo = signedByte(b[2]);
        hi = signedByte(b[3]);
    } else if (!b[5] && !b[4] && !b[3]) {
        lo = signedByte(b[1]);
        hi = signedByte(b[2]);
    } else if (extendsSign(b[1], b[0])) {
        lo = signedByte(b[2]);
        hi = signedByte(b[3]);
        count = static_cast<int>(wordAt(v, 2));
    } else {
        fits = false;
    }
    if (fits && lo <= t && t <= hi) {
        out.text += format(" (Min/Max %d/%d", lo, hi);
        if (count >= 0)
            out.text += format(" #%d", count);
        out.text += QLatin1Char(')');
    } else {
        out.text += format(" (%u %u %u %u %u)", b[5], b[4], b[3], b[2], b[1]);
    }
    return out;
}

// A power-on counter in hours and minutes (and seconds), with the word
// above the 32-bit counter in brackets when the drive sets it.
RawValue timeCounter(std::uint64_t v, unsigned secondsPerUnit, bool withSeconds) {
    const std::uint64_t seconds = (v & 0xffffffffu) * secondsPerUnit;
    RawValue out;
    out.value = seconds / 3600;
    out.text =
        withSeconds
            ? format("%lluh+%02llum+%02llus", static_cast<unsigned long long>(seconds / 3600),
                     static_cast<unsigned long long>(seconds / 60 % 60),
                     static_cast<unsigned long long>(seconds % 60))
            : format("%lluh+%02llum", static_cast<unsigned long long>(seconds / 3600),
                     static_cast<unsigned long long>(seconds / 60 % 60));
    if (const unsigned high = wordAt(v, 2))
        out.text += format(" (%u)", high);
    return out;
}

} // namespace

RawValue decodeRaw(RawFormat rawFormat, const AttributeBytes& entry, const QByteArray& byteOrder) {
    const std::uint64_t v =
        orderedValue(entry, byteOrder.isEmpty() ? defaultByteOrder(rawFormat) : byteOrder);
    const auto ull = [](std::uint64_t x) { return static_cast<unsigned long long>(x); };
    RawValue out;
    switch (rawFormat) {
    case RawFormat::Raw48:
    case RawFormat::Raw56:
    case RawFormat::Raw64:
        out = {v, QString::number(v)};
        break;
    case RawFormat::Hex48:
        out = {v, format("0x%012llx", ull(v))};
        break;
    case RawFormat::Hex56:
        out = {v, format("0x%014llx", ull(v))};
        break;
    case RawFormat::Hex64:
        out = {v, format("0x%016llx", ull(v))};
        break;
    case RawFormat::Raw8:
        out = {byteAt(v, 5), format("%u %u %u %u %u %u", byteAt(v, 5), byteAt(v, 4), byteAt(v, 3),
                                    byteAt(v, 2), byteAt(v, 1), byteAt(v, 0))};
        break;
    case RawFormat::Raw16:
        out = {wordAt(v, 2), format("%u %u %u", wordAt(v, 2), wordAt(v, 1), wordAt(v, 0))};
        break;
    case RawFormat::Raw16Raw16:
        out = {wordAt(v, 0), QString::number(wordAt(v, 0))};
        if (wordAt(v, 1) || wordAt(v, 2))
            out.text += format(" (%u %u)", wordAt(v, 2), wordAt(v, 1));
        break;
    case RawFormat::Raw16Avg16:
        out = {wordAt(v, 0), QString::number(wordAt(v, 0))};
        if (wordAt(v, 1))
            out.text += format(" (Average %u)", wordAt(v, 1));
        break;
    case RawFormat::Raw24Raw8:
        out = {v & 0xffffff, QString::number(v & 0xffffff)};
        if (v >> 24)
            out.text += format(" (%u %u %u)", byteAt(v, 5), byteAt(v, 4), byteAt(v, 3));
        break;
    case RawFormat::Raw24Raw24:
        out = {(v >> 24) & 0xffffff,
               format("%llu/%llu", ull((v >> 24) & 0xffffff), ull(v & 0xffffff))};
        break;
    case RawFormat::Raw24Raw32:
        out = {(v >> 32) & 0xffffff,
               format("%llu/%llu", ull((v >> 32) & 0xffffff), ull(v & 0xffffffff))};
        break;
    case RawFormat::Sec2Hour:
        out = timeCounter(v, 1, true);
        break;
    case RawFormat::Min2Hour:
        out = timeCounter(v, 60, false);
        break;
    case RawFormat::Halfmin2Hour:
        out = timeCounter(v, 30, false);
        break;
    case RawFormat::Msec24Hour32: {
        const std::uint64_t hours = v & 0xffffffffu;
        const std::uint64_t msec = (v >> 32) & 0xffffff;
        out = {hours, format("%lluh+%02llum+%02llu.%03llus", ull(hours), ull(msec / 60000),
                             ull(msec / 1000 % 60), ull(msec % 1000))};
        break;
    }
    case RawFormat::TempMinMax:
        out = temperatureMinMax(v);
        break;
    case RawFormat::Temp10x: {
        const unsigned tenths = wordAt(v, 0);
        out = {tenths / 10, format("%u.%u", tenths / 10, tenths % 10)};
        break;
    }
    }
    return out;
}

RawValue decodeRaw(RawFormat format, const AttributeBytes& entry) {
    return decodeRaw(format, entry, QByteArray());
}

RawValue decodeRaw(const AttributeKnowledge& knowledge, const AttributeBytes& entry) {
    return decodeRaw(knowledge.format, entry, knowledge.byteOrder);
}

} // namespace vorn::hdd
