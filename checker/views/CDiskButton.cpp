#include "CDiskButton.h"

#include "DiskStateLook.h"
#include "IndicatorAccessible.h"
#include "IndicatorPainting.h"
#include "IndicatorValues.h"
#include "Translation.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vorn::checker {

namespace {

constexpr int kSquare = 32;
constexpr int kBarRows = 6;

// The application's default font stands in for the system's GUI font. Its
// height in pixels, or 0 when the font gives none.
int GuiFontPixelHeight(const QFont& font, const QWidget& widget) {
    if (font.pixelSize() > 0)
        return font.pixelSize();
    if (font.pointSizeF() > 0)
        return static_cast<int>(std::lround(font.pointSizeF() * widget.logicalDpiY() / 72.0));
    return 0;
}

} // namespace

CDiskButton::CDiskButton(std::optional<DiskButtonValues> values, const QIcon& icon, QWidget* parent)
    : QWidget(parent), m_hIcon(icon), m_values(values) {
    InstallIndicatorAccessibility();
    // A toolbar gives its own buttons no focus; a disk must still be
    // chosen without a mouse.
    setFocusPolicy(Qt::StrongFocus);
}

void CDiskButton::SetSelected(bool selected) {
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

QString CDiskButton::AccessibleName() const {
    QStringList lines = toolTip().split(QLatin1Char('\n'));
    const QString model = lines.isEmpty() ? QString() : lines.takeFirst();
    const auto degrees =
        m_values ? TemperatureColour(m_values->temperature, kDiskButtonSlope) : std::nullopt;
    const QString temperature = degrees ? QStringLiteral("%1℃").arg(m_values->temperature)
                                        : Cm_Tr("DiskButton", "温度不明");
    // The tip's own state line would say the word twice.
    lines.removeAll(DiskStateTipLine(m_state));
    QStringList name{model + QLatin1Char(' ') + temperature + QLatin1Char(' ') +
                     DiskStateWord(m_state)};
    name += lines;
    return name.join(QLatin1Char('\n'));
}

void CDiskButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        Press();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CDiskButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void CDiskButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void CDiskButton::SetValues(std::optional<DiskButtonValues> values) {
    m_values = values;
    update();
}

void CDiskButton::SetIcon(const QIcon& icon) {
    m_hIcon = icon;
    update();
}

void CDiskButton::SetState(DiskState state) {
    m_state = state;
    update();
}

QSize CDiskButton::sizeHint() const {
    return {2 + kSquare, 3 + kSquare};
}

void CDiskButton::Press() {
    emit clicked();
}

void CDiskButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Press();
    QWidget::mouseReleaseEvent(event);
}

void CDiskButton::paintEvent(QPaintEvent*) {
    const int degrees = m_values ? m_values->temperature : 0;
    QString figure = QStringLiteral("%1c").arg(degrees);
    QColor fill(198, 198, 198);
    if (const auto colour = TemperatureColour(degrees, kDiskButtonSlope))
        fill = QColor(colour->red, colour->green, colour->blue);
    else
        figure.clear();

    QFont font = QApplication::font();
    int textHeight = GuiFontPixelHeight(font, *this);
    if (textHeight > 0) {
        textHeight = static_cast<int>(textHeight * 1.2);
        font.setWeight(QFont::Bold);
        font.setPixelSize(textHeight);
    } else {
        textHeight = QFontMetrics(font).height();
    }

    QPainter painter(this);
    const QRect square(2, 3, kSquare, kSquare);
    painter.fillRect(square, fill);
    m_hIcon.paint(&painter, square);

    // White digits in a one-pixel red outline stay legible on every colour
    // of the scale and on the icon beneath.
    painter.setFont(font);
    const QRect textRect(square.left(), square.top(), kSquare, textHeight);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    painter.setPen(QColor(224, 0, 0));
    for (const QPoint offset : {QPoint(1, 1), QPoint(1, -1), QPoint(-1, -1), QPoint(-1, 1)})
        painter.drawText(textRect.translated(offset), flags, figure);
    painter.setPen(Qt::white);
    painter.drawText(textRect, flags, figure);

    if (m_values) {
        const double wear = m_values->wear;
        const double length = std::clamp(kSquare * wear * 0.01, 0.0, double(kSquare)) + 0.01;
        const QRect bar(square.left(), square.bottom() + 1 - kBarRows, kSquare, kBarRows);
        PaintFramedBar(painter, bar, static_cast<int>(length), QColor(240, 247, 255));
    }

    if (DiskStateWarns(m_state)) {
        // Over the temperature colour the frame and badge say the state: a
        // hot healthy disk and a cool failing one must not look alike.
        painter.setPen(QPen(BadgeColour(m_state), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(square.adjusted(1, 1, -1, -1));
        constexpr int kBadge = 13;
        PaintStateBadge(painter, QRect(square.right() + 1 - kBadge, square.top(), kBadge, kBadge),
                        m_state);
    }

    if (m_selected)
        painter.fillRect(QRect(square.left(), 0, kSquare, 3), palette().highlight());
    if (hasFocus()) {
        // A style's dotted frame can vanish on the temperature colours and
        // the toolbar; black dashes over a white ring cannot.
        painter.setBrush(Qt::NoBrush);
        // Around the square, not over its figure.
        const QRect ring = rect().adjusted(0, 0, -1, -1);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(ring);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(ring);
    }
}

} // namespace vorn::checker
