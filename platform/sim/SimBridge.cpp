#include "SimBridge.h"

#include "BridgeTransport.h"
#include "NvmeCommandSet.h"
#include "NvmeTunnel.h"
#include "SatCommand.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace vorn::platform {

namespace {

constexpr BYTE kCheckCondition = 0x02;

bool takes(usb::BridgePath path, std::size_t cdbLength) {
    switch (path) {
    case usb::BridgePath::Sat16:
        return cdbLength == 16 || cdbLength == 12;
    case usb::BridgePath::Sat12:
        return cdbLength == 12;
    default:
        return false;
    }
}

// The buffer the reply's sense points into, alive for one command.
struct SenseBuffer {
    std::array<BYTE, 32> bytes{};
    std::size_t length = 0;
};

void invalidOpcode(SenseBuffer* sense, sat::SgReply* reply) {
    sense->bytes = {};
    sense->bytes[0] = 0x70;
    sense->bytes[2] = sat::kSenseKeyIllegalRequest;
    sense->bytes[7] = 10;
    sense->bytes[12] = 0x20; // INVALID COMMAND OPERATION CODE
    sense->length = 18;
    reply->scsiStatus = kCheckCondition;
}

// Descriptor-format sense with the ATA Status Return descriptor.
void registersInSense(const AtaRegisters& r, SenseBuffer* sense, sat::SgReply* reply) {
    sense->bytes = {};
    sense->bytes[0] = 0x72;
    sense->bytes[1] = sat::kSenseKeyRecovered;
    sense->bytes[3] = 0x1D; // ATA PASS-THROUGH INFORMATION AVAILABLE
    sense->bytes[7] = 14;
    BYTE* d = sense->bytes.data() + 8;
    d[0] = 0x09;
    d[1] = 0x0C;
    d[3] = r.feature;
    d[5] = r.sectorCount;
    d[7] = r.lbaLow;
    d[9] = r.lbaMid;
    d[11] = r.lbaHigh;
    d[12] = r.device;
    d[13] = r.command;
    sense->length = 22;
    reply->scsiStatus = kCheckCondition;
}

} // namespace

UsbDiskFacts simUsbFacts(const SimDeviceSettings& device) {
    return UsbDiskFacts{device.usbId.vendor, device.usbId.product, device.usbId.release,
                        device.usbDriver};
}

QByteArray simUnitSerialPage(const SimDeviceSettings& device) {
    if (device.unitSerial.isEmpty())
        return QByteArray();
    const QByteArray text = device.unitSerial.toLatin1();
    QByteArray page(4, '\0');
    page[1] = char(0x80);
    page[3] = char(text.size());
    return page + text;
}

QString simBridgeTraceLine(const QString& path, const UsbDiskFacts& facts, const BYTE* cdb,
                           std::size_t length) {
    QString line = path + QStringLiteral(" USB ") +
                   usb::bridgeIdText({facts.vendor, facts.product, facts.release}) +
                   QStringLiteral(" CDB");
    for (std::size_t i = 0; i < length; ++i)
        line += QStringLiteral(" %1").arg(cdb[i], 2, 16, QLatin1Char('0')).toUpper();
    return line;
}

AtaOutcome simExecuteBehindBridge(const SimDeviceSettings& device, const QString& path,
                                  const AtaCommand& command, BYTE* data,
                                  const std::function<AtaOutcome()>& runOnDisk,
                                  const std::function<void(QString)>& trace) {
    const UsbDiskFacts facts = simUsbFacts(device);
    SenseBuffer sense;
    return usb::executeThroughBridge(
        facts, command, data,
        [&](const BYTE* cdb, std::size_t length, DWORD /*timeoutMs*/, sat::SgReply* reply) {
            trace(simBridgeTraceLine(path, facts, cdb, length));
            *reply = sat::SgReply{};
            reply->sense = sense.bytes.data();
            if (!device.bridge || !takes(*device.bridge, length)) {
                invalidOpcode(&sense, reply);
                reply->senseLength = sense.length;
                return 0;
            }
            const AtaOutcome outcome = runOnDisk();
            if (outcome.transportError)
                return outcome.transportError;
            switch (device.bridgeReply) {
            case SimBridgeReply::Garbage:
                sense.bytes.fill(0x5A);
                sense.length = 18;
                reply->scsiStatus = kCheckCondition;
                break;
            case SimBridgeReply::Short:
                reply->residual = int(command.dataLength());
                break;
            case SimBridgeReply::Sound:
                if (sat::needsReturnedRegisters(command) ||
                    (outcome.returned.command & kAtaStatusErr))
                    registersInSense(outcome.returned, &sense, reply);
                break;
            }
            reply->senseLength = sense.length;
            return 0;
        });
}

