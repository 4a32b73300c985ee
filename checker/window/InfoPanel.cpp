#include "InfoPanel.h"

#include "CPowerOnStatic.h"
#include "CTempStatic.h"
#include "DiskStateLook.h"
#include "ElidingLabel.h"
#include "Translation.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace vorn::checker {

namespace {

struct FieldPlace {
    PanelField field;
    QRect value;   // dialog units
    QRect caption; // dialog units
    int leftmost;  // dialog units: where the value before the caption ends
};

// The panel's fields where the window has always had them.
constexpr FieldPlace kPlaces[] = {
    {PanelField::Temperature, {46, 36, 55, 32}, {13, 36, 32, 8}, 13},
    {PanelField::PowerOn, {62, 70, 42, 12}, {25, 72, 34, 8}, 26},
    {PanelField::PowerCycles, {62, 84, 42, 8}, {13, 84, 46, 8}, 9},
    {PanelField::Model, {162, 36, 101, 8}, {112, 36, 47, 8}, 106},
    {PanelField::Firmware, {162, 48, 101, 8}, {112, 48, 47, 8}, 106},
    {PanelField::Serial, {162, 60, 101, 8}, {112, 60, 47, 8}, 106},
    {PanelField::Capacity, {162, 72, 101, 8}, {112, 72, 47, 8}, 106},
    {PanelField::DriveLetters, {162, 84, 101, 8}, {112, 84, 47, 8}, 106},
    {PanelField::Interface, {322, 36, 99, 8}, {268, 36, 51, 8}, 265},
    {PanelField::Standard, {322, 48, 99, 8}, {268, 48, 51, 8}, 265},
    {PanelField::TransferSupported, {322, 60, 99, 8}, {268, 60, 51, 8}, 265},
    {PanelField::TransferActive, {322, 72, 99, 8}, {268, 72, 51, 8}, 265},
    {PanelField::Smart, {322, 84, 28, 8}, {268, 84, 51, 8}, 265},
    {PanelField::Status, {393, 84, 28, 8}, {358, 84, 32, 8}, 352},
};

QRect Place(const CDialogUnits& units, const QRect& r) {
    return units.Rect(r.x(), r.y(), r.width(), r.height());
}

} // namespace

CInfoPanel::CInfoPanel(QWidget* window, const CDialogUnits& units) {
    m_background = new QWidget(window);
    m_background->setObjectName(QStringLiteral("panel"));
    m_background->setGeometry(units.Rect(7, 29, 417, 68));
    m_background->setAutoFillBackground(true);
    // The panel is the palette's base (white in a light theme) and every
    // label on it paints in the base's own text colour, so a dark theme
    // turns both and never leaves light text on white.
    m_background->setBackgroundRole(QPalette::Base);

    for (const FieldPlace& place : kPlaces) {
        const int k = static_cast<int>(place.field);
        auto* caption = new QLabel(PanelLabel(place.field), window);
        QRect captionRect = Place(units, place.caption);
        QRect valueRect = Place(units, place.value);
        // A caption wider than its slot (an English one) first grows to the
        // left, into the empty space before it, up to the value before it;
        // what it still lacks it takes from the front of its own value,
        // which elides with a tip when cut.
        const int textWidth = CaptionWidth(caption->fontMetrics(), caption->text());
        if (textWidth > captionRect.width()) {
            if (place.field != PanelField::Temperature)
                captionRect.setLeft(
                    std::max(units.X(place.leftmost), captionRect.right() + 1 - textWidth));
            const int lacking = textWidth - captionRect.width();
            if (lacking > 0) {
                captionRect.setWidth(textWidth);
                valueRect.setLeft(valueRect.left() + lacking);
            }
        }
        caption->setGeometry(captionRect);
        caption->setForegroundRole(QPalette::Text);
        // Every caption is right-aligned but the temperature's.
        caption->setAlignment(place.field == PanelField::Temperature
                                  ? Qt::AlignLeft | Qt::AlignTop
                                  : Qt::AlignRight | Qt::AlignTop);
        m_captions[k] = caption;

        QWidget* value = nullptr;
        if (place.field == PanelField::Temperature) {
            m_temperature = new CTempStatic(window);
            m_temperature->SetText(QStringLiteral("-"));
            value = m_temperature;
        } else if (place.field == PanelField::PowerOn) {
            m_powerOn = new CPowerOnStatic(window);
            value = m_powerOn;
        } else {
            auto* label = new CElidingLabel(QStringLiteral("-"), window);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            label->setForegroundRole(QPalette::Text);
            value = label;
        }
        value->setObjectName(QStringLiteral("field%1").arg(PanelControlId(place.field)));
        value->setGeometry(valueRect);
        // A screen reader announces each value with its caption.
        caption->setBuddy(value);
        m_values[k] = value;
    }

    m_statusMark = new QLabel(window);
    m_statusMark->setObjectName(QStringLiteral("statusMark"));
    m_statusMark->hide();

    m_star = new QPushButton(QStringLiteral("*"), window);
    m_star->setObjectName(QStringLiteral("restartMeasurement"));
    m_star->setGeometry(units.Rect(14, 70, 11, 12));
    m_star->setToolTip(Cm_Tr("InfoPanel", "使用時間の再検査"));
    // "*" says nothing read aloud; the button is named by its tip.
    m_star->setAccessibleName(m_star->toolTip());
    m_star->setAutoDefault(false);
    m_star->setEnabled(false);

    m_message = new QLabel(window);
    m_message->setObjectName(QStringLiteral("panelMessage"));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setAutoFillBackground(true);
    m_message->setBackgroundRole(QPalette::Base);
    m_message->setForegroundRole(QPalette::Text);
    m_message->hide();
}

