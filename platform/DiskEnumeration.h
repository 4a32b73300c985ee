#pragma once

#include "VornPlatformExport.h"

#include <QString>
#include <QStringList>

#include <optional>

// The one numbering of physical disks shared by the device layer and the
// system queries: disk N of "\\.\PhysicalDrive%d" is entry N of this list.
//
// The list holds the whole-disk entries of <sysRoot>/block, leaving out the
// kernel's virtual and removable-media families (loop, ram, zram, md, dm-,
// sr, fd). They are ordered by name length, then by name, which is the
// kernel's own naming order within a family: sda, sdb, ..., sdz, sdaa.
namespace vorn::platform {

VORNPLATFORM_API bool isPhysicalDiskName(const QString& kernelName);
VORNPLATFORM_API bool physicalDiskNameLess(const QString& a, const QString& b);
VORNPLATFORM_API QStringList physicalDiskNames(const QString& sysRoot = QStringLiteral("/sys"));

// An NVMe namespace's kernel name, taken apart: "nvme<C>n<N>", or
// "nvme<C>c<P>n<N>" for the namespace as one path of a multipath head sees it.
struct NvmeNamespaceName {
    QString controller; // "nvme<C>"
    bool throughPath = false;
};
// Empty for any other name. Read by hand rather than by a pattern: every disk
// open asks, and a pattern costs a compilation per process.
VORNPLATFORM_API std::optional<NvmeNamespaceName> parseNvmeNamespaceName(const QString& kernelName);

} // namespace vorn::platform
