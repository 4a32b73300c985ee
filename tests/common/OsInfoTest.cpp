#include "OsInfo.h"
#include "SystemFacts.h"

#include "../support/ScopedSimMachine.h"
#include "../support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(OsKind, EveryRowOfTheTable) {
    const struct {
        DWORD platform, major, minor;
        BYTE productType;
        int kind;
    } rows[] = {
        {1, 4, 0, 0, 1},   {1, 4, 9, 0, 1},  {1, 4, 10, 0, 2}, {1, 4, 89, 0, 2}, {1, 4, 90, 0, 3},
        {1, 4, 255, 0, 3}, {2, 3, 51, 1, 4}, {2, 0, 0, 0, 4},  {2, 4, 0, 1, 5},  {2, 4, 0, 3, 5},
        {2, 5, 0, 1, 6},   {2, 5, 1, 1, 7},  {2, 5, 2, 3, 8},  {2, 5, 9, 3, 8},  {2, 6, 0, 1, 9},
        {2, 6, 1, 1, 9},   {2, 6, 0, 3, 10}, {2, 6, 1, 2, 10}, {2, 6, 2, 0, 10}, {2, 7, 0, 1, 0},
        {2, 10, 0, 1, 0},  {0, 3, 10, 0, 0}, {3, 4, 0, 0, 0},  {0, 0, 0, 0, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(COsInfo::KindOf(r.platform, r.major, r.minor, r.productType), r.kind)
            << r.platform << " " << r.major << "." << r.minor << " type " << int(r.productType);
}

win::OSVERSIONINFOEXW versionOf(DWORD platform, DWORD major, DWORD minor, DWORD build,
                                BYTE productType, WORD suite, const char16_t* csd) {
    win::OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    version.dwPlatformId = platform;
    version.dwMajorVersion = major;
    version.dwMinorVersion = minor;
    version.dwBuildNumber = build;
    version.wProductType = productType;
    version.wSuiteMask = suite;
    std::memcpy(version.szCSDVersion, csd, std::char_traits<char16_t>::length(csd) * 2);
    return version;
}

TEST(OsName, ComposesWindowsNames) {
    const struct {
        win::OSVERSIONINFOEXW version;
        DWORD productInfo;
        const char* expected;
    } cases[] = {
        {versionOf(1, 4, 10, 0x040A08AE, 0, 0, u" A "), 0, "Windows 98 A (Build 2222)"},
        {versionOf(1, 4, 90, 0, 0, 0, u""), 0, "Windows Me"},
        {versionOf(2, 3, 51, 1057, 1, 0, u""), 0, "Windows NT 3.51 (Build 1057)"},
        {versionOf(2, 5, 0, 2195, 3, 0x0002, u""), 0, "Windows 2000 Advanced Server (Build 2195)"},
        {versionOf(2, 5, 1, 2600, 1, 0x0200, u"Service Pack 2"), 0,
         "Windows XP Home Edition Service Pack 2 (Build 2600)"},
        {versionOf(2, 5, 2, 3790, 3, 0x0400, u""), 0,
         "Windows Server 2003 Web Server Edition (Build 3790)"},
        {versionOf(2, 6, 0, 6000, 1, 0, u""), 3, "Windows Vista Home Premium (Build 6000)"},
        {versionOf(2, 6, 0, 6001, 3, 0, u"Service Pack 1"), 8,
         "Windows Server 2008 Datacenter Service Pack 1 (Build 6001)"},
        {versionOf(2, 10, 0, 0, 1, 0, u""), 0, "Windows 10"},
        {versionOf(2, 10, 0, 22631, 1, 0, u""), 0x30, "Windows 11 Professional (Build 22631)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(COsInfo::WindowsName(c.version, c.productInfo), QLatin1String(c.expected));
}

TEST(OsName, LinuxDescriptionFromOsRelease) {
    const QByteArray osRelease = "# comment\n"
                                 "NAME=\"Debian GNU/Linux\"\n"
                                 "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                                 "VERSION='12 (bookworm)'\n"
                                 "ID=debian\n"
                                 "QUOTED=\"say \\\"hi\\\"\"\n";
    EXPECT_EQ(vorn::sysinfo::osReleaseValue(osRelease, "ID"), QStringLiteral("debian"));
    EXPECT_EQ(vorn::sysinfo::osReleaseValue(osRelease, "VERSION"), QStringLiteral("12 (bookworm)"));
    EXPECT_EQ(vorn::sysinfo::osReleaseValue(osRelease, "QUOTED"), QStringLiteral("say \"hi\""));
    EXPECT_EQ(vorn::sysinfo::osReleaseValue(osRelease, "MISSING"), QString());

    EXPECT_EQ(vorn::sysinfo::describeLinux(osRelease, "Linux", "6.1.0-18-amd64"),
              QStringLiteral("Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64"));
    EXPECT_EQ(vorn::sysinfo::describeLinux("NAME=Alpine\nVERSION=3.19\n", "Linux", "6.6"),
              QStringLiteral("Alpine 3.19, Linux 6.6"));
    EXPECT_EQ(vorn::sysinfo::describeLinux("", "Linux", "6.6"), QStringLiteral("Linux 6.6"));
}

class OsInfoMachine : public ::testing::Test {
protected:
    ScopedSimMachine m_sim;
};

TEST_F(OsInfoMachine, LinuxReportsTheModernUnknownKind) {
    if (vorn::platform::InstalledSimMachine())
        GTEST_SKIP() << "a simulated machine is installed";
    COsInfo os;
    EXPECT_EQ(os.GetPlatform(), 2u);
    EXPECT_EQ(os.GetKind(), 0);
    EXPECT_TRUE(os.GetName().contains(QStringLiteral("Linux"))) << os.GetName().toStdString();
}

TEST_F(OsInfoMachine, SimulatedWindowsVersionDrivesTheKind) {
    TestDir machine;
    ASSERT_TRUE(
        machine.write(QStringLiteral("machine.ini"),
                      "[Machine]\r\nPlatform=2\r\nMajorVersion=5\r\nMinorVersion=1\r\n"
                      "BuildNumber=2600\r\nProductType=1\r\nCSDVersion=Service Pack 3\r\n"));
    m_sim.install(machine.path());
    COsInfo os;
    EXPECT_EQ(os.GetKind(), 7);
    EXPECT_EQ(os.GetBuildNum(), 2600u);
    EXPECT_EQ(os.GetCSDVer(), QStringLiteral("Service Pack 3"));
    EXPECT_EQ(os.GetName(), QStringLiteral("Windows XP Professional Service Pack 3 (Build 2600)"));
}

} // namespace
