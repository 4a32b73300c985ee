#pragma once

#include "AtaRegisters.h"
#include "WinTypes.h"

#include <cstddef>

// The Windows storage request buffers as published: the disk library builds
// them (hdd/AtaRequest.h) and the device layer takes them apart
// (DeviceRequests.h). The structures declare where each field lies; the
// bytes are always read and written little-endian through vorn::le at these
// offsets, never by casting a buffer to a structure, so that neither side
// depends on the host's byte order or on a buffer's alignment.
namespace win {

// The task file: the seven registers in AtaRegisters order and one byte
// reserved.
struct IDEREGS {
    vorn::platform::AtaRegisters registers;
    BYTE bReserved;
};

// SMART_SEND_DRIVE_COMMAND and SMART_RCV_DRIVE_DATA input; the data area
// (bBuffer) follows.
struct SENDCMDINPARAMS {
    DWORD cBufferSize;
    IDEREGS irDriveRegs;
    BYTE bDriveNumber;
    BYTE bReserved[3];
    DWORD dwReserved[4];
};

struct DRIVERSTATUS {
    BYTE bDriverError;
    BYTE bIDEError;
    BYTE bReserved[2];
    DWORD dwReserved[2];
};

// Their output; the sector, or the returned IDEREGS, follows.
struct SENDCMDOUTPARAMS {
    DWORD cBufferSize;
    DRIVERSTATUS DriverStatus;
};

// SMART_GET_VERSION output.
struct GETVERSIONINPARAMS {
    BYTE bVersion;
    BYTE bRevision;
    BYTE bReserved;
    BYTE bIDEDeviceMap;
    DWORD fCapabilities;
    DWORD dwReserved[4];
};

// The header of IOCTL_SCSI_MINIPORT; a SENDCMDINPARAMS (on the way in) or
// a SENDCMDOUTPARAMS (on the way back) follows.
struct SRB_IO_CONTROL {
    DWORD HeaderLength;
    BYTE Signature[8];
    DWORD Timeout;
    DWORD ControlCode;
    DWORD ReturnCode;
    DWORD Length;
};

// ATA_PASS_THROUGH_EX in its form with 32-bit pointers; the data area lies
// at DataBufferOffset.
struct ATA_PASS_THROUGH_EX32 {
    WORD Length;
    WORD AtaFlags;
    BYTE PathId;
    BYTE TargetId;
    BYTE Lun;
    BYTE ReservedAsUchar;
    DWORD DataTransferLength;
    DWORD TimeOutValue;
    DWORD ReservedAsUlong;
    DWORD DataBufferOffset;
    IDEREGS PreviousTaskFile;
    IDEREGS CurrentTaskFile;
};

// IOCTL_IDE_PASS_THROUGH: the task file and the size of the data area that
// follows.
struct IDE_PASS_THROUGH_HEADER {
    IDEREGS IdeReg;
    DWORD DataBufferSize;
};

static_assert(sizeof(IDEREGS) == 8);
static_assert(sizeof(SENDCMDINPARAMS) == 32 && offsetof(SENDCMDINPARAMS, irDriveRegs) == 4 &&
              offsetof(SENDCMDINPARAMS, bDriveNumber) == 12);
static_assert(sizeof(DRIVERSTATUS) == 12 && offsetof(DRIVERSTATUS, bIDEError) == 1);
static_assert(sizeof(SENDCMDOUTPARAMS) == 16 && offsetof(SENDCMDOUTPARAMS, DriverStatus) == 4);
static_assert(sizeof(GETVERSIONINPARAMS) == 24 &&
              offsetof(GETVERSIONINPARAMS, bIDEDeviceMap) == 3 &&
              offsetof(GETVERSIONINPARAMS, fCapabilities) == 4);
static_assert(sizeof(SRB_IO_CONTROL) == 28 && offsetof(SRB_IO_CONTROL, Signature) == 4 &&
              offsetof(SRB_IO_CONTROL, Timeout) == 12 &&
              offsetof(SRB_IO_CONTROL, ControlCode) == 16 &&
              offsetof(SRB_IO_CONTROL, ReturnCode) == 20 && offsetof(SRB_IO_CONTROL, Length) == 24);
static_assert(sizeof(ATA_PASS_THROUGH_EX32) == 40 &&
              offsetof(ATA_PASS_THROUGH_EX32, AtaFlags) == 2 &&
              offsetof(ATA_PASS_THROUGH_EX32, TargetId) == 5 &&
              offsetof(ATA_PASS_THROUGH_EX32, DataTransferLength) == 8 &&
              offsetof(ATA_PASS_THROUGH_EX32, TimeOutValue) == 12 &&
              offsetof(ATA_PASS_THROUGH_EX32, DataBufferOffset) == 20 &&
              offsetof(ATA_PASS_THROUGH_EX32, PreviousTaskFile) == 24 &&
              offsetof(ATA_PASS_THROUGH_EX32, CurrentTaskFile) == 32);
static_assert(sizeof(IDE_PASS_THROUGH_HEADER) == 12 &&
              offsetof(IDE_PASS_THROUGH_HEADER, DataBufferSize) == 8);

constexpr WORD ATA_FLAGS_DATA_IN = 0x0002;
constexpr WORD ATA_FLAGS_48BIT_COMMAND = 0x0008; // PreviousTaskFile holds the high-order bytes
constexpr DWORD CAP_ATA_ID_CMD = 0x1;
constexpr DWORD CAP_SMART_CMD = 0x4;
constexpr BYTE SMART_IDE_ERROR = 1; // bDriverError when the device reported ERR

} // namespace win

