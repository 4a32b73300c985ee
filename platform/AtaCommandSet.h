#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"

// The ATA commands the suite sends, and which of them may reach a disk.
// The disk library builds its requests from these codes; the device layer and
// the privileged helper check every command against the same classification,
// so nothing outside this set (no write, no firmware, no security command)
// is ever passed through, whoever asks.
namespace vorn::platform::ata {

constexpr BYTE kIdentifyDevice = 0xEC;
constexpr BYTE kCheckPowerMode = 0xE5;
constexpr BYTE kSmart = 0xB0;
// A S.M.A.R.T. command carries this signature in LBA mid and high.
constexpr BYTE kSmartLbaMid = 0x4F;
constexpr BYTE kSmartLbaHigh = 0xC2;

// S.M.A.R.T. subcommands, in the feature register.
constexpr BYTE kSmartReadData = 0xD0;
constexpr BYTE kSmartReadThresholds = 0xD1;
constexpr BYTE kSmartAttributeAutosave = 0xD2; // sector count 0xF1 on, 0x00 off
constexpr BYTE kSmartExecuteOffline = 0xD4;    // the routine in LBA low
constexpr BYTE kSmartReadLog = 0xD5;
constexpr BYTE kSmartEnableOperations = 0xD8;
constexpr BYTE kSmartDisableOperations = 0xD9;
constexpr BYTE kSmartReturnStatus = 0xDA;

// The Device Statistics log (04h): READ LOG EXT reads one page of it,
// SMART READ LOG its first pages at once.
constexpr BYTE kReadLogExt = 0x2F;
constexpr BYTE kLogDeviceStatistics = 0x04;
constexpr BYTE kStatisticsPageList = 0x00;
constexpr BYTE kStatisticsPageGeneral = 0x01;
constexpr BYTE kStatisticsPageTemperature = 0x05;
// Pages 00h to 05h: the list and both pages the suite reads.
constexpr BYTE kStatisticsSmartLogPages = 6;

// The routines of SMART EXECUTE OFF-LINE IMMEDIATE the suite starts: the
// off-line forms only, which return at once and let the drive go on
// serving commands. The captive forms (81h-84h) hold the drive busy until
// the test ends, so they are never sent.
constexpr BYTE kSelfTestShort = 0x01;
constexpr BYTE kSelfTestExtended = 0x02;
constexpr BYTE kSelfTestConveyance = 0x03;
constexpr BYTE kSelfTestAbort = 0x7F;

// The self-test and error logs: the summary forms read by SMART READ LOG,
// the extended ones page by page by READ LOG EXT.
constexpr BYTE kLogSummaryError = 0x01;
constexpr BYTE kLogExtComprehensiveError = 0x03;
constexpr BYTE kLogSelfTest = 0x06;
constexpr BYTE kLogExtSelfTest = 0x07;

constexpr BYTE kAutosaveOn = 0xF1;
constexpr BYTE kAutosaveOff = 0x00;

enum class CommandClass {
    Refused,   // never sent
    Read,      // reads identity, state or logs; changes nothing on the disk
    Configure, // switches S.M.A.R.T. or its attribute auto-save on or off
    SelfTest,  // starts or aborts one of the drive's off-line self-tests
};

// Classifies a command by all its registers and its data direction. Reads
// must ask for their 512 bytes (IDENTIFY, READ DATA, READ THRESHOLDS) or for
// none (CHECK POWER MODE, RETURN STATUS); every register the command does
// not use must hold 0 or 1, the device register only the drive select, and
// the auto-save switch one of its two counts. Anything else is refused, and
// so is every S.M.A.R.T. log read but those allowed by their exact registers.
// A 48-bit command or one of more than one block passes only as one of the
// Device Statistics reads: READ LOG EXT of page 00h, 01h or 05h, one block,
// and SMART READ LOG of pages 00h to 05h in kStatisticsSmartLogPages blocks,
// every other register zero. The self-test and error logs pass as SMART
// READ LOG of log 01h or 06h and READ LOG EXT of one page of log 03h or 07h,
// one block each; SMART EXECUTE OFF-LINE IMMEDIATE only with one of the four
// routines above, and never with data.
VORNPLATFORM_API CommandClass classifyCommand(const AtaCommand& command);

} // namespace vorn::platform::ata
