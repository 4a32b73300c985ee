#include "BlockDevices.h"

#include <SafeFile.h>
#include <platform/DiskEnumeration.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

#include <sys/stat.h>
#include <sys/sysmacros.h>

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

// The device path below the sysfs root, so that the name of the folder the
// tree lives in never counts as a path component.
QStringList devicePathComponents(const SystemRoots& roots, const QString& entry) {
    const QString sysRoot = QFileInfo(roots.sys).canonicalFilePath();
    QString path = QFileInfo(entry).canonicalFilePath();
    if (!sysRoot.isEmpty() && path.startsWith(sysRoot + QLatin1Char('/')))
        path = path.mid(sysRoot.size() + 1);
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

DiskTransport transportOf(const QStringList& components) {
    static const QRegularExpression ata(QStringLiteral("^ata\\d+$"));
    static const QRegularExpression usb(QStringLiteral("^usb\\d+$"));
    for (const QString& component : components) {
        if (usb.match(component).hasMatch())
            return DiskTransport::Usb;
    }
    for (const QString& component : components) {
        if (ata.match(component).hasMatch())
            return DiskTransport::Ata;
    }
    return DiskTransport::Other;
}

void readScsiAddress(const QString& blockDir, BlockDisk* disk) {
    static const QRegularExpression address(QStringLiteral("^(\\d+):(\\d+):(\\d+):(\\d+)$"));
    const QString device = QFileInfo(blockDir + QStringLiteral("/device")).canonicalFilePath();
    const QRegularExpressionMatch match = address.match(QFileInfo(device).fileName());
    if (!match.hasMatch())
        return;
    disk->hasScsiAddress = true;
    disk->host = match.captured(1).toInt();
    disk->channel = match.captured(2).toInt();
    disk->target = match.captured(3).toInt();
    disk->lun = match.captured(4).toInt();
}

QList<BlockPartition> readPartitions(const QString& blockDir) {
    QList<BlockPartition> partitions;
    const QDir dir(blockDir);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = dir.filePath(name);
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

QList<BlockDisk> readPhysicalDisks(const SystemRoots& roots) {
    QList<BlockDisk> disks;
    const QStringList names = platform::physicalDiskNames(roots.sys);
    for (int index = 0; index < names.size(); ++index) {
        const QString blockDir = roots.sys + QStringLiteral("/block/") + names.at(index);
        const QString deviceDir = blockDir + QStringLiteral("/device");
        BlockDisk disk;
        disk.index = index;
        disk.name = names.at(index);
        disk.vendor = makerOrEmpty(readFirstLine(deviceDir + QStringLiteral("/vendor")));
        disk.model = readFirstLine(deviceDir + QStringLiteral("/model"));
        disk.serial = firstExisting(blockDir, {"device/serial", "serial"});
        disk.firmware = firstExisting(deviceDir, {"firmware_rev", "rev"});
        disk.transport = transportOf(devicePathComponents(roots, blockDir));
        disk.removable = readNumber(blockDir + QStringLiteral("/removable")) != 0;
        disk.size = readSectorBytes(blockDir + QStringLiteral("/size"));
        const qint64 blockSize = readNumber(blockDir + QStringLiteral("/queue/logical_block_size"));
        if (blockSize > 0)
            disk.logicalBlockSize = static_cast<int>(blockSize);
        readScsiAddress(blockDir, &disk);
        disk.partitions = readPartitions(blockDir);
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
