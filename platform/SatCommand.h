#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"

#include <array>
#include <cstddef>
#include <optional>

// SCSI/ATA Translation: ATA commands carried in SCSI ATA PASS-THROUGH CDBs
// and the ATA registers read back from the sense data. Pure byte work, so
// that every bit can be checked without a disk.
namespace vorn::platform::sat {

constexpr BYTE kPassThrough16 = 0x85;
constexpr BYTE kPassThrough12 = 0xA1;

struct CdbOptions {
    bool dataIn = false;         // PIO Data-In of count blocks of 512 bytes, else non-data
    bool checkCondition = false; // CK_COND: return the registers in the sense data
};

// ATA PASS-THROUGH (16): 28-bit command (EXTEND 0), registers copied as given.
VORNPLATFORM_API std::array<BYTE, 16> buildCdb16(const AtaRegisters& registers, CdbOptions options);
// ATA PASS-THROUGH (16) of a 48-bit command (EXTEND 1): the high-order byte
// of each of feature, count and LBA low/mid/high from previous.
VORNPLATFORM_API std::array<BYTE, 16>
buildCdb16Extended(const AtaRegisters& registers, const AtaRegisters& previous, CdbOptions options);
// ATA PASS-THROUGH (12), for translators that refuse the 16-byte form.
VORNPLATFORM_API std::array<BYTE, 12> buildCdb12(const AtaRegisters& registers, CdbOptions options);

struct SenseInfo {
    BYTE responseCode = 0;
    BYTE senseKey = 0;
    BYTE asc = 0;
    BYTE ascq = 0;
    // The device's registers, when the sense data carries them (the ATA
    // Status Return descriptor, or the fixed-format ATA information).
    std::optional<AtaRegisters> ataRegisters;
};

// Reads sense data as returned by SG_IO; null when it is empty or of an
// unknown response code.
VORNPLATFORM_API std::optional<SenseInfo> parseSense(const BYTE* sense, std::size_t length);

// True when the sense data says the translator refused the CDB itself
// (ILLEGAL REQUEST with INVALID COMMAND OPERATION CODE or INVALID FIELD IN
// CDB), the cue to retry with the 12-byte form.
VORNPLATFORM_API bool isOpcodeRejected(const SenseInfo& sense);

// What SG_IO reports for one pass-through CDB, as plain values.
struct SgReply {
    BYTE scsiStatus = 0; // the SCSI status byte
    unsigned short hostStatus = 0;
    unsigned short driverStatus = 0;
    int residual = 0; // bytes of the data transfer that did not arrive
    const BYTE* sense = nullptr;
    std::size_t senseLength = 0; // bytes of sense data written
};

// The sense data of a reply, when the reply says it carries any.
VORNPLATFORM_API std::optional<SenseInfo> senseOf(const SgReply& reply);

// How the command fared. A device that reported ERR comes back with its
// registers and transportError 0; anything that did not reach the ATA
// device as asked (another SCSI status, a check condition without ATA
// registers, a short transfer, registers wanted but not returned) is EIO.
VORNPLATFORM_API AtaOutcome interpretReply(const SgReply& reply, const AtaCommand& command,
                                           bool wantRegisters);

// RETURN STATUS and CHECK POWER MODE answer in the registers, which only
// CK_COND brings back.
VORNPLATFORM_API bool needsReturnedRegisters(const AtaCommand& command);

constexpr BYTE kSenseKeyRecovered = 0x01;
constexpr BYTE kSenseKeyIllegalRequest = 0x05;
constexpr BYTE kSenseKeyAborted = 0x0B;

} // namespace vorn::platform::sat
