#include "SimDevice.h"
#include "DeviceIo.h"
#include "IoControlCodes.h"
#include "LastError.h"
#include "OsVersion.h"
#include "SimMachine.h"
#include "WideText.h"

#include "../support/AtaSectors.h"
#include "../support/ScopedSimMachine.h"
#include "../support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <vector>

using namespace vorn::platform;
using Bytes = std::vector<BYTE>;

namespace {

Bytes identifyImage(const char* model, bool smartEnabled) {
    Bytes s(512, 0);
    testimg::setDeviceText(s, 54, 40, model);
    testimg::setWord(s, 82, 0x0001);               // S.M.A.R.T. supported
    testimg::setWord(s, 85, smartEnabled ? 1 : 0); // ... and enabled
    s[510] = 0xA5;                                 // the checksum is valid
    testimg::sealChecksum(s);
    return s;
}

Bytes attributesImage(unsigned powerOnRaw) {
    Bytes s(512, 0);
    s[0] = 0x10;
    testimg::setAttribute(s, 0, {1, 100, 100, 0});
    testimg::setAttribute(s, 1, {9, 97, 97, powerOnRaw});
    testimg::setAttribute(s, 2, {194, 35, 45, 35});
    testimg::sealChecksum(s);
    return s;
}

DWORD dword(const BYTE* p) {
    return vorn::le::read32(p, 4, 0);
}

// A SENDCMDINPARAMS of 35 bytes as the disk library sends it.
Bytes sendCmd(DWORD bufferSize, std::array<BYTE, 7> registers, BYTE driveNumber) {
    Bytes in(35, 0);
    vorn::le::write32(in.data(), in.size(), 0, bufferSize);
    std::copy(registers.begin(), registers.end(), in.begin() + 4);
    in[12] = driveNumber;
    return in;
}

const std::array<BYTE, 7> kIdentify = {0, 1, 1, 0, 0, 0xA0, 0xEC};
const std::array<BYTE, 7> kReadData = {0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
const std::array<BYTE, 7> kReadThresholds = {0xD1, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
const std::array<BYTE, 7> kEnable = {0xD8, 1, 1, 0x4F, 0xC2, 0, 0xB0};
const std::array<BYTE, 7> kDisable = {0xD9, 1, 1, 0x4F, 0xC2, 0, 0xB0};
const std::array<BYTE, 7> kStatus = {0xDA, 0, 0, 0x4F, 0xC2, 0, 0xB0};

// The SCSI miniport buffer: SRB_IO_CONTROL then the request at 28.
// The buffer always holds the 63 input bytes, even when the reply is shorter.
Bytes miniport(DWORD controlCode, DWORD length, const Bytes& request, std::size_t size) {
    Bytes buffer(std::max<std::size_t>(size, 63), 0);
    vorn::le::write32(buffer.data(), buffer.size(), 0, 28);
    std::memcpy(buffer.data() + 4, "SCSIDISK", 8);
    buffer[12] = 10;
    vorn::le::write32(buffer.data(), buffer.size(), 16, controlCode);
    vorn::le::write32(buffer.data(), buffer.size(), 24, length);
    std::copy(request.begin(), request.end(), buffer.begin() + 28);
    return buffer;
}

class SimDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_identify0 = identifyImage("WDC WD10EZEX-00BN5A0", true);
        writeDisk(QStringLiteral("disk0"),
                  "[Drive]\nIndex=0\nModel=WDC WD10EZEX\nSCSIPort=0\nSCSITargetId=0\n"
                  "[Device]\nDirect=yes\n",
                  m_identify0, attributesImage(1000), attributesImage(0));
        writeDisk(QStringLiteral("disk1"),
                  "[Drive]\nIndex=1\nSCSIPort=2\nSCSITargetId=257\n"
                  "[Device]\nDirect=no\nScsi=yes\nStatus=exceeded\n",
                  identifyImage("ST3500418AS", true), attributesImage(7), attributesImage(0));
        writeDisk(QStringLiteral("disk2"),
                  "[Drive]\nIndex=2\n[Device]\nStatus=none\nPowerOnPerHour=60\n"
                  "Fail=smart-thresholds, version\n",
                  identifyImage("Maxtor 6Y080L0", false), attributesImage(50000),
                  attributesImage(0));
    }

    void TearDown() override {
        setSimClock(nullptr);
        qunsetenv("VORN_SIM_TRACE");
    }

    void writeDisk(const QString& folder, const char* ini, const Bytes& identify, const Bytes& data,
                   const Bytes& thresholds) {
        ASSERT_TRUE(QDir().mkpath(m_dir.path(folder)));
        ASSERT_TRUE(m_dir.write(folder + QStringLiteral("/disk.ini"), ini));
        ASSERT_TRUE(
            m_dir.write(folder + QStringLiteral("/identify.hex"), testimg::hexFile(identify)));
        ASSERT_TRUE(
            m_dir.write(folder + QStringLiteral("/smart-data.hex"), testimg::hexFile(data)));
        ASSERT_TRUE(m_dir.write(folder + QStringLiteral("/smart-thresholds.hex"),
                                testimg::hexFile(thresholds)));
    }

    HANDLE open(const char* path) {
        selectOnce();
        return win::CreateFileW(Cm_WidePtr(QString::fromLatin1(path)), 0xC0000000, 3, nullptr, 3, 0,
                                nullptr);
    }

    void selectOnce() {
        if (!m_selected)
            m_machine.install(m_dir.path());
        m_selected = true;
    }

    // Sends a direct-path request; returns the result and leaves the reply.
    BOOL direct(HANDLE h, DWORD code, const Bytes& in, Bytes& reply) {
        DWORD returned = 0;
        return win::DeviceIoControl(h, code, const_cast<BYTE*>(in.data()), DWORD(in.size()),
                                    reply.data(), DWORD(reply.size()), &returned, nullptr);
    }

    BOOL scsi(HANDLE h, Bytes& buffer, DWORD outLength) {
        DWORD returned = 0;
        return win::DeviceIoControl(h, win::IOCTL_SCSI_MINIPORT, buffer.data(), 63, buffer.data(),
                                    outLength, &returned, nullptr);
    }

    TestDir m_dir;
    Bytes m_identify0;
    ScopedSimMachine m_machine;
    bool m_selected = false;
};

} // namespace

