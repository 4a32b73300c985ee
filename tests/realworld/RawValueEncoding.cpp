#include "RawValueEncoding.h"

#include <QRegularExpression>

#include <functional>
#include <vector>

namespace realworld {

std::uint64_t EncodedRaw::raw48() const {
    std::uint64_t value = 0;
    for (int i = 5; i >= 0; --i)
        value = (value << 8) | bytes[std::size_t(i)];
    return value;
}

namespace {

constexpr std::uint64_t kMax48 = (std::uint64_t{1} << 48) - 1;

// The captures of one match as unsigned numbers; false when one does not
// fit 64 bits.
bool numbers(const QRegularExpressionMatch& m, std::vector<std::uint64_t>* out) {
    for (int i = 1; i <= m.lastCapturedIndex(); ++i) {
        bool ok = false;
        const qulonglong v = m.captured(i).toULongLong(&ok, 10);
        if (!ok)
            return false;
        out->push_back(v);
    }
    return true;
}

void putBytes(EncodedRaw* raw, int first, int count, std::uint64_t value) {
    for (int i = 0; i < count; ++i)
        raw->bytes[std::size_t(first + i)] = std::uint8_t(value >> (8 * i));
}

// A temperature byte as smartctl reads it: a signed char.
bool fitsSignedByte(const QString& text, std::uint8_t* out) {
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok || v < -128 || v > 255)
        return false;
    *out = std::uint8_t(v);
    return true;
}

using Encoder =
    std::function<bool(const QRegularExpressionMatch&, const QString& name, EncodedRaw*)>;

struct Shape {
    QRegularExpression pattern;
    Encoder encode;
};

bool plain(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    std::vector<std::uint64_t> n;
    if (!numbers(m, &n))
        return false;
    putBytes(raw, 0, 6, n[0]);
    raw->reserved = std::uint8_t(n[0] >> 48);
    raw->format = n[0] > kMax48 ? QStringLiteral("raw56") : QStringLiteral("raw48");
    return n[0] >> 56 == 0;
}

bool tempRange(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    std::uint8_t t = 0, lo = 0, hi = 0;
    if (!fitsSignedByte(m.captured(1), &t) || !fitsSignedByte(m.captured(2), &lo) ||
        !fitsSignedByte(m.captured(3), &hi))
        return false;
    raw->bytes = {t, 0, lo, hi, 0, 0};
    raw->format = QStringLiteral("tempminmax");
    if (m.lastCapturedIndex() == 4) {
        // The count of times over the limit rides in the top word.
        bool ok = false;
        const uint count = m.captured(4).toUInt(&ok, 10);
        if (!ok || count > 0x7FFE)
            return false;
        putBytes(raw, 4, 2, count);
    }
    return true;
}

bool tempBytes(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    std::uint8_t t = 0;
    std::vector<std::uint64_t> n;
    if (!fitsSignedByte(m.captured(1), &t))
        return false;
    for (int i = 2; i <= 6; ++i)
        n.push_back(m.captured(i).toULongLong());
    for (std::uint64_t b : n) {
        if (b > 0xFF)
            return false;
    }
    // Printed from byte 5 down to byte 1.
    raw->bytes = {t,
                  std::uint8_t(n[4]),
                  std::uint8_t(n[3]),
                  std::uint8_t(n[2]),
                  std::uint8_t(n[1]),
                  std::uint8_t(n[0])};
    raw->format = QStringLiteral("tempminmax");
    return true;
}

bool raw24raw8(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    std::vector<std::uint64_t> n;
    if (!numbers(m, &n) || n[0] > 0xFFFFFF || n[1] > 0xFF || n[2] > 0xFF || n[3] > 0xFF)
        return false;
    putBytes(raw, 0, 3, n[0]);
    raw->bytes[5] = std::uint8_t(n[1]);
    raw->bytes[4] = std::uint8_t(n[2]);
    raw->bytes[3] = std::uint8_t(n[3]);
    raw->format = QStringLiteral("raw24(raw8)");
    return true;
}

bool raw16raw16(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    std::vector<std::uint64_t> n;
    if (!numbers(m, &n) || n[0] > 0xFFFF || n[1] > 0xFFFF || n[2] > 0xFFFF)
        return false;
    putBytes(raw, 0, 2, n[0]);
    putBytes(raw, 4, 2, n[1]);
    putBytes(raw, 2, 2, n[2]);
    raw->format = QStringLiteral("raw16(raw16)");
    return true;
}

bool raw16avg16(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    std::vector<std::uint64_t> n;
    if (!numbers(m, &n) || n[0] > 0xFFFF || n[1] > 0xFFFF)
        return false;
    putBytes(raw, 0, 2, n[0]);
    putBytes(raw, 2, 2, n[1]);
    raw->format = QStringLiteral("raw16(avg16)");
    return true;
}

bool raw16(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    std::vector<std::uint64_t> n;
    if (!numbers(m, &n))
        return false;
    // Printed from the top word down.
    for (int k = 0; k < 3; ++k) {
        if (n[std::size_t(k)] > 0xFFFF)
            return false;
        putBytes(raw, 2 * (2 - k), 2, n[std::size_t(k)]);
    }
    raw->format = QStringLiteral("raw16");
    return true;
}

bool raw8(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    std::vector<std::uint64_t> n;
    if (!numbers(m, &n))
        return false;
    for (int k = 0; k < 6; ++k) {
        if (n[std::size_t(k)] > 0xFF)
            return false;
        raw->bytes[std::size_t(5 - k)] = std::uint8_t(n[std::size_t(k)]);
    }
    raw->format = QStringLiteral("raw8");
    return true;
}

bool pair(const QRegularExpressionMatch& m, const QString& name, EncodedRaw* raw) {
    std::vector<std::uint64_t> n;
    if (!numbers(m, &n))
        return false;
    const bool loadCounter = name.contains(QLatin1String("Load"), Qt::CaseInsensitive);
    if (loadCounter) {
        if (n[0] > 0xFFFFFF || n[1] > 0xFFFFFF)
            return false;
        putBytes(raw, 0, 3, n[1]);
        putBytes(raw, 3, 3, n[0]);
        raw->format = QStringLiteral("raw24/raw24");
        return true;
    }
    if (n[0] > 0xFFFFFF || n[1] > 0xFFFFFFFFu)
        return false;
    putBytes(raw, 0, 4, n[1]);
    putBytes(raw, 4, 2, n[0]);
    raw->reserved = std::uint8_t(n[0] >> 16);
    raw->format = QStringLiteral("raw24/raw32");
    return true;
}

bool hoursMsec(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    std::vector<std::uint64_t> n;
    if (!numbers(m, &n) || n[0] > 0xFFFFFFFFu)
        return false;
    const std::uint64_t msec = n[1] * 60000 + n[2] * 1000 + n[3];
    if (msec > 0xFFFFFF)
        return false;
    putBytes(raw, 0, 4, n[0]);
    putBytes(raw, 4, 2, msec);
    raw->reserved = std::uint8_t(msec >> 16);
    raw->format = QStringLiteral("msec24hour32");
    return true;
}

bool seconds(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    std::vector<std::uint64_t> n;
    if (!numbers(m, &n) || n[1] > 59 || n[2] > 59)
        return false;
    const std::uint64_t total = n[0] * 3600 + n[1] * 60 + n[2];
    if (total > kMax48)
        return false;
    putBytes(raw, 0, 6, total);
    raw->format = QStringLiteral("sec2hour");
    return true;
}

bool minutes(const QRegularExpressionMatch& m, const QString& name, EncodedRaw* raw) {
    std::vector<std::uint64_t> n;
    if (!numbers(m, &n) || n[1] > 59)
        return false;
    if (name.contains(QLatin1String("Half"), Qt::CaseInsensitive)) {
        // Half a minute the print drops; the even count is one that prints so.
        const std::uint64_t halves = n[0] * 120 + n[1] * 2;
        if (n.size() > 2 || halves > kMax48)
            return false;
        putBytes(raw, 0, 6, halves);
        raw->format = QStringLiteral("halfmin2hour");
        return true;
    }
    const std::uint64_t total = n[0] * 60 + n[1];
    if (total > 0xFFFFFFFFu)
        return false;
    putBytes(raw, 0, 4, total);
    if (n.size() > 2) {
        if (n[2] == 0 || n[2] > 0xFFFF)
            return false;
        putBytes(raw, 4, 2, n[2]);
    }
    raw->format = QStringLiteral("min2hour");
    return true;
}

bool hex(const QRegularExpressionMatch& m, const QString&, EncodedRaw* raw) {
    const QString digits = m.captured(1);
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, 16);
    if (!ok)
        return false;
    putBytes(raw, 0, 6, value);
    if (digits.size() == 12) {
        raw->format = QStringLiteral("hex48");
    } else if (digits.size() == 14) {
        raw->reserved = std::uint8_t(value >> 48);
        raw->format = QStringLiteral("hex56");
    } else {
        // The 64-bit dump ends in the worst and current values, which the
        // importer does not move; only the top six bytes are the raw ones.
        return false;
    }
    return true;
}

