#include "BlockDevices.h"

#include "DiskEnumeration.h"
#include <SafeFile.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <limits>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vorn::wmi {

QString readFirstLine(const QString& path) {
    // sysfs attributes hold at most a page; the bound and the type check keep
    // a wrong path from reading a disk or blocking on a FIFO.
    const QByteArray bytes = Cm_ReadBoundedFile(path, 4096).value_or(QByteArray());
    const qsizetype end = bytes.indexOf('\n');
    return QString::fromUtf8(end < 0 ? bytes : bytes.left(end)).trimmed();
}

namespace {

qint64 readNumber(const QString& path) {
    return readFirstLine(path).toLongLong();
}

// sysfs counts start and size in 512-byte units whatever the sector size. A
// count that is negative or would overflow the byte count (a broken driver,
// a test tree) is no size at all.
qint64 readSectorBytes(const QString& path) {
    const qint64 sectors = readNumber(path);
    if (sectors < 0 || sectors > std::numeric_limits<qint64>::max() / 512)
        return 0;
    return sectors * 512;
}

// libata names "ATA" as the vendor of every disk it drives, and virtio puts
// its PCI vendor number there: neither names a maker.
QString makerOrEmpty(const QString& vendor) {
    if (vendor == QLatin1String("ATA") || vendor.startsWith(QLatin1String("0x")))
        return QString();
    return vendor;
}

// Where a disk sits in the device tree: the path below the sysfs root
// (so that the name of the folder the tree lives in never counts) and the
// name of the device the disk belongs to ("0:0:0:0" for a SCSI disk).
struct DevicePlace {
    QStringList components;
    QString device;
};

// sysfs keeps one relative link per disk in block/,
// "../devices/pci0000:00/.../ata1/host0/target0:0:0/0:0:0:0/block/sda"; one
// readlink of it says everything, where resolving the path walks every
// folder on the way. The disk's device is the folder above its own (above
// "block/" where there is one), which is where its "device" link points.
// Any other shape (real folders, an absolute link) is resolved the long way.
DevicePlace devicePlaceOf(const SystemRoots& roots, const QString& blockDir) {
    char target[4096];
    const ssize_t length =
        ::readlink(QFile::encodeName(blockDir).constData(), target, sizeof target);
    if (length > 3 && length < ssize_t(sizeof target) && std::memcmp(target, "../", 3) == 0) {
        const QStringList parts = QFile::decodeName(QByteArray(target + 3, qsizetype(length - 3)))
                                      .split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (!parts.contains(QStringLiteral("..")) && !parts.contains(QStringLiteral("."))) {
            qsizetype above = parts.size() - 2;
            if (above >= 1 && parts.at(above) == QLatin1String("block"))
                --above;
            return {parts, above >= 0 ? parts.at(above) : QString()};
        }
    }
    const QString sysRoot = QFileInfo(roots.sys).canonicalFilePath();
    QString path = QFileInfo(blockDir).canonicalFilePath();
    if (!sysRoot.isEmpty() && path.startsWith(sysRoot + QLatin1Char('/')))
        path = path.mid(sysRoot.size() + 1);
    const QString device = QFileInfo(blockDir + QStringLiteral("/device")).canonicalFilePath();
    return {path.split(QLatin1Char('/'), Qt::SkipEmptyParts), QFileInfo(device).fileName()};
}

bool isDigits(QStringView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

// "ata3", "usb2": a port of that kind, numbered.
bool isNumbered(const QString& component, QLatin1String kind) {
    return component.startsWith(kind) && isDigits(QStringView(component).mid(kind.size()));
}

DiskTransport transportOf(const QStringList& components) {
    for (const QString& component : components) {
        if (isNumbered(component, QLatin1String("usb")))
            return DiskTransport::Usb;
    }
    for (const QString& component : components) {
        if (isNumbered(component, QLatin1String("ata")))
            return DiskTransport::Ata;
    }
    return DiskTransport::Other;
}

// host:channel:target:lun, four numbers.
void readScsiAddress(const QString& device, BlockDisk* disk) {
    const QStringList parts = device.split(QLatin1Char(':'));
    if (parts.size() != 4 || !std::all_of(parts.begin(), parts.end(),
                                          [](const QString& part) { return isDigits(part); }))
        return;
    disk->hasScsiAddress = true;
    disk->host = parts.at(0).toInt();
    disk->channel = parts.at(1).toInt();
    disk->target = parts.at(2).toInt();
    disk->lun = parts.at(3).toInt();
}

// The kernel names a disk's partitions after it ("sda1", "nvme0n1p1") and
// keeps them as real folders beside the disk's other folders and links.
QList<BlockPartition> readPartitions(const QString& blockDir, const QString& diskName) {
    QList<BlockPartition> partitions;
    DIR* dir = ::opendir(QFile::encodeName(blockDir).constData());
    if (!dir)
        return partitions;
    const QByteArray prefix = QFile::encodeName(diskName);
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
        if ((entry->d_type == DT_DIR || entry->d_type == DT_UNKNOWN) &&
            std::strncmp(entry->d_name, prefix.constData(), std::size_t(prefix.size())) == 0 &&
            std::strlen(entry->d_name) > std::size_t(prefix.size()))
            names.append(QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);
    for (const QString& name : names) {
        const QString path = blockDir + QLatin1Char('/') + name;
        if (!QFileInfo::exists(path + QStringLiteral("/partition")))
            continue;
        BlockPartition partition;
        partition.name = name;
        partition.number = static_cast<int>(readNumber(path + QStringLiteral("/partition")));
        partition.start = readSectorBytes(path + QStringLiteral("/start"));
        partition.size = readSectorBytes(path + QStringLiteral("/size"));
        partitions.append(partition);
    }
    std::sort(partitions.begin(), partitions.end(),
              [](const BlockPartition& a, const BlockPartition& b) { return a.number < b.number; });
    return partitions;
}

QString firstExisting(const QString& dir, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const QString text = readFirstLine(dir + QLatin1Char('/') + QLatin1String(name));
        if (!text.isEmpty())
            return text;
    }
    return QString();
}

} // namespace

