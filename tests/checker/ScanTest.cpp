#include "CheckerTestDisks.h"

#include "DiskList.h"
#include "DiskScan.h"
#include "ErrorLog.h"
#include "SimMachine.h"
#include "WideText.h"

#include "../support/ScopedSimMachine.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vorn::diskpass;
using namespace vorn::checker;

using namespace checkertest;

namespace {

const QString kIdePnp = QStringLiteral("IDE\\DISKTEST_____1\\5&1&0&0.0.0");
const QString kScsiPnp = QStringLiteral("SCSI\\DISK&VEN_TEST\\4&2&0&000200");

// A run log's lines without their time stamps.
QStringList LogLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QString& line :
         QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        lines.append(line.mid(line.indexOf(QLatin1String("] ")) + 2));
    return lines;
}

// The device paths in the order they were opened.
QStringList OpenedPathsIn(const QString& path) {
    QStringList paths;
    for (const QString& line : LogLines(path)) {
        if (line.startsWith(QLatin1String("\\\\.\\")))
            paths.append(line);
    }
    return paths;
}

class ScanTest : public ::testing::Test {
protected:
    void TearDown() override { Cm_CloseErrorFile(); }

    void AddDisk(const SimDiskFiles& files) { WriteSimDisk(m_dir, files); }

    void Scan(const PassOptions& options = {}) {
        m_sim.install(m_dir.path());
        ScanDisks(&m_list, options, LogPath(), [this](int ms) { m_sleeps.push_back(ms); });
    }

    QString LogPath() const { return m_dir.path(QStringLiteral("DrivewatchMini.log")); }

    QStringList Log() const { return LogLines(LogPath()); }
    QStringList OpenedPaths() const { return OpenedPathsIn(LogPath()); }

    ScopedSimMachine m_sim;
    TestDir m_dir;
    CDiskList m_list;
    std::vector<int> m_sleeps;
};

struct PathCase {
    const char* name;
    QString interfaceType;
    QString pnp;
    QString device;
    PassOptions options;
    QStringList paths; // opened, in order
    int listed;        // disks in the list afterwards
    bool scsi;         // the path the listed disk keeps
};

PassOptions Ata() {
    PassOptions o;
    o.m_bOptAta = true;
    return o;
}

PassOptions Scsi() {
    PassOptions o;
    o.m_bOptScsi = true;
    return o;
}

TEST_F(ScanTest, PathOrderFollowsTheDiskKindAndTheSwitches) {
    const QString pd = QStringLiteral("\\\\.\\PhysicalDrive0");
    const QString port = QStringLiteral("\\\\.\\Scsi1:");
    const QString both = QStringLiteral("Direct=yes\nScsi=yes");
    const QString directOnly = QStringLiteral("Direct=yes\nScsi=no");
    const QString portOnly = QStringLiteral("Direct=no\nScsi=yes");
    const PathCase cases[] = {
        {"IDE disk: direct path first", "IDE", kIdePnp, both, {}, {pd}, 1, false},
        {"IDE disk falls back to the port path", "IDE", kIdePnp, portOnly, {}, {pd, port}, 1, true},
        {"IDE interface but no IDE device id: port path first",
         "IDE",
         kScsiPnp,
         both,
         {},
         {port},
         1,
         true},
        {"SCSI disk: port path first", "SCSI", kScsiPnp, both, {}, {port}, 1, true},
        {"SCSI disk falls back to the direct path",
         "SCSI",
         kScsiPnp,
         directOnly,
         {},
         {port, pd},
         1,
         false},
        {"-Ata opens a SCSI disk directly", "SCSI", kScsiPnp, both, Ata(), {pd}, 1, false},
        {"-Scsi opens an IDE disk by its port", "IDE", kIdePnp, both, Scsi(), {port}, 1, true},
        {"-Scsi on a disk without port path: two attempts, dropped",
         "IDE",
         kIdePnp,
         directOnly,
         Scsi(),
         {port, port},
         0,
         false},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        WriteSimDisk(dir, {QStringLiteral("d0"), DriveFields(0, c.interfaceType, c.pnp), QString(),
                           c.device});
        m_sim.install(dir.path());
        CDiskList list;
        std::vector<int> sleeps;
        const QString log = dir.path(QStringLiteral("run.log"));
        ScanDisks(&list, c.options, log, [&](int ms) { sleeps.push_back(ms); });

        EXPECT_EQ(OpenedPathsIn(log), c.paths);
        ASSERT_EQ(list.GetCount(), c.listed);
        if (c.listed) {
            EXPECT_EQ(bool(list.GetAt(0)->m_bScsi), c.scsi);
            EXPECT_EQ(list.GetAt(0)->GetModelNumber(), QStringLiteral("TESTDISK 500"));
            EXPECT_TRUE(sleeps.empty());
        } else {
            // The only path has no device: waiting for it cannot help.
            EXPECT_TRUE(sleeps.empty());
        }
    }
}

