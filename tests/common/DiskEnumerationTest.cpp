#include "platform/DiskEnumeration.h"

#include "../support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace vorn::platform;

TEST(DiskEnumeration, LeavesOutVirtualFamilies) {
    for (const char* name : {"loop0", "ram1", "zram0", "md127", "dm-0", "sr0", "fd0", ""})
        EXPECT_FALSE(isPhysicalDiskName(QString::fromLatin1(name))) << name;
    for (const char* name : {"sda", "hdb", "vda", "nvme0n1", "sdaa"})
        EXPECT_TRUE(isPhysicalDiskName(QString::fromLatin1(name))) << name;
}

TEST(DiskEnumeration, OrdersAsTheKernelNamesThem) {
    TestDir sys;
    for (const char* name : {"sdaa", "sdb", "loop0", "nvme0n1", "sda", "vda", "sr0", "sdz"})
        ASSERT_TRUE(QDir().mkpath(sys.path(QStringLiteral("block/") + QLatin1String(name))));
    EXPECT_EQ(physicalDiskNames(sys.path()),
              QStringList({"sda", "sdb", "sdz", "vda", "sdaa", "nvme0n1"}));
}

TEST(DiskEnumeration, MissingSysfsGivesNoDisks) {
    EXPECT_TRUE(physicalDiskNames(QStringLiteral("/nonexistent-sysfs")).isEmpty());
}
