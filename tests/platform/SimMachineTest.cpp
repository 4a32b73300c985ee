#include "SimMachine.h"

#include "../support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

using namespace vorn::platform;

namespace {

QByteArray zeroSector() {
    QByteArray text;
    for (int row = 0; row < 32; ++row)
        text += "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n";
    return text;
}

// Collects what the loader writes to standard error.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        m_saved = dup(2);
        m_file = std::tmpfile();
        dup2(fileno(m_file), 2);
    }
    ~StderrCapture() { restore(); }
    QString text() {
        restore();
        std::rewind(m_file);
        QByteArray bytes;
        char buffer[512];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0)
            bytes.append(buffer, int(n));
        return QString::fromLocal8Bit(bytes);
    }

private:
    void restore() {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, 2);
        close(m_saved);
        m_saved = -1;
    }
    int m_saved = -1;
    std::FILE* m_file = nullptr;
};

} // namespace

TEST(SimIni, ReadsEverySectionOfADisk) {
    SimDisk disk;
    SimParseError error;
    ASSERT_TRUE(parseSimDiskIni("; a comment\r\n[Drive]\r\nmodel = ST3500418AS  \r\n"
                                "SCSITargetId=257\nInterfaceType=IDE\n"
                                "[Volumes]\nPartition2=/home\nPartition1=C:, D: ,\n"
                                "[Device]\nDirect=No\nScsi=YES\nFail=identify, status,autosave\n"
                                "Status=Exceeded\nPowerOnPerHour=60\nPowerMode=Standby\n",
                                &disk, &error))
        << error.message.toStdString();
    EXPECT_EQ(disk.driveField("Model"), "ST3500418AS");
    EXPECT_EQ(disk.drive[0].name, "Model"); // spelled as the record spells it
    EXPECT_EQ(disk.scsiTargetId() & 0xFF, 1);
    EXPECT_EQ(disk.driveNumber("Size"), 0);
    ASSERT_EQ(disk.partitions.size(), 2);
    EXPECT_EQ(disk.partitions[0].number, 1);
    EXPECT_EQ(disk.partitions[0].driveNames, QStringList({"C:", "D:"}));
    EXPECT_EQ(disk.partitions[1].driveNames, QStringList({"/home"}));
    EXPECT_FALSE(disk.device.direct);
    EXPECT_TRUE(disk.device.scsi);
    EXPECT_TRUE(disk.device.fails(SimRequest::Identify));
    EXPECT_TRUE(disk.device.fails(SimRequest::AutoSave));
    EXPECT_FALSE(disk.device.fails(SimRequest::SmartData));
    EXPECT_EQ(disk.device.powerMode, SimPowerMode::Standby);
    EXPECT_EQ(disk.device.status, SimStatus::Exceeded);
    EXPECT_EQ(disk.device.powerOnPerHour, 60);
}