namespace {

DWORD le32At(const BYTE* at) {
    return DWORD(at[0]) | DWORD(at[1]) << 8 | DWORD(at[2]) << 16 | DWORD(at[3]) << 24;
}

void putLe32At(BYTE* at, DWORD value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<BYTE>(value >> (8 * i));
}

// What a one-CDB chip understood: it has no room for a namespace, so it
// means namespace 1 for Identify and the whole controller for a log.
NvmeAdminCommand shortTunnelCommand(BYTE opcode, DWORD cdw10, DWORD length) {
    NvmeAdminCommand command;
    command.opcode = opcode;
    command.cdw10 = cdw10;
    command.dataLength = length;
    if (opcode == nvme::kIdentify)
        command.nsid = cdw10 == nvme::kCnsNamespace ? 1 : 0;
    else
        command.nsid = nvme::kAllNamespaces;
    return command;
}

// The chip of a simulated bridge: what one CDB means to it, and its answer.
class SimTunnelChip {
public:
    SimTunnelChip(const SimDeviceSettings& device,
                  const std::function<NvmeOutcome(const NvmeAdminCommand&, BYTE*)>& runOnDisk)
        : m_device(device), m_runOnDisk(runOnDisk) {}

    int answer(const usb::CdbTransfer& t, SenseBuffer* sense, sat::SgReply* reply) {
        const usb::BridgePath path = m_device.bridge.value_or(usb::BridgePath::None);
        const BYTE opcode = t.cdbLength ? t.cdb[0] : 0;
        if (path == usb::BridgePath::JmicronNvme && opcode == usb::tunnel::kJmicronOpcode &&
            t.cdbLength == 12)
            return jmicron(t, sense, reply);
        if (path == usb::BridgePath::AsmediaNvme && opcode == usb::tunnel::kAsmediaOpcode &&
            t.cdbLength == 16)
            return oneCdb(
                shortTunnelCommand(t.cdb[1], t.cdb[3] | DWORD(t.cdb[7]) << 16, t.dataLength), t,
                sense, reply);
        if (path == usb::BridgePath::RealtekNvme && opcode == usb::tunnel::kRealtekOpcode &&
            t.cdbLength == 16) {
            const DWORD length = t.cdb[1] | DWORD(t.cdb[2]) << 8;
            DWORD cdw10 = t.cdb[4];
            if (t.cdb[3] == nvme::kGetLogPage && length >= 4)
                cdw10 |= (length / 4 - 1) << 16;
            return oneCdb(shortTunnelCommand(t.cdb[3], cdw10, length), t, sense, reply);
        }
        invalidOpcode(sense, reply);
        return 0;
    }

private:
    // A data transfer, spoilt as BridgeReply says.
    int deliver(const NvmeOutcome& outcome, const usb::CdbTransfer& t, SenseBuffer* sense,
                sat::SgReply* reply) {
        if (outcome.transportError)
            return outcome.transportError;
        switch (m_device.bridgeReply) {
        case SimBridgeReply::Garbage:
            sense->bytes.fill(0x5A);
            sense->length = 18;
            reply->scsiStatus = kCheckCondition;
            break;
        case SimBridgeReply::Short:
            reply->residual = int(t.dataLength);
            break;
        case SimBridgeReply::Sound:
            break;
        }
        return 0;
    }

    int oneCdb(const NvmeAdminCommand& command, const usb::CdbTransfer& t, SenseBuffer* sense,
               sat::SgReply* reply) {
        std::vector<BYTE> buffer(t.dataLength);
        const NvmeOutcome outcome = m_runOnDisk(command, buffer.data());
        // The chip reports a failed command only as a failed transfer.
        if (outcome.transportError == 0 && outcome.status != 0) {
            invalidOpcode(sense, reply);
            return 0;
        }
        if (outcome.transportError == 0 && t.data)
            std::memcpy(t.data, buffer.data(), buffer.size());
        return deliver(outcome, t, sense, reply);
    }

