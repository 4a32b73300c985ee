#pragma once

#include <optional>

// Where the strip sits and how big it is. Rectangles are in screen pixels
// with the right and bottom edges outside the rectangle, so width is right
// minus left; that is also how the settings file stores the place.
struct WinRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(const WinRect& inner) const {
        return inner.left >= left && inner.top >= top && inner.right <= right &&
               inner.bottom <= bottom;
    }
    bool operator==(const WinRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const WinRect& o) const { return !(*this == o); }
};

struct WinSize {
    int width = 0;
    int height = 0;
    bool operator==(const WinSize& o) const { return width == o.width && height == o.height; }
};

namespace strip {

constexpr int kCellSize = 26;  // a cell's frame, in window pixels
constexpr int kCellPitch = 27; // one white column between two cells
constexpr int kHeight = 24;
constexpr int kSnapDistance = 4;

// The strip for n disks: 27 n - 1 by 24. The window system draws no frame
// around it. An empty strip keeps the size of one cell, the smallest the
// window may get, so that it can still be found and clicked.
WinSize Size(int diskCount);

// Cell i's frame in window pixels.
WinRect Cell(int index);

// The cell under a point of the window, or -1.
int CellAt(int x, int y, int diskCount);

// A proposed top-left corner pulled into the work area: within 4 pixels of
// an edge it snaps onto the edge, and a corner past the far edge comes back
// so that the window ends there (that rule wins when the window is larger
// than the work area).
WinRect Snap(int x, int y, WinSize size, const WinRect& workArea);

// The default place: the bottom-right corner of the work area.
WinRect DefaultPlace(WinSize size, const WinRect& workArea);

// The work area changed from oldArea to newArea (a panel grew or moved).
// The window is first pulled into the new area, then follows at most one of
// the edges it lay on. The new rectangle, or nothing when it stays put.
std::optional<WinRect> FollowWorkArea(const WinRect& window, const WinRect& oldArea,
                                      const WinRect& newArea);

} // namespace strip
