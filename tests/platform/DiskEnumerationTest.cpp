#include "DiskEnumeration.h"

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

TEST(DiskEnumeration, NvmeNamesYieldTheirControllerAndNothingElseDoes) {
    const auto controllerOf = [](const char* name) {
        const auto parts = parseNvmeNamespaceName(QString::fromUtf8(name));
        return parts
                   ? parts->controller + (parts->throughPath ? QStringLiteral(" path") : QString())
                   : QStringLiteral("-");
    };
    EXPECT_EQ(controllerOf("nvme0n1"), QStringLiteral("nvme0"));
    EXPECT_EQ(controllerOf("nvme12n345"), QStringLiteral("nvme12"));
    EXPECT_EQ(controllerOf("nvme3c10n2"), QStringLiteral("nvme3 path"));
    // Partitions, controllers, half names and digits of other scripts.
    for (const char* other : {"nvme0n1p1", "nvme0", "nvme0c1", "nvme0n", "nvmen1", "nvme0cn1",
                              "nvme0n1 ", "sda", "", "nvme\u0663n1"})
        EXPECT_EQ(controllerOf(other), QStringLiteral("-")) << other;
}