TEST(SimIni, NamesTheLineOfEachMistake) {
    struct Case {
        const char* text;
        int line;
    } cases[] = {
        {"Model=x\n", 1},                   // outside a section
        {"[Drive]\nModel x\n", 2},          // no '='
        {"[Drive\n", 1},                    // unclosed header
        {"[Disk]\n", 1},                    // unknown section
        {"[Drive]\nModle=x\n", 2},          // not a record field
        {"[Drive]\nIndex=-1\n", 2},         // negative disk number
        {"[Drive]\nIndex=4294967296\n", 2}, // would wrap to disk 0
        {"[Drive]\nSCSITargetId=4294967297\n", 2},
        {"[Drive]\nSCSIPort=-2147483649\n", 2},
        {"[Drive]\nSize=12GB\n", 2},                         // not a number
        {"[Drive]\nModel=a\nmodel=b\n", 3},                  // duplicate
        {"[Drive]\nk=1\n\xE2\x84\xAA=2\n", 3},               // Kelvin sign folds to k
        {"; note\n\n  # indented\r\n[Drive]\nModel x\n", 5}, // comments still counted
        {"[Volumes]\nPartition0=C:\n", 2},                   // numbers start at 1
        {"[Volumes]\nPartition1=C:\nPartition01=D:\n", 3},   // partition 1 twice
        {"[Volumes]\nPartition+2=C:\n", 2},
        {"[Volumes]\nDisk1=C:\n", 2},
        {"[Device]\nDirect=maybe\n", 2},
        {"[Device]\nFail=identify,smart\n", 2}, // unknown request
        {"[Device]\nStatus=bad\n", 2},
        {"[Device]\nPowerOnPerHour=-5\n", 2},
        {"[Device]\nPowerMode=asleep\n", 2},
        {"[Device]\nColour=red\n", 2},
    };
    for (const Case& c : cases) {
        SimDisk disk;
        SimParseError error;
        EXPECT_FALSE(parseSimDiskIni(c.text, &disk, &error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_FALSE(error.message.isEmpty()) << c.text;
    }
}

TEST(SimIni, FilesSavedWithAByteOrderMarkRead) {
    SimDisk disk;
    SimParseError error;
    ASSERT_TRUE(parseSimDiskIni("\xEF\xBB\xBF[Drive]\r\nModel=X\r\n", &disk, &error))
        << error.message.toStdString();
    EXPECT_EQ(disk.driveField("Model"), "X");
    // A comment behind a no-break space is still a comment.
    EXPECT_TRUE(parseSimDiskIni("[Drive]\n\xC2\xA0# note\nModel=X\n", &disk, &error))
        << error.message.toStdString();
    ASSERT_TRUE(parseSimMachineIni("\xEF\xBB\xBF[Machine]\nPlatform=1\n", &error));
    EXPECT_TRUE(parseSimSectorHex("\xEF\xBB\xBF" + zeroSector(), &error))
        << error.message.toStdString();
}

TEST(SimIni, MachineVersion) {
    SimParseError error;
    const auto info = parseSimMachineIni(
        "[Machine]\nPlatform=1\nMajorVersion=4\nMinorVersion=90\nBuildNumber=73010104\n", &error);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->platform, 1u);
    EXPECT_EQ(info->minorVersion, 90u);
    EXPECT_EQ(info->productType, 1); // untouched default
    EXPECT_EQ(info->buildNumber, 73010104u);

    EXPECT_FALSE(parseSimMachineIni("[Machine]\nPlatform=3\n", &error));
    EXPECT_EQ(error.line, 2);
    EXPECT_FALSE(parseSimMachineIni("[Machine]\nProductType=256\n", &error));

    EXPECT_FALSE(info->privilegedDiskAccess);
    const auto privileged = parseSimMachineIni("[Machine]\nDiskAccess=privileged\n", &error);
    ASSERT_TRUE(privileged);
    EXPECT_TRUE(privileged->privilegedDiskAccess);
    EXPECT_FALSE(parseSimMachineIni("[Machine]\nDiskAccess=root\n", &error));
}

TEST(SimHex, ReadsPairsAroundCommentsAndSpace) {
    QByteArray text = "# identify of a test disk\n4a 0C\t40 00  # general configuration\n";
    text += "0102";
    for (int i = 6; i < 511; ++i)
        text += " ff";
    text += " ff# the last pair touches a comment and the file ends without a line feed";
    SimParseError error;
    const auto bytes = parseSimSectorHex(text, &error);
    ASSERT_TRUE(bytes) << error.message.toStdString();
    EXPECT_EQ(bytes->left(6), QByteArray::fromHex("4a0c40000102"));
    EXPECT_EQ(uchar(bytes->at(511)), 0xFF);
}

TEST(SimHex, RefusesWhatIsNotExactlyOneSector) {
    struct Case {
        QByteArray text;
        int line;
    } cases[] = {
        {zeroSector().left(zeroSector().size() - 3), 0}, // 511 bytes
        {zeroSector() + "00\n", 33},                     // 513 bytes
        {"00 0\n" + zeroSector(), 1},                    // odd digit count
        {"00\n0x12\n" + zeroSector(), 2},                // prefix
        {"00 zz\n", 1},
        {"00\n0g\n" + zeroSector(), 2},      // a pair with a stray letter behind it
        {zeroSector() + "00#extra\n", 33},   // one pair too many, against a comment
        {QByteArray("00\n\0\x1b[2J", 7), 2}, // control bytes
    };
    for (const Case& c : cases) {
        SimParseError error;
        EXPECT_FALSE(parseSimSectorHex(c.text, &error)) << c.text.left(20).toStdString();
        EXPECT_EQ(error.line, c.line) << c.text.left(20).toStdString();
        // The message goes to standard error as part of one line.
        for (const QChar ch : error.message)
            EXPECT_TRUE(ch.isPrint()) << error.message.toStdString();
    }
}

TEST(SimHex, AStatisticsLogIsWholePagesFromOneToEight) {
    SimParseError error;
    const auto pages = [](int count) {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += zeroSector();
        return text;
    };
    const auto two = parseSimPagesHex(pages(2), kSimStatisticsMaxPages, &error);
    ASSERT_TRUE(two) << error.message.toStdString();
    EXPECT_EQ(two->size(), 1024);
    EXPECT_TRUE(parseSimPagesHex(pages(8), kSimStatisticsMaxPages, &error));
    EXPECT_FALSE(parseSimPagesHex(pages(9), kSimStatisticsMaxPages, &error));
    EXPECT_FALSE(parseSimPagesHex(pages(1) + "00\n", kSimStatisticsMaxPages, &error));
    EXPECT_FALSE(parseSimPagesHex("# nothing\n", kSimStatisticsMaxPages, &error));
    EXPECT_FALSE(error.message.isEmpty());
}

TEST(SimLoader, TakesDisksInNameOrderAndLeavesOutBrokenOnes) {
    TestDir dir;
    const auto disk = [&](const char* folder, const QByteArray& ini) {
        ASSERT_TRUE(QDir().mkpath(dir.path(folder)));
        ASSERT_TRUE(dir.write(QString(folder) + "/disk.ini", ini));
    };
    disk("b-second", "[Drive]\nModel=B\n");
    disk("a-first", "[Drive]\nModel=A\n");
    disk("c-broken", "[Drive]\nModel A\n");
    disk("d-badhex", "[Drive]\nModel=D\n");
    ASSERT_TRUE(dir.write("d-badhex/identify.hex", "00 11\n"));
    disk("e-dup", "[Drive]\nModel=E\nIndex=1\n");
    ASSERT_TRUE(QDir().mkpath(dir.path("f-empty"))); // no disk.ini
    disk("g-sectors", "[Drive]\nIndex=7\n");
    ASSERT_TRUE(dir.write("g-sectors/smart-data.hex", zeroSector()));
    ASSERT_TRUE(dir.write("machine.ini", "[Machine]\nPlatform=two\n"));
    // A sector file that never ends is refused, not read into memory.
    disk("h-zero", "[Drive]\nModel=H\n");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.path("h-zero/identify.hex")));
    // A link to nowhere is a file that cannot be read, not a missing one.
    disk("i-dangling", "[Drive]\nModel=I\n");
    ASSERT_TRUE(
        QFile::link(dir.path("i-dangling/gone.hex"), dir.path("i-dangling/smart-thresholds.hex")));

    StderrCapture capture;
    const auto machine = loadSimMachine(dir.path());
    const QString messages = capture.text();

    ASSERT_TRUE(machine);
    ASSERT_EQ(machine->disks.size(), 3u);
    EXPECT_EQ(machine->disks[0].driveField("Model"), "A");
    EXPECT_EQ(machine->disks[0].index(), 0);
    EXPECT_EQ(machine->disks[1].index(), 1);
    EXPECT_EQ(machine->disks[2].folder, "g-sectors");
    EXPECT_EQ(machine->disks[2].smartData.size(), 512);
    EXPECT_TRUE(machine->disks[2].identify.isEmpty());
    EXPECT_EQ(machine->diskByIndex(7), &machine->disks[2]);
    EXPECT_EQ(machine->diskByIndex(2), nullptr);
    EXPECT_EQ(machine->info.platform, 2u); // the default after a bad machine.ini

    const QStringList lines = messages.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 7) << messages.toStdString();
    EXPECT_TRUE(messages.contains("i-dangling/smart-thresholds.hex: cannot be read"))
        << messages.toStdString();
    EXPECT_TRUE(messages.contains("h-zero/identify.hex: cannot be read")) << messages.toStdString();
    EXPECT_TRUE(messages.contains("c-broken/disk.ini:2:")) << messages.toStdString();
    EXPECT_TRUE(messages.contains("d-badhex/identify.hex:")) << messages.toStdString();
    EXPECT_TRUE(messages.contains("e-dup/disk.ini")) << messages.toStdString();
    EXPECT_TRUE(messages.contains("f-empty/disk.ini")) << messages.toStdString();
    EXPECT_TRUE(messages.contains("machine.ini:2:")) << messages.toStdString();
}

