#pragma once

#include <QMargins>
#include <QRect>

namespace vorn::checker {

// Where a window of the wanted client size goes on a screen whose free area
// is available, given the frame the window manager adds around it: centred,
// made smaller where the screen is too small, and never with its title bar
// above or its edges beyond the area. Returns the client rectangle. At a
// scale of 2 a 1366 by 768 screen has only 683 by 384 to offer, which is
// less than the checker's window wants.
QRect PlaceWithin(QSize wanted, const QMargins& frame, const QRect& available);

// The frame to assume before the window manager has told its size: a title
// bar of about two lines of text and thin borders.
QMargins AssumedFrame(int fontHeight);

} // namespace vorn::checker
