#include "UsbBridge.h"

namespace vorn::platform::usb {

namespace {
constexpr WORD kAnyFirst = 0x0000;
constexpr WORD kAnyLast = 0xFFFF;
} // namespace

// Sources: the chip makers' product pages for which chip is a SATA or an
// NVMe bridge, the USB ID lists for vendor and product numbers, and what
// smartctl reports on these enclosures. Only bridges with a known answer are
// listed; every other one gets the single careful try of the unknown.
const std::vector<BridgeEntry>& bridgeTable() {
    static const std::vector<BridgeEntry> table = {
        {0x04E8, 0x61F5, kAnyFirst, kAnyLast, BridgePath::Sat16, "Samsung Portable SSD T5"},
        {0x0939, 0x0B13, kAnyFirst, kAnyLast, BridgePath::Sat12, "Initio INIC-1610PL"},
        {0x0BC2, 0x3008, kAnyFirst, kAnyLast, BridgePath::Sat12, "Seagate FreeAgent"},
        {0x0BC2, 0x50A1, kAnyFirst, kAnyLast, BridgePath::Sat12, "Seagate FreeAgent"},
        {0x0BDA, 0x9210, kAnyFirst, kAnyLast, BridgePath::RealtekNvme, "Realtek RTL9210"},
        {0x1058, 0x0701, kAnyFirst, kAnyLast, BridgePath::None, "WD Passport (Cypress)"},
        {0x1058, 0x25A3, kAnyFirst, kAnyLast, BridgePath::Sat16, "WD Elements"},
        // The SATA+PATA version of this Initio product passes nothing; later
        // releases are not known, so they stay unknown.
        {0x13FD, 0x1040, 0x0100, 0x01FF, BridgePath::None, "Initio USB to SATA+PATA"},
        {0x152D, 0x0578, kAnyFirst, kAnyLast, BridgePath::Sat16, "JMicron JMS578"},
        {0x152D, 0x0583, kAnyFirst, kAnyLast, BridgePath::JmicronNvme, "JMicron JMS583"},
        // A vendor protocol of its own, which the suite does not speak.
        {0x152D, 0x2338, kAnyFirst, kAnyLast, BridgePath::None, "JMicron JM20337/8"},
        {0x174C, 0x2362, kAnyFirst, kAnyLast, BridgePath::AsmediaNvme, "ASMedia ASM2362"},
        {0x174C, 0x55AA, kAnyFirst, kAnyLast, BridgePath::Sat16, "ASMedia ASM1051/1053/1153"},
    };
    return table;
}

std::optional<BridgePath> lookupBridge(const BridgeId& id) {
    for (const BridgeEntry& entry : bridgeTable()) {
        if (entry.vendor == id.vendor && entry.product == id.product &&
            id.release >= entry.releaseFirst && id.release <= entry.releaseLast)
            return entry.path;
    }
    return std::nullopt;
}

QString bridgeIdText(const BridgeId& id) {
    return QStringLiteral("%1:%2")
        .arg(id.vendor, 4, 16, QLatin1Char('0'))
        .arg(id.product, 4, 16, QLatin1Char('0'));
}

namespace {
struct PathName {
    BridgePath path;
    const char* name;
};
constexpr PathName kPathNames[] = {
    {BridgePath::Sat16, "sat16"},
    {BridgePath::Sat12, "sat12"},
    {BridgePath::JmicronNvme, "jmicron-nvme"},
    {BridgePath::AsmediaNvme, "asmedia-nvme"},
    {BridgePath::RealtekNvme, "realtek-nvme"},
    {BridgePath::None, "none"},
};
} // namespace

QString bridgePathName(BridgePath path) {
    for (const PathName& entry : kPathNames) {
        if (entry.path == path)
            return QLatin1String(entry.name);
    }
    return QString();
}

std::optional<BridgePath> parseBridgePath(const QString& name) {
    for (const PathName& entry : kPathNames) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.path;
    }
    return std::nullopt;
}

} // namespace vorn::platform::usb
