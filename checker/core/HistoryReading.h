#pragma once

#include "Reading.h"

#include <QStringList>

#include <cstdint>

namespace vorn::checker {

class CDisk;
class CDiskList;

// What the history keeps of one disk just read, at timeMs (UTC ms): every
// value, the power-on hours as the panel and the JSON choose them and the
// NVMe health fields included.
history::Reading HistoryReadingOf(const CDisk& disk, std::int64_t timeMs);

// Stores the disks just read as one pass in the store at path; a disk left
// asleep was not read and adds nothing. What befell the store, one line
// each: the history is a pass's extra, never its outcome.
QStringList RecordDisks(const CDiskList& disks, const QString& path, std::int64_t nowMs);

} // namespace vorn::checker
