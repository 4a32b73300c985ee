#include "DesktopNotice.h"

#include <QSystemTrayIcon>

#ifdef VORN_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>
#endif

namespace {
#ifdef VORN_HAVE_DBUS
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
#endif
constexpr int kBalloonMs = 15000;
} // namespace

CDesktopNotice::CDesktopNotice(QString appName, QObject* parent)
    : QObject(parent), m_appName(std::move(appName)) {}

CDesktopNotice::~CDesktopNotice() = default;

void CDesktopNotice::SetTrayIcon(QSystemTrayIcon* icon) {
    disconnect(m_iconClick);
    m_icon = icon;
    if (m_icon)
        m_iconClick = connect(m_icon, &QSystemTrayIcon::messageClicked, this, [this] {
            if (m_clicked)
                m_clicked();
        });
}

bool CDesktopNotice::Show(const QString& title, const QString& text) {
    if (m_icon && m_icon->isVisible() && QSystemTrayIcon::supportsMessages()) {
        m_icon->showMessage(title, text, QSystemTrayIcon::Warning, kBalloonMs);
        return true;
    }
    return ShowOnBus(title, text);
}

bool CDesktopNotice::ShowOnBus(const QString& title, const QString& text) {
#ifdef VORN_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << m_appName << 0u << QString() << title << text << QStringList() << QVariantMap() << -1;
    // Asynchronous: a missing service must not hold the window.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
            &QDBusPendingCallWatcher::deleteLater);
    return true;
#else
    Q_UNUSED(title);
    Q_UNUSED(text);
    return false;
#endif
}
