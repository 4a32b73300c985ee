#include "DeviceStatistics.h"

#include "ByteOrder.h"

#include <optional>

namespace vorn::hdd {

namespace {

constexpr std::size_t kPageSize = 512;
constexpr int kGeneralPage = 0x01;
constexpr int kTemperaturePage = 0x05;
constexpr std::size_t kPowerOnResets = 8; // General Statistics
constexpr std::size_t kPowerOnHours = 16;
constexpr std::size_t kCurrentTemperature = 8; // Temperature Statistics

constexpr std::uint64_t kSupported = 1ull << 63;
constexpr std::uint64_t kValidValue = 1ull << 62;
constexpr std::uint64_t kValueBits = (1ull << 56) - 1;

// The page's bytes when the log holds it and its header says it is that page.
const BYTE* pageOf(const std::vector<BYTE>& log, int number) {
    const std::size_t at = kPageSize * std::size_t(number);
    if (log.size() < at + kPageSize)
        return nullptr;
    const BYTE* page = log.data() + at;
    const std::uint64_t header = le::read64(page, kPageSize, 0);
    const auto revision = static_cast<std::uint16_t>(header);
    const auto pageNumber = static_cast<BYTE>(header >> 16);
    // Revision 0 is a page the drive left empty; all ones a page it never wrote.
    if (revision == 0 || revision == 0xFFFF || pageNumber != number)
        return nullptr;
    return page;
}

// A value wider than its statistic is a drive that writes flags or garbage
// into the entry, not a count to show.
std::optional<std::uint64_t> entryValue(const BYTE* page, std::size_t offset, int valueBytes) {
    if (!page)
        return std::nullopt;
    const std::uint64_t entry = le::read64(page, kPageSize, offset);
    if ((entry & (kSupported | kValidValue)) != (kSupported | kValidValue))
        return std::nullopt;
    const std::uint64_t value = entry & kValueBits;
    if (value >> (8 * valueBytes) != 0)
        return std::nullopt;
    return value;
}

} // namespace

DeviceStatistics decodeDeviceStatistics(const std::vector<BYTE>& log) {
    DeviceStatistics statistics;
    const BYTE* general = pageOf(log, kGeneralPage);
    const BYTE* temperature = pageOf(log, kTemperaturePage);
    statistics.read = general || temperature;
    if (const auto hours = entryValue(general, kPowerOnHours, 4))
        statistics.powerOnHours = std::int64_t(*hours);
    if (const auto resets = entryValue(general, kPowerOnResets, 4))
        statistics.powerCycles = std::int64_t(*resets);
    if (const auto current = entryValue(temperature, kCurrentTemperature, 1)) {
        const int degrees = static_cast<signed char>(*current);
        if (degrees >= 1 && degrees <= 127)
            statistics.temperature = degrees;
    }
    return statistics;
}

} // namespace vorn::hdd