TEST_F(SimDeviceTest, DirectPathRepliesAtTheirOffsets) {
    HANDLE h = open(R"(\\.\PhysicalDrive0)");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);

    Bytes reply(528, 0xEE);
    ASSERT_TRUE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(36, kIdentify, 0), reply));
    EXPECT_EQ(dword(reply.data()), 512u);
    EXPECT_EQ(reply[4], 0);
    EXPECT_EQ(reply[5], 0);
    EXPECT_TRUE(std::equal(m_identify0.begin(), m_identify0.end(), reply.begin() + 16));

    ASSERT_TRUE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(0, kReadData, 0), reply));
    EXPECT_EQ(reply[16 + 2 + 12], 9);
    EXPECT_EQ(reply[16 + 2 + 12 + 5] | reply[16 + 2 + 12 + 6] << 8, 1000);

    Bytes status(24, 0xEE);
    ASSERT_TRUE(direct(h, win::SMART_SEND_DRIVE_COMMAND, sendCmd(0, kStatus, 0), status));
    EXPECT_EQ(status[19], 0x4F);
    EXPECT_EQ(status[20], 0xC2);

    Bytes version(24, 0xEE);
    ASSERT_TRUE(direct(h, win::SMART_GET_VERSION, {}, version));
    EXPECT_EQ(Bytes(version.begin(), version.begin() + 8), (Bytes{1, 1, 0, 1, 5, 0, 0, 0}));
    EXPECT_TRUE(std::all_of(version.begin() + 8, version.end(), [](BYTE b) { return b == 0; }));

    EXPECT_TRUE(win::CloseHandle(h));
    EXPECT_FALSE(win::CloseHandle(h));
    EXPECT_EQ(win::GetLastError(), DWORD(EBADF));
    EXPECT_FALSE(direct(h, win::SMART_GET_VERSION, {}, version));
    EXPECT_EQ(win::GetLastError(), DWORD(EBADF));
}

