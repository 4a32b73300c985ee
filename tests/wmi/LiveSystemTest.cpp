#include <WmiObject.h>
#include <WmiPaths.h>
#include <WmiQueries.h>

#include <platform/DiskEnumeration.h>
#include <platform/SimMachine.h>

#include <QFile>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

// The providers on the machine the tests run on: whatever is there must be
// listed the way the shared numbering and the mount table describe it.
namespace {

struct FreeBlock {
    void operator()(void* p) const { std::free(p); }
};

} // namespace

TEST(LiveSystem, ListsThisMachinesDisksAndVolumes) {
    if (vorn::platform::currentSimMachine())
        GTEST_SKIP() << "a simulated machine is selected";
    vorn::wmi::installClassSource(nullptr);
    const QStringList names = vorn::platform::physicalDiskNames();
    std::unique_ptr<CmDiskDriveBlock, FreeBlock> disks(Cm_GetDiskDriveInfo(0));
    ASSERT_EQ(disks ? disks->nCount : 0, names.size());
    for (int i = 0; disks && i < disks->nCount; ++i) {
        EXPECT_EQ((*disks)[i].Index, i);
        EXPECT_EQ(QString::fromUtf16((*disks)[i].Status), QStringLiteral("OK"));
    }

    std::unique_ptr<CmLogicalDiskPartitionBlock, FreeBlock> volumes(
        Cm_GetLogicalDiskPartitionInfo(0));
    for (int i = 0; volumes && i < volumes->nCount; ++i) {
        const int disk = Cm_GetPartitionDiskNumber((*volumes)[i].Antecedent);
        EXPECT_GE(disk, 0);
        EXPECT_LT(disk, names.size());
        EXPECT_FALSE(Cm_GetVolumeDriveName((*volumes)[i].Dependent).isEmpty());
    }

    std::unique_ptr<CmLogicalDiskBlock, FreeBlock> logical(Cm_GetLogicalDiskInfo(0));
    std::unique_ptr<CmProcessorBlock, FreeBlock> cpus(Cm_GetProcessorInfo(0));
    std::unique_ptr<CmOperatingSystemRecord, FreeBlock> os(Cm_GetOperatingSystemInfo(0));
    std::unique_ptr<CmComputerSystemRecord, FreeBlock> computer(Cm_GetComputerSystemInfo(0));
    std::unique_ptr<CmRemovableDriveBlock, FreeBlock> cd(Cm_GetCDROMDriveInfo(0));
    std::unique_ptr<CmRemovableDriveBlock, FreeBlock> floppy(Cm_GetFloppyDriveInfo(0));
    ASSERT_TRUE(os);
    ASSERT_TRUE(computer);
    if (QFile::exists(QStringLiteral("/proc/cpuinfo"))) {
        EXPECT_TRUE(cpus);
    }
    EXPECT_GT(os->TotalVisibleMemorySize, 0);
}
