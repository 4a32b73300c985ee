#pragma once

#include "Reading.h"

#include <QString>

#include <cstdint>

namespace vorn::checker {
class CDisk;
class CDiskList;
} // namespace vorn::checker

namespace vorn::drivewatch {

// What the history keeps of one disk just read, at timeMs (UTC ms).
history::Reading HistoryReadingOf(const checker::CDisk& disk, std::int64_t timeMs);

// Stores one reading per disk that was read (a disk left asleep was not)
// and prunes a little; whatever befalls the store comes back as
// "drivewatch: ..." lines, never as a failure of the caller.
QString RecordHistory(const checker::CDiskList& disks, const QString& path, std::int64_t nowMs);

} // namespace vorn::drivewatch