// The offsets both sides use, named by where they lie in a buffer.
namespace vorn::platform::layout {

// A direct-path request: the disk library sends 35 bytes of a 36-byte
// buffer; the device layer needs them up to and including bDriveNumber.
constexpr DWORD kSendCmdInBuffer = 36;
constexpr DWORD kSendCmdInSent = 35;
constexpr DWORD kInRegisters = offsetof(win::SENDCMDINPARAMS, irDriveRegs);
constexpr DWORD kInDriveNumber = offsetof(win::SENDCMDINPARAMS, bDriveNumber);
constexpr DWORD kSendCmdInMinimum = kInDriveNumber + 1;

// Its reply: the header, then the sector or the returned IDEREGS.
constexpr DWORD kOutDriverError =
    offsetof(win::SENDCMDOUTPARAMS, DriverStatus) + offsetof(win::DRIVERSTATUS, bDriverError);
constexpr DWORD kOutIdeError =
    offsetof(win::SENDCMDOUTPARAMS, DriverStatus) + offsetof(win::DRIVERSTATUS, bIDEError);
constexpr DWORD kOutData = sizeof(win::SENDCMDOUTPARAMS);
constexpr DWORD kOutRegistersSize = sizeof(win::IDEREGS);
// The verdict of RETURN STATUS: the returned LBA mid and high registers.
constexpr DWORD kOutStatusLow = kOutData + offsetof(vorn::platform::AtaRegisters, lbaMid);
constexpr DWORD kOutStatusHigh = kOutData + offsetof(vorn::platform::AtaRegisters, lbaHigh);

constexpr DWORD kVersionSize = sizeof(win::GETVERSIONINPARAMS);
constexpr DWORD kVersionDeviceMap = offsetof(win::GETVERSIONINPARAMS, bIDEDeviceMap);
constexpr DWORD kVersionCapabilities = offsetof(win::GETVERSIONINPARAMS, fCapabilities);
constexpr DWORD kVersionReserved = offsetof(win::GETVERSIONINPARAMS, dwReserved);

// The SCSI port path: the same request and reply behind SRB_IO_CONTROL.
constexpr DWORD kSrbHeaderSize = sizeof(win::SRB_IO_CONTROL);
constexpr DWORD kSrbSignature = offsetof(win::SRB_IO_CONTROL, Signature);
constexpr DWORD kSrbTimeout = offsetof(win::SRB_IO_CONTROL, Timeout);
constexpr DWORD kSrbControlCode = offsetof(win::SRB_IO_CONTROL, ControlCode);
constexpr DWORD kSrbReturnCode = offsetof(win::SRB_IO_CONTROL, ReturnCode);
constexpr DWORD kSrbLength = offsetof(win::SRB_IO_CONTROL, Length);
constexpr char kSrbSignatureText[] = "SCSIDISK"; // eight bytes, no terminator sent
constexpr DWORD kScsiInSent = kSrbHeaderSize + kSendCmdInSent;
constexpr DWORD kScsiOutData = kSrbHeaderSize + kOutData;
constexpr DWORD kScsiOutStatusLow = kSrbHeaderSize + kOutStatusLow;
constexpr DWORD kScsiOutStatusHigh = kSrbHeaderSize + kOutStatusHigh;

constexpr DWORD kAtaPassThroughSize = sizeof(win::ATA_PASS_THROUGH_EX32);
constexpr DWORD kAtaFlags = offsetof(win::ATA_PASS_THROUGH_EX32, AtaFlags);
constexpr DWORD kAtaTargetId = offsetof(win::ATA_PASS_THROUGH_EX32, TargetId);
constexpr DWORD kAtaDataTransferLength = offsetof(win::ATA_PASS_THROUGH_EX32, DataTransferLength);
constexpr DWORD kAtaTimeOutValue = offsetof(win::ATA_PASS_THROUGH_EX32, TimeOutValue);
constexpr DWORD kAtaDataBufferOffset = offsetof(win::ATA_PASS_THROUGH_EX32, DataBufferOffset);
constexpr DWORD kAtaPreviousTaskFile = offsetof(win::ATA_PASS_THROUGH_EX32, PreviousTaskFile);
constexpr DWORD kAtaCurrentTaskFile = offsetof(win::ATA_PASS_THROUGH_EX32, CurrentTaskFile);
// The sector count the device returns in the task file (CHECK POWER MODE).
constexpr DWORD kAtaCurrentSectorCount =
    kAtaCurrentTaskFile + offsetof(vorn::platform::AtaRegisters, sectorCount);

constexpr DWORD kIdeDataSize = offsetof(win::IDE_PASS_THROUGH_HEADER, DataBufferSize);
constexpr DWORD kIdeData = sizeof(win::IDE_PASS_THROUGH_HEADER);

} // namespace vorn::platform::layout
