#pragma once

#include "Reading.h"

#include <cstdint>

namespace vorn::checker {

class CDisk;

// What the history keeps of one disk just read, at timeMs (UTC ms): every
// value, the power-on hours as the panel and the JSON choose them and the
// NVMe health fields included.
history::Reading HistoryReadingOf(const CDisk& disk, std::int64_t timeMs);

} // namespace vorn::checker
