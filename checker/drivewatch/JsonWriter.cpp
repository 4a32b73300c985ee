#include "JsonWriter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocale>
#include <QVariant>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

namespace vorn::drivewatch {

namespace {

const char kHex[] = "0123456789abcdef";

// Room for `length` more bytes behind the text, without writing them: the
// array doubles in place (realloc, so the pages written so far are not
// touched again), and Qt's append path, which is an insert, is not taken.
template <typename Text> char* Room(Text* out, qsizetype length) {
    if (out->size + length > out->bytes.size())
        out->bytes.resize(std::max<qsizetype>(2 * out->bytes.size(), out->size + length + 4096));
    return out->bytes.data() + out->size;
}

template <typename Text> void Put(Text* out, const char* text, qsizetype length) {
    std::memcpy(Room(out, length), text, std::size_t(length));
    out->size += length;
}

template <typename Text> void Put(Text* out, char c) {
    *Room(out, 1) = c;
    ++out->size;
}

char* WriteEscape(char* cursor, char16_t unit) {
    const char escape[] = {'\\',
                           'u',
                           kHex[(unit >> 12) & 0xF],
                           kHex[(unit >> 8) & 0xF],
                           kHex[(unit >> 4) & 0xF],
                           kHex[unit & 0xF]};
    std::memcpy(cursor, escape, sizeof escape);
    return cursor + sizeof escape;
}

// UTF-8 as it is, with the escapes JSON needs; a lone surrogate cannot be
// UTF-8 and is written as an escape, as Qt does. Written in place behind
// room for the longest outcome, six bytes per unit.
template <typename Text> void AppendString(Text* out, const QString& text) {
    char* const start = Room(out, 2 + 6 * text.size());
    char* p = start;
    *p++ = '"';
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype count = text.size();
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t u = units[i];
        if (u < 0x80) {
            const char plain = static_cast<char>(u);
            switch (u) {
            case '"':
            case '\\':
                *p++ = '\\';
                *p++ = plain;
                break;
            case '\b':
                *p++ = '\\';
                *p++ = 'b';
                break;
            case '\f':
                *p++ = '\\';
                *p++ = 'f';
                break;
            case '\n':
                *p++ = '\\';
                *p++ = 'n';
                break;
            case '\r':
                *p++ = '\\';
                *p++ = 'r';
                break;
            case '\t':
                *p++ = '\\';
                *p++ = 't';
                break;
            default:
                if (u < 0x20)
                    p = WriteEscape(p, u);
                else
                    *p++ = plain;
            }
        } else if (u < 0x800) {
            *p++ = static_cast<char>(0xC0 | (u >> 6));
            *p++ = static_cast<char>(0x80 | (u & 0x3F));
        } else if (QChar::isHighSurrogate(u) && i + 1 < count &&
                   QChar::isLowSurrogate(units[i + 1])) {
            const char32_t code = QChar::surrogateToUcs4(u, units[++i]);
            *p++ = static_cast<char>(0xF0 | (code >> 18));
            *p++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (code & 0x3F));
        } else if (QChar::isSurrogate(u)) {
            p = WriteEscape(p, u);
        } else {
            *p++ = static_cast<char>(0xE0 | (u >> 12));
            *p++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    *p++ = '"';
    out->size += p - start;
}

} // namespace

void CJsonWriter::Indent(int depth) {
    static const char spaces[] = "                                ";
    qsizetype count = static_cast<qsizetype>(depth) * 4;
    for (; count > 0; count -= qsizetype(sizeof spaces - 1))
        Put(&m_out, spaces, std::min(count, qsizetype(sizeof spaces - 1)));
}

// Every member or element is written as a whole line ending in ",\n"; the
// container's close takes back the last comma. Whole lines can be put in
// another order without rewriting them.
void CJsonWriter::BeginValue() {
    if (m_levels.empty())
        return;
    Level& level = m_levels.back();
    Q_ASSERT(!level.object || m_key);
    const qsizetype begin = m_out.size;
    const std::size_t indent = m_levels.size() * 4;
    const std::size_t keyLength = level.object ? std::strlen(m_key) : 0;
    // The line's head in one piece: a document of many disks has tens of
    // thousands of them, and each append is a call into the library.
    char head[128];
    if (indent + keyLength + 4 <= sizeof head) {
        std::memset(head, ' ', indent);
        std::size_t used = indent;
        if (level.object) {
            head[used++] = '"';
            std::memcpy(head + used, m_key, keyLength);
            used += keyLength;
            std::memcpy(head + used, "\": ", 3);
            used += 3;
        }
        Put(&m_out, head, qsizetype(used));
    } else {
        Indent(static_cast<int>(m_levels.size()));
        if (level.object) {
            Put(&m_out, '"');
            Put(&m_out, m_key, qsizetype(keyLength));
            Put(&m_out, "\": ", 3);
        }
    }
    if (level.inKeyOrder) {
        Q_ASSERT(!level.lastKey || std::strcmp(level.lastKey, m_key) < 0);
        level.lastKey = m_key;
        m_key = nullptr;
    } else if (level.object) {
        m_members.push_back({m_key, begin});
        m_key = nullptr;
    }
    ++level.count;
}

void CJsonWriter::EndValue() {
    if (!m_levels.empty())
        Put(&m_out, ",\n", 2);
}

void CJsonWriter::Open(bool object, bool inKeyOrder) {
    BeginValue();
    Put(&m_out, object ? "{\n" : "[\n", 2);
    m_levels.push_back(Level{object, object && inKeyOrder, 0, m_members.size(), nullptr});
}

void CJsonWriter::Close() {
    const Level level = m_levels.back();
    if (level.object && !level.inKeyOrder) {
        SortMembers(level);
        m_members.resize(level.firstMember);
    }
    if (level.count > 0) {
        m_out.size -= 2;
        Put(&m_out, '\n');
    }
    m_levels.pop_back();
    Indent(static_cast<int>(m_levels.size()));
    Put(&m_out, level.object ? '}' : ']');
    EndValue();
}

void CJsonWriter::SortMembers(const Level& level) {
    const auto less = [](const Member& a, const Member& b) {
        return std::strcmp(a.key, b.key) < 0;
    };
    const auto first = m_members.begin() + std::ptrdiff_t(level.firstMember);
    if (std::is_sorted(first, m_members.end(), less))
        return;
    // The members' lines follow one another up to the end of the text.
    const qsizetype start = first->begin;
    const QByteArray lines = m_out.bytes.mid(start, m_out.size - start);
    std::vector<std::pair<Member, qsizetype>> spans; // member and its length
    for (auto it = first; it != m_members.end(); ++it) {
        const qsizetype end = it + 1 != m_members.end() ? (it + 1)->begin : m_out.size;
        spans.push_back({*it, end - it->begin});
    }
    std::stable_sort(spans.begin(), spans.end(),
                     [&](const auto& a, const auto& b) { return less(a.first, b.first); });
    m_out.size = start;
    for (const auto& [member, length] : spans)
        Put(&m_out, lines.constData() + (member.begin - start), length);
}

void CJsonWriter::BeginObject(Members members) {
    Open(true, members == Members::InKeyOrder);
}

void CJsonWriter::EndObject() {
    Q_ASSERT(!m_levels.empty() && m_levels.back().object);
    Close();
}

void CJsonWriter::BeginArray() {
    Open(false);
}

void CJsonWriter::EndArray() {
    Q_ASSERT(!m_levels.empty() && !m_levels.back().object);
    Close();
}

CJsonWriter& CJsonWriter::Key(const char* name) {
    m_key = name;
    return *this;
}

void CJsonWriter::Value(qint64 number) {
    BeginValue();
    char digits[24];
    char* end = std::to_chars(digits, digits + 21, number).ptr;
    if (!m_levels.empty()) { // the separator EndValue() writes, in the same append
        *end++ = ',';
        *end++ = '\n';
    }
    Put(&m_out, digits, end - digits);
}

void CJsonWriter::Value(bool truth) {
    BeginValue();
    Put(&m_out, truth ? "true" : "false", truth ? 4 : 5);
    EndValue();
}

void CJsonWriter::Value(double number) {
    if (!std::isfinite(number)) {
        Null();
        return;
    }
    BeginValue();
    const QByteArray text = QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
    Put(&m_out, text.constData(), text.size());
    EndValue();
}

void CJsonWriter::Value(const QString& text) {
    BeginValue();
    AppendString(&m_out, text);
    EndValue();
}

void CJsonWriter::Null() {
    BeginValue();
    Put(&m_out, "null", 4);
    EndValue();
}

void CJsonWriter::Value(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Bool:
        Value(value.toBool());
        return;
    case QJsonValue::Double:
        if (value.toVariant().typeId() == QMetaType::LongLong)
            Value(value.toInteger());
        else
            Value(value.toDouble());
        return;
    case QJsonValue::String:
        Value(value.toString());
        return;
    case QJsonValue::Array:
        BeginArray();
        for (const QJsonValue& element : value.toArray())
            Value(element);
        EndArray();
        return;
    case QJsonValue::Object: {
        // Keys must outlive the object's close; QJsonObject hands them out
        // in order already, so nothing is sorted here.
        const QJsonObject object = value.toObject();
        std::vector<QByteArray> keys;
        keys.reserve(static_cast<std::size_t>(object.size()));
        BeginObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            keys.push_back(it.key().toUtf8());
            Key(keys.back().constData()).Value(it.value());
        }
        EndObject();
        return;
    }
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        Null();
        return;
    }
}

QByteArray CJsonWriter::TakeWritten() {
    // Members of objects that sort record where their lines start; those
    // objects hold the only text that may still move.
    if (!m_members.empty())
        return QByteArray();
    const bool separatorBehind = m_out.size >= 2 && m_out.bytes[m_out.size - 2] == ',' &&
                                 m_out.bytes[m_out.size - 1] == '\n';
    const qsizetype length = separatorBehind ? m_out.size - 2 : m_out.size;
    QByteArray written(m_out.bytes.constData(), length);
    std::memmove(m_out.bytes.data(), m_out.bytes.constData() + length,
                 std::size_t(m_out.size - length));
    m_out.size -= length;
    return written;
}

QByteArray CJsonWriter::Take() {
    Q_ASSERT(m_levels.empty());
    Put(&m_out, '\n');
    // Handed over, not copied: the document of a large machine is hundreds
    // of kilobytes.
    m_out.bytes.resize(m_out.size);
    m_out.size = 0;
    return std::exchange(m_out.bytes, QByteArray());
}

} // namespace vorn::drivewatch