TEST_F(SimDeviceTest, OpensOnlyThePathsADiskAllows) {
    struct Case {
        const char* path;
        int error; // 0 = opens
    } cases[] = {
        {R"(\\.\PhysicalDrive0)", 0},       {R"(\\.\physicaldrive2)", 0},
        {R"(\\.\PhysicalDrive1)", ENXIO}, // Direct=no
        {R"(\\.\PhysicalDrive3)", ENOENT},  {R"(\\.\Scsi2:)", 0},
        {R"(\\.\Scsi0:)", ENOENT}, // no disk with Scsi=yes there
        {R"(\\.\Scsi2)", ENOENT},           {R"(\\.\SMARTVSD)", ENOENT}, // NT machine
        {R"(\\.\PhysicalDrive-1)", ENOENT}, {"/dev/sda", ENOENT},
    };
    for (const Case& c : cases) {
        win::SetLastError(0);
        HANDLE h = open(c.path);
        EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.error == 0) << c.path;
        if (h != INVALID_HANDLE_VALUE)
            win::CloseHandle(h);
        else
            EXPECT_EQ(win::GetLastError(), DWORD(c.error)) << c.path;
    }
}

TEST_F(SimDeviceTest, ScsiPathChoosesTheDiskByTheTargetsLowByte) {
    HANDLE h = open(R"(\\.\Scsi2:)");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);

    // SCSITargetId 257: the request carries its low byte, 1.
    Bytes buffer = miniport(win::IOCTL_SCSI_MINIPORT_IDENTIFY, 532,
                            sendCmd(0, {0, 0, 0, 0, 0, 0, 0xEC}, 1), 560);
    ASSERT_TRUE(scsi(h, buffer, 560));
    const Bytes model = identifyImage("ST3500418AS", true);
    EXPECT_TRUE(std::equal(model.begin(), model.end(), buffer.begin() + 44));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()) + 4, 8), "SCSIDISK");

    Bytes status = miniport(win::IOCTL_SCSI_MINIPORT_RETURN_STATUS, 24, sendCmd(0, kStatus, 1), 52);
    ASSERT_TRUE(scsi(h, status, 52));
    EXPECT_EQ(status[47], 0xF4);
    EXPECT_EQ(status[48], 0x2C);

    Bytes version = miniport(win::IOCTL_SCSI_MINIPORT_SMART_VERSION, 532,
                             sendCmd(0, {0, 0, 0, 0, 0, 0, 0xEC}, 1), 560);
    ASSERT_TRUE(scsi(h, version, 560));
    EXPECT_EQ(Bytes(version.begin() + 44, version.begin() + 52), (Bytes{1, 1, 0, 2, 5, 0, 0, 0}));

    Bytes nobody = miniport(win::IOCTL_SCSI_MINIPORT_IDENTIFY, 532,
                            sendCmd(0, {0, 0, 0, 0, 0, 0, 0xEC}, 0), 560);
    EXPECT_FALSE(scsi(h, nobody, 560));
    EXPECT_EQ(win::GetLastError(), DWORD(ENODEV));

    Bytes badSignature = buffer;
    badSignature[4] = 'X';
    EXPECT_FALSE(scsi(h, badSignature, 560));
    EXPECT_EQ(win::GetLastError(), DWORD(EINVAL));
    win::CloseHandle(h);
}

TEST_F(SimDeviceTest, StatusFailListAndMissingAnswers) {
    HANDLE h = open(R"(\\.\PhysicalDrive2)");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);

    Bytes version(24, 0);
    EXPECT_FALSE(direct(h, win::SMART_GET_VERSION, {}, version));
    EXPECT_EQ(win::GetLastError(), DWORD(EIO));

    // S.M.A.R.T. is off on this disk: the device aborts the reads.
    Bytes reply(528, 0xEE);
    EXPECT_FALSE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(0, kReadData, 2), reply));
    EXPECT_EQ(win::GetLastError(), DWORD(EIO));
    EXPECT_EQ(reply[4], 1);    // SMART_IDE_ERROR
    EXPECT_EQ(reply[5], 0x04); // ABRT
    EXPECT_TRUE(std::all_of(reply.begin() + 16, reply.end(), [](BYTE b) { return b == 0; }));

    Bytes header(19, 0);
    ASSERT_TRUE(direct(h, win::SMART_SEND_DRIVE_COMMAND, sendCmd(0, kEnable, 0), header));
    Bytes status(24, 0xEE);
    ASSERT_TRUE(direct(h, win::SMART_SEND_DRIVE_COMMAND, sendCmd(0, kStatus, 0), status));
    EXPECT_EQ(status[19], 0x00);
    EXPECT_EQ(status[20], 0x00);

    ASSERT_TRUE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(0, kReadData, 2), reply));
    EXPECT_FALSE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(0, kReadThresholds, 2), reply));
    EXPECT_EQ(win::GetLastError(), DWORD(EIO));
    EXPECT_EQ(reply[4], 0); // refused by the driver, not by the device
    win::CloseHandle(h);
}

