#include "DriveDatabase.h"

#include "PosixRegex.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <cstring>
#include <optional>

namespace vorn::hdd {

namespace {

// The C text of the table, read as the tokens that matter: string literals
// (escapes decoded), braces and commas. Comments and preprocessor lines are
// passed over; anything else is a word the entry grammar rejects.
class CTokens {
public:
    enum Kind { String, Open, Close, Comma, Other, End, Unterminated };

    explicit CTokens(const QByteArray& text) : m_text(text) {}

    // A string's text is appended to *string, so adjacent literals join.
    Kind next(QByteArray* string) {
        skipSpace();
        m_tokenLine = m_line;
        if (m_pos >= m_text.size())
            return End;
        const char c = m_text[m_pos];
        if (c == '"')
            return readString(string);
        ++m_pos;
        switch (c) {
        case '{':
            return Open;
        case '}':
            return Close;
        case ',':
            return Comma;
        default:
            return Other;
        }
    }

    int line() const { return m_tokenLine; }

private:
    void skipSpace() {
        const qsizetype size = m_text.size();
        bool lineStart = m_pos == 0 || m_text[m_pos - 1] == '\n';
        while (m_pos < size) {
            const char c = m_text[m_pos];
            if (c == '\n') {
                ++m_line;
                ++m_pos;
                lineStart = true;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++m_pos;
            } else if (c == '#' && lineStart) {
                skipToLineEnd(true);
            } else if (c == '/' && m_pos + 1 < size && m_text[m_pos + 1] == '/') {
                skipToLineEnd(false);
            } else if (c == '/' && m_pos + 1 < size && m_text[m_pos + 1] == '*') {
                m_pos += 2;
                while (m_pos < size &&
                       !(m_text[m_pos] == '*' && m_pos + 1 < size && m_text[m_pos + 1] == '/')) {
                    m_line += m_text[m_pos] == '\n';
                    ++m_pos;
                }
                m_pos = qMin(size, m_pos + 2);
                lineStart = false;
            } else {
                return;
            }
        }
    }

    // To the line feed, which is left for skipSpace to count; a directive
    // continues past a line ending in a backslash.
    void skipToLineEnd(bool continued) {
        if (!continued) {
            const void* end = std::memchr(m_text.constData() + m_pos, '\n',
                                          static_cast<std::size_t>(m_text.size() - m_pos));
            m_pos = end ? static_cast<const char*>(end) - m_text.constData() : m_text.size();
            return;
        }
        while (m_pos < m_text.size() && m_text[m_pos] != '\n') {
            if (continued && m_text[m_pos] == '\\' && m_pos + 1 < m_text.size() &&
                m_text[m_pos + 1] == '\n') {
                ++m_line;
                m_pos += 2;
                continue;
            }
            ++m_pos;
        }
    }

    Kind readString(QByteArray* string) {
        const char* data = m_text.constData();
        const char* end = data + m_text.size();
        ++m_pos;
        for (;;) {
            const char* p = data + m_pos;
            while (p < end && *p != '"' && *p != '\\' && *p != '\n')
                ++p;
            string->append(data + m_pos, p - (data + m_pos));
            m_pos = p - data;
            if (p == end || *p == '\n')
                return Unterminated;
            ++m_pos;
            if (*p == '"')
                return String;
            if (m_pos >= m_text.size())
                return Unterminated;
            string->append(escape());
        }
    }

    // The character of the escape sequence after a backslash at m_pos.
    char escape() {
        const char c = m_text[m_pos++];
        switch (c) {
        case 'n':
            return '\n';
        case 't':
            return '\t';
        case 'r':
            return '\r';
        case 'a':
            return '\a';
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        case 'v':
            return '\v';
        case 'x': {
            int value = 0;
            while (m_pos < m_text.size() &&
                   std::isxdigit(static_cast<unsigned char>(m_text[m_pos]))) {
                const char d = m_text[m_pos++];
                value = value * 16 + (d <= '9' ? d - '0' : (d | 0x20) - 'a' + 10);
            }
            return static_cast<char>(value & 0xff);
        }
        default:
            if (c >= '0' && c <= '7') {
                int value = c - '0';
                for (int i = 0;
                     i < 2 && m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '7';
                     ++i)
                    value = value * 8 + (m_text[m_pos++] - '0');
                return static_cast<char>(value & 0xff);
            }
            return c; // \\ \" \' \? and anything else stand for themselves
        }
    }

