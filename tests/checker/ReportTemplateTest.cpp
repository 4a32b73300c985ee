#include "ReportTemplate.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

using namespace vorn::checker;

namespace {

using Image = std::array<BYTE, 512>;

Image imageWith(std::initializer_list<BYTE> head) {
    Image image{};
    std::size_t i = 0;
    for (BYTE b : head)
        image[i++] = b;
    return image;
}

QByteArray expand(const QByteArray& templ, const Image& image) {
    return ExpandReportTemplate(templ, image.data(), image.size()).report;
}

} // namespace

TEST(ReportTemplate, SingleValueFormats) {
    const struct {
        const char* line;
        std::initializer_list<BYTE> bytes;
        QByteArray report;
    } cases[] = {
        {"L,WORD,0,1", {0xFF, 0x3F}, "L16383   \t3fff\r\n"},
        {"L,WORD,0,1", {0x05, 0x00}, "L5       \t0005\r\n"},
        {"L,DWORD,0,1", {0x01, 0x00, 0x00, 0x00}, "L1       \t0001\r\n"},
        {"L,DWORD,0,1", {0x00, 0x00, 0x00, 0x80}, "L-2147483648\t80000000\r\n"},
        {"L,DWORD,0,1", {0xFF, 0xFF, 0xFF, 0xFF}, "L-1      \tffffffff\r\n"},
        {"L,INT64,0,1", {0x30, 0x60, 0x38, 0x3A, 0, 0, 0, 0}, "L976773168       \t3a386030\r\n"},
        // Only the low 32 bits reach the hexadecimal part.
        {"L,INT64,0,1", {0x89, 0x67, 0x45, 0x23, 0x01, 0, 0, 0}, "L4886718345      \t23456789\r\n"},
        {"L,INT64,0,1",
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         "L-1              \tffffffff\r\n"},
        {"L,BYTE,0,1", {0x0A}, "L0a\r\n"},
        {"L,CHAR,3,1", {'a', 'b', 'c'}, "Labc\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(expand(c.line, imageWith(c.bytes)), c.report) << c.line;
}

TEST(ReportTemplate, CountsZeroOneAndThree) {
    const Image image = imageWith({0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00});
    // Count 0 and a negative count print and consume nothing.
    EXPECT_EQ(expand("A,WORD,0,0\nB,WORD,0,-2\nC,WORD,0,1\n", image),
              "A\r\nB\r\nC1       \t0001\r\n");
    EXPECT_EQ(expand("A,WORD,0,3\nB,WORD,0,1\n", image),
              "A1        2        3        \r\nB4       \t0004\r\n");
    EXPECT_EQ(expand("A,DWORD,0,2\n", image), "A131073   262147   \r\n");
    EXPECT_EQ(expand("A,INT64,0,3\n", imageWith({0x07})),
              "A7                0                0                \r\n");
    EXPECT_EQ(expand("A,BYTE,0,4\n", imageWith({0x0A, 0x00, 0xFF, 0x10})), "A0a00ff10\r\n");
}

TEST(ReportTemplate, CharUsesLengthAndWritesOnlyPrintableBytes) {
    Image image{};
    for (int i = 0; i < 40; ++i)
        image[i] = static_cast<BYTE>('A' + i % 26);
    image[3] = 0;
    image[4] = '\n';
    image[5] = 0x7F;
    image[6] = 0xC3;
    image[7] = 0x1B;
    image[40] = 0x7E;
    // The count is ignored; the cursor moves by the length. Control bytes
    // and anything past ASCII become dots, so the line stays one line.
    const QByteArray report = expand("M,CHAR,40,9\nN,BYTE,0,1\n", image);
    QByteArray expected("M");
    expected.append(reinterpret_cast<const char*>(image.data()), 40);
    expected.replace(4, 5, "....."); // after the label
    expected.append("\r\nN7e\r\n");
    EXPECT_EQ(report, expected);
    EXPECT_EQ(expand("M,CHAR,0,1\nN,BYTE,0,1\n", imageWith({0x41})), "M\r\nN41\r\n");
}

TEST(ReportTemplate, UnknownTypeWritesOnlyItsLabel) {
    const Image image = imageWith({0x34, 0x12});
    EXPECT_EQ(expand("Heading,word,0,1\nV,WORD,0,1\n", image), "Heading\r\nV4660    \t1234\r\n");
    EXPECT_EQ(expand("Heading,,0,1\nV,BYTE,0,1\n", image), "Heading\r\nV34\r\n");
}

TEST(ReportTemplate, ShortLineEndsTheReport) {
    const Image image = imageWith({0x11, 0x22});
    for (const char* templ : {"A,BYTE,0,1\n\nB,BYTE,0,1\n", "A,BYTE,0,1\r\n\r\nB,BYTE,0,1\r\n",
                              "A,BYTE,0,1\nB,BYTE,1\nC,BYTE,0,1\n"}) {
        const ReportExpansion result = ExpandReportTemplate(templ, image.data(), image.size());
        EXPECT_EQ(result.report, "A11\r\n") << templ;
        EXPECT_TRUE(result.endedEarly);
        EXPECT_EQ(result.linesExpanded, 1);
    }
}

TEST(ReportTemplate, TemplateLineEnds) {
    const Image image = imageWith({0x11, 0x22, 0x33});
    // CR LF reads as one line feed; the last line needs no line end.
    EXPECT_EQ(expand("A,BYTE,0,1\r\nB,BYTE,0,1\r\nC,BYTE,0,1", image), "A11\r\nB22\r\nC33\r\n");
    // A lone carriage return is part of the label.
    EXPECT_EQ(expand("A\rB,BYTE,0,1\n", image), "A\rB11\r\n");
    // Label bytes pass unchanged, whatever their encoding.
    EXPECT_EQ(expand("型番\t: ,BYTE,0,1\n", image), "型番\t: 11\r\n");
}

TEST(ReportTemplate, OverlongTemplateLineIsCutAt1023Bytes) {
    const Image image = imageWith({0x11});
    // The first 1023 bytes hold no comma, so the expansion ends with nothing.
    const QByteArray longLabel(1030, 'a');
    const ReportExpansion cut = ExpandReportTemplate(longLabel + ",BYTE,0,1\n", image.data(), 512);
    EXPECT_EQ(cut.report, "");
    EXPECT_TRUE(cut.endedEarly);
    // A line of exactly 1023 bytes with its line feed leaves the feed alone
    // as the next "line", which ends the report.
    const QByteArray label(1023 - 9, 'b');
    const ReportExpansion exact =
        ExpandReportTemplate(label + ",BYTE,0,1\nZ,BYTE,0,1\n", image.data(), 512);
    EXPECT_EQ(exact.report, label + "11\r\n");
    EXPECT_TRUE(exact.endedEarly);
}

TEST(ReportTemplate, NeverReadsPastTheImage) {
    Image image{};
    image.fill(0xAB);
    // 511 bytes, then a word that does not fit: it prints nothing, and the
    // byte that is left is no longer offered to later lines.
    const ReportExpansion result =
        ExpandReportTemplate("A,BYTE,0,511\nB,WORD,0,1\nC,BYTE,0,1\n", image.data(), image.size());
    EXPECT_EQ(result.report, "A" + QByteArray("ab").repeated(511) + "\r\nB\r\nC\r\n");
    EXPECT_EQ(result.bytesRequested, 511 + 2 + 1);
    EXPECT_FALSE(result.endedEarly);

    // Absurd counts stop at the image's end at once.
    const ReportExpansion huge = ExpandReportTemplate(
        "A,WORD,0,2147483647\nB,INT64,0,99999999999\n", image.data(), image.size());
    EXPECT_EQ(huge.report.count("43947"), 256); // 0xabab
    EXPECT_EQ(huge.bytesRequested, 2LL * 2147483647 + 8LL * 2147483647);

    // A smaller buffer is read only as far as it goes.
    const BYTE three[3] = {1, 2, 3};
    EXPECT_EQ(ExpandReportTemplate("A,BYTE,0,8\nB,CHAR,4,1\n", three, 3).report,
              "A010203\r\nB\r\n");
    EXPECT_EQ(ExpandReportTemplate("A,BYTE,0,8\n", nullptr, 512).report, "A\r\n");
}

TEST(ReportTemplate, ParsesFieldsWithRuntimeNumberRules) {
    const auto line = ParseTemplateLine("Label with, spaces,CHAR, 12abc,  7 trailing\r\n");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->label, "Label with");
    EXPECT_EQ(line->type, TemplateFieldType::Unknown) << "\" spaces\" is no type";
    const auto parsed = ParseTemplateLine("L,CHAR, 12abc,  7 trailing\n");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->type, TemplateFieldType::Char);
    EXPECT_EQ(parsed->length, 12);
    EXPECT_EQ(parsed->count, 7);
    EXPECT_EQ(TemplateLineSize(*parsed), 12);
    EXPECT_FALSE(ParseTemplateLine("L,WORD,0"));
    EXPECT_FALSE(ParseTemplateLine(QByteArray("L,WORD\0,0,1", 11))) << "a zero byte ends the line";
}
