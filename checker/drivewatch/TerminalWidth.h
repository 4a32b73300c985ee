#pragma once

#include <QString>

namespace vorn::drivewatch {

// Columns a text takes on a terminal: East Asian wide and full-width
// characters take two, combining marks none, everything else one.
int TerminalWidth(const QString& text);

// text with blanks added on the right (left alignment) or the left, up to
// width columns; a text already as wide or wider is returned as it is.
QString PadToWidth(const QString& text, int width, bool rightAligned);

} // namespace vorn::drivewatch
