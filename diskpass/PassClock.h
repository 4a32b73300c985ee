#pragma once

#include <cstdint>
#include <functional>

namespace vorn::diskpass {

// The checker's view of time, injected so that the three-minute measurement
// and the one-second retry of the scan run instantly under test.

// Seconds since 1970-01-01 UTC.
using PassClock = std::function<std::int64_t()>;
// Blocks the caller for the given milliseconds.
using PassSleeper = std::function<void(int)>;

PassClock SystemClock();
PassSleeper SystemSleeper();

} // namespace vorn::diskpass