// The second attempt is always made, so a disk sees the same requests; the
// second of waiting before it only where the failure may pass. The port
// path of these disks has no device (ENOENT) in every case.
TEST(ScanWait, OnlyAFailureThatMayPassIsWaitedFor) {
    const struct {
        const char* device;
        bool waited;
    } cases[] = {
        {"Direct=yes\nOpenError=busy", true},    // EBUSY
        {"Direct=yes\nOpenError=denied", false}, // EACCES
        {"Direct=no", false},                    // ENXIO: no such device
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        TestDir dir;
        WriteSimDisk(dir, {QStringLiteral("d0"), DriveFields(0, QStringLiteral("IDE"), kIdePnp),
                           QString(), QString::fromLatin1(c.device)});
        ScopedSimMachine sim(dir.path());
        CDiskList list;
        std::vector<int> sleeps;
        const QString log = dir.path(QStringLiteral("run.log"));
        ScanDisks(&list, {}, log, [&](int ms) { sleeps.push_back(ms); });
        Cm_CloseErrorFile();

        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(sleeps, c.waited ? std::vector<int>{1000} : std::vector<int>{});
        const QStringList attempt{QStringLiteral("\\\\.\\PhysicalDrive0"),
                                  QStringLiteral("\\\\.\\Scsi1:")};
        EXPECT_EQ(OpenedPathsIn(log), attempt + attempt);
    }
}

TEST_F(ScanTest, UsbDisksAndDrivesWithoutMediumAreNeverOpened) {
    AddDisk({QStringLiteral("0-usb"), DriveFields(0, QStringLiteral("USB"), kScsiPnp), QString(),
             QStringLiteral("Direct=yes")});
    SimDiskFiles empty{QStringLiteral("1-empty"), DriveFields(1, QStringLiteral("IDE"), kIdePnp),
                       QString(), QStringLiteral("Direct=yes")};
    empty.drive.replace(QStringLiteral("MediaType=Fixed hard disk media"),
                        QStringLiteral("MediaType="));
    AddDisk(empty);
    AddDisk({QStringLiteral("2-fixed"), DriveFields(2, QStringLiteral("IDE"), kIdePnp), QString(),
             QStringLiteral("Direct=yes")});
    Scan();
    ASSERT_EQ(m_list.GetCount(), 1);
    EXPECT_EQ(m_list.GetAt(0)->m_nDrive, 2);
    EXPECT_EQ(OpenedPaths(), QStringList{QStringLiteral("\\\\.\\PhysicalDrive2")});
}

TEST_F(ScanTest, TwoFailedAttemptsSleepOnceAndTheNextDiskIsStillRead) {
    AddDisk({QStringLiteral("0-dead"), DriveFields(0, QStringLiteral("IDE"), kIdePnp), QString(),
             QStringLiteral("Direct=yes\nFail=identify")});
    AddDisk({QStringLiteral("1-good"), DriveFields(1, QStringLiteral("IDE"), kIdePnp, 2), QString(),
             QStringLiteral("Direct=yes")});
    Scan();
    EXPECT_EQ(m_sleeps, std::vector<int>{1000});
    ASSERT_EQ(m_list.GetCount(), 1);
    EXPECT_EQ(m_list.GetAt(0)->m_nDrive, 1);
    // Each attempt tried the direct path and then the port path (which has
    // no disk on this machine).
    EXPECT_EQ(OpenedPaths(),
              (QStringList{"\\\\.\\PhysicalDrive0", "\\\\.\\Scsi1:", "\\\\.\\PhysicalDrive0",
                           "\\\\.\\Scsi1:", "\\\\.\\PhysicalDrive1"}));
}

