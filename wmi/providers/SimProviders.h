#pragma once

#include "../VornWmiExport.h"
#include "../WmiObject.h"

#include "SimMachine.h"

#include <vector>

// The classes a simulated machine answers from its own files: the disks from
// each disk.ini ([Drive] for the disk, [Volumes] for what lies on it) and the
// system's version from machine.ini.
namespace vorn::wmi {

VORNWMI_API std::vector<WmiObject> simDiskDrives(const platform::SimMachine& machine);
VORNWMI_API std::vector<WmiObject> simLogicalDiskToPartitions(const platform::SimMachine& machine,
                                                              const QString& host);
// The live system's record with the simulated version, build, service pack,
// platform and product type put in.
VORNWMI_API std::vector<WmiObject> simOperatingSystems(const platform::SimMachine& machine,
                                                       std::vector<WmiObject> live);

} // namespace vorn::wmi