    int jmicron(const usb::CdbTransfer& t, SenseBuffer* sense, sat::SgReply* reply) {
        const auto step = static_cast<usb::tunnel::JmicronStep>(t.cdb[1] & 0x0F);
        const DWORD length = DWORD(t.cdb[3]) << 16 | DWORD(t.cdb[4]) << 8 | t.cdb[5];
        switch (step) {
        case usb::tunnel::JmicronStep::Command: {
            if (t.direction != usb::CdbDirection::ToDevice || length != 512 || !t.data ||
                std::memcmp(t.data, usb::tunnel::kJmicronSignature, 4) != 0) {
                invalidOpcode(sense, reply);
                return 0;
            }
            m_command = NvmeAdminCommand{};
            m_command->opcode = t.data[8];
            m_command->nsid = le32At(t.data + 12);
            DWORD* dwords[] = {&m_command->cdw10, &m_command->cdw11, &m_command->cdw12,
                               &m_command->cdw13, &m_command->cdw14, &m_command->cdw15};
            for (std::size_t i = 0; i < 6; ++i)
                *dwords[i] = le32At(t.data + 48 + 4 * i);
            return 0;
        }
        case usb::tunnel::JmicronStep::DataIn:
        case usb::tunnel::JmicronStep::NonData: {
            if (!m_command) {
                invalidOpcode(sense, reply);
                return 0;
            }
            m_command->dataLength = step == usb::tunnel::JmicronStep::DataIn ? length : 0;
            std::vector<BYTE> buffer(m_command->dataLength);
            m_outcome = m_runOnDisk(*m_command, buffer.data());
            if (m_outcome.transportError == 0 && t.data)
                std::memcpy(t.data, buffer.data(),
                            std::min<std::size_t>(buffer.size(), t.dataLength));
            if (m_outcome.transportError)
                return m_outcome.transportError;
            // A spoilt answer shows in the completion block.
            if (m_device.bridgeReply == SimBridgeReply::Short)
                reply->residual = int(t.dataLength);
            return 0;
        }
        case usb::tunnel::JmicronStep::Response:
            if (!t.data || t.dataLength < 512) {
                invalidOpcode(sense, reply);
                return 0;
            }
            std::memset(t.data, 0, t.dataLength);
            if (m_device.bridgeReply == SimBridgeReply::Garbage) {
                std::memset(t.data, 0x5A, t.dataLength);
                return 0;
            }
            std::memcpy(t.data, usb::tunnel::kJmicronSignature, 4);
            putLe32At(t.data + 8, m_outcome.result);
            putLe32At(t.data + 20, DWORD(m_outcome.status) << 17);
            return 0;
        }
        invalidOpcode(sense, reply);
        return 0;
    }

    const SimDeviceSettings& m_device;
    const std::function<NvmeOutcome(const NvmeAdminCommand&, BYTE*)>& m_runOnDisk;
    std::optional<NvmeAdminCommand> m_command;
    NvmeOutcome m_outcome;
};

} // namespace

NvmeOutcome simExecuteNvmeBehindBridge(
    const SimDeviceSettings& device, const QString& path, const NvmeAdminCommand& command,
    BYTE* data, const std::function<NvmeOutcome(const NvmeAdminCommand&, BYTE*)>& runOnDisk,
    const std::function<void(QString)>& trace) {
    const UsbDiskFacts facts = simUsbFacts(device);
    SenseBuffer sense;
    SimTunnelChip chip(device, runOnDisk);
    return usb::executeNvmeThroughBridge(
        facts, command, data, [&](const usb::CdbTransfer& transfer, sat::SgReply* reply) {
            trace(simBridgeTraceLine(path, facts, transfer.cdb, transfer.cdbLength));
            *reply = sat::SgReply{};
            sense = SenseBuffer{};
            reply->sense = sense.bytes.data();
            const int error = chip.answer(transfer, &sense, reply);
            reply->senseLength = sense.length;
            return error;
        });
}

} // namespace vorn::platform
