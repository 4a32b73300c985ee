#include "NvmeDecoder.h"
#include "ByteOrder.h"
#include "CHdd.h"
#include "ErrorLog.h"
#include "WideText.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "../support/ScopedSimMachine.h"
#include "../support/TempDir.h"

#include <array>
#include <cstring>

namespace {

using vorn::nvme::Uint128;

using Identify = std::array<BYTE, 4096>;
using Log = std::array<BYTE, 512>;

void put(BYTE* image, std::size_t offset, std::size_t size, Uint128 value) {
    vorn::le::writeUnsigned(image, offset + size, offset, size, value);
}

TEST(NvmeIdentify, TextsAreTrimmedAndStopAtPadding) {
    Identify image{};
    std::memcpy(&image[4], "  S3EV123   \0\0\0\0\0\0\0\0", 20);
    std::memcpy(&image[24], "Example SSD 970                         ", 40);
    std::memcpy(&image[64], "2B2Q\x01   ", 8); // an unprintable byte is no character
    put(image.data(), 80, 4, 0x00010300);
    const auto id = vorn::nvme::decodeIdentifyController(image.data(), image.size());
    EXPECT_EQ(id.serial, QStringLiteral("S3EV123"));
    EXPECT_EQ(id.model, QStringLiteral("Example SSD 970"));
    EXPECT_EQ(id.firmware, QStringLiteral("2B2Q?"));
    EXPECT_EQ(id.version, 0x00010300u);
    // A short image reads as empty rather than past its end.
    EXPECT_TRUE(vorn::nvme::decodeIdentifyController(image.data(), 30).model.isEmpty());
}

TEST(NvmeIdentify, VersionTexts) {
    const std::pair<DWORD, const char*> cases[] = {
        {0, "-"},
        {0x00010400, "NVMe 1.4"},
        {0x00010201, "NVMe 1.2.1"},
        {0x00020000, "NVMe 2.0"},
    };
    for (const auto& [version, text] : cases)
        EXPECT_EQ(vorn::nvme::versionText(version), QLatin1String(text)) << version;
}

TEST(NvmeIdentify, NamespaceCapacity) {
    struct Case {
        ULONGLONG blocks;
        BYTE formats; // less one
        BYTE inUse;   // FLBAS
        BYTE shift;   // of the format in use
        Uint128 bytes;
    };
    const Case cases[] = {
        {0, 0, 0, 9, 0},                         // a zero namespace
        {1000, 0, 0, 9, 512000},                 // 512-byte blocks
        {1000, 1, 1, 12, 4096000},               // the second format
        {1000, 0, 1, 12, 0},                     // a format the namespace does not have
        {1000, 0, 0, 0, 0},                      // format not in use
        {1000, 16, 0x20 | 0x00, 12, 4096000},    // index 16 through the extension bits
        {~0ull, 0, 0, 31, Uint128(~0ull) << 31}, // no overflow below 128 bits
    };
    for (const Case& c : cases) {
        Identify image{};
        put(image.data(), 0, 8, c.blocks);
        image[25] = c.formats;
        image[26] = c.inUse;
        const unsigned format = (c.inUse & 0x0F) | ((c.inUse & 0x60) >> 1);
        image[128 + 4 * format + 2] = c.shift;
        EXPECT_TRUE(vorn::nvme::namespaceCapacity(image.data(), image.size()) == c.bytes)
            << c.blocks << " " << int(c.inUse);
    }
}

TEST(NvmeHealth, Verdicts) {
    const auto verdictWith = [](auto change) {
        Log log{};
        log[3] = 100; // spare
        log[4] = 10;  // threshold
        change(log);
        return vorn::nvme::healthVerdict(log.data(), log.size());
    };
    EXPECT_EQ(verdictWith([](Log&) {}), vorn::nvme::kVerdictGood);
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_EQ(verdictWith([bit](Log& l) { l[0] = BYTE(1u << bit); }),
                  vorn::nvme::kVerdictCritical)
            << bit;
    EXPECT_EQ(verdictWith([](Log& l) { l[3] = 9; }), vorn::nvme::kVerdictCaution);
    EXPECT_EQ(verdictWith([](Log& l) { l[3] = 10; }), vorn::nvme::kVerdictGood);
    EXPECT_EQ(verdictWith([](Log& l) { l[5] = 99; }), vorn::nvme::kVerdictGood);
    EXPECT_EQ(verdictWith([](Log& l) { l[5] = 100; }), vorn::nvme::kVerdictCaution);
    // Media errors counted only above the low 64 bits still count.
    EXPECT_EQ(verdictWith([](Log& l) { l[160 + 8] = 1; }), vorn::nvme::kVerdictCaution);
}

TEST(NvmeHealth, NumbersAndTemperatures) {
    Log log{};
    put(log.data(), 176, 16, ~Uint128(0));
    EXPECT_EQ(vorn::nvme::decimalText(vorn::nvme::readLeUint(log.data(), log.size(), 176, 16)),
              QStringLiteral("340282366920938463463374607431768211455"));
    EXPECT_EQ(vorn::nvme::decimalText(0), QStringLiteral("0"));
    // A field reaching past the image reads as 0.
    EXPECT_TRUE(vorn::nvme::readLeUint(log.data(), 180, 176, 16) == 0);
    EXPECT_EQ(vorn::nvme::celsiusOf(0), -1);
    EXPECT_EQ(vorn::nvme::celsiusOf(273), 0);
    EXPECT_EQ(vorn::nvme::celsiusOf(318), 45);
    EXPECT_EQ(vorn::nvme::celsiusOf(250), -23);
}

TEST(NvmeLink, Texts) {
    const char* const cases[][3] = {
        {"8.0 GT/s PCIe", "4", "PCIe 3.0 x4"}, {"2.5 GT/s PCIe", "1", "PCIe 1.0 x1"},
        {"16.0 GT/s PCIe", "", "PCIe 4.0"},    {"32.0 GT/s PCIe", "2", "PCIe 5.0 x2"},
        {"20 GT/s", "1", "PCIe 20 GT/s x1"},   {"", "4", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vorn::nvme::pcieLinkText(QLatin1String(c[0]), QLatin1String(c[1])),
                  QLatin1String(c[2]))
            << c[0];
}

// The facade on the fixture machine's NVMe disks.
class NvmeFacadeTest : public ::testing::Test {
protected:
    void TearDown() override { Cm_CloseErrorFile(); }

    // The fixture, with files of the first disk left out.
    void Select(const QStringList& leaveOut = {}) {
        const QString from = QStringLiteral(VORN_SOURCE_ROOT) +
                             QStringLiteral("/tests/fixtures/nvme-machine/0-nvme-healthy");
        QDir().mkpath(m_dir.path(QStringLiteral("d0")));
        for (const QString& name : QDir(from).entryList(QDir::Files)) {
            if (!leaveOut.contains(name))
                QFile::copy(from + QLatin1Char('/') + name,
                            m_dir.path(QStringLiteral("d0/")) + name);
        }
        m_sim.install(m_dir.path());
    }

    ScopedSimMachine m_sim;
    TestDir m_dir;
};

TEST_F(NvmeFacadeTest, AnswersFromNvmeDataAndSendsNoAtaRequest) {
    Select();
    ASSERT_TRUE(Cm_OpenErrorFile(Cm_WidePtr(m_dir.path(QStringLiteral("run.log"))), 0));
    CHdd disk;
    ASSERT_TRUE(disk.OpenHddHandle(0, -1, -1));
    EXPECT_TRUE(disk.IsNvme());
    EXPECT_TRUE(disk.GetHddInfo());
    // The ATA-only requests have nothing to do on an NVMe disk.
    EXPECT_EQ(disk.GetSmartVersion(), 0);
    EXPECT_EQ(disk.EnableSmart(), 0);
    EXPECT_EQ(disk.DisableSmart(), 0);
    EXPECT_EQ(disk.GetSmartThresholds(), 0);
    EXPECT_EQ(disk.GetStatus(), -1); // no log yet
    EXPECT_TRUE(disk.GetSmartAttribute());
    EXPECT_EQ(disk.GetSmartStatus(), 0);
    disk.GetDisplayAttribute();
    EXPECT_TRUE(disk.CloseHddHandle());
    Cm_CloseErrorFile();

    EXPECT_EQ(disk.GetModelNumber(), QStringLiteral("Vorn Example NVMe 512GB"));
    EXPECT_EQ(disk.GetManufacturer(), QStringLiteral("Vorn"));
    EXPECT_EQ(disk.GetSerialNumber(), QStringLiteral("VN20A0001"));
    EXPECT_EQ(disk.GetFirmwareRev(), QStringLiteral("1.0.3"));
    EXPECT_EQ(disk.GetDiskCapacity(), 512110190592LL);
    EXPECT_EQ(disk.GetTemperature(), 45);
    EXPECT_EQ(disk.GetPowerOnHours(), 5678);
    EXPECT_EQ(disk.GetPowerCycle(), 1234);
    EXPECT_EQ(disk.GetTransferMode(0), QStringLiteral("PCIe 3.0 x4"));
    EXPECT_TRUE(disk.m_HddSmart.m_DispList.IsEmpty());

    QFile log(m_dir.path(QStringLiteral("run.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_TRUE(text.contains("CHddNvme::GetIdentifyController"));
    EXPECT_TRUE(text.contains("CHddNvme::GetIdentifyNamespace-1"));
    EXPECT_TRUE(text.contains("CHddNvme::GetHealthLog"));
    EXPECT_FALSE(text.contains("CHddSmart::")) << text.constData();
}

TEST_F(NvmeFacadeTest, AFailedReadLeavesNothingStale) {
    Select({QStringLiteral("nvme-health.hex"), QStringLiteral("nvme-identify-namespace.hex")});
    CHdd disk;
    ASSERT_TRUE(disk.OpenHddHandle(0, -1, -1));
    disk.m_HddNvme.m_HealthLog.fill(0xEE);
    disk.m_HddNvme.m_IdentifyNamespace.fill(0xEE);
    EXPECT_TRUE(disk.GetHddInfo()); // the controller answers, the namespace does not
    EXPECT_FALSE(disk.GetSmartAttribute());
    EXPECT_EQ(disk.m_HddNvme.m_HealthLog, SectorImage{});
    EXPECT_EQ(disk.m_HddNvme.m_IdentifyNamespace, CHddNvme::IdentifyImage{});
    EXPECT_EQ(disk.GetModelNumber(), QStringLiteral("Vorn Example NVMe 512GB"));
    EXPECT_EQ(disk.GetDiskCapacity(), 0);
    EXPECT_EQ(disk.GetSmartStatus(), -1);
    EXPECT_EQ(disk.GetTemperature(), -1);
    EXPECT_EQ(disk.GetPowerCycle(), -1);
}

} // namespace

namespace {

// The replies of QEMU's emulated controllers (tests/fixtures/qemu-nvme), with
// what smartctl read from the same controllers.
TEST(NvmeCaptured, DecodeAsSmartctlReadThem) {
    struct Case {
        const char* folder;
        const char* serial;
        Uint128 capacity;
        int verdict;
    };
    const Case cases[] = {{"0-vnqemu0001", "VNQEMU0001", 100663296, 0},
                          {"1-vnqemu0002", "VNQEMU0002", 50331648, 1}};
    for (const Case& c : cases) {
        const QString folder = QStringLiteral(VORN_SOURCE_ROOT "/tests/fixtures/qemu-nvme/") +
                               QLatin1String(c.folder) + QLatin1Char('/');
        const auto image = [&](const char* name, int size) {
            QFile file(folder + QLatin1String(name));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
            vorn::platform::SimParseError error;
            return vorn::platform::parseSimImageHex(file.readAll(), size, &error)
                .value_or(QByteArray(size, '\0'));
        };
        const QByteArray controller = image("nvme-identify-controller.hex", 4096);
        const QByteArray ns = image("nvme-identify-namespace.hex", 4096);
        const QByteArray log = image("nvme-health.hex", 512);
        const auto bytes = [](const QByteArray& a) {
            return reinterpret_cast<const BYTE*>(a.data());
        };

        const auto id = vorn::nvme::decodeIdentifyController(bytes(controller), 4096);
        EXPECT_EQ(id.model, QStringLiteral("QEMU NVMe Ctrl"));
        EXPECT_EQ(id.serial, QLatin1String(c.serial));
        EXPECT_EQ(id.firmware, QStringLiteral("7.2.22"));
        EXPECT_EQ(vorn::nvme::versionText(id.version), QStringLiteral("NVMe 1.4"));
        EXPECT_TRUE(id.totalCapacity == 0); // no total: the namespace gives the size
        EXPECT_TRUE(vorn::nvme::namespaceCapacity(bytes(ns), 4096) == c.capacity) << c.serial;
        EXPECT_EQ(vorn::nvme::celsiusOf(static_cast<unsigned>(vorn::nvme::readLeUint(
                      bytes(log), 512, vorn::nvme::health::kTemperature, 2))),
                  50);
        EXPECT_EQ(vorn::nvme::healthVerdict(bytes(log), 512), c.verdict) << c.serial;
    }
}

} // namespace
