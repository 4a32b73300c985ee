#pragma once

#include <QByteArray>

#include <optional>
#include <vector>

// The text of a profile (INI) file, read and changed the way the Windows
// profile functions do, so that a file either side wrote reads the same on
// the other: sections and keys match without regard to ASCII case, the
// first section and the first key of a name count, a value loses the
// blanks around it and one pair of enclosing quotes. Lines that are not
// changed keep their bytes and their line ends; lines written here end in
// CR LF, as the profile functions write them. No file access: the caller
// reads and writes the bytes.
class CProfileText {
public:
    explicit CProfileText(const QByteArray& bytes = QByteArray());

    // The value of key in section; nothing when either is missing.
    std::optional<QByteArray> Value(const QByteArray& section, const QByteArray& key) const;

    // Replaces the key's line, or adds "key=value" at the end of the section,
    // or adds the section at the end of the text.
    void SetValue(const QByteArray& section, const QByteArray& key, const QByteArray& value);

    QByteArray Bytes() const;

private:
    struct Line {
        QByteArray text;
        QByteArray end; // "\r\n", "\n", "\r" or empty on a last line without one
    };

    // Index of the section's header line, or -1.
    int FindSection(const QByteArray& section) const;
    // Index of the key's line within the section starting at header, or -1.
    int FindKey(int header, const QByteArray& key) const;
    // One past the section's last key line.
    int SectionEnd(int header) const;

    QByteArray m_bom;
    std::vector<Line> m_lines;
};
