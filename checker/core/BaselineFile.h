#pragma once

#include "CDisk.h"
#include "CheckerClock.h"
#include "WinTypes.h"

#include <QByteArray>
#include <QString>

// The per-disk baseline file: the values the checker first saw for each
// attribute, so wear is measured from the first run, and the disk's
// power-on-hours unit. Little-endian, no header:
//   0  int32  baseline time (seconds since 1970 UTC)
//   4  int32  power-on-hours unit
//   8  13 bytes per display record, in list order: id (1), initial value
//      (4), change value (4), current value when written (4, never read)

// "<directory>/<serial>.dat" with "/" and NUL in the serial replaced by "_".
// Empty when the directory is unknown or the disk reports no serial number:
// such disks keep no baseline file, because a shared ".dat" would hand one
// disk's wear figures to another.
QString BaselineFilePath(const QString& directory, const CDisk& disk);

// The file's bytes for the disk as it stands.
QByteArray EncodeBaseline(const CDisk& disk);

// Takes the time, the unit and the records of a file's bytes: each record
// sets m_nInit and m_nChange (their low 16 bits, signed) of the first
// display record with its id; a record cut short ends the reading; ids the
// disk lacks are skipped. Afterwards no initial value stays below the
// current one.
void ApplyBaseline(const QByteArray& bytes, CDisk* disk);

// TRUE when the file could be opened (also when it was too short to hold
// anything); FALSE when there is no file, or the disk keeps none.
BOOL ReadBaseline(const QString& directory, CDisk* disk);

// Stamps the baseline time on first writing, then replaces the file as a
// whole: the bytes go to a temporary file in the same folder, which is
// renamed over the old one only once it is complete, so a crash or a full
// disk leaves the previous baseline intact. FALSE when nothing was written.
BOOL WriteBaseline(const QString& directory, CDisk* disk, const CheckerClock& now);
