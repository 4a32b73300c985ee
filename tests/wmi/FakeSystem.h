#pragma once

#include "../support/TempDir.h"

#include <providers/SystemRoots.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

// A Linux system tree (sysfs, procfs, /dev, /etc) laid out in a temporary
// folder the way the kernel and udev lay out the real ones, so that the
// providers read it through their normal paths.
class FakeSystem {
public:
    struct Disk {
        QString name;       // "sda"
        QString devicePath; // below sys/devices, the folder the block entry hangs from
        QString vendor;     // written to device/vendor when not empty
        QString model;      // written to device/model when not empty
        qint64 sectors = 0; // 512-byte units
        bool removable = false;
    };

    FakeSystem() {
        write(QStringLiteral("proc/sys/kernel/hostname"), "testhost\n");
        write(QStringLiteral("proc/self/mounts"), "");
    }

    QString root() const { return m_dir.path(); }

    vorn::wmi::SystemRoots roots() const {
        vorn::wmi::SystemRoots roots = vorn::wmi::SystemRoots::under(root());
        roots.now = [] { return QDateTime(QDate(2024, 3, 5), QTime(12, 30, 15)); };
        roots.volumeSpace = [](const QString&) { return std::nullopt; };
        return roots;
    }

    void write(const QString& path, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(m_dir.path(path)).path());
        QFile file(m_dir.path(path));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
    }

    void link(const QString& path, const QString& target) const {
        QDir().mkpath(QFileInfo(m_dir.path(path)).path());
        QFile::link(target, m_dir.path(path));
    }

    void addDisk(const Disk& disk) const {
        const QString device = QStringLiteral("sys/devices/") + disk.devicePath;
        const QString block = device + QStringLiteral("/block/") + disk.name;
        if (!disk.vendor.isEmpty())
            write(device + QStringLiteral("/vendor"), disk.vendor.toUtf8() + '\n');
        if (!disk.model.isEmpty())
            write(device + QStringLiteral("/model"), disk.model.toUtf8() + '\n');
        write(block + QStringLiteral("/size"), QByteArray::number(disk.sectors) + '\n');
        write(block + QStringLiteral("/removable"), disk.removable ? "1\n" : "0\n");
        write(block + QStringLiteral("/queue/logical_block_size"), "512\n");
        link(block + QStringLiteral("/device"), QStringLiteral("../.."));
        link(QStringLiteral("sys/block/") + disk.name, QStringLiteral("../devices/") +
                                                           disk.devicePath +
                                                           QStringLiteral("/block/") + disk.name);
        write(QStringLiteral("dev/") + disk.name, "");
    }

    void addPartition(const Disk& disk, const QString& name, int number, qint64 startSector,
                      qint64 sectors) const {
        const QString dir = QStringLiteral("sys/devices/") + disk.devicePath +
                            QStringLiteral("/block/") + disk.name + QLatin1Char('/') + name;
        write(dir + QStringLiteral("/partition"), QByteArray::number(number) + '\n');
        write(dir + QStringLiteral("/start"), QByteArray::number(startSector) + '\n');
        write(dir + QStringLiteral("/size"), QByteArray::number(sectors) + '\n');
        write(QStringLiteral("dev/") + name, "");
    }

    void setMounts(const QByteArray& table) const {
        write(QStringLiteral("proc/self/mounts"), table);
    }

private:
    TestDir m_dir;
};

// Five kinds of disk in their kernel order, and what they carry.
struct FakeDisks {
    FakeSystem::Disk ata{QStringLiteral("sda"),
                         QStringLiteral("pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0"),
                         QStringLiteral("ATA     "),
                         QStringLiteral("ST2000DM008-2FR102"),
                         3907029168,
                         false};
    FakeSystem::Disk usb{
        QStringLiteral("sdb"),
        QStringLiteral("pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0"),
        QStringLiteral("SanDisk "),
        QStringLiteral("Extreme 55AE"),
        1953525168,
        false};
    FakeSystem::Disk scsi{QStringLiteral("sdc"),
                          QStringLiteral("pci0000:00/0000:00:10.0/host2/target2:0:3/2:0:3:1"),
                          QStringLiteral("SEAGATE "),
                          QStringLiteral("ST300MM0048"),
                          585937500,
                          false};
    FakeSystem::Disk reader{
        QStringLiteral("sdd"),
        QStringLiteral("pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/host7/target7:0:0/7:0:0:0"),
        QStringLiteral("Generic-"),
        QStringLiteral("SD/MMC"),
        0,
        true};
    FakeSystem::Disk virtio{QStringLiteral("vda"),
                            QStringLiteral("pci0000:00/0000:00:02.0/virtio1"),
                            QStringLiteral("0x1af4"),
                            QString(),
                            41943040,
                            false};
    FakeSystem::Disk nvme{QStringLiteral("nvme0n1"),
                          QStringLiteral("pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0"),
                          QString(),
                          QStringLiteral("Samsung SSD 980 PRO 1TB"),
                          1953525168,
                          false};

    void addTo(const FakeSystem& system) const {
        for (const FakeSystem::Disk* disk : {&ata, &usb, &scsi, &reader, &virtio, &nvme})
            system.addDisk(*disk);
    }
};
