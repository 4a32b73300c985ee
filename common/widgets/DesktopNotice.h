#pragma once

#include "VornComWidgetsExport.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QSystemTrayIcon;

// Tells the user something through the desktop: a balloon of the program's
// tray icon when one is shown, else the desktop's notification service over
// the session bus (org.freedesktop.Notifications). A click on a balloon
// runs the clicked callback; a notification on the bus carries a button
// instead (SetAction), since a click on its body reaches no program.
class VORNCOMWIDGETS_API CDesktopNotice : public QObject {
    Q_OBJECT

public:
    explicit CDesktopNotice(QString appName, QObject* parent = nullptr);
    ~CDesktopNotice() override;

    // The icon whose balloons to use; null, or one not shown: the bus.
    void SetTrayIcon(QSystemTrayIcon* icon);
    void SetClicked(std::function<void()> clicked) { m_clicked = std::move(clicked); }

    // The button of the notifications sent over the bus: the action's key
    // and the label the user reads. Empty: no button.
    void SetAction(QString key, QString label);

    // False when neither way was there (no tray, no bus service).
    bool Show(const QString& title, const QString& text);

signals:
    // The user pressed the button on one of the notifications this object
    // sent; presses on other programs' notifications never count.
    void actionInvoked();

private slots:
    void OnActionInvoked(uint id, const QString& key);
    void OnClosed(uint id, uint reason);

private:
    bool ShowOnBus(const QString& title, const QString& text);
    void ListenOnBus();
    void Remember(uint id);

    QString m_appName;
    QSystemTrayIcon* m_icon = nullptr;
    QMetaObject::Connection m_iconClick;
    std::function<void()> m_clicked;
    QString m_actionKey;
    QString m_actionLabel;
    bool m_listening = false;
    // Our notifications still open on the bus, by the ids the service
    // gave, oldest first.
    QList<uint> m_open;
};