    const QByteArray& m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_tokenLine = 1;
};

QString entryName(const DriveDatabaseEntry& entry) {
    return QStringLiteral("drive database line %1 (%2)")
        .arg(entry.line)
        .arg(entry.family.isEmpty() ? QStringLiteral("no family")
                                    : QString::fromUtf8(entry.family));
}

bool containsTemperature(const QString& name) {
    return name.contains(QLatin1String("temperature"), Qt::CaseInsensitive);
}

bool applies(const AttributePreset& preset, DriveMedium medium) {
    switch (preset.medium) {
    case PresetMedium::Any:
        return true;
    case PresetMedium::Hdd:
        return medium == DriveMedium::Hdd;
    case PresetMedium::Ssd:
        return medium == DriveMedium::Ssd;
    }
    return false;
}

PowerOnUnit powerOnUnitOf(RawFormat format) {
    switch (format) {
    case RawFormat::Min2Hour:
        return PowerOnUnit::Minutes;
    case RawFormat::Halfmin2Hour:
        return PowerOnUnit::HalfMinutes;
    case RawFormat::Sec2Hour:
        return PowerOnUnit::Seconds;
    case RawFormat::Msec24Hour32:
        return PowerOnUnit::HoursMsec;
    default:
        return PowerOnUnit::Hours;
    }
}

} // namespace

struct DriveDatabase::Compiled {
    enum State { Untried, Usable, Broken };
    State state = Untried;
    bool filterKnown = false;
    std::vector<QByteArray> prefixes; // empty: filtered by the first byte
    std::bitset<256> first;
    std::optional<PosixRegex> model;
    std::optional<PosixRegex> firmware;
    bool presetsParsed = false;
    std::unique_ptr<DrivePresets> presets;
};

DriveDatabase::DriveDatabase(std::vector<DriveDatabaseEntry> entries, QByteArray defaultPresets,
                             DriveDatabaseLog log)
    : m_entries(std::move(entries)), m_defaultPresetText(std::move(defaultPresets)),
      m_log(std::move(log)), m_compiled(m_entries.size()) {}

DriveDatabase::~DriveDatabase() = default;

bool DriveDatabase::entryMatches(std::size_t index, const QByteArray& model,
                                 const QByteArray& firmware) const {
    const DriveDatabaseEntry& entry = m_entries[index];
    Compiled& c = m_compiled[index];
    if (c.state == Compiled::Broken)
        return false;
    // Most expressions start with literal text a model either starts with or
    // not; only those it may match are compiled.
    if (!c.filterKnown) {
        c.prefixes = PosixRegex::literalPrefixes(entry.modelPattern);
        if (c.prefixes.empty())
            c.first = PosixRegex::possibleFirstBytes(entry.modelPattern);
        c.filterKnown = true;
    }
    if (!c.prefixes.empty()) {
        if (std::none_of(c.prefixes.begin(), c.prefixes.end(),
                         [&](const QByteArray& p) { return model.startsWith(p); }))
            return false;
    } else if (!model.isEmpty() && !c.first[static_cast<unsigned char>(model[0])]) {
        return false;
    }
    if (c.state == Compiled::Untried) {
        QString error;
        c.model = PosixRegex::compile(entry.modelPattern, &error);
        if (c.model && !entry.firmwarePattern.isEmpty()) {
            c.firmware = PosixRegex::compile(entry.firmwarePattern, &error);
            if (!c.firmware)
                error = QStringLiteral("firmware expression: ") + error;
        } else if (!c.model) {
            error = QStringLiteral("model expression: ") + error;
        }
        c.state = c.model && (entry.firmwarePattern.isEmpty() || c.firmware) ? Compiled::Usable
                                                                             : Compiled::Broken;
        if (c.state == Compiled::Broken) {
            if (m_log)
                m_log(entryName(entry) + QStringLiteral(": ") + error +
                      QStringLiteral("; left out"));
            return false;
        }
    }
    if (!c.model->matchesWhole(model))
        return false;
    if (c.firmware && !c.firmware->matchesWhole(firmware))
        return false;
    return presetsOf(index) != nullptr;
}

const DrivePresets* DriveDatabase::presetsOf(std::size_t index) const {
    Compiled& c = m_compiled[index];
    if (!c.presetsParsed) {
        c.presetsParsed = true;
        QString error;
        if (auto parsed = parseDrivePresets(m_entries[index].presets, &error)) {
            c.presets = std::make_unique<DrivePresets>(std::move(*parsed));
        } else {
            c.state = Compiled::Broken;
            if (m_log)
                m_log(entryName(m_entries[index]) + QStringLiteral(": ") + error +
                      QStringLiteral("; left out"));
        }
    }
    return c.presets.get();
}

int DriveDatabase::match(const QString& model, const QString& firmware) const {
    const QByteArray modelBytes = model.toUtf8();
    const QByteArray firmwareBytes = firmware.toUtf8();
    std::lock_guard<std::mutex> lock(m_mutex);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (entryMatches(i, modelBytes, firmwareBytes))
            return static_cast<int>(i);
    }
    return -1;
}

