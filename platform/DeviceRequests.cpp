#include "DeviceRequests.h"

#include "ByteOrder.h"
#include "IoControlCodes.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <vector>

namespace vorn::platform {

using namespace layout;

namespace {

DWORD dwordAt(const std::vector<BYTE>& in, DWORD offset) {
    return vorn::le::read32(in.data(), in.size(), offset);
}

WORD wordAt(const std::vector<BYTE>& in, DWORD offset) {
    return vorn::le::read16(in.data(), in.size(), offset);
}

// The returned block as IDEREGS: error, count, LBA low/mid/high, device,
// status, reserved.
void writeRegisters(BYTE* p, const AtaRegisters& r) {
    putAtaRegisters(r, p);
    p[kAtaRegisterBytes] = 0;
}

void writeVersion(BYTE* p, BYTE ideDeviceMap) {
    std::memset(p, 0, kVersionSize);
    p[offsetof(win::GETVERSIONINPARAMS, bVersion)] = 1;
    p[offsetof(win::GETVERSIONINPARAMS, bRevision)] = 1;
    p[kVersionDeviceMap] = ideDeviceMap;
    vorn::le::write32(p, kVersionSize, kVersionCapabilities,
                      win::CAP_ATA_ID_CMD | win::CAP_SMART_CMD);
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
    AtaCommand command{takeAtaRegisters(request + kInRegisters), dataIn};
    const RequestTarget target{request[kInDriveNumber]};
    const DWORD needed = kOutData + (dataIn ? kSectorSize : 0);
    if (replySize < needed)
        return EINVAL;
    std::memset(reply, 0, std::min<DWORD>(replySize, kOutData + kSectorSize));
    BYTE sector[kSectorSize] = {};
    const AtaOutcome outcome = device.execute(target, command, sector);
    const int error = resultOf(outcome);
    if (outcome.failedOnDevice()) {
        reply[kOutDriverError] = win::SMART_IDE_ERROR;
        reply[kOutIdeError] = outcome.returned.feature;
    }
    if (dataIn) {
        if (error == 0) {
            vorn::le::write32(reply, replySize, 0, kSectorSize);
            std::memcpy(reply + kOutData, sector, kSectorSize);
        }
        *used = kOutData + kSectorSize;
    } else if (replySize >= kOutData + kOutRegistersSize && outcome.transportError == 0) {
        writeRegisters(reply + kOutData, outcome.returned);
        *used = kOutData + kOutRegistersSize;
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
        dwordAt(in, 0) != kSrbHeaderSize ||
        std::memcmp(in.data() + kSrbSignature, kSrbSignatureText, 8) != 0)
        return EINVAL;
    const BYTE* request = in.data() + kSrbHeaderSize;
    BYTE* reply = out + kSrbHeaderSize;
    const DWORD replySize = outSize - kSrbHeaderSize;
    std::memcpy(out, in.data(), kSrbHeaderSize);

    int error = 0;
    DWORD replyUsed = 0;
    switch (dwordAt(in, kSrbControlCode)) {
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

// A data length of one block or less is one block's command, as it always
// was; a longer one must be whole blocks, and the allow-list decides whether
// the command may move that many.
bool blocksOfLength(DWORD length, WORD* blocks) {
    if (length <= kSectorSize) {
        *blocks = 1;
        return true;
    }
    if (length % kSectorSize != 0 || length / kSectorSize > kMaxAtaBlocks)
        return false;
    *blocks = static_cast<WORD>(length / kSectorSize);
    return true;
}

int serveAtaPassThrough(OpenDevice& device, const std::vector<BYTE>& in, BYTE* out, DWORD outSize,
                        DWORD* used) {
    if (in.size() < kAtaPassThroughSize || wordAt(in, 0) != kAtaPassThroughSize ||
        outSize < kAtaPassThroughSize)
        return EINVAL;
    const WORD flags = wordAt(in, kAtaFlags);
    const bool dataIn = flags & win::ATA_FLAGS_DATA_IN;
    const DWORD length = dataIn ? dwordAt(in, kAtaDataTransferLength) : 0;
    const DWORD offset = dwordAt(in, kAtaDataBufferOffset);
    AtaCommand command{takeAtaRegisters(in.data() + kAtaCurrentTaskFile), dataIn};
    if (dataIn && (length == 0 || !blocksOfLength(length, &command.blocks) ||
                   offset < kAtaPassThroughSize || offset > outSize || outSize - offset < length))
        return EINVAL;
    if (flags & win::ATA_FLAGS_48BIT_COMMAND) {
        command.extended = true;
        command.previous = takeAtaRegisters(in.data() + kAtaPreviousTaskFile);
    }
    std::memcpy(out, in.data(), kAtaPassThroughSize);
    BYTE data[kMaxAtaBlocks * kSectorSize] = {};
    const AtaOutcome outcome = device.execute(RequestTarget{in[kAtaTargetId]}, command, data);
    if (outcome.transportError == 0)
        writeRegisters(out + kAtaCurrentTaskFile, outcome.returned);
    const int error = resultOf(outcome);
    if (dataIn)
        std::memcpy(out + offset, data, error == 0 ? length : 0);
    *used = dataIn ? offset + length : kAtaPassThroughSize;
    return error;
}

int serveIdePassThrough(OpenDevice& device, const std::vector<BYTE>& in, BYTE* out, DWORD outSize,
                        DWORD* used) {
    if (in.size() < kIdeData || outSize < kIdeData)
        return EINVAL;
    const DWORD length = dwordAt(in, kIdeDataSize);
    if (outSize - kIdeData < length)
        return EINVAL;
    const bool dataIn = length > 0;
    std::memcpy(out, in.data(), kIdeData);
    BYTE sector[kSectorSize] = {};
    const AtaOutcome outcome =
        device.execute(RequestTarget{0}, {takeAtaRegisters(in.data()), dataIn}, sector);
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
