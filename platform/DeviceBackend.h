#pragma once

#include "AtaRegisters.h"
#include "DevicePath.h"
#include "VornPlatformExport.h"
#include "WinTypes.h"

#include <QString>

#include <memory>
#include <optional>

// The narrow transport behind win::CreateFileW / DeviceIoControl: a backend
// opens a device path and executes single ATA commands on it. The Windows
// request buffers are decoded and the replies filled above this interface
// (DeviceRequests.h), so every backend answers with the same bytes. Which
// backend serves the process is decided in DeviceBackendInstall.h.
namespace vorn::platform {

struct AtaCommand {
    AtaCommand() = default;
    AtaCommand(const AtaRegisters& r, bool in) : registers(r), dataIn(in) {}

    AtaRegisters registers;
    bool dataIn = false; // data from the device: blocks 512-byte blocks
    // A 48-bit command: previous holds the high-order bytes of the feature,
    // count and LBA registers (its device and command bytes are unused).
    bool extended = false;
    AtaRegisters previous;
    // Blocks a data-in command moves. Only the log reads move more than one;
    // any other command keeps 1.
    WORD blocks = 1;

    DWORD dataLength() const { return dataIn ? DWORD(blocks) * kSectorSize : 0; }
};

// The most blocks any allowed command moves, so that every buffer on the way
// can be sized once.
inline constexpr WORD kMaxAtaBlocks = 8;

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

// The USB device above a disk behind a bridge, as sysfs tells it.
struct UsbDiskFacts {
    WORD vendor = 0;  // idVendor
    WORD product = 0; // idProduct
    WORD release = 0; // bcdDevice
    QString driver;   // "usb-storage" or "uas"
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

    // The device path the handle was opened on, as DevicePathText() writes it.
    virtual QString path() const = 0;

    // Executes one command; data receives command.dataLength() bytes.
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

    // Set for a disk behind a USB bridge. Asking sends nothing to the device.
    virtual std::optional<UsbDiskFacts> usbFacts() const { return std::nullopt; }

    // The unit serial number of VPD page 80h of a disk behind a USB bridge,
    // for a bridge that gives no identify data with a serial: the page the
    // kernel already read, else at most one INQUIRY, only to a bridge the
    // table names. Empty where neither tells.
    virtual QString unitSerialNumber() { return QString(); }

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
    // Opens the device of path; null with *error set to an errno value on
    // failure. The text was read once by win::CreateFileW, so a name that is
    // no device path never comes this far.
    virtual std::unique_ptr<OpenDevice> open(const DevicePath& path, int* error) = 0;
    // The USB device above the disk "\\.\PhysicalDriveN" names, learnt
    // without opening the disk or sending anything; empty for a disk on any
    // other bus.
    virtual std::optional<UsbDiskFacts> usbFacts(int /*driveNumber*/) { return std::nullopt; }
};

} // namespace vorn::platform
