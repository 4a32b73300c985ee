#include "AttributeTable.h"

#include <QRegularExpression>

namespace realworld {

namespace {

constexpr int kMaxEntries = 30;

// FLAGS as letters: one per bit 0-5 in this order, '+' for any higher bit.
unsigned flagsFromLetters(const QString& letters) {
    static const char kLetters[] = "POSRCK";
    unsigned flags = 0;
    for (int bit = 0; bit < 6; ++bit) {
        if (letters[bit] == QLatin1Char(kLetters[bit]))
            flags |= 1u << bit;
    }
    if (letters.size() > 6)
        flags |= 0x0040;
    return flags;
}

std::optional<int> byteColumn(const QString& text) {
    if (text == QLatin1String("---"))
        return std::nullopt;
    return text.toInt();
}

void seal(QByteArray* sector) {
    std::uint8_t sum = 0;
    for (int i = 0; i < 511; ++i)
        sum = std::uint8_t(sum + std::uint8_t((*sector)[i]));
    (*sector)[511] = char(std::uint8_t(0x100 - sum));
}

} // namespace

std::optional<AttributeTable> parseAttributeTable(const QStringList& lines, QString* error) {
    error->clear();
    int at = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String("ID# ATTRIBUTE_NAME"))) {
            at = i;
            break;
        }
    }
    if (at < 0)
        return std::nullopt;

    AttributeTable table;
    static const QRegularExpression revision(
        QStringLiteral("^SMART Attributes Data Structure revision number: (\\d+)"));
    for (int i = 0; i < at; ++i) {
        if (const auto m = revision.match(lines[i]); m.hasMatch())
            table.revision = m.captured(1).toInt();
    }

    static const QRegularExpression lettered(
        QStringLiteral("^\\s*(\\d{1,3}) (\\S+)\\s+([P-][O-][S-][R-][C-][K-]\\+?)\\s+"
                       "(\\d{3})\\s+(\\d{3})\\s+(\\d{3}|---)\\s+(-|NOW|Past)\\s+(\\S.*?)\\s*$"));
    static const QRegularExpression wide(QStringLiteral(
        "^\\s*(\\d{1,3}) (\\S+)\\s+0x([0-9a-f]{4})\\s+(\\d{3})\\s+(\\d{3})\\s+(\\d{3}|---)\\s+"
        "(?:Pre-fail|Old_age)\\s+(?:Always|Offline)\\s+(-|FAILING_NOW|In_the_past)\\s+(\\S.*?)\\s*"
        "$"));
    for (int i = at + 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('|')))
            break;
        AttributeRow row;
        QString failed;
        if (const auto m = lettered.match(line); m.hasMatch()) {
            row.flags = flagsFromLetters(m.captured(3));
            failed = m.captured(7);
            row.rawText = m.captured(8);
            row.id = m.captured(1).toInt();
            row.name = m.captured(2);
            row.current = m.captured(4).toInt();
            row.worst = m.captured(5).toInt();
            row.threshold = byteColumn(m.captured(6));
        } else if (const auto w = wide.match(line); w.hasMatch()) {
            row.flags = w.captured(3).toUInt(nullptr, 16);
            failed = w.captured(7);
            row.rawText = w.captured(8);
            row.id = w.captured(1).toInt();
            row.name = w.captured(2);
            row.current = w.captured(4).toInt();
            row.worst = w.captured(5).toInt();
            row.threshold = byteColumn(w.captured(6));
        } else {
            // The legend under the table starts with blanks and bars.
            if (line.startsWith(QLatin1String("    ")))
                break;
            *error = QStringLiteral("attribute row not read: ") + line;
            return std::nullopt;
        }
        if (failed == QLatin1String("NOW") || failed == QLatin1String("FAILING_NOW"))
            row.whenFailed = WhenFailed::Now;
        else if (failed == QLatin1String("Past") || failed == QLatin1String("In_the_past"))
            row.whenFailed = WhenFailed::Past;
        const std::optional<EncodedRaw> raw = encodeRawText(row.name, row.rawText);
        if (!raw || row.id == 0 || row.id > 255 || row.current > 255 || row.worst > 255 ||
            row.threshold.value_or(0) > 255) {
            *error = QStringLiteral("raw value not encodable: ") + line.trimmed();
            return std::nullopt;
        }
        row.raw = *raw;
        table.rows.push_back(row);
    }
    if (table.rows.size() > std::size_t(kMaxEntries)) {
        *error = QStringLiteral("more attributes than a sector holds");
        return std::nullopt;
    }
    return table;
}

QByteArray smartDataSector(const AttributeTable& table) {
    QByteArray s(512, '\0');
    s[0] = char(table.revision & 0xFF);
    s[1] = char(table.revision >> 8);
    for (std::size_t k = 0; k < table.rows.size(); ++k) {
        const AttributeRow& row = table.rows[k];
        const int at = 2 + 12 * int(k);
        s[at] = char(row.id);
        s[at + 1] = char(row.flags & 0xFF);
        s[at + 2] = char(row.flags >> 8);
        s[at + 3] = char(row.current);
        s[at + 4] = char(row.worst);
        for (int i = 0; i < 6; ++i)
            s[at + 5 + i] = char(row.raw.bytes[std::size_t(i)]);
        s[at + 11] = char(row.raw.reserved);
    }
    s[368] = 0x03; // attributes saved before power saving, auto-save
    seal(&s);
    return s;
}

QByteArray smartThresholdsSector(const AttributeTable& table) {
    QByteArray s(512, '\0');
    s[0] = char(table.revision & 0xFF);
    s[1] = char(table.revision >> 8);
    for (std::size_t k = 0; k < table.rows.size(); ++k) {
        const AttributeRow& row = table.rows[k];
        // "---": the entry did not name this attribute.
        if (!row.threshold)
            continue;
        const int at = 2 + 12 * int(k);
        s[at] = char(row.id);
        s[at + 1] = char(*row.threshold);
    }
    seal(&s);
    return s;
}

} // namespace realworld