TEST_F(ScanTest, AtaKeepsADiskWithoutIdentifyAndTakesModelAndSizeFromTheSystem) {
    SimDiskFiles files{QStringLiteral("d0"),
                       DriveFields(0, QStringLiteral("IDE"), kIdePnp, 1, 0,
                                   QStringLiteral("Système Disk 80"), 80026361856LL),
                       QString(), QStringLiteral("Direct=yes\nFail=identify")};
    AddDisk(files);
    Scan(Ata());
    ASSERT_EQ(m_list.GetCount(), 1);
    const CDisk* disk = m_list.GetAt(0);
    EXPECT_FALSE(disk->EnableSMART());
    EXPECT_EQ(disk->GetModelNumber(), QStringLiteral("Système Disk 80"));
    EXPECT_EQ(disk->Get48LBACapacity(), 80026361856LL / 512 * 512);

    // A refresh reads the identify data anew; what the system gave stays.
    RefreshDisks(m_list, {});
    EXPECT_EQ(disk->GetModelNumber(), QStringLiteral("Système Disk 80"));
    EXPECT_EQ(disk->Get48LBACapacity(), 80026361856LL / 512 * 512);
}

TEST_F(ScanTest, TheDisksOwnSizeAndModelWinOverTheSystems) {
    AddDisk({QStringLiteral("d0"),
             DriveFields(0, QStringLiteral("IDE"), kIdePnp, 1, 0, QStringLiteral("OTHER"), 512),
             QString(), QStringLiteral("Direct=yes"), true,
             Identify("S1", "OWN MODEL", false, 976773168)});
    Scan();
    ASSERT_EQ(m_list.GetCount(), 1);
    EXPECT_EQ(m_list.GetAt(0)->GetModelNumber(), QStringLiteral("OWN MODEL"));
    EXPECT_EQ(m_list.GetAt(0)->Get48LBACapacity(), 976773168LL * 512);
}

TEST(CDiskClass, CreatableByNameAsAKindOfDisk) {
    const std::unique_ptr<CObject> object(CRuntimeClass::CreateObject("CDisk"));
    ASSERT_NE(dynamic_cast<const CDisk*>(object.get()), nullptr);
    EXPECT_TRUE(object->IsKindOf(VORN_RUNTIME_CLASS(CHdd)));
}

TEST(SystemModel, ALongerModelThanTheFieldIsCutAtACharacterBoundary) {
    CDisk disk;
    // 39 ASCII bytes, then a two-byte character that would end past byte 40.
    StoreSystemModel(&disk, QString(39, QLatin1Char('M')) + QStringLiteral("éX"));
    EXPECT_EQ(disk.GetModelNumber(), QString(39, QLatin1Char('M')));
    StoreSystemModel(&disk, QStringLiteral("SHORT"));
    EXPECT_EQ(disk.GetModelNumber(), QStringLiteral("SHORT"));
}

struct SwitchCase {
    const char* name;
    bool smartOn;
    bool enable;
    bool disable;
    bool shownOn;  // what the checker shows afterwards
    bool deviceOn; // what the device holds afterwards
    bool attributesRead;
};

TEST_F(ScanTest, ForcedSwitchingSendsOnlyTheCommandsThatChangeTheState) {
    const SwitchCase cases[] = {
        {"-Enable on a disk with S.M.A.R.T. off", false, true, false, true, true, true},
        {"-Disable on a disk with S.M.A.R.T. on", true, false, true, false, false, false},
        {"-Enable on a disk already on: only marked", true, true, false, true, true, true},
        {"-Enable -Disable, status fails: switched on, then only marked off", false, true, true,
         false, true, false},
        {"-Enable -Disable, status answers: marked on, then switched off", true, true, true, false,
         false, false},
    };
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        WriteSimDisk(dir, {QStringLiteral("d0"), DriveFields(0, QStringLiteral("IDE"), kIdePnp),
                           QString(), QStringLiteral("Direct=yes"), true,
                           Identify("S1", "M1", c.smartOn)});
        m_sim.install(dir.path());
        PassOptions options;
        options.m_bOptEnable = c.enable;
        options.m_bOptDisable = c.disable;
        CDiskList list;
        ScanDisks(&list, options, QString(), [](int) {});
        ASSERT_EQ(list.GetCount(), 1);
        EXPECT_EQ(bool(list.GetAt(0)->EnableSMART()), c.shownOn);
        EXPECT_EQ(list.GetAt(0)->m_HddSmart.m_DispList.IsEmpty(), !c.attributesRead);

        CHdd probe;
        ASSERT_TRUE(probe.OpenHddHandle(0, -1, -1));
        ASSERT_TRUE(probe.GetHddInfo());
        EXPECT_EQ(bool(probe.EnableSMART()), c.deviceOn);
    }
}

