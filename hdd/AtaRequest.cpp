#include "AtaRequest.h"

#include "AtaCommandSet.h"
#include "DeviceIo.h"
#include "ErrorLog.h"
#include "IoControlCodes.h"
#include "SectorImage.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>

namespace vorn::ata {

using vorn::le::write16;
using vorn::le::write32;
using vorn::platform::AtaRegisters;
using vorn::platform::kSectorSize;
using vorn::platform::putAtaRegisters;

namespace {

namespace cmd = vorn::platform::ata;
constexpr BYTE kIdentify = cmd::kIdentifyDevice;
constexpr BYTE kSmart = cmd::kSmart;
constexpr BYTE kSmartLow = cmd::kSmartLbaMid;
constexpr BYTE kSmartHigh = cmd::kSmartLbaHigh;
constexpr BYTE kMaster = 0xA0;
constexpr BYTE kSlaveBit = 0x10;
constexpr DWORD kDataReply = layout::kOutData + kSectorSize;
constexpr DWORD kStatusReply = layout::kOutData + layout::kOutRegistersSize;
constexpr DWORD kNoDataReply = 19;
constexpr DWORD kScsiDataOut = 560;
constexpr DWORD kScsiNoDataOut = 52;
constexpr DWORD kScsiTimeoutSeconds = 10;
constexpr DWORD kAtaTimeoutSeconds = 10;

AtaRegisters smart(BYTE feature, BYTE count, BYTE number, BYTE driveHead = 0) {
    return AtaRegisters{feature, count, number, kSmartLow, kSmartHigh, driveHead, kSmart};
}

// SENDCMDINPARAMS at data + at: cBufferSize, the task file, bDriveNumber.
void fillSendCmdIn(BYTE* data, std::size_t size, std::size_t at, DWORD bufferSize,
                   const AtaRegisters& r, BYTE driveNumber) {
    write32(data, size, at + offsetof(win::SENDCMDINPARAMS, cBufferSize), bufferSize);
    putAtaRegisters(r, data + at + layout::kInRegisters);
    data[at + layout::kInDriveNumber] = driveNumber;
}

} // namespace

DirectRow directRow(Operation operation, int drive) {
    switch (operation) {
    case Operation::Identify: {
        const BYTE driveHead = (drive % 2 != 0) ? kMaster | kSlaveBit : kMaster;
        return {
            win::SMART_RCV_DRIVE_DATA, 36, {0, 1, 1, 0, 0, driveHead, kIdentify}, true, kDataReply};
    }
    case Operation::ReadData:
        return {win::SMART_RCV_DRIVE_DATA, 0, smart(cmd::kSmartReadData, 1, 1, kMaster), true,
                kDataReply};
    case Operation::ReadThresholds:
        return {win::SMART_RCV_DRIVE_DATA, 0, smart(cmd::kSmartReadThresholds, 1, 1, kMaster), true,
                kDataReply};
    case Operation::Enable:
        return {win::SMART_SEND_DRIVE_COMMAND, 0, smart(cmd::kSmartEnableOperations, 1, 1), false,
                kNoDataReply};
    case Operation::Disable:
        return {win::SMART_SEND_DRIVE_COMMAND, 0, smart(cmd::kSmartDisableOperations, 1, 1), false,
                kNoDataReply};
    case Operation::AutoSaveOn:
        return {win::SMART_SEND_DRIVE_COMMAND, 0,
                smart(cmd::kSmartAttributeAutosave, cmd::kAutosaveOn, 0), false, kNoDataReply};
    case Operation::AutoSaveOff:
        return {win::SMART_SEND_DRIVE_COMMAND, 0,
                smart(cmd::kSmartAttributeAutosave, cmd::kAutosaveOff, 0), false, kNoDataReply};
    case Operation::ReturnStatus:
        return {win::SMART_SEND_DRIVE_COMMAND, 0, smart(cmd::kSmartReturnStatus, 0, 0), false,
                kStatusReply};
    case Operation::Version:
        break;
    }
    return {win::SMART_GET_VERSION, 0, {}, false, layout::kVersionSize};
}

ScsiRow scsiRow(Operation operation) {
    const AtaRegisters identify{0, 0, 0, 0, 0, 0, kIdentify};
    switch (operation) {
    case Operation::Version:
        return {win::IOCTL_SCSI_MINIPORT_SMART_VERSION, 532, 0, identify, kScsiDataOut};
    case Operation::Identify:
        return {win::IOCTL_SCSI_MINIPORT_IDENTIFY, 532, 0, identify, kScsiDataOut};
    case Operation::ReadData:
        return {win::IOCTL_SCSI_MINIPORT_READ_SMART_ATTRIBS, 532, 512,
                smart(cmd::kSmartReadData, 1, 1), kScsiDataOut};
    case Operation::ReadThresholds:
        return {win::IOCTL_SCSI_MINIPORT_READ_SMART_THRESHOLDS, 532, 512,
                smart(cmd::kSmartReadThresholds, 1, 1), kScsiDataOut};
    case Operation::Enable:
        return {win::IOCTL_SCSI_MINIPORT_ENABLE_SMART, 24, 512,
                smart(cmd::kSmartEnableOperations, 1, 1), kScsiNoDataOut};
    case Operation::Disable:
        return {win::IOCTL_SCSI_MINIPORT_DISABLE_SMART, 24, 512,
                smart(cmd::kSmartDisableOperations, 1, 1), kScsiNoDataOut};
    case Operation::ReturnStatus:
        return {win::IOCTL_SCSI_MINIPORT_RETURN_STATUS, 24, 0, smart(cmd::kSmartReturnStatus, 0, 0),
                kScsiNoDataOut};
    case Operation::AutoSaveOn:
        return {win::IOCTL_SCSI_MINIPORT_ENABLE_DISABLE_AUTOSAVE, 24, 512,
                smart(cmd::kSmartAttributeAutosave, cmd::kAutosaveOn, 0), kScsiNoDataOut};
    case Operation::AutoSaveOff:
        break;
    }
    return {win::IOCTL_SCSI_MINIPORT_ENABLE_DISABLE_AUTOSAVE, 24, 512,
            smart(cmd::kSmartAttributeAutosave, cmd::kAutosaveOff, 0), kScsiNoDataOut};
}

std::array<BYTE, layout::kSendCmdInBuffer> directRequest(Operation operation, int drive) {
    std::array<BYTE, layout::kSendCmdInBuffer> request{};
    const DirectRow row = directRow(operation, drive);
    const BYTE driveNumber = row.carriesDrive ? static_cast<BYTE>(drive) : 0;
    fillSendCmdIn(request.data(), request.size(), 0, row.bufferSize, row.registers, driveNumber);
    return request;
}

std::vector<BYTE> scsiRequest(Operation operation, int target) {
    const ScsiRow row = scsiRow(operation);
    // The request is sent with its 63 input bytes even when only 52 come
    // back, so the shared buffer must hold both.
    std::vector<BYTE> buffer(std::max<std::size_t>(row.outLength, layout::kScsiInSent), 0);
    BYTE* data = buffer.data();
    const std::size_t size = buffer.size();
    write32(data, size, offsetof(win::SRB_IO_CONTROL, HeaderLength), layout::kSrbHeaderSize);
    std::memcpy(data + layout::kSrbSignature, layout::kSrbSignatureText,
                sizeof win::SRB_IO_CONTROL::Signature);
    write32(data, size, layout::kSrbTimeout, kScsiTimeoutSeconds);
    write32(data, size, layout::kSrbControlCode, row.controlCode);
    write32(data, size, layout::kSrbReturnCode, 0);
    write32(data, size, layout::kSrbLength, row.length);
    fillSendCmdIn(data, size, layout::kSrbHeaderSize, row.bufferSize, row.registers,
                  static_cast<BYTE>(target & 0xFF));
    return buffer;
}

std::vector<BYTE> ataPassThroughRequest(BYTE command, BYTE feature, BYTE sectorCount,
                                        DWORD length) {
    if (length > kSectorSize)
        return {};
    std::vector<BYTE> buffer(layout::kAtaPassThroughSize + kSectorSize, 0);
    BYTE* data = buffer.data();
    const std::size_t size = buffer.size();
    write16(data, size, offsetof(win::ATA_PASS_THROUGH_EX32, Length),
            static_cast<WORD>(layout::kAtaPassThroughSize));
    if (length != 0)
        write16(data, size, layout::kAtaFlags, win::ATA_FLAGS_DATA_IN);
    // PathId, TargetId, Lun and the reserved byte stay 0, and so does the
    // previous task file.
    write32(data, size, layout::kAtaDataTransferLength, length);
    write32(data, size, layout::kAtaTimeOutValue, kAtaTimeoutSeconds);
    write32(data, size, layout::kAtaDataBufferOffset, layout::kAtaPassThroughSize);
    putAtaRegisters(AtaRegisters{feature, sectorCount, 0, 0, 0, 0, command},
                    data + layout::kAtaCurrentTaskFile);
    return buffer;
}

std::vector<BYTE> ataPassThroughCommand(const vorn::platform::AtaCommand& command, BYTE target) {
    const DWORD length = command.dataLength();
    if (length > DWORD(vorn::platform::kMaxAtaBlocks) * kSectorSize)
        return {};
    std::vector<BYTE> buffer(layout::kAtaPassThroughSize + length, 0);
    BYTE* data = buffer.data();
    const std::size_t size = buffer.size();
    write16(data, size, offsetof(win::ATA_PASS_THROUGH_EX32, Length),
            static_cast<WORD>(layout::kAtaPassThroughSize));
    WORD flags = command.dataIn ? win::ATA_FLAGS_DATA_IN : 0;
    if (command.extended) {
        flags |= win::ATA_FLAGS_48BIT_COMMAND;
        putAtaRegisters(command.previous, data + layout::kAtaPreviousTaskFile);
    }
    write16(data, size, layout::kAtaFlags, flags);
    data[layout::kAtaTargetId] = target;
    write32(data, size, layout::kAtaDataTransferLength, length);
    write32(data, size, layout::kAtaTimeOutValue, kAtaTimeoutSeconds);
    write32(data, size, layout::kAtaDataBufferOffset, layout::kAtaPassThroughSize);
    putAtaRegisters(command.registers, data + layout::kAtaCurrentTaskFile);
    return buffer;
}

BOOL sendAtaPassThrough(HANDLE device, const vorn::platform::AtaCommand& command, BYTE target,
                        const QString& trace, std::vector<BYTE>* data) {
    data->clear();
    std::vector<BYTE> buffer = ataPassThroughCommand(command, target);
    if (buffer.empty())
        return FALSE;
    Cm_WriteErrorString(trace);
    // The header is all the request says; the data area is only the reply's.
    const DWORD length = static_cast<DWORD>(buffer.size());
    DWORD returned = 0;
    const BOOL ok = win::DeviceIoControl(device, win::IOCTL_ATA_PASS_THROUGH, buffer.data(),
                                         layout::kAtaPassThroughSize, buffer.data(), length,
                                         &returned, nullptr);
    if (!ok) {
        logLastError();
        return ok;
    }
    data->assign(buffer.begin() + layout::kAtaPassThroughSize, buffer.end());
    return ok;
}

DWORD ataPassThroughLength(DWORD length) {
    return layout::kAtaPassThroughSize + (length <= kSectorSize ? length : 0);
}

std::vector<BYTE> idePassThroughRequest(BYTE command, BYTE feature, BYTE sectorCount,
                                        DWORD length) {
    // The request length travels as a 32-bit count: a data length that
    // would wrap it must not produce a buffer shorter than the copy-out.
    if (length > std::numeric_limits<DWORD>::max() - layout::kIdeData)
        return {};
    std::vector<BYTE> buffer;
    try {
        buffer.assign(layout::kIdeData + length, 0);
    } catch (const std::exception&) {
        return {};
    }
    BYTE* data = buffer.data();
    putAtaRegisters(AtaRegisters{feature, sectorCount, 0, 0, 0, 0, command},
                    data + offsetof(win::IDE_PASS_THROUGH_HEADER, IdeReg));
    write32(data, buffer.size(), layout::kIdeDataSize, length);
    return buffer;
}

BOOL sendDirect(HANDLE device, Operation operation, int drive, const QString& trace,
                std::vector<BYTE>* reply) {
    const DirectRow row = directRow(operation, drive);
    reply->assign(row.replyLength, 0);
    if (operation == Operation::Version) {
        Cm_WriteErrorString(trace);
        DWORD returned = 0;
        const BOOL ok = win::DeviceIoControl(device, row.controlCode, nullptr, 0, reply->data(),
                                             row.replyLength, &returned, nullptr);
        if (!ok)
            logLastError();
        return ok;
    }
    std::array<BYTE, layout::kSendCmdInBuffer> request = directRequest(operation, drive);
    Cm_WriteErrorString(trace);
    DWORD returned = 0;
    const BOOL ok =
        win::DeviceIoControl(device, row.controlCode, request.data(), layout::kSendCmdInSent,
                             reply->data(), row.replyLength, &returned, nullptr);
    if (!ok)
        logLastError();
    return ok;
}

BOOL sendScsi(HANDLE device, Operation operation, int target, const QString& trace,
              std::vector<BYTE>* buffer) {
    *buffer = scsiRequest(operation, target);
    Cm_WriteErrorString(trace);
    DWORD returned = 0;
    const BOOL ok =
        win::DeviceIoControl(device, win::IOCTL_SCSI_MINIPORT, buffer->data(), layout::kScsiInSent,
                             buffer->data(), scsiRow(operation).outLength, &returned, nullptr);
    if (!ok)
        logLastError();
    return ok;
}

} // namespace vorn::ata
