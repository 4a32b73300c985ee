#pragma once

#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The drive's own test and error records, decoded from the bytes it sent:
// the self-test fields of SMART READ DATA, the ATA self-test logs (06h and
// the extended 07h), the ATA error logs (summary 01h and extended
// comprehensive 03h), and the NVMe device self-test log (06h), error
// information log (01h) and the self-test fields of Identify Controller.
// Pure functions over the bytes; a field outside the buffer reads as 0.
namespace vorn::hdd {

enum class SelfTestKind {
    Short,
    Extended,
    Conveyance, // ATA only
};

// "short", "extended", "conveyance".
VORNHDD_API QString selfTestKindName(SelfTestKind kind);
VORNHDD_API std::optional<SelfTestKind> selfTestKindFromName(const QString& name);

// What a drive says it can do and how long it takes. Minutes are the
// drive's recommended polling times (ATA) or its extended test time (NVMe;
// a short NVMe test takes at most two minutes by definition); 0 unknown.
struct SelfTestCapabilities {
    bool shortTest = false;
    bool extendedTest = false;
    bool conveyanceTest = false;
    int shortMinutes = 0;
    int extendedMinutes = 0;
    int conveyanceMinutes = 0;

    bool any() const { return shortTest || extendedTest || conveyanceTest; }
    bool offers(SelfTestKind kind) const;
    int minutes(SelfTestKind kind) const;
};

// The state of the test the drive runs now, or of its last one.
struct SelfTestProgress {
    bool running = false;
    // ATA: the status nibble of the execution status byte (0 done without
    // error, 1 aborted by the host, ..., 15 running). NVMe: the result of
    // the newest log entry, or 15 while a test runs.
    int statusCode = 0;
    // 0-100; ATA reports it in steps of ten.
    int remainingPercent = 0;
    // The last test ended in a failure of the drive (not an abort).
    bool failed = false;
};

// One entry of a self-test log, newest first in the decoded lists.
struct SelfTestEntry {
    int number = 0;     // 1 = newest
    int typeCode = 0;   // the LBA-low byte of the start (ATA) or the test code (NVMe)
    QString type;       // "short", "extended", "conveyance", "offline", "selective", or the code
    int statusCode = 0; // ATA: the status nibble; NVMe: the result field
    QString status;     // English words for the status
    int remainingPercent = 0;
    long long powerOnHours = 0;
    std::optional<std::uint64_t> firstErrorLba; // none when the test found no error
    bool failed = false; // the drive failed the test (an abort is no failure)

