#pragma once

#include "VornHddExport.h"

#include <QString>
#include <QStringList>

#include <optional>

// Which drive database file lookupDriveKnowledge() reads. A run reads the
// system's: the one its updater keeps, else the one its package installs.
// A simulated machine stands for another machine, so with one installed the
// database is its folder's own drivedb.h, and none when the folder has none:
// what a simulated machine shows never depends on the tools installed here.
namespace vorn::hdd {

// From now on the first of paths that exists is read; an empty list means
// no database, and the built-in table serves. For tests and tools.
VORNHDD_API void InstallDriveDatabase(const QStringList& paths);

// Back to what a run reads (above).
VORNHDD_API void InstallDefaultDriveDatabase();

// What InstallDriveDatabase() installed last, nullopt after
// InstallDefaultDriveDatabase() (and at start).
VORNHDD_API std::optional<QStringList> InstalledDriveDatabasePaths();

// The system's database files, the preferred first.
VORNHDD_API QStringList systemDriveDatabasePaths();

} // namespace vorn::hdd
