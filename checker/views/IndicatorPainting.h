#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace vorn::checker {

// Drawing steps that the checker's indicators share.

// A bar in a one-pixel frame: the whole rectangle in background, the first
// filled pixels from the left in the bar colour (at most the rectangle's
// width), then the frame over both.
void PaintFramedBar(QPainter& painter, const QRect& bar, int filled, const QColor& background);

} // namespace vorn::checker
