#include "DeviceRequests.h"

#include "IoControlCodes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace vorn::platform {

using namespace layout;

namespace {

DWORD readDword(const BYTE* p) {
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

WORD readWord(const BYTE* p) {
    return WORD(p[0] | p[1] << 8);
}

void writeDword(BYTE* p, DWORD value) {
    for (int i = 0; i < 4; ++i)
        p[i] = BYTE(value >> (8 * i));
}

AtaRegisters readRegisters(const BYTE* p) {
    return {p[0], p[1], p[2], p[3], p[4], p[5], p[6]};
}

// The returned block as IDEREGS: error, count, LBA low/mid/high, device,
// status, reserved.
void writeRegisters(BYTE* p, const AtaRegisters& r) {
    const BYTE bytes[8] = {r.feature, r.sectorCount, r.lbaLow,  r.lbaMid,
                           r.lbaHigh, r.device,      r.command, 0};
    std::memcpy(p, bytes, sizeof bytes);
}

void writeVersion(BYTE* p, BYTE ideDeviceMap) {
    std::memset(p, 0, kVersionSize);
    p[0] = 1; // bVersion
    p[1] = 1; // bRevision
    p[3] = ideDeviceMap;
    writeDword(p + 4, 0x1 | 0x4); // CAP_ATA_ID_CMD | CAP_SMART_CMD
}

// The errno value of a finished command: the device's ERR becomes EIO.
int resultOf(const AtaOutcome& outcome) {
    if (outcome.transportError)
        return outcome.transportError;
    return outcome.failedOnDevice() ? EIO : 0;
}

// Fills the 16-byte SENDCMDOUTPARAMS header (and the data or the returned
// registers behind it) at reply, which holds replySize bytes.
int runSendCmd(OpenDevice& device, const BYTE* request, bool dataIn, BYTE* reply, DWORD replySize,
               DWORD* used) {
    AtaCommand command{readRegisters(request + kInRegisters), dataIn};
    const RequestTarget target{request[kInDriveNumber]};
    const DWORD needed = kOutData + (dataIn ? kSectorSize : 0);
    if (replySize < needed)
        return EINVAL;
    std::memset(reply, 0, std::min<DWORD>(replySize, kOutData + kSectorSize));
    BYTE sector[kSectorSize] = {};
    const AtaOutcome outcome = device.execute(target, command, sector);
    const int error = resultOf(outcome);
    if (outcome.failedOnDevice()) {
        reply[kOutDriverError] = kSmartIdeError;
        reply[kOutIdeError] = outcome.returned.feature;
    }
    if (dataIn) {
        if (error == 0) {
            writeDword(reply, kSectorSize);
            std::memcpy(reply + kOutData, sector, kSectorSize);
        }
        *used = kOutData + kSectorSize;
    } else if (replySize >= kOutData + 8 && outcome.transportError == 0) {
        writeRegisters(reply + kOutData, outcome.returned);
        *used = kOutData + 8;
    } else {
        *used = kOutData;
    }
    return error;
}

int serveSmartRequest(OpenDevice& device, DWORD code, const std::vector<BYTE>& in, BYTE* out,
                      DWORD outSize, DWORD* used) {
    if (code == win::SMART_GET_VERSION) {
        if (outSize < kVersionSize)
            return EINVAL;
        BYTE map = 0;
        const RequestTarget target{in.size() > kInDriveNumber ? in[kInDriveNumber] : 0};
        if (const int error = device.version(target, &map))
            return error;
        writeVersion(out, map);
        *used = kVersionSize;
        return 0;
    }
    if (in.size() < kSendCmdInMinimum)
        return EINVAL;
    return runSendCmd(device, in.data(), code == win::SMART_RCV_DRIVE_DATA, out, outSize, used);
}

int serveMiniport(OpenDevice& device, const std::vector<BYTE>& in, BYTE* out, DWORD outSize,
                  DWORD* used) {
    if (in.size() < kSrbHeaderSize + kSendCmdInMinimum || outSize < kSrbHeaderSize ||
        readDword(in.data()) != kSrbHeaderSize || std::memcmp(in.data() + 4, "SCSIDISK", 8) != 0)
        return EINVAL;
    const BYTE* request = in.data() + kSrbHeaderSize;
    BYTE* reply = out + kSrbHeaderSize;
    const DWORD replySize = outSize - kSrbHeaderSize;
    std::memcpy(out, in.data(), kSrbHeaderSize);

    int error = 0;
    DWORD replyUsed = 0;
    switch (readDword(in.data() + kSrbControlCode)) {
    case win::IOCTL_SCSI_MINIPORT_SMART_VERSION: {
        if (replySize < kOutData + kVersionSize)
            return EINVAL;
        std::memset(reply, 0, kOutData + kVersionSize);
        BYTE map = 0;
        error = device.version(RequestTarget{request[kInDriveNumber]}, &map);
        if (error == 0)
            writeVersion(reply + kOutData, map);
        replyUsed = kOutData + kVersionSize;
        break;
    }
    case win::IOCTL_SCSI_MINIPORT_IDENTIFY:
    case win::IOCTL_SCSI_MINIPORT_READ_SMART_ATTRIBS:
    case win::IOCTL_SCSI_MINIPORT_READ_SMART_THRESHOLDS:
        error = runSendCmd(device, request, true, reply, replySize, &replyUsed);
        break;
    case win::IOCTL_SCSI_MINIPORT_ENABLE_SMART:
    case win::IOCTL_SCSI_MINIPORT_DISABLE_SMART:
    case win::IOCTL_SCSI_MINIPORT_RETURN_STATUS:
    case win::IOCTL_SCSI_MINIPORT_ENABLE_DISABLE_AUTOSAVE:
        error = runSendCmd(device, request, false, reply, replySize, &replyUsed);
        break;
    default:
        return EINVAL;
    }
    *used = kSrbHeaderSize + replyUsed;
    return error;
}

int serveAtaPassThrough(OpenDevice& device, const std::vector<BYTE>& in, BYTE* out, DWORD outSize,
                        DWORD* used) {
    if (in.size() < kAtaPassThroughSize || readWord(in.data()) != kAtaPassThroughSize ||
        outSize < kAtaPassThroughSize)
        return EINVAL;
    const bool dataIn = readWord(in.data() + kAtaFlags) & kAtaFlagsDataIn;
    const DWORD length = dataIn ? readDword(in.data() + kAtaDataTransferLength) : 0;
    const DWORD offset = readDword(in.data() + kAtaDataBufferOffset);
    // One block is all a command of this layer moves.
    if (dataIn && (length == 0 || length > kSectorSize || offset < kAtaPassThroughSize ||
                   offset > outSize || outSize - offset < length))
        return EINVAL;
    std::memcpy(out, in.data(), kAtaPassThroughSize);
    BYTE sector[kSectorSize] = {};
    const AtaOutcome outcome =
        device.execute(RequestTarget{in[kAtaTargetId]},
                       {readRegisters(in.data() + kAtaCurrentTaskFile), dataIn}, sector);
    if (outcome.transportError == 0)
        writeRegisters(out + kAtaCurrentTaskFile, outcome.returned);
    const int error = resultOf(outcome);
    if (dataIn)
        std::memcpy(out + offset, sector, error == 0 ? length : 0);
    *used = dataIn ? offset + length : kAtaPassThroughSize;
    return error;
}

int serveIdePassThrough(OpenDevice& device, const std::vector<BYTE>& in, BYTE* out, DWORD outSize,
                        DWORD* used) {
    if (in.size() < kIdeData || outSize < kIdeData)
        return EINVAL;
    const DWORD length = readDword(in.data() + kIdeDataSize);
    if (outSize - kIdeData < length)
        return EINVAL;
    const bool dataIn = length > 0;
    std::memcpy(out, in.data(), kIdeData);
    BYTE sector[kSectorSize] = {};
    const AtaOutcome outcome =
        device.execute(RequestTarget{0}, {readRegisters(in.data()), dataIn}, sector);
    if (outcome.transportError == 0)
        writeRegisters(out, outcome.returned);
    const int error = resultOf(outcome);
    if (dataIn) {
        // The device sends one block; a longer data area is zero behind it.
        std::memset(out + kIdeData, 0, length);
        if (error == 0)
            std::memcpy(out + kIdeData, sector, std::min<DWORD>(length, kSectorSize));
    }
    *used = kIdeData + length;
    return error;
}

} // namespace

int serveDeviceRequest(OpenDevice& device, DWORD controlCode, const void* input, DWORD inputSize,
                       void* output, DWORD outputSize, DWORD* bytesReturned) {
    const BYTE* inBytes = static_cast<const BYTE*>(input);
    if (!inBytes)
        inputSize = 0;
    // The callers pass one buffer as input and output; keep the request.
    const std::vector<BYTE> in(inBytes, inBytes + inputSize);
    device.traceRequest(controlCode, in.data(), inputSize);

    BYTE* out = static_cast<BYTE*>(output);
    if (!out)
        outputSize = 0;
    DWORD used = 0;
    int error = EINVAL;
    switch (controlCode) {
    case win::SMART_GET_VERSION:
    case win::SMART_RCV_DRIVE_DATA:
    case win::SMART_SEND_DRIVE_COMMAND:
        error = serveSmartRequest(device, controlCode, in, out, outputSize, &used);
        break;
    case win::IOCTL_SCSI_MINIPORT:
        error = serveMiniport(device, in, out, outputSize, &used);
        break;
    case win::IOCTL_ATA_PASS_THROUGH:
        error = serveAtaPassThrough(device, in, out, outputSize, &used);
        break;
    case win::IOCTL_IDE_PASS_THROUGH:
        error = serveIdePassThrough(device, in, out, outputSize, &used);
        break;
    default:
        break;
    }
    if (bytesReturned)
        *bytesReturned = used;
    return error;
}

} // namespace vorn::platform
