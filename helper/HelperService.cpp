#include "HelperService.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace vorn::diskhelper {

HelperService::HelperService(Authorizer& authorizer, DiskAccess& disks,
                             std::function<void()> activity)
    : m_authorizer(authorizer), m_disks(disks), m_activity(std::move(activity)) {}

void HelperService::CheckDisk(const QString& disk) {
    answer(handleCheckDisk(message().service(), disk, m_authorizer, m_disks));
}

QByteArray HelperService::Execute(const QString& disk, const QByteArray& request) {
    return answer(handleExecute(message().service(), disk, request, m_authorizer, m_disks));
}

QByteArray HelperService::answer(const HandlerResult& result) {
    if (!result.errorName.isEmpty())
        sendErrorReply(result.errorName, result.errorMessage);
    m_activity();
    return result.reply;
}

} // namespace vorn::diskhelper
