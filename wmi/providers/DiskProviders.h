#pragma once

#include "../VornWmiExport.h"
#include "../WmiObject.h"
#include "SystemRoots.h"

#include <vector>

// The storage classes as Linux shows them: sysfs for the disks and drives,
// the mount table and statvfs for the volumes.
namespace vorn::wmi {

VORNWMI_API std::vector<WmiObject> linuxDiskDrives(const SystemRoots& roots);
VORNWMI_API std::vector<WmiObject> linuxLogicalDiskToPartitions(const SystemRoots& roots);
VORNWMI_API std::vector<WmiObject> linuxLogicalDisks(const SystemRoots& roots);
VORNWMI_API std::vector<WmiObject> linuxCdromDrives(const SystemRoots& roots);
VORNWMI_API std::vector<WmiObject> linuxFloppyDrives(const SystemRoots& roots);

// The computer's name as the object paths carry it.
VORNWMI_API QString hostName(const SystemRoots& roots);

// "\\HOST\root\cimv2:Win32_DiskPartition.DeviceID="Disk #N, Partition #M""
// and "\\HOST\root\cimv2:Win32_LogicalDisk.DeviceID="<drive>"".
VORNWMI_API QString partitionObjectPath(const QString& host, int disk, int partition);
VORNWMI_API QString logicalDiskObjectPath(const QString& host, const QString& drive);

} // namespace vorn::wmi
