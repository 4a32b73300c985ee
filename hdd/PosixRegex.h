#pragma once

#include "VornHddExport.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <bitset>
#include <optional>
#include <vector>

// A POSIX extended regular expression as the drive database writes them,
// matched against a whole string of bytes. Its own engine rather than
// QRegularExpression: the database's expressions use POSIX bracket rules
// (a backslash is an ordinary character inside brackets), and an unknown
// drive is tried against every model expression of the database, which a
// compiler with a JIT behind it would make the most costly part of a run.
// The program is run as a set of states in step with the text, so no
// expression can take more than time proportional to its size times the
// text's length.
namespace vorn::hdd {

class VORNHDD_API PosixRegex {
public:
    // Nullopt with *error set for a malformed expression (an unbalanced
    // bracket or parenthesis, a bad interval, an unknown character class).
    static std::optional<PosixRegex> compile(QByteArrayView pattern, QString* error = nullptr);

    // True when the expression matches all of text, as "^(pattern)$" would.
    bool matchesWhole(QByteArrayView text) const;

    // The bytes a whole match of pattern may begin with, read from the text
    // without compiling it; all bytes when it cannot tell (and for a pattern
    // that may match the empty string). Lets a lookup leave out most of a
    // table's expressions before compiling any.
    static std::bitset<256> possibleFirstBytes(QByteArrayView pattern);

    // The literal text each top-level alternative starts with, when every
    // one starts with some: a whole match begins with one of them. Empty
    // when it cannot tell.
    static std::vector<QByteArray> literalPrefixes(QByteArrayView pattern);

    enum class Op : unsigned char { Byte, Any, Class, Split, Jump, LineStart, LineEnd, Match };
    struct Instruction {
        Op op = Op::Match;
        unsigned char byte = 0;
        int a = 0; // Class: index into the classes; Split, Jump: target
        int b = 0; // Split: second target
    };

private:
    PosixRegex() = default;

    std::vector<Instruction> m_program;
    std::vector<std::bitset<256>> m_classes;

    friend class PosixRegexCompiler;
};

} // namespace vorn::hdd
