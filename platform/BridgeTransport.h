#pragma once

#include "DeviceBackend.h"
#include "SatCommand.h"
#include "UsbBridge.h"
#include "VornPlatformExport.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>

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

// Which way a tunnel CDB moves its data.
enum class CdbDirection { None, FromDevice, ToDevice };

struct CdbTransfer {
    const BYTE* cdb = nullptr;
    std::size_t cdbLength = 0;
    CdbDirection direction = CdbDirection::None;
    BYTE* data = nullptr;
    DWORD dataLength = 0;
    DWORD timeoutMs = 0;
};

// Sends one CDB with its own data buffer and direction, as the NVMe tunnels
// need; returns 0 or the errno of a transfer that did not happen.
using TransferSender = std::function<int(const CdbTransfer& transfer, sat::SgReply* reply)>;

// The facts of the NVMe drive behind a bridge the table names for a tunnel:
// namespace 1, the only one the tunnels reach, and no PCIe link. Empty for
// any other bridge. Asks nothing of the bridge.
VORNPLATFORM_API std::optional<NvmeDeviceFacts> tunnelNvmeFacts(const UsbDiskFacts& facts);

// Runs one NVMe admin command through the bridge's tunnel. A bridge with no
// tunnel in the table fails with ENOTTY and a command the tunnel cannot
// carry, or a tunnel already found silent, with EOPNOTSUPP, without anything
// being sent. A tunnel that does not answer as its chip does (a transfer
// that fails or stops short, a refused CDB, a completion without its
// signature) is remembered as passing nothing for the rest of the process;
// an error status from the drive is the drive's answer and is not.
VORNPLATFORM_API NvmeOutcome executeNvmeThroughBridge(const UsbDiskFacts& facts,
                                                      const NvmeAdminCommand& command, BYTE* data,
                                                      const TransferSender& send);

// True when the bridge will be sent nothing: its path carries nothing, or it
// is an unknown bridge or a tunnel found silent.
VORNPLATFORM_API bool bridgePassesNothing(const UsbDiskFacts& facts);

// Why S.M.A.R.T. is not read through a bridge.
enum class UnavailableCause {
    None,
    PassesNothing, // the table says the bridge passes no drive command
    UnknownSilent, // not in the table, and its one try brought no answer
    TunnelSilent,  // an NVMe tunnel of the table that did not answer as its chip does
    NoIdentify,    // the path was tried and brought no identify data
};

// identifyFailed: the path was tried and brought no identify data.
VORNPLATFORM_API UnavailableCause smartUnavailableCause(const UsbDiskFacts& facts,
                                                        bool identifyFailed);

// The cause in one line, for the JSON output and the run log.
VORNPLATFORM_API QString smartUnavailableReason(const UsbDiskFacts& facts, bool identifyFailed);

// Clears the memory of silent unknown bridges; for tests that run several
// machines in one process.
VORNPLATFORM_API void forgetSilentBridges();

} // namespace vorn::platform::usb
