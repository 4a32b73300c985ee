#include "BridgeTransport.h"

#include "NvmeTunnel.h"

#include <array>
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
    if (path && *path == BridgePath::None)
        return true;
    if (!path || isNvmeTunnel(*path))
        return silentBridges().contains(idOf(facts));
    return false;
}

AtaOutcome executeThroughBridge(const UsbDiskFacts& facts, const AtaCommand& command,
                                BYTE* /*data*/, const CdbSender& send) {
    const std::optional<BridgePath> path = lookupBridge(idOf(facts));
    // A tunnel bridge takes NVMe commands only; an ATA CDB is no business of it.
    if (bridgePassesNothing(facts) || (path && isNvmeTunnel(*path)))
        return notSent();
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

std::optional<NvmeDeviceFacts> tunnelNvmeFacts(const UsbDiskFacts& facts) {
    const std::optional<BridgePath> path = lookupBridge(idOf(facts));
    if (!path || !isNvmeTunnel(*path))
        return std::nullopt;
    NvmeDeviceFacts nvme;
    nvme.namespaceId = 1;
    return nvme;
}

namespace {

NvmeOutcome nvmeFailure(int error) {
    NvmeOutcome outcome;
    outcome.transportError = error;
    return outcome;
}

// 0 when the bridge took the CDB and moved all that was asked, else the
// errno that stands for its failure.
int sendChecked(const TransferSender& send, const CdbTransfer& transfer) {
    sat::SgReply reply;
    if (const int error = send(transfer, &reply))
        return error;
    // A tunnel answers with plain good status; any sense at all is a refusal.
    if (reply.hostStatus != 0 || reply.driverStatus != 0 || (reply.scsiStatus & 0x7E) != 0 ||
        reply.senseLength != 0 ||
        (transfer.direction == CdbDirection::FromDevice && reply.residual != 0))
        return EIO;
    return 0;
}

template <std::size_t N>
CdbTransfer transferOf(const std::array<BYTE, N>& cdb, CdbDirection direction, BYTE* data,
                       DWORD length) {
    return {cdb.data(), N, direction, data, length, kKnownBridgeTimeoutMs};
}

NvmeOutcome runJmicron(const NvmeAdminCommand& command, BYTE* data, const TransferSender& send) {
    using namespace tunnel;
    std::array<BYTE, kJmicronBlockSize> block = jmicronCommandBlock(command);
    const auto commandCdb = jmicronCdb(JmicronStep::Command, kJmicronBlockSize);
    if (const int error = sendChecked(
            send, transferOf(commandCdb, CdbDirection::ToDevice, block.data(), kJmicronBlockSize)))
        return nvmeFailure(error);
    const bool moves = command.dataLength != 0;
    const auto dataCdb =
        jmicronCdb(moves ? JmicronStep::DataIn : JmicronStep::NonData, command.dataLength);
    if (const int error = sendChecked(
            send, transferOf(dataCdb, moves ? CdbDirection::FromDevice : CdbDirection::None,
                             moves ? data : nullptr, command.dataLength)))
        return nvmeFailure(error);
    block.fill(0);
    const auto responseCdb = jmicronCdb(JmicronStep::Response, kJmicronBlockSize);
    if (const int error = sendChecked(send, transferOf(responseCdb, CdbDirection::FromDevice,
                                                       block.data(), kJmicronBlockSize)))
        return nvmeFailure(error);
    const std::optional<JmicronCompletion> completion =
        parseJmicronCompletion(block.data(), block.size());
    if (!completion)
        return nvmeFailure(EIO);
    NvmeOutcome outcome;
    outcome.status = completion->status;
    outcome.result = completion->result;
    return outcome;
}

} // namespace

NvmeOutcome executeNvmeThroughBridge(const UsbDiskFacts& facts, const NvmeAdminCommand& command,
                                     BYTE* data, const TransferSender& send) {
    const std::optional<BridgePath> path = lookupBridge(idOf(facts));
    if (!path || !isNvmeTunnel(*path))
        return nvmeFailure(ENOTTY);
    if (silentBridges().contains(idOf(facts)) || !tunnel::carries(*path, command))
        return nvmeFailure(EOPNOTSUPP);
    NvmeOutcome outcome;
    switch (*path) {
    case BridgePath::JmicronNvme:
        outcome = runJmicron(command, data, send);
        break;
    case BridgePath::AsmediaNvme:
    case BridgePath::RealtekNvme: {
        const auto cdb = *path == BridgePath::AsmediaNvme ? tunnel::asmediaCdb(command)
                                                          : tunnel::realtekCdb(command);
        outcome.transportError =
            sendChecked(send, transferOf(cdb, CdbDirection::FromDevice, data, command.dataLength));
        break;
    }
    default:
        return nvmeFailure(ENOTTY);
    }
    if (outcome.transportError != 0)
        silentBridges().add(idOf(facts));
    return outcome;
}

UnavailableCause smartUnavailableCause(const UsbDiskFacts& facts, bool identifyFailed) {
    const BridgeId id = idOf(facts);
    const std::optional<BridgePath> path = lookupBridge(id);
    if (path && *path == BridgePath::None)
        return UnavailableCause::PassesNothing;
    if (silentBridges().contains(id))
        return path ? UnavailableCause::TunnelSilent : UnavailableCause::UnknownSilent;
    return identifyFailed ? UnavailableCause::NoIdentify : UnavailableCause::None;
}

QString smartUnavailableReason(const UsbDiskFacts& facts, bool identifyFailed) {
    const QString text = bridgeIdText(idOf(facts));
    switch (smartUnavailableCause(facts, identifyFailed)) {
    case UnavailableCause::PassesNothing:
        return QStringLiteral("USB bridge %1 passes no S.M.A.R.T. commands").arg(text);
    case UnavailableCause::UnknownSilent:
        return QStringLiteral("USB bridge %1 is not known and answered no ATA pass-through")
            .arg(text);
    case UnavailableCause::TunnelSilent:
        return QStringLiteral("USB bridge %1 did not answer its NVMe tunnel").arg(text);
    case UnavailableCause::NoIdentify:
        return QStringLiteral("USB bridge %1 gave no readable identify data").arg(text);
    case UnavailableCause::None:
        break;
    }
    return QString();
}

void forgetSilentBridges() {
    silentBridges().clear();
}

} // namespace vorn::platform::usb
