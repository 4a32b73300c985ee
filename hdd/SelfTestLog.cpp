#include "SelfTestLog.h"

#include "ByteOrder.h"

#include <algorithm>
#include <limits>

namespace vorn::hdd {

namespace {

using namespace selftest;

BYTE byteAt(const BYTE* data, std::size_t size, std::size_t offset) {
    return data && offset < size ? data[offset] : 0;
}

bool allZero(const BYTE* data, std::size_t size, std::size_t offset, std::size_t length) {
    if (!data || !le::fits(size, offset, length))
        return true;
    return std::all_of(data + offset, data + offset + length, [](BYTE b) { return b == 0; });
}

// Status nibbles 3 to 8 say the drive found something wrong; 1 and 2 are
// the host's doing.
bool ataStatusFailed(int status) {
    return status >= 3 && status <= 8;
}

bool nvmeResultFailed(int result) {
    return result >= 5 && result <= 7;
}

// The newest entry's index is 1-based over a ring of ring entries; walks
// from it backwards, ring times at most, handing each slot to take until
// it answers false.
template <typename Take> void walkRing(std::size_t newest, std::size_t ring, Take take) {
    if (newest == 0 || newest > ring)
        return;
    for (std::size_t step = 0; step < ring; ++step) {
        const std::size_t slot = (newest - 1 + ring - step) % ring;
        if (!take(slot, int(step) + 1))
            return;
    }
}

// The command data structure for which an error was logged is the last of
// the five in front of the error data.
ErrorLogEntry summaryEntry(const BYTE* e, int number) {
    constexpr std::size_t kCommandSize = 12;
    constexpr std::size_t kFailing = 4 * kCommandSize;
    constexpr std::size_t kError = 5 * kCommandSize;
    ErrorLogEntry entry;
    entry.number = number;
    entry.feature = e[kFailing + 1];
    entry.command = e[kFailing + 7];
    entry.error = e[kError + 1];
    entry.status = e[kError + 7];
    entry.lba = std::uint64_t(e[kError + 6] & 0x0F) << 24 | std::uint64_t(e[kError + 5]) << 16 |
                std::uint64_t(e[kError + 4]) << 8 | e[kError + 3];
    entry.powerOnHours = le::read16(e, kErrorEntrySize, kError + 28);
    return entry;
}

ErrorLogEntry extEntry(const BYTE* e, int number) {
    constexpr std::size_t kCommandSize = 18;
    constexpr std::size_t kFailing = 4 * kCommandSize;
    constexpr std::size_t kError = 5 * kCommandSize;
    ErrorLogEntry entry;
    entry.number = number;
    entry.feature = e[kFailing + 1];
    entry.command = e[kFailing + 12];
    entry.error = e[kError + 1];
    entry.status = e[kError + 11];
    // LBA bytes in register order: 7:0, 31:24, 15:8, 39:32, 23:16, 47:40.
    const BYTE* l = e + kError + 4;
    entry.lba = std::uint64_t(l[0]) | std::uint64_t(l[2]) << 8 | std::uint64_t(l[4]) << 16 |
                std::uint64_t(l[1]) << 24 | std::uint64_t(l[3]) << 32 | std::uint64_t(l[5]) << 40;
    entry.powerOnHours = le::read16(e, kExtErrorEntrySize, kError + 32);
    return entry;
}

SelfTestEntry ataEntry(const BYTE* d, int number, std::uint64_t lba, std::uint64_t noLba) {
    SelfTestEntry entry;
    entry.number = number;
    entry.typeCode = d[0];
    entry.type = ataSelfTestTypeName(d[0]);
    entry.statusCode = d[1] >> 4;
    entry.status = ataSelfTestStatusText(entry.statusCode);
    entry.remainingPercent = std::min(100, (d[1] & 0x0F) * 10);
    entry.powerOnHours = le::read16(d, 4, 2);
    entry.failed = ataStatusFailed(entry.statusCode);
    if (entry.failed && lba != noLba)
        entry.firstErrorLba = lba;
    return entry;
}

} // namespace

QString selfTestKindName(SelfTestKind kind) {
    switch (kind) {
    case SelfTestKind::Short:
        return QStringLiteral("short");
    case SelfTestKind::Extended:
        return QStringLiteral("extended");
    case SelfTestKind::Conveyance:
        return QStringLiteral("conveyance");
    }
    return {};
}

std::optional<SelfTestKind> selfTestKindFromName(const QString& name) {
    for (const SelfTestKind kind :
         {SelfTestKind::Short, SelfTestKind::Extended, SelfTestKind::Conveyance}) {
        if (name == selfTestKindName(kind))
            return kind;
    }
    return std::nullopt;
}

bool SelfTestCapabilities::offers(SelfTestKind kind) const {
    switch (kind) {
    case SelfTestKind::Short:
        return shortTest;
    case SelfTestKind::Extended:
        return extendedTest;
    case SelfTestKind::Conveyance:
        return conveyanceTest;
    }
    return false;
}

int SelfTestCapabilities::minutes(SelfTestKind kind) const {
    switch (kind) {
    case SelfTestKind::Short:
        return shortMinutes;
    case SelfTestKind::Extended:
        return extendedMinutes;
    case SelfTestKind::Conveyance:
        return conveyanceMinutes;
    }
    return 0;
}

bool SelfTestEntry::operator==(const SelfTestEntry& o) const {
    return number == o.number && typeCode == o.typeCode && statusCode == o.statusCode &&
           remainingPercent == o.remainingPercent && powerOnHours == o.powerOnHours &&
           firstErrorLba == o.firstErrorLba;
}

bool ErrorLogEntry::operator==(const ErrorLogEntry& o) const {
    return number == o.number && powerOnHours == o.powerOnHours && command == o.command &&
           feature == o.feature && error == o.error && status == o.status && lba == o.lba;
}

SelfTestCapabilities ataSelfTestCapabilities(const BYTE* smartData, std::size_t size) {
    SelfTestCapabilities caps;
    const BYTE capability = byteAt(smartData, size, kOfflineCapability);
    caps.shortTest = caps.extendedTest = capability & kCapabilitySelfTest;
    caps.conveyanceTest = capability & kCapabilityConveyance;
    caps.shortMinutes = caps.shortTest ? byteAt(smartData, size, kShortPollingMinutes) : 0;
    if (caps.extendedTest) {
        const BYTE extended = byteAt(smartData, size, kExtendedPollingMinutes);
        // FFh: the time does not fit in a byte, and the word holds it.
        caps.extendedMinutes =
            extended == 0xFF ? le::read16(smartData, size, kExtendedPollingWord) : extended;
    }
    caps.conveyanceMinutes =
        caps.conveyanceTest ? byteAt(smartData, size, kConveyancePollingMinutes) : 0;
    return caps;
}

SelfTestProgress ataSelfTestProgress(BYTE executionStatus) {
    SelfTestProgress progress;
    progress.statusCode = executionStatus >> 4;
    progress.running = progress.statusCode == kStatusInProgress;
    progress.remainingPercent = progress.running ? std::min(100, (executionStatus & 0x0F) * 10) : 0;
    progress.failed = ataStatusFailed(progress.statusCode);
    return progress;
}

QString ataSelfTestStatusText(int statusCode) {
    switch (statusCode) {
    case 0:
        return QStringLiteral("completed without error");
    case 1:
        return QStringLiteral("aborted by host");
    case 2:
        return QStringLiteral("interrupted by reset");
    case 3:
        return QStringLiteral("fatal error");
    case 4:
        return QStringLiteral("failed: unknown element");
    case 5:
        return QStringLiteral("failed: electrical element");
    case 6:
        return QStringLiteral("failed: servo or seek element");
    case 7:
        return QStringLiteral("failed: read element");
    case 8:
        return QStringLiteral("failed: handling damage");
    case kStatusInProgress:
        return QStringLiteral("in progress");
    default:
        return QStringLiteral("reserved (%1)").arg(statusCode);
    }
}

QString ataSelfTestTypeName(int code) {
    // Bit 7 is the captive form of the same routine.
    switch (code & (code >= 0x81 && code <= 0x84 ? 0x7F : 0xFF)) {
    case 0:
        return QStringLiteral("offline");
    case 1:
        return QStringLiteral("short");
    case 2:
        return QStringLiteral("extended");
    case 3:
        return QStringLiteral("conveyance");
    case 4:
        return QStringLiteral("selective");
    default:
        return QString::number(code);
    }
}

std::vector<SelfTestEntry> ataSelfTestLog(const BYTE* log, std::size_t size) {
    std::vector<SelfTestEntry> entries;
    if (!le::fits(size, 0, 512))
        return entries;
    walkRing(log[kLogIndex], kLogDescriptors, [&](std::size_t slot, int number) {
        const BYTE* d = log + 2 + slot * kLogDescriptorSize;
        if (allZero(d, kLogDescriptorSize, 0, kLogDescriptorSize))
            return false;
        entries.push_back(ataEntry(d, number, le::read32(d, kLogDescriptorSize, 5), 0xFFFFFFFFu));
        return true;
    });
    return entries;
}

std::vector<SelfTestEntry> ataExtSelfTestLog(const BYTE* log, std::size_t size) {
    std::vector<SelfTestEntry> entries;
    const std::size_t pages = size / 512;
    if (!log || pages == 0)
        return entries;
    walkRing(le::read16(log, size, 2), pages * kExtLogDescriptors,
             [&](std::size_t slot, int number) {
                 const BYTE* d = log + (slot / kExtLogDescriptors) * 512 + 4 +
                                 (slot % kExtLogDescriptors) * kExtLogDescriptorSize;
                 if (allZero(d, kExtLogDescriptorSize, 0, kExtLogDescriptorSize))
                     return false;
                 const std::uint64_t lba =
                     le::readUnsigned<std::uint64_t>(d, kExtLogDescriptorSize, 5, 6);
                 entries.push_back(ataEntry(d, number, lba, 0xFFFFFFFFFFFFull));
                 return true;
             });
    return entries;
}

ErrorLog ataSummaryErrorLog(const BYTE* log, std::size_t size) {
    ErrorLog result;
    if (!le::fits(size, 0, 512))
        return result;
    result.count = le::read16(log, size, kErrorCount);
    walkRing(log[1], kErrorEntries, [&](std::size_t slot, int number) {
        const BYTE* e = log + 2 + slot * kErrorEntrySize;
        if (allZero(e, kErrorEntrySize, 0, kErrorEntrySize))
            return false;
        result.entries.push_back(summaryEntry(e, number));
        return true;
    });
    return result;
}

int ataExtErrorNewestPage(const BYTE* page0, std::size_t size) {
    const WORD newest = le::read16(page0, size, 2);
    return newest == 0 ? 0 : int((newest - 1) / kExtErrorEntries);
}

ErrorLog ataExtErrorLog(const BYTE* log, std::size_t size) {
    ErrorLog result;
    const std::size_t pages = size / 512;
    if (!log || pages == 0)
        return result;
    result.count = le::read16(log, size, kExtErrorCount);
    const std::size_t newest = le::read16(log, size, 2);
    // The ring spans pages not read; the walk stops where the read ones end.
    if (newest == 0 || newest > pages * kExtErrorEntries)
        return result;
    for (std::size_t index = newest; index >= 1; --index) {
        const std::size_t slot = index - 1;
        const BYTE* e = log + (slot / kExtErrorEntries) * 512 + 4 +
                        (slot % kExtErrorEntries) * kExtErrorEntrySize;
        if (allZero(e, kExtErrorEntrySize, 0, kExtErrorEntrySize))
            break;
        result.entries.push_back(extEntry(e, int(newest - index) + 1));
    }
    return result;
}

SelfTestCapabilities nvmeSelfTestCapabilities(const BYTE* identifyController, std::size_t size) {
    SelfTestCapabilities caps;
    if (!(le::read16(identifyController, size, kNvmeOacs) & kNvmeOacsSelfTest))
        return caps;
    caps.shortTest = caps.extendedTest = true;
    caps.shortMinutes = kNvmeShortMinutes;
    caps.extendedMinutes = le::read16(identifyController, size, kNvmeExtendedMinutes);
    return caps;
}

QString nvmeSelfTestResultText(int result) {
    switch (result) {
    case 0:
        return QStringLiteral("completed without error");
    case 1:
        return QStringLiteral("aborted by host");
    case 2:
        return QStringLiteral("aborted by controller reset");
    case 3:
        return QStringLiteral("aborted by namespace removal");
    case 4:
        return QStringLiteral("aborted by format");
    case 5:
        return QStringLiteral("fatal error");
    case 6:
        return QStringLiteral("failed: unknown segment");
    case 7:
        return QStringLiteral("failed: segments");
    case 8:
        return QStringLiteral("aborted for unknown reason");
    case 9:
        return QStringLiteral("aborted by sanitize");
    default:
        return QStringLiteral("reserved (%1)").arg(result);
    }
}

std::vector<SelfTestEntry> nvmeSelfTestLog(const BYTE* log, std::size_t size) {
    std::vector<SelfTestEntry> entries;
    for (std::size_t i = 0; i < kNvmeLogEntries; ++i) {
        const std::size_t offset = 4 + i * kNvmeLogEntrySize;
        if (!le::fits(size, offset, kNvmeLogEntrySize))
            break;
        const BYTE* d = log + offset;
        const int result = d[0] & 0x0F;
        if (result == kNvmeResultUnused)
            break;
        SelfTestEntry entry;
        entry.number = int(i) + 1;
        entry.typeCode = d[0] >> 4;
        entry.type = entry.typeCode == 1   ? QStringLiteral("short")
                     : entry.typeCode == 2 ? QStringLiteral("extended")
                                           : QString::number(entry.typeCode);
        entry.statusCode = result;
        entry.status = nvmeSelfTestResultText(result);
        // A count past what a signed hour count holds is garbage, never a
        // negative age.
        entry.powerOnHours = static_cast<long long>(std::min<std::uint64_t>(
            le::read64(d, kNvmeLogEntrySize, 4), std::numeric_limits<long long>::max()));
        entry.failed = nvmeResultFailed(result);
        // Valid Diagnostic Information bit 1: the failing LBA field holds one.
        if (entry.failed && (d[2] & 0x02))
            entry.firstErrorLba = le::read64(d, kNvmeLogEntrySize, 16);
        entries.push_back(entry);
    }
    return entries;
}

SelfTestProgress nvmeSelfTestProgress(const BYTE* log, std::size_t size) {
    SelfTestProgress progress;
    if ((byteAt(log, size, 0) & 0x0F) != 0) {
        progress.running = true;
        progress.statusCode = kStatusInProgress;
        progress.remainingPercent = 100 - std::min(100, byteAt(log, size, 1) & 0x7F);
        return progress;
    }
    const std::vector<SelfTestEntry> entries = nvmeSelfTestLog(log, size);
    if (!entries.empty()) {
        progress.statusCode = entries.front().statusCode;
        progress.failed = entries.front().failed;
    }
    return progress;
}

int nvmeErrorLogEntries(const BYTE* identifyController, std::size_t size) {
    return byteAt(identifyController, size, kNvmeErrorEntries) + 1;
}

ErrorLog nvmeErrorLog(const BYTE* log, std::size_t size) {
    ErrorLog result;
    for (std::size_t offset = 0; le::fits(size, offset, kNvmeErrorEntrySize);
         offset += kNvmeErrorEntrySize) {
        const std::uint64_t count = le::read64(log, size, offset);
        result.count = std::max(result.count, static_cast<long long>(count & 0x7FFFFFFFFFFFFFFF));
    }
    return result;
}

} // namespace vorn::hdd
