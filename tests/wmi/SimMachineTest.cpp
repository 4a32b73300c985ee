#include "QueryResults.h"

#include <WmiObject.h>
#include <WmiPaths.h>
#include <WmiQueries.h>

#include "../support/ScopedSimMachine.h"
#include "../support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

using wmitest::Owned;
using wmitest::text;

namespace {

class SimulatedMachine : public ::testing::Test {
protected:
    void SetUp() override { vorn::wmi::installClassSource(nullptr); }
    ScopedSimMachine m_sim;
};

} // namespace

TEST_F(SimulatedMachine, SampleDisksAndVolumes) {
    m_sim.install(QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine"));
    Owned<CmDiskDriveBlock> disks(Cm_GetDiskDriveInfo(0));
    ASSERT_TRUE(disks);
    ASSERT_EQ(disks->nCount, 6);
    // Size is text beyond 32 bits; the SCSI numbers are 32-bit properties.
    EXPECT_EQ((*disks)[0].Size, 2000396321280ll);
    EXPECT_EQ((*disks)[1].SCSIPort, 1);
    EXPECT_EQ((*disks)[1].SCSITargetId, 1);
    for (int i = 0; i < disks->nCount; ++i)
        EXPECT_EQ((*disks)[i].Index, i);

    Owned<CmLogicalDiskPartitionBlock> volumes(Cm_GetLogicalDiskPartitionInfo(0));
    ASSERT_TRUE(volumes);
    QStringList byDisk;
    for (const CmLogicalDiskPartitionRecord& r : *volumes)
        byDisk << QStringLiteral("%1=%2")
                      .arg(Cm_GetPartitionDiskNumber(r.Antecedent))
                      .arg(Cm_GetVolumeDriveName(r.Dependent));
    EXPECT_EQ(byDisk.mid(0, 5), QStringList({"0=C:", "0=D:", "1=E:", "2=F:", "2=/srv/backup"}));
    EXPECT_TRUE(byDisk.contains(QStringLiteral("5=/home")));

    Owned<CmOperatingSystemRecord> os(Cm_GetOperatingSystemInfo(0));
    ASSERT_TRUE(os);
    EXPECT_EQ(text(os->Version), QStringLiteral("6.1"));
    EXPECT_EQ(text(os->BuildNumber), QStringLiteral("7601"));
    EXPECT_EQ(text(os->CSDVersion), QStringLiteral("Service Pack 1"));
    EXPECT_EQ(os->OSType, 18);
    EXPECT_EQ(os->ProductType, 1);
}

TEST_F(SimulatedMachine, DiskWithoutSizeAndAPartitionWithTwoNames) {
    TestDir dir;
    QDir().mkpath(dir.path(QStringLiteral("a")));
    QDir().mkpath(dir.path(QStringLiteral("b")));
    dir.write(QStringLiteral("machine.ini"),
              "[Machine]\nPlatform=1\nMajorVersion=4\nMinorVersion=10\nProductType=1\n");
    dir.write(QStringLiteral("a/disk.ini"), "[Drive]\nIndex=12\nModel=Twelve\n"
                                            "MediaType=Fixed hard disk media\n"
                                            "[Volumes]\nPartition1=C:\nPartition2=D:, E:\n");
    dir.write(QStringLiteral("b/disk.ini"), "[Drive]\nModel=NoIndex\nSize=\n");
    m_sim.install(dir.path());

    Owned<CmDiskDriveBlock> disks(Cm_GetDiskDriveInfo(0));
    ASSERT_TRUE(disks);
    ASSERT_EQ(disks->nCount, 2);
    EXPECT_EQ((*disks)[0].Index, 12);
    EXPECT_EQ((*disks)[0].Size, 0);
    EXPECT_EQ(text((*disks)[1].Model), QStringLiteral("NoIndex"));
    EXPECT_EQ((*disks)[1].Size, 0);

    Owned<CmLogicalDiskPartitionBlock> volumes(Cm_GetLogicalDiskPartitionInfo(0));
    ASSERT_TRUE(volumes);
    ASSERT_EQ(volumes->nCount, 3);
    EXPECT_TRUE(
        text((*volumes)[2].Antecedent).endsWith(QLatin1String("\"Disk #12, Partition #1\"")));
    EXPECT_EQ(Cm_GetPartitionDiskNumber((*volumes)[2].Antecedent), 12);
    EXPECT_EQ(Cm_GetVolumeDriveName((*volumes)[1].Dependent), QStringLiteral("D:"));
    EXPECT_EQ(Cm_GetVolumeDriveName((*volumes)[2].Dependent), QStringLiteral("E:"));

    Owned<CmOperatingSystemRecord> os(Cm_GetOperatingSystemInfo(0));
    ASSERT_TRUE(os);
    EXPECT_EQ(text(os->Version), QStringLiteral("4.10"));
    EXPECT_EQ(os->OSType, 17);
}
