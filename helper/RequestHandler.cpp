#include "RequestHandler.h"

#include "platform/HelperProtocol.h"

#include <cerrno>
#include <cstring>

namespace vorn::diskhelper {

namespace help = platform::helper;

Authorizer::~Authorizer() = default;
OpenedDisk::~OpenedDisk() = default;
DiskAccess::~DiskAccess() = default;

namespace {

HandlerResult failure(const char* name, const QString& message) {
    return HandlerResult{QString::fromLatin1(name), message, QByteArray()};
}

// Checks the name, asks polkit and opens the disk; null with *result set
// when any step says no.
std::unique_ptr<OpenedDisk> authorizeAndOpen(const QString& caller, const QString& disk,
                                             const QString& action, Authorizer& authorizer,
                                             DiskAccess& disks, HandlerResult* result) {
    if (!help::isAcceptableDiskName(disk)) {
        *result = failure(help::kErrorInvalidDisk, QStringLiteral("not a whole-disk name"));
        return nullptr;
    }
    if (!authorizer.authorize(action, caller)) {
        *result =
            failure(help::kErrorNotAuthorized, QStringLiteral("not authorised for ") + action);
        return nullptr;
    }
    int error = 0;
    std::unique_ptr<OpenedDisk> opened = disks.open(disk, &error);
    if (!opened) {
        *result = error == ENODEV
                      ? failure(help::kErrorInvalidDisk, QStringLiteral("no such whole disk"))
                      : failure(help::kErrorOpenFailed, QString::fromLocal8Bit(strerror(error)));
    }
    return opened;
}

} // namespace

HandlerResult handleCheckDisk(const QString& caller, const QString& disk, Authorizer& authorizer,
                              DiskAccess& disks) {
    HandlerResult result;
    authorizeAndOpen(caller, disk, QString::fromLatin1(help::kReadAction), authorizer, disks,
                     &result);
    return result;
}

HandlerResult handleExecute(const QString& caller, const QString& disk, const QByteArray& request,
                            Authorizer& authorizer, DiskAccess& disks) {
    const help::DecodedRequest decoded = help::decodeRequest(
        reinterpret_cast<const BYTE*>(request.constData()), std::size_t(request.size()));
    if (decoded.status == help::DecodedRequest::Malformed)
        return failure(help::kErrorInvalidRequest, QStringLiteral("malformed request"));
    const std::optional<QString> action = help::actionFor(decoded);
    if (!action)
        return failure(help::kErrorRefused, QStringLiteral("command not allowed"));

    HandlerResult result;
    const std::unique_ptr<OpenedDisk> opened =
        authorizeAndOpen(caller, disk, *action, authorizer, disks, &result);
    if (!opened)
        return result;
    BYTE data[platform::kSectorSize] = {};
    const platform::AtaOutcome outcome = opened->execute(decoded.ata, data);
    result.reply = help::encodeAtaReply(outcome, decoded.ata.dataIn ? data : nullptr);
    return result;
}

} // namespace vorn::diskhelper
