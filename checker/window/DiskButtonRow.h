#pragma once

#include <QWidget>

#include <vector>

class QHBoxLayout;
class QScrollArea;
class QToolButton;

namespace vorn::checker {

class CDiskButton;

// The disk buttons beside the toolbar's commands. However many disks there
// are, each stays reachable: the row scrolls within the room it has, with
// arrow buttons at its ends when it overflows, the mouse wheel, and the
// keyboard (Left and Right, Home and End move between the disks and bring
// the one with the focus into view). Only the shown disk is a Tab stop, so
// Tab leaves the row in one step even with 64 disks.
class CDiskButtonRow : public QWidget {
    Q_OBJECT

public:
    explicit CDiskButtonRow(QWidget* parent = nullptr);

    void Add(CDiskButton* button);
    int Count() const { return int(m_buttons.size()); }
    CDiskButton* Button(int index) const;

    // Marks the shown disk and makes it the row's Tab stop.
    void SetCurrent(int index);
    int Current() const { return m_current; }

    // Scrolls until the button lies wholly in view.
    void Reveal(int index);
    // Whether the button lies wholly in view now.
    bool IsRevealed(int index) const;

    QToolButton* BackButton() const { return m_back; }
    QToolButton* ForwardButton() const { return m_forward; }

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void Step(int steps);
    void FocusButton(int index);
    void UpdateArrows();
    int IndexOf(const QObject* button) const;

    QScrollArea* m_area;
    QWidget* m_strip;
    QHBoxLayout* m_layout;
    QToolButton* m_back;
    QToolButton* m_forward;
    std::vector<CDiskButton*> m_buttons;
    int m_current = -1;
};

} // namespace vorn::checker
