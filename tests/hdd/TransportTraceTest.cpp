#include "CHdd.h"
#include "DeviceIo.h"
#include "LastError.h"

#include "SimDiskFixture.h"

#include <cerrno>

using simtest::TraceLine;
using simtest::zeros;

namespace {

// 35-byte SENDCMDINPARAMS: cBufferSize, the seven registers and their
// reserved byte, bDriveNumber, then zeros.
QString cmdIn(const char* bufferSize, const char* registers, const char* drive) {
    return QString::fromLatin1(bufferSize) + QString::fromLatin1(registers) + QStringLiteral("00") +
           QString::fromLatin1(drive) + zeros(22);
}

// 63-byte SCSI request: SRB_IO_CONTROL (28, "SCSIDISK", 10 s, code, 0,
// length) in front of the SENDCMDINPARAMS.
QString srb(const char* code, const char* length, const QString& request) {
    return QStringLiteral("1C000000534353494449534B0A000000") + QString::fromLatin1(code) +
           QStringLiteral("00000000") + QString::fromLatin1(length) + request;
}

struct Row {
    const char* trace;
    int (CHdd::*send)();
    const char* code;
    QString input;
};

class TransportTrace : public simtest::SimDiskTest {
protected:
    void SetUp() override {
        writeMachine(2);
        writeDisk(QStringLiteral("a-disk0"), QStringLiteral("Index=0"),
                  QStringLiteral("Direct=yes"));
        writeDisk(QStringLiteral("b-disk1"), QStringLiteral("Index=1\nSCSIPort=1\nSCSITargetId=5"),
                  QStringLiteral("Direct=yes\nScsi=yes"));
        writeDisk(QStringLiteral("c-disk2"), QStringLiteral("Index=2"),
                  QStringLiteral("Direct=yes"));
        start();
    }

    // Each row's request is the one trace line it causes, and its trace text
    // the first log line it writes.
    void checkRows(CHdd& hdd, const QString& path, const std::vector<Row>& rows) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.trace);
            clearTrace();
            const int logLines = log().size();
            (hdd.*row.send)();
            const std::vector<TraceLine> lines = trace();
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_EQ(lines[0].path, path);
            EXPECT_EQ(lines[0].code, QString::fromLatin1(row.code));
            EXPECT_EQ(lines[0].input, row.input);
            const QStringList written = log().mid(logLines);
            ASSERT_FALSE(written.isEmpty());
            EXPECT_EQ(written[0], QString::fromLatin1(row.trace));
        }
    }
};

TEST_F(TransportTrace, DirectPathCommandTable) {
    CHdd odd;
    ASSERT_TRUE(odd.OpenHddHandle(1, -1, -1));
    EXPECT_FALSE(odd.m_bScsi);
    checkRows(odd, QStringLiteral("\\\\.\\PhysicalDrive1"),
              {
                  {"CHddSmart::GetHddSmartVersion", &CHdd::GetSmartVersion, "00074080",
                   QStringLiteral("-")},
                  {"CHddInfo::GetHddInfo-1", &CHdd::GetHddInfo, "0007C088",
                   cmdIn("24000000", "0001010000B0EC", "01")},
                  {"CHddSmart::GetSmartAttribute", &CHdd::GetSmartAttribute, "0007C088",
                   cmdIn("00000000", "D001014FC2A0B0", "01")},
                  {"CHddSmart::GetSmartThresholds", &CHdd::GetSmartThresholds, "0007C088",
                   cmdIn("00000000", "D101014FC2A0B0", "01")},
                  // The commands without data carry drive 0 and drive/head 0.
                  {"CHddSmart::EnableSmart", &CHdd::EnableSmart, "0007C084",
                   cmdIn("00000000", "D801014FC200B0", "00")},
                  {"CHddSmart::DisableSmart", &CHdd::DisableSmart, "0007C084",
                   cmdIn("00000000", "D901014FC200B0", "00")},
                  {"CHddSmart::EnableSmartAutoSave", &CHdd::EnableSmartAutoSave, "0007C084",
                   cmdIn("00000000", "D2F1004FC200B0", "00")},
                  {"CHddSmart::DisableSmartAutoSave", &CHdd::DisableSmartAutoSave, "0007C084",
                   cmdIn("00000000", "D200004FC200B0", "00")},
                  {"CHddSmart::GetSmartStatus", &CHdd::GetSmartStatus, "0007C084",
                   cmdIn("00000000", "DA00004FC200B0", "00")},
              });

    // An even drive is the master: drive/head A0 in IDENTIFY, and its number.
    CHdd even;
    ASSERT_TRUE(even.OpenHddHandle(2, -1, -1));
    checkRows(even, QStringLiteral("\\\\.\\PhysicalDrive2"),
              {
                  {"CHddInfo::GetHddInfo-2", &CHdd::GetHddInfo, "0007C088",
                   cmdIn("24000000", "0001010000A0EC", "02")},
                  {"CHddSmart::GetSmartAttribute", &CHdd::GetSmartAttribute, "0007C088",
                   cmdIn("00000000", "D001014FC2A0B0", "02")},
              });
}

