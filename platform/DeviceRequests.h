#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"
#include "WinTypes.h"

// Serves one DeviceIoControl request on an open device: decodes the Windows
// request buffer (SENDCMDINPARAMS, the SRB_IO_CONTROL wrapper of the SCSI
// miniport, ATA_PASS_THROUGH_EX in its 40-byte form, IDEREGS with a data
// size), runs the ATA command on the device and fills the reply at the
// offsets the callers read. Input and output may be the same buffer.
namespace vorn::platform {

// Returns 0, or the errno value of the failure: EINVAL for a malformed or
// unknown request or a reply buffer that is too short, EIO when the device
// answered with ERR (the reply then carries the error register), or the
// device's own transport error.
VORNPLATFORM_API int serveDeviceRequest(OpenDevice& device, DWORD controlCode, const void* input,
                                        DWORD inputSize, void* output, DWORD outputSize,
                                        DWORD* bytesReturned);

// Offsets of the request and reply layouts, shared with the tests.
namespace layout {
constexpr DWORD kSendCmdInSize = 35;    // what the callers send
constexpr DWORD kSendCmdInMinimum = 13; // up to and including bDriveNumber
constexpr DWORD kInRegisters = 4;       // bFeaturesReg .. reserved
constexpr DWORD kInDriveNumber = 12;
constexpr DWORD kOutDriverError = 4;
constexpr DWORD kOutIdeError = 5;
constexpr DWORD kOutData = 16;
constexpr DWORD kVersionSize = 24;   // GETVERSIONINPARAMS
constexpr DWORD kSrbHeaderSize = 28; // SRB_IO_CONTROL
constexpr DWORD kSrbControlCode = 16;
constexpr DWORD kSrbReturnCode = 20;
constexpr DWORD kAtaPassThroughSize = 40; // ATA_PASS_THROUGH_EX, 32-bit pointers
constexpr DWORD kAtaFlags = 2;
constexpr DWORD kAtaTargetId = 5;
constexpr DWORD kAtaDataTransferLength = 8;
constexpr DWORD kAtaDataBufferOffset = 20;
constexpr DWORD kAtaCurrentTaskFile = 32;
constexpr WORD kAtaFlagsDataIn = 0x0002;
constexpr DWORD kIdeDataSize = 8; // DataBufferSize after the 8 register bytes
constexpr DWORD kIdeData = 12;
constexpr BYTE kSmartIdeError = 1; // bDriverError when the device reported ERR
} // namespace layout

} // namespace vorn::platform
