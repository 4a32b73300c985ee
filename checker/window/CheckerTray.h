#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QAction;
class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace vorn::checker {

// The checker's place in the notification area: the program icon with its
// tip, a left click that opens the window, and the popup menu. Without a
// notification area (no tray host) there is no icon; Available() says so
// and the window never hides itself where it could not be found again.
class CCheckerTray : public QObject {
    Q_OBJECT

public:
    CCheckerTray(const QIcon& icon, const QString& tip, bool available, QObject* parent = nullptr);
    ~CCheckerTray() override;

    bool Available() const { return m_icon != nullptr; }
    // The icon that shows the balloons; null without a notification area.
    QSystemTrayIcon* Icon() const { return m_icon; }
    void SetTip(const QString& tip);
    bool IsVisible() const;
    void Remove();

    // The popup menu, in order: open, self-test, separator, support, about,
    // quit.
    QMenu* Menu() const { return m_menu.get(); }
    QAction* OpenAction() const { return m_open; }
    QAction* SelfTestAction() const { return m_selfTest; }
    QAction* SupportAction() const { return m_support; }
    QAction* AboutAction() const { return m_about; }
    QAction* ExitAction() const { return m_exit; }

signals:
    void openMainRequested();
    void selfTestRequested();
    void supportRequested();
    void aboutRequested();
    void exitRequested();

private:
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon* m_icon = nullptr;
    QAction* m_open;
    QAction* m_selfTest;
    QAction* m_support;
    QAction* m_about;
    QAction* m_exit;
};

} // namespace vorn::checker
