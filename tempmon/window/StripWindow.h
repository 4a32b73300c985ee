#pragma once

#include "DesktopNotice.h"
#include "HeatgaugeMonitor.h"
#include "TemperatureHistory.h"
#include "TrayIcons.h"

#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QWidget>

#include <functional>
#include <memory>

// The strip: a frameless tool window (no task bar entry) of temperature
// cells, with the tray icons and the popup menu. It shows what the monitor
// tells it and hands every click and move to the monitor.
class CStripWindow : public QWidget, public CStripView {
    Q_OBJECT

public:
    explicit CStripWindow(CHeatgaugeMonitor* monitor);
    ~CStripWindow() override;

    // The work area of the screen the strip is on.
    WinRect WorkArea() const;

    void Place(const WinRect& rect) override;
    void SetTopmost(bool topmost) override;
    void SetMouseInput(bool takesInput) override;
    void Fade(bool fadeIn, int percent) override;
    void ShowReadings(const std::vector<DiskReading>& readings) override;
    void ShowAbout() override;
    void Activate() override;
    void Finish(bool fadeOut, int percent) override;
    // A click on the message asks whether to accept the disks as they are.
    void Notify(const QString& title, const QString& text) override;
    void ShowHistory(const vorn::diskpass::GraphQuery& query) override;
    // The "温度の履歴" window once opened; none before.
    CTemperatureHistory* History() const { return m_history.get(); }
    // Where its graphs are loaded; Qt's thread pool unless set.
    void SetHistoryWorker(vorn::diskpass::CHistoryGraphs::Worker worker) {
        m_historyWorker = std::move(worker);
    }

    const QImage& Picture() const { return m_picture; }
    const std::vector<DiskReading>& Readings() const { return m_readings; }
    const CTrayIcons& Tray() const { return m_tray; }
    // The popup menu as it opens now.
    QMenu* Menu();
    void OpenMenu(const QPoint& globalPos);

    // The cells as a screen reader and the keyboard see them.
    int CellCount() const { return static_cast<int>(m_readings.size()); }
    const DiskReading& ReadingAt(int index) const { return m_readings.at(std::size_t(index)); }
    QRect CellRect(int index) const;
    // The cell the arrow keys move to; framed while the strip has the focus.
    int FocusCell() const { return m_focusCell; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetFlag(Qt::WindowType flag, bool on);
    void FollowScreens();
    void MoveFocusCell(int index);

    CHeatgaugeMonitor* m_monitor;
    std::unique_ptr<QMenu> m_menu;
    CTrayIcons m_tray;
    std::unique_ptr<CTemperatureHistory> m_history;
    vorn::diskpass::CHistoryGraphs::Worker m_historyWorker;
    CDesktopNotice m_notice;
    std::vector<DiskReading> m_readings;
    QImage m_picture;
    int m_focusCell = 0;
    QMetaObject::Connection m_screenWatch;
};

// The About box: the program's name and version and its copyright. Made
// apart from its showing, so that what it says can be read without a modal
// loop.
std::unique_ptr<QDialog> MakeHeatgaugeAbout(QWidget* parent);
void ShowHeatgaugeAbout(QWidget* parent);
