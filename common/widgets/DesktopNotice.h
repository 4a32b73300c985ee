#pragma once

#include "VornComWidgetsExport.h"

#include <QObject>
#include <QString>

#include <functional>

class QSystemTrayIcon;

// Tells the user something through the desktop: a balloon of the program's
// tray icon when one is shown, else the desktop's notification service over
// the session bus (org.freedesktop.Notifications). A click on a balloon
// runs the clicked callback.
class VORNCOMWIDGETS_API CDesktopNotice : public QObject {
    Q_OBJECT

public:
    explicit CDesktopNotice(QString appName, QObject* parent = nullptr);
    ~CDesktopNotice() override;

    // The icon whose balloons to use; null, or one not shown: the bus.
    void SetTrayIcon(QSystemTrayIcon* icon);
    void SetClicked(std::function<void()> clicked) { m_clicked = std::move(clicked); }

    // False when neither way was there (no tray, no bus service).
    bool Show(const QString& title, const QString& text);

private:
    bool ShowOnBus(const QString& title, const QString& text);

    QString m_appName;
    QSystemTrayIcon* m_icon = nullptr;
    QMetaObject::Connection m_iconClick;
    std::function<void()> m_clicked;
};
