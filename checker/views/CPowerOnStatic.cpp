#include "CPowerOnStatic.h"

#include "IndicatorAccessible.h"
#include "IndicatorPainting.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace vorn::checker {

CPowerOnStatic::CPowerOnStatic(QWidget* parent) : QWidget(parent) {
    InstallIndicatorAccessibility();
    setAccessibleName(FormatPowerOn(m_inputs));
}

void CPowerOnStatic::SetInputs(const PowerOnInputs& inputs) {
    m_inputs = inputs;
    setAccessibleName(FormatPowerOn(inputs));
    update();
}

bool CPowerOnStatic::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), FormatPowerOnTip(m_inputs), this);
        return true;
    }
    return QWidget::event(event);
}

void CPowerOnStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont font = this->font();
    QRect textRect = rect();
    int align = Qt::AlignLeft;
    if (m_inputs.total == m_inputs.elapsed) {
        painter.fillRect(rect(), palette().color(QPalette::Base));
    } else {
        // The measurement may overrun its planned time, and a total of 0
        // with some elapsed time has no ratio at all. Keeping the ratio in
        // 0..1 keeps the bar in its frame and its length a valid int.
        const double ratio = m_inputs.total > 0
                                 ? std::clamp(double(m_inputs.elapsed) / m_inputs.total, 0.0, 1.0)
                                 : 1.0;
        textRect = rect().adjusted(0, 0, -10, 0);
        PaintFramedBar(painter, textRect, static_cast<int>(ratio * textRect.width()),
                       QColor(255, 237, 230));
        align = Qt::AlignHCenter;
        font.setWeight(QFont::ExtraBold);
    }
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(textRect, align | Qt::AlignVCenter | Qt::TextSingleLine,
                     FormatPowerOn(m_inputs));
}

} // namespace vorn::checker
