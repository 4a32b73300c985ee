#pragma once

#include "ErrorLog.h"

#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

#include <array>
#include <cstddef>
#include <vector>

// The request and reply layouts of the storage control requests and the
// command table that fills them. Building a request is pure; the two send
// functions at the end are the only ones that reach the device layer.
namespace vorn::ata {

// Every failed system call writes the thread's last error into the run log;
// a last error of 0 is not worth a line.
inline void logLastError() {
    Cm_WriteErrorMessage(0xFFFFFFFFu, 0);
}

// The ATA task file as the requests carry it.
struct Registers {
    BYTE feature = 0;
    BYTE sectorCount = 0;
    BYTE sectorNumber = 0;
    BYTE cylinderLow = 0;
    BYTE cylinderHigh = 0;
    BYTE driveHead = 0;
    BYTE command = 0;
};

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

// SENDCMDINPARAMS: 36 bytes, of which 35 are sent.
constexpr std::size_t kSendCmdInSize = 36;
constexpr DWORD kSendCmdInLength = 35;
// SENDCMDOUTPARAMS: the 16-byte header, then the sector or register block.
constexpr std::size_t kDirectDataOffset = 16;
constexpr std::size_t kDirectStatusLowOffset = 19;
constexpr std::size_t kDirectStatusHighOffset = 20;
// SRB_IO_CONTROL (28 bytes) in front of the same request and reply.
constexpr std::size_t kSrbHeaderSize = 28;
constexpr DWORD kScsiInLength = 63;
constexpr std::size_t kScsiDataOffset = 44;
constexpr std::size_t kScsiStatusLowOffset = 47;
constexpr std::size_t kScsiStatusHighOffset = 48;
// GETVERSIONINPARAMS
constexpr std::size_t kVersionSize = 24;
// ATA_PASS_THROUGH_EX in its 40-byte form, followed by the data area.
constexpr std::size_t kAtaPassThroughHeader = 40;
constexpr DWORD kAtaPassThroughMaxData = 512;
constexpr std::size_t kAtaPassThroughTargetId = 5;
constexpr std::size_t kAtaPassThroughSectorCount = 33; // CurrentTaskFile, both ways
// IDEREGS (8) and DataBufferSize (4), followed by the data area.
constexpr std::size_t kIdePassThroughHeader = 12;

struct DirectRow {
    DWORD controlCode;
    DWORD bufferSize; // cBufferSize
    Registers registers;
    bool carriesDrive; // false: bDriveNumber 0 whatever the drive
    DWORD replyLength;
};

struct ScsiRow {
    DWORD controlCode; // inside the SRB_IO_CONTROL header
    DWORD length;      // SRB_IO_CONTROL Length
    DWORD bufferSize;  // cBufferSize of the embedded request
    Registers registers;
    DWORD outLength;
};

// The direct-path row; the version request has no row (it sends no input).
VORNHDD_API DirectRow directRow(Operation operation, int drive);
VORNHDD_API ScsiRow scsiRow(Operation operation);

// The 36-byte SENDCMDINPARAMS of a direct-path request.
VORNHDD_API std::array<BYTE, kSendCmdInSize> directRequest(Operation operation, int drive);
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

// Zero the reply, trace, send, and log the system error on failure. The
// reply is sized to the row's reply length (the version request: 24 bytes).
VORNHDD_API BOOL sendDirect(HANDLE device, Operation operation, int drive, const QString& trace,
                            std::vector<BYTE>* reply);
// The same on the SCSI port path; buffer receives the whole output.
VORNHDD_API BOOL sendScsi(HANDLE device, Operation operation, int target, const QString& trace,
                          std::vector<BYTE>* buffer);

} // namespace vorn::ata
