#include "RequestHandler.h"

#include "HelperProtocol.h"

#include <cerrno>
#include <cstring>

namespace vorn::diskhelper {

namespace help = platform::helper;

Authorizer::~Authorizer() = default;
OpenedDisk::~OpenedDisk() = default;
DiskAccess::~DiskAccess() = default;

bool DiskAccess::servesNvme(const QString& kernelName) {
    return platform::helper::isNvmeNamespaceName(kernelName);
}

namespace {

HandlerResult failure(const char* name, const QString& message) {
    return HandlerResult{QString::fromLatin1(name), message, QByteArray()};
}

HandlerResult openFailure(int error) {
    return error == ENODEV
               ? failure(help::kErrorInvalidDisk, QStringLiteral("no such whole disk"))
               : failure(help::kErrorOpenFailed, QString::fromLocal8Bit(std::strerror(error)));
}

// Checks the name and asks polkit; then opens the disk and hands it to work,
// or answers with the step that said no.
void authorizeAndOpen(const QString& caller, const QString& disk, const QString& action,
                      Authorizer& authorizer, DiskAccess& disks, HandlerDone done,
                      std::function<HandlerResult(OpenedDisk&)> work) {
    if (!help::isAcceptableDiskName(disk)) {
        done(failure(help::kErrorInvalidDisk, QStringLiteral("not a whole-disk name")));
        return;
    }
    authorizer.authorize(action, caller, [=, &disks](bool granted) {
        if (!granted) {
            done(
                failure(help::kErrorNotAuthorized, QStringLiteral("not authorised for ") + action));
            return;
        }
        int error = 0;
        const std::unique_ptr<OpenedDisk> opened = disks.open(disk, &error);
        done(opened ? work(*opened) : openFailure(error));
    });
}

} // namespace

void handleCheckDisk(const QString& caller, const QString& disk, Authorizer& authorizer,
                     DiskAccess& disks, HandlerDone done) {
    authorizeAndOpen(caller, disk, QString::fromLatin1(help::kReadAction), authorizer, disks,
                     std::move(done), [](OpenedDisk&) { return HandlerResult(); });
}

void handleExecute(const QString& caller, const QString& disk, const QByteArray& request,
                   Authorizer& authorizer, DiskAccess& disks, HandlerDone done) {
    const help::DecodedRequest decoded = help::decodeRequest(
        reinterpret_cast<const BYTE*>(request.constData()), std::size_t(request.size()));
    if (decoded.status == help::DecodedRequest::Malformed) {
        done(failure(help::kErrorInvalidRequest, QStringLiteral("malformed request")));
        return;
    }
    const std::optional<QString> action = help::actionFor(decoded);
    if (!action) {
        done(failure(help::kErrorRefused, QStringLiteral("command not allowed")));
        return;
    }
    if (decoded.kind == help::RequestKind::NvmeAdmin) {
        if (!disks.servesNvme(disk)) {
            done(failure(help::kErrorInvalidDisk, QStringLiteral("not an NVMe namespace")));
            return;
        }
        const platform::NvmeAdminCommand command = decoded.nvme;
        authorizeAndOpen(caller, disk, *action, authorizer, disks, std::move(done),
                         [command](OpenedDisk& opened) {
                             BYTE data[help::kMaxNvmeDataLength] = {};
                             const platform::NvmeOutcome outcome =
                                 opened.executeNvme(command, data);
                             HandlerResult result;
                             result.reply =
                                 help::encodeNvmeReply(outcome, data, command.dataLength);
                             return result;
                         });
        return;
    }
    const platform::AtaCommand command = decoded.ata;
    authorizeAndOpen(caller, disk, *action, authorizer, disks, std::move(done),
                     [command](OpenedDisk& opened) {
                         BYTE data[platform::kMaxAtaBlocks * platform::kSectorSize] = {};
                         const platform::AtaOutcome outcome = opened.execute(command, data);
                         HandlerResult result;
                         result.reply = help::encodeAtaReply(
                             outcome, command.dataIn ? data : nullptr, command.dataLength());
                         return result;
                     });
}

} // namespace vorn::diskhelper
