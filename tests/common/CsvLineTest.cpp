#include "CsvLine.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Lines live in heap buffers of exactly their size, so that the sanitizer
// build catches any read or write past the terminator.
template <typename Char> std::unique_ptr<Char[]> exactBuffer(const std::basic_string<Char>& text) {
    auto buffer = std::make_unique<Char[]>(text.size() + 1);
    std::copy(text.begin(), text.end(), buffer.get());
    buffer[text.size()] = 0;
    return buffer;
}

class CsvWide : public ::testing::Test {
protected:
    static constexpr int kBuffers = 4;
    void SetUp() override { Cm_CSVAlloc(m_fields, kBuffers); }
    void TearDown() override { Cm_CSVFree(m_fields, kBuffers); }

    std::vector<std::u16string> split(const std::u16string& line, int count) {
        auto buffer = exactBuffer(line);
        const int stored = Cm_CSVAnalyze(buffer.get(), m_fields, count, u',', u'"');
        EXPECT_EQ(buffer[0], 0) << "the line must read as empty afterwards";
        std::vector<std::u16string> fields;
        for (int i = 0; i < stored; ++i)
            fields.emplace_back(m_fields[i]);
        return fields;
    }

    char16_t* m_fields[kBuffers] = {};
};

using Fields = std::vector<std::u16string>;

TEST_F(CsvWide, SplitsAsTheDescriptionFileNeeds) {
    const struct {
        std::u16string line;
        int count;
        Fields expected;
    } cases[] = {
        {u"a,b,c", 3, {u"a", u"b", u"c"}},
        {u"a,b,c", 2, {u"a", u"b"}},
        {u"a,b,c\n", 3, {u"a", u"b", u"c"}},
        {u"1,\"x, y\",2", 3, {u"1", u"x, y", u"2"}},
        {u"\"ab\"c\",d", 3, {u"ab\"c", u"d"}},
        {u"\"a\"\"b\",c", 3, {u"a\"\"b", u"c"}},
        {u"a,b,", 4, {u"a", u"b", u""}},
        {u" a , b", 3, {u" a ", u" b"}},
        {u"a\"b,c", 3, {u"a\"b", u"c"}},
        {u"\"\"", 3, {u""}},
        {u"\"x\"\n", 3, {u"x"}},
        {u"a\nb\n", 3, {u"a\nb"}},
        {u"a,b\r\n", 3, {u"a", u"b\r"}},
        {u",,", 4, {u"", u"", u""}},
    };
    for (const auto& c : cases) {
        const std::string shown(c.line.begin(), c.line.end());
        EXPECT_EQ(split(c.line, c.count), c.expected) << shown;
    }
}

TEST_F(CsvWide, UnclosedQuoteKeepsOnlyTheFieldsBeforeIt) {
    EXPECT_EQ(split(u"\"abc,d", 3), Fields{});
    EXPECT_EQ(split(u"a,\"b", 3), Fields{u"a"});
    EXPECT_EQ(m_fields[1][0], 0);
    EXPECT_EQ(split(u"\"", 3), Fields{});
}

TEST_F(CsvWide, EmptyLinesStoreNothingAndClearEveryField) {
    split(u"x,y,z", 3);
    EXPECT_EQ(split(u"", 3), Fields{});
    EXPECT_EQ(split(u"\n", 3), Fields{});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(m_fields[i][0], 0) << i;

    split(u"x,y,z", 3);
    EXPECT_EQ(split(u"only", 3), Fields{u"only"});
    EXPECT_EQ(m_fields[2][0], 0);
}

TEST_F(CsvWide, LongFieldsGrowTheirBuffer) {
    const std::u16string wide(600, u'w');
    EXPECT_EQ(split(u"a," + wide + u",c", 3), (Fields{u"a", wide, u"c"}));

    const std::u16string huge(20000, u'h');
    EXPECT_EQ(split(u"\"" + huge + u"\"," + huge, 3), (Fields{huge, huge}));
    // An unclosed quote over thousands of characters neither reads past the
    // line nor stores a partial field.
    EXPECT_EQ(split(u"a,\"" + huge, 3), Fields{u"a"});
}

