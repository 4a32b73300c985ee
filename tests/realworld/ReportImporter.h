#pragma once

#include "ImportedDisk.h"

#include <QString>

// From the text of one smartctl report (-x, or its information, attribute
// and health lines) to the drive it describes. Pure: text in, description
// out; SimDiskWriter puts the description into a simulated machine.
//
// What the expectations take from the report, and in which order:
// - temperature: the first of attributes 194, 190, 9, 220 that smartctl
//   takes as a temperature (194 and 190 under a temperature name, 9 and 220
//   only with a temperature name) whose raw byte 0 is 1-127, else the valid
//   Device Statistics current temperature (not -128, which marks none);
//   NVMe: the health log's temperature. None when none of these holds one.
//   SCT Status is not taken: the suite does not read it.
// - power-on hours: the valid Device Statistics "Power-on Hours", else
//   attribute 9 where its unit is plain from its name and printed form
//   (Power_On_Hours as a number or an "Nh+..." form, Power_On_Minutes,
//   Power_On_Half_Minutes, Power_On_Seconds in "Nh+..." form); NVMe: the
//   health log's. None where the unit is unclear.
// - capacity: "User Capacity"; NVMe: the size of namespace 1.
namespace realworld {

enum class ImportKind {
    Disk,        // disk holds the drive
    NoDriveData, // the report plainly describes no drive
    Unreadable,  // a drive whose report the importer could not read: problem says why
};

struct ImportOutcome {
    ImportKind kind = ImportKind::Unreadable;
    ImportedDisk disk;
    QString problem;
};

ImportOutcome importReport(const QString& text);

} // namespace realworld
