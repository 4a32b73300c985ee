#include "DeviceBackendInstall.h"
#include "DeviceIo.h"
#include "LastError.h"
#include "OsVersion.h"
#include "SimMachineInstall.h"

#include "../support/CountingDevice.h"
#include "../support/ScopedSimMachine.h"
#include "../support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

using namespace vorn::platform;

namespace {

// Answers every open with one errno (0: a device that counts), and keeps
// the paths it was given.
class RecordingBackend : public DeviceBackend {
public:
    explicit RecordingBackend(int error) : m_error(error) {}
    std::unique_ptr<OpenDevice> open(const DevicePath& path, int* error) override {
        opened.push_back(path);
        *error = m_error;
        return m_error ? nullptr : std::make_unique<CountingDevice>();
    }
    std::vector<DevicePath> opened;

private:
    int m_error;
};

// The errno of an open of name, 0 when it opened (and is closed again).
DWORD openError(const char16_t* name) {
    const HANDLE handle = win::CreateFileW(name, 0, 0, nullptr, 3, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return win::GetLastError();
    win::CloseHandle(handle);
    return 0;
}

class DeviceBackendInstall : public ::testing::Test {
protected:
    void TearDown() override { InstallDeviceBackend(nullptr); }
};

TEST_F(DeviceBackendInstall, AnInstalledBackendWinsOverTheRealMachineUntilItIsTakenAway) {
    const std::shared_ptr<DeviceBackend> real = InstalledDeviceBackend();
    ASSERT_TRUE(real);
    const auto fake = std::make_shared<RecordingBackend>(0);
    InstallDeviceBackend(fake);
    EXPECT_EQ(InstalledDeviceBackend(), fake);
    EXPECT_EQ(openError(u"\\\\.\\physicaldrive07"), 0u);
    ASSERT_EQ(fake->opened.size(), 1u);
    EXPECT_EQ(fake->opened[0], (DevicePath{DevicePath::PhysicalDrive, 7}));

    InstallDeviceBackend(nullptr);
    EXPECT_EQ(InstalledDeviceBackend(), real) << "the real machine's choice is made once";
}

TEST_F(DeviceBackendInstall, ARefusalIsForgottenWhenAnotherBackendIsInstalled) {
    InstallDeviceBackend(std::make_shared<RecordingBackend>(EACCES));
    EXPECT_EQ(openError(u"\\\\.\\Scsi1:"), DWORD(EACCES));
    EXPECT_TRUE(deviceAccessDenied());
    InstallDeviceBackend(std::make_shared<RecordingBackend>(ENOENT));
    EXPECT_FALSE(deviceAccessDenied());

    InstallDeviceBackend(std::make_shared<RecordingBackend>(EACCES));
    EXPECT_EQ(openError(u"\\\\.\\Scsi1:"), DWORD(EACCES));
    InstallDeviceBackend(nullptr);
    EXPECT_FALSE(deviceAccessDenied());
}

// Even a backend that refuses everything never hears of such a name, so it
// can neither open it nor blame the failure on permission.
TEST_F(DeviceBackendInstall, ANameThatIsNoDevicePathNeverReachesABackend) {
    const auto fake = std::make_shared<RecordingBackend>(EACCES);
    InstallDeviceBackend(fake);
    for (const char16_t* name :
         {u"/dev/sda", u"", u"\\\\.\\PhysicalDrive", u"\\\\.\\PhysicalDrive-1",
          u"\\\\.\\PhysicalDrive1234567890", u"\\\\.\\Scsi2", u"\\\\?\\PhysicalDrive0"}) {
        EXPECT_EQ(openError(name), DWORD(ENOENT));
    }
    EXPECT_TRUE(fake->opened.empty());
    EXPECT_FALSE(deviceAccessDenied());
}

TEST(DevicePathText, IsTheSpellingTheLibraryOpensAndReadsBackAsItsValue) {
    const struct {
        DevicePath path;
        const char* text;
    } cases[] = {
        {{DevicePath::PhysicalDrive, 0}, R"(\\.\PhysicalDrive0)"},
        {{DevicePath::ScsiAdapter, 12}, R"(\\.\Scsi12:)"},
        {{DevicePath::SmartDriver, 0}, R"(\\.\SMARTVSD)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DevicePathText(c.path), QLatin1String(c.text));
        EXPECT_EQ(parseDevicePath(QLatin1String(c.text)), c.path) << c.text;
    }
}

// A Windows 98 machine: only its backend opens the 9x driver, and only its
// version says platform 1.
class SimMachineInstall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.write(QStringLiteral("machine.ini"),
                                "[Machine]\nPlatform=1\nMajorVersion=4\nMinorVersion=10\n"));
    }
    void TearDown() override {
        qunsetenv("VORN_SIM");
        InstallSimMachine(nullptr);
    }

    void expectRealMachine() {
        EXPECT_FALSE(InstalledSimMachine());
        EXPECT_FALSE(vorn::os::ReportedVersion());
        EXPECT_EQ(openError(u"\\\\.\\SMARTVSD"), DWORD(ENOENT));
    }
    void expectSimulated() {
        ASSERT_TRUE(InstalledSimMachine());
        EXPECT_EQ(InstalledSimMachine()->directory, QDir(m_dir.path()).absolutePath());
        ASSERT_TRUE(vorn::os::ReportedVersion());
        EXPECT_EQ(vorn::os::ReportedVersion()->platform, 1u);
        EXPECT_EQ(openError(u"\\\\.\\SMARTVSD"), 0u);
    }

    TestDir m_dir;
};

TEST_F(SimMachineInstall, AScopedMachineIsWholeWhileItLivesAndGoneAfter) {
    expectRealMachine();
    {
        ScopedSimMachine machine(m_dir.path());
        expectSimulated();
    }
    expectRealMachine();
}

TEST_F(SimMachineInstall, TheEnvironmentNamesAFolderOrTheRealMachine) {
    qputenv("VORN_SIM", m_dir.path().toLocal8Bit());
    const std::shared_ptr<const SimMachine> machine = InstallMachineFromEnvironment();
    EXPECT_EQ(machine, InstalledSimMachine());
    expectSimulated();
    qputenv("VORN_SIM", m_dir.path(QStringLiteral("machine.ini")).toLocal8Bit());
    EXPECT_FALSE(InstallMachineFromEnvironment());
    expectRealMachine();
}

} // namespace
