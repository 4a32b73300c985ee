#include "SimBridge.h"

#include "BridgeTransport.h"
#include "SatCommand.h"

#include <array>

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

} // namespace vorn::platform
