#include "IndicatorPainting.h"

#include <QPainter>

#include <algorithm>

namespace vorn::checker {

void PaintFramedBar(QPainter& painter, const QRect& bar, int filled, const QColor& background) {
    painter.fillRect(bar, background);
    const int length = std::clamp(filled, 0, bar.width());
    if (length > 0)
        painter.fillRect(QRect(bar.left(), bar.top(), length, bar.height()), QColor(229, 170, 177));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(120, 127, 169), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace vorn::checker
