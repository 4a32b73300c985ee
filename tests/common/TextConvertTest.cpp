#include "TextConvert.h"
#include "WideText.h"

#include "../support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

QString conv(const char16_t* text, BYTE flags) {
    return Cm_ConvStr(text, flags);
}

TEST(FromUnicode, GivesUtf8WithQuestionMarksForWhatItCannotHold) {
    const struct {
        std::u16string text;
        std::string expected;
    } cases[] = {
        {u"", ""},
        {u"WDC WD800JD", "WDC WD800JD"},
        {u"日本語", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {u"a\xD800"
         u"b",
         "a?b"},
        {u"\xDC00\xD800", "??"},
        {u"x\xD83D", "x?"},
    };
    for (const auto& c : cases) {
        std::unique_ptr<char[]> bytes(Cm_FromUnicode(c.text.c_str()));
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(std::string(bytes.get()), c.expected);
    }
    EXPECT_EQ(Cm_FromUnicode(nullptr), nullptr);
}

TEST(ToUnicode, RoundTripsAndMarksMalformedBytes) {
    std::unique_ptr<char16_t[]> wide(Cm_ToUnicode("\xE6\x97\xA5 disk"));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::u16string(wide.get()), u"日 disk");

    wide.reset(Cm_ToUnicode("a\xFF"));
    EXPECT_EQ(std::u16string(wide.get()), u"a\xFFFD");

    wide.reset(Cm_ToUnicode(""));
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(Cm_ToUnicode(nullptr), nullptr);
}

TEST(PathAddBackslash, AppendsOneSeparatorWhereMissing) {
    const struct {
        std::u16string path;
        std::u16string expected;
    } cases[] = {
        {u"", u""},
        {u"/", u"/"},
        {u"/tmp", u"/tmp/"},
        {u"/tmp/", u"/tmp/"},
        {u"relative", u"relative/"},
    };
    for (const auto& c : cases) {
        // Room for exactly one more character, as the function requires.
        auto buffer = std::make_unique<char16_t[]>(c.path.size() + 2);
        std::copy(c.path.begin(), c.path.end(), buffer.get());
        buffer[c.path.size()] = 0;
        const char16_t* end = Cm_PathAddBackslash(buffer.get());
        EXPECT_EQ(std::u16string(buffer.get()), c.expected);
        EXPECT_EQ(end, buffer.get() + c.expected.size());
    }
    EXPECT_EQ(Cm_PathAddBackslash(nullptr), nullptr);
}

class CurrentDirectory : public ::testing::Test {
protected:
    void TearDown() override { QDir::setCurrent(m_saved); }
    QString m_saved = QDir::currentPath();
};

TEST_F(CurrentDirectory, HasNoTrailingSeparatorExceptAtTheRoot) {
    TestDir dir;
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(Cm_CurrentDirectory(), QFileInfo(dir.path()).canonicalFilePath());
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral("/")));
    EXPECT_EQ(Cm_CurrentDirectory(), QStringLiteral("/"));
}

TEST_F(CurrentDirectory, IsEmptyWhenTheDirectoryIsGone) {
    QString path;
    {
        TestDir dir;
        path = dir.path(QStringLiteral("gone"));
        ASSERT_TRUE(QDir().mkdir(path));
        ASSERT_TRUE(QDir::setCurrent(path));
    }
    EXPECT_EQ(Cm_CurrentDirectory(), QString());
}

