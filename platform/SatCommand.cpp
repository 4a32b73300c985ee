#include "SatCommand.h"

#include "AtaCommandSet.h"

#include <cerrno>

namespace vorn::platform::sat {

namespace {

constexpr BYTE kProtocolNonData = 3;
constexpr BYTE kProtocolPioDataIn = 4;

BYTE protocolByte(CdbOptions options) {
    return BYTE((options.dataIn ? kProtocolPioDataIn : kProtocolNonData) << 1);
}

// OFF_LINE 0, CK_COND, T_TYPE 0; data-in adds T_DIR (to the host),
// BYT_BLOK (count in blocks) and T_LENGTH 2 (length in the count register).
BYTE flagsByte(CdbOptions options) {
    BYTE flags = options.checkCondition ? 0x20 : 0x00;
    if (options.dataIn)
        flags |= 0x08 | 0x04 | 0x02;
    return flags;
}

constexpr BYTE kDescriptorFormatCurrent = 0x72;
constexpr BYTE kDescriptorFormatDeferred = 0x73;
constexpr BYTE kFixedFormatCurrent = 0x70;
constexpr BYTE kFixedFormatDeferred = 0x71;
constexpr BYTE kAtaStatusReturnDescriptor = 0x09;

std::optional<AtaRegisters> findStatusDescriptor(const BYTE* sense, std::size_t length) {
    const std::size_t end = std::min<std::size_t>(length, 8u + sense[7]);
    std::size_t at = 8;
    while (at + 2 <= end) {
        const std::size_t size = 2u + sense[at + 1];
        if (sense[at] == kAtaStatusReturnDescriptor && sense[at + 1] >= 12 && at + 14 <= end) {
            const BYTE* d = sense + at;
            // Low bytes only: no command of this layer reads a 48-bit register back.
            return AtaRegisters{d[3], d[5], d[7], d[9], d[11], d[12], d[13]};
        }
        at += size;
    }
    return std::nullopt;
}

} // namespace

std::array<BYTE, 16> buildCdb16(const AtaRegisters& r, CdbOptions options) {
    return {kPassThrough16,     protocolByte(options),
            flagsByte(options), 0,
            r.feature,          0,
            r.sectorCount,      0,
            r.lbaLow,           0,
            r.lbaMid,           0,
            r.lbaHigh,          r.device,
            r.command,          0};
}

std::array<BYTE, 16> buildCdb16Extended(const AtaRegisters& r, const AtaRegisters& previous,
                                        CdbOptions options) {
    constexpr BYTE kExtend = 0x01;
    return {kPassThrough16,     BYTE(protocolByte(options) | kExtend),
            flagsByte(options), previous.feature,
            r.feature,          previous.sectorCount,
            r.sectorCount,      previous.lbaLow,
            r.lbaLow,           previous.lbaMid,
            r.lbaMid,           previous.lbaHigh,
            r.lbaHigh,          r.device,
            r.command,          0};
}

std::array<BYTE, 12> buildCdb12(const AtaRegisters& r, CdbOptions options) {
    return {kPassThrough12,
            protocolByte(options),
            flagsByte(options),
            r.feature,
            r.sectorCount,
            r.lbaLow,
            r.lbaMid,
            r.lbaHigh,
            r.device,
            r.command,
            0,
            0};
}

std::optional<SenseInfo> parseSense(const BYTE* sense, std::size_t length) {
    if (!sense || length < 1)
        return std::nullopt;
    SenseInfo info;
    info.responseCode = sense[0] & 0x7F;
    switch (info.responseCode) {
    case kDescriptorFormatCurrent:
    case kDescriptorFormatDeferred:
        if (length < 8)
            return std::nullopt;
        info.senseKey = sense[1] & 0x0F;
        info.asc = sense[2];
        info.ascq = sense[3];
        info.ataRegisters = findStatusDescriptor(sense, length);
        return info;
    case kFixedFormatCurrent:
    case kFixedFormatDeferred:
        if (length < 14)
            return std::nullopt;
        info.senseKey = sense[2] & 0x0F;
        info.asc = sense[12];
        info.ascq = sense[13];
        // ATA PASS-THROUGH INFORMATION AVAILABLE: the registers sit in the
        // information and command-specific fields.
        // An ATA error surfaces as ABORTED COMMAND with the same fields
        // filled; ERR in the status byte tells them from an LBA.
        if ((info.asc == 0x00 && info.ascq == 0x1D) ||
            (info.senseKey == kSenseKeyAborted && (sense[4] & kAtaStatusErr)))
            info.ataRegisters = AtaRegisters{sense[3],  sense[6], sense[9], sense[10],
                                             sense[11], sense[5], sense[4]};
        return info;
    default:
        return std::nullopt;
    }
}

namespace {
constexpr BYTE kScsiStatusGood = 0x00;
constexpr BYTE kScsiStatusCheckCondition = 0x02;
constexpr unsigned short kDriverSense = 0x08;

bool isCheckCondition(const SgReply& reply) {
    return (reply.scsiStatus & 0x7E) == kScsiStatusCheckCondition;
}

AtaOutcome transportFailure(int error) {
    AtaOutcome outcome;
    outcome.transportError = error;
    return outcome;
}
} // namespace

std::optional<SenseInfo> senseOf(const SgReply& reply) {
    if (!isCheckCondition(reply) && !(reply.driverStatus & kDriverSense))
        return std::nullopt;
    return parseSense(reply.sense, reply.senseLength);
}

AtaOutcome interpretReply(const SgReply& reply, const AtaCommand& command, bool wantRegisters) {
    if (reply.hostStatus != 0 || (reply.driverStatus & ~kDriverSense) != 0)
        return transportFailure(EIO);
    const std::optional<SenseInfo> sense = senseOf(reply);
    if (sense && sense->ataRegisters) {
        AtaOutcome outcome;
        outcome.returned = *sense->ataRegisters;
        return outcome;
    }
    // No registers: only a clean completion of a command that needs none
    // back counts; a check condition whose sense cannot be read, or a busy
    // or reserved target, did not run the command.
    if (sense || isCheckCondition(reply) || (reply.scsiStatus & 0x7E) != kScsiStatusGood ||
        wantRegisters)
        return transportFailure(EIO);
    if (command.dataIn && reply.residual >= kSectorSize)
        return transportFailure(EIO);
    AtaOutcome outcome;
    outcome.returned = command.registers;
    outcome.returned.feature = 0;
    outcome.returned.command = kAtaStatusReady;
    return outcome;
}

bool needsReturnedRegisters(const AtaCommand& command) {
    const AtaRegisters& r = command.registers;
    return (r.command == ata::kSmart && r.feature == ata::kSmartReturnStatus) ||
           r.command == ata::kCheckPowerMode;
}

bool isOpcodeRejected(const SenseInfo& sense) {
    // INVALID COMMAND OPERATION CODE, or INVALID FIELD IN CDB from
    // translators that know the opcode but not its 16-byte layout.
    return sense.senseKey == kSenseKeyIllegalRequest && (sense.asc == 0x20 || sense.asc == 0x24) &&
           sense.ascq == 0x00;
}

} // namespace vorn::platform::sat
