#include "PolkitAuthorizer.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

struct PolkitSubject {
    QString kind;
    QVariantMap details;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PolkitSubject& subject) {
    argument.beginStructure();
    argument << subject.kind << subject.details;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PolkitSubject& subject) {
    argument.beginStructure();
    argument >> subject.kind >> subject.details;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(PolkitSubject)

namespace vorn::diskhelper {

namespace {

constexpr uint kAllowUserInteraction = 0x1;
// An administrator's password prompt for switching S.M.A.R.T. may take a
// while; the client waits as long.
constexpr int kTimeoutMs = 110000;

bool isPlainYes(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return false;
    const QVariant result = reply.arguments().first();
    if (!result.canConvert<QDBusArgument>())
        return false;
    const QDBusArgument argument = result.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(bba{ss})"))
        return false;
    bool authorized = false;
    bool challenge = false;
    QMap<QString, QString> details;
    argument.beginStructure();
    argument >> authorized >> challenge >> details;
    argument.endStructure();
    return authorized;
}

} // namespace

void PolkitAuthorizer::authorize(const QString& action, const QString& callerBusName,
                                 std::function<void(bool)> done) {
    static const bool registered = [] {
        qDBusRegisterMetaType<PolkitSubject>();
        qDBusRegisterMetaType<QMap<QString, QString>>();
        return true;
    }();
    Q_UNUSED(registered);

    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.PolicyKit1"),
                                       QStringLiteral("/org/freedesktop/PolicyKit1/Authority"),
                                       QStringLiteral("org.freedesktop.PolicyKit1.Authority"),
                                       QStringLiteral("CheckAuthorization"));
    const PolkitSubject subject{QStringLiteral("system-bus-name"),
                                {{QStringLiteral("name"), callerBusName}}};
    call << QVariant::fromValue(subject) << action << QVariant::fromValue(QMap<QString, QString>())
         << kAllowUserInteraction << QString();
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        done(isPlainYes(watcher->reply()));
    });
}

} // namespace vorn::diskhelper
