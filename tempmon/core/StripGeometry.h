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
constexpr int kRowPitch = 25; // one white row between two rows of cells
constexpr int kSnapDistance = 4;

// How many cells a row holds: all of them while the one row fits the work
// area's width, else as many as fit, so that a machine with many disks
// (64 are 1727 pixels in a row) still shows every cell on a small screen.
int Columns(int diskCount, int workWidth);

// The strip for n disks: 27 n - 1 by 24 in one row; in rows of columns
// cells (0: one row) 27 columns - 1 wide and 25 per row - 1 high. The
// window system draws no frame around it. An empty strip keeps the size of
// one cell, the smallest the window may get, so that it can still be found
// and clicked.
WinSize Size(int diskCount, int columns = 0);

// Cell i's frame in window pixels, in rows of columns cells (0: one row).
WinRect Cell(int index, int columns = 0);

// The cell under a point of the window, or -1.
int CellAt(int x, int y, int diskCount, int columns = 0);

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
