#include "AttributeDescription.h"

#include "ByteOrder.h"
#include "CsvLine.h"
#include "LeadingNumber.h"
#include "SafeFile.h"
#include "TextConvert.h"
#include "Translation.h"
#include "WideText.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <climits>
#include <string_view>
#include <vector>

namespace vorn::checker {

namespace {

// fgetws with a 1024-unit buffer stores at most 1023 units of a line.
constexpr std::size_t kMaxLineUnits = 1023;
constexpr int kFieldBuffers = 4;
constexpr int kFieldsRead = 3;

std::vector<char16_t> utf16Units(const QByteArray& bytes) {
    std::vector<char16_t> units(static_cast<std::size_t>(bytes.size()) / 2);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(vorn::le::read16(data, 2 * units.size(), 2 * i));
    return units;
}

// Owns the analyser's malloc'ed field blocks for one lookup.
class CsvFields {
public:
    CsvFields() { Cm_CSVAlloc(m_fields.data(), kFieldBuffers); }
    ~CsvFields() { Cm_CSVFree(m_fields.data(), kFieldBuffers); }
    CsvFields(const CsvFields&) = delete;
    CsvFields& operator=(const CsvFields&) = delete;

    char16_t** data() { return m_fields.data(); }
    const char16_t* operator[](int index) const { return m_fields[index]; }

private:
    std::array<char16_t*, kFieldBuffers> m_fields{};
};

} // namespace

QString AttributeDescriptionPath(const QString& startDir, InterfaceLanguage language) {
    if (startDir.isEmpty())
        return QString();
    return startDir +
           QStringLiteral("/Template/VornDiskInfo.Smart.%1.txt").arg(Cm_LanguageCode(language));
}

QString FindAttributeDescription(const QByteArray& fileBytes, int id) {
    const std::vector<char16_t> units = utf16Units(fileBytes);
    CsvFields fields;
    std::array<char16_t, kMaxLineUnits + 1> line{};
    std::size_t pos = 0;
    while (pos < units.size()) {
        std::size_t length = 0;
        while (length < kMaxLineUnits && pos < units.size()) {
            const char16_t unit = units[pos++];
            line[length++] = unit;
            if (unit == u'\n')
                break;
        }
        line[length] = 0;
        // The analyser empties all three fields before it stores any, so a
        // line with fewer fields reads ID 0 or an empty text where it is short.
        Cm_CSVAnalyze(line.data(), fields.data(), kFieldsRead, u',', u'"');
        const std::u16string_view first = fields[0] ? fields[0] : u"";
        if (vorn::readLeadingNumber(first, INT_MIN, INT_MAX).saturated == id)
            return Cm_FromWide(fields[2]);
    }
    return QString();
}

QString LookupAttributeDescription(const QString& startDir, int id) {
    const InterfaceLanguage language = Cm_InterfaceLanguage();
    const QString path = AttributeDescriptionPath(startDir, language);
    if (path.isEmpty())
        return QString();
    int error = 0;
    auto bytes = Cm_ReadBoundedFile(path, 1 << 20, &error);
    // A portable folder from before the English file still explains in
    // Japanese rather than not at all.
    if (!bytes && error == ENOENT && language != InterfaceLanguage::Japanese)
        bytes = Cm_ReadBoundedFile(AttributeDescriptionPath(startDir, InterfaceLanguage::Japanese),
                                   1 << 20);
    return bytes ? FindAttributeDescription(*bytes, id) : QString();
}

QString LookupAttributeDescription(int id) {
    return LookupAttributeDescription(Cm_CurrentDirectory(), id);
}

} // namespace vorn::checker