void CInfoPanel::ShowMessage(const QString& message) {
    m_message->setText(message);
    m_message->setVisible(!message.isEmpty());
    FitMessage();
}

void CInfoPanel::FitMessage() {
    if (m_message->isHidden())
        return;
    m_message->setGeometry(m_background->geometry());
    m_message->raise();
}

QString CInfoPanel::ValueText(PanelField field) const {
    // The painted boxes carry their text as their accessible name.
    QWidget* value = Value(field);
    if (auto* label = qobject_cast<QLabel*>(value))
        return label->text();
    return value->accessibleName();
}

void CInfoPanel::Show(const PanelTexts& texts, DiskState state) {
    for (const FieldPlace& place : kPlaces) {
        if (place.field == PanelField::Temperature)
            m_temperature->SetText(texts[place.field]);
        else if (place.field == PanelField::PowerOn)
            m_powerOn->SetInputs(texts.powerOn);
        else
            static_cast<QLabel*>(Value(place.field))->setText(texts[place.field]);
    }
    auto* status = static_cast<QLabel*>(Value(PanelField::Status));
    status->setToolTip(texts.statusTip);
    const DiskStateLook look = LookOf(state, status->parentWidget()->palette());
    QPalette palette = status->parentWidget()->palette();
    if (look.warns)
        palette.setColor(QPalette::Text, look.colour);
    status->setPalette(palette);
    QFont font = status->parentWidget()->font();
    font.setBold(look.warns);
    status->setFont(font);
    // The mark stands after the word, where the slot has room for it.
    m_statusMark->setVisible(look.warns);
    if (look.warns) {
        m_statusMark->setText(look.mark);
        m_statusMark->setPalette(palette);
        m_statusMark->setForegroundRole(QPalette::Text);
        m_statusMark->setFont(font);
        m_statusMark->setToolTip(texts.statusTip);
        m_statusMark->setAccessibleName(look.word);
        const QRect slot = status->geometry();
        const int wordWidth = status->fontMetrics().horizontalAdvance(status->text());
        m_statusMark->setGeometry(slot.left() + wordWidth + 2, slot.top(),
                                  m_statusMark->fontMetrics().horizontalAdvance(look.mark) + 2,
                                  slot.height());
        m_statusMark->raise();
    }
    m_star->setEnabled(texts.starEnabled);
}

} // namespace vorn::checker
