#include "DeviceStatistics.h"

#include "ByteOrder.h"

#include <QtGlobal>

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

struct KnownStatistic {
    int page;
    int offset;
    int valueBytes;
    const char* name;
    const char* unit;
    const char* label;
};

// The entries of both pages as ACS-4 lays them out. The temperatures are
// one signed byte; the rest counts up.
constexpr KnownStatistic kKnown[] = {
    {kGeneralPage, 0x08, 4, "lifetime_power_on_resets", "count",
     QT_TRANSLATE_NOOP("DeviceStatistics", "電源投入回数")},
    {kGeneralPage, 0x10, 4, "power_on_hours", "hours",
     QT_TRANSLATE_NOOP("DeviceStatistics", "使用時間")},
    {kGeneralPage, 0x18, 6, "logical_sectors_written", "sectors",
     QT_TRANSLATE_NOOP("DeviceStatistics", "書き込み論理セクター数")},
    {kGeneralPage, 0x20, 6, "write_commands", "count",
     QT_TRANSLATE_NOOP("DeviceStatistics", "書き込みコマンド数")},
    {kGeneralPage, 0x28, 6, "logical_sectors_read", "sectors",
     QT_TRANSLATE_NOOP("DeviceStatistics", "読み込み論理セクター数")},
    {kGeneralPage, 0x30, 6, "read_commands", "count",
     QT_TRANSLATE_NOOP("DeviceStatistics", "読み込みコマンド数")},
    {kGeneralPage, 0x38, 6, "date_and_time_timestamp", "milliseconds",
     QT_TRANSLATE_NOOP("DeviceStatistics", "日時タイムスタンプ")},
    {kGeneralPage, 0x40, 4, "pending_errors", "count",
     QT_TRANSLATE_NOOP("DeviceStatistics", "保留中のエラー数")},
    {kTemperaturePage, 0x08, -1, "current_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "現在の温度")},
    {kTemperaturePage, 0x10, -1, "average_short_term_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "短期平均温度")},
    {kTemperaturePage, 0x18, -1, "average_long_term_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "長期平均温度")},
    {kTemperaturePage, 0x20, -1, "highest_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "最高温度")},
    {kTemperaturePage, 0x28, -1, "lowest_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "最低温度")},
    {kTemperaturePage, 0x30, -1, "highest_average_short_term_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "短期平均温度の最高")},
    {kTemperaturePage, 0x38, -1, "lowest_average_short_term_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "短期平均温度の最低")},
    {kTemperaturePage, 0x40, -1, "highest_average_long_term_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "長期平均温度の最高")},
    {kTemperaturePage, 0x48, -1, "lowest_average_long_term_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "長期平均温度の最低")},
    {kTemperaturePage, 0x50, 4, "time_in_over_temperature", "minutes",
     QT_TRANSLATE_NOOP("DeviceStatistics", "上限温度を超えた時間")},
    {kTemperaturePage, 0x58, -1, "specified_maximum_operating_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "規定の最高動作温度")},
    {kTemperaturePage, 0x60, 4, "time_in_under_temperature", "minutes",
     QT_TRANSLATE_NOOP("DeviceStatistics", "下限温度を下回った時間")},
    {kTemperaturePage, 0x68, -1, "specified_minimum_operating_temperature", "celsius",
     QT_TRANSLATE_NOOP("DeviceStatistics", "規定の最低動作温度")},
};

// A signed byte; 80h, the lowest, is the drive's "no value".
std::optional<std::int64_t> temperatureValue(const BYTE* page, std::size_t offset) {
    const auto value = entryValue(page, offset, 1);
    if (!value || *value == 0x80)
        return std::nullopt;
    return static_cast<signed char>(*value);
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
    for (const KnownStatistic& known : kKnown) {
        const BYTE* page = known.page == kGeneralPage ? general : temperature;
        std::optional<std::int64_t> value;
        if (known.valueBytes < 0)
            value = temperatureValue(page, std::size_t(known.offset));
        else if (const auto count = entryValue(page, std::size_t(known.offset), known.valueBytes))
            value = std::int64_t(*count);
        if (value)
            statistics.values.push_back({known.name, known.unit, known.label, known.page,
                                         known.offset, std::int64_t(*value)});
    }
    return statistics;
}

} // namespace vorn::hdd
