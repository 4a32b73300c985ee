#include "WindowPlacement.h"

#include <algorithm>

namespace vorn::checker {

QRect PlaceWithin(QSize wanted, const QMargins& frame, const QRect& available) {
    const QRect room = available.marginsRemoved(frame);
    const QSize size(std::max(1, std::min(wanted.width(), room.width())),
                     std::max(1, std::min(wanted.height(), room.height())));
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(room.center());
    // An odd centre may leave it one pixel past the top or the left.
    placed.moveLeft(std::max(placed.left(), room.left()));
    placed.moveTop(std::max(placed.top(), room.top()));
    return placed;
}

QMargins AssumedFrame(int fontHeight) {
    return QMargins(4, 2 * fontHeight + 4, 4, 4);
}

} // namespace vorn::checker
