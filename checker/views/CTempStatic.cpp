#include "CTempStatic.h"

#include "IndicatorAccessible.h"
#include "IndicatorValues.h"
#include "LeadingNumber.h"

#include <QApplication>
#include <QPainter>

#include <climits>

namespace vorn::checker {

CTempStatic::CTempStatic(QWidget* parent) : QWidget(parent) {
    InstallIndicatorAccessibility();
}

void CTempStatic::SetText(const QString& text) {
    m_strText = text;
    setAccessibleName(text);
    update();
}

void CTempStatic::paintEvent(QPaintEvent*) {
    const auto degrees =
        static_cast<int>(vorn::readLeadingNumber(m_strText, INT_MIN, INT_MAX).saturated);
    QString text = m_strText;
    QColor fill;
    QColor pen(Qt::white);
    const auto colour = TemperatureColour(degrees, kTempBoxSlope);
    if (colour && m_strText != QStringLiteral("-")) {
        fill = QColor(colour->red, colour->green, colour->blue);
    } else {
        // No reading is no colour of the scale: a black box looked like a
        // cold or dead disk. The palette's neutral face with a dash says
        // "nothing known" in a light and a dark theme alike.
        fill = palette().color(QPalette::Button);
        pen = palette().color(QPalette::ButtonText);
        text = QStringLiteral("-");
    }

    QFont font = QApplication::font();
    font.setPointSize(24);
    QPainter painter(this);
    painter.fillRect(rect(), fill);
    painter.setFont(font);
    painter.setPen(pen);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text);
}

} // namespace vorn::checker
