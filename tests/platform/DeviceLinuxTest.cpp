#include "DeviceBackend.h"
#include "DeviceRequests.h"
#include "DiskEnumeration.h"
#include "IoControlCodes.h"
#include "LinuxDevice.h"

#include "../support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <vector>

using namespace vorn::platform;

TEST(DevicePathNames, ParsesTheThreeFamilies) {
    EXPECT_EQ(parseDevicePath(R"(\\.\PhysicalDrive12)")->number, 12);
    EXPECT_EQ(parseDevicePath(R"(\\.\PHYSICALDRIVE0)")->kind, DevicePath::PhysicalDrive);
    EXPECT_EQ(parseDevicePath(R"(\\.\Scsi3:)")->kind, DevicePath::ScsiAdapter);
    EXPECT_EQ(parseDevicePath(R"(\\.\Scsi3:)")->number, 3);
    EXPECT_EQ(parseDevicePath(R"(\\.\smartvsd)")->kind, DevicePath::SmartDriver);
    for (const char* bad :
         {R"(\\.\PhysicalDrive)", R"(\\.\PhysicalDrive1a)", R"(\\.\Scsi3)", R"(\\?\PhysicalDrive0)",
          R"(\\.\PhysicalDrive99999999999)", "PhysicalDrive0", ""})
        EXPECT_FALSE(parseDevicePath(QString::fromLatin1(bad))) << bad;
}

class FakeSysfs : public ::testing::Test {
protected:
    void mkdir(const QString& path) { ASSERT_TRUE(QDir().mkpath(m_sys.path(path))); }
    void scsiDisk(const char* address, const char* name) {
        mkdir(QStringLiteral("class/scsi_device/%1/device/block/%2").arg(address, name));
    }
    TestDir m_sys;
    TestDir m_dev;
};

TEST_F(FakeSysfs, FindsTheDiskAtHostAndTargetOnLunZero) {
    scsiDisk("0:0:0:0", "sda");
    scsiDisk("2:0:1:0", "sdc");
    scsiDisk("2:1:1:0", "sdd");
    scsiDisk("2:0:3:1", "sde");         // LUN 1
    mkdir("class/scsi_device/2:0:4:0"); // a device without a block disk (tape)
    EXPECT_EQ(findScsiDisk(m_sys.path(), 0, 0), "sda");
    EXPECT_EQ(findScsiDisk(m_sys.path(), 2, 1), "sdc");
    EXPECT_EQ(findScsiDisk(m_sys.path(), 2, 3), "");
    EXPECT_EQ(findScsiDisk(m_sys.path(), 2, 4), "");
    EXPECT_EQ(findScsiDisk(m_sys.path(), 1, 0), "");
}

TEST_F(FakeSysfs, OnlyASuspendedRuntimeStateCountsAsAsleep) {
    const struct {
        const char* disk;
        const char* status; // nullptr: no such file
        bool suspended;
    } cases[] = {
        {"sda", "suspended\n", true},  {"sdb", "active\n", false}, {"sdc", "suspending\n", false},
        {"sdd", "unsupported", false}, {"sde", nullptr, false},
    };
    for (const auto& c : cases) {
        const QString power = QStringLiteral("block/%1/device/power").arg(c.disk);
        mkdir(power);
        if (c.status) {
            ASSERT_TRUE(m_sys.write(power + QStringLiteral("/runtime_status"), c.status));
        }
        EXPECT_EQ(isRuntimeSuspended(m_sys.path(), QString::fromLatin1(c.disk)), c.suspended)
            << c.disk;
    }
    EXPECT_FALSE(isRuntimeSuspended(m_sys.path(), QString()));
}

// The open flags of this process's descriptor on path, from procfs; -1
// when no descriptor is open on it.
int OpenFlagsOf(const QString& path) {
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd :
         fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() != path)
            continue;
        QFile info(QStringLiteral("/proc/self/fdinfo/") + fd);
        if (!info.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : info.readAll().split('\n')) {
            if (line.startsWith("flags:"))
                return line.mid(6).trimmed().toInt(nullptr, 8);
        }
    }
    return -1;
}

// Reading S.M.A.R.T. needs no write access, and closing a disk opened for
// writing makes udev probe it again at every refresh.
TEST_F(FakeSysfs, DisksAreOpenedReadOnlyNonBlockingAndNotInherited) {
    mkdir("block/sda");
    ASSERT_TRUE(m_dev.write("sda", QByteArray(512, '\0')));
    const auto backend = makeLinuxDeviceBackend(m_sys.path(), m_dev.path());
    int error = 0;
    const auto disk = backend->open({DevicePath::PhysicalDrive, 0}, &error);
    ASSERT_TRUE(disk);
    const int flags = OpenFlagsOf(QFileInfo(m_dev.path("sda")).canonicalFilePath());
    ASSERT_NE(flags, -1);
    EXPECT_EQ(flags & O_ACCMODE, O_RDONLY);
    EXPECT_EQ(flags & (O_NONBLOCK | O_CLOEXEC), O_NONBLOCK | O_CLOEXEC);
}

