#pragma once

#include "DeviceBackend.h"
#include "SimMachine.h"
#include "VornPlatformExport.h"

#include <QByteArray>
#include <QString>

#include <memory>

// The device backend of an unprivileged process: every command goes to the
// privileged disk helper on the system bus, which checks the caller with
// polkit and passes on only the suite's allow-listed commands.
//
// The client talks to the bus through libdbus, loaded with dlopen the first
// time a process without pass-through rights looks for the helper. VornCom
// stays a Qt Core library that links no bus library at load time, so
// drivewatch keeps running from cron on machines without a desktop, and
// root, the simulated machine and the tests never load libdbus at all.
namespace vorn::platform {

// How the device paths of the disk library map to the kernel names the helper
// takes.
class VORNPLATFORM_API HelperDiskNaming {
public:
    virtual ~HelperDiskNaming();
    // The kernel name of "\\.\PhysicalDriveN"; empty with *error set when
    // there is none.
    virtual QString physicalDrive(int number, int* error) = 0;
    // Whether "\\.\ScsiN:" opens.
    virtual bool hasAdapter(int port) = 0;
    // The kernel name of the disk a request on adapter port means, or empty.
    virtual QString adapterDisk(int port, int target) = 0;
    // Set when the disk is an NVMe namespace. These facts need no privilege,
    // so they are learnt here rather than asked of the helper.
    virtual std::optional<NvmeDeviceFacts> nvmeFacts(const QString& disk) = 0;
    // Whether the kernel has runtime-suspended that disk (asks no device).
    virtual bool runtimeSuspended(const QString& /*disk*/) { return false; }
    // The USB device above that disk, from sysfs (asks no device).
    virtual std::optional<UsbDiskFacts> usbFacts(const QString& /*disk*/) { return std::nullopt; }
    // VPD page 80h as the kernel keeps it (sysfs is readable by anyone, so
    // the helper is not asked); empty where it keeps none.
    virtual QByteArray unitSerialPage(const QString& /*disk*/) { return QByteArray(); }
};

// The real machine, by the shared disk enumeration of sysRoot/block.
VORNPLATFORM_API std::shared_ptr<HelperDiskNaming>
makeSysfsDiskNaming(const QString& sysRoot = QStringLiteral("/sys"));
// A simulated machine, whose disks the helper knows by simKernelNameOf().
VORNPLATFORM_API std::shared_ptr<HelperDiskNaming>
makeSimDiskNaming(std::shared_ptr<const SimMachine> machine);
VORNPLATFORM_API QString simKernelNameOf(const SimDisk& disk);

// One method call on the helper. A failed call carries the bus error's name.
struct HelperReply {
    QString errorName; // empty on success
    QByteArray bytes;  // Execute's reply
};

class VORNPLATFORM_API HelperTransport {
public:
    virtual ~HelperTransport();
    virtual HelperReply checkDisk(const QString& disk) = 0;
    virtual HelperReply execute(const QString& disk, const QByteArray& request) = 0;
};

// The helper on the system bus (DBUS_SYSTEM_BUS_ADDRESS when set). Null when
// libdbus cannot be loaded, the bus cannot be reached, or the bus neither has
// the helper running nor can start it.
VORNPLATFORM_API std::shared_ptr<HelperTransport> connectSystemBusHelper();

VORNPLATFORM_API std::shared_ptr<DeviceBackend>
makeHelperBackend(std::shared_ptr<HelperTransport> transport,
                  std::shared_ptr<HelperDiskNaming> naming);

// True when the process may send ATA pass-through itself: root, or the
// effective capability CAP_SYS_RAWIO.
VORNPLATFORM_API bool processMaySendPassThrough();

} // namespace vorn::platform
