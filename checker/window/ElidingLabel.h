#pragma once

#include <QLabel>

namespace vorn::checker {

// A one-line value that does not fit its slot ends in "…" instead of being
// cut mid-character, and the whole text shows as its tip (unless it has a
// tip of its own).
class CElidingLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    bool IsCut() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace vorn::checker
