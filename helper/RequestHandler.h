#pragma once

#include "DeviceBackend.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// The helper's answer to one request, apart from the bus: every check a
// request must pass, in the order that keeps a refused command away from
// polkit and from every disk.
namespace vorn::diskhelper {

// Asks whether the caller (its unique bus name) may perform a polkit action
// and calls done exactly once with the answer, at once or later (a password
// prompt may take minutes, and other callers are served meanwhile). Anything
// but a clear yes, an unreachable authority included, is no.
class Authorizer {
public:
    virtual ~Authorizer();
    virtual void authorize(const QString& action, const QString& callerBusName,
                           std::function<void(bool)> done) = 0;
};

class OpenedDisk {
public:
    virtual ~OpenedDisk();
    // data receives command.dataLength() bytes.
    virtual platform::AtaOutcome execute(const platform::AtaCommand& command, BYTE* data) = 0;
    // data receives command.dataLength bytes.
    virtual platform::NvmeOutcome executeNvme(const platform::NvmeAdminCommand& command,
                                              BYTE* data) = 0;
};

// Opens a disk by its kernel name after checking that the name means a whole
// disk of this machine; null with *error set to ENODEV for a name that does
// not, or to the open's errno.
class DiskAccess {
public:
    virtual ~DiskAccess();
    virtual std::unique_ptr<OpenedDisk> open(const QString& kernelName, int* error) = 0;
    // True when the disk of that name takes NVMe admin commands: an NVMe
    // namespace, or a disk behind a USB bridge that tunnels them.
    virtual bool servesNvme(const QString& kernelName);
};

struct HandlerResult {
    QString errorName; // empty on success
    QString errorMessage;
    QByteArray reply; // Execute's reply bytes
};

// Each calls done exactly once with the answer. disks must outlive a pending
// authorisation.
using HandlerDone = std::function<void(const HandlerResult&)>;

void handleCheckDisk(const QString& caller, const QString& disk, Authorizer& authorizer,
                     DiskAccess& disks, HandlerDone done);

void handleExecute(const QString& caller, const QString& disk, const QByteArray& request,
                   Authorizer& authorizer, DiskAccess& disks, HandlerDone done);

} // namespace vorn::diskhelper
