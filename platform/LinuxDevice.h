#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"

#include <QString>

// The device backend of the real machine: ATA commands go to the disks as
// SG_IO requests carrying ATA PASS-THROUGH CDBs. It sends only the commands
// it is given and never writes to the medium.
namespace vorn::platform {

// sysRoot and devRoot let tests put a fake tree in place of /sys and /dev.
VORNPLATFORM_API std::shared_ptr<DeviceBackend>
makeLinuxDeviceBackend(const QString& sysRoot = QStringLiteral("/sys"),
                       const QString& devRoot = QStringLiteral("/dev"));

// The kernel name of the disk at SCSI address host:any channel:target:0, or
// an empty string. The lowest channel wins when several match.
VORNPLATFORM_API QString findScsiDisk(const QString& sysRoot, int host, int target);

// True when <sysRoot>/block/<kernelName>/device/power/runtime_status says
// "suspended": the kernel has stopped the disk, and a command would start it.
VORNPLATFORM_API bool isRuntimeSuspended(const QString& sysRoot, const QString& kernelName);

// Sends one command to an open block device. Exposed for the test that
// talks to the real disks.
VORNPLATFORM_API AtaOutcome sendAtaCommand(int fd, const AtaCommand& command, BYTE* data);

// Sends one NVMe admin command to an open namespace or controller node.
VORNPLATFORM_API NvmeOutcome sendNvmeAdminCommand(int fd, const NvmeAdminCommand& command,
                                                  BYTE* data);

// The same for a disk behind a USB bridge: what the bridge table lets
// through, in the CDBs it names for the bridge.
VORNPLATFORM_API AtaOutcome sendAtaCommandThroughBridge(int fd, const UsbDiskFacts& facts,
                                                        const AtaCommand& command, BYTE* data);
VORNPLATFORM_API NvmeOutcome sendNvmeThroughBridge(int fd, const UsbDiskFacts& facts,
                                                   const NvmeAdminCommand& command, BYTE* data);

// What the device layer knows of the namespace with that kernel name
// ("nvme0n1"): its id (sysfs, else asked of fd) and its controller's PCIe
// link. Empty for any other kind of disk.
VORNPLATFORM_API std::optional<NvmeDeviceFacts> nvmeFactsOf(const QString& sysRoot,
                                                            const QString& kernelName, int fd = -1);

} // namespace vorn::platform
