#pragma once

#include "../VornWmiExport.h"
#include "SystemRoots.h"

#include <QList>
#include <QString>

namespace vorn::wmi {

struct BlockPartition {
    QString name;     // "sda1"
    int number = 0;   // the kernel's partition number
    qint64 start = 0; // bytes from the start of the disk
    qint64 size = 0;  // bytes
};

enum class DiskTransport { Ata, Usb, Other };

// What sysfs tells about one disk of the shared disk numbering.
struct BlockDisk {
    int index = 0;  // N of "\\.\PhysicalDrive%d"
    QString name;   // "sda"
    QString vendor; // trimmed; transport placeholders left out
    QString model;  // trimmed
    QString serial;
    QString firmware;
    DiskTransport transport = DiskTransport::Other;
    bool removable = false;
    qint64 size = 0; // bytes; 0 without a medium
    int logicalBlockSize = 512;
    bool hasScsiAddress = false;
    int host = 0, channel = 0, target = 0, lun = 0;
    QList<BlockPartition> partitions; // by partition number

    // Vendor and model as one text, the way the disk is named to the user.
    QString displayModel() const;
    // M of "Partition #M": the partition's place on its disk, counted from 0.
    int partitionOrdinal(const QString& partitionName) const;
    const BlockPartition* partition(const QString& partitionName) const;
};

// How much of each disk to read: everything, or only what places volumes
// on disks (index, name, removable, size, partitions), for the queries of
// volumes that run after the disk query and need none of the rest.
enum class BlockDetail { Full, Layout };

// The disks of physicalDiskNames(roots.sys), in that order.
VORNWMI_API QList<BlockDisk> readPhysicalDisks(const SystemRoots& roots,
                                               BlockDetail detail = BlockDetail::Full);

// A whole-disk device that is not in the disk numbering (optical, floppy).
struct BlockDrive {
    QString name;
    QString vendor;
    QString model;
    qint64 size = 0;
};

// The sysfs block entries whose name starts with prefix ("sr", "fd").
VORNWMI_API QList<BlockDrive> readBlockDrives(const SystemRoots& roots, const QString& prefix);

// The kernel name of the block device a mount source names ("/dev/sda1",
// "/dev/disk/by-uuid/..." and "/dev/root" alike); empty when the source is
// not a block device of this machine.
VORNWMI_API QString blockDeviceName(const SystemRoots& roots, const QString& source);

// The file-system label of a block device, from /dev/disk/by-label.
VORNWMI_API QString volumeLabel(const SystemRoots& roots, const QString& kernelName);

// The first line of a small sysfs or procfs file, without surrounding
// blanks; empty when it cannot be read.
VORNWMI_API QString readFirstLine(const QString& path);

} // namespace vorn::wmi
