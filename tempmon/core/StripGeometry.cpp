#include "StripGeometry.h"

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

WinSize Size(int diskCount) {
    if (diskCount < 1)
        return {kCellSize, kHeight};
    return {kCellPitch * diskCount - 1, kHeight};
}

WinRect Cell(int index) {
    return {kCellPitch * index, 0, kCellPitch * index + kCellSize, kHeight};
}

int CellAt(int x, int y, int diskCount) {
    if (x < 0 || y < 0 || y >= kHeight)
        return -1;
    const int index = x / kCellPitch;
    if (index >= diskCount || x - index * kCellPitch >= kCellSize)
        return -1;
    return index;
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