TEST_F(SimDeviceTest, EnableAndDisableStayForTheProcessAndShowInIdentify) {
    HANDLE h = open(R"(\\.\PhysicalDrive0)");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    Bytes header(19, 0);
    ASSERT_TRUE(direct(h, win::SMART_SEND_DRIVE_COMMAND, sendCmd(0, kDisable, 0), header));
    win::CloseHandle(h);

    // A new handle sees the same disk.
    h = open(R"(\\.\PhysicalDrive0)");
    Bytes reply(528, 0);
    ASSERT_TRUE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(36, kIdentify, 0), reply));
    EXPECT_EQ(reply[16 + 170] & 1, 0);
    EXPECT_EQ(reply[16 + 82 * 2] & 1, 1);
    EXPECT_EQ(testimg::byteSum(reply.data() + 16), 0);
    EXPECT_FALSE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(0, kReadThresholds, 0), reply));
    Bytes status(24, 0);
    EXPECT_FALSE(direct(h, win::SMART_SEND_DRIVE_COMMAND, sendCmd(0, kStatus, 0), status));

    ASSERT_TRUE(direct(h, win::SMART_SEND_DRIVE_COMMAND, sendCmd(0, kEnable, 0), header));
    ASSERT_TRUE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(36, kIdentify, 0), reply));
    EXPECT_TRUE(std::equal(m_identify0.begin(), m_identify0.end(), reply.begin() + 16));
    EXPECT_TRUE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(0, kReadThresholds, 0), reply));
    win::CloseHandle(h);

    // Choosing the machine again starts it afresh.
    m_machine.install(m_dir.path());
    h = open(R"(\\.\PhysicalDrive0)");
    ASSERT_TRUE(direct(h, win::SMART_SEND_DRIVE_COMMAND, sendCmd(0, kDisable, 0), header));
    m_machine.install(m_dir.path());
    ASSERT_TRUE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(36, kIdentify, 0), reply));
    EXPECT_EQ(reply[16 + 170] & 1, 0) << "an open handle keeps the machine it was opened on";
    win::CloseHandle(h);
    h = open(R"(\\.\PhysicalDrive0)");
    ASSERT_TRUE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(36, kIdentify, 0), reply));
    EXPECT_EQ(reply[16 + 170] & 1, 1);
    win::CloseHandle(h);
}

TEST_F(SimDeviceTest, WrongRegistersAreRefusedBeforeAnyDisk) {
    HANDLE h = open(R"(\\.\PhysicalDrive0)");
    Bytes reply(528, 0);
    std::array<BYTE, 7> noSignature = kReadData;
    noSignature[3] = 0;
    // The device layer refuses what is outside the suite's command set
    // before any disk sees it, so no disk error register comes back.
    EXPECT_FALSE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(0, noSignature, 0), reply));
    EXPECT_EQ(win::GetLastError(), DWORD(EPERM));
    EXPECT_EQ(reply[5], 0);
    // A data-in request for a non-data command, and a reply too short.
    EXPECT_FALSE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(0, kEnable, 0), reply));
    EXPECT_EQ(win::GetLastError(), DWORD(EPERM));
    Bytes shortReply(527, 0);
    EXPECT_FALSE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(36, kIdentify, 0), shortReply));
    EXPECT_EQ(win::GetLastError(), DWORD(EINVAL));
    EXPECT_FALSE(direct(h, 0x12345678, sendCmd(36, kIdentify, 0), reply));
    EXPECT_EQ(win::GetLastError(), DWORD(EINVAL));
    win::CloseHandle(h);
}