const std::vector<Shape>& shapes() {
    static const std::vector<Shape> table = {
        {QRegularExpression(QStringLiteral("^(\\d+)$")), plain},
        {QRegularExpression(QStringLiteral("^(-?\\d+) \\(Min/Max (-?\\d+)/(-?\\d+)\\)$")),
         tempRange},
        {QRegularExpression(QStringLiteral("^(-?\\d+) \\(Min/Max (-?\\d+)/(-?\\d+) #(\\d+)\\)$")),
         tempRange},
        {QRegularExpression(QStringLiteral("^(-?\\d+) \\((\\d+) (\\d+) (\\d+) (\\d+) (\\d+)\\)$")),
         tempBytes},
        {QRegularExpression(QStringLiteral("^(\\d+) \\((\\d+) (\\d+) (\\d+)\\)$")), raw24raw8},
        {QRegularExpression(QStringLiteral("^(\\d+) \\((\\d+) (\\d+)\\)$")), raw16raw16},
        {QRegularExpression(QStringLiteral("^(\\d+) \\(Average (\\d+)\\)$")), raw16avg16},
        {QRegularExpression(QStringLiteral("^(\\d+) (\\d+) (\\d+)$")), raw16},
        {QRegularExpression(QStringLiteral("^(\\d+) (\\d+) (\\d+) (\\d+) (\\d+) (\\d+)$")), raw8},
        {QRegularExpression(QStringLiteral("^(\\d+)/(\\d+)$")), pair},
        {QRegularExpression(QStringLiteral("^(\\d+)h\\+(\\d+)m\\+(\\d+)\\.(\\d{3})s$")), hoursMsec},
        {QRegularExpression(QStringLiteral("^(\\d+)h\\+(\\d{2})m\\+(\\d{2})s$")), seconds},
        {QRegularExpression(QStringLiteral("^(\\d+)h\\+(\\d{2})m$")), minutes},
        {QRegularExpression(QStringLiteral("^(\\d+)h\\+(\\d{2})m \\((\\d+)\\)$")), minutes},
        {QRegularExpression(QStringLiteral("^0x([0-9a-f]{12}|[0-9a-f]{14}|[0-9a-f]{16})$")), hex},
    };
    return table;
}

} // namespace

std::optional<EncodedRaw> encodeRawText(const QString& name, const QString& text) {
    for (const Shape& shape : shapes()) {
        const QRegularExpressionMatch m = shape.pattern.match(text);
        if (!m.hasMatch())
            continue;
        EncodedRaw raw;
        if (shape.encode(m, name, &raw))
            return raw;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace realworld
