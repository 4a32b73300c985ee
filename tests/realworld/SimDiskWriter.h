#pragma once

#include "ImportedDisk.h"

#include <QString>

// An imported drive as one disk folder of a simulated machine: disk.ini and
// the sector files (docs/simulation.md), plus device-statistics.hex for an
// ATA drive whose report has the Device Statistics log.
namespace realworld {

// Writes folder (created when missing) as disk number index of the machine.
// False with error set when a file cannot be written.
bool writeSimDisk(const QString& folder, int index, const ImportedDisk& disk, QString* error);

} // namespace realworld