TEST(ConvStr, MapsKanaWidthCaseAndBytes) {
    const struct {
        const char16_t* text;
        BYTE flags;
        const char16_t* expected;
    } cases[] = {
        {u"ひらがなカタカナ", CM_CONV_KATAKANA, u"ヒラガナカタカナ"},
        {u"カタカナヴヽひらがな", CM_CONV_HIRAGANA, u"かたかなゔゝひらがな"},
        {u"ヷ漢字", CM_CONV_HIRAGANA, u"ヷ漢字"},
        {u"Disk 01!~", CM_CONV_FULLWIDTH, u"Ｄｉｓｋ　０１！～"},
        {u"Ｄｉｓｋ　０１！～￥", CM_CONV_HALFWIDTH, u"Disk 01!~¥"},
        {u"ガギパヴー。「」", CM_CONV_HALFWIDTH, u"ｶﾞｷﾞﾊﾟｳﾞｰ｡｢｣"},
        {u"ｶﾞｷﾞﾊﾟｳﾞｰ｡｢｣", CM_CONV_FULLWIDTH, u"ガギパヴー。「」"},
        {u"ﾞｱﾟ", CM_CONV_FULLWIDTH, u"゛ア゜"},
        {u"がっこう", CM_CONV_KATAKANA | CM_CONV_HALFWIDTH, u"ｶﾞｯｺｳ"},
        {u"ﾃﾞｨｽｸ", CM_CONV_HIRAGANA | CM_CONV_FULLWIDTH, u"ディスク"},
        {u"ひらがな", CM_CONV_HALFWIDTH, u"ひらがな"},
        {u"ABCａÀ", CM_CONV_LOWERCASE, u"abcａà"},
        {u"abcＡà", CM_CONV_UPPERCASE, u"ABCＡÀ"},
        {u"abc", CM_CONV_FULLWIDTH | CM_CONV_UPPERCASE, u"ＡＢＣ"},
        {u"\x3450\x4822", CM_CONV_BYTEREV, u"\x5034\x2248"},
        {u"Ab", CM_CONV_UPPERCASE | CM_CONV_BYTEREV, u"\x4100\x4200"},
        {u"unchanged", 0, u"unchanged"},
        {u"", CM_CONV_UPPERCASE, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(conv(c.text, c.flags), Cm_FromWide(c.expected))
            << Cm_FromWide(c.text).toStdString() << " flags " << int(c.flags);
}

TEST(ConvStr, ContradictoryFlagsAndNullGiveEmpty) {
    for (const BYTE flags :
         {BYTE(CM_CONV_HIRAGANA | CM_CONV_KATAKANA), BYTE(CM_CONV_HALFWIDTH | CM_CONV_FULLWIDTH),
          BYTE(CM_CONV_LOWERCASE | CM_CONV_UPPERCASE), BYTE(CM_CONV_SORTKEY | CM_CONV_UPPERCASE),
          BYTE(CM_CONV_SORTKEY | CM_CONV_BYTEREV)})
        EXPECT_EQ(conv(u"text", flags), QString()) << int(flags);
    EXPECT_EQ(conv(nullptr, CM_CONV_UPPERCASE), QString());
    EXPECT_EQ(conv(nullptr, 0), QString());
}

TEST(ConvStr, SortKeysOrderAsTheCollatorDoes) {
    const auto key = [](const char16_t* text) { return conv(text, CM_CONV_SORTKEY); };
    // Code-point order would put "é" after "f" and full-width "ａ" after "b".
    EXPECT_LT(key(u"e"), key(u"é"));
    EXPECT_LT(key(u"é"), key(u"f"));
    EXPECT_LT(key(u"ａ"), key(u"b"));
    EXPECT_EQ(key(u"disk"), key(u"disk"));
    EXPECT_NE(key(u"disk"), key(u"disc"));
    for (const QChar unit : key(u"ソート"))
        EXPECT_LE(unit.unicode(), 0xFF);
    EXPECT_FALSE(key(u"x").contains(QChar(0)));
}

} // namespace

TEST(SameTextIgnoringCase, AgreesWithQtsFoldingWhereAsciiAloneCouldMislead) {
    const struct {
        const char16_t* a;
        const char16_t* b;
    } pairs[] = {
        {u"Model", u"MODEL"}, {u"Index", u"Indey"},   {u"Size", u"Sizes"},
        {u"[x]", u"{x}"},     {u"a@", u"A`"},         {u"\u00C4rger", u"\u00E4RGER"},
        {u"\u212A", u"k"},    {u"\u212A", u"\u212A"}, {u"", u""},
    };
    for (const auto& p : pairs) {
        const QString a = QString::fromUtf16(p.a);
        const QString b = QString::fromUtf16(p.b);
        EXPECT_EQ(Cm_SameTextIgnoringCase(a, b), a.compare(b, Qt::CaseInsensitive) == 0)
            << a.toStdString() << " / " << b.toStdString();
    }
}