TEST_F(TransportTrace, ScsiPortPathCommandTable) {
    CHdd hdd;
    // Only the low byte of the target travels: 0x105 addresses target 5.
    ASSERT_TRUE(hdd.OpenHddHandle(1, 1, 0x105));
    EXPECT_TRUE(hdd.m_bScsi);
    const char* data = "14020000"; // Length 532
    const char* none = "18000000"; // Length 24
    checkRows(hdd, QStringLiteral("\\\\.\\Scsi1:"),
              {
                  {"CHddInfo::GetSmartVersionScsi-261", &CHdd::GetSmartVersion, "0004D008",
                   srb("00051B00", data, cmdIn("00000000", "000000000000EC", "05"))},
                  {"CHddInfo::GetHddInfoScsi-261", &CHdd::GetHddInfo, "0004D008",
                   srb("01051B00", data, cmdIn("00000000", "000000000000EC", "05"))},
                  {"CHddSmart::GetSmartAttributeScsi", &CHdd::GetSmartAttribute, "0004D008",
                   srb("02051B00", data, cmdIn("00020000", "D001014FC200B0", "05"))},
                  {"CHddSmart::GetSmartThresholdsScsi", &CHdd::GetSmartThresholds, "0004D008",
                   srb("03051B00", data, cmdIn("00020000", "D101014FC200B0", "05"))},
                  {"CHddSmart::EnableSmartScsi", &CHdd::EnableSmart, "0004D008",
                   srb("04051B00", none, cmdIn("00020000", "D801014FC200B0", "05"))},
                  {"CHddSmart::DisableSmartScsi", &CHdd::DisableSmart, "0004D008",
                   srb("05051B00", none, cmdIn("00020000", "D901014FC200B0", "05"))},
                  {"CHddSmart::GetSmartStatusScsi", &CHdd::GetSmartStatus, "0004D008",
                   srb("06051B00", none, cmdIn("00000000", "DA00004FC200B0", "05"))},
                  {"CHddSmart::EnableSmartAutoSaveScsi", &CHdd::EnableSmartAutoSave, "0004D008",
                   srb("07051B00", none, cmdIn("00020000", "D2F1004FC200B0", "05"))},
                  {"CHddSmart::DisableSmartAutoSaveScsi", &CHdd::DisableSmartAutoSave, "0004D008",
                   srb("07051B00", none, cmdIn("00020000", "D200004FC200B0", "05"))},
              });
}

TEST_F(TransportTrace, RepliesLandInTheImages) {
    for (const auto& path : {std::make_pair(1, -1), std::make_pair(1, 1)}) {
        SCOPED_TRACE(path.second == -1 ? "direct" : "SCSI port");
        CHdd hdd;
        ASSERT_TRUE(hdd.OpenHddHandle(path.first, path.second, 5));
        EXPECT_TRUE(hdd.GetSmartVersion());
        EXPECT_EQ(hdd.m_HddSmart.m_Version.bVersion, 1);
        EXPECT_EQ(hdd.m_HddSmart.m_Version.fCapabilities, 5u);
        EXPECT_TRUE(hdd.GetHddInfo());
        EXPECT_EQ(hdd.GetModelNumber(), QStringLiteral("ST3500418AS"));
        EXPECT_EQ(hdd.GetSerialNumber(), QStringLiteral("9VMQ0ABC"));
        EXPECT_TRUE(hdd.GetSmartAttribute());
        EXPECT_EQ(hdd.m_HddSmart.m_Attribute, simtest::sataAttributes());
        EXPECT_TRUE(hdd.GetSmartThresholds());
        EXPECT_EQ(hdd.m_HddSmart.m_Threshold, simtest::sataThresholds());
        EXPECT_EQ(hdd.GetSmartStatus(), 0);
    }
}

