#pragma once

#include "DialogUnits.h"
#include "DiskState.h"
#include "PanelText.h"

#include <QRect>

#include <array>

class QLabel;
class QPushButton;
class QWidget;

namespace vorn::checker {

class CPowerOnStatic;
class CTempStatic;

// The information panel of the main window: a white area with a caption and
// a value for every field, the temperature and power-on boxes, and the "*"
// button that restarts the power-on measurement. The controls are children
// of the window, placed in dialog units as the window has always been laid
// out; Show() fills them from the texts checker/core made.
class CInfoPanel {
public:
    CInfoPanel(QWidget* window, const CDialogUnits& units);

    // state colours the status word and sets its mark beside it.
    void Show(const PanelTexts& texts, DiskState state = DiskState::Good);
    QLabel* StatusMark() const { return m_statusMark; }

    // A word over the whole panel instead of its fields (no disk found);
    // an empty text takes it away.
    void ShowMessage(const QString& message);
    QLabel* Message() const { return m_message; }
    // The message covers the panel wherever the window has moved it.
    void FitMessage();

    // The white area: it follows the window's right edge.
    QWidget* Background() const { return m_background; }
    QPushButton* StarButton() const { return m_star; }
    // The control that shows a field (a label, or a painted box).
    QWidget* Value(PanelField field) const { return m_values[static_cast<int>(field)]; }
    QLabel* Caption(PanelField field) const { return m_captions[static_cast<int>(field)]; }

    // What a field reads on screen or to a screen reader.
    QString ValueText(PanelField field) const;

private:
    QWidget* m_background;
    QPushButton* m_star;
    QLabel* m_statusMark = nullptr;
    QLabel* m_message = nullptr;
    CTempStatic* m_temperature = nullptr;
    CPowerOnStatic* m_powerOn = nullptr;
    std::array<QWidget*, kPanelFieldCount> m_values{};
    std::array<QLabel*, kPanelFieldCount> m_captions{};
};

} // namespace vorn::checker
