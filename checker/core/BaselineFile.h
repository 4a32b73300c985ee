#pragma once

#include "CheckerDisk.h"
#include "PassClock.h"
#include "WinTypes.h"

#include <QByteArray>
#include <QString>

namespace vorn::checker {

// The per-disk baseline file: the values the checker first saw for each
// attribute, so wear is measured from the first run, and the disk's
// power-on-hours unit. Little-endian, no header:
//   0  int32  baseline time (seconds since 1970 UTC)
//   4  int32  power-on-hours unit
//   8  13 bytes per display record, in list order: id (1), initial value
//      (4), change value (4), current value when written (4, never read)
// A disk lists at most 30 attributes, so a file never holds more than
// kBaselineMaxBytes; a larger one is not a baseline file and is refused.
inline constexpr int kBaselineMaxBytes = 8 + 13 * 30;

// "<directory>/<serial>.dat" with "/" and NUL in the serial replaced by "_".
// Empty when the directory is unknown or the disk reports no serial number:
// such disks keep no baseline file, because a shared ".dat" would hand one
// disk's wear figures to another.
QString BaselineFilePath(const QString& directory, const CDisk& disk);

// The file's bytes for the disk as it stands.
QByteArray EncodeBaseline(const CDisk& disk);

// Takes the time, the unit and the records of a file's bytes: each record
// sets m_nInit and m_nChange (their low 16 bits, signed) of a display
// record with its id, matched by occurrence: the n-th record of the file
// with an id goes to the n-th display record with that id, since some
// firmware lists an id twice. A record cut short ends the reading; records
// the disk has no place for are skipped. Afterwards no initial value stays
// below the current one.
void ApplyBaseline(const QByteArray& bytes, CDisk* disk);

// TRUE when the file could be read (also when it was too short to hold
// anything); FALSE when there is no file, the disk keeps none, or the file
// is refused: not a regular file (a FIFO would block the run), larger than
// kBaselineMaxBytes, or unreadable. A refusal, unlike a missing file, puts
// "<path>: <reason>" into *error.
BOOL ReadBaseline(const QString& directory, CDisk* disk, QString* error = nullptr);

// Stamps the baseline time on first writing, then replaces the file as a
// whole (Cm_ReplaceFile): a crash or a full disk leaves the previous
// baseline intact, and a symbolic link at the file's name is refused, not
// written through. FALSE when nothing was written, with "<path>: <reason>"
// in *error unless the disk keeps no file.
BOOL WriteBaseline(const QString& directory, CDisk* disk, const diskpass::PassClock& now,
                   QString* error = nullptr);

} // namespace vorn::checker