QString BlockDisk::displayModel() const {
    return (vendor + QLatin1Char(' ') + model).trimmed();
}

const BlockPartition* BlockDisk::partition(const QString& partitionName) const {
    for (const BlockPartition& p : partitions) {
        if (p.name == partitionName)
            return &p;
    }
    return nullptr;
}

int BlockDisk::partitionOrdinal(const QString& partitionName) const {
    for (int i = 0; i < partitions.size(); ++i) {
        if (partitions.at(i).name == partitionName)
            return i;
    }
    return 0;
}

QList<BlockDisk> readPhysicalDisks(const SystemRoots& roots, BlockDetail detail) {
    QList<BlockDisk> disks;
    const QStringList names = platform::physicalDiskNames(roots.sys);
    for (int index = 0; index < names.size(); ++index) {
        const QString blockDir = roots.sys + QStringLiteral("/block/") + names.at(index);
        const QString deviceDir = blockDir + QStringLiteral("/device");
        BlockDisk disk;
        disk.index = index;
        disk.name = names.at(index);
        disk.removable = readNumber(blockDir + QStringLiteral("/removable")) != 0;
        disk.size = readSectorBytes(blockDir + QStringLiteral("/size"));
        disk.partitions = readPartitions(blockDir, disk.name);
        if (detail == BlockDetail::Full) {
            disk.vendor = makerOrEmpty(readFirstLine(deviceDir + QStringLiteral("/vendor")));
            disk.model = readFirstLine(deviceDir + QStringLiteral("/model"));
            disk.serial = firstExisting(blockDir, {"device/serial", "serial"});
            disk.firmware = firstExisting(deviceDir, {"firmware_rev", "rev"});
            const DevicePlace place = devicePlaceOf(roots, blockDir);
            disk.transport = transportOf(place.components);
            const qint64 blockSize =
                readNumber(blockDir + QStringLiteral("/queue/logical_block_size"));
            if (blockSize > 0)
                disk.logicalBlockSize = static_cast<int>(blockSize);
            readScsiAddress(place.device, &disk);
        }
        disks.append(disk);
    }
    return disks;
}

