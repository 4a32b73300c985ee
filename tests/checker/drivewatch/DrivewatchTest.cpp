#include "../CheckerTestDisks.h"

#include "DeviceBackendInstall.h"
#include "DrivewatchOutput.h"
#include "DrivewatchRun.h"
#include "ErrorLog.h"
#include "PanelText.h"
#include "SelfTestLog.h"
#include "SimDevice.h"
#include "SimMachine.h"
#include "TerminalWidth.h"
#include "Translation.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

#include "../../support/FileHazards.h"
#include "../../support/ScopedSimMachine.h"
#include "../../support/SimMachineFiles.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace vorn::checker;
using namespace vorn::drivewatch;

namespace {

const QString kSourceRoot = QStringLiteral(VORN_SOURCE_ROOT);

// drivewatch on the shipped sample machine, with a scratch folder as its
// current directory.
class DrivewatchTest : public ::testing::Test {
protected:
    void SetUp() override { m_sim.install(kSourceRoot + QStringLiteral("/data/sample-machine")); }
    void TearDown() override { Cm_CloseErrorFile(); }

    DrivewatchResult Run(std::initializer_list<const char*> words,
                         std::function<int(const QByteArray&)> stream = {}) {
        QStringList args{QStringLiteral("drivewatch")};
        for (const char* word : words)
            args.append(QString::fromUtf8(word));
        DrivewatchEnvironment env;
        env.programDir = kSourceRoot + QStringLiteral("/data");
        env.currentDir = m_cwd.path();
        env.version = QStringLiteral("9.8.7.6");
        env.now = [this] { return m_now; };
        env.sleep = [this](int) { ++m_sleeps; };
        env.streamOut = std::move(stream);
        env.root = m_root;
        env.historyPath = m_history;
        return RunDrivewatch(args, env);
    }

    static QJsonArray Disks(const DrivewatchResult& result) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(result.out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        EXPECT_TRUE(doc.isObject());
        EXPECT_EQ(doc.object().keys(), QStringList{"disks"});
        return doc.object().value(QStringLiteral("disks")).toArray();
    }

    static QJsonObject DiskWithIndex(const QJsonArray& disks, int index) {
        for (const QJsonValue& disk : disks) {
            if (disk.toObject().value(QStringLiteral("index")).toInt() == index)
                return disk.toObject();
        }
        ADD_FAILURE() << "no disk " << index;
        return {};
    }

    static QJsonObject Attribute(const QJsonObject& disk, int id) {
        for (const QJsonValue& a : disk.value(QStringLiteral("attributes")).toArray()) {
            if (a.toObject().value(QStringLiteral("id")).toInt() == id)
                return a.toObject();
        }
        return {};
    }

