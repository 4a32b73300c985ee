#include "CheckerSession.h"
#include "DrivewatchOutput.h"
#include "DrivewatchRun.h"
#include "ErrorLog.h"
#include "IndicatorValues.h"
#include "PanelText.h"
#include "SimMachine.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "../../support/ScopedSimMachine.h"
#include "../../support/SimMachineFiles.h"
#include "../../support/TempDir.h"

using namespace vorn::diskpass;
using namespace vorn::checker;
using namespace vorn::drivewatch;

namespace {

const QString kSourceRoot = QStringLiteral(VORN_SOURCE_ROOT);
const QString kNvmeMachine = kSourceRoot + QStringLiteral("/tests/fixtures/nvme-machine");
const QString kAtaDisk = kSourceRoot + QStringLiteral("/data/sample-machine/0-sata-healthy");

bool CopyFolder(const QString& from, const QString& to) {
    if (!QDir().mkpath(to))
        return false;
    for (const QString& name : QDir(from).entryList(QDir::Files)) {
        if (!QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
            return false;
    }
    return true;
}

// A machine of the given disk folders; the ATA disk of the sample machine
// is renumbered to 2 so that it can stand beside the two NVMe disks.
QString BuildMachine(const TestDir& dir, bool withNvme, bool withAta) {
    const QString root = dir.path(QStringLiteral("machine"));
    QDir().mkpath(root);
    if (withNvme) {
        for (const QString& disk : QDir(kNvmeMachine).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            EXPECT_TRUE(
                CopyFolder(kNvmeMachine + QLatin1Char('/') + disk, root + QLatin1Char('/') + disk));
    }
    if (withAta) {
        const QString ata = root + QStringLiteral("/2-sata");
        EXPECT_TRUE(CopyFolder(kAtaDisk, ata));
        QFile ini(ata + QStringLiteral("/disk.ini"));
        EXPECT_TRUE(ini.open(QIODevice::ReadOnly));
        QByteArray text = ini.readAll();
        ini.close();
        text.replace("Index=0", "Index=2");
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(text);
    }
    return root;
}

class NvmeDiskTest : public ::testing::Test {
protected:
    void TearDown() override {
        Cm_CloseErrorFile();
        qunsetenv("VORN_SIM_TRACE");
    }

    DrivewatchResult Run(const QString& machine, QStringList words) {
        m_sim.install(machine);
        words.prepend(QStringLiteral("drivewatch"));
        DrivewatchEnvironment env;
        env.programDir = kSourceRoot + QStringLiteral("/data");
        env.currentDir = m_cwd.path();
        env.now = [] { return std::int64_t{1700000000}; };
        env.sleep = [](int) {};
        return RunDrivewatch(words, env);
    }

    static QJsonObject Disk(const DrivewatchResult& result, int index) {
        const QJsonArray disks =
            QJsonDocument::fromJson(result.out).object().value(QStringLiteral("disks")).toArray();
        for (const QJsonValue& disk : disks) {
            if (disk.toObject().value(QStringLiteral("index")).toInt() == index)
                return disk.toObject();
        }
        ADD_FAILURE() << "no disk " << index;
        return {};
    }

    ScopedSimMachine m_sim;
    TestDir m_cwd;
    TestDir m_machines;
};

TEST_F(NvmeDiskTest, JsonCarriesTheProtocolAndEveryHealthField) {
    const DrivewatchResult result =
        Run(BuildMachine(m_machines, true, true), {QStringLiteral("--json")});
    // Disk 1 raises a critical warning: a threshold exceeded, as for ATA.
    EXPECT_EQ(result.exitCode, kExitThresholdExceeded);
    EXPECT_TRUE(result.err.isEmpty()) << result.err.constData();

    const QJsonObject ata = Disk(result, 2);
    EXPECT_EQ(ata.value(QStringLiteral("protocol")).toString(), QStringLiteral("ATA"));
    EXPECT_FALSE(ata.contains(QStringLiteral("nvme_health")));

    const QJsonObject good = Disk(result, 0);
    EXPECT_EQ(good.value(QStringLiteral("protocol")).toString(), QStringLiteral("NVMe"));
    EXPECT_EQ(good.value(QStringLiteral("model")).toString(),
              QStringLiteral("Vorn Example NVMe 512GB"));
    EXPECT_EQ(good.value(QStringLiteral("capacity_bytes")).toInteger(), 512110190592);
    EXPECT_EQ(good.value(QStringLiteral("status")).toInt(), 0);
    EXPECT_EQ(good.value(QStringLiteral("temperature")).toInt(), 45);
    EXPECT_EQ(good.value(QStringLiteral("power_on_raw")).toInt(), 5678);
    EXPECT_EQ(good.value(QStringLiteral("power_on_unit")).toInt(), 7); // hours, not measured
    EXPECT_TRUE(good.value(QStringLiteral("attributes")).toArray().isEmpty());
    const QJsonObject health = good.value(QStringLiteral("nvme_health")).toObject();
    QStringList keys = health.keys();
    keys.sort();
    QStringList expected =
        QStringLiteral("critical_warning temperature available_spare "
                       "available_spare_threshold percentage_used data_units_read "
                       "data_units_written host_reads host_writes controller_busy_time "
                       "power_cycles power_on_hours unsafe_shutdowns media_errors "
                       "num_err_log_entries warning_temp_time critical_comp_time "
                       "temperature_sensors warning_temperature_minutes "
                       "critical_temperature_minutes thermal_transitions_1 thermal_transitions_2 "
                       "thermal_time_1_seconds thermal_time_2_seconds")
            .split(QLatin1Char(' '));
    expected.sort();
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(health.value(QStringLiteral("data_units_written")).toInteger(), 2345678);
    EXPECT_EQ(health.value(QStringLiteral("temperature_sensors")).toArray().at(1).toInt(), 47);
    EXPECT_TRUE(health.value(QStringLiteral("temperature_sensors")).toArray().at(2).isNull());

    // Counters past 63 bits keep every digit, as text; 0 K is no reading;
    // a namespace without a size takes the system's.
    const QJsonObject worn = Disk(result, 1);
    const QJsonObject wornHealth = worn.value(QStringLiteral("nvme_health")).toObject();
    EXPECT_EQ(worn.value(QStringLiteral("status")).toInt(), 1);
    EXPECT_EQ(worn.value(QStringLiteral("capacity_bytes")).toInteger(), 256060514304);
    EXPECT_EQ(wornHealth.value(QStringLiteral("power_on_hours")).toString(),
              QStringLiteral("18446744073709551621"));
    EXPECT_EQ(wornHealth.value(QStringLiteral("num_err_log_entries")).toString(),
              QStringLiteral("340282366920938463463374607431768211455"));
    EXPECT_EQ(wornHealth.value(QStringLiteral("power_cycles")).toInteger(), 1099511627776);
    EXPECT_TRUE(wornHealth.value(QStringLiteral("temperature")).isNull());
    EXPECT_EQ(worn.value(QStringLiteral("temperature")).toInt(), -1);
    EXPECT_EQ(worn.value(QStringLiteral("power_on_raw")).toInt(), -1);
}

TEST_F(NvmeDiskTest, AtaRequestsStayAsTheyWereAndNvmeDisksGetOnlyTheirReads) {
    const auto traceOf = [this](const QString& machine, const char* name) {
        const QString file = m_cwd.path(QLatin1String(name));
        qputenv("VORN_SIM_TRACE", file.toLocal8Bit());
        Run(machine, {QStringLiteral("--json")});
        QFile trace(file);
        EXPECT_TRUE(trace.open(QIODevice::ReadOnly));
        return QString::fromUtf8(trace.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    TestDir ataOnly;
    const QStringList alone = traceOf(BuildMachine(ataOnly, false, true), "alone.txt");
    const QStringList mixed = traceOf(BuildMachine(m_machines, true, true), "mixed.txt");
    ASSERT_FALSE(alone.isEmpty());

    QStringList ataLines;
    QStringList nvmeLines;
    for (const QString& line : mixed)
        (line.contains(QStringLiteral(" NVME ")) ? nvmeLines : ataLines).append(line);
    EXPECT_EQ(ataLines, alone);
    // Identify Controller and Namespace (twice, as the scan reads identity
    // twice) and the health log, for each NVMe disk, and nothing else.
    ASSERT_EQ(nvmeLines.size(), 10);
    for (const QString& line : nvmeLines)
        EXPECT_TRUE(line.startsWith(QStringLiteral("\\\\.\\PhysicalDrive0 NVME")) ||
                    line.startsWith(QStringLiteral("\\\\.\\PhysicalDrive1 NVME")))
            << line.toStdString();
    EXPECT_TRUE(nvmeLines[1].startsWith(QStringLiteral("\\\\.\\PhysicalDrive0 NVME 06 00000001 "
                                                       "00000000")));
    EXPECT_TRUE(nvmeLines[6].startsWith(QStringLiteral("\\\\.\\PhysicalDrive1 NVME 06 00000002 ")));
    EXPECT_TRUE(nvmeLines[4].endsWith(QStringLiteral(" 512")));
}

TEST_F(NvmeDiskTest, PanelVerdictsAndNoBaseline) {
    // Caution: spare below its threshold, wear at 100 %, media errors. The
    // worn disk's critical-warning bit is cleared to see each one alone.
    struct Case {
        int spare, used, mediaErrors;
        const char* status;
    };
    const Case cases[] = {
        {100, 3, 0, "正常"}, {9, 3, 0, "注意"}, {100, 100, 0, "注意"}, {100, 3, 1, "注意"}};
    for (const Case& c : cases) {
        m_sim.install(kNvmeMachine);
        CCheckerSession::Environment env;
        const QString cwd = m_cwd.path();
        env.baselineDir = [cwd] { return cwd; };
        env.now = [] { return std::int64_t{1700000000}; };
        env.sleep = [](int) {};
        CCheckerSession session(PassOptions{}, env);
        session.Scan();
        ASSERT_EQ(session.Disks().GetCount(), 2);
        CDisk* disk = session.Disks().GetAt(0);
        SectorImage& log = disk->m_HddNvme.m_HealthLog;
        log[3] = static_cast<BYTE>(c.spare);
        log[5] = static_cast<BYTE>(c.used);
        log[160 + 15] = static_cast<BYTE>(c.mediaErrors); // top byte of 128 bits
        EXPECT_FALSE(session.LoadBaselines()) << "no measurement for a disk counting hours";
        const PanelTexts panel = session.Panel(disk);
        EXPECT_EQ(panel[PanelField::Status], QString::fromUtf8(c.status)) << c.spare << c.used;
        EXPECT_EQ(panel[PanelField::Interface], QStringLiteral("NVM Express"));
        EXPECT_EQ(panel[PanelField::Standard], QStringLiteral("NVMe 1.4"));
        EXPECT_EQ(panel[PanelField::TransferActive], QStringLiteral("PCIe 3.0 x4"));
        EXPECT_EQ(panel[PanelField::Smart], QStringLiteral("有効"));
        EXPECT_EQ(panel[PanelField::PowerOn], QStringLiteral("5,678 時間"));
        EXPECT_FALSE(panel.starEnabled);
        EXPECT_EQ(session.Panel(session.Disks().GetAt(1))[PanelField::Status],
                  QStringLiteral("異常"));
        session.WriteBaselines();
    }
    EXPECT_TRUE(QDir(m_cwd.path()).entryList(QDir::Files).isEmpty())
        << "an NVMe disk writes no ATA baseline file";
}

// Byte at of a simulated disk's health log file set to value.
void SetLogByte(const QString& hexFile, int at, int value) {
    QByteArray log = simfiles::ReadHex(hexFile);
    ASSERT_GT(log.size(), at);
    log[at] = static_cast<char>(value);
    ASSERT_TRUE(simfiles::WriteHex(hexFile, log));
}

TEST_F(NvmeDiskTest, RisingMediaErrorsAreToldByChangesUntilAccepted) {
    const QString machine = BuildMachine(m_machines, true, false);
    // The worn disk's critical warning would set the exit status on its own.
    ASSERT_TRUE(QDir(machine + QStringLiteral("/1-nvme-worn")).removeRecursively());
    const QString log = machine + QStringLiteral("/0-nvme-healthy/nvme-health.hex");
    const QStringList changes{QStringLiteral("--changes")};

    DrivewatchResult result = Run(machine, changes);
    EXPECT_EQ(result.exitCode, kExitGood);
    EXPECT_TRUE(result.out.isEmpty());
    SetLogByte(log, 160, 2);
    result = Run(machine, changes);
    EXPECT_EQ(result.exitCode, kExitWorse);
    EXPECT_EQ(QString::fromUtf8(result.out),
              QStringLiteral("ディスク 0: Vorn Example NVMe 512GB\n"
                             "  メディアとデータ保全のエラーが 0 から 2 に増えました\n"));
    EXPECT_EQ(Run(machine, changes).exitCode, kExitGood);

    EXPECT_EQ(Run(machine, {QStringLiteral("--accept")}).exitCode, kExitGood);
    result = Run(machine, changes);
    EXPECT_EQ(result.exitCode, kExitGood);
    EXPECT_TRUE(result.out.isEmpty());
}

TEST_F(NvmeDiskTest, ListRowsFollowTheLog) {
    m_sim.install(kNvmeMachine);
    CCheckerSession session(PassOptions{}, {});
    session.Scan();
    ASSERT_EQ(session.Disks().GetCount(), 2);
    const QList<AttributeRow> rows = MakeAttributeRows(*session.Disks().GetAt(0));
    ASSERT_EQ(rows.size(), 23); // 21 fields and two implemented sensors
    QStringList ids;
    for (const AttributeRow& row : rows)
        ids.append(row.cells[0]);
    EXPECT_EQ(
        ids.join(QLatin1Char(' ')),
        QStringLiteral("00 01 03 04 05 20 30 40 50 60 70 80 90 A0 B0 C0 C4 D8 DC E0 E4 C8 CA"));
    EXPECT_EQ(rows[1].cells[3], QStringLiteral("45℃"));
    EXPECT_EQ(rows[1].cells[4], QStringLiteral("70℃")); // the warning threshold
    EXPECT_EQ(rows[2].cells[4], QStringLiteral("10%"));
    EXPECT_EQ(rows[4].cells[6], QStringLiteral("3.0 %"));
    EXPECT_DOUBLE_EQ(rows[4].depleted, 3.0);
    EXPECT_EQ(rows[5].cells[3], QStringLiteral("588.69 GB")); // 1,234,567 x 512,000 bytes
    EXPECT_EQ(rows[5].cells[7], QStringLiteral("1234567"));
    for (const AttributeRow& row : rows)
        EXPECT_EQ(row.record, nullptr); // no attribute record behind a log field
    // The disk button's wear bar takes the same figure.
    EXPECT_DOUBLE_EQ(DiskWear(*session.Disks().GetAt(0)), 3.0);
    EXPECT_DOUBLE_EQ(DiskWear(*session.Disks().GetAt(1)), 104.0);

    // Data units whose byte count passes 63 bits show no byte text.
    const QList<AttributeRow> worn = MakeAttributeRows(*session.Disks().GetAt(1));
    EXPECT_EQ(worn[5].cells[3], QStringLiteral("-"));
    EXPECT_EQ(worn[5].cells[7], QStringLiteral("1180591620717411303424"));
}

TEST_F(NvmeDiskTest, SaveWritesIdentifyAndHealthReports) {
    TestDir reports;
    const DrivewatchResult result = Run(kNvmeMachine, {QStringLiteral("--save"), reports.path()});
    EXPECT_TRUE(result.err.isEmpty()) << result.err.constData();
    QStringList files = QDir(reports.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{"Vorn Example NVMe 256GB_1.nvme_id.txt",
                                  "Vorn Example NVMe 256GB_1.nvme_log.txt",
                                  "Vorn Example NVMe 512GB_0.nvme_id.txt",
                                  "Vorn Example NVMe 512GB_0.nvme_log.txt"}));
    const QByteArray identify = reports.read(files[2]);
    EXPECT_TRUE(identify.contains("Vorn Example NVMe 512GB                 \r\n"));
    // The last line lies past 512 bytes: the whole 4096-byte image is walked.
    EXPECT_TRUE(identify.contains("B3072-4095 Vendor specific"));
    EXPECT_TRUE(identify.contains(QByteArray(2048, '0')));
    const QByteArray log = reports.read(files[3]);
    EXPECT_TRUE(log.contains("B128-135  Power on hours - low 64 bits"));
    EXPECT_TRUE(log.contains("5678            \t0000162e"));
}

} // namespace

namespace {

// Little-endian bytes into a hex image file, at offset.
void Patch(const QString& file, int offset, std::initializer_list<BYTE> bytes) {
    QByteArray image = simfiles::ReadHex(file);
    ASSERT_GE(image.size(), offset + int(bytes.size()));
    for (BYTE b : bytes)
        image[offset++] = char(b);
    ASSERT_TRUE(simfiles::WriteHex(file, image));
}

TEST_F(NvmeDiskTest, ThermalCountersAndThresholdsReachTheDocumentAndTheList) {
    const QString machine = BuildMachine(m_machines, true, true);
    const QString disk = machine + QStringLiteral("/0-nvme-healthy");
    const QString health = disk + QStringLiteral("/nvme-health.hex");
    Patch(health, 192, {0x2C, 0x01, 0, 0});             // 300 minutes above the warning
    Patch(health, 196, {0x07, 0, 0, 0});                // 7 above the critical
    Patch(health, 216, {0x03, 0, 0, 0, 0, 0, 0x01, 0}); // 3 and 65536 transitions
    Patch(health, 224, {0x10, 0x0E, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    Patch(disk + QStringLiteral("/nvme-identify-controller.hex"), 266,
          {0x5F, 0x01, 0x69, 0x01}); // WCTEMP 351 K, CCTEMP 361 K

    const DrivewatchResult result = Run(machine, {QStringLiteral("--json")});
    const QJsonObject nvme = Disk(result, 0);
    EXPECT_EQ(nvme.value(QStringLiteral("warning_temperature_threshold")).toInt(), 78);
    EXPECT_EQ(nvme.value(QStringLiteral("critical_temperature_threshold")).toInt(), 88);
    EXPECT_EQ(nvme.value(QStringLiteral("power_on_source")).toString(),
              QStringLiteral("nvme_health"));
    EXPECT_EQ(nvme.value(QStringLiteral("power_on_hours")).toInt(), 5678);
    const QJsonObject log = nvme.value(QStringLiteral("nvme_health")).toObject();
    EXPECT_EQ(log.value(QStringLiteral("warning_temperature_minutes")).toInt(), 300);
    EXPECT_EQ(log.value(QStringLiteral("critical_temperature_minutes")).toInt(), 7);
    EXPECT_EQ(log.value(QStringLiteral("thermal_transitions_1")).toInt(), 3);
    EXPECT_EQ(log.value(QStringLiteral("thermal_transitions_2")).toInt(), 65536);
    EXPECT_EQ(log.value(QStringLiteral("thermal_time_1_seconds")).toInt(), 3600);
    EXPECT_EQ(log.value(QStringLiteral("thermal_time_2_seconds")).toInteger(), 4294967295);
    const QJsonObject ata = Disk(result, 2);
    EXPECT_TRUE(ata.value(QStringLiteral("critical_temperature_threshold")).isNull());

    // The list: each time counter with the threshold it counts above.
    CCheckerSession session(PassOptions{}, {});
    session.Scan();
    const QList<AttributeRow> rows = MakeAttributeRows(*session.Disks().GetAt(0));
    ASSERT_EQ(rows.size(), 23);
    EXPECT_EQ(rows[15].cells[4], QStringLiteral("78℃")); // C0, minutes above the warning
    EXPECT_EQ(rows[16].cells[4], QStringLiteral("88℃")); // C4, above the critical
    EXPECT_EQ(rows[18].cells[3], QStringLiteral("65,536"));
}

} // namespace
