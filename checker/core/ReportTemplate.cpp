#include "ReportTemplate.h"

#include "ByteOrder.h"
#include "LeadingNumber.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace vorn::checker {

namespace {

// fgets with a 1024-byte buffer stores at most 1023 bytes of a line.
constexpr int kMaxLineBytes = 1023;

QByteArray textModeRead(const QByteArray& raw) {
    QByteArray text = raw;
    text.replace("\r\n", "\n");
    return text;
}

QByteArray textModeWrite(const QByteArray& text) {
    QByteArray stored = text;
    stored.replace("\n", "\r\n");
    return stored;
}

TemplateFieldType fieldType(const QByteArray& name) {
    if (name == "WORD")
        return TemplateFieldType::Word;
    if (name == "DWORD")
        return TemplateFieldType::Dword;
    if (name == "INT64")
        return TemplateFieldType::Int64;
    if (name == "CHAR")
        return TemplateFieldType::Char;
    if (name == "BYTE")
        return TemplateFieldType::Byte;
    return TemplateFieldType::Unknown;
}

int valueSize(TemplateFieldType type) {
    switch (type) {
    case TemplateFieldType::Word:
        return 2;
    case TemplateFieldType::Dword:
        return 4;
    case TemplateFieldType::Int64:
        return 8;
    case TemplateFieldType::Char:
    case TemplateFieldType::Byte:
        return 1;
    case TemplateFieldType::Unknown:
        break;
    }
    return 0;
}

// Reads the image strictly front to back and refuses any value that would
// reach past its end.
class ImageCursor {
public:
    ImageCursor(const BYTE* image, std::size_t size) : m_image(image), m_size(image ? size : 0) {}

    bool fits(int bytes) const { return m_size - m_offset >= static_cast<std::size_t>(bytes); }

    // A value that does not fit ends the image for every later line too, so
    // no later line prints bytes out of their place in the layout.
    void exhaust() { m_offset = m_size; }

    std::uint64_t take(int bytes) {
        const std::uint64_t value = vorn::le::readUnsigned<std::uint64_t>(
            m_image, m_size, m_offset, static_cast<std::size_t>(bytes));
        m_offset += static_cast<std::size_t>(bytes);
        return value;
    }

private:
    const BYTE* m_image;
    std::size_t m_size;
    std::size_t m_offset = 0;
};

// The formats are those of the C runtime; on this platform long is 64-bit,
// which changes nothing since every value printed with %ld fits 32 bits.
void appendValues(QByteArray& out, const TemplateLine& line, ImageCursor& cursor) {
    const int size = valueSize(line.type);
    if (size == 0)
        return;
    const int values = line.type == TemplateFieldType::Char ? line.length : line.count;
    const bool single = values == 1;
    for (int i = 0; i < values; ++i) {
        if (!cursor.fits(size)) {
            cursor.exhaust();
            return;
        }
        const std::uint64_t v = cursor.take(size);
        const auto low32 = static_cast<std::uint32_t>(v);
        char text[64];
        int written = 0;
        switch (line.type) {
        case TemplateFieldType::Word:
            written = single ? std::snprintf(text, sizeof text, "%-8ld\t%04x", static_cast<long>(v),
                                             static_cast<unsigned>(v))
                             : std::snprintf(text, sizeof text, "%-8ld ", static_cast<long>(v));
            break;
        case TemplateFieldType::Dword: {
            // The 32-bit pattern is printed as a signed number.
            const long s = static_cast<std::int32_t>(low32);
            written = single ? std::snprintf(text, sizeof text, "%-8ld\t%04x", s,
                                             static_cast<unsigned>(low32))
                             : std::snprintf(text, sizeof text, "%-8ld ", s);
            break;
        }
        case TemplateFieldType::Int64: {
            const auto s = static_cast<long long>(v);
            written = single ? std::snprintf(text, sizeof text, "%-16lld\t%08x", s,
                                             static_cast<unsigned>(low32))
                             : std::snprintf(text, sizeof text, "%-16lld ", s);
            break;
        }
        case TemplateFieldType::Char:
            // Identity strings are meant to be printable ASCII; a disk that
            // pads with zeros or sends garbage must not make the report a
            // binary file that tools and editors refuse as text.
            out.append(v >= 0x20 && v < 0x7F ? static_cast<char>(v) : '.');
            break;
        case TemplateFieldType::Byte:
            written = std::snprintf(text, sizeof text, "%02x", static_cast<unsigned>(v));
            break;
        case TemplateFieldType::Unknown:
            return;
        }
        if (written > 0)
            out.append(text, std::min<int>(written, sizeof text - 1));
    }
}

} // namespace

std::optional<TemplateLine> ParseTemplateLine(const QByteArray& line) {
    // The line is a C string: anything after a zero byte is not there.
    const QByteArray text = line.left(line.indexOf('\0') < 0 ? line.size() : line.indexOf('\0'));
    const int first = text.indexOf(',');
    if (first < 0)
        return std::nullopt;
    const int second = text.indexOf(',', first + 1);
    if (second < 0)
        return std::nullopt;
    const int third = text.indexOf(',', second + 1);
    if (third < 0)
        return std::nullopt;
    TemplateLine parsed;
    parsed.label = text.left(first);
    parsed.type = fieldType(text.mid(first + 1, second - first - 1));
    // A number beyond int reads as the end of the range it passed, as the
    // templates were always read; TemplateLineSize then asks for more than
    // any image holds.
    const auto number = [&text](int from, int length) {
        const QByteArray field = text.mid(from, length);
        return static_cast<int>(
            vorn::readLeadingNumber(std::string_view(field.constData(), std::size_t(field.size())),
                                    INT_MIN, INT_MAX)
                .saturated);
    };
    parsed.length = number(second + 1, third - second - 1);
    parsed.count = number(third + 1, -1);
    return parsed;
}

long long TemplateLineSize(const TemplateLine& line) {
    const int values = line.type == TemplateFieldType::Char ? line.length : line.count;
    return values > 0 ? static_cast<long long>(values) * valueSize(line.type) : 0;
}

ReportExpansion ExpandReportTemplate(const QByteArray& templateFile, const BYTE* image,
                                     std::size_t imageSize) {
    ReportExpansion result{{}, 0, 0, false};
    const QByteArray text = textModeRead(templateFile);
    ImageCursor cursor(image, imageSize);
    QByteArray report;
    int pos = 0;
    while (pos < text.size()) {
        const int lineFeed = text.indexOf('\n', pos);
        const int lineEnd = lineFeed < 0 ? text.size() : lineFeed + 1;
        const int take = std::min(lineEnd - pos, kMaxLineBytes);
        const QByteArray line = text.mid(pos, take);
        pos += take;

        const std::optional<TemplateLine> parsed = ParseTemplateLine(line);
        if (!parsed) {
            result.endedEarly = true;
            break;
        }
        report.append(parsed->label);
        appendValues(report, *parsed, cursor);
        report.append('\n');
        result.bytesRequested += TemplateLineSize(*parsed);
        ++result.linesExpanded;
    }
    result.report = textModeWrite(report);
    return result;
}

} // namespace vorn::checker
