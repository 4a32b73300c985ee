#include "NvmeCommandSet.h"
#include "LinuxDevice.h"
#include "SimDevice.h"
#include "SimMachine.h"

#include <QDir>
#include <gtest/gtest.h>

#include "../support/CountingDevice.h"
#include "../support/TempDir.h"

#include <cerrno>
#include <vector>

namespace {

using namespace vorn::platform;

NvmeAdminCommand with(NvmeAdminCommand command, void (*change)(NvmeAdminCommand&)) {
    change(command);
    return command;
}

TEST(NvmeCommandSetTest, OnlyTheSuitesReadsPass) {
    struct Case {
        const char* what;
        NvmeAdminCommand command;
        nvme::CommandClass expected;
    };
    using nvme::CommandClass;
    const Case cases[] = {
        {"identify controller", nvme::identifyController(), CommandClass::Read},
        {"identify namespace 1", nvme::identifyNamespace(1), CommandClass::Read},
        {"health log", nvme::getLogPage(nvme::kLogHealth, nvme::kAllNamespaces, 512),
         CommandClass::Read},
        {"error log, 64 entries", nvme::getLogPage(nvme::kLogErrorInformation, 0, 4096),
         CommandClass::Read},
        {"self-test log", nvme::getLogPage(nvme::kLogSelfTest, 0, 564), CommandClass::Read},
        {"health log, first 4 bytes", nvme::getLogPage(nvme::kLogHealth, 0, 4), CommandClass::Read},
        // Everything that acts on the controller or the medium.
        {"format NVM", with({}, [](NvmeAdminCommand& c) { c.opcode = 0x80; }),
         CommandClass::Refused},
        {"sanitize", with({}, [](NvmeAdminCommand& c) { c.opcode = 0x84; }), CommandClass::Refused},
        {"set features",
         with(nvme::identifyController(), [](NvmeAdminCommand& c) { c.opcode = 0x09; }),
         CommandClass::Refused},
        {"firmware download", with({}, [](NvmeAdminCommand& c) { c.opcode = 0x11; }),
         CommandClass::Refused},
        {"vendor specific",
         with(nvme::identifyController(), [](NvmeAdminCommand& c) { c.opcode = 0xC0; }),
         CommandClass::Refused},
        // Reads asked for in a shape the suite never uses.
        {"identify, active namespace list",
         with(nvme::identifyController(), [](NvmeAdminCommand& c) { c.cdw10 = 0x02; }),
         CommandClass::Refused},
        {"identify controller with a namespace",
         with(nvme::identifyController(), [](NvmeAdminCommand& c) { c.nsid = 1; }),
         CommandClass::Refused},
        {"identify namespace 0", nvme::identifyNamespace(0), CommandClass::Refused},
        {"identify namespace of all", nvme::identifyNamespace(nvme::kAllNamespaces),
         CommandClass::Refused},
        {"identify into a short buffer",
         with(nvme::identifyController(), [](NvmeAdminCommand& c) { c.dataLength = 512; }),
         CommandClass::Refused},
        {"firmware slot log", nvme::getLogPage(0x03, 0, 512), CommandClass::Refused},
        {"health log past its size", nvme::getLogPage(nvme::kLogHealth, 0, 516),
         CommandClass::Refused},
        {"length and dword count disagree",
         with(nvme::getLogPage(nvme::kLogHealth, 0, 512),
              [](NvmeAdminCommand& c) { c.dataLength = 256; }),
         CommandClass::Refused},
        {"log from an offset",
         with(nvme::getLogPage(nvme::kLogHealth, 0, 512), [](NvmeAdminCommand& c) { c.cdw12 = 4; }),
         CommandClass::Refused},
        {"log specific field",
         with(nvme::getLogPage(nvme::kLogHealth, 0, 512),
              [](NvmeAdminCommand& c) { c.cdw10 |= 0x0100; }),
         CommandClass::Refused},
        {"no data", nvme::getLogPage(nvme::kLogHealth, 0, 0), CommandClass::Refused},
        // Device Self-test: short, extended, abort of the whole controller.
        {"short self-test", nvme::deviceSelfTest(nvme::kSelfTestShort), CommandClass::SelfTest},
        {"extended self-test", nvme::deviceSelfTest(nvme::kSelfTestExtended),
         CommandClass::SelfTest},
        {"self-test abort", nvme::deviceSelfTest(nvme::kSelfTestAbort), CommandClass::SelfTest},
        {"self-test without namespaces",
         with(nvme::deviceSelfTest(1), [](NvmeAdminCommand& c) { c.nsid = 0; }),
         CommandClass::SelfTest},
        {"vendor self-test code", nvme::deviceSelfTest(0xE), CommandClass::Refused},
        {"self-test of namespace 1",
         with(nvme::deviceSelfTest(1), [](NvmeAdminCommand& c) { c.nsid = 1; }),
         CommandClass::Refused},
        {"self-test with reserved bits",
         with(nvme::deviceSelfTest(1), [](NvmeAdminCommand& c) { c.cdw10 |= 0x100; }),
         CommandClass::Refused},
        {"self-test asking for data",
         with(nvme::deviceSelfTest(2), [](NvmeAdminCommand& c) { c.dataLength = 4; }),
         CommandClass::Refused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nvme::classifyCommand(c.command), c.expected) << c.what;
}

class AtaOnlyDevice : public CountingDevice {
protected:
    NvmeOutcome executeNvmeAllowed(const NvmeAdminCommand& c, BYTE* data) override {
        return OpenDevice::executeNvmeAllowed(c, data);
    }
};

TEST(NvmeCommandSetTest, TheDoorStopsRefusedCommandsBeforeAnyBackend) {
    CountingDevice device;
    std::vector<BYTE> data(4096);
    NvmeAdminCommand format;
    format.opcode = 0x80;
    EXPECT_EQ(device.executeNvme(format, data.data()).transportError, EPERM);
    EXPECT_EQ(device.executeNvme(nvme::identifyNamespace(0), data.data()).transportError, EPERM);
    EXPECT_EQ(device.nvmeReached, 0);
    EXPECT_TRUE(device.executeNvme(nvme::identifyController(), data.data()).succeeded());
    EXPECT_EQ(device.nvmeReached, 1);
    // A device that knows no NVMe answers as the kernel does.
    AtaOnlyDevice ata;
    EXPECT_EQ(ata.executeNvme(nvme::identifyController(), data.data()).transportError, ENOTTY);
}

TEST(NvmeLinuxFacts, NamespaceIdAndLinkFromSysfs) {
    TestDir sys;
    const auto file = [&](const QString& name, const QByteArray& text) {
        QDir().mkpath(QFileInfo(sys.path(name)).path());
        ASSERT_TRUE(sys.write(name, text));
    };
    file(QStringLiteral("block/nvme0n2/nsid"), "2\n");
    file(QStringLiteral("block/nvme0n2/device/device/max_link_speed"), "8.0 GT/s PCIe\n");
    file(QStringLiteral("block/nvme0n2/device/device/max_link_width"), "4\n");
    file(QStringLiteral("block/nvme0n2/device/device/current_link_speed"), "Unknown\n");
    file(QStringLiteral("block/nvme0n2/device/device/current_link_width"), "255\n");
    // A multipath head: the controller of the same number tells the link.
    file(QStringLiteral("block/nvme1n1/nsid"), "1\n");
    file(QStringLiteral("class/nvme/nvme1/device/current_link_speed"), "16.0 GT/s PCIe\n");

    const auto first = nvmeFactsOf(sys.path(), QStringLiteral("nvme0n2"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->namespaceId, 2u);
    EXPECT_EQ(first->link.maxSpeed, QStringLiteral("8.0 GT/s PCIe"));
    EXPECT_EQ(first->link.maxWidth, QStringLiteral("4"));
    EXPECT_TRUE(first->link.currentSpeed.isEmpty());
    EXPECT_TRUE(first->link.currentWidth.isEmpty());
    const auto second = nvmeFactsOf(sys.path(), QStringLiteral("nvme1n1"));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->link.currentSpeed, QStringLiteral("16.0 GT/s PCIe"));
    for (const char* other : {"sda", "nvme0", "nvme0n1p1", "vda"})
        EXPECT_FALSE(nvmeFactsOf(sys.path(), QLatin1String(other))) << other;
}

TEST(NvmeSimMachine, DiskSettingsAndImages) {
    SimDisk disk;
    SimParseError error;
    ASSERT_TRUE(
        parseSimDiskIni("[Device]\nProtocol=NVMe\nNamespace=3\nMaxLinkWidth=4\n", &disk, &error));
    EXPECT_TRUE(disk.device.nvme);
    EXPECT_EQ(disk.device.nvmeNamespace, 3u);
    EXPECT_EQ(disk.device.pcieLink.maxWidth, QStringLiteral("4"));
    for (const char* bad : {"[Device]\nProtocol=SCSI\n", "[Device]\nNamespace=0\n"}) {
        SimDisk other;
        EXPECT_FALSE(parseSimDiskIni(bad, &other, &error)) << bad;
    }
    const QByteArray identify = QByteArray(4096, '\x11').toHex(' ');
    EXPECT_EQ(parseSimImageHex(identify, 4096, &error)->size(), 4096);
    EXPECT_FALSE(parseSimSectorHex(identify, &error));
}

TEST(NvmeSimMachine, PowerOnHoursCarryThroughAll128Bits) {
    QByteArray log(512, '\0');
    for (int i = 128; i < 136; ++i)
        log[i] = char(0xFF);
    addToNvmePowerOnHours(&log, 1);
    for (int i = 128; i < 136; ++i)
        EXPECT_EQ(log[i], '\0') << i;
    EXPECT_EQ(log[136], '\1');
}

} // namespace
