#include "ElidingLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace vorn::checker {

bool CElidingLabel::IsCut() const {
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void CElidingLabel::paintEvent(QPaintEvent* event) {
    if (!IsCut()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    painter.drawText(area, int(alignment()) | Qt::TextSingleLine,
                     fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}

bool CElidingLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (IsCut())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

} // namespace vorn::checker
