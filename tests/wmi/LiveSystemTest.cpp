#include "QueryResults.h"

#include <WmiObject.h>
#include <WmiPaths.h>
#include <WmiQueries.h>

#include "DiskEnumeration.h"
#include "SimMachineInstall.h"

#include <QFile>
#include <gtest/gtest.h>

using wmitest::Owned;

// The providers on the machine the tests run on: whatever is there must be
// listed the way the shared numbering and the mount table describe it.
TEST(LiveSystem, ListsThisMachinesDisksAndVolumes) {
    if (vorn::platform::InstalledSimMachine())
        GTEST_SKIP() << "a simulated machine is installed";
    vorn::wmi::installClassSource(nullptr);
    const QStringList names = vorn::platform::physicalDiskNames();
    Owned<CmDiskDriveBlock> disks(Cm_GetDiskDriveInfo(0));
    ASSERT_EQ(disks ? disks->nCount : 0, names.size());
    for (int i = 0; disks && i < disks->nCount; ++i) {
        EXPECT_EQ((*disks)[i].Index, i);
        EXPECT_EQ(wmitest::text((*disks)[i].Status), QStringLiteral("OK"));
    }

    Owned<CmLogicalDiskPartitionBlock> volumes(Cm_GetLogicalDiskPartitionInfo(0));
    for (int i = 0; volumes && i < volumes->nCount; ++i) {
        const int disk = Cm_GetPartitionDiskNumber((*volumes)[i].Antecedent);
        EXPECT_GE(disk, 0);
        EXPECT_LT(disk, names.size());
        EXPECT_FALSE(Cm_GetVolumeDriveName((*volumes)[i].Dependent).isEmpty());
    }

    Owned<CmLogicalDiskBlock> logical(Cm_GetLogicalDiskInfo(0));
    Owned<CmProcessorBlock> cpus(Cm_GetProcessorInfo(0));
    Owned<CmOperatingSystemRecord> os(Cm_GetOperatingSystemInfo(0));
    Owned<CmComputerSystemRecord> computer(Cm_GetComputerSystemInfo(0));
    Owned<CmRemovableDriveBlock> cd(Cm_GetCDROMDriveInfo(0));
    Owned<CmRemovableDriveBlock> floppy(Cm_GetFloppyDriveInfo(0));
    ASSERT_TRUE(os);
    ASSERT_TRUE(computer);
    if (QFile::exists(QStringLiteral("/proc/cpuinfo"))) {
        EXPECT_TRUE(cpus);
    }
    EXPECT_GT(os->TotalVisibleMemorySize, 0);
}
