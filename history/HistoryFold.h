#pragma once

#include <QSqlDatabase>
#include <QString>

#include <cstdint>

namespace vorn::history {

inline constexpr std::int64_t kHourMs = 3600LL * 1000;
inline constexpr std::int64_t kDayMs = 24 * kHourMs;
inline constexpr std::int64_t kKeepReadingsMs = 30 * kDayMs;
inline constexpr std::int64_t kKeepHoursMs = 365 * kDayMs;

// Folds the oldest due hour or day of every disk, at most maxSteps of
// them, one transaction each. An hour keeps how many readings it had
// and, for each value that changed in it, the lowest and highest value it
// held (the one it started with included) and the last; a day keeps the
// same of its hours. False once nothing is due.
bool FoldOldest(const QSqlDatabase& db, std::int64_t nowMs, int maxSteps, QString* error);

} // namespace vorn::history
