#include "TerminalWidth.h"

#include <QList>

namespace vorn::drivewatch {

namespace {

// The East Asian Wide and Fullwidth blocks that disk texts and our labels
// can hold; characters of ambiguous width (such as ℃) count as narrow, as
// terminals outside East Asian locales draw them.
bool IsWide(uint c) {
    if (c < 0x1100)
        return false;
    static const struct {
        uint first, last;
    } ranges[] = {
        {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
        {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
    };
    for (const auto& range : ranges) {
        if (c >= range.first && c <= range.last)
            return true;
    }
    return false;
}

} // namespace

int TerminalWidth(const QString& text) {
    int width = 0;
    for (const uint c : text.toUcs4()) {
        // Nearly every character of a report is printable ASCII.
        if (c >= 0x20 && c < 0x7F) {
            ++width;
            continue;
        }
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing ||
            category == QChar::Other_Format || c == 0)
            continue;
        width += IsWide(c) ? 2 : 1;
    }
    return width;
}

QString PadToWidth(const QString& text, int width, bool rightAligned) {
    const int missing = width - TerminalWidth(text);
    if (missing <= 0)
        return text;
    const QString blanks(missing, QLatin1Char(' '));
    return rightAligned ? blanks + text : text + blanks;
}

} // namespace vorn::drivewatch
