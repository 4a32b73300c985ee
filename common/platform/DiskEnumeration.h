#pragma once

#include "../VornComExport.h"

#include <QString>
#include <QStringList>

// The one numbering of physical disks shared by the device layer and the
// system queries: disk N of "\\.\PhysicalDrive%d" is entry N of this list.
//
// The list holds the whole-disk entries of <sysRoot>/block, leaving out the
// kernel's virtual and removable-media families (loop, ram, zram, md, dm-,
// sr, fd). They are ordered by name length, then by name, which is the
// kernel's own naming order within a family: sda, sdb, ..., sdz, sdaa.
namespace vorn::platform {

VORNCOM_API bool isPhysicalDiskName(const QString& kernelName);
VORNCOM_API bool physicalDiskNameLess(const QString& a, const QString& b);
VORNCOM_API QStringList physicalDiskNames(const QString& sysRoot = QStringLiteral("/sys"));

} // namespace vorn::platform
