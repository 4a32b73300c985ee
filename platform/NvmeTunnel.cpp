#include "NvmeTunnel.h"

#include "NvmeCommandSet.h"

#include <cstring>

namespace vorn::platform::usb::tunnel {

namespace {

constexpr BYTE kAdminFlag = 0x80;

void putLe32(BYTE* at, DWORD value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<BYTE>(value >> (8 * i));
}

DWORD le32(const BYTE* at) {
    return DWORD(at[0]) | DWORD(at[1]) << 8 | DWORD(at[2]) << 16 | DWORD(at[3]) << 24;
}

// Places in the JMicron blocks, in bytes.
constexpr std::size_t kBlockOpcode = 8;
constexpr std::size_t kBlockNamespace = 12;
constexpr std::size_t kBlockCdw10 = 48;
constexpr std::size_t kCompletionResult = 8;
constexpr std::size_t kCompletionStatus = 20; // the entry's last dword

// What the one-CDB tunnels can say: the controller or namespace 1, and a
// whole-controller log no longer than the chips read right.
bool fitsShortTunnel(const NvmeAdminCommand& c) {
    if (c.cdw11 || c.cdw12 || c.cdw13 || c.cdw14 || c.cdw15)
        return false;
    switch (c.opcode) {
    case nvme::kIdentify:
        return (c.cdw10 == nvme::kCnsController && c.nsid == 0) ||
               (c.cdw10 == nvme::kCnsNamespace && c.nsid == 1);
    case nvme::kGetLogPage:
        // The retain bit (15) has no place in the CDB and is dropped: behind
        // a bridge the chip, not the host, owns the event queue.
        return (c.nsid == 0 || c.nsid == nvme::kAllNamespaces) && (c.cdw10 & 0x7F00u) == 0 &&
               c.dataLength <= kShortTunnelLogLimit;
    default:
        return false;
    }
}

} // namespace

std::array<BYTE, 12> jmicronCdb(JmicronStep step, DWORD length) {
    std::array<BYTE, 12> cdb{};
    cdb[0] = kJmicronOpcode;
    cdb[1] = static_cast<BYTE>(kAdminFlag | static_cast<BYTE>(step));
    cdb[3] = static_cast<BYTE>(length >> 16);
    cdb[4] = static_cast<BYTE>(length >> 8);
    cdb[5] = static_cast<BYTE>(length);
    return cdb;
}

std::array<BYTE, kJmicronBlockSize> jmicronCommandBlock(const NvmeAdminCommand& command) {
    std::array<BYTE, kJmicronBlockSize> block{};
    std::memcpy(block.data(), kJmicronSignature, sizeof kJmicronSignature);
    block[kBlockOpcode] = command.opcode;
    putLe32(block.data() + kBlockNamespace, command.nsid);
    const DWORD dwords[] = {command.cdw10, command.cdw11, command.cdw12,
                            command.cdw13, command.cdw14, command.cdw15};
    for (std::size_t i = 0; i < 6; ++i)
        putLe32(block.data() + kBlockCdw10 + 4 * i, dwords[i]);
    return block;
}

std::optional<JmicronCompletion> parseJmicronCompletion(const BYTE* block, std::size_t length) {
    if (!block || length < kJmicronBlockSize ||
        std::memcmp(block, kJmicronSignature, sizeof kJmicronSignature) != 0)
        return std::nullopt;
    JmicronCompletion completion;
    completion.result = le32(block + kCompletionResult);
    // Status field above the phase bit; the code and its type are bits 0-10.
    completion.status = static_cast<WORD>((le32(block + kCompletionStatus) >> 17) & 0x7FF);
    return completion;
}

std::array<BYTE, 16> asmediaCdb(const NvmeAdminCommand& command) {
    std::array<BYTE, 16> cdb{};
    cdb[0] = kAsmediaOpcode;
    cdb[1] = command.opcode;
    cdb[3] = static_cast<BYTE>(command.cdw10);
    cdb[7] = static_cast<BYTE>(command.cdw10 >> 16);
    return cdb;
}

std::array<BYTE, 16> realtekCdb(const NvmeAdminCommand& command) {
    std::array<BYTE, 16> cdb{};
    cdb[0] = kRealtekOpcode;
    cdb[1] = static_cast<BYTE>(command.dataLength);
    cdb[2] = static_cast<BYTE>(command.dataLength >> 8);
    cdb[3] = command.opcode;
    cdb[4] = static_cast<BYTE>(command.cdw10);
    return cdb;
}

bool carries(BridgePath path, const NvmeAdminCommand& command) {
    switch (path) {
    case BridgePath::JmicronNvme:
        return command.dataLength <= 0xFFFFFF;
    case BridgePath::AsmediaNvme:
    case BridgePath::RealtekNvme:
        return fitsShortTunnel(command);
    default:
        return false;
    }
}

} // namespace vorn::platform::usb::tunnel
