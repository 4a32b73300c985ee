#pragma once

#include <QString>
#include <QWidget>

namespace vorn::checker {

// The information panel's temperature box: its text in large white figures
// on the temperature's colour, or a black box for "-" and every text that
// does not start with a temperature of at least 1 degree. Its text is also
// its accessible name.
class CTempStatic : public QWidget {
    Q_OBJECT

public:
    explicit CTempStatic(QWidget* parent = nullptr);

    const QString& Text() const { return m_strText; }
    // "45℃", or "-" when the disk reports no temperature.
    void SetText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_strText;
};

} // namespace vorn::checker