    bool operator==(const SelfTestEntry& other) const;
};

// One entry of an error log: when, which command, where.
struct ErrorLogEntry {
    int number = 0; // 1 = newest
    long long powerOnHours = 0;
    BYTE command = 0; // the command the error was reported for
    BYTE feature = 0;
    BYTE error = 0;  // the error register
    BYTE status = 0; // the status register
    std::uint64_t lba = 0;
    bool operator==(const ErrorLogEntry& other) const;
};

struct ErrorLog {
    long long count = 0; // every error the drive counted, not only those kept
    std::vector<ErrorLogEntry> entries;
    bool operator==(const ErrorLog& other) const {
        return count == other.count && entries == other.entries;
    }
};

namespace selftest {
// SMART READ DATA offsets.
constexpr std::size_t kExecutionStatus = 363;
constexpr std::size_t kOfflineCapability = 367;
constexpr std::size_t kErrorLoggingCapability = 370;
constexpr std::size_t kShortPollingMinutes = 372;
constexpr std::size_t kExtendedPollingMinutes = 373; // FFh: see the word at 375
constexpr std::size_t kConveyancePollingMinutes = 374;
constexpr std::size_t kExtendedPollingWord = 375;
// Bits of the off-line capability byte.
constexpr BYTE kCapabilityExecuteOffline = 0x01;
constexpr BYTE kCapabilitySelfTest = 0x10;
constexpr BYTE kCapabilityConveyance = 0x20;
// The status nibble of a test that still runs.
constexpr int kStatusInProgress = 15;

// ATA self-test log 06h: 21 descriptors of 24 bytes from byte 2, index of
// the newest at 508. Extended log 07h: per page 19 descriptors of 26 bytes
// from byte 4, index of the newest at 2-3 (counted over all pages).
constexpr std::size_t kLogDescriptors = 21;
constexpr std::size_t kLogDescriptorSize = 24;
constexpr std::size_t kLogIndex = 508;
constexpr std::size_t kExtLogDescriptors = 19;
constexpr std::size_t kExtLogDescriptorSize = 26;

// Summary error log 01h: 5 entries of 90 bytes from byte 2, the index of
// the newest at 1, the count at 452. Extended comprehensive log 03h: per
// page 4 entries of 124 bytes from byte 4, the newest's index at 2-3, the
// count at 500.
constexpr std::size_t kErrorEntries = 5;
constexpr std::size_t kErrorEntrySize = 90;
constexpr std::size_t kErrorCount = 452;
constexpr std::size_t kExtErrorEntries = 4;
constexpr std::size_t kExtErrorEntrySize = 124;
constexpr std::size_t kExtErrorCount = 500;

// NVMe.
constexpr std::size_t kNvmeOacs = 256;            // Identify Controller, bit 4
constexpr std::size_t kNvmeExtendedMinutes = 316; // EDSTT
constexpr std::size_t kNvmeErrorEntries = 262;    // ELPE, entries less one
constexpr WORD kNvmeOacsSelfTest = 1u << 4;
constexpr std::size_t kNvmeLogEntries = 20;
constexpr std::size_t kNvmeLogEntrySize = 28;
constexpr std::size_t kNvmeErrorEntrySize = 64;
constexpr int kNvmeShortMinutes = 2;
constexpr int kNvmeResultUnused = 0xF;
} // namespace selftest

// --- ATA ---

VORNHDD_API SelfTestCapabilities ataSelfTestCapabilities(const BYTE* smartData, std::size_t size);
// The execution status byte: its status nibble and the remaining tenths.
VORNHDD_API SelfTestProgress ataSelfTestProgress(BYTE executionStatus);
// English words for an ATA status nibble.
VORNHDD_API QString ataSelfTestStatusText(int statusCode);
// "short", "extended", ... for the LBA-low byte a test was started with
// (captive forms alike); the code in decimal otherwise.
VORNHDD_API QString ataSelfTestTypeName(int code);

// Log 06h (one sector), newest first; empty for an index of 0 or one out of range.
VORNHDD_API std::vector<SelfTestEntry> ataSelfTestLog(const BYTE* log, std::size_t size);
// Log 07h from page 0, whole pages; newest first.
VORNHDD_API std::vector<SelfTestEntry> ataExtSelfTestLog(const BYTE* log, std::size_t size);

// Log 01h (one sector), newest first.
VORNHDD_API ErrorLog ataSummaryErrorLog(const BYTE* log, std::size_t size);
// Log 03h from page 0, whole pages; newest first, as many as the pages hold.
VORNHDD_API ErrorLog ataExtErrorLog(const BYTE* log, std::size_t size);
// The page of log 03h that holds the newest entry, read from page 0.
VORNHDD_API int ataExtErrorNewestPage(const BYTE* page0, std::size_t size);

// --- NVMe ---

VORNHDD_API SelfTestCapabilities nvmeSelfTestCapabilities(const BYTE* identifyController,
                                                          std::size_t size);
// The current operation of log 06h, or the newest entry's result.
VORNHDD_API SelfTestProgress nvmeSelfTestProgress(const BYTE* log, std::size_t size);
VORNHDD_API QString nvmeSelfTestResultText(int result);
VORNHDD_API std::vector<SelfTestEntry> nvmeSelfTestLog(const BYTE* log, std::size_t size);
// The entries the error information log can hold (ELPE + 1).
VORNHDD_API int nvmeErrorLogEntries(const BYTE* identifyController, std::size_t size);
// The highest error count among the entries: the controller's total.
VORNHDD_API ErrorLog nvmeErrorLog(const BYTE* log, std::size_t size);

} // namespace vorn::hdd
