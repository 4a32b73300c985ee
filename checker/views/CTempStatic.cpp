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
    QColor fill(0, 0, 0);
    const auto colour = TemperatureColour(degrees, kTempBoxSlope);
    if (colour && m_strText != QStringLiteral("-"))
        fill = QColor(colour->red, colour->green, colour->blue);
    else
        text.clear();

    QFont font = QApplication::font();
    font.setPointSize(24);
    QPainter painter(this);
    painter.fillRect(rect(), fill);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text);
}

} // namespace vorn::checker
