#pragma once

#include "Reading.h"

#include <QHash>
#include <QMap>

#include <cstdint>
#include <functional>

namespace vorn::history {

// Every value of a reading is one numbered series in the store, so that a
// change, an hour's range and a day's range are kept the same way whatever
// the value is. The numbers are part of the file format.
namespace series {
inline constexpr int kTemperature = 1;
inline constexpr int kPowerOnHours = 2;
inline constexpr int kPowerCycles = 3;
inline constexpr int kStatus = 4;
inline constexpr int kIndex = 5;
inline constexpr int kAttributeCurrent = 256; // + attribute id
inline constexpr int kAttributeWorst = 512;
inline constexpr int kAttributeRaw = 768;
inline constexpr int kHealth = 1024; // + the number of the field's name
inline constexpr int kHealthEnd = 1 << 20;
} // namespace series

// The values a disk holds, series by series; a series that is not there
// has no value.
using SeriesValues = QMap<int, std::int64_t>;

// nameNumber gives the store's number of a health field's name.
SeriesValues SeriesOf(const Reading& reading, const std::function<int(const QString&)>& nameNumber);

// The reverse; names maps the numbers back. The identity and the time are
// left as they are.
void FillReading(const SeriesValues& values, const QHash<int, QString>& names, Reading* reading);

} // namespace vorn::history
