#pragma once

#include "Reading.h"

#include <cstdint>

namespace vorn::checker {
class CDisk;
}

namespace vorn::drivewatch {

// What the history keeps of one disk just read, at timeMs (UTC ms).
history::Reading HistoryReadingOf(const checker::CDisk& disk, std::int64_t timeMs);

} // namespace vorn::drivewatch
