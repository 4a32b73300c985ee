#pragma once

#include "platform/DeviceBackend.h"

#include <QByteArray>
#include <QString>

#include <memory>

// The helper's answer to one request, apart from the bus: every check a
// request must pass, in the order that keeps a refused command away from
// polkit and from every disk.
namespace vorn::diskhelper {

// Asks whether the caller (its unique bus name) may perform a polkit action.
// Anything but a clear yes, an unreachable authority included, is no.
class Authorizer {
public:
    virtual ~Authorizer();
    virtual bool authorize(const QString& action, const QString& callerBusName) = 0;
};

class OpenedDisk {
public:
    virtual ~OpenedDisk();
    // data receives 512 bytes when command.dataIn.
    virtual platform::AtaOutcome execute(const platform::AtaCommand& command, BYTE* data) = 0;
};

// Opens a disk by its kernel name after checking that the name means a whole
// disk of this machine; null with *error set to ENODEV for a name that does
// not, or to the open's errno.
class DiskAccess {
public:
    virtual ~DiskAccess();
    virtual std::unique_ptr<OpenedDisk> open(const QString& kernelName, int* error) = 0;
};

struct HandlerResult {
    QString errorName; // empty on success
    QString errorMessage;
    QByteArray reply; // Execute's reply bytes
};

HandlerResult handleCheckDisk(const QString& caller, const QString& disk, Authorizer& authorizer,
                              DiskAccess& disks);

HandlerResult handleExecute(const QString& caller, const QString& disk, const QByteArray& request,
                            Authorizer& authorizer, DiskAccess& disks);

} // namespace vorn::diskhelper