TEST_F(ScanTest, DriveNamesAttachInTheSystemsOrderAndDiskTwelveIsNotDiskOne) {
    AddDisk({QStringLiteral("a"), DriveFields(0, QStringLiteral("IDE"), kIdePnp),
             QStringLiteral("Partition1=C:\nPartition2=E:"), QStringLiteral("Direct=yes")});
    AddDisk({QStringLiteral("b"), DriveFields(1, QStringLiteral("IDE"), kIdePnp, 2),
             QStringLiteral("Partition1=D:"), QStringLiteral("Direct=yes")});
    AddDisk({QStringLiteral("c"), DriveFields(12, QStringLiteral("IDE"), kIdePnp, 3),
             QStringLiteral("Partition1=K:,/srv/data"), QStringLiteral("Direct=yes")});
    Scan();
    ASSERT_EQ(m_list.GetCount(), 3);
    EXPECT_EQ(m_list.FindDrive(0)->m_strDriveLetters, QStringLiteral("C: E: "));
    EXPECT_EQ(m_list.FindDrive(1)->m_strDriveLetters, QStringLiteral("D: "));
    EXPECT_EQ(m_list.FindDrive(12)->m_strDriveLetters, QStringLiteral("K: /srv/data "));
}

TEST_F(ScanTest, TheRunLogHoldsTheDiskStepsOnlyAndIsClosedAfterTheLoop) {
    AddDisk({QStringLiteral("d0"), DriveFields(0, QStringLiteral("IDE"), kIdePnp),
             QStringLiteral("Partition1=C:"), QStringLiteral("Direct=yes")});
    Scan();
    const QStringList log = Log();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.first(), QStringLiteral("CHdd::OpenHddHandle-GetVersionEx"));
    EXPECT_EQ(log.last(), QStringLiteral("CHdd::CloseHddHandle"));
    for (const QString& step :
         {QStringLiteral("CHddInfo::GetHddInfo"), QStringLiteral("CHddSmart::GetSmartAttribute")})
        EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const QString& line) {
            return line.startsWith(step);
        })) << step.toStdString();
    for (const QString& line : log)
        EXPECT_FALSE(line.contains(QLatin1String("Win32_")) || line.contains(QLatin1String("WMI")))
            << line.toStdString();
    EXPECT_EQ(Cm_WriteErrorString(QStringLiteral("after the scan")), 0);
}

TEST_F(ScanTest, NoDiskDrivesMeansNoLogFile) {
    Scan();
    EXPECT_TRUE(m_list.IsEmpty());
    EXPECT_FALSE(QFile::exists(LogPath()));
}

TEST_F(ScanTest, RefreshReopensByTheFoundPathAndReportsEachSmartDisk) {
    AddDisk({QStringLiteral("a"), DriveFields(0, QStringLiteral("SCSI"), kScsiPnp, 1, 0), QString(),
             QStringLiteral("Direct=no\nScsi=yes")});
    AddDisk({QStringLiteral("b"), DriveFields(1, QStringLiteral("IDE"), kIdePnp, 2), QString(),
             QStringLiteral("Direct=yes"), true, Identify("S2", "M2", false)});
    Scan();
    ASSERT_EQ(m_list.GetCount(), 2);
    Cm_OpenErrorFile(Cm_WidePtr(LogPath()), 0);
    std::vector<int> refreshed;
    RefreshDisks(m_list, [&](CDisk* disk) { refreshed.push_back(disk->m_nDrive); });
    Cm_CloseErrorFile();
    EXPECT_EQ(refreshed, std::vector<int>{0});
    EXPECT_EQ(OpenedPaths(), (QStringList{QStringLiteral("\\\\.\\Scsi1:"),
                                          QStringLiteral("\\\\.\\PhysicalDrive1")}));
}

} // namespace