QList<BlockDrive> readBlockDrives(const SystemRoots& roots, const QString& prefix) {
    const QDir blockDir(roots.sys + QStringLiteral("/block"));
    QStringList names;
    for (const QString& name :
         blockDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
        if (name.startsWith(prefix))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), platform::physicalDiskNameLess);
    QList<BlockDrive> drives;
    for (const QString& name : names) {
        const QString dir = blockDir.filePath(name);
        BlockDrive drive;
        drive.name = name;
        drive.vendor = makerOrEmpty(readFirstLine(dir + QStringLiteral("/device/vendor")));
        drive.model = readFirstLine(dir + QStringLiteral("/device/model"));
        drive.size = readSectorBytes(dir + QStringLiteral("/size"));
        drives.append(drive);
    }
    return drives;
}

namespace {

bool isBlockEntry(const SystemRoots& roots, const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')))
        return false;
    if (QFileInfo::exists(roots.sys + QStringLiteral("/class/block/") + name) ||
        QFileInfo::exists(roots.sys + QStringLiteral("/block/") + name))
        return true;
    const QDir blockDir(roots.sys + QStringLiteral("/block"));
    for (const QString& disk :
         blockDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
        if (QFileInfo::exists(blockDir.filePath(disk) + QLatin1Char('/') + name +
                              QStringLiteral("/partition")))
            return true;
    }
    return false;
}

// "/dev/root" and other names without a sysfs entry are found by their
// device number.
QString nameByDeviceNumber(const SystemRoots& roots, const QString& devicePath) {
    struct stat info {};
    if (::stat(devicePath.toLocal8Bit().constData(), &info) != 0 || !S_ISBLK(info.st_mode))
        return QString();
    const QString number =
        QStringLiteral("%1:%2").arg(major(info.st_rdev)).arg(minor(info.st_rdev));
    const QDir classDir(roots.sys + QStringLiteral("/class/block"));
    for (const QString& name :
         classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
        if (readFirstLine(classDir.filePath(name) + QStringLiteral("/dev")) == number)
            return name;
    }
    return QString();
}

} // namespace

QString blockDeviceName(const SystemRoots& roots, const QString& source) {
    if (!source.startsWith(QLatin1String("/dev/")))
        return QString();
    const QString relative = source.mid(5);
    const QString devicePath = roots.dev + QLatin1Char('/') + relative;
    const QString devRoot = QFileInfo(roots.dev).canonicalFilePath();
    const QString resolved = QFileInfo(devicePath).canonicalFilePath();
    QString name = relative;
    if (!devRoot.isEmpty() && resolved.startsWith(devRoot + QLatin1Char('/')))
        name = resolved.mid(devRoot.size() + 1);
    // Nested device names ("cciss/c0d0") appear in sysfs with '!'.
    name.replace(QLatin1Char('/'), QLatin1Char('!'));
    if (isBlockEntry(roots, name))
        return name;
    return nameByDeviceNumber(roots, devicePath);
}

namespace {

// udev writes blanks and other unsafe bytes of a label as \xHH.
QString decodeUdevName(const QString& name) {
    QByteArray bytes;
    const QByteArray raw = name.toUtf8();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw.at(i) == '\\' && i + 3 < raw.size() && raw.at(i + 1) == 'x') {
            bool ok = false;
            const int code = raw.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                bytes.append(static_cast<char>(code));
                i += 3;
                continue;
            }
        }
        bytes.append(raw.at(i));
    }
    return QString::fromUtf8(bytes);
}

} // namespace

QString volumeLabel(const SystemRoots& roots, const QString& kernelName) {
    const QDir labels(roots.dev + QStringLiteral("/disk/by-label"));
    const QString devRoot = QFileInfo(roots.dev).canonicalFilePath();
    for (const QString& entry :
         labels.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)) {
        const QString target = QFileInfo(labels.filePath(entry)).canonicalFilePath();
        if (!devRoot.isEmpty() && target == devRoot + QLatin1Char('/') + kernelName)
            return decodeUdevName(entry);
    }
    return QString();
}

} // namespace vorn::wmi
