#include "TextConvert.h"

#include <QHash>

#include <unicode/ucol.h>

#include <vector>

namespace {

constexpr char16_t kIdeographicSpace = 0x3000;
constexpr char16_t kVoicedMark = 0x3099; // combining
constexpr char16_t kSemiVoicedMark = 0x309A;
constexpr char16_t kVoicedMarkSpacing = 0x309B;
constexpr char16_t kSemiVoicedMarkSpacing = 0x309C;
constexpr char16_t kHalfVoicedMark = 0xFF9E;
constexpr char16_t kHalfSemiVoicedMark = 0xFF9F;

// Width pairs read from the Unicode data that Qt carries: the <wide> forms of
// ASCII and the signs, the <narrow> forms of katakana and CJK punctuation.
struct WidthPairs {
    QHash<char16_t, char16_t> toHalf;
    QHash<char16_t, char16_t> toFull;

    WidthPairs() {
        const auto add = [this](char16_t half, char16_t full) {
            toHalf.insert(full, half);
            toFull.insert(half, full);
        };
        for (char16_t c = 0xFF01; c <= 0xFFE6; ++c) {
            const QChar ch(c);
            const QString base = ch.decomposition();
            if (base.size() != 1)
                continue;
            const char16_t other = base.at(0).unicode();
            if (ch.decompositionTag() == QChar::Wide)
                add(other, c);
            else if (ch.decompositionTag() == QChar::Narrow && c >= 0xFF61 && c <= 0xFF9F)
                add(c, other);
        }
        add(u' ', kIdeographicSpace);
        // Alone, the half-width marks stand for the spacing full-width marks.
        toFull.insert(kHalfVoicedMark, kVoicedMarkSpacing);
        toFull.insert(kHalfSemiVoicedMark, kSemiVoicedMarkSpacing);
        toHalf.insert(kVoicedMarkSpacing, kHalfVoicedMark);
        toHalf.insert(kSemiVoicedMarkSpacing, kHalfSemiVoicedMark);
    }
};

const WidthPairs& widthPairs() {
    static const WidthPairs pairs;
    return pairs;
}

QString toKatakana(QString text) {
    for (QChar& ch : text) {
        const char16_t c = ch.unicode();
        if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
            ch = QChar(char16_t(c + 0x60));
    }
    return text;
}

QString toHiragana(QString text) {
    for (QChar& ch : text) {
        const char16_t c = ch.unicode();
        if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE)
            ch = QChar(char16_t(c - 0x60));
    }
    return text;
}

QString toHalfWidth(const QString& text) {
    const WidthPairs& pairs = widthPairs();
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (const auto half = pairs.toHalf.constFind(c); half != pairs.toHalf.cend()) {
            out += QChar(*half);
            continue;
        }
        // A voiced kana has no half-width form of its own: base plus mark.
        const QString parts = ch.decomposition();
        if (ch.decompositionTag() == QChar::Canonical && parts.size() == 2 &&
            (parts.at(1) == QChar(kVoicedMark) || parts.at(1) == QChar(kSemiVoicedMark)) &&
            pairs.toHalf.contains(parts.at(0).unicode())) {
            out += QChar(pairs.toHalf.value(parts.at(0).unicode()));
            out += QChar(parts.at(1) == QChar(kVoicedMark) ? kHalfVoicedMark : kHalfSemiVoicedMark);
            continue;
        }
        out += ch;
    }
    return out;
}

QString toFullWidth(const QString& text) {
    const WidthPairs& pairs = widthPairs();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const auto full = pairs.toFull.constFind(c);
        if (full == pairs.toFull.cend()) {
            out += text.at(i);
            continue;
        }
        if (i + 1 < text.size()) {
            const char16_t next = text.at(i + 1).unicode();
            if (next == kHalfVoicedMark || next == kHalfSemiVoicedMark) {
                const char16_t mark = next == kHalfVoicedMark ? kVoicedMark : kSemiVoicedMark;
                const QString composed =
                    (QString(QChar(*full)) + QChar(mark)).normalized(QString::NormalizationForm_C);
                if (composed.size() == 1) {
                    out += composed;
                    ++i;
                    continue;
                }
            }
        }
        out += QChar(*full);
    }
    return out;
}

QString reverseBytes(QString text) {
    for (QChar& ch : text)
        ch = QChar(char16_t((ch.unicode() >> 8) | (ch.unicode() << 8)));
    return text;
}

QString collationKey(const QString& text) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("", &status);
    if (U_FAILURE(status))
        return QString();
    const auto* units = reinterpret_cast<const UChar*>(text.utf16());
    const auto length = static_cast<int32_t>(text.size());
    std::vector<uint8_t> key(
        static_cast<std::size_t>(ucol_getSortKey(collator, units, length, nullptr, 0)));
    if (!key.empty())
        ucol_getSortKey(collator, units, length, key.data(), static_cast<int32_t>(key.size()));
    ucol_close(collator);

    QString packed;
    packed.reserve(static_cast<qsizetype>(key.size()));
    for (const uint8_t byte : key) {
        if (byte == 0)
            break;
        packed += QChar(char16_t(byte));
    }
    return packed;
}

bool both(BYTE flags, BYTE a, BYTE b) {
    return (flags & a) && (flags & b);
}

} // namespace

QString Cm_ConvStr(const char16_t* text, BYTE flags) {
    if (!text)
        return QString();
    if (both(flags, CM_CONV_HIRAGANA, CM_CONV_KATAKANA) ||
        both(flags, CM_CONV_HALFWIDTH, CM_CONV_FULLWIDTH) ||
        both(flags, CM_CONV_LOWERCASE, CM_CONV_UPPERCASE) ||
        ((flags & CM_CONV_SORTKEY) && flags != CM_CONV_SORTKEY))
        return QString();

    QString result = QString::fromUtf16(text);
    if (flags & CM_CONV_SORTKEY)
        return collationKey(result);
    if (flags & CM_CONV_HIRAGANA)
        result = toHiragana(result);
    if (flags & CM_CONV_KATAKANA)
        result = toKatakana(result);
    if (flags & CM_CONV_HALFWIDTH)
        result = toHalfWidth(result);
    if (flags & CM_CONV_FULLWIDTH)
        result = toFullWidth(result);
    if (flags & CM_CONV_LOWERCASE)
        result = result.toLower();
    if (flags & CM_CONV_UPPERCASE)
        result = result.toUpper();
    if (flags & CM_CONV_BYTEREV)
        result = reverseBytes(result);
    return result;
}