TEST_F(SimDeviceTest, PowerOnCounterRunsOnTheInjectedClock) {
    auto now = std::chrono::steady_clock::time_point(std::chrono::hours(1000));
    setSimClock([&now]() { return now; });
    HANDLE h = open(R"(\\.\PhysicalDrive2)");
    Bytes header(19, 0);
    ASSERT_TRUE(direct(h, win::SMART_SEND_DRIVE_COMMAND, sendCmd(0, kEnable, 0), header));

    const auto rawAfter = [&](std::chrono::minutes elapsed) {
        now = std::chrono::steady_clock::time_point(std::chrono::hours(1000)) + elapsed;
        Bytes reply(528, 0);
        EXPECT_TRUE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(0, kReadData, 2), reply));
        EXPECT_EQ(testimg::byteSum(reply.data() + 16), 0);
        return dword(reply.data() + 16 + 2 + 12 + 5);
    };
    EXPECT_EQ(rawAfter(std::chrono::minutes(0)), 50000u);
    EXPECT_EQ(rawAfter(std::chrono::minutes(59)), 50059u); // 60 per hour: minutes
    EXPECT_EQ(rawAfter(std::chrono::minutes(180)), 50180u);
    win::CloseHandle(h);

    // A disk without PowerOnPerHour keeps its sector byte for byte.
    h = open(R"(\\.\PhysicalDrive0)");
    Bytes reply(528, 0);
    ASSERT_TRUE(direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(0, kReadData, 0), reply));
    const Bytes original = attributesImage(1000);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), reply.begin() + 16));
    win::CloseHandle(h);
}

TEST_F(SimDeviceTest, TraceHoldsEveryRequestByteForByte) {
    const QString trace = m_dir.path(QStringLiteral("trace.txt"));
    qputenv("VORN_SIM_TRACE", trace.toLocal8Bit());
    HANDLE h = open(R"(\\.\PhysicalDrive0)");
    Bytes reply(528, 0);
    direct(h, win::SMART_GET_VERSION, {}, reply);
    direct(h, win::SMART_RCV_DRIVE_DATA, sendCmd(36, {0, 1, 1, 0, 0, 0xB0, 0xEC}, 7), reply);
    direct(h, 0xDEAD, sendCmd(0, kStatus, 0), reply); // refused, still traced
    win::CloseHandle(h);

    const QStringList lines =
        QString::fromUtf8(m_dir.read(QStringLiteral("trace.txt"))).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral(R"(\\.\PhysicalDrive0 00074080 -)"));
    EXPECT_EQ(lines[1], QStringLiteral(R"(\\.\PhysicalDrive0 0007C088 )") +
                            QStringLiteral("240000000001010000B0EC0007") + QString(44, '0'));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral(R"(\\.\PhysicalDrive0 0000DEAD 00000000DA00)")));
}

TEST_F(SimDeviceTest, TraceIsNeverWrittenThroughALink) {
    const QString target = m_dir.path(QStringLiteral("kept.txt"));
    ASSERT_TRUE(m_dir.write(QStringLiteral("kept.txt"), "kept\n"));
    const QString link = m_dir.path(QStringLiteral("trace.txt"));
    ASSERT_TRUE(QFile::link(target, link));
    qputenv("VORN_SIM_TRACE", link.toLocal8Bit());
    HANDLE h = open(R"(\\.\PhysicalDrive0)");
    Bytes reply(528, 0);
    direct(h, win::SMART_GET_VERSION, {}, reply);
    win::CloseHandle(h);
    EXPECT_EQ(m_dir.read(QStringLiteral("kept.txt")), QByteArray("kept\n"));
}

TEST_F(SimDeviceTest, PassThroughFormsCarryOneCommand) {
    HANDLE h = open(R"(\\.\PhysicalDrive0)");

    // ATA_PASS_THROUGH_EX (40 bytes) + data area, IDENTIFY of 256 bytes.
    Bytes ata(552, 0);
    ata[0] = 40;
    ata[2] = 0x02; // ATA_FLAGS_DATA_IN
    ata[8] = 0x00;
    ata[9] = 0x01; // 256 bytes
    ata[12] = 10;
    ata[20] = 40;
    ata[32 + 6] = 0xEC;
    DWORD returned = 0;
    ASSERT_TRUE(win::DeviceIoControl(h, win::IOCTL_ATA_PASS_THROUGH, ata.data(), 40 + 256,
                                     ata.data(), 40 + 256, &returned, nullptr));
    EXPECT_TRUE(std::equal(m_identify0.begin(), m_identify0.begin() + 256, ata.begin() + 40));
    EXPECT_EQ(ata[32 + 6], 0x50); // status back in the task file
    EXPECT_TRUE(std::all_of(ata.begin() + 40 + 256, ata.end(), [](BYTE b) { return b == 0; }));

    Bytes tooLong = ata;
    tooLong.resize(553);
    tooLong[8] = 0x01;
    tooLong[9] = 0x02; // 513 bytes
    EXPECT_FALSE(win::DeviceIoControl(h, win::IOCTL_ATA_PASS_THROUGH, tooLong.data(), 553,
                                      tooLong.data(), 553, &returned, nullptr));
    EXPECT_EQ(win::GetLastError(), DWORD(EINVAL));

    // IDEREGS + DataBufferSize + data; longer than a block is allowed.
    Bytes ide(12 + 600, 0);
    ide[6] = 0xEC;
    ide[8] = 600 & 0xFF;
    ide[9] = 600 >> 8;
    ASSERT_TRUE(win::DeviceIoControl(h, win::IOCTL_IDE_PASS_THROUGH, ide.data(), DWORD(ide.size()),
                                     ide.data(), DWORD(ide.size()), &returned, nullptr));
    EXPECT_TRUE(std::equal(m_identify0.begin(), m_identify0.end(), ide.begin() + 12));
    EXPECT_TRUE(std::all_of(ide.begin() + 12 + 512, ide.end(), [](BYTE b) { return b == 0; }));

    // A non-data command without signature registers never reaches the disk.
    Bytes enable(12, 0);
    enable[0] = 0xD8;
    enable[6] = 0xB0;
    EXPECT_FALSE(win::DeviceIoControl(h, win::IOCTL_IDE_PASS_THROUGH, enable.data(), 12,
                                      enable.data(), 12, &returned, nullptr));
    EXPECT_EQ(win::GetLastError(), DWORD(EPERM));
    EXPECT_EQ(enable[0], 0xD8);
    win::CloseHandle(h);
}

