#pragma once

#include "DeviceBackend.h"
#include "ErrorLog.h"
#include "RequestLayouts.h"

#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

#include <array>
#include <cstddef>
#include <vector>

// The command table of the storage control requests and the buffers it
// fills, laid out as the device layer declares them (RequestLayouts.h), so
// that the bytes built here are the bytes taken apart there. Building a
// request is pure; the two send functions at the end are the only ones that
// reach the device layer.
namespace vorn::ata {

// Every failed system call writes the thread's last error into the run log;
// a last error of 0 is not worth a line.
inline void logLastError() {
    Cm_WriteErrorMessage(0xFFFFFFFFu, 0);
}

enum class Operation {
    Version,
    Identify,
    ReadData,
    ReadThresholds,
    Enable,
    Disable,
    AutoSaveOn,
    AutoSaveOff,
    ReturnStatus,
};

namespace layout = vorn::platform::layout;

struct DirectRow {
    DWORD controlCode;
    DWORD bufferSize; // cBufferSize
    vorn::platform::AtaRegisters registers;
    bool carriesDrive; // false: bDriveNumber 0 whatever the drive
    DWORD replyLength;
};

struct ScsiRow {
    DWORD controlCode; // inside the SRB_IO_CONTROL header
    DWORD length;      // SRB_IO_CONTROL Length
    DWORD bufferSize;  // cBufferSize of the embedded request
    vorn::platform::AtaRegisters registers;
    DWORD outLength;
};

// The direct-path row; the version request has no row (it sends no input).
VORNHDD_API DirectRow directRow(Operation operation, int drive);
VORNHDD_API ScsiRow scsiRow(Operation operation);

// The SENDCMDINPARAMS buffer of a direct-path request.
VORNHDD_API std::array<BYTE, layout::kSendCmdInBuffer> directRequest(Operation operation,
                                                                     int drive);
// The zeroed SCSI-path buffer, header and embedded request filled,
// bDriveNumber the low byte of target. It holds the row's output length,
// and never fewer than the 63 bytes that are sent.
VORNHDD_API std::vector<BYTE> scsiRequest(Operation operation, int target);

// SendCommandAta's buffers. Empty when the request may not be sent (a data
// length above 512 in the pass-through form, or one whose buffer size would
// not fit in 32 bits in the IDE form).
VORNHDD_API std::vector<BYTE> ataPassThroughRequest(BYTE command, BYTE feature, BYTE sectorCount,
                                                    DWORD length);
VORNHDD_API DWORD ataPassThroughLength(DWORD length);
VORNHDD_API std::vector<BYTE> idePassThroughRequest(BYTE command, BYTE feature, BYTE sectorCount,
                                                    DWORD length);

// The ATA pass-through buffer of one command of any width and length (the
// log reads: 48-bit, several blocks), TargetId target; its size is the
// length to send. Empty for a command longer than the largest transfer.
VORNHDD_API std::vector<BYTE> ataPassThroughCommand(const vorn::platform::AtaCommand& command,
                                                    BYTE target);
// Trace, send it (its header as the input, the whole buffer as the output),
// and log the system error on failure; *data receives the command's data when
// it succeeded, and is empty otherwise.
VORNHDD_API BOOL sendAtaPassThrough(HANDLE device, const vorn::platform::AtaCommand& command,
                                    BYTE target, const QString& trace, std::vector<BYTE>* data);

// Zero the reply, trace, send, and log the system error on failure. The
// reply is sized to the row's reply length (the version request: 24 bytes).
VORNHDD_API BOOL sendDirect(HANDLE device, Operation operation, int drive, const QString& trace,
                            std::vector<BYTE>* reply);
// The same on the SCSI port path; buffer receives the whole output.
VORNHDD_API BOOL sendScsi(HANDLE device, Operation operation, int target, const QString& trace,
                          std::vector<BYTE>* buffer);

} // namespace vorn::ata
