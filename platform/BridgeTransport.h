#pragma once

#include "DeviceBackend.h"
#include "SatCommand.h"
#include "UsbBridge.h"
#include "VornPlatformExport.h"

#include <QString>

#include <cstddef>
#include <functional>

// One ATA command to a disk behind a USB bridge, by the path the bridge
// table names. The same code drives the real SG_IO transport and the
// simulated bridges, so what a bridge is sent is decided in one place.
namespace vorn::platform::usb {

// The kernel waits 60 s for a CDB; an unknown bridge that swallows one must
// not hold the scan that long.
inline constexpr DWORD kUnknownBridgeTimeoutMs = 3000;

// Sends one CDB and fills reply (whose sense points into the sender's own
// buffer until its next call); returns 0, or the errno of a transfer that
// did not happen.
using CdbSender = std::function<int(const BYTE* cdb, std::size_t cdbLength, DWORD timeoutMs,
                                    sat::SgReply* reply)>;

// Runs command through the bridge. A bridge whose path carries no ATA
// command, a 48-bit command for a 12-byte-only bridge and an unknown bridge
// already found silent fail with EOPNOTSUPP without anything being sent.
// An unknown bridge gets one SAT(16) CDB with the short timeout; if that
// does not come back as an ATA answer, the bridge is remembered as passing
// nothing for the rest of the process.
VORNPLATFORM_API AtaOutcome executeThroughBridge(const UsbDiskFacts& facts,
                                                 const AtaCommand& command, BYTE* data,
                                                 const CdbSender& send);

// True when the bridge will be sent no ATA command: its path carries none,
// or it is an unknown one found silent.
VORNPLATFORM_API bool bridgePassesNothing(const UsbDiskFacts& facts);

// Why S.M.A.R.T. cannot be read through this bridge, in one line.
// identifyFailed: the path was tried and brought no identify data.
VORNPLATFORM_API QString smartUnavailableReason(const UsbDiskFacts& facts, bool identifyFailed);

// Clears the memory of silent unknown bridges; for tests that run several
// machines in one process.
VORNPLATFORM_API void forgetSilentBridges();

} // namespace vorn::platform::usb
