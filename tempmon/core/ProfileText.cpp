#include "ProfileText.h"

namespace {

const QByteArray kCrLf("\r\n");

QByteArray Blankless(const QByteArray& text) {
    int from = 0;
    int to = text.size();
    while (from < to && (text[from] == ' ' || text[from] == '\t'))
        ++from;
    while (to > from && (text[to - 1] == ' ' || text[to - 1] == '\t'))
        --to;
    return text.mid(from, to - from);
}

bool IsHeader(const QByteArray& text) {
    return Blankless(text).startsWith('[');
}

QByteArray HeaderName(const QByteArray& text) {
    const QByteArray line = Blankless(text);
    const int close = line.indexOf(']');
    return Blankless(line.mid(1, close < 0 ? -1 : close - 1));
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

CProfileText::CProfileText(const QByteArray& bytes) {
    int at = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        m_bom = bytes.left(3);
        at = 3;
    }
    while (at < bytes.size()) {
        int end = at;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        Line line{bytes.mid(at, end - at), QByteArray()};
        if (end < bytes.size()) {
            const int length =
                bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
            line.end = bytes.mid(end, length);
            end += length;
        }
        m_lines.push_back(line);
        at = end;
    }
}

int CProfileText::FindSection(const QByteArray& section) const {
    for (int i = 0; i < int(m_lines.size()); ++i) {
        if (IsHeader(m_lines[i].text) && SameName(HeaderName(m_lines[i].text), section))
            return i;
    }
    return -1;
}

int CProfileText::FindKey(int header, const QByteArray& key) const {
    for (int i = header + 1; i < int(m_lines.size()) && !IsHeader(m_lines[i].text); ++i) {
        const QByteArray& text = m_lines[i].text;
        const int equals = text.indexOf('=');
        if (equals >= 0 && SameName(Blankless(text.left(equals)), key))
            return i;
    }
    return -1;
}

int CProfileText::SectionEnd(int header) const {
    int end = header + 1;
    for (int i = header + 1; i < int(m_lines.size()) && !IsHeader(m_lines[i].text); ++i) {
        if (!Blankless(m_lines[i].text).isEmpty())
            end = i + 1;
    }
    return end;
}

std::optional<QByteArray> CProfileText::Value(const QByteArray& section,
                                              const QByteArray& key) const {
    const int header = FindSection(section);
    const int line = header < 0 ? -1 : FindKey(header, key);
    if (line < 0)
        return std::nullopt;
    const QByteArray& text = m_lines[line].text;
    QByteArray value = Blankless(text.mid(text.indexOf('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

void CProfileText::SetValue(const QByteArray& section, const QByteArray& key,
                            const QByteArray& value) {
    const Line keyLine{key + '=' + value, kCrLf};
    const int header = FindSection(section);
    if (header < 0) {
        if (!m_lines.empty() && m_lines.back().end.isEmpty())
            m_lines.back().end = kCrLf;
        m_lines.push_back({'[' + section + ']', kCrLf});
        m_lines.push_back(keyLine);
        return;
    }
    const int line = FindKey(header, key);
    if (line >= 0) {
        m_lines[line] = keyLine;
        return;
    }
    const int end = SectionEnd(header);
    if (m_lines[end - 1].end.isEmpty())
        m_lines[end - 1].end = kCrLf;
    m_lines.insert(m_lines.begin() + end, keyLine);
}

QByteArray CProfileText::Bytes() const {
    QByteArray bytes = m_bom;
    for (const Line& line : m_lines)
        bytes += line.text + line.end;
    return bytes;
}
