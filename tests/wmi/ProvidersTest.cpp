#include "FakeSystem.h"
#include "QueryResults.h"

#include <WmiConnection.h>
#include <WmiObject.h>
#include <WmiPaths.h>
#include <WmiQueries.h>
#include <providers/BlockDevices.h>
#include <providers/MountTable.h>
#include <providers/SystemClassSource.h>

#include <gtest/gtest.h>

using namespace vorn::wmi;
using wmitest::Owned;
using wmitest::text;

namespace {

class LinuxProviders : public ::testing::Test {
protected:
    FakeSystem system;
    FakeDisks disks;

    void SetUp() override {
        disks.addTo(system);
        system.addPartition(disks.ata, QStringLiteral("sda1"), 1, 2048, 1048576);
        system.addPartition(disks.ata, QStringLiteral("sda2"), 2, 1050624, 2000000);
        system.addPartition(disks.nvme, QStringLiteral("nvme0n1p1"), 1, 2048, 409600);
        system.addPartition(disks.nvme, QStringLiteral("nvme0n1p3"), 3, 411648, 8388608);
        system.write(QStringLiteral("sys/block/vda/serial"), "BHYVE-1234\n");
        system.write(
            QStringLiteral("sys/devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/serial"),
            "S5P2NG0R123456\n");
        system.link(QStringLiteral("dev/disk/by-uuid/0a1b"), QStringLiteral("../../sda2"));
        system.link(QStringLiteral("dev/disk/by-label/My\\x20Data"), QStringLiteral("../../sda2"));
        system.setMounts("sysfs /sys sysfs rw,nosuid 0 0\n"
                         "/dev/sda1 / ext4 rw,relatime 0 0\n"
                         "/dev/sda2 /home/my\\040files ext4 rw,usrquota 0 0\n"
                         "tmpfs /tmp tmpfs rw 0 0\n"
                         "/dev/disk/by-uuid/0a1b /mnt/again ext4 rw 0 0\n"
                         "/dev/vda /srv/whole xfs rw 0 0\n"
                         "/dev/nvme0n1p3 /data btrfs rw,compress=zstd 0 0\n"
                         "/dev/loop0 /snap/core squashfs ro 0 0\n"
                         "server:/export /net nfs4 rw 0 0\n");
        installClassSource(std::make_shared<SystemClassSource>(system.roots()));
    }
    void TearDown() override { installClassSource(nullptr); }
};

} // namespace

