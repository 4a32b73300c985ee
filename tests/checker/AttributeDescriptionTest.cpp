#include "AttributeDescription.h"
#include "AttributeDetail.h"
#include "Translation.h"

#include "../support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vorn::checker;

namespace {

QByteArray utf16le(const std::u16string& text) {
    QByteArray bytes;
    for (char16_t unit : text) {
        bytes.append(static_cast<char>(unit & 0xFF));
        bytes.append(static_cast<char>(unit >> 8));
    }
    return bytes;
}

QString find(const std::u16string& file, int id) {
    return FindAttributeDescription(utf16le(file), id);
}

} // namespace

TEST(AttributeDescription, LineRules) {
    const struct {
        const char* what;
        std::u16string file;
        int id;
        const char* text;
    } cases[] = {
        {"a byte-order mark hides only the first line", u"\uFEFF1,a,marked\n1,b,second\n", 1,
         "second"},
        {"the first of two lines with one id wins", u"5,a,first\n5,b,second\n", 5, "first"},
        {"a matching line without text ends the search", u"5,name only\n5,n,later\n", 5, ""},
        {"a matching line with the id alone", u"5\n5,n,later\n", 5, ""},
        // An unquoted text keeps a carriage return that stands before the line feed.
        {"CR LF, unquoted", u"5,n,plain\r\n", 5, "plain\r"},
        {"quoted text keeps its comma", u"5,n,\"a, b\"\n", 5, "a, b"},
        // CR between the closing quote and LF leaves the quote open.
        {"CR after the closing quote", u"5,n,\"a, b\"\r\n6,n,six\n", 5, ""},
        {"the line after an open quote", u"5,n,\"a, b\"\r\n6,n,six\n", 6, "six"},
        {"an unquoted comma ends the text", u"5,n,cut, here\n", 5, "cut"},
        {"no line feed at the end", u"7,n,last line", 7, "last line"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(find(c.file, c.id), QString::fromUtf8(c.text)) << c.what;
}

TEST(AttributeDescription, IdSpellings) {
    struct Case {
        std::u16string idField;
        bool matches5;
    };
    const Case cases[] = {
        {u"5", true},   {u" 5", true},    {u"\t5", true},      {u"05", true},  {u"+5", true},
        {u"5x", true},  {u"0x05", false}, {u"x5", false},      {u"-5", false}, {u"", false},
        {u"55", false}, {u"261", false},  {u"\uFEFF5", false},
    };
    for (const Case& c : cases) {
        const std::u16string file = c.idField + u",n,text\n";
        EXPECT_EQ(find(file, 5), c.matches5 ? "text" : "")
            << QString::fromStdU16String(c.idField).toStdString();
    }
}

TEST(AttributeDescription, OverlongLineContinuesAsTheNextLine) {
    // Four units of "7,n," plus 1019 of text fill the 1023 units of one read.
    const std::u16string text(1019, u'x');
    const std::u16string file = u"7,n," + text + u"9,n,tail\n";
    EXPECT_EQ(find(file, 7), QString::fromStdU16String(text));
    EXPECT_EQ(find(file, 9), "tail");
}

TEST(AttributeDescription, OddTrailingByteAndUnknownIdGiveNothingExtra) {
    QByteArray bytes = utf16le(u"5,n,text\n");
    bytes.append('\x36');
    EXPECT_EQ(FindAttributeDescription(bytes, 5), "text");
    EXPECT_EQ(FindAttributeDescription(bytes, 6), "");
    EXPECT_EQ(FindAttributeDescription(QByteArray(), 5), "");
}

TEST(AttributeDescription, LookupReadsTheFileBelowTheStartDirectory) {
    TestDir dir;
    EXPECT_EQ(LookupAttributeDescription(dir.path(), 5), "") << "no Template folder";
    ASSERT_TRUE(QDir(dir.path()).mkdir("Template"));
    ASSERT_TRUE(dir.write("Template/VornDiskInfo.Smart.ja.txt", utf16le(u"5,n,再配置\n")));
    EXPECT_EQ(LookupAttributeDescription(dir.path(), 5), "再配置");
    // Read anew every time: a changed file shows at once.
    ASSERT_TRUE(dir.write("Template/VornDiskInfo.Smart.ja.txt", utf16le(u"5,n,changed\n")));
    EXPECT_EQ(LookupAttributeDescription(dir.path(), 5), "changed");
    EXPECT_EQ(LookupAttributeDescription(QString(), 5), "") << "unknown start directory";
}

TEST(AttributeDescription, EnglishInterfaceReadsTheEnglishFileAndFallsBackToJapanese) {
    TestDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("Template"));
    ASSERT_TRUE(dir.write("Template/VornDiskInfo.Smart.ja.txt", utf16le(u"5,n,再配置\n")));
    const CTextCatalogue english(InterfaceLanguage::English);
    EXPECT_EQ(LookupAttributeDescription(dir.path(), 5), "再配置") << "no English file yet";
    ASSERT_TRUE(dir.write("Template/VornDiskInfo.Smart.en.txt", utf16le(u"5,n,reallocated\n")));
    EXPECT_EQ(LookupAttributeDescription(dir.path(), 5), "reallocated");
    // An entry the English file lacks is not taken from the other language.
    EXPECT_EQ(LookupAttributeDescription(dir.path(), 9), "");
    {
        const CTextCatalogue japanese(InterfaceLanguage::Japanese);
        EXPECT_EQ(LookupAttributeDescription(dir.path(), 5), "再配置");
    }
}

TEST(AttributeDetail, DialogTexts) {
    AttributeFigures figures;
    figures.name = "再配置セクタ数";
    figures.importance = 2;
    figures.init = 100;
    figures.current = 90;
    figures.worst = 88;
    figures.threshold = 36;
    figures.depleted = 15.6;
    const AttributeDetailTexts texts = MakeAttributeDetailTexts(figures, "説明");
    EXPECT_EQ(texts.description, "再配置セクタ数 [重要度：高]\n\n説明");
    EXPECT_EQ(texts.init, "100");
    EXPECT_EQ(texts.current, "90");
    EXPECT_EQ(texts.worst, "88");
    EXPECT_EQ(texts.threshold, "36");
    EXPECT_EQ(texts.depleted, "15.6 %");
}

TEST(AttributeDetail, UnsetValuesAndOddImportance) {
    AttributeFigures figures;
    figures.name = "名前 %2";
    figures.importance = 3;
    const AttributeDetailTexts texts = MakeAttributeDetailTexts(figures, QString());
    EXPECT_EQ(texts.description, "名前 %2 [重要度：]\n\n");
    EXPECT_EQ(texts.init, "-1");
    EXPECT_EQ(texts.threshold, "-1");
    EXPECT_EQ(texts.depleted, "0.0 %");
    EXPECT_EQ(ImportanceWord(0), "低");
    EXPECT_EQ(ImportanceWord(1), "中");
    EXPECT_EQ(ImportanceWord(-1), "");
}

TEST(AttributeDetail, DepletionTexts) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0.0 %"},
        {100.0, "100.0 %"},
        {-15.625, "-15.6 %"},
        {150.04, "150.0 %"},
        {std::numeric_limits<double>::infinity(), "- %"},
        {-std::numeric_limits<double>::infinity(), "- %"},
        {std::nan(""), "- %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDepletion(c.value), c.text) << c.value;
}
