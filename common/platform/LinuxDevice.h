#pragma once

#include "../VornComExport.h"
#include "DeviceBackend.h"

#include <QString>

// The device backend of the real machine: ATA commands go to the disks as
// SG_IO requests carrying ATA PASS-THROUGH CDBs. It sends only the commands
// it is given and never writes to the medium.
namespace vorn::platform {

// sysRoot and devRoot let tests put a fake tree in place of /sys and /dev.
VORNCOM_API std::shared_ptr<DeviceBackend>
makeLinuxDeviceBackend(const QString& sysRoot = QStringLiteral("/sys"),
                       const QString& devRoot = QStringLiteral("/dev"));

// The kernel name of the disk at SCSI address host:any channel:target:0, or
// an empty string. The lowest channel wins when several match.
VORNCOM_API QString findScsiDisk(const QString& sysRoot, int host, int target);

// True when <sysRoot>/block/<kernelName>/device/power/runtime_status says
// "suspended": the kernel has stopped the disk, and a command would start it.
VORNCOM_API bool isRuntimeSuspended(const QString& sysRoot, const QString& kernelName);

// Sends one command to an open block device. Exposed for the test that
// talks to the real disks.
VORNCOM_API AtaOutcome sendAtaCommand(int fd, const AtaCommand& command, BYTE* data);

} // namespace vorn::platform
