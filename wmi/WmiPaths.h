#pragma once

#include "VornWmiExport.h"

#include <QString>

// Reading the two object paths of a volume-to-partition record. Both
// programs match volumes to disks through these and nothing else.

// The drive name of a volume: the device id between the `="` of the
// Dependent path and its closing (last) quote ("C:" on Windows-form paths, the mount
// point on Linux). Empty when the path has no such pair, as when a long path
// was cut at its field's end.
VORNWMI_API QString Cm_GetVolumeDriveName(const char16_t* dependent);
VORNWMI_API QString Cm_GetVolumeDriveName(const QString& dependent);

// The disk number after "Disk #" in the Antecedent path, read whole (disk 12
// is 12). -1 when the path names no disk.
VORNWMI_API int Cm_GetPartitionDiskNumber(const char16_t* antecedent);
VORNWMI_API int Cm_GetPartitionDiskNumber(const QString& antecedent);
