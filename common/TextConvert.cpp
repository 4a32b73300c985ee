#include "TextConvert.h"

#include <QDir>

#include <cstring>

namespace {

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(QByteArray& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Done here rather than by QString so that the one character UTF-8 cannot
// hold (a surrogate without its partner) reliably becomes "?".
QByteArray toUtf8(const char16_t* text) {
    QByteArray out;
    for (std::size_t i = 0; text[i] != 0; ++i) {
        const char16_t unit = text[i];
        if (isHighSurrogate(unit) && isLowSurrogate(text[i + 1])) {
            appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            out += '?';
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

} // namespace

extern "C" {

char* Cm_FromUnicode(const char16_t* text) {
    if (!text)
        return nullptr;
    const QByteArray bytes = toUtf8(text);
    auto* copy = new char[static_cast<std::size_t>(bytes.size()) + 1];
    std::memcpy(copy, bytes.constData(), static_cast<std::size_t>(bytes.size()) + 1);
    return copy;
}

char16_t* Cm_ToUnicode(const char* text) {
    if (!text)
        return nullptr;
    const QString wide = QString::fromUtf8(text);
    auto* copy = new char16_t[static_cast<std::size_t>(wide.size()) + 1];
    std::memcpy(copy, wide.utf16(), (static_cast<std::size_t>(wide.size()) + 1) * sizeof(char16_t));
    return copy;
}

char16_t* Cm_PathAddBackslash(char16_t* path) {
    if (!path)
        return nullptr;
    std::size_t length = 0;
    while (path[length] != 0)
        ++length;
    if (length > 0 && path[length - 1] != u'/') {
        path[length++] = u'/';
        path[length] = 0;
    }
    return path + length;
}
}

QString Cm_CurrentDirectory() {
    QString path = QDir::currentPath();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// Folding maps each UTF-16 unit to one unit, so texts of different lengths
// never match, and two ASCII units match only as ASCII letters do.
bool Cm_SameTextIgnoringCase(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    const char16_t* x = reinterpret_cast<const char16_t*>(a.utf16());
    const char16_t* y = reinterpret_cast<const char16_t*>(b.utf16());
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (x[i] == y[i])
            continue;
        if (x[i] >= 0x80 || y[i] >= 0x80)
            return a.compare(b, Qt::CaseInsensitive) == 0;
        if (foldAscii(x[i]) != foldAscii(y[i]))
            return false;
    }
    return true;
}
