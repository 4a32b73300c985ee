#include "DiskProviders.h"

#include "BlockDevices.h"
#include "MountTable.h"

#include <SafeFile.h>

#include <QFile>
#include <QSet>
#include <QSysInfo>

#include <limits>

namespace vorn::wmi {

namespace {

VARIANT textOrNull(const QString& text) {
    return text.isEmpty() ? VARIANT::null() : VARIANT::ofBstr(text);
}

// Typed as the query service hands values to automation clients: unsigned
// 16- and 32-bit properties as VT_I4, 64-bit ones as decimal text.
VARIANT bigNumber(qint64 value) {
    return VARIANT::ofBstr(QString::number(value));
}

QList<MountEntry> readMountTable(const SystemRoots& roots) {
    // Generous: a container host may mount thousands of file systems.
    const auto table = Cm_ReadBoundedFile(roots.mountTable, 16 << 20);
    return table ? parseMountTable(*table) : QList<MountEntry>();
}

QString interfaceTypeOf(DiskTransport transport) {
    switch (transport) {
    case DiskTransport::Ata:
        return QStringLiteral("IDE");
    case DiskTransport::Usb:
        return QStringLiteral("USB");
    case DiskTransport::Other:
        break;
    }
    return QStringLiteral("SCSI");
}

QString pnpPrefixOf(DiskTransport transport) {
    switch (transport) {
    case DiskTransport::Ata:
        return QStringLiteral("IDE\\DISK");
    case DiskTransport::Usb:
        return QStringLiteral("USBSTOR\\");
    case DiskTransport::Other:
        break;
    }
    return QStringLiteral("SCSI\\DISK");
}

QString mediaTypeOf(const BlockDisk& disk) {
    if (!disk.removable)
        return QStringLiteral("Fixed hard disk media");
    return disk.size > 0 ? QStringLiteral("Removable Media") : QString();
}

// Where a mount's file system lies: a partition (or the whole) of a disk of
// the numbering.
struct VolumePlace {
    const BlockDisk* disk = nullptr;
    const BlockPartition* partition = nullptr; // null for a whole-disk file system
};

VolumePlace placeOf(const QList<BlockDisk>& disks, const QString& kernelName) {
    for (const BlockDisk& disk : disks) {
        if (disk.name == kernelName)
            return {&disk, nullptr};
        if (const BlockPartition* partition = disk.partition(kernelName))
            return {&disk, partition};
    }
    return {};
}

bool isNetworkFileSystem(const QString& type) {
    static const QSet<QString> types = {
        QStringLiteral("nfs"),        QStringLiteral("nfs4"),  QStringLiteral("cifs"),
        QStringLiteral("smb3"),       QStringLiteral("smbfs"), QStringLiteral("ncpfs"),
        QStringLiteral("fuse.sshfs"), QStringLiteral("afs"),   QStringLiteral("ceph"),
        QStringLiteral("glusterfs"),  QStringLiteral("9p"),
    };
    return types.contains(type);
}

bool optionsMention(const QStringList& options, std::initializer_list<const char*> words) {
    for (const QString& option : options) {
        const QString key = option.section(QLatin1Char('='), 0, 0);
        for (const char* word : words) {
            if (key == QLatin1String(word))
                return true;
        }
    }
    return false;
}

} // namespace

QString hostName(const SystemRoots& roots) {
    const QString name = readFirstLine(roots.proc + QStringLiteral("/sys/kernel/hostname"));
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

QString partitionObjectPath(const QString& host, int disk, int partition) {
    return QStringLiteral("\\\\%1\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk #%2, "
                          "Partition #%3\"")
        .arg(host)
        .arg(disk)
        .arg(partition);
}

QString logicalDiskObjectPath(const QString& host, const QString& drive) {
    return QStringLiteral("\\\\%1\\root\\cimv2:Win32_LogicalDisk.DeviceID=\"%2\"").arg(host, drive);
}

std::vector<WmiObject> linuxDiskDrives(const SystemRoots& roots) {
    std::vector<WmiObject> objects;
    for (const BlockDisk& disk : readPhysicalDisks(roots)) {
        WmiObject object(QStringLiteral("Win32_DiskDrive"));
        const QString deviceId = QStringLiteral("\\\\.\\PHYSICALDRIVE%1").arg(disk.index);
        const QString model = disk.displayModel();
        QString pnpModel = model;
        pnpModel.replace(QLatin1Char(' '), QLatin1Char('_'));
        object.set(QStringLiteral("Name"), VARIANT::ofBstr(deviceId));
        object.set(QStringLiteral("Caption"), textOrNull(model));
        object.set(QStringLiteral("Model"), textOrNull(model));
        object.set(QStringLiteral("Description"), VARIANT::ofBstr(QStringLiteral("Disk drive")));
        object.set(QStringLiteral("DeviceID"), VARIANT::ofBstr(deviceId));
        object.set(QStringLiteral("Index"), VARIANT::ofI4(static_cast<qint32>(disk.index)));
        object.set(QStringLiteral("InterfaceType"),
                   VARIANT::ofBstr(interfaceTypeOf(disk.transport)));
        object.set(QStringLiteral("Manufacturer"), textOrNull(disk.vendor));
        object.set(QStringLiteral("MediaType"), textOrNull(mediaTypeOf(disk)));
        object.set(QStringLiteral("PNPDeviceID"),
                   VARIANT::ofBstr(pnpPrefixOf(disk.transport) + pnpModel));
        object.set(QStringLiteral("BytesPerSector"),
                   VARIANT::ofI4(static_cast<qint32>(disk.logicalBlockSize)));
        object.set(QStringLiteral("Partitions"),
                   VARIANT::ofI4(static_cast<qint32>(disk.partitions.size())));
        object.set(QStringLiteral("SCSIBus"), VARIANT::ofI4(static_cast<qint32>(disk.channel)));
        object.set(QStringLiteral("SCSILogicalUnit"), VARIANT::ofI4(static_cast<qint32>(disk.lun)));
        // A disk outside the SCSI layer (virtio, NVMe) has no port: -1 keeps the scan off
        // "\\.\Scsi0:", where another disk would answer in its name.
        const qint32 port = disk.hasScsiAddress ? static_cast<qint32>(disk.host) : -1;
        const qint32 target = disk.hasScsiAddress ? static_cast<qint32>(disk.target) : -1;
        object.set(QStringLiteral("SCSIPort"), VARIANT::ofI4(port));
        object.set(QStringLiteral("SCSITargetId"), VARIANT::ofI4(target));
        object.set(QStringLiteral("Size"), disk.size > 0 ? bigNumber(disk.size) : VARIANT::null());
        object.set(QStringLiteral("Status"), VARIANT::ofBstr(QStringLiteral("OK")));
        object.set(QStringLiteral("MediaLoaded"), VARIANT::ofBool(disk.size > 0));
        object.set(QStringLiteral("SerialNumber"), textOrNull(disk.serial));
        object.set(QStringLiteral("FirmwareRevision"), textOrNull(disk.firmware));
        objects.push_back(object);
    }
    return objects;
}

std::vector<WmiObject> linuxLogicalDiskToPartitions(const SystemRoots& roots) {
    const QList<BlockDisk> disks = readPhysicalDisks(roots);
    const QString host = hostName(roots);
    std::vector<WmiObject> objects;
    for (const MountEntry& mount : readMountTable(roots)) {
        const VolumePlace place = placeOf(disks, blockDeviceName(roots, mount.source));
        if (!place.disk)
            continue;
        const int ordinal =
            place.partition ? place.disk->partitionOrdinal(place.partition->name) : 0;
        const qint64 start = place.partition ? place.partition->start : 0;
        const qint64 size = place.partition ? place.partition->size : place.disk->size;
        WmiObject object(QStringLiteral("Win32_LogicalDiskToPartition"));
        object.set(QStringLiteral("Antecedent"),
                   VARIANT::ofBstr(partitionObjectPath(host, place.disk->index, ordinal)));
        object.set(QStringLiteral("Dependent"),
                   VARIANT::ofBstr(logicalDiskObjectPath(host, mount.mountPoint)));
        // Both are below 2^63 but their sum need not be.
        const bool fits = size > 0 && start <= std::numeric_limits<qint64>::max() - (size - 1);
        object.set(QStringLiteral("EndingAddress"), bigNumber(fits ? start + size - 1 : start));
        object.set(QStringLiteral("StartingAddress"), bigNumber(start));
        objects.push_back(object);
    }
    return objects;
}

std::vector<WmiObject> linuxLogicalDisks(const SystemRoots& roots) {
    enum DriveType { Removable = 2, Local = 3, Network = 4, Optical = 5, Ram = 6 };
    const QList<BlockDisk> disks = readPhysicalDisks(roots);
    const QList<MountEntry> mounts = readMountTable(roots);
    std::vector<WmiObject> objects;
    for (qsizetype i = 0; i < mounts.size(); ++i) {
        const MountEntry& mount = mounts.at(i);
        // A mount hidden by a later one on the same place is not what the
        // user sees there.
        bool hidden = false;
        for (qsizetype j = i + 1; j < mounts.size() && !hidden; ++j)
            hidden = mounts.at(j).mountPoint == mount.mountPoint;
        if (hidden)
            continue;

        const QString kernelName = blockDeviceName(roots, mount.source);
        const bool network = isNetworkFileSystem(mount.type);
        if (kernelName.isEmpty() && !network)
            continue;
        const VolumePlace place = placeOf(disks, kernelName);
        int driveType = Local;
        QString description = QStringLiteral("Local Fixed Disk");
        int mediaType = 12; // fixed hard disk media
        if (network) {
            driveType = Network;
            description = QStringLiteral("Network Connection");
            mediaType = 0;
        } else if (kernelName.startsWith(QLatin1String("sr"))) {
            driveType = Optical;
            description = QStringLiteral("CD-ROM Disc");
            mediaType = 0;
        } else if (kernelName.startsWith(QLatin1String("zram")) ||
                   kernelName.startsWith(QLatin1String("ram"))) {
            driveType = Ram;
            description = QStringLiteral("RAM Disk");
            mediaType = 0;
        } else if (place.disk && place.disk->removable) {
            driveType = Removable;
            description = QStringLiteral("Removable Disk");
            mediaType = 11; // removable media other than floppy
        }

        WmiObject object(QStringLiteral("Win32_LogicalDisk"));
        object.set(QStringLiteral("DeviceID"), VARIANT::ofBstr(mount.mountPoint));
        object.set(QStringLiteral("Caption"), VARIANT::ofBstr(mount.mountPoint));
        object.set(QStringLiteral("Name"), VARIANT::ofBstr(mount.mountPoint));
        object.set(QStringLiteral("Compressed"),
                   VARIANT::ofBool(optionsMention(mount.options, {"compress", "compress-force"})));
        object.set(QStringLiteral("DriveType"), VARIANT::ofI4(static_cast<qint32>(driveType)));
        object.set(QStringLiteral("MediaType"),
                   mediaType ? VARIANT::ofI4(static_cast<qint32>(mediaType)) : VARIANT::null());
        object.set(QStringLiteral("FileSystem"), textOrNull(mount.type));
        const std::optional<VolumeSpace> space =
            roots.volumeSpace ? roots.volumeSpace(mount.mountPoint) : std::nullopt;
        object.set(QStringLiteral("FreeSpace"), space ? bigNumber(space->free) : VARIANT::null());
        object.set(QStringLiteral("Size"), space ? bigNumber(space->size) : VARIANT::null());
        object.set(QStringLiteral("VolumeName"),
                   textOrNull(kernelName.isEmpty() ? QString() : volumeLabel(roots, kernelName)));
        object.set(QStringLiteral("QuotasDisabled"),
                   VARIANT::ofBool(
                       !optionsMention(mount.options, {"quota", "usrquota", "grpquota", "prjquota",
                                                       "usrjquota", "grpjquota"})));
        object.set(QStringLiteral("Description"), VARIANT::ofBstr(description));
        object.set(QStringLiteral("ProviderName"),
                   network ? VARIANT::ofBstr(mount.source) : VARIANT::null());
        objects.push_back(object);
    }
    return objects;
}

namespace {

// The mount point of a drive's medium, or empty when nothing of it is mounted.
QString mountPointOf(const SystemRoots& roots, const QString& kernelName) {
    for (const MountEntry& mount : readMountTable(roots)) {
        if (blockDeviceName(roots, mount.source) == kernelName)
            return mount.mountPoint;
    }
    return QString();
}

std::vector<WmiObject> removableDrives(const SystemRoots& roots, const QString& prefix,
                                       const QString& className, const QString& description,
                                       const QString& mediaType) {
    std::vector<WmiObject> objects;
    for (const BlockDrive& drive : readBlockDrives(roots, prefix)) {
        const QString name = (drive.vendor + QLatin1Char(' ') + drive.model).trimmed();
        QString place = mountPointOf(roots, drive.name);
        if (place.isEmpty())
            place = QStringLiteral("/dev/") + drive.name;
        WmiObject object(className);
        object.set(QStringLiteral("Name"), VARIANT::ofBstr(name.isEmpty() ? description : name));
        object.set(QStringLiteral("Caption"), VARIANT::ofBstr(name.isEmpty() ? description : name));
        object.set(QStringLiteral("Description"), VARIANT::ofBstr(description));
        object.set(QStringLiteral("Drive"), VARIANT::ofBstr(place));
        object.set(QStringLiteral("Id"), VARIANT::ofBstr(place));
        object.set(QStringLiteral("Manufacturer"), textOrNull(drive.vendor));
        object.set(QStringLiteral("MediaType"), textOrNull(mediaType));
        object.set(QStringLiteral("Status"), VARIANT::ofBstr(QStringLiteral("OK")));
        object.set(QStringLiteral("Availability"), VARIANT::ofI4(3)); // running, full power
        object.set(QStringLiteral("ConfigManagerErrorCode"), VARIANT::ofI4(0));
        object.set(QStringLiteral("MediaLoaded"), VARIANT::ofBool(drive.size > 0));
        objects.push_back(object);
    }
    return objects;
}

} // namespace

std::vector<WmiObject> linuxCdromDrives(const SystemRoots& roots) {
    return removableDrives(roots, QStringLiteral("sr"), QStringLiteral("Win32_CDROMDrive"),
                           QStringLiteral("CD-ROM Drive"), QStringLiteral("CD-ROM"));
}

std::vector<WmiObject> linuxFloppyDrives(const SystemRoots& roots) {
    return removableDrives(roots, QStringLiteral("fd"), QStringLiteral("Win32_FloppyDrive"),
                           QStringLiteral("Floppy disk drive"), QString());
}

} // namespace vorn::wmi
