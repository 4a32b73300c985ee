#include "StripGeometry.h"

#include <algorithm>

namespace strip {

namespace {

WinRect At(int x, int y, WinSize size) {
    return {x, y, x + size.width, y + size.height};
}

int SnapAxis(int value, int extent, int low, int high) {
    if (value < low + kSnapDistance)
        value = low;
    if (value > high - extent - kSnapDistance)
        value = high - extent;
    return value;
}

} // namespace

int Columns(int diskCount, int workWidth) {
    if (workWidth <= 0 || Size(diskCount).width <= workWidth)
        return 0;
    return std::max(1, (workWidth + 1) / kCellPitch);
}

WinSize Size(int diskCount, int columns) {
    if (diskCount < 1)
        return {kCellSize, kHeight};
    if (columns <= 0 || columns >= diskCount)
        return {kCellPitch * diskCount - 1, kHeight};
    const int rows = (diskCount + columns - 1) / columns;
    return {kCellPitch * columns - 1, kRowPitch * rows - 1};
}

WinRect Cell(int index, int columns) {
    const int column = columns > 0 ? index % columns : index;
    const int row = columns > 0 ? index / columns : 0;
    const int left = kCellPitch * column;
    const int top = kRowPitch * row;
    return {left, top, left + kCellSize, top + kHeight};
}

int CellAt(int x, int y, int diskCount, int columns) {
    if (x < 0 || y < 0)
        return -1;
    const int column = x / kCellPitch;
    const int row = y / kRowPitch;
    if (x - column * kCellPitch >= kCellSize || y - row * kRowPitch >= kHeight)
        return -1;
    if (columns <= 0 ? row > 0 : column >= columns)
        return -1;
    const int index = row * (columns > 0 ? columns : 0) + column;
    return index < diskCount ? index : -1;
}

WinRect Snap(int x, int y, WinSize size, const WinRect& workArea) {
    return At(SnapAxis(x, size.width, workArea.left, workArea.right),
              SnapAxis(y, size.height, workArea.top, workArea.bottom), size);
}

WinRect DefaultPlace(WinSize size, const WinRect& workArea) {
    return At(workArea.right - size.width, workArea.bottom - size.height, size);
}

std::optional<WinRect> FollowWorkArea(const WinRect& window, const WinRect& oldArea,
                                      const WinRect& newArea) {
    const WinSize size{window.Width(), window.Height()};
    WinRect w = window;
    bool moved = false;
    if (!newArea.Contains(w)) {
        w = Snap(w.left, w.top, size, newArea);
        moved = true;
    }
    // The window follows the first edge it lay on that moved.
    if (w.left == oldArea.left && w.left != newArea.left)
        return At(newArea.left, w.top, size);
    if (w.left != oldArea.left && w.right != oldArea.right && w.top != oldArea.top &&
        w.bottom != oldArea.bottom)
        return moved ? std::optional<WinRect>(w) : std::nullopt;
    if (w.right == oldArea.right && w.right != newArea.right)
        return At(newArea.right - size.width, w.top, size);
    if (w.top == oldArea.top && w.top != newArea.top)
        return At(w.left, newArea.top, size);
    if (w.bottom == oldArea.bottom && w.bottom != newArea.bottom)
        return At(w.left, newArea.bottom - size.height, size);
    return w;
}

} // namespace strip