TEST_F(FakeSysfs, OpenFailsWithTheRightErrno) {
    mkdir("block/sda");
    mkdir("block/loop0");
    mkdir("class/scsi_host/host1");
    scsiDisk("1:0:0:0", "sda");
    // A regular file stands in for the disk: it opens, but knows no SG_IO.
    ASSERT_TRUE(m_dev.write("sda", QByteArray(4096, '\0')));
    const auto backend = makeLinuxDeviceBackend(m_sys.path(), m_dev.path());

    int error = 0;
    EXPECT_FALSE(backend->open({DevicePath::PhysicalDrive, 1}, &error)); // loop0 is no disk
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(backend->open({DevicePath::ScsiAdapter, 0}, &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(backend->open({DevicePath::SmartDriver}, &error));
    EXPECT_EQ(error, ENOENT);

    const auto disk = backend->open({DevicePath::PhysicalDrive, 0}, &error);
    ASSERT_TRUE(disk);
    std::vector<BYTE> request(35, 0), reply(528, 0xEE);
    request[0] = 36;
    request[5] = request[6] = 1;
    request[9] = 0xA0;
    request[10] = 0xEC;
    DWORD returned = 0;
    EXPECT_EQ(serveDeviceRequest(*disk, win::SMART_RCV_DRIVE_DATA, request.data(), 35, reply.data(),
                                 528, &returned),
              ENOTTY);
    EXPECT_TRUE(std::all_of(reply.begin(), reply.end(), [](BYTE b) { return b == 0; }));

    const auto adapter = backend->open({DevicePath::ScsiAdapter, 1}, &error);
    ASSERT_TRUE(adapter);
    BYTE map = 0;
    EXPECT_EQ(adapter->version({0}, &map), 0);
    EXPECT_EQ(adapter->version({1}, &map), ENODEV);
    BYTE data[512];
    EXPECT_EQ(adapter->execute({1}, {{0, 0, 0, 0, 0, 0, 0xEC}, true}, data).transportError, ENODEV);
    EXPECT_EQ(adapter->execute({0}, {{0, 0, 0, 0, 0, 0, 0xEC}, true}, data).transportError, ENOTTY);
}

TEST_F(FakeSysfs, KernelNamesWithASlashOpenTheirNodeInASubfolder) {
    mkdir("block/cciss!c0d0");
    ASSERT_TRUE(QDir().mkpath(m_dev.path("cciss")));
    ASSERT_TRUE(m_dev.write("cciss/c0d0", QByteArray(512, '\0')));
    const auto backend = makeLinuxDeviceBackend(m_sys.path(), m_dev.path());
    int error = 0;
    EXPECT_TRUE(backend->open({DevicePath::PhysicalDrive, 0}, &error)) << "errno " << error;
}

// Talks to the machine's own disks; most build machines have none that
// speaks ATA, and then the test says so instead of passing silently.
TEST(RealDisk, IdentifyAnswersOnAnAtaDisk) {
    const auto backend = makeLinuxDeviceBackend();
    const QStringList disks = physicalDiskNames();
    QStringList tried;
    for (int n = 0; n < disks.size(); ++n) {
        int error = 0;
        const auto device = backend->open({DevicePath::PhysicalDrive, n}, &error);
        if (!device) {
            tried << QStringLiteral("%1: open errno %2").arg(disks[n]).arg(error);
            continue;
        }
        std::vector<BYTE> request(35, 0), reply(528, 0);
        request[0] = 36;
        request[5] = request[6] = 1;
        request[9] = BYTE(n % 2 ? 0xB0 : 0xA0);
        request[10] = 0xEC;
        request[12] = BYTE(n);
        DWORD returned = 0;
        const int result = serveDeviceRequest(*device, win::SMART_RCV_DRIVE_DATA, request.data(),
                                              35, reply.data(), 528, &returned);
        if (result != 0) {
            tried << QStringLiteral("%1: errno %2").arg(disks[n]).arg(result);
            continue;
        }
        // A real IDENTIFY: a model text and, with the signature, a checksum.
        const BYTE* identify = reply.data() + 16;
        EXPECT_NE(identify[54], 0) << disks[n].toStdString();
        if (identify[510] == 0xA5) {
            BYTE sum = 0;
            for (int i = 0; i < 512; ++i)
                sum = BYTE(sum + identify[i]);
            EXPECT_EQ(sum, 0) << disks[n].toStdString();
        }
        return;
    }
    GTEST_SKIP() << "skipped: no ATA disk reachable (" << tried.join(", ").toStdString() << ")";
}
