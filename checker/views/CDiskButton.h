#pragma once

#include "DiskState.h"
#include "IndicatorValues.h"

#include <QIcon>
#include <QWidget>

#include <optional>

namespace vorn::checker {

// The toolbar's square for one disk: the disk's temperature as a colour from
// cyan to red, its drive icon, the temperature figure in white with a red
// outline, and a bar of the disk's wear along the bottom. It paints the
// values it was given last; the window gives it new ones after a pass.
//
// For assistive technology the square is a button named by its tooltip;
// pressing it, by mouse or through accessibility, emits clicked().
class CDiskButton : public QWidget {
    Q_OBJECT

public:
    // No values: no disk, a grey square without a figure or a bar. The
    // icon may be null.
    explicit CDiskButton(std::optional<DiskButtonValues> values = std::nullopt,
                         const QIcon& icon = QIcon(), QWidget* parent = nullptr);

    const std::optional<DiskButtonValues>& Values() const { return m_values; }
    void SetValues(std::optional<DiskButtonValues> values);
    const QIcon& Icon() const { return m_hIcon; }
    void SetIcon(const QIcon& icon);
    // A warning state frames the square in its colour and puts its badge in
    // the top right corner; the tip, which names the button, carries the word.
    DiskState State() const { return m_state; }
    void SetState(DiskState state);

    // The disk the window shows: marked with a bar in the palette's
    // highlight above the square, and checked for a screen reader.
    bool IsSelected() const { return m_selected; }
    void SetSelected(bool selected);

    // What a screen reader hears: the model, the temperature and the state
    // word, then the rest of the tip (drive names, why it warns).
    QString AccessibleName() const;

    QSize sizeHint() const override;

    // What a press does: emits clicked().
    void Press();

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QIcon m_hIcon;
    std::optional<DiskButtonValues> m_values;
    DiskState m_state = DiskState::Good;
    bool m_selected = false;
};

} // namespace vorn::checker
