#include "HelperService.h"

#include "HelperProtocol.h"

#include <QDBusConnection>
#include <QDBusMessage>

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

void HelperService::serve(const Start& start, bool withReply) {
    if (m_pending >= kMaxPending) {
        sendErrorReply(QString::fromLatin1(platform::helper::kErrorBusy),
                       QStringLiteral("too many requests waiting"));
        return;
    }
    setDelayedReply(true);
    if (m_pending++ == 0)
        m_busy(true);
    QDBusConnection bus = connection();
    const QDBusMessage call = message();
    start([this, bus, call, withReply](const HandlerResult& result) mutable {
        if (!result.errorName.isEmpty())
            bus.send(call.createErrorReply(result.errorName, result.errorMessage));
        else if (withReply)
            bus.send(call.createReply(QVariant::fromValue(result.reply)));
        else
            bus.send(call.createReply());
        if (--m_pending == 0)
            m_busy(false);
    });
}

} // namespace vorn::diskhelper