TEST(SimLoader, AMalformedFileGivesOnePrintableLine) {
    TestDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.path("disk")));
    ASSERT_TRUE(dir.write("disk/disk.ini", "[Drive]\nModel=a\nSize=1\r2\x1b[2J\n"));
    StderrCapture capture;
    const auto machine = loadSimMachine(dir.path());
    const QString messages = capture.text();
    ASSERT_TRUE(machine);
    EXPECT_TRUE(machine->disks.empty());
    ASSERT_TRUE(messages.endsWith('\n'));
    EXPECT_EQ(messages.count('\n'), 1) << messages.toStdString();
    for (const QChar ch : messages.chopped(1))
        EXPECT_TRUE(ch.isPrint()) << messages.toStdString();
    EXPECT_TRUE(messages.contains("disk/disk.ini:3:")) << messages.toStdString();
}

TEST(SimLoader, MissingFolderIsNoMachine) {
    EXPECT_EQ(loadSimMachine(QStringLiteral("/nonexistent/machine")), nullptr);
    EXPECT_EQ(loadSimMachine(QString()), nullptr);
}

TEST(SimLoader, ShippedSampleMachineLoadsWhole) {
    StderrCapture capture;
    const auto machine = loadSimMachine(QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine"));
    EXPECT_TRUE(capture.text().isEmpty());
    ASSERT_TRUE(machine);
    ASSERT_GE(machine->disks.size(), 6u);
    for (const SimDisk& disk : machine->disks) {
        for (const QByteArray* image : {&disk.identify, &disk.smartData, &disk.smartThresholds}) {
            ASSERT_EQ(image->size(), 512) << disk.folder.toStdString();
            int sum = 0;
            for (char c : *image)
                sum += uchar(c);
            EXPECT_EQ(sum % 256, 0) << disk.folder.toStdString() << " has a bad checksum";
        }
    }
}