TEST_F(TransportTrace, WindowsNineXOpensTheSmartDriverWhateverTheArguments) {
    writeMachine(1);
    start();
    for (const auto& args : {std::make_tuple(0, -1, -1), std::make_tuple(3, 2, 1)}) {
        CHdd hdd;
        const int logStart = log().size();
        clearTrace();
        ASSERT_TRUE(hdd.OpenHddHandle(std::get<0>(args), std::get<1>(args), std::get<2>(args)));
        hdd.GetSmartVersion();
        const std::vector<TraceLine> lines = trace();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].path, QStringLiteral("\\\\.\\SMARTVSD"));
        // No device name line on this system.
        EXPECT_EQ(log().mid(logStart, 3),
                  (QStringList{QStringLiteral("CHdd::OpenHddHandle-GetVersionEx"),
                               QStringLiteral("CHdd::OpenHddHandle-CreateFile"),
                               hdd.m_bScsi ? QStringLiteral("CHddInfo::GetSmartVersionScsi-1")
                                           : QStringLiteral("CHddSmart::GetHddSmartVersion")}));
    }
}

TEST_F(TransportTrace, SendCommandAtaBothBufferForms) {
    CHdd hdd;
    ASSERT_TRUE(hdd.OpenHddHandle(0, -1, -1));
    CHddSmart& smart = hdd.m_HddSmart;
    clearTrace();
    const int logStart = log().size();

    BYTE data[600] = {};
    EXPECT_FALSE(smart.SendCommandAta(hdd.m_hHdd, 0xEC, 0, 1, data, 513, TRUE));
    EXPECT_TRUE(trace().empty());

    // Length 0: the 40-byte structure alone, AtaFlags 0.
    smart.SendCommandAta(hdd.m_hHdd, 0xB0, 0xD8, 0, nullptr, 0, TRUE);
    std::vector<TraceLine> lines = trace();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].code, QStringLiteral("0004D02C"));
    EXPECT_EQ(lines[0].input, QStringLiteral("2800"
                                             "0000"
                                             "00000000"
                                             "00000000"
                                             "0A000000"
                                             "00000000"
                                             "28000000") +
                                  zeros(8) + QStringLiteral("D80000000000B000"));
    // The generic sender writes no trace lines.
    EXPECT_EQ(log().size(), logStart);

    // IDENTIFY through both forms copies the sector as the device sent it.
    const SectorImage sent = simtest::sataIdentify();
    for (const BOOL ataForm : {TRUE, FALSE}) {
        SCOPED_TRACE(ataForm ? "ATA pass-through" : "IDE pass-through");
        clearTrace();
        std::fill(std::begin(data), std::end(data), BYTE(0xCC));
        ASSERT_TRUE(smart.SendCommandAta(hdd.m_hHdd, 0xEC, 0, 1, data, 512, ataForm));
        EXPECT_TRUE(std::equal(sent.begin(), sent.end(), data));
        EXPECT_EQ(data[512], 0xCC); // nothing beyond length
        lines = trace();
        ASSERT_EQ(lines.size(), 1u);
        if (ataForm) {
            EXPECT_EQ(lines[0].code, QStringLiteral("0004D02C"));
            EXPECT_EQ(lines[0].input.size(), (40 + 512) * 2);
            EXPECT_EQ(lines[0].input.left(24), QStringLiteral("2800"
                                                              "0200"
                                                              "00000000"
                                                              "00020000"));
        } else {
            EXPECT_EQ(lines[0].code, QStringLiteral("0004D028"));
            EXPECT_EQ(lines[0].input.size(), (12 + 512) * 2);
            EXPECT_EQ(lines[0].input.left(24), QStringLiteral("000100000000EC00"
                                                              "00020000"));
        }
    }

    // A length whose request size would wrap 32 bits is refused unsent.
    clearTrace();
    EXPECT_FALSE(smart.SendCommandAta(hdd.m_hHdd, 0xEC, 0, 1, nullptr, 0xFFFFFFFCu, FALSE));
    EXPECT_TRUE(trace().empty());
}

