#pragma once

#include "AtaRegisters.h"
#include "VornPlatformExport.h"
#include "WinTypes.h"

#include <QString>

#include <memory>
#include <optional>

// The narrow transport behind win::CreateFileW / DeviceIoControl: a backend
// opens a device path and executes single ATA commands on it. The Windows
// request buffers are decoded and the replies filled above this interface
// (DeviceRequests.h), so both backends answer with the same bytes.
namespace vorn::platform {

struct AtaCommand {
    AtaRegisters registers;
    bool dataIn = false; // one 512-byte block from the device
};

struct AtaOutcome {
    // 0, or the errno value of a request that never completed on the device
    // (no such target, no pass-through, no permission). A command the device
    // completed with ERR set comes back as 0 here and ERR in returned.command.
    int transportError = 0;
    AtaRegisters returned;
    bool failedOnDevice() const {
        return transportError == 0 && (returned.command & kAtaStatusErr);
    }
};

// One NVMe admin command as the suite sends it: the submission entry's
// opcode, namespace and command dwords 10 to 15, and how many bytes the
// controller returns. The suite only ever reads from a controller, so there
// is no data towards the device. Plain values, so that a bus can carry the
// command field by field.
struct NvmeAdminCommand {
    BYTE opcode = 0;
    DWORD nsid = 0;
    DWORD cdw10 = 0;
    DWORD cdw11 = 0;
    DWORD cdw12 = 0;
    DWORD cdw13 = 0;
    DWORD cdw14 = 0;
    DWORD cdw15 = 0;
    DWORD dataLength = 0; // bytes from the controller
};

struct NvmeOutcome {
    // 0, or the errno value of a command that never completed on the device.
    int transportError = 0;
    // The completion's status field without the phase bit (status code in
    // bits 0-7, status code type in bits 8-10); 0 is success.
    WORD status = 0;
    DWORD result = 0; // completion dword 0
    bool succeeded() const { return transportError == 0 && status == 0; }
};

// The PCIe link of a controller as sysfs words it ("8.0 GT/s PCIe", "4");
// empty where the bus reports none (a conventional PCI slot, a VM).
struct PcieLink {
    QString maxSpeed;
    QString maxWidth;
    QString currentSpeed;
    QString currentWidth;
};

// What an NVMe namespace device tells beside its commands.
struct NvmeDeviceFacts {
    DWORD namespaceId = 0; // of the namespace the handle was opened on
    PcieLink link;
};

// Which device of an open handle a request means. A disk handle is the disk
// itself; the 9x S.M.A.R.T. driver and a SCSI adapter choose by the request's
// drive number.
struct RequestTarget {
    int driveNumber = 0; // bDriveNumber of the request, or TargetId
};

class VORNPLATFORM_API OpenDevice {
public:
    virtual ~OpenDevice();

    // The device path the handle was opened with, as the caller wrote it.
    virtual QString path() const = 0;

    // Executes one command; data receives 512 bytes when command.dataIn.
    // This is the one door to every backend: a command outside the suite's
    // own set (ata::classifyCommand calls it Refused) fails with EPERM here
    // and never reaches a device, whoever asks.
    AtaOutcome execute(RequestTarget target, const AtaCommand& command, BYTE* data);

    // Executes one NVMe admin command; data receives command.dataLength
    // bytes. The same door for the second protocol: a command outside
    // nvme::classifyCommand's allow-list fails with EPERM here.
    NvmeOutcome executeNvme(const NvmeAdminCommand& command, BYTE* data);

    // Set for a handle on an NVMe namespace, empty for an ATA device. Asking
    // sends nothing to the device.
    virtual std::optional<NvmeDeviceFacts> nvmeFacts() const { return std::nullopt; }

    // Answers the driver version request: 0 and the IDE device map, or an
    // errno value.
    virtual int version(RequestTarget target, BYTE* ideDeviceMap) = 0;

    // True when the kernel's runtime power management has put the disk to
    // sleep, so that any request would wake it. Asks nothing of the device.
    virtual bool runtimeSuspended(RequestTarget /*target*/) { return false; }

    // Called with every control request before it is served.
    virtual void traceRequest(DWORD /*controlCode*/, const BYTE* /*input*/, DWORD /*inputSize*/) {}
    // Called with every NVMe admin command before it is served.
    virtual void traceNvme(const NvmeAdminCommand& /*command*/) {}

protected:
    // The backend's transport, reached only through execute().
    virtual AtaOutcome executeAllowed(RequestTarget target, const AtaCommand& command,
                                      BYTE* data) = 0;
    // A backend without NVMe devices answers ENOTTY, as the kernel does for
    // an ioctl the device does not know.
    virtual NvmeOutcome executeNvmeAllowed(const NvmeAdminCommand& command, BYTE* data);
};

class VORNPLATFORM_API DeviceBackend {
public:
    virtual ~DeviceBackend();
    // Opens a device path; null with *error set to an errno value on failure.
    virtual std::unique_ptr<OpenDevice> open(const QString& path, int* error) = 0;
};

// The backend that serves the process now, chosen here and nowhere else:
// the simulated machine when one is selected (VORN_SIM or selectSimMachine());
// the real Linux disks when the process may send pass-through itself; else
// the privileged disk helper when the system bus offers it; else the Linux
// disks, whose opens then fail as the kernel decides.
VORNPLATFORM_API std::shared_ptr<DeviceBackend> currentDeviceBackend();

// True once an open or a request of this process was refused for lack of
// permission (EACCES) since the machine it reads (real or simulated) was
// selected, so that a program that read no disk can say why.
VORNPLATFORM_API bool deviceAccessDenied();

// The device names the layer knows.
struct DevicePath {
    enum Kind { PhysicalDrive, ScsiAdapter, SmartDriver } kind = PhysicalDrive;
    int number = 0; // N of "\\.\PhysicalDrive%d" or "\\.\Scsi%d:"
};

// Parses "\\.\PhysicalDriveN", "\\.\ScsiN:" and "\\.\SMARTVSD" (names are
// matched without regard to case, as Windows does).
VORNPLATFORM_API std::optional<DevicePath> parseDevicePath(const QString& path);

} // namespace vorn::platform
