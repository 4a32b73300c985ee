#pragma once

#include "DeviceBackend.h"
#include "SimMachine.h"
#include "VornPlatformExport.h"

#include <QString>

#include <functional>

// A simulated USB bridge in front of a simulated disk: it takes the CDBs a
// bridge of its path takes, refuses the others as an invalid opcode, and
// spoils its answers as BridgeReply says. What is sent to it is decided by
// the same code that drives the real bridges.
namespace vorn::platform {

VORNPLATFORM_API UsbDiskFacts simUsbFacts(const SimDeviceSettings& device);

// One command through the bridge. runOnDisk is the disk's own answer to the
// command, asked only when the bridge passes a CDB on; trace gets one line
// per CDB the bridge is sent.
VORNPLATFORM_API AtaOutcome simExecuteBehindBridge(const SimDeviceSettings& device,
                                                   const QString& path, const AtaCommand& command,
                                                   BYTE* data,
                                                   const std::function<AtaOutcome()>& runOnDisk,
                                                   const std::function<void(QString)>& trace);

// One NVMe admin command through the bridge's tunnel. The simulated chip
// reads the command back out of the CDBs it is sent, by its own layout, and
// asks runOnDisk for the drive's answer to what it read; a bridge of another
// path refuses every tunnel CDB as an invalid opcode.
VORNPLATFORM_API NvmeOutcome simExecuteNvmeBehindBridge(
    const SimDeviceSettings& device, const QString& path, const NvmeAdminCommand& command,
    BYTE* data, const std::function<NvmeOutcome(const NvmeAdminCommand&, BYTE*)>& runOnDisk,
    const std::function<void(QString)>& trace);

// VPD page 80h with the disk's UnitSerial; empty when it has none.
VORNPLATFORM_API QByteArray simUnitSerialPage(const SimDeviceSettings& device);

// "<path> USB <vvvv:pppp> CDB <hex bytes>", the trace line of one CDB.
VORNPLATFORM_API QString simBridgeTraceLine(const QString& path, const UsbDiskFacts& facts,
                                            const BYTE* cdb, std::size_t length);

} // namespace vorn::platform
