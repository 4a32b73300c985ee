// The logs a drive sends back about itself: ATA self-test logs (06h, 07h),
// error logs (01h, 03h), Device Statistics (04h) and the self-test bytes of
// SMART READ DATA; NVMe's device self-test (06h) and error information (01h)
// logs and the Identify fields that size them. Any bytes, any length.
#include "FuzzInput.h"

#include "DeviceStatistics.h"
#include "SelfTestLog.h"

#include <vector>

using namespace vorn::hdd;

namespace {

void CheckEntries(const std::vector<SelfTestEntry>& entries) {
    int number = 0;
    for (const SelfTestEntry& entry : entries) {
        // Numbered from the newest, without gaps, as --logs prints them.
        FUZZ_REQUIRE(entry.number == ++number);
        FUZZ_REQUIRE(entry.remainingPercent >= 0 && entry.remainingPercent <= 100);
        FUZZ_REQUIRE(entry.powerOnHours >= 0);
        FUZZ_REQUIRE(!entry.type.isEmpty() && !entry.status.isEmpty());
    }
}

void CheckErrors(const ErrorLog& log) {
    FUZZ_REQUIRE(log.count >= 0);
    int number = 0;
    for (const ErrorLogEntry& entry : log.entries) {
        FUZZ_REQUIRE(entry.number == ++number);
        FUZZ_REQUIRE(entry.powerOnHours >= 0);
    }
}

void CheckCapabilities(const SelfTestCapabilities& offered) {
    for (const SelfTestKind kind :
         {SelfTestKind::Short, SelfTestKind::Extended, SelfTestKind::Conveyance})
        FUZZ_REQUIRE(offered.minutes(kind) >= 0);
}

void CheckProgress(const SelfTestProgress& progress) {
    FUZZ_REQUIRE(progress.remainingPercent >= 0 && progress.remainingPercent <= 100);
    // A test that still runs has not failed yet.
    FUZZ_REQUIRE(!(progress.running && progress.failed));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t which = input.byte() % 10;
    const QByteArray bytes = input.take(8 * 512);
    // Exactly as long as given, on the heap, so a read past it is seen.
    const std::vector<BYTE> image(bytes.begin(), bytes.end());
    const BYTE* at = image.empty() ? nullptr : image.data();
    switch (which) {
    case 0:
        CheckEntries(ataSelfTestLog(at, image.size()));
        break;
    case 1:
        CheckEntries(ataExtSelfTestLog(at, image.size()));
        break;
    case 2:
        CheckErrors(ataSummaryErrorLog(at, image.size()));
        break;
    case 3:
        CheckErrors(ataExtErrorLog(at, image.size()));
        break;
    case 4:
        FUZZ_REQUIRE(ataExtErrorNewestPage(at, image.size()) >= 0);
        break;
    case 5:
        CheckCapabilities(ataSelfTestCapabilities(at, image.size()));
        CheckProgress(ataSelfTestProgress(image.empty() ? 0 : image.front()));
        break;
    case 6:
        CheckProgress(nvmeSelfTestProgress(at, image.size()));
        CheckEntries(nvmeSelfTestLog(at, image.size()));
        break;
    case 7:
        CheckErrors(nvmeErrorLog(at, image.size()));
        break;
    case 8:
        CheckCapabilities(nvmeSelfTestCapabilities(at, image.size()));
        FUZZ_REQUIRE(nvmeErrorLogEntries(at, image.size()) >= 0);
        break;
    default: {
        const DeviceStatistics statistics = decodeDeviceStatistics(image);
        FUZZ_REQUIRE(statistics.temperature == -1 ||
                     (statistics.temperature >= 1 && statistics.temperature <= 127));
        FUZZ_REQUIRE(statistics.powerOnHours >= -1 && statistics.powerCycles >= -1);
        break;
    }
    }
    return 0;
}
