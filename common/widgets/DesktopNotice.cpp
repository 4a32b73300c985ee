#include "DesktopNotice.h"

#include <QSystemTrayIcon>

#ifdef VORN_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>
#endif

namespace {
#ifdef VORN_HAVE_DBUS
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
#endif
constexpr int kBalloonMs = 15000;
// A service that never says its notifications closed must not make the
// list of open ones grow without end; the oldest are long gone by then.
constexpr int kMaxOpen = 64;
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

void CDesktopNotice::SetAction(QString key, QString label) {
    m_actionKey = std::move(key);
    m_actionLabel = std::move(label);
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
    QStringList actions;
    if (!m_actionKey.isEmpty() && !m_actionLabel.isEmpty()) {
        ListenOnBus();
        actions << m_actionKey << m_actionLabel;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << m_appName << 0u << QString() << title << text << actions << QVariantMap() << -1;
    // Asynchronous: a missing service must not hold the window.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, hasAction = !actions.isEmpty()] {
                const QDBusPendingReply<uint> reply = *watcher;
                if (hasAction && reply.isValid())
                    Remember(reply.value());
                watcher->deleteLater();
            });
    return true;
#else
    Q_UNUSED(title);
    Q_UNUSED(text);
    return false;
#endif
}

void CDesktopNotice::ListenOnBus() {
#ifdef VORN_HAVE_DBUS
    if (m_listening)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Bound to the service's name, so a signal of the same name from any
    // other sender on the bus is not taken for the service's.
    m_listening = bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                              SLOT(OnActionInvoked(uint, QString))) &&
                  bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                              SLOT(OnClosed(uint, uint)));
#endif
}

void CDesktopNotice::Remember(uint id) {
    if (m_open.size() >= kMaxOpen)
        m_open.removeFirst();
    m_open.append(id);
}

void CDesktopNotice::OnActionInvoked(uint id, const QString& key) {
    // Every program's notifications share the service and its ids.
    if (key != m_actionKey || !m_open.removeOne(id))
        return;
    emit actionInvoked();
}

void CDesktopNotice::OnClosed(uint id, uint) {
    m_open.removeOne(id);
}
