#include "PosixRegex.h"

#include <gtest/gtest.h>

#include <algorithm>

using vorn::hdd::PosixRegex;

// Whole-string matching with POSIX rules, and the first-byte filter that
// lookups use agreeing with it on every case that matches.
TEST(PosixRegex, MatchesWholeStringsWithPosixRules) {
    const struct {
        const char* pattern;
        const char* text;
        bool matches;
    } cases[] = {
        {"ST[1234]000NM00[35]3-.*", "ST4000NM0033-9ZM170", true},
        {"ST[1234]000NM00[35]3-.*", "XST4000NM0033-9ZM170", false}, // no search inside
        {"ST[1234]000NM00[35]3", "ST4000NM00335", false},           // nor a prefix
        {"A|AB", "AB", true},            // a later branch when the first ends too early
        {"(a|ab)(c|bcd)", "abcd", true}, // and a shorter first group where the long one fails
        {"(SP|HD)(16[01]3|2[05][01]4)[CN]", "HD2504N", true},
        {"x{2,3}", "x", false},
        {"x{2,3}", "xxx", true},
        {"x{2,3}", "xxxx", false},
        {"x{2,}", "xxxxxx", true},
        {"(ab){0,1}c", "c", true},
        {"(-[0-9]+)?", "", true},
        {"^WDC .*$", "WDC WD10EZEX", true},
        {"a^b", "ab", false},
        {"M\\.2 2242", "M.2 2242", true},
        {"M\\.2 2242", "Mx2 2242", false},
        {"[\\.]", "\\", true}, // a backslash in brackets is itself
        {"[]x]+", "]x]", true},
        {"[^0-9]+", "ABC", true},
        {"[^0-9]+", "AB1", false},
        {"[a-c-]+", "a-c", true},
        {"[[:digit:]]{3}[[:upper:]]", "512G", true},
        {"[[:digit:]]{3}[[:upper:]]", "512g", false},
        {"(|OEM )DISK", "DISK", true},
        {"((a*)*)*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac", false}, // no runaway
    };
    for (const auto& c : cases) {
        QString error;
        const auto regex = PosixRegex::compile(c.pattern, &error);
        ASSERT_TRUE(regex) << c.pattern << ": " << error.toStdString();
        EXPECT_EQ(regex->matchesWhole(c.text), c.matches) << c.pattern << " on " << c.text;
        if (c.matches && *c.text) {
            const auto first = static_cast<unsigned char>(c.text[0]);
            EXPECT_TRUE(PosixRegex::possibleFirstBytes(c.pattern)[first])
                << c.pattern << " filters out " << c.text;
        }
        if (c.matches) {
            const auto prefixes = PosixRegex::literalPrefixes(c.pattern);
            const QByteArray text(c.text);
            EXPECT_TRUE(prefixes.empty() ||
                        std::any_of(prefixes.begin(), prefixes.end(),
                                    [&](const QByteArray& p) { return text.startsWith(p); }))
                << c.pattern << " filters out " << c.text;
        }
    }
    // The filters do narrow the table down.
    EXPECT_EQ(PosixRegex::possibleFirstBytes("(ST|MB)[0-9]+").count(), 2u);
    EXPECT_EQ(PosixRegex::possibleFirstBytes("x?y").count(), 2u);
    EXPECT_EQ(PosixRegex::literalPrefixes("ST3(1|2)0|WDC? W\\.D+|(A|B)"),
              std::vector<QByteArray>{});
    EXPECT_EQ(PosixRegex::literalPrefixes("ST3(1|2)0|WDC? W\\.D+"),
              (std::vector<QByteArray>{"ST3", "WD"}));
}

TEST(PosixRegex, RejectsMalformedExpressions) {
    for (const char* pattern :
         {"(ab", "ab)", "[ab", "a{3,2}", "a{", "*a", "a|+b", "[[:word:]]", "x{300}", "ab\\"}) {
        QString error;
        EXPECT_FALSE(PosixRegex::compile(pattern, &error)) << pattern;
        EXPECT_FALSE(error.isEmpty()) << pattern;
    }
}
