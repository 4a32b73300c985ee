#include "HelperService.h"

#include "HelperProtocol.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace vorn::diskhelper {

HelperService::HelperService(Authorizer& authorizer, DiskAccess& disks,
                             std::function<void(bool)> busy)
    : m_authorizer(authorizer), m_disks(disks), m_busy(std::move(busy)) {}

void HelperService::CheckDisk(const QString& disk) {
    const QString caller = message().service();
    serve(
        [=](HandlerDone done) {
            handleCheckDisk(caller, disk, m_authorizer, m_disks, std::move(done));
        },
        false);
}

QByteArray HelperService::Execute(const QString& disk, const QByteArray& request) {
    const QString caller = message().service();
    serve(
        [=](HandlerDone done) {
            handleExecute(caller, disk, request, m_authorizer, m_disks, std::move(done));
        },
        true);
    return QByteArray(); // the reply goes out when the request is done
}

void HelperService::refuse(const char* errorName, const QString& message) {
    sendErrorReply(QString::fromLatin1(errorName), message);
}

void HelperService::serve(const Start& start, bool withReply) {
    const QDBusMessage call = message();
    QDBusConnection bus = connection();
    const QString caller = call.service();
    // The bus tells the caller's user; a caller it cannot name is not served.
    const QDBusReply<uint> uid = bus.interface()->serviceUid(caller);
    if (!uid.isValid()) {
        refuse(platform::helper::kErrorNotAuthorized, QStringLiteral("the caller is unknown"));
        return;
    }
    const unsigned user = uid.value();
    if (!m_quota.take(caller, user)) {
        refuse(platform::helper::kErrorBusy, QStringLiteral("too many requests waiting"));
        return;
    }
    setDelayedReply(true);
    if (m_quota.pending() == 1)
        m_busy(true);
    start([this, bus, call, caller, user, withReply](const HandlerResult& result) mutable {
        if (!result.errorName.isEmpty())
            bus.send(call.createErrorReply(result.errorName, result.errorMessage));
        else if (withReply)
            bus.send(call.createReply(QVariant::fromValue(result.reply)));
        else
            bus.send(call.createReply());
        m_quota.give(caller, user);
        if (m_quota.pending() == 0)
            m_busy(false);
    });
}

} // namespace vorn::diskhelper