    QStringList CwdFiles() const {
        return QDir(m_cwd.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    ScopedSimMachine m_sim;
    TestDir m_cwd;
    int m_sleeps = 0;
    bool m_root = false;
    std::int64_t m_now = 1700000000;
    QString m_history; // empty: the runs keep no history
};

TEST_F(DrivewatchTest, JsonOfTheSampleMachine) {
    const DrivewatchResult result = Run({"--json"});
    EXPECT_EQ(result.exitCode, kExitThresholdExceeded); // disk 2 is failing
    EXPECT_TRUE(result.err.isEmpty()) << result.err.constData();
    const QJsonArray disks = Disks(result);

    // The fixed disks in the system's order, then the USB disk (4).
    QList<int> indices;
    for (const QJsonValue& disk : disks)
        indices.append(disk.toObject().value(QStringLiteral("index")).toInt());
    EXPECT_EQ(indices, (QList<int>{0, 1, 2, 3, 5, 4}));

    // Every disk and every attribute carries exactly these keys.
    const auto keySet = [](const char* words) {
        QStringList keys = QString::fromLatin1(words).split(QLatin1Char(' '));
        keys.sort();
        return keys;
    };
    const QStringList diskKeys =
        keySet("index protocol device scsi model manufacturer firmware serial capacity_bytes "
               "capacity_text "
               "drive_letters interface ata_standard transfer_mode_supported transfer_mode_active "
               "smart_supported smart_enabled status temperature power_on_raw power_on_unit "
               "power_cycles attributes power_mode power_on_hours power_on_source "
               "critical_temperature_threshold warning_temperature_threshold "
               "failing_attributes logical_sector_size temperature_source usb_bridge "
               "smart_available smart_unavailable_reason");
    const QStringList attributeKeys =
        keySet("id name name_key importance init change current worst "
               "threshold raw depleted below_threshold raw48 "
               "raw_text");
    for (const QJsonValue& disk : disks) {
        EXPECT_EQ(disk.toObject().keys(), diskKeys);
        for (const QJsonValue& a : disk.toObject().value(QStringLiteral("attributes")).toArray()) {
            EXPECT_EQ(a.toObject().keys(), attributeKeys);
            EXPECT_TRUE(a.toObject().value(QStringLiteral("depleted")).isDouble());
        }
    }

    const QJsonObject d0 = DiskWithIndex(disks, 0);
    EXPECT_EQ(d0.value(QStringLiteral("device")).toString(),
              QStringLiteral("\\\\.\\PhysicalDrive0"));
    EXPECT_FALSE(d0.value(QStringLiteral("scsi")).toBool());
    EXPECT_EQ(d0.value(QStringLiteral("model")).toString(), QStringLiteral("ST2000DM008-2FR102"));
    EXPECT_EQ(d0.value(QStringLiteral("serial")).toString(), QStringLiteral("ZFL1K8QW"));
    EXPECT_EQ(d0.value(QStringLiteral("capacity_text")).toString(), QStringLiteral("1,863.02 GB"));
    EXPECT_EQ(d0.value(QStringLiteral("drive_letters")).toString(), QStringLiteral("C: D: "));
    EXPECT_EQ(d0.value(QStringLiteral("status")).toInt(), 0);
    EXPECT_EQ(d0.value(QStringLiteral("temperature")).toInt(), 34);
    EXPECT_EQ(d0.value(QStringLiteral("power_cycles")).toInt(), 409);
    EXPECT_EQ(d0.value(QStringLiteral("power_on_unit")).toInt(), -1);
    // The temperature attribute is listed here though the window has no row
    // for it.
    EXPECT_EQ(Attribute(d0, 194).value(QStringLiteral("current")).toInt(), 34);
    // No baseline yet: every initial value is the current one.
    for (const QJsonValue& a : d0.value(QStringLiteral("attributes")).toArray())
        EXPECT_EQ(a.toObject().value(QStringLiteral("init")),
                  a.toObject().value(QStringLiteral("current")));

    const QJsonObject d2 = DiskWithIndex(disks, 2);
    EXPECT_EQ(d2.value(QStringLiteral("status")).toInt(), 1);

    const QJsonObject d3 = DiskWithIndex(disks, 3);
    EXPECT_TRUE(d3.value(QStringLiteral("smart_supported")).toBool());
    EXPECT_FALSE(d3.value(QStringLiteral("smart_enabled")).toBool());
    EXPECT_EQ(d3.value(QStringLiteral("status")).toInt(), -1);
    EXPECT_EQ(d3.value(QStringLiteral("temperature")).toInt(), -1);
    EXPECT_EQ(d3.value(QStringLiteral("power_on_raw")).toInt(), -1);
    EXPECT_TRUE(d3.value(QStringLiteral("attributes")).toArray().isEmpty());

    const QJsonObject d5 = DiskWithIndex(disks, 5);
    EXPECT_EQ(d5.value(QStringLiteral("device")).toString(), QStringLiteral("\\\\.\\Scsi3:"));
    EXPECT_TRUE(d5.value(QStringLiteral("scsi")).toBool());

    // Reading leaves no file behind: no baseline, no log.
    EXPECT_TRUE(CwdFiles().isEmpty()) << CwdFiles().join(' ').toStdString();
    EXPECT_EQ(m_sleeps, 0);
}

TEST_F(DrivewatchTest, BaselineFilesAreReadAlwaysAndWrittenOnlyWhenAsked) {
    // Disk 1 counts minutes and its spin-up time (attribute 3, current 201,
    // threshold 63) started at 210.
    const QByteArray file = checkertest::Le32(1600000000) + checkertest::Le32(2) +
                            checkertest::BaselineRecord(3, 210, 205, 210);
    ASSERT_TRUE(m_cwd.write(QStringLiteral("Y2C4KM3E.dat"), file));

    DrivewatchResult result = Run({"--json"});
    QJsonObject d1 = DiskWithIndex(Disks(result), 1);
    EXPECT_EQ(d1.value(QStringLiteral("power_on_unit")).toInt(), 2);
    EXPECT_EQ(Attribute(d1, 3).value(QStringLiteral("init")).toInt(), 210);
    EXPECT_EQ(Attribute(d1, 3).value(QStringLiteral("change")).toInt(), 205);
    EXPECT_NEAR(Attribute(d1, 3).value(QStringLiteral("depleted")).toDouble(), 100.0 * 9 / 147,
                1e-9);
    EXPECT_EQ(CwdFiles(), QStringList{"Y2C4KM3E.dat"});
    EXPECT_EQ(m_cwd.read(QStringLiteral("Y2C4KM3E.dat")), file);

    // The text shows hours in the disk's unit: 2,876,418 minutes.
    EXPECT_EQ(d1.value(QStringLiteral("power_on_raw")).toInt(), 2876418);
    result = Run({});
    EXPECT_TRUE(QString::fromUtf8(result.out).contains(QStringLiteral("使用時間：47,940 時間")));

    result = Run({"--baseline", "--json"});
    EXPECT_EQ(CwdFiles(), (QStringList{"JR1000D33VK6XE.dat", "WD-WCC6Y3NK7L2P.dat",
                                       "WD-WX32D81HC2NK.dat", "Y2C4KM3E.dat", "ZFL1K8QW.dat"}));
    const QByteArray rewritten = m_cwd.read(QStringLiteral("Y2C4KM3E.dat"));
    EXPECT_EQ(rewritten.left(8), file.left(8)); // the first run's time and the unit survive
    EXPECT_EQ(m_cwd.read(QStringLiteral("ZFL1K8QW.dat")).left(4), checkertest::Le32(1700000000));
}

TEST_F(DrivewatchTest, TextIsAlignedInTerminalColumns) {
    const DrivewatchResult result = Run({});
    const QStringList blocks = QString::fromUtf8(result.out).split(QStringLiteral("\n\n"));
    ASSERT_GE(blocks.size(), 2);
    const QStringList panel = blocks[0].split(QLatin1Char('\n'));
    EXPECT_EQ(panel[0], QStringLiteral("ディスク 0: ST2000DM008-2FR102"));
    ASSERT_EQ(panel.size(), 15);
    std::set<int> labelEnds;
    for (int i = 1; i < panel.size(); ++i)
        labelEnds.insert(TerminalWidth(panel[i].left(panel[i].indexOf(QChar(u'：')) + 1)));
    EXPECT_EQ(labelEnds.size(), 1u) << blocks[0].toStdString();
    EXPECT_TRUE(blocks[0].contains(QStringLiteral("モデル名：ST2000DM008-2FR102")));
    EXPECT_TRUE(blocks[0].contains(QStringLiteral("HDD全容量：1,863.02 GB")));

    // Every row's last column (the raw value) starts in the same terminal
    // column as its heading, and no row is the temperature.
    const QStringList list = blocks[1].split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_TRUE(list[0].trimmed().startsWith(QLatin1String("ID")));
    ASSERT_TRUE(list[0].endsWith(QStringLiteral("その他")));
    std::set<int> rawStarts;
    rawStarts.insert(TerminalWidth(list[0].chopped(3)));
    for (int i = 1; i < list.size(); ++i) {
        const QStringList words = list[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        // The raw column follows the wear column's "%"; a decoded value
        // such as "34 (Min/Max 18/49)" holds spaces of its own.
        const qsizetype rawAt = list[i].indexOf(QLatin1Char('%')) + 1;
        ASSERT_GT(rawAt, 0) << list[i].toStdString();
        const QString raw = list[i].mid(rawAt).trimmed();
        rawStarts.insert(TerminalWidth(list[i].chopped(raw.size())));
        EXPECT_NE(words[0], QStringLiteral("C2"));
    }
    EXPECT_EQ(rawStarts.size(), 1u) << blocks[1].toStdString();
}

TEST_F(DrivewatchTest, SaveWritesThreeReportsPerDisk) {
    TestDir out;
    const DrivewatchResult result = Run({"--save", out.path().toUtf8().constData()});
    EXPECT_TRUE(result.err.isEmpty()) << result.err.constData();
    const QStringList files = QDir(out.path()).entryList(QDir::Files);
    EXPECT_EQ(files.size(), 18);
    EXPECT_TRUE(files.contains(QStringLiteral("HGST HTS721010A9E630_5.smt_thr.txt")));
    EXPECT_TRUE(files.contains(QStringLiteral("WDC WD40EDAZ-11SLVB0_4.smt_atr.txt")));
    EXPECT_TRUE(files.contains(QStringLiteral("ST2000DM008-2FR102_0.hdd_inf.txt")));

    const DrivewatchResult missing = Run({"--save", "/nonexistent/folder"});
    EXPECT_EQ(missing.exitCode, kExitUsage);
}

TEST_F(DrivewatchTest, LogOnlyWhenAskedAndOnlyTheDiskLoop) {
    const QString log = m_cwd.path(QStringLiteral("scan.log"));
    Run({"--log", log.toUtf8().constData(), "-Ata"});
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QLatin1String("\\\\.\\PhysicalDrive5")));
    // The USB disk is opened once, by its own path, whatever the switch.
    EXPECT_EQ(text.count(QLatin1String("\\\\.\\PhysicalDrive4")), 1);
    EXPECT_FALSE(text.contains(QLatin1String("Scsi")));
    // Disk 5 answers only on its port path: with -Ata it is tried twice,
    // without a wait, since no device is there (ENXIO).
    EXPECT_EQ(text.count(QLatin1String("\\\\.\\PhysicalDrive5")), 2);
    EXPECT_EQ(m_sleeps, 0);
}

TEST_F(DrivewatchTest, ExitStatusesAndMessages) {
    DrivewatchResult result = Run({"--jason"});
    EXPECT_EQ(result.exitCode, kExitUsage);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_EQ(result.err.count('\n'), 1);

    result = Run({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QByteArray("drivewatch 9.8.7.6\n"));
    result = Run({"--help"});
    EXPECT_TRUE(result.out.contains("Exit status"));

    TestDir empty;
    m_sim.install(empty.path());
    result = Run({"--json"});
    EXPECT_EQ(result.exitCode, kExitNoDisk);
    EXPECT_TRUE(Disks(result).isEmpty());
    EXPECT_EQ(result.err.count('\n'), 1);
}

// Every open refused as a device policy refuses it, even to root.
class PolicyRefusedBackend : public vorn::platform::DeviceBackend {
public:
    std::unique_ptr<vorn::platform::OpenDevice> open(const vorn::platform::DevicePath&,
                                                     int* error) override {
        vorn::platform::noteDeviceNodeRefused(QStringLiteral("/dev/sda"));
        *error = EACCES;
        return nullptr;
    }
};

// Root refused by the system is not sent to install a helper that could
// not help: the line says the system refused, and which node.
TEST_F(DrivewatchTest, RootRefusedByTheSystemIsToldSoWithTheNode) {
    vorn::platform::InstallDeviceBackend(std::make_shared<PolicyRefusedBackend>());
    m_root = true;
    DrivewatchResult result = Run({"--json"});
    EXPECT_EQ(result.exitCode, kExitNoDisk);
    EXPECT_EQ(result.err, QByteArray("drivewatch: the system refused root access to /dev/sda (a "
                                     "device policy, as in a container or virtual machine); the "
                                     "disk helper cannot help there\n"));

    vorn::platform::InstallDeviceBackend(std::make_shared<PolicyRefusedBackend>());
    m_root = false;
    result = Run({"--json"});
    EXPECT_EQ(result.exitCode, kExitNoDisk);
    EXPECT_TRUE(result.err.contains("install the disk helper")) << result.err.constData();
}

// One disk on a machine of its own: attribute 5 with the given raw count,
// installed in sim.
void WriteCountingDisk(ScopedSimMachine& sim, const TestDir& machine, int reallocated,
                       const char* device = "") {
    checkertest::SimDiskFiles files;
    files.folder = QStringLiteral("0-disk");
    files.drive = checkertest::DriveFields(0, "IDE", "IDE\\DISK", 0, 0, "SYSTEM MODEL");
    files.volumes = QStringLiteral("Partition1=C:");
    files.device = QString::fromLatin1(device);
    checkertest::WriteSimDisk(machine, files);
    SectorImage data{}, thresholds{};
    checkertest::SetAttributes(&data, &thresholds,
                               {{1, 100, 100, 0, 6}, {5, 100, 100, ULONGLONG(reallocated), 36}});
    machine.write(QStringLiteral("0-disk/smart-data.hex"), checkertest::SectorHex(data));
    machine.write(QStringLiteral("0-disk/smart-thresholds.hex"),
                  checkertest::SectorHex(thresholds));
    sim.install(machine.path());
}

TEST_F(DrivewatchTest, ChangesExitFourOncePerChangeUntilAccepted) {
    TestDir machine;
    WriteCountingDisk(m_sim, machine, 0);
    DrivewatchResult result = Run({"--baseline", "--changes"});
    EXPECT_EQ(result.exitCode, kExitGood); // the first run takes the reference
    EXPECT_TRUE(result.out.isEmpty());

    WriteCountingDisk(m_sim, machine, 8);
    const QByteArray told = "ディスク 0: TESTDISK 500\n"
                            "  再配置セクタ数 (5) が 0 から 8 に増えました\n";
    result = Run({"--baseline", "--changes"});
    EXPECT_EQ(result.exitCode, kExitWorse);
    EXPECT_EQ(result.out, told);
    // Still so, but no longer news: listed as told, and the run is quiet.
    result = Run({"--baseline", "--changes"});
    EXPECT_EQ(result.exitCode, kExitGood);
    EXPECT_EQ(result.out, QByteArray(told).insert(told.size() - 1, " (既報)"));

    result = Run({"--accept"});
    EXPECT_EQ(result.exitCode, kExitGood);
    result = Run({"--baseline", "--changes"});
    EXPECT_EQ(result.exitCode, kExitGood);
    EXPECT_TRUE(result.out.isEmpty());

    EXPECT_EQ(Run({"--changes", "--json"}).exitCode, kExitUsage);
    EXPECT_EQ(Run({"--changes", "--temp-limit", "0"}).exitCode, kExitUsage);
}

TEST_F(DrivewatchTest, NoWakeListsASleepingDiskFromTheSystemAndAsksItNothingElse) {
    TestDir machine;
    WriteCountingDisk(m_sim, machine, 0, "PowerMode=standby");
    const QString trace = m_cwd.path(QStringLiteral("trace.txt"));
    qputenv("VORN_SIM_TRACE", trace.toLocal8Bit());
    const DrivewatchResult asleep = Run({"--json", "--no-wake"});
    const QByteArray lines = m_cwd.read(QStringLiteral("trace.txt"));
    const DrivewatchResult woken = Run({"--json"});
    qunsetenv("VORN_SIM_TRACE");

    EXPECT_EQ(asleep.exitCode, kExitGood);
    const QJsonObject disk = DiskWithIndex(Disks(asleep), 0);
    EXPECT_EQ(disk.value(QStringLiteral("power_mode")).toString(), QStringLiteral("standby"));
    EXPECT_EQ(disk.value(QStringLiteral("model")).toString(), QStringLiteral("SYSTEM MODEL"));
    EXPECT_EQ(disk.value(QStringLiteral("capacity_bytes")).toDouble(), 500107862016.0);
    EXPECT_TRUE(disk.value(QStringLiteral("attributes")).toArray().isEmpty());
    EXPECT_FALSE(lines.contains("WAKE-UP"));
    EXPECT_EQ(lines.count('\n'), 1); // CHECK POWER MODE, nothing else

    // Without --no-wake the disk is read: it was found asleep and woken.
    const QJsonObject read = DiskWithIndex(Disks(woken), 0);
    EXPECT_EQ(read.value(QStringLiteral("power_mode")).toString(), QStringLiteral("standby"));
    EXPECT_EQ(read.value(QStringLiteral("model")).toString(), QStringLiteral("TESTDISK 500"));
    EXPECT_TRUE(m_cwd.read(QStringLiteral("trace.txt")).contains("WAKE-UP 0-disk"));
}

// The sample machine's healthy disk alone, so that no failing disk's
// status 3 stands in front of a file error's.
class DrivewatchFilesTest : public DrivewatchTest {
protected:
    void SetUp() override {
        const QString from = kSourceRoot + QStringLiteral("/data/sample-machine/0-sata-healthy");
        ASSERT_TRUE(QDir().mkpath(m_machine.path(QStringLiteral("0"))));
        for (const QString& name : QDir(from).entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(from + QLatin1Char('/') + name,
                                    m_machine.path(QStringLiteral("0/") + name)));
        m_sim.install(m_machine.path());
    }

    QString Line(const QString& path, const char* reason) const {
        return QStringLiteral("drivewatch: %1: %2\n").arg(path, QLatin1String(reason));
    }

    TestDir m_machine;
    TestDir m_elsewhere;
};

TEST_F(DrivewatchFilesTest, APlantedLinkIsRefusedWithOneLineAndStatusFive) {
    ASSERT_TRUE(m_elsewhere.write(QStringLiteral("victim"), "keep"));
    const QString victim = m_elsewhere.path(QStringLiteral("victim"));
    ASSERT_TRUE(PlantLink(m_cwd.path(), m_cwd.path(QStringLiteral("ZFL1K8QW.dat")), victim));
    const QString log = m_cwd.path(QStringLiteral("scan.log"));
    ASSERT_TRUE(PlantLink(m_cwd.path(), log, victim));

    DrivewatchResult result = Run({"--baseline", "--log", log.toUtf8().constData()});
    EXPECT_EQ(result.exitCode, kExitFileError);
    const char* refusal = "is a symbolic link; refusing to write through it";
    EXPECT_EQ(QString::fromUtf8(result.err),
              Line(log, refusal) + Line(m_cwd.path(QStringLiteral("ZFL1K8QW.dat")), refusal));
    EXPECT_EQ(m_elsewhere.read(QStringLiteral("victim")), QByteArray("keep"));
    EXPECT_FALSE(result.out.isEmpty());

    // The failing disk of the full sample machine outranks the file error.
    m_sim.install(kSourceRoot + QStringLiteral("/data/sample-machine"));
    result = Run({"--baseline"});
    EXPECT_EQ(result.exitCode, kExitThresholdExceeded);
    EXPECT_TRUE(result.err.contains("ZFL1K8QW.dat: is a symbolic link"));
}

TEST_F(DrivewatchFilesTest, AFifoNamedLikeABaselineNeitherBlocksNorIsReplaced) {
    const QString fifo = m_cwd.path(QStringLiteral("ZFL1K8QW.dat"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const char* option : {"--json", "--baseline"}) {
        SCOPED_TRACE(option);
        const DrivewatchResult result = Run({option});
        EXPECT_EQ(result.exitCode, kExitFileError);
        EXPECT_EQ(QString::fromUtf8(result.err), Line(fifo, "not a regular file"));
        EXPECT_TRUE(QFileInfo(fifo).isFile() == false && QFileInfo::exists(fifo));
    }
}

TEST_F(DrivewatchFilesTest, AFullDiskKeepsTheOldReportAndSaysSo) {
    TestDir out;
    ASSERT_EQ(Run({"--save", out.path().toUtf8().constData()}).exitCode, kExitGood);
    const QString name = QStringLiteral("ST2000DM008-2FR102_0.smt_atr.txt");
    const QByteArray whole = out.read(name);
    ASSERT_GT(whole.size(), 1000);
    ASSERT_TRUE(out.write(name, "the previous report"));

    DrivewatchResult result;
    {
        FileSizeLimit limit(512);
        result = Run({"--save", out.path().toUtf8().constData()});
    }
    EXPECT_EQ(result.exitCode, kExitFileError);
    EXPECT_TRUE(QString::fromUtf8(result.err).contains(Line(out.path(name), "File too large")))
        << result.err.constData();
    EXPECT_EQ(out.read(name), QByteArray("the previous report"));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST_F(DrivewatchFilesTest, UnwritableStandardOutputGetsOneLineAndStatusFive) {
    DrivewatchResult result = Run({"--json"});
    ASSERT_EQ(result.exitCode, kExitGood);
    std::FILE* full = std::fopen("/dev/full", "w");
    if (!full)
        GTEST_SKIP() << "no /dev/full";
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    EXPECT_EQ(EmitDrivewatchResult(result, full, err), kExitFileError);
    result.exitCode = kExitThresholdExceeded;
    EXPECT_EQ(EmitDrivewatchResult(result, full, err), kExitThresholdExceeded);
    std::fclose(full);

    std::rewind(err);
    char text[256] = {};
    const size_t size = std::fread(text, 1, sizeof text - 1, err);
    std::fclose(err);
    EXPECT_EQ(QByteArray(text, int(size)),
              QByteArray("drivewatch: standard output: No space left on device\n").repeated(2));
}

// Whatever is planted at a disk's watch file switches its alerts off until
// it goes: every run says so, and leaves the thing as it is.
TEST_F(DrivewatchFilesTest, AWatchFileThatCannotBeReadOrStoredIsSaidOnEveryRun) {
    const QString watch = m_cwd.path(QStringLiteral("ZFL1K8QW.watch"));
    const QByteArray name = QFile::encodeName(watch);
    ASSERT_TRUE(m_elsewhere.write(QStringLiteral("victim"), "keep"));
    const struct {
        const char* what;
        std::function<bool()> plant;
        const char* reason;
    } cases[] = {
        {"FIFO", [&] { return ::mkfifo(name.constData(), 0600) == 0; }, "not a regular file"},
        {"folder", [&] { return QDir().mkdir(watch); }, "not a regular file"},
        {"link",
         [&] { return PlantLink(m_cwd.path(), watch, m_elsewhere.path(QStringLiteral("victim"))); },
         "is a symbolic link; refusing to write through it"},
        {"another user's file",
         [&] {
             return m_cwd.write(QStringLiteral("ZFL1K8QW.watch"), "{}") && ::geteuid() == 0 &&
                    ::chown(name.constData(), 65534, 65534) == 0;
         },
         "belongs to another user; refusing it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(watch);
        QDir().rmdir(watch);
        if (!c.plant())
            continue;
        for (int run = 0; run < 2; ++run) {
            const DrivewatchResult result = Run({"--changes"});
            EXPECT_EQ(result.exitCode, kExitFileError);
            EXPECT_EQ(QString::fromUtf8(result.err), Line(watch, c.reason));
        }
        EXPECT_FALSE(QFileInfo(watch).isFile() && !QFileInfo(watch).isSymLink() &&
                     QFileInfo(watch).ownerId() == ::geteuid());
    }
    EXPECT_EQ(m_elsewhere.read(QStringLiteral("victim")), QByteArray("keep"));
}

// Files of others and second names: a baseline of another user is neither
// read nor replaced (nor are its bits taken), a log with another name is
// not written through, and a killed run's temporaries go at the next run.
TEST_F(DrivewatchFilesTest, OtherUsersFilesAndSecondNamesAreRefusedAndLeftoversSwept) {
    ASSERT_TRUE(m_elsewhere.write(QStringLiteral("victim"), "keep"));
    const QString log = m_cwd.path(QStringLiteral("scan.log"));
    ASSERT_EQ(::link(QFile::encodeName(m_elsewhere.path(QStringLiteral("victim"))).constData(),
                     QFile::encodeName(log).constData()),
              0);
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const QString leftover = QStringLiteral(".ZFL1K8QW.watch.tmp.%1").arg(child);
    ASSERT_TRUE(m_cwd.write(leftover, "cut"));

    DrivewatchResult result = Run({"--json", "--log", log.toUtf8().constData()});
    EXPECT_EQ(result.exitCode, kExitFileError);
    EXPECT_EQ(QString::fromUtf8(result.err),
              Line(log, "has other hard links; refusing to write through them"));
    EXPECT_EQ(m_elsewhere.read(QStringLiteral("victim")), QByteArray("keep"));
    EXPECT_FALSE(CwdFiles().contains(leftover));

    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    const QString baseline = m_cwd.path(QStringLiteral("ZFL1K8QW.dat"));
    const QByteArray planted(398, '\x01');
    ASSERT_TRUE(m_cwd.write(QStringLiteral("ZFL1K8QW.dat"), planted));
    const QByteArray name = QFile::encodeName(baseline);
    ASSERT_EQ(::chown(name.constData(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(name.constData(), 06777), 0);
    result = Run({"--baseline"});
    EXPECT_EQ(result.exitCode, kExitFileError);
    EXPECT_EQ(QString::fromUtf8(result.err),
              Line(baseline, "belongs to another user; refusing it"));
    EXPECT_EQ(m_cwd.read(QStringLiteral("ZFL1K8QW.dat")), planted);
    struct stat info {};
    ASSERT_EQ(::stat(name.constData(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 06777u);
}

// Past a file-size limit the kernel sends SIGXFSZ, whose default ends the
// process without a word and leaves its temporary: the program itself, in
// a process of its own with the signal at its default.
TEST_F(DrivewatchFilesTest, AFileSizeLimitIsAFailedWriteNotASilentDeath) {
    QProcess process;
    process.setWorkingDirectory(m_cwd.path());
    QProcessEnvironment env;
    env.insert(QStringLiteral("VORN_SIM"), m_machine.path());
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    process.setProcessEnvironment(env);
    process.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit small{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &small);
    });
    process.start(QStringLiteral(VORN_DRIVEWATCH),
                  {QStringLiteral("--baseline"), QStringLiteral("--no-history")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), kExitFileError);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
              Line(m_cwd.path(QStringLiteral("ZFL1K8QW.dat")), "File too large"));
    EXPECT_EQ(CwdFiles(), QStringList());
}

// The language of the text output follows the locale as gettext reads it,
// VORN_LANG overriding; whatever leads to Japanese gives the same bytes.
TEST_F(DrivewatchTest, TextOutputSpeaksTheLanguageTheEnvironmentChooses) {
    const struct {
        const char* lang;     // LANG, or null for unset
        const char* vornLang; // VORN_LANG, or null for unset
        bool english;
    } cases[] = {
        {"en_US.UTF-8", nullptr, true}, {"ja_JP.UTF-8", nullptr, false},
        {"C.UTF-8", nullptr, false},    {nullptr, nullptr, false},
        {"ja_JP.UTF-8", "en", true},    {"en_US.UTF-8", "ja", false},
    };
    QByteArray outputs[2];
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lang ? c.lang : "(unset)") +
                     " VORN_LANG=" + (c.vornLang ? c.vornLang : "(unset)"));
        QProcessEnvironment env;
        env.insert(QStringLiteral("VORN_SIM"),
                   kSourceRoot + QStringLiteral("/data/sample-machine"));
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        if (c.lang)
            env.insert(QStringLiteral("LANG"), QString::fromLatin1(c.lang));
        if (c.vornLang)
            env.insert(QStringLiteral("VORN_LANG"), QString::fromLatin1(c.vornLang));
        QProcess process;
        process.setWorkingDirectory(m_cwd.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VORN_DRIVEWATCH),
                      {QStringLiteral("--logs"), QStringLiteral("--no-history")});
        ASSERT_TRUE(process.waitForFinished(60000));
        const QByteArray out = process.readAllStandardOutput();
        if (c.english) {
            EXPECT_TRUE(out.startsWith("Disk 0: ")) << out.left(200).toStdString();
            EXPECT_TRUE(out.contains(" Model: ST2000DM008-2FR102\n")) << "a space after a colon";
            EXPECT_TRUE(out.contains("\nSelf-test log:\n"));
            EXPECT_FALSE(out.contains("ディスク"));
        } else {
            EXPECT_TRUE(out.startsWith("ディスク 0: ")) << out.left(200).toStdString();
            EXPECT_TRUE(out.contains("モデル名：ST2000DM008-2FR102\n")) << "none after a wide one";
            EXPECT_TRUE(out.contains("\nセルフテスト ログ:\n"));
        }
        QByteArray& seen = outputs[c.english];
        if (seen.isEmpty())
            seen = out;
        EXPECT_EQ(out.toStdString(), seen.toStdString());
    }
}

TEST_F(DrivewatchTest, AStreamedReportIsTheSameTextAndStopsAtTheFirstFailedWrite) {
    for (const bool json : {true, false}) {
        SCOPED_TRACE(json);
        const QByteArray whole = json ? Run({"--json"}).out : Run({}).out;
        QByteArray streamed;
        int parts = 0;
        const auto stream = [&](const QByteArray& part) {
            streamed += part;
            ++parts;
            return 0;
        };
        const DrivewatchResult result = json ? Run({"--json"}, stream) : Run({}, stream);
        EXPECT_GT(parts, 2);
        EXPECT_EQ((streamed + result.out).toStdString(), whole.toStdString());
    }

    int calls = 0;
    DrivewatchResult result =
        Run({"--json"}, [&](const QByteArray&) { return ++calls == 2 ? ENOSPC : 0; });
    EXPECT_EQ(calls, 2);
    result.exitCode = kExitGood;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    EXPECT_EQ(EmitDrivewatchResult(result, out, err), kExitFileError);
    EXPECT_EQ(std::ftell(out), 0L); // what is left is not written after the failure
    std::rewind(err);
    char text[128] = {};
    const size_t size = std::fread(text, 1, sizeof text - 1, err);
    std::fclose(out);
    std::fclose(err);
    EXPECT_EQ(QByteArray(text, int(size)),
              QByteArray("drivewatch: standard output: No space left on device\n"));
}

// The document other programs parse stays byte for byte what it was. After a
// deliberate change of it, tests/checker/golden/update.sh writes these again.
TEST(DrivewatchJson, TextOfTheSampleAndCapturedMachinesIsUnchanged) {
    const struct {
        const char* machine;
        const char* golden;
        bool logs = false;
    } cases[] = {
        {"/data/sample-machine", "/tests/checker/golden/sample-machine.json"},
        {"/data/sample-machine", "/tests/checker/golden/sample-machine-logs.json", true},
        {"/tests/fixtures/qemu", "/tests/checker/golden/qemu-fixtures.json"},
        {"/tests/fixtures/nvme-machine", "/tests/checker/golden/nvme-machine.json"},
    };
    ScopedSimMachine sim;
    for (const auto& c : cases) {
        sim.install(kSourceRoot + QLatin1String(c.machine));
        TestDir cwd;
        DrivewatchEnvironment env;
        env.currentDir = cwd.path();
        env.sleep = [](int) {};
        QStringList args{QStringLiteral("drivewatch"), QStringLiteral("--json")};
        if (c.logs)
            args << QStringLiteral("--logs");
        const DrivewatchResult result = RunDrivewatch(args, env);
        QFile golden(kSourceRoot + QLatin1String(c.golden));
        ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << c.golden;
        EXPECT_EQ(result.out.toStdString(), golden.readAll().toStdString()) << c.machine;
    }
}

TEST(DrivewatchJson, TemperatureIsUnknownWhereTheWindowShowsADash) {
    using checkertest::Attr;
    const struct {
        const char* what;
        std::initializer_list<Attr> attrs;
        int temperature;
    } cases[] = {
        {"a reading", {{194, 35, 40, 35, 0}}, 35},
        {"a sensor that reports 0", {{194, 100, 100, 0, 0}}, -1},
        {"no temperature attribute", {{9, 100, 100, 1234, 0}}, -1},
    };
    for (const auto& c : cases) {
        CDisk disk;
        checkertest::FillDisk(&disk, checkertest::Identify(), c.attrs);
        const PanelTexts panel = MakePanelTexts(&disk, 180, 0);
        const QJsonObject json = QJsonDocument::fromJson(DiskReportJson(disk, panel)).object();
        EXPECT_EQ(json.value(QStringLiteral("temperature")).toInt(0), c.temperature)
            << c.what << " (panel: " << panel[PanelField::Temperature].toStdString() << ")";
    }
}

QJsonArray HistoryReadings(const DrivewatchResult& result) {
    const QJsonDocument doc = QJsonDocument::fromJson(result.out);
    EXPECT_EQ(doc.object().keys(), QStringList{"readings"});
    return doc.object().value(QStringLiteral("readings")).toArray();
}

// Two runs store a reading of each disk; --history lists them, filtered by
// disk and time, and asks no disk anything.
TEST_F(DrivewatchTest, RunsStoreOneReadingPerDiskAndHistoryListsThemWithoutADisk) {
    m_history = m_cwd.path(QStringLiteral("state/vorn/history.sqlite"));
    const QJsonArray disks = Disks(Run({"--json"}));
    m_now += 120;
    const DrivewatchResult second = Run({"--json"});
    ASSERT_GT(disks.size(), 1);
    EXPECT_EQ(second.err, QByteArray());

    const QString trace = m_cwd.path(QStringLiteral("trace.txt"));
    qputenv("VORN_SIM_TRACE", trace.toLocal8Bit());
    const DrivewatchResult all = Run({"--history", "--json"});
    const DrivewatchResult csv = Run({"--history"});
    const DrivewatchResult one = Run({"--history", "--json", "--disk", "2"});
    const DrivewatchResult later = Run({"--history", "--json", "--since", "2023-11-14T22:14:00Z"});
    qunsetenv("VORN_SIM_TRACE");
    EXPECT_FALSE(QFile::exists(trace)) << "--history asked a disk";

    const QJsonArray readings = HistoryReadings(all);
    ASSERT_EQ(readings.size(), 2 * disks.size());
    for (const QJsonValue& disk : disks) {
        int found = 0;
        for (const QJsonValue& value : readings) {
            const QJsonObject reading = value.toObject();
            if (reading.value(QStringLiteral("serial")) != disk[QStringLiteral("serial")])
                continue;
            EXPECT_EQ(reading.value(QStringLiteral("model")), disk[QStringLiteral("model")]);
            // null in the history where the report says -1
            EXPECT_EQ(reading.value(QStringLiteral("temperature")).toInt(-1),
                      disk[QStringLiteral("temperature")].toInt());
            EXPECT_EQ(reading.value(QStringLiteral("attributes")).toArray().size(),
                      disk[QStringLiteral("attributes")].toArray().size());
            ++found;
        }
        EXPECT_EQ(found, 2) << qPrintable(disk[QStringLiteral("serial")].toString());
    }
    EXPECT_EQ(readings.first()[QStringLiteral("time")].toString(),
              QStringLiteral("2023-11-14T22:13:20.000Z"));
    EXPECT_EQ(csv.out.count('\n'), 1 + readings.size());
    EXPECT_TRUE(csv.out.startsWith("index,model,serial,wwn,time,"));
    // --disk takes the index the report gives, whatever number the store
    // keeps the disk under.
    QString serialAt2;
    for (const QJsonValue& disk : disks) {
        if (disk[QStringLiteral("index")].toInt() == 2)
            serialAt2 = disk[QStringLiteral("serial")].toString();
    }
    const QJsonArray ofOne = HistoryReadings(one);
    ASSERT_EQ(ofOne.size(), 2);
    for (const QJsonValue& reading : ofOne) {
        EXPECT_EQ(reading[QStringLiteral("index")].toInt(), 2);
        EXPECT_EQ(reading[QStringLiteral("serial")].toString(), serialAt2);
    }
    const QJsonArray ofLater = HistoryReadings(later);
    ASSERT_EQ(ofLater.size(), disks.size());
    EXPECT_EQ(ofLater[0][QStringLiteral("time_ms")].toInteger(), (1700000000LL + 120) * 1000);
}

TEST_F(DrivewatchTest, ASleepingDiskLeftAsleepStoresNothingAndAHistoryNotStoredChangesNoStatus) {
    TestDir machine;
    WriteCountingDisk(m_sim, machine, 0, "PowerMode=standby");
    m_history = m_cwd.path(QStringLiteral("history.sqlite"));
    Run({"--no-wake"});
    EXPECT_EQ(HistoryReadings(Run({"--history", "--json"})).size(), 0);
    Run({"--no-history"});
    EXPECT_EQ(HistoryReadings(Run({"--history", "--json"})).size(), 0);
    Run({});
    EXPECT_EQ(HistoryReadings(Run({"--history", "--json"})).size(), 1);

    // A store that cannot be made: one line, the run's status as without one.
    m_history.clear();
    const DrivewatchResult without = Run({});
    m_history = QStringLiteral("/proc/vorn-history/history.sqlite");
    const DrivewatchResult failed = Run({});
    EXPECT_EQ(failed.exitCode, without.exitCode);
    EXPECT_EQ(failed.out, without.out);
    EXPECT_EQ(failed.err.count('\n'), without.err.count('\n') + 1);
    EXPECT_TRUE(failed.err.endsWith("this run keeps no history\n")) << failed.err.constData();
}

} // namespace

namespace {

// The scan reads the log of a disk that keeps one, and of no disk asleep.
TEST_F(DrivewatchTest, PowerOnHoursComeFromTheStatisticsLogWhereTheDriveKeepsOne) {
    const QString fixture = kSourceRoot + QStringLiteral("/tests/fixtures/statistics-machine");
    m_sim.install(fixture);
    const QJsonArray disks = Disks(Run({"--json"}));
    // A minutes counter (raw 1,299,300) whose log states the hours; a log
    // read by SMART READ LOG; a disk without one, its attribute as hours.
    const struct {
        qint64 hours;
        const char* source;
    } expected[] = {{21655, "device_statistics"},
                    {8760, "device_statistics"},
                    {4321, "attribute_9_assumed_hours"}};
    for (int k = 0; k < 3; ++k) {
        const QJsonObject disk = DiskWithIndex(disks, k);
        EXPECT_EQ(disk.value(QStringLiteral("power_on_hours")).toInteger(), expected[k].hours) << k;
        EXPECT_EQ(disk.value(QStringLiteral("power_on_source")).toString(),
                  QString::fromLatin1(expected[k].source))
            << k;
    }

    TestDir machine;
    ASSERT_TRUE(simfiles::CopyMachine(fixture, machine.path()));
    QFile ini(machine.path(QStringLiteral("0-gpl-statistics/disk.ini")));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("PowerMode=standby\n");
    ini.close();
    m_sim.install(machine.path());
    qputenv("VORN_SIM_TRACE", m_cwd.path(QStringLiteral("trace.txt")).toLocal8Bit());
    Run({"--json", "--no-wake"});
    qunsetenv("VORN_SIM_TRACE");
    const QList<QByteArray> lines = m_cwd.read(QStringLiteral("trace.txt")).split('\n');
    EXPECT_EQ(std::count_if(
                  lines.begin(), lines.end(),
                  [](const QByteArray& line) { return line.startsWith("\\\\.\\PhysicalDrive0 "); }),
              1); // CHECK POWER MODE, nothing of the log
}

// --logs gives the statistics the scan read, with their units, in the
// document and the text alike; a disk without the log gives an empty list.
TEST_F(DrivewatchTest, LogsCarryTheDeviceStatisticsTheScanRead) {
    m_sim.install(kSourceRoot + QStringLiteral("/tests/fixtures/statistics-machine"));
    const QJsonArray disks = Disks(Run({"--json", "--logs"}));
    const QJsonArray kept = DiskWithIndex(disks, 0).value(QStringLiteral("statistics")).toArray();
    QStringList got;
    for (const QJsonValue& v : kept)
        got << QStringLiteral("%1=%2 %3")
                   .arg(v[QStringLiteral("name")].toString())
                   .arg(v[QStringLiteral("value")].toInteger())
                   .arg(v[QStringLiteral("unit")].toString());
    EXPECT_EQ(got, (QStringList{"lifetime_power_on_resets=1420 count", "power_on_hours=21655 hours",
                                "current_temperature=41 celsius"}));
    const QJsonValue none = DiskWithIndex(disks, 2).value(QStringLiteral("statistics"));
    EXPECT_TRUE(none.isArray() && none.toArray().isEmpty());
    EXPECT_FALSE(DiskWithIndex(Disks(Run({"--json"})), 0).contains(QStringLiteral("statistics")));

    const QString text = QString::fromUtf8(Run({"--logs"}).out);
    EXPECT_TRUE(text.contains(QStringLiteral("\n  使用時間      21655 時間\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\n  現在の温度    41 °C\n")));
    const CTextCatalogue english(InterfaceLanguage::English);
    const QString englishText = QString::fromUtf8(Run({"--logs"}).out);
    EXPECT_TRUE(englishText.contains(QStringLiteral("Power-On Hours")));
}

} // namespace

namespace {

// Self-tests on a copy of the sample machine whose drives keep time by the
// run's injected clock: each sleep of --wait moves both on.
class DrivewatchSelfTest : public DrivewatchTest {
protected:
    void SetUp() override {
        vorn::platform::setSimClock(
            [this] { return std::chrono::steady_clock::time_point(std::chrono::seconds(m_now)); });
        m_advance = [this](int ms) {
            ++m_sleeps;
            m_now += ms / 1000;
        };
    }
    void TearDown() override {
        vorn::platform::setSimClock(nullptr);
        DrivewatchTest::TearDown();
    }
    // A fresh copy of the machine; deviceLines say how the healthy SATA
    // disk's tests end ([Device] SelfTest=...).
    void Install(const char* deviceLines = "") {
        const QString machine = m_machines.path(QString::number(++m_installs));
        ASSERT_TRUE(
            simfiles::CopyMachine(kSourceRoot + QStringLiteral("/data/sample-machine"), machine));
        QFile ini(machine + QStringLiteral("/0-sata-healthy/disk.ini"));
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write(deviceLines);
        ini.close();
        m_sim.install(machine);
    }
    DrivewatchResult RunTest(std::initializer_list<const char*> words) {
        QStringList args{QStringLiteral("drivewatch")};
        for (const char* word : words)
            args.append(QString::fromUtf8(word));
        DrivewatchEnvironment env;
        env.currentDir = m_cwd.path();
        env.now = [this] { return m_now; };
        env.sleep = m_advance;
        return RunDrivewatch(args, env);
    }
    static QStringList Lines(const QByteArray& text) {
        return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    TestDir m_machines;
    int m_installs = 0;
    std::function<void(int)> m_advance;
};

TEST_F(DrivewatchSelfTest, StartsOneLinePerOfferingDiskAndDiskPicksTheJsonIndex) {
    Install();
    const QJsonArray before = Disks(Run({"--json"}));
    DrivewatchResult all = RunTest({"--selftest", "short"});
    EXPECT_EQ(all.exitCode, kExitGood) << all.err.toStdString();
    const QStringList started = Lines(all.out);
    ASSERT_FALSE(started.isEmpty());
    for (const QString& line : started)
        EXPECT_TRUE(line.endsWith(QStringLiteral(": short self-test started (about 1 minutes)")))
            << line.toStdString();
    EXPECT_EQ(m_sleeps, 0); // without --wait nothing is followed
    // A second start meets the running tests and is refused by each drive.
    const DrivewatchResult again = RunTest({"--selftest", "short"});
    EXPECT_EQ(again.exitCode, kExitNoDisk);
    EXPECT_TRUE(again.out.isEmpty());
    EXPECT_EQ(Lines(again.err).size(), started.size()) << again.err.toStdString();
    RunTest({"--selftest", "abort"}); // else disk 2 would refuse the next start

    // --disk 2 is the disk the document lists with index 2, and only it runs.
    const DrivewatchResult one = RunTest({"--selftest", "extended", "--disk", "2"});
    EXPECT_EQ(one.exitCode, kExitGood) << one.err.toStdString();
    const QString model = DiskWithIndex(before, 2).value(QStringLiteral("model")).toString();
    EXPECT_EQ(Lines(one.out),
              QStringList{QStringLiteral("ディスク 2: %1: extended self-test started (about "
                                         "512 minutes)")
                              .arg(model)});
    const QJsonArray after = Disks(Run({"--json", "--logs"}));
    for (const QJsonValue& disk : after) {
        const int index = disk.toObject().value(QStringLiteral("index")).toInt();
        const int status = disk.toObject()
                               .value(QStringLiteral("self_test"))
                               .toObject()
                               .value(QStringLiteral("status_code"))
                               .toInt();
        EXPECT_EQ(status == 15, index == 2) << "disk " << index << " status " << status;
    }
}

TEST_F(DrivewatchSelfTest, ADiskThatCannotRunTheTestSaysWhyAndFailsTheRun) {
    Install();
    // Disk 3 has S.M.A.R.T. off: no capability can be read from it.
    const DrivewatchResult off = RunTest({"--selftest", "short", "--disk", "3"});
    EXPECT_EQ(off.exitCode, kExitNoDisk);
    EXPECT_TRUE(off.out.isEmpty());
    ASSERT_EQ(Lines(off.err).size(), 1) << off.err.toStdString();
    EXPECT_TRUE(Lines(off.err)[0].startsWith(QStringLiteral("ディスク 3: ")));
    EXPECT_TRUE(off.err.contains("does not offer")) << off.err.toStdString();

    const DrivewatchResult none = RunTest({"--selftest", "short", "--disk", "9"});
    EXPECT_EQ(none.exitCode, kExitNoDisk);
    EXPECT_EQ(none.err, QByteArray("drivewatch: no disk offers the short self-test\n"));
}

TEST_F(DrivewatchSelfTest, WaitFollowsTheTestOnTheInjectedClockToItsEnd) {
    const struct {
        const char* device;
        int exitCode;
        const char* last; // the end of the last line of standard error
    } cases[] = {
        {"", kExitGood, nullptr},
        {"SelfTest=fail\n", kExitThresholdExceeded, nullptr},
        {"SelfTest=stuck\n", kExitThresholdExceeded, "it may be stuck"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        Install(c.device);
        m_sleeps = 0;
        const std::int64_t begin = m_now;
        const DrivewatchResult result = RunTest({"--selftest", "short", "--disk", "0", "--wait"});
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();
        const QStringList err = Lines(result.err);
        ASSERT_GE(err.size(), 2) << result.err.toStdString();
        // Progress while it runs, then one line for how it ended.
        EXPECT_TRUE(err[0].endsWith(QStringLiteral("% remaining"))) << err[0].toStdString();
        const QString expected = c.last                    ? QString::fromLatin1(c.last)
                                 : c.exitCode == kExitGood ? vorn::hdd::ataSelfTestStatusText(0)
                                                           : vorn::hdd::ataSelfTestStatusText(7);
        EXPECT_TRUE(err.last().endsWith(expected)) << err.last().toStdString();
        // A stuck drive is given up on after its timeout, not on the first look.
        if (c.last)
            EXPECT_GT(m_now - begin, 60 * 60);
        else
            EXPECT_LE(m_now - begin, 120);
        EXPECT_GT(m_sleeps, 1);
    }
}

} // namespace
