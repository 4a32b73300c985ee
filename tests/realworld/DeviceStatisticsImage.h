#pragma once

#include <QByteArray>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// The Device Statistics log (04h) rebuilt from the table smartctl -x prints
// of it. smartctl lists only the entries the drive supports; an entry whose
// value it prints as "-" is supported but not valid.
namespace realworld {

struct StatisticEntry {
    int page = 0;
    int offset = 0; // byte offset inside the page, a multiple of 8
    int size = 0;   // bytes of the value as printed
    std::optional<std::int64_t> value;
    bool normalized = false;   // flag N
    bool dsnSupported = false; // flag D
    bool conditionMet = false; // flag C
};

struct DeviceStatisticsTable {
    std::vector<StatisticEntry> entries;
    std::vector<std::pair<int, int>> pageRevisions; // page, revision, in print order

    // The valid value of an entry, nullopt when it is missing or not valid.
    std::optional<std::int64_t> value(int page, int offset) const;
};

// The table that starts at the "Device Statistics (GP" heading; nullopt
// when the report has none. A row that does not read is an error.
std::optional<DeviceStatisticsTable> parseDeviceStatistics(const QStringList& lines,
                                                           QString* error);

// Pages 0 to the last standard page printed (01h-07h), 512 bytes each;
// page 0 lists the pages present.
QByteArray deviceStatisticsLog(const DeviceStatisticsTable& table);

} // namespace realworld
