#include "AtaRequest.h"

#include "AtaCommandSet.h"
#include "DeviceIo.h"
#include "ErrorLog.h"
#include "IoControlCodes.h"
#include "SectorImage.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace vorn::ata {

using vorn::hdd::writeLe16;
using vorn::hdd::writeLe32;

namespace {

namespace cmd = vorn::platform::ata;
constexpr BYTE kIdentify = cmd::kIdentifyDevice;
constexpr BYTE kSmart = cmd::kSmart;
constexpr BYTE kSmartLow = cmd::kSmartLbaMid;
constexpr BYTE kSmartHigh = cmd::kSmartLbaHigh;
constexpr BYTE kMaster = 0xA0;
constexpr BYTE kSlaveBit = 0x10;
constexpr DWORD kDataReply = 16 + 512;
constexpr DWORD kStatusReply = 16 + 8;
constexpr DWORD kNoDataReply = 19;
constexpr DWORD kScsiDataOut = 560;
constexpr DWORD kScsiNoDataOut = 52;
constexpr DWORD kScsiTimeoutSeconds = 10;
constexpr DWORD kAtaFlagsDataIn = 2;
constexpr DWORD kAtaTimeoutSeconds = 10;

Registers smart(BYTE feature, BYTE count, BYTE number, BYTE driveHead = 0) {
    return Registers{feature, count, number, kSmartLow, kSmartHigh, driveHead, kSmart};
}

// SENDCMDINPARAMS at data + at: cBufferSize, the task file, bDriveNumber.
void fillSendCmdIn(BYTE* data, std::size_t size, std::size_t at, DWORD bufferSize,
                   const Registers& r, BYTE driveNumber) {
    writeLe32(data, size, at, bufferSize);
    const BYTE registers[] = {r.feature,      r.sectorCount, r.sectorNumber, r.cylinderLow,
                              r.cylinderHigh, r.driveHead,   r.command};
    std::memcpy(data + at + 4, registers, sizeof registers);
    data[at + 12] = driveNumber;
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
    return {win::SMART_GET_VERSION, 0, {}, false, kVersionSize};
}

ScsiRow scsiRow(Operation operation) {
    const Registers identify{0, 0, 0, 0, 0, 0, kIdentify};
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

std::array<BYTE, kSendCmdInSize> directRequest(Operation operation, int drive) {
    std::array<BYTE, kSendCmdInSize> request{};
    const DirectRow row = directRow(operation, drive);
    const BYTE driveNumber = row.carriesDrive ? static_cast<BYTE>(drive) : 0;
    fillSendCmdIn(request.data(), request.size(), 0, row.bufferSize, row.registers, driveNumber);
    return request;
}

std::vector<BYTE> scsiRequest(Operation operation, int target) {
    const ScsiRow row = scsiRow(operation);
    // The request is sent with its 63 input bytes even when only 52 come
    // back, so the shared buffer must hold both.
    std::vector<BYTE> buffer(std::max<std::size_t>(row.outLength, kScsiInLength), 0);
    BYTE* data = buffer.data();
    writeLe32(data, buffer.size(), 0, static_cast<DWORD>(kSrbHeaderSize));
    std::memcpy(data + 4, "SCSIDISK", 8);
    writeLe32(data, buffer.size(), 12, kScsiTimeoutSeconds);
    writeLe32(data, buffer.size(), 16, row.controlCode);
    writeLe32(data, buffer.size(), 20, 0);
    writeLe32(data, buffer.size(), 24, row.length);
    fillSendCmdIn(data, buffer.size(), kSrbHeaderSize, row.bufferSize, row.registers,
                  static_cast<BYTE>(target & 0xFF));
    return buffer;
}

std::vector<BYTE> ataPassThroughRequest(BYTE command, BYTE feature, BYTE sectorCount,
                                        DWORD length) {
    if (length > kAtaPassThroughMaxData)
        return {};
    std::vector<BYTE> buffer(kAtaPassThroughHeader + kAtaPassThroughMaxData, 0);
    BYTE* data = buffer.data();
    const std::size_t size = buffer.size();
    writeLe16(data, size, 0, static_cast<WORD>(kAtaPassThroughHeader)); // Length
    if (length != 0)
        writeLe16(data, size, 2, kAtaFlagsDataIn); // AtaFlags
    // PathId, TargetId, Lun and the reserved byte (4-7) stay 0.
    writeLe32(data, size, 8, length);                                     // DataTransferLength
    writeLe32(data, size, 12, kAtaTimeoutSeconds);                        // TimeOutValue
    writeLe32(data, size, 20, static_cast<DWORD>(kAtaPassThroughHeader)); // DataBufferOffset
    // PreviousTaskFile at 24 stays 0; CurrentTaskFile at 32.
    data[32] = feature;
    data[33] = sectorCount;
    data[38] = command;
    return buffer;
}

DWORD ataPassThroughLength(DWORD length) {
    return static_cast<DWORD>(kAtaPassThroughHeader) +
           (length <= kAtaPassThroughMaxData ? length : 0);
}

std::vector<BYTE> idePassThroughRequest(BYTE command, BYTE feature, BYTE sectorCount,
                                        DWORD length) {
    // The request length travels as a 32-bit count: a data length that
    // would wrap it must not produce a buffer shorter than the copy-out.
    if (length > std::numeric_limits<DWORD>::max() - kIdePassThroughHeader)
        return {};
    std::vector<BYTE> buffer;
    try {
        buffer.assign(kIdePassThroughHeader + length, 0);
    } catch (const std::exception&) {
        return {};
    }
    BYTE* data = buffer.data();
    data[0] = feature;
    data[1] = sectorCount;
    data[6] = command;
    writeLe32(data, buffer.size(), 8, length);
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
    std::array<BYTE, kSendCmdInSize> request = directRequest(operation, drive);
    Cm_WriteErrorString(trace);
    DWORD returned = 0;
    const BOOL ok = win::DeviceIoControl(device, row.controlCode, request.data(), kSendCmdInLength,
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
        win::DeviceIoControl(device, win::IOCTL_SCSI_MINIPORT, buffer->data(), kScsiInLength,
                             buffer->data(), scsiRow(operation).outLength, &returned, nullptr);
    if (!ok)
        logLastError();
    return ok;
}

} // namespace vorn::ata