TEST_F(LinuxProviders, DiskDrivesFollowTheSharedNumbering) {
    Owned<CmDiskDriveBlock> block(Cm_GetDiskDriveInfo(0));
    ASSERT_TRUE(block);
    ASSERT_EQ(block->nCount, 6);
    const struct {
        const char* model;
        const char* interfaceType;
        const char* pnp;
        const char* mediaType;
        int port, target, lun;
        qint64 size;
        int partitions;
    } expected[] = {
        {"ST2000DM008-2FR102", "IDE", "IDE\\DISKST2000DM008-2FR102", "Fixed hard disk media", 0, 0,
         0, 3907029168ll * 512, 2},
        {"SanDisk Extreme 55AE", "USB", "USBSTOR\\SanDisk_Extreme_55AE", "Fixed hard disk media", 6,
         0, 0, 1953525168ll * 512, 0},
        {"SEAGATE ST300MM0048", "SCSI", "SCSI\\DISKSEAGATE_ST300MM0048", "Fixed hard disk media", 2,
         3, 1, 585937500ll * 512, 0},
        {"Generic- SD/MMC", "USB", "USBSTOR\\Generic-_SD/MMC", "", 7, 0, 0, 0, 0},
        {"", "SCSI", "SCSI\\DISK", "Fixed hard disk media", -1, -1, 0, 41943040ll * 512, 0},
        {"Samsung SSD 980 PRO 1TB", "SCSI", "SCSI\\DISKSamsung_SSD_980_PRO_1TB",
         "Fixed hard disk media", -1, -1, 0, 1953525168ll * 512, 2},
    };
    for (int i = 0; i < 6; ++i) {
        const CmDiskDriveRecord& r = (*block)[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(r.Index, i);
        EXPECT_EQ(text(r.DeviceID), QStringLiteral("\\\\.\\PHYSICALDRIVE%1").arg(i));
        EXPECT_EQ(text(r.Name), text(r.DeviceID));
        EXPECT_EQ(text(r.Model), QString::fromUtf8(expected[i].model));
        EXPECT_EQ(text(r.Caption), QString::fromUtf8(expected[i].model));
        EXPECT_EQ(text(r.InterfaceType), QString::fromUtf8(expected[i].interfaceType));
        EXPECT_EQ(text(r.PNPDeviceID), QString::fromUtf8(expected[i].pnp));
        EXPECT_EQ(text(r.MediaType), QString::fromUtf8(expected[i].mediaType));
        EXPECT_EQ(r.SCSIPort, expected[i].port);
        EXPECT_EQ(r.SCSITargetId, expected[i].target);
        EXPECT_EQ(r.SCSILogicalUnit, expected[i].lun);
        EXPECT_EQ(r.Size, expected[i].size);
        EXPECT_EQ(r.Partitions, expected[i].partitions);
        EXPECT_EQ(r.BytesPerSector, 512);
        EXPECT_EQ(text(r.Status), QStringLiteral("OK"));
    }
    EXPECT_EQ(text((*block)[2].Manufacturer), QStringLiteral("SEAGATE"));
    EXPECT_EQ(text((*block)[0].Manufacturer), QString()) << "libata's placeholder is no maker";
}

TEST_F(LinuxProviders, RemovableMediumMakesTheMediaType) {
    system.write(QStringLiteral("sys/devices/") + disks.reader.devicePath +
                     QStringLiteral("/block/sdd/size"),
                 "62333952\n");
    Owned<CmDiskDriveBlock> block(Cm_GetDiskDriveInfo(0));
    ASSERT_TRUE(block);
    EXPECT_EQ(text((*block)[3].MediaType), QStringLiteral("Removable Media"));
}

TEST_F(LinuxProviders, AbsurdSectorCountsGiveNoSize) {
    const QString size = QStringLiteral("sys/devices/") + disks.reader.devicePath +
                         QStringLiteral("/block/sdd/size");
    // 2^54 sectors are 2^63 bytes, one past the largest signed 64-bit value;
    // 2^55 + 1 sectors would wrap round to a plausible 512 bytes.
    for (const char* sectors : {"18014398509481984\n", "36028797018963969\n", "-8\n"}) {
        SCOPED_TRACE(sectors);
        system.write(size, sectors);
        Owned<CmDiskDriveBlock> block(Cm_GetDiskDriveInfo(0));
        ASSERT_TRUE(block);
        EXPECT_EQ((*block)[3].Size, 0);
        EXPECT_EQ(text((*block)[3].MediaType), QString());
    }
}

TEST_F(LinuxProviders, VolumesFollowTheMountTable) {
    Owned<CmLogicalDiskPartitionBlock> block(Cm_GetLogicalDiskPartitionInfo(0));
    ASSERT_TRUE(block);
    const struct {
        int disk;
        int partition;
        const char* drive;
        qint64 start, end;
    } expected[] = {
        {0, 0, "/", 2048ll * 512, (2048ll + 1048576) * 512 - 1},
        {0, 1, "/home/my files", 1050624ll * 512, (1050624ll + 2000000) * 512 - 1},
        {0, 1, "/mnt/again", 1050624ll * 512, (1050624ll + 2000000) * 512 - 1},
        {4, 0, "/srv/whole", 0, 41943040ll * 512 - 1},
        // nvme0n1p3 is the second partition on its disk: counted, not numbered.
        {5, 1, "/data", 411648ll * 512, (411648ll + 8388608) * 512 - 1},
    };
    ASSERT_EQ(block->nCount, 5);
    for (int i = 0; i < 5; ++i) {
        const CmLogicalDiskPartitionRecord& r = (*block)[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(text(r.Antecedent),
                  QStringLiteral("\\\\testhost\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk "
                                 "#%1, Partition #%2\"")
                      .arg(expected[i].disk)
                      .arg(expected[i].partition));
        EXPECT_EQ(Cm_GetPartitionDiskNumber(r.Antecedent), expected[i].disk);
        EXPECT_EQ(Cm_GetVolumeDriveName(r.Dependent), QString::fromUtf8(expected[i].drive));
        EXPECT_TRUE(text(r.Dependent)
                        .startsWith(QLatin1String(
                            "\\\\testhost\\root\\cimv2:Win32_LogicalDisk.DeviceID=\"")));
        EXPECT_EQ(r.StartingAddress, expected[i].start);
        EXPECT_EQ(r.EndingAddress, expected[i].end);
    }
}

TEST_F(LinuxProviders, NoMountedDiskGivesNoVolumes) {
    system.setMounts("proc /proc proc rw 0 0\n/dev/loop0 /snap squashfs ro 0 0\n");
    EXPECT_EQ(Cm_GetLogicalDiskPartitionInfo(0), nullptr);
}

TEST_F(LinuxProviders, LogicalDisksDescribeEachVisibleMount) {
    SystemRoots roots = system.roots();
    roots.volumeSpace = [](const QString& mountPoint) -> std::optional<VolumeSpace> {
        if (mountPoint == QLatin1String("/home/my files"))
            return VolumeSpace{1000000, 250000};
        return std::nullopt;
    };
    installClassSource(std::make_shared<SystemClassSource>(roots));
    Owned<CmLogicalDiskBlock> block(Cm_GetLogicalDiskInfo(0));
    ASSERT_TRUE(block);
    // "/", "/home/my files", "/mnt/again", "/srv/whole", "/data", "/net".
    ASSERT_EQ(block->nCount, 6);
    const CmLogicalDiskRecord& home = (*block)[1];
    EXPECT_EQ(text(home.Caption), QStringLiteral("/home/m"));
    EXPECT_EQ(home.DriveType, 3);
    EXPECT_EQ(home.MediaType, 12);
    EXPECT_EQ(text(home.FileSystem), QStringLiteral("ext4"));
    EXPECT_EQ(home.Size, 1000000);
    EXPECT_EQ(home.FreeSpace, 250000);
    EXPECT_EQ(text(home.VolumeName), QStringLiteral("My Data"));
    EXPECT_EQ(home.QuotasDisabled, 0);
    EXPECT_EQ((*block)[0].QuotasDisabled, 1);
    EXPECT_EQ((*block)[0].Size, 0) << "no figures for the volume";
    EXPECT_EQ((*block)[4].Compressed, 1);
    const CmLogicalDiskRecord& net = (*block)[5];
    EXPECT_EQ(net.DriveType, 4);
    EXPECT_EQ(text(net.ProviderName), QStringLiteral("server:/export"));
}

TEST_F(LinuxProviders, OpticalAndFloppyDrives) {
    system.write(QStringLiteral("sys/block/sr0/device/vendor"), "HL-DT-ST\n");
    system.write(QStringLiteral("sys/block/sr0/device/model"), "DVDRAM GH24NSD1\n");
    system.write(QStringLiteral("sys/block/sr0/size"), "1431232\n");
    system.write(QStringLiteral("sys/block/sr1/size"), "0\n");
    system.write(QStringLiteral("dev/sr0"), "");
    system.setMounts("/dev/sr0 /media/cd\\040rom iso9660 ro 0 0\n");
    Owned<CmRemovableDriveBlock> cd(Cm_GetCDROMDriveInfo(0));
    ASSERT_TRUE(cd);
    ASSERT_EQ(cd->nCount, 2);
    EXPECT_EQ(text((*cd)[0].Name), QStringLiteral("HL-DT-ST DVDRAM GH24NSD1"));
    EXPECT_EQ(text((*cd)[0].Drive), QStringLiteral("/media/cd rom"));
    EXPECT_EQ((*cd)[0].MediaLoaded, 1);
    EXPECT_EQ(text((*cd)[1].Drive), QStringLiteral("/dev/sr1"));
    EXPECT_EQ((*cd)[1].MediaLoaded, 0);
    EXPECT_EQ(Cm_GetFloppyDriveInfo(0), nullptr);
}

TEST_F(LinuxProviders, SystemRecordsFromProcAndEtc) {
    system.write(QStringLiteral("etc/os-release"),
                 "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
    system.write(QStringLiteral("etc/machine-id"), "0123456789abcdef\n");
    system.write(QStringLiteral("proc/sys/kernel/osrelease"), "6.1.0-18-amd64\n");
    system.write(QStringLiteral("proc/uptime"), "3600.40 7000.00\n");
    system.write(QStringLiteral("proc/meminfo"), "MemTotal:       16384000 kB\n"
                                                 "MemFree:         1000000 kB\n"
                                                 "MemAvailable:    8000000 kB\n"
                                                 "SwapTotal:       2097148 kB\n"
                                                 "SwapFree:        2000000 kB\n");
    QByteArray cpuinfo;
    for (int cpu = 0; cpu < 4; ++cpu)
        cpuinfo += "processor\t: " + QByteArray::number(cpu) +
                   "\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 167\n"
                   "model name\t: Intel(R) Xeon(R) Processor\nstepping\t: 1\n"
                   "cpu MHz\t\t: 2599.998\nphysical id\t: " +
                   QByteArray::number(cpu / 2) + "\n\n";
    system.write(QStringLiteral("proc/cpuinfo"), cpuinfo);
    system.write(QStringLiteral("sys/devices/system/cpu/cpu2/cpufreq/cpuinfo_max_freq"),
                 "3500000\n");
    system.write(QStringLiteral("sys/class/dmi/id/sys_vendor"), "QEMU\n");
    // An OEM-strings table entry: header of 5 bytes, then two strings.
    system.write(QStringLiteral("sys/firmware/dmi/entries/11-0/raw"),
                 QByteArray("\x0b\x05\x00\x01\x02", 5) + QByteArray("one\0two\0\0", 9));

    Owned<CmOperatingSystemRecord> os(Cm_GetOperatingSystemInfo(0));
    ASSERT_TRUE(os);
    EXPECT_EQ(text(os->Caption), QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
    EXPECT_EQ(text(os->Version), QStringLiteral("6.1.0"));
    EXPECT_EQ(text(os->BuildNumber), QStringLiteral("6.1.0-18-amd64"));
    EXPECT_EQ(text(os->CSName), QStringLiteral("testhost"));
    EXPECT_EQ(text(os->BootDevice), QStringLiteral("/dev/sda1"));
    EXPECT_EQ(text(os->SerialNumber), QStringLiteral("0123456789abcdef"));
    EXPECT_EQ(os->TotalVisibleMemorySize, 16384000);
    EXPECT_EQ(os->FreePhysicalMemory, 8000000);
    EXPECT_EQ(os->SizeStoredInPagingFiles, 2097148);
    EXPECT_EQ(os->FreeSpaceInPagingFiles, 2000000);
    EXPECT_EQ(os->OSType, 36);
    const QDateTime now(QDate(2024, 3, 5), QTime(12, 30, 15));
    EXPECT_EQ(os->LocalDateTime, now.toSecsSinceEpoch());
    EXPECT_EQ(os->LastBootUpTime, now.addSecs(-3600).toSecsSinceEpoch());

    Owned<CmComputerSystemRecord> computer(Cm_GetComputerSystemInfo(0));
    ASSERT_TRUE(computer);
    EXPECT_EQ(text(computer->Name), QStringLiteral("testhost"));
    EXPECT_EQ(text(computer->Manufacturer), QStringLiteral("QEMU"));
    EXPECT_EQ(computer->NumberOfProcessors, 2);
    EXPECT_EQ(computer->TotalPhysicalMemory, 16384000ll * 1024);
    EXPECT_EQ(text(computer->OEMStringArray), QStringLiteral("one\ntwo"));

    Owned<CmProcessorBlock> cpus(Cm_GetProcessorInfo(0));
    ASSERT_TRUE(cpus);
    ASSERT_EQ(cpus->nCount, 2) << "one per package";
    EXPECT_EQ(text((*cpus)[1].DeviceID), QStringLiteral("CPU1"));
    EXPECT_EQ(text((*cpus)[0].Name), QStringLiteral("Intel(R) Xeon(R) Processor"));
    EXPECT_EQ(text((*cpus)[0].Manufacturer), QStringLiteral("GenuineIntel"));
    EXPECT_EQ((*cpus)[0].CurrentClockSpeed, 2600);
    EXPECT_EQ((*cpus)[0].MaxClockSpeed, 2600);
    EXPECT_EQ((*cpus)[1].MaxClockSpeed, 3500);
    EXPECT_EQ((*cpus)[0].Revision, (167 << 8) | 1);
}

TEST_F(LinuxProviders, EveryListedClassCanBeQueried) {
    // The class browser offers these names; one it cannot open is a typo in
    // the list or a provider that was never hooked up.
    const SystemClassSource source(system.roots());
    for (const QString& name : source.classNames())
        EXPECT_TRUE(source.instances(name)) << name.toStdString();
    EXPECT_FALSE(source.instances(QStringLiteral("Win32_NoSuchClass")));
}

TEST(MountTable, UndoesTheKernelsEscapes) {
    const QList<MountEntry> entries =
        parseMountTable("/dev/sdb1 /media/a\\040b\\011c\\134d vfat rw,uid=1000 0 0\n"
                        "short line\n"
                        "/dev/sdc1 /odd\\09 ext4 rw 0 0\n");
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].mountPoint, QStringLiteral("/media/a b\tc\\d"));
    EXPECT_EQ(entries[0].options, QStringList({"rw", "uid=1000"}));
    EXPECT_EQ(entries[1].mountPoint, QStringLiteral("/odd\\09")) << "not an octal escape";
}
