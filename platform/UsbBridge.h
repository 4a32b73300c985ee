#pragma once

#include "VornPlatformExport.h"
#include "WinTypes.h"

#include <QString>

#include <optional>
#include <vector>

// USB-to-disk bridges and which way, if any, they carry a drive's own
// commands. The table is ours and pure data: a bridge is named by the USB
// device above the disk (vendor, product, device release), which sysfs tells
// without anything being sent to the bridge.
namespace vorn::platform::usb {

enum class BridgePath {
    Sat16,       // SCSI ATA PASS-THROUGH (16)
    Sat12,       // ATA PASS-THROUGH (12) only: 28-bit commands only
    JmicronNvme, // the NVMe tunnels, each with its own CDB layout
    AsmediaNvme,
    RealtekNvme,
    None, // passes nothing to the drive
};

struct BridgeId {
    WORD vendor = 0;
    WORD product = 0;
    WORD release = 0; // bcdDevice
};

struct BridgeEntry {
    WORD vendor;
    WORD product;
    WORD releaseFirst; // inclusive range of bcdDevice the entry covers
    WORD releaseLast;
    BridgePath path;
    const char* chip; // for the documentation and the log, never parsed
};

// The table in lookup order: the first entry that covers an id wins, so a
// release range comes before the entry for the rest of that product.
VORNPLATFORM_API const std::vector<BridgeEntry>& bridgeTable();

// The path the table names for id; empty for a bridge it does not know.
VORNPLATFORM_API std::optional<BridgePath> lookupBridge(const BridgeId& id);

// "vvvv:pppp" in lower-case hex, as lsusb and sysfs write it.
VORNPLATFORM_API QString bridgeIdText(const BridgeId& id);

// "sat16", "sat12", "jmicron-nvme", "asmedia-nvme", "realtek-nvme", "none".
VORNPLATFORM_API QString bridgePathName(BridgePath path);
VORNPLATFORM_API std::optional<BridgePath> parseBridgePath(const QString& name);

inline bool isNvmeTunnel(BridgePath path) {
    return path == BridgePath::JmicronNvme || path == BridgePath::AsmediaNvme ||
           path == BridgePath::RealtekNvme;
}

} // namespace vorn::platform::usb