TEST(CsvBadInput, NullArgumentsStoreNothing) {
    char16_t* fields[2] = {};
    char16_t line[] = u"a,b";
    EXPECT_EQ(Cm_CSVAnalyze(nullptr, fields, 2, u',', u'"'), 0);
    EXPECT_EQ(Cm_CSVAnalyze(line, nullptr, 2, u',', u'"'), 0);
    EXPECT_EQ(Cm_CSVAnalyze(line, fields, 0, u',', u'"'), 0);
    EXPECT_EQ(Cm_CSVAnalyze(line, fields, -3, u',', u'"'), 0);
    Cm_CSVAlloc(nullptr, 3);
    Cm_CSVFree(nullptr, 3);
    Cm_CSVAlloc(fields, -1);

    // Slots the caller never allocated are given a block.
    EXPECT_EQ(Cm_CSVAnalyze(line, fields, 2, u',', u'"'), 2);
    EXPECT_EQ(std::u16string(fields[1]), u"b");
    Cm_CSVFree(fields, 2);
    EXPECT_EQ(fields[0], nullptr);
}

TEST(CsvBadInput, QuoteOrSeparatorZeroStaysInsideTheLine) {
    char16_t* fields[3] = {};
    Cm_CSVAlloc(fields, 3);
    auto line = exactBuffer(std::u16string(u"a,b,"));
    EXPECT_EQ(Cm_CSVAnalyze(line.get(), fields, 3, u',', u'\0'), 3);
    line = exactBuffer(std::u16string(u"a,b"));
    EXPECT_EQ(Cm_CSVAnalyze(line.get(), fields, 3, u'\0', u'"'), 1);
    EXPECT_EQ(std::u16string(fields[0]), u"a,b");
    Cm_CSVFree(fields, 3);
}

class CsvSjis : public ::testing::Test {
protected:
    void SetUp() override { Cm_CSVAllocSjis(m_fields, 3); }
    void TearDown() override { Cm_CSVFreeSjis(m_fields, 3); }

    std::vector<std::string> split(const std::string& line) {
        auto buffer = exactBuffer(line);
        const int stored = Cm_CSVAnalyzeSjis(buffer.get(), m_fields, 3, ',', '"');
        EXPECT_EQ(buffer[0], 0);
        return std::vector<std::string>(m_fields, m_fields + stored);
    }

    char* m_fields[3] = {};
};

TEST_F(CsvSjis, QuoteInsideADoubleByteCharacterDoesNotCloseTheField) {
    // 0x81 leads a double-byte character, so the quote right after it is
    // its second byte, not the end of the field.
    EXPECT_EQ(split("\"\x81\",y\",z"), (std::vector<std::string>{"\x81\",y", "z"}));
    // A single-byte character (half-width katakana 0xB1) does not hide it.
    EXPECT_EQ(split("\"\xB1\",y\",z"), (std::vector<std::string>{"\xB1", "y\"", "z"}));
    // Real text: 0x95 0x5C is one character whose second byte is a backslash.
    EXPECT_EQ(split("\"\x95\x5C\",2"), (std::vector<std::string>{"\x95\x5C", "2"}));
}

TEST_F(CsvSjis, ClearsOnlyTheBytesTheLineHas) {
    // A one-byte line has two bytes of buffer; clearing four would overrun.
    EXPECT_EQ(split("a"), std::vector<std::string>{"a"});
    EXPECT_EQ(split("a\n"), std::vector<std::string>{"a"});
    EXPECT_EQ(split("\"\x81"), std::vector<std::string>{});
}

TEST(KanjiCode, ClassifiesEachBytePosition) {
    const char* text = "a\x82\xA0"
                       "b\x7F"
                       "c\xA0";
    const int expected[] = {0, 1, 2, 0, 1, 2, 0, 0, 0};
    for (int position = 1; position <= 9; ++position)
        EXPECT_EQ(Cm_CheckKanjiCode(text, position), expected[position - 1]) << position;

    EXPECT_EQ(Cm_CheckKanjiCode("\xE0", 1), 1);
    EXPECT_EQ(Cm_CheckKanjiCode("\xE0", 2), 0) << "the terminator is no second byte";
    EXPECT_EQ(Cm_CheckKanjiCode("\xE0", 3), 0);
    EXPECT_EQ(Cm_CheckKanjiCode("ab", 0), 0);
    EXPECT_EQ(Cm_CheckKanjiCode("ab", -5), 0);
    EXPECT_EQ(Cm_CheckKanjiCode(nullptr, 1), 0);
}

} // namespace
