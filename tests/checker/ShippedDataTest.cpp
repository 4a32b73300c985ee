#include "AttributeDescription.h"
#include "PanelText.h"
#include "ReportTemplate.h"
#include "ShippedFiles.h"
#include "Translation.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <array>
#include <cstring>

using namespace vorn::checker;

// The data files under data/Template are what users get; these tests hold
// them to the formats the checker reads.

namespace {

using Image = std::array<BYTE, 512>;

QByteArray shipped(const char* name) {
    QFile file(QStringLiteral(VORN_SOURCE_ROOT "/data/Template/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// The report line whose label contains the text, without its line end.
QByteArray reportLine(const QByteArray& report, const char* labelText) {
    for (const QByteArray& line : report.split('\n')) {
        if (line.contains(labelText))
            return line.endsWith('\r') ? line.chopped(1) : line;
    }
    ADD_FAILURE() << "no line for " << labelText;
    return QByteArray();
}

void put(Image& image, std::size_t offset, const char* text) {
    std::memcpy(image.data() + offset, text, std::strlen(text));
}

} // namespace

TEST(ShippedTemplates, EachLaysOutExactly512Bytes) {
    for (const char* name : {"HddInfo.temp", "HddSmartAtr.temp", "HddSmartThr.temp"}) {
        const QByteArray text = shipped(name);
        QList<QByteArray> lines = text.split('\n');
        ASSERT_TRUE(lines.last().isEmpty()) << name << " ends with a line feed";
        lines.removeLast();
        long long bytes = 0;
        for (const QByteArray& line : lines) {
            const auto parsed = ParseTemplateLine(line);
            ASSERT_TRUE(parsed) << name << ": " << line.constData();
            // Headings are the only lines of unknown type, and take no bytes.
            if (parsed->type == TemplateFieldType::Unknown)
                EXPECT_TRUE(line.contains(",TITLE,0,0")) << name << ": " << line.constData();
            else
                EXPECT_GT(TemplateLineSize(*parsed), 0) << name << ": " << line.constData();
            bytes += TemplateLineSize(*parsed);
        }
        EXPECT_EQ(bytes, 512) << name;

        const Image image{};
        const ReportExpansion result = ExpandReportTemplate(text, image.data(), image.size());
        EXPECT_FALSE(result.endedEarly) << name;
        EXPECT_EQ(result.linesExpanded, lines.size()) << name;
        EXPECT_EQ(result.bytesRequested, 512) << name;
    }
}

TEST(ShippedTemplates, IdentifyFieldsSitAtTheirAtaOffsets) {
    Image image{};
    put(image, 20, "SER-0123456789ABCDEF");                    // words 10-19
    put(image, 46, "FW1.02AB");                                // words 23-26
    put(image, 54, "MODEL-NUMBER-OF-FORTY-CHARACTERS-123456"); // words 27-46
    put(image, 120, "\xFF\xFF\xFF\x0F");                       // words 60-61
    put(image, 170, "\x01");                                   // word 85
    put(image, 200, "\x30\x60\x38\x3A");                       // words 100-103
    put(image, 510, "\xA5\x5C");                               // signature and checksum
    const QByteArray report =
        ExpandReportTemplate(shipped("HddInfo.temp"), image.data(), 512).report;
    EXPECT_TRUE(reportLine(report, "Serial number").endsWith("SER-0123456789ABCDEF"));
    EXPECT_TRUE(reportLine(report, "Firmware revision").endsWith("FW1.02AB"));
    EXPECT_TRUE(reportLine(report, "Model number")
                    .endsWith("MODEL-NUMBER-OF-FORTY-CHARACTERS-123456.")); // its NUL pad
    EXPECT_TRUE(reportLine(report, "(28-bit)").endsWith("268435455\tfffffff"));
    EXPECT_TRUE(reportLine(report, "W085").endsWith("1       \t0001"));
    EXPECT_TRUE(reportLine(report, "(48-bit)").endsWith("976773168       \t3a386030"));
    EXPECT_TRUE(reportLine(report, "signature").endsWith("a5"));
    EXPECT_TRUE(reportLine(report, "checksum").endsWith("5c"));
}

TEST(ShippedTemplates, AttributeAndThresholdEntriesSitAtTheirOffsets) {
    Image attributes{};
    put(attributes, 2, "\x05\x33");     // entry 1: ID, low byte of the flags
    put(attributes, 5, "\x64\x63\x10"); // current 100, worst 99, raw byte 0
    attributes[12] = 0x60;              // raw byte 5
    attributes[350] = 0xC2;             // entry 30: ID
    attributes[362] = 0x82;
    attributes[511] = 0xEE;
    const QByteArray atr =
        ExpandReportTemplate(shipped("HddSmartAtr.temp"), attributes.data(), 512).report;
    EXPECT_TRUE(reportLine(atr, "Attribute 01 ID").endsWith("05"));
    EXPECT_TRUE(reportLine(atr, "Attribute 01 status flags").endsWith("51      \t0033"));
    EXPECT_TRUE(reportLine(atr, "Attribute 01 current").endsWith("64"));
    EXPECT_TRUE(reportLine(atr, "Attribute 01 worst").endsWith("63"));
    EXPECT_TRUE(reportLine(atr, "Attribute 01 raw").endsWith("100000000060"));
    EXPECT_TRUE(reportLine(atr, "Attribute 30 ID").endsWith("c2"));
    EXPECT_TRUE(reportLine(atr, "Off-line data collection status").endsWith("82"));
    EXPECT_TRUE(reportLine(atr, "checksum").endsWith("ee"));

    Image thresholds{};
    thresholds[2] = 0x05;
    thresholds[3] = 36;
    thresholds[351] = 0x2A; // entry 30: threshold
    thresholds[511] = 0x11;
    const QByteArray thr =
        ExpandReportTemplate(shipped("HddSmartThr.temp"), thresholds.data(), 512).report;
    EXPECT_TRUE(reportLine(thr, "Threshold 01 attribute ID").endsWith("05"));
    EXPECT_TRUE(reportLine(thr, "Threshold 01 threshold").endsWith("24"));
    EXPECT_TRUE(reportLine(thr, "Threshold 30 threshold").endsWith("2a"));
    EXPECT_TRUE(reportLine(thr, "checksum").endsWith("11"));
}

TEST(ShippedDescriptions, OneUsableLinePerNamedAttribute) {
    // The IDs of the attribute name table: every one has an explanation.
    const int ids[] = {1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  170,
                       171, 172, 173, 174, 175, 176, 177, 178, 179, 180, 181, 182, 183, 184,
                       187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197, 198, 199, 200,
                       201, 202, 203, 204, 205, 206, 207, 208, 209, 210, 211, 212, 213, 220,
                       221, 222, 223, 224, 225, 226, 227, 228, 230, 231, 232, 233, 234, 235,
                       240, 241, 242, 243, 244, 246, 247, 248, 249, 250, 251, 252, 254};
    static_assert(std::size(ids) == 83, "one per row of the name table");
    const QByteArray file = shipped("VornDiskInfo.Smart.ja.txt");
    EXPECT_FALSE(file.startsWith("\xFF\xFE")) << "a byte-order mark would hide attribute 1";
    // 83 attribute lines, then the 21 NVMe health log fields (1000 + offset).
    EXPECT_EQ(file.count(QByteArray("\n\0", 2)), 83 + 21);
    EXPECT_TRUE(FindAttributeDescription(file, 1005).contains(QStringLiteral("劣化％")));
    for (int id : ids) {
        const QString text = FindAttributeDescription(file, id);
        EXPECT_GE(text.size(), 20) << id;
        EXPECT_FALSE(text.contains('\r')) << id;
    }
    EXPECT_EQ(FindAttributeDescription(file, 229), "");
}

// The English file explains every entry of the Japanese one, each in whole
// sentences: a comma the file's quoting failed to protect would cut a text
// short at a field boundary.
TEST(ShippedDescriptions, TheEnglishFileExplainsEveryEntryOfTheJapaneseOne) {
    const QByteArray japanese = shipped("VornDiskInfo.Smart.ja.txt");
    const QByteArray english = shipped("VornDiskInfo.Smart.en.txt");
    EXPECT_FALSE(english.startsWith("\xFF\xFE")) << "a byte-order mark would hide attribute 1";
    EXPECT_EQ(english.count(QByteArray("\n\0", 2)), japanese.count(QByteArray("\n\0", 2)));
    const QRegularExpression cjk(
        QStringLiteral("[\\x{3000}-\\x{30ff}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    const QString ids = QString::fromUtf16(reinterpret_cast<const char16_t*>(japanese.constData()),
                                           japanese.size() / 2);
    for (const QString& line : ids.split(u'\n', Qt::SkipEmptyParts)) {
        const int id = line.section(u',', 0, 0).toInt();
        const QString text = FindAttributeDescription(english, id);
        EXPECT_TRUE(text.endsWith(u'.')) << id << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(cjk)) << id;
        EXPECT_FALSE(text.contains(u'"')) << id;
    }
    // The NVMe wear entry names the list's column by its English heading.
    const CTextCatalogue catalogue(InterfaceLanguage::English);
    EXPECT_TRUE(
        FindAttributeDescription(english, 1005).contains(AttributeHeading(kColumnDepleted)));
}

// F1 and the support link open the manual of the interface language, as the
// build and the install lay it out, with the anchor the support link names.
TEST(ShippedManual, EachLanguageOpensItsOwnManualWithItsSupportSection) {
    const QString data = QStringLiteral(VORN_SOURCE_ROOT "/data");
    for (const InterfaceLanguage language :
         {InterfaceLanguage::Japanese, InterfaceLanguage::English}) {
        QFile manual(ManualPath(data, language));
        ASSERT_TRUE(manual.open(QIODevice::ReadOnly)) << manual.fileName().toStdString();
        const QByteArray html = manual.readAll();
        EXPECT_TRUE(html.contains("<html lang=\"" + Cm_LanguageCode(language).toLatin1() + "\">"))
            << manual.fileName().toStdString();
        EXPECT_TRUE(html.contains("id=\"support\"")) << manual.fileName().toStdString();
    }
    EXPECT_NE(ManualPath(data, InterfaceLanguage::English),
              ManualPath(data, InterfaceLanguage::Japanese));
}