TEST(SimNineX, SmartDriverOpensOnlyThereAndRoutesByDriveNumber) {
    TestDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("machine.ini"),
                          "[Machine]\nPlatform=1\nMajorVersion=4\nMinorVersion=10\n"));
    for (int n : {0, 1}) {
        const QString folder = QStringLiteral("d%1").arg(n);
        ASSERT_TRUE(QDir().mkpath(dir.path(folder)));
        ASSERT_TRUE(dir.write(folder + "/disk.ini", QStringLiteral("[Drive]\nIndex=%1\n[Device]\n"
                                                                   "Status=%2\n")
                                                        .arg(n)
                                                        .arg(n ? "exceeded" : "good")
                                                        .toUtf8()));
        ASSERT_TRUE(
            dir.write(folder + "/identify.hex", testimg::hexFile(identifyImage("QUANTUM", true))));
    }
    ScopedSimMachine machine(dir.path());

    win::OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(win::GetVersionExW(reinterpret_cast<win::OSVERSIONINFOW*>(&info)));
    EXPECT_EQ(info.dwPlatformId, 1u);
    EXPECT_EQ(info.dwMajorVersion, 4u);
    EXPECT_EQ(info.dwMinorVersion, 10u);

    HANDLE h = win::CreateFileW(u"\\\\.\\SMARTVSD", 0, 0, nullptr, 1, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    Bytes status(24, 0);
    DWORD returned = 0;
    for (BYTE drive : {0, 1}) {
        Bytes in = sendCmd(0, kStatus, drive);
        ASSERT_TRUE(win::DeviceIoControl(h, win::SMART_SEND_DRIVE_COMMAND, in.data(), 35,
                                         status.data(), 24, &returned, nullptr));
        EXPECT_EQ(status[19], drive ? 0xF4 : 0x4F);
    }
    Bytes version(24, 0);
    ASSERT_TRUE(win::DeviceIoControl(h, win::SMART_GET_VERSION, nullptr, 0, version.data(), 24,
                                     &returned, nullptr));
    EXPECT_EQ(version[3], 0x03); // both disks in the device map
    win::CloseHandle(h);
}

TEST(SimVersion, DefaultsAndSizeField) {
    TestDir dir;
    ScopedSimMachine machine(dir.path()); // no machine.ini
    win::OSVERSIONINFOEXW ex{};
    ex.dwOSVersionInfoSize = 284;
    ex.wProductType = 9;
    ASSERT_TRUE(win::GetVersionExW(reinterpret_cast<win::OSVERSIONINFOW*>(&ex)));
    EXPECT_EQ(ex.dwPlatformId, 2u);
    EXPECT_EQ(ex.dwMajorVersion, 10u);
    EXPECT_EQ(ex.dwMinorVersion, 0u);
    EXPECT_EQ(ex.wProductType, 1);

    win::OSVERSIONINFOW plain{};
    plain.dwOSVersionInfoSize = 275;
    EXPECT_FALSE(win::GetVersionExW(&plain));
    EXPECT_EQ(win::GetLastError(), DWORD(EINVAL));
}