DriveKnowledge DriveDatabase::knowledge(const QString& model, const QString& firmware,
                                        DriveMedium medium) const {
    const int index = match(model, firmware);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_defaultsParsed) {
        m_defaultsParsed = true;
        QString error;
        if (auto parsed = parseDrivePresets(m_defaultPresetText, &error))
            m_defaults = std::make_unique<DrivePresets>(std::move(*parsed));
        else if (m_log)
            m_log(QStringLiteral("drive database DEFAULT entry: ") + error +
                  QStringLiteral("; its settings left out"));
    }
    const DrivePresets* own =
        index >= 0 ? m_compiled[static_cast<std::size_t>(index)].presets.get() : nullptr;
    DriveKnowledge knowledge = knowledgeFromPresets(m_defaults.get(), own, medium);
    if (index >= 0)
        knowledge.family = QString::fromUtf8(m_entries[static_cast<std::size_t>(index)].family);
    return knowledge;
}

DriveKnowledge knowledgeFromPresets(const DrivePresets* defaults, const DrivePresets* entry,
                                    DriveMedium medium) {
    DriveKnowledge knowledge;
    if (defaults) {
        for (const AttributePreset& p : defaults->attributes) {
            if (applies(p, medium))
                knowledge.attributes[p.id] = {p.format, p.name, false, p.byteOrder};
        }
    }
    if (!entry)
        return knowledge;
    knowledge.inDatabase = true;
    std::vector<int> temperatures;
    for (const AttributePreset& p : entry->attributes) {
        if (!applies(p, medium))
            continue;
        knowledge.attributes[p.id] = {p.format, p.name, true, p.byteOrder};
        if (p.id == 9)
            knowledge.powerOnUnit = powerOnUnitOf(p.format);
    }
    // Read from the map, so a later setting of an id overrides an earlier one.
    for (const auto& [id, a] : knowledge.attributes) {
        if (!a.fromModelEntry)
            continue;
        if (a.format == RawFormat::TempMinMax || a.format == RawFormat::Temp10x ||
            containsTemperature(a.name))
            temperatures.push_back(id);
    }
    // 194 is the standard's place; 190 is often the air flow beside it.
    for (int preferred : {194, 190}) {
        if (std::find(temperatures.begin(), temperatures.end(), preferred) != temperatures.end()) {
            knowledge.temperatureId = preferred;
            return knowledge;
        }
    }
    knowledge.temperatureId = temperatures.empty() ? 0 : temperatures.front();
    return knowledge;
}

std::shared_ptr<const DriveDatabase> parseDriveDatabase(const QByteArray& text,
                                                        const DriveDatabaseLog& log) {
    std::vector<DriveDatabaseEntry> entries;
    QByteArray defaults;
    CTokens tokens(text);
    const auto report = [&](int line, const QString& what) {
        if (log)
            log(QStringLiteral("drive database line %1: %2; left out").arg(line).arg(what));
    };

    QByteArray field;
    CTokens::Kind kind = tokens.next(&field);
    while (kind != CTokens::End) {
        if (kind == CTokens::Unterminated) {
            report(tokens.line(), QStringLiteral("unterminated string, the rest of the file"));
            break;
        }
        if (kind != CTokens::Open) {
            field.clear();
            kind = tokens.next(&field);
            continue;
        }
        const int line = tokens.line();
        std::vector<QByteArray> fields;
        fields.reserve(5);
        field.clear();
        bool inField = false;
        bool wellFormed = true;
        int depth = 0;
        kind = tokens.next(&field);
        if (kind == CTokens::Open)
            continue; // the array's own brace: its first entry opens here
        for (;; kind = tokens.next(&field)) {
            if (kind == CTokens::End || kind == CTokens::Unterminated)
                break;
            if (kind == CTokens::Open) {
                wellFormed = false;
                ++depth;
            } else if (kind == CTokens::Close) {
                if (depth-- == 0)
                    break;
            } else if (depth > 0) {
                continue;
            } else if (kind == CTokens::String) {
                inField = true;
            } else if (kind == CTokens::Comma) {
                wellFormed = wellFormed && inField;
                fields.push_back(std::move(field));
                field.clear();
                inField = false;
            } else {
                wellFormed = false;
            }
        }
        if (kind != CTokens::Close) {
            report(line, QStringLiteral("entry not closed, nor the rest of the file read"));
            break;
        }
        if (inField)
            fields.push_back(std::move(field));
        field.clear();
        kind = tokens.next(&field);
        if (!wellFormed || fields.size() != 5) {
            report(line, QStringLiteral("entry is not five strings"));
            continue;
        }
        const QByteArray& family = fields[0];
        if (family.startsWith("VERSION") || family.startsWith("USB:") || family.startsWith('$'))
            continue;
        if (family == "DEFAULT") {
            defaults = fields[4];
            continue;
        }
        entries.push_back({line, fields[0], fields[1], fields[2], fields[3], fields[4]});
    }
    return std::make_shared<const DriveDatabase>(std::move(entries), std::move(defaults), log);
}

} // namespace vorn::hdd
