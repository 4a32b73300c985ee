#include "DiskButtonRow.h"

#include "CDiskButton.h"
#include "Translation.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

namespace vorn::checker {

CDiskButtonRow::CDiskButtonRow(QWidget* parent)
    : QWidget(parent), m_area(new QScrollArea(this)), m_strip(new QWidget),
      m_layout(new QHBoxLayout(m_strip)), m_back(new QToolButton(this)),
      m_forward(new QToolButton(this)) {
    setObjectName(QStringLiteral("diskRow"));
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(1);
    m_layout->setSizeConstraint(QLayout::SetFixedSize);
    m_area->setFrameShape(QFrame::NoFrame);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setFocusPolicy(Qt::NoFocus);
    // The toolbar shows through, as it did behind buttons of its own.
    m_area->viewport()->setAutoFillBackground(false);
    m_strip->setAutoFillBackground(false);
    m_area->setWidget(m_strip);
    // The strip takes its width from its layout later; the arrows follow.
    m_strip->installEventFilter(this);
    m_area->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    const struct {
        QToolButton* button;
        Qt::ArrowType arrow;
        const char* name;
        int step;
    } arrows[] = {
        {m_back, Qt::LeftArrow, QT_TRANSLATE_NOOP("DiskButtonRow", "前のディスクへ"), -1},
        {m_forward, Qt::RightArrow, QT_TRANSLATE_NOOP("DiskButtonRow", "次のディスクへ"), 1}};
    for (const auto& a : arrows) {
        a.button->setArrowType(a.arrow);
        a.button->setAutoRaise(true);
        a.button->setAutoRepeat(true);
        // The keyboard has Left and Right on the disks themselves.
        a.button->setFocusPolicy(Qt::NoFocus);
        a.button->setAccessibleName(Cm_Tr("DiskButtonRow", a.name));
        a.button->setToolTip(Cm_Tr("DiskButtonRow", a.name));
        a.button->hide();
        const int step = a.step;
        connect(a.button, &QToolButton::clicked, this, [this, step] { Step(step); });
    }
}

void CDiskButtonRow::Add(CDiskButton* button) {
    m_layout->addWidget(button);
    // A layout shows a new child of a visible row only on the next event
    // round; the scan's end must not leave the squares blank until then.
    button->show();
    button->installEventFilter(this);
    // Until a disk is shown every button is a stop; then only that one.
    button->setFocusPolicy(m_current < 0 ? Qt::StrongFocus : Qt::ClickFocus);
    m_buttons.push_back(button);
    m_layout->activate();
    m_strip->adjustSize();
    updateGeometry();
    UpdateArrows();
}

CDiskButton* CDiskButtonRow::Button(int index) const {
    return index >= 0 && index < Count() ? m_buttons[std::size_t(index)] : nullptr;
}

void CDiskButtonRow::SetCurrent(int index) {
    m_current = index;
    for (int k = 0; k < Count(); ++k) {
        m_buttons[std::size_t(k)]->SetSelected(k == index);
        m_buttons[std::size_t(k)]->setFocusPolicy(k == index || index < 0 ? Qt::StrongFocus
                                                                          : Qt::ClickFocus);
    }
}

bool CDiskButtonRow::IsRevealed(int index) const {
    const CDiskButton* button = Button(index);
    if (!button || !isVisible())
        return false;
    const QRect inView(button->mapTo(m_area->viewport(), QPoint(0, 0)), button->size());
    return m_area->viewport()->rect().contains(inView);
}

void CDiskButtonRow::Reveal(int index) {
    if (CDiskButton* button = Button(index)) {
        m_area->ensureWidgetVisible(button, 0, 0);
        UpdateArrows();
    }
}

QSize CDiskButtonRow::sizeHint() const {
    return m_strip->sizeHint();
}

int CDiskButtonRow::IndexOf(const QObject* button) const {
    const auto found = std::find(m_buttons.begin(), m_buttons.end(), button);
    return found == m_buttons.end() ? -1 : int(found - m_buttons.begin());
}

void CDiskButtonRow::FocusButton(int index) {
    if (CDiskButton* button = Button(std::clamp(index, 0, Count() - 1)))
        button->setFocus(Qt::OtherFocusReason);
}

bool CDiskButtonRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_strip && event->type() == QEvent::Resize)
        UpdateArrows();
    const int index = IndexOf(watched);
    if (index >= 0 && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            FocusButton(index - 1);
            return true;
        case Qt::Key_Right:
        case Qt::Key_Down:
            FocusButton(index + 1);
            return true;
        case Qt::Key_Home:
            FocusButton(0);
            return true;
        case Qt::Key_End:
            FocusButton(Count() - 1);
            return true;
        default:
            break;
        }
    }
    if (index >= 0 && event->type() == QEvent::FocusIn)
        Reveal(index);
    return QWidget::eventFilter(watched, event);
}

void CDiskButtonRow::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const int steps = (delta.y() != 0 ? delta.y() : delta.x()) / 120;
    if (steps != 0) {
        Step(-steps);
        event->accept();
        return;
    }
    QWidget::wheelEvent(event);
}

void CDiskButtonRow::Step(int steps) {
    QScrollBar* bar = m_area->horizontalScrollBar();
    const int width = m_buttons.empty() ? 34 : m_buttons.front()->width() + 1;
    bar->setValue(bar->value() + steps * width);
    UpdateArrows();
}

void CDiskButtonRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateArrows();
}

void CDiskButtonRow::UpdateArrows() {
    const bool overflows = m_strip->width() > width();
    const int arrow = overflows ? std::max(12, height() / 3) : 0;
    m_back->setVisible(overflows);
    m_forward->setVisible(overflows);
    m_back->setGeometry(0, 0, arrow, height());
    m_forward->setGeometry(width() - arrow, 0, arrow, height());
    m_area->setGeometry(arrow, 0, std::max(0, width() - 2 * arrow), height());
    const QScrollBar* bar = m_area->horizontalScrollBar();
    m_back->setEnabled(bar->value() > bar->minimum());
    m_forward->setEnabled(bar->value() < bar->maximum());
}

} // namespace vorn::checker
