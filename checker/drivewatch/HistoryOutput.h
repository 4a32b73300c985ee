#pragma once

#include "Reading.h"

#include <QByteArray>
#include <QList>

namespace vorn::drivewatch {

// The stored readings as --history prints them: one JSON document
// {"readings": [...]}, or CSV with a heading line. Times are UTC; a reading
// folded into an hour or a day has its start, its span in seconds and how
// many readings it stands for.
QByteArray HistoryJson(const QList<history::StoredReading>& readings);
QByteArray HistoryCsv(const QList<history::StoredReading>& readings);

} // namespace vorn::drivewatch