TEST_F(TransportTrace, FailuresLogTheirErrorAndZeroTheImages) {
    writeDisk(QStringLiteral("a-disk0"), QStringLiteral("Index=0"),
              QStringLiteral("Direct=yes\nFail=identify,smart-data,version,status"));
    start();
    CHdd hdd;
    ASSERT_TRUE(hdd.OpenHddHandle(0, -1, -1));
    hdd.m_HddInfo.m_Identify.fill(0x55);
    hdd.m_HddSmart.m_Attribute.fill(0x55);
    EXPECT_FALSE(hdd.GetSmartVersion());
    EXPECT_FALSE(hdd.GetHddInfo());
    EXPECT_FALSE(hdd.GetSmartAttribute());
    EXPECT_TRUE(hdd.GetSmartThresholds());
    EXPECT_EQ(hdd.GetSmartStatus(), -1);
    EXPECT_TRUE(hdd.CloseHddHandle());
    EXPECT_EQ(hdd.m_HddInfo.m_Identify, SectorImage{});
    EXPECT_EQ(hdd.m_HddSmart.m_Attribute, SectorImage{});
    EXPECT_EQ(hdd.GetModelNumber(), QString());

    const QStringList lines = log();
    const QStringList expected = {
        QStringLiteral("CHdd::OpenHddHandle-GetVersionEx"),
        QStringLiteral("CHdd::OpenHddHandle-CreateFile"),
        QStringLiteral("\\\\.\\PhysicalDrive0"),
        QStringLiteral("CHddSmart::GetHddSmartVersion"),
        QStringLiteral("[Error:"),
        QStringLiteral("CHddInfo::GetHddInfo-0"),
        QStringLiteral("[Error:"),
        QStringLiteral("CHddSmart::GetSmartAttribute"),
        QStringLiteral("[Error:"),
        QStringLiteral("CHddSmart::GetSmartThresholds"),
        QStringLiteral("CHddSmart::GetSmartStatus"),
        QStringLiteral("[Error:"),
        QStringLiteral("CHdd::CloseHddHandle"),
    };
    ASSERT_EQ(lines.size(), expected.size()) << lines.join(QLatin1Char('\n')).toStdString();
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].startsWith(expected[i])) << lines[i].toStdString();
    // Exactly one error line per failed request, none for a success.
    EXPECT_EQ(lines.filter(QStringLiteral("[Error:")).size(), 4);
}

TEST_F(TransportTrace, OpenAndCloseFailuresAndHandleReplacement) {
    CHdd hdd;
    EXPECT_FALSE(hdd.OpenHddHandle(7, -1, -1)); // no such disk
    EXPECT_EQ(hdd.m_hHdd, INVALID_HANDLE_VALUE);
    EXPECT_EQ(hdd.m_nDrive, 7);
    QStringList lines = log();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[2], QStringLiteral("\\\\.\\PhysicalDrive7"));
    EXPECT_EQ(lines[3], QStringLiteral("[Error:%1] No such file or directory").arg(ENOENT));

    // A closed object: TRUE, the trace line, no error line.
    EXPECT_TRUE(hdd.CloseHddHandle());
    lines = log();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[4], QStringLiteral("CHdd::CloseHddHandle"));

    // Opening again without a close releases the first handle.
    ASSERT_TRUE(hdd.OpenHddHandle(0, -1, -1));
    const HANDLE first = hdd.m_hHdd;
    ASSERT_TRUE(hdd.OpenHddHandle(1, 1, 5));
    EXPECT_NE(hdd.m_hHdd, first);
    EXPECT_FALSE(win::CloseHandle(first));
    EXPECT_EQ(win::GetLastError(), static_cast<DWORD>(EBADF));
    EXPECT_EQ(log().filter(QStringLiteral("[Error:")).size(), 1); // the quiet close succeeded
}

} // namespace
