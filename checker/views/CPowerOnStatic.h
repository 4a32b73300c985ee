#pragma once

#include "PanelText.h"

#include <QWidget>

namespace vorn::checker {

// The information panel's power-on time box: "1,234 時間" with a tooltip in
// days and hours, or, while the checker still finds out in which unit the
// disk counts its power-on time, a progress bar with "判別中". The tooltip
// shows when the mouse rests on the box; the box's text is its accessible
// name.
class CPowerOnStatic : public QWidget {
    Q_OBJECT

public:
    explicit CPowerOnStatic(QWidget* parent = nullptr);

    const PowerOnInputs& Inputs() const { return m_inputs; }
    void SetInputs(const PowerOnInputs& inputs);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    PowerOnInputs m_inputs;
};

} // namespace vorn::checker
