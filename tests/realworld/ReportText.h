#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// Reading a smartctl text report: its lines, its "Key:   value" fields and
// the numbers smartctl prints with thousands separators of any locale.
namespace realworld {

class ReportText {
public:
    explicit ReportText(const QString& text);

    const QStringList& lines() const { return m_lines; }

    // The value of the first "key: value" line (key matched whole, at the
    // start of the line), trimmed; nullopt when no line has the key.
    std::optional<QString> field(const QString& key) const;

    bool contains(const QString& text) const;

    // The index of the first line starting with prefix, -1 when none.
    int lineStartingWith(const QString& prefix, int from = 0) const;

private:
    QStringList m_lines;
};

// The number at the start of text with its separators (",", ".", blanks)
// dropped, up to the first other character: "1,000,204,886,016 bytes [1.00
// TB]" gives 1000204886016. Nullopt when text starts with no digit or the
// number passes 64 bits.
std::optional<std::uint64_t> leadingGroupedNumber(const QString& text);

// A plain decimal (optionally signed) that must be the whole text.
std::optional<std::int64_t> wholeNumber(const QString& text);

} // namespace realworld
