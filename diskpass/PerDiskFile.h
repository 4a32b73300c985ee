#pragma once

#include <QString>

namespace vorn::diskpass {

// directory/<serial><extension>, the name of a file kept per disk (the
// baseline, the watch state): "/" and NUL in the serial become "_". Empty when
// either is empty: a disk without a serial keeps no file, because a shared
// name would mix two disks.
QString PerDiskFilePath(const QString& directory, QString serial, const QString& extension);

} // namespace vorn::diskpass
