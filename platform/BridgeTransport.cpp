#include "BridgeTransport.h"

#include <cerrno>
#include <mutex>
#include <set>
#include <tuple>

namespace vorn::platform::usb {

namespace {

BridgeId idOf(const UsbDiskFacts& facts) {
    return {facts.vendor, facts.product, facts.release};
}

// Unknown bridges whose one try brought no ATA answer, by vendor:product:release.
class SilentBridges {
public:
    bool contains(const BridgeId& id) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_ids.count(key(id)) != 0;
    }
    void add(const BridgeId& id) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ids.insert(key(id));
    }
    void clear() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ids.clear();
    }

private:
    static std::tuple<WORD, WORD, WORD> key(const BridgeId& id) {
        return {id.vendor, id.product, id.release};
    }
    std::mutex m_mutex;
    std::set<std::tuple<WORD, WORD, WORD>> m_ids;
};

SilentBridges& silentBridges() {
    static SilentBridges bridges;
    return bridges;
}

AtaOutcome notSent() {
    AtaOutcome outcome;
    outcome.transportError = EOPNOTSUPP;
    return outcome;
}

AtaOutcome sendOne(const AtaCommand& command, bool twelve, DWORD timeoutMs, const CdbSender& send) {
    const bool wantRegisters = sat::needsReturnedRegisters(command);
    const sat::CdbOptions options{command.dataIn, wantRegisters};
    sat::SgReply reply;
    int error = 0;
    if (twelve) {
        const auto cdb = sat::buildCdb12(command.registers, options);
        error = send(cdb.data(), cdb.size(), timeoutMs, &reply);
    } else {
        const auto cdb = command.extended
                             ? sat::buildCdb16Extended(command.registers, command.previous, options)
                             : sat::buildCdb16(command.registers, options);
        error = send(cdb.data(), cdb.size(), timeoutMs, &reply);
    }
    if (error) {
        AtaOutcome outcome;
        outcome.transportError = error;
        return outcome;
    }
    return sat::interpretReply(reply, command, wantRegisters);
}

constexpr DWORD kKnownBridgeTimeoutMs = 10000;

} // namespace

bool bridgePassesNothing(const UsbDiskFacts& facts) {
    const std::optional<BridgePath> path = lookupBridge(idOf(facts));
    if (!path)
        return silentBridges().contains(idOf(facts));
    // The tunnels are named in the table but not yet read: nothing is sent.
    return *path == BridgePath::None || isNvmeTunnel(*path);
}

AtaOutcome executeThroughBridge(const UsbDiskFacts& facts, const AtaCommand& command,
                                BYTE* /*data*/, const CdbSender& send) {
    if (bridgePassesNothing(facts))
        return notSent();
    const std::optional<BridgePath> path = lookupBridge(idOf(facts));
    if (!path) {
        const AtaOutcome outcome = sendOne(command, false, kUnknownBridgeTimeoutMs, send);
        if (outcome.transportError != 0)
            silentBridges().add(idOf(facts));
        return outcome;
    }
    if (*path == BridgePath::Sat12) {
        // No room for the high-order bytes of a 48-bit command.
        if (command.extended)
            return notSent();
        return sendOne(command, true, kKnownBridgeTimeoutMs, send);
    }
    return sendOne(command, false, kKnownBridgeTimeoutMs, send);
}

QString smartUnavailableReason(const UsbDiskFacts& facts, bool identifyFailed) {
    const BridgeId id = idOf(facts);
    const QString text = bridgeIdText(id);
    const std::optional<BridgePath> path = lookupBridge(id);
    if (path && isNvmeTunnel(*path))
        return QStringLiteral("USB bridge %1 carries NVMe commands in a way not yet read")
            .arg(text);
    if (path && *path == BridgePath::None)
        return QStringLiteral("USB bridge %1 passes no S.M.A.R.T. commands").arg(text);
    if (!path && silentBridges().contains(id))
        return QStringLiteral("USB bridge %1 is not known and answered no ATA pass-through")
            .arg(text);
    if (identifyFailed)
        return QStringLiteral("USB bridge %1 gave no readable identify data").arg(text);
    return QString();
}

void forgetSilentBridges() {
    silentBridges().clear();
}

} // namespace vorn::platform::usb
