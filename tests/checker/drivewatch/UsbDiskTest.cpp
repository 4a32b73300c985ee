#include "BridgeTransport.h"
#include "DrivewatchOutput.h"
#include "DrivewatchRun.h"
#include "ErrorLog.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "../../support/ScopedSimMachine.h"
#include "../../support/SimMachineFiles.h"
#include "../../support/TempDir.h"

using namespace vorn::drivewatch;

namespace {

const QString kSample = QStringLiteral(VORN_SOURCE_ROOT) + QStringLiteral("/data/sample-machine");

// The sample machine's USB disk, renumbered and put behind another bridge.
void AddUsbDisk(const QString& machine, const QString& folder, int index, const QString& device) {
    const QString to = machine + QLatin1Char('/') + folder;
    ASSERT_TRUE(simfiles::CopyMachine(kSample + QStringLiteral("/4-usb"), to));
    QFile ini(to + QStringLiteral("/disk.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    QByteArray text = ini.readAll();
    ini.close();
    text.replace("Index=4", "Index=" + QByteArray::number(index));
    text.replace("PHYSICALDRIVE4", "PHYSICALDRIVE" + QByteArray::number(index));
    text = text.left(text.indexOf("[Device]")) + "[Device]\nDirect=yes\n" + device.toUtf8() + '\n';
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(text);
}

class UsbDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        vorn::platform::usb::forgetSilentBridges();
        m_machine = m_dirs.path(QStringLiteral("machine"));
        // The fixed disk comes last in the system's order, so the list shows
        // whether USB disks really go after the fixed ones.
        ASSERT_TRUE(simfiles::CopyMachine(kSample + QStringLiteral("/0-sata-healthy"),
                                          m_machine + QStringLiteral("/6-fixed")));
        QFile ini(m_machine + QStringLiteral("/6-fixed/disk.ini"));
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        QByteArray text = ini.readAll();
        ini.close();
        text.replace("Index=0", "Index=6").replace("PHYSICALDRIVE0", "PHYSICALDRIVE6");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(text);
    }
    void TearDown() override {
        Cm_CloseErrorFile();
        qunsetenv("VORN_SIM_TRACE");
        vorn::platform::usb::forgetSilentBridges();
    }

    DrivewatchResult Run() {
        m_sim.install(m_machine);
        qputenv("VORN_SIM_TRACE", m_cwd.path(QStringLiteral("trace.txt")).toLocal8Bit());
        DrivewatchEnvironment env;
        env.programDir = QStringLiteral(VORN_SOURCE_ROOT) + QStringLiteral("/data");
        env.currentDir = m_cwd.path();
        env.now = [] { return std::int64_t{1700000000}; };
        env.sleep = [](int) {};
        return RunDrivewatch({QStringLiteral("drivewatch"), QStringLiteral("--json")}, env);
    }

    // The CDBs each drive's bridge was sent, by drive number.
    QMap<int, QStringList> Cdbs() const {
        QMap<int, QStringList> cdbs;
        for (const QByteArray& line : m_cwd.read(QStringLiteral("trace.txt")).split('\n')) {
            const int at = line.indexOf(" CDB ");
            if (line.contains(" USB ") && at > 0)
                cdbs[line.mid(17, line.indexOf(' ') - 17).toInt()].append(
                    QString::fromLatin1(line.mid(at + 5)));
        }
        return cdbs;
    }

    TestDir m_dirs;
    TestDir m_cwd;
    QString m_machine;
    ScopedSimMachine m_sim;
};

QJsonArray DisksOf(const DrivewatchResult& result) {
    return QJsonDocument::fromJson(result.out).object().value(QStringLiteral("disks")).toArray();
}

} // namespace

TEST_F(UsbDiskTest, EveryBridgeIsReadOrRefusedAsTheTableSaysAndNoneRaisesTheExitStatus) {
    AddUsbDisk(m_machine, QStringLiteral("1-sat16-failing"), 1,
               QStringLiteral("Bridge=sat16\nUsbId=1058:25a3\nStatus=exceeded"));
    AddUsbDisk(m_machine, QStringLiteral("2-sat12"), 2,
               QStringLiteral("Bridge=sat12\nUsbId=0939:0b13"));
    AddUsbDisk(m_machine, QStringLiteral("3-tunnel"), 3,
               QStringLiteral("Bridge=jmicron-nvme\nUsbId=152d:0583"));
    AddUsbDisk(m_machine, QStringLiteral("4-unknown"), 4,
               QStringLiteral("Bridge=none\nUsbId=abcd:0001"));
    AddUsbDisk(m_machine, QStringLiteral("5-short"), 5,
               QStringLiteral("Bridge=sat16\nUsbId=174c:55aa\nBridgeReply=short"));
    const DrivewatchResult result = Run();
    // Disk 1 exceeds a threshold, but it is a USB disk.
    EXPECT_EQ(result.exitCode, kExitGood);

    const QJsonArray disks = DisksOf(result);
    QList<int> order;
    for (const QJsonValue& disk : disks)
        order.append(disk.toObject().value(QStringLiteral("index")).toInt());
    ASSERT_EQ(order, (QList<int>{6, 1, 2, 3, 4, 5}));

    const QJsonObject fixed = disks[0].toObject();
    EXPECT_TRUE(fixed.value(QStringLiteral("usb_bridge")).isNull());
    EXPECT_TRUE(fixed.value(QStringLiteral("smart_available")).toBool());

    const struct {
        const char* bridge;
        bool available;
        const char* reasonHas;
    } expected[] = {
        {"1058:25a3", true, nullptr},        {"0939:0b13", true, nullptr},
        {"152d:0583", false, "NVMe"},        {"abcd:0001", false, "not known"},
        {"174c:55aa", false, "no readable"},
    };
    for (int i = 0; i < 5; ++i) {
        const QJsonObject disk = disks[i + 1].toObject();
        SCOPED_TRACE(expected[i].bridge);
        EXPECT_EQ(disk.value(QStringLiteral("interface")).toString(), QStringLiteral("USB"));
        EXPECT_EQ(disk.value(QStringLiteral("usb_bridge")).toString(),
                  QLatin1String(expected[i].bridge));
        EXPECT_EQ(disk.value(QStringLiteral("smart_available")).toBool(), expected[i].available);
        const QJsonValue reason = disk.value(QStringLiteral("smart_unavailable_reason"));
        if (expected[i].reasonHas) {
            EXPECT_TRUE(reason.toString().contains(QLatin1String(expected[i].reasonHas)))
                << reason.toString().toStdString();
        } else {
            EXPECT_TRUE(reason.isNull());
        }
        // Identity from the system stays, S.M.A.R.T. or not.
        EXPECT_FALSE(disk.value(QStringLiteral("model")).toString().isEmpty());
        if (!expected[i].available) {
            EXPECT_EQ(disk.value(QStringLiteral("capacity_bytes")).toDouble(), 4000784417280.0);
        }
    }
    EXPECT_EQ(disks[1].toObject().value(QStringLiteral("status")).toInt(), 1);
    EXPECT_TRUE(disks[3].toObject().value(QStringLiteral("attributes")).toArray().isEmpty());

    const QMap<int, QStringList> cdbs = Cdbs();
    // The 12-byte bridge only ever got 12-byte CDBs, the unknown bridge one
    // SAT(16) try.
    ASSERT_FALSE(cdbs.value(2).isEmpty());
    for (const QString& cdb : cdbs.value(2))
        EXPECT_TRUE(cdb.startsWith(QLatin1String("A1 ")) && cdb.split(' ').size() == 12)
            << cdb.toStdString();
    // An ATA drive behind a tunnel bridge: the tunnel's CDBs only, until it
    // is found out of step, and never an ATA command.
    ASSERT_FALSE(cdbs.value(3).isEmpty());
    EXPECT_LE(cdbs.value(3).size(), 3);
    for (const QString& cdb : cdbs.value(3))
        EXPECT_TRUE(cdb.startsWith(QLatin1String("A1 8"))) << cdb.toStdString();
    ASSERT_EQ(cdbs.value(4).size(), 1);
    EXPECT_TRUE(cdbs.value(4)[0].startsWith(QLatin1String("85 ")));
    EXPECT_LE(cdbs.value(5).size(), 2);
    EXPECT_FALSE(cdbs.contains(6));
}

TEST_F(UsbDiskTest, ABridgeAnsweringGarbageLeavesTheDiskListedWithoutSmart) {
    AddUsbDisk(m_machine, QStringLiteral("1-garbage"), 1,
               QStringLiteral("Bridge=sat16\nUsbId=abcd:0002\nBridgeReply=garbage"));
    const DrivewatchResult result = Run();
    EXPECT_EQ(result.exitCode, kExitGood);
    const QJsonArray disks = DisksOf(result);
    ASSERT_EQ(disks.size(), 2);
    const QJsonObject usb = disks[1].toObject();
    EXPECT_FALSE(usb.value(QStringLiteral("smart_available")).toBool());
    EXPECT_FALSE(usb.value(QStringLiteral("smart_unavailable_reason")).toString().isEmpty());
    EXPECT_EQ(Cdbs().value(1).size(), 1);
}

namespace {

// The NVMe fixture's healthy drive, renumbered and put in a USB enclosure.
void AddNvmeUsbDisk(const QString& machine, const QString& folder, int index,
                    const QString& device) {
    const QString to = machine + QLatin1Char('/') + folder;
    ASSERT_TRUE(simfiles::CopyMachine(QStringLiteral(VORN_SOURCE_ROOT) +
                                          QStringLiteral("/tests/fixtures/nvme-machine/"
                                                         "0-nvme-healthy"),
                                      to));
    QFile ini(to + QStringLiteral("/disk.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    QByteArray text = ini.readAll();
    ini.close();
    text.replace("Index=0", "Index=" + QByteArray::number(index));
    text.replace("InterfaceType=SCSI", "InterfaceType=USB");
    text.replace("Partition1=C:", "Partition1=/media/usb" + QByteArray::number(index));
    text =
        text.left(text.indexOf("[Device]")) + "[Device]\nProtocol=NVMe\n" + device.toUtf8() + '\n';
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(text);
}

} // namespace

TEST_F(UsbDiskTest, NvmeDrivesAreReadThroughEachTunnelAndAWrongOrForeignChipIsLeftAlone) {
    AddNvmeUsbDisk(m_machine, QStringLiteral("1-jmicron"), 1,
                   QStringLiteral("Bridge=jmicron-nvme\nUsbId=152d:0583"));
    AddNvmeUsbDisk(m_machine, QStringLiteral("2-asmedia"), 2,
                   QStringLiteral("Bridge=asmedia-nvme\nUsbId=174c:2362"));
    AddNvmeUsbDisk(m_machine, QStringLiteral("3-realtek"), 3,
                   QStringLiteral("Bridge=realtek-nvme\nUsbId=0bda:9210"));
    // The table says JMicron, the chip is another: it refuses the first CDB.
    AddNvmeUsbDisk(m_machine, QStringLiteral("4-wrong-chip"), 4,
                   QStringLiteral("Bridge=asmedia-nvme\nUsbId=152d:0583:0300"));
    // A JMicron whose completion comes back without the tunnel's signature.
    AddNvmeUsbDisk(
        m_machine, QStringLiteral("5-foreign"), 5,
        QStringLiteral("Bridge=jmicron-nvme\nUsbId=152d:0583:0400\nBridgeReply=garbage"));
    const DrivewatchResult result = Run();
    EXPECT_EQ(result.exitCode, kExitGood);
    const QJsonArray disks = DisksOf(result);
    ASSERT_EQ(disks.size(), 6);
    for (int i = 1; i <= 3; ++i) {
        const QJsonObject disk = disks[i].toObject();
        SCOPED_TRACE(disk.value(QStringLiteral("usb_bridge")).toString().toStdString());
        EXPECT_TRUE(disk.value(QStringLiteral("smart_available")).toBool());
        EXPECT_EQ(disk.value(QStringLiteral("interface")).toString(), QStringLiteral("USB"));
        // What the drive says directly, whichever chip carried it.
        EXPECT_EQ(disk.value(QStringLiteral("serial")).toString(), QStringLiteral("VN20A0001"));
        EXPECT_EQ(disk.value(QStringLiteral("model")).toString(),
                  QStringLiteral("Vorn Example NVMe 512GB"));
        EXPECT_EQ(disk.value(QStringLiteral("temperature")).toInt(), 45);
        EXPECT_EQ(disk.value(QStringLiteral("power_on_hours")).toInt(), 5678);
    }
    for (int i = 4; i <= 5; ++i) {
        const QJsonObject disk = disks[i].toObject();
        EXPECT_FALSE(disk.value(QStringLiteral("smart_available")).toBool());
        EXPECT_TRUE(disk.value(QStringLiteral("smart_unavailable_reason"))
                        .toString()
                        .contains(QLatin1String("NVMe tunnel")));
        EXPECT_EQ(disk.value(QStringLiteral("capacity_bytes")).toDouble(), 512110190592.0);
    }
    const QMap<int, QStringList> cdbs = Cdbs();
    // JMicron: three CDBs per command; the others one; no ATA CDB anywhere.
    EXPECT_EQ(cdbs.value(1).size() % 3, 0);
    for (int i = 1; i <= 5; ++i) {
        for (const QString& cdb : cdbs.value(i))
            EXPECT_FALSE(cdb.startsWith(QLatin1String("85 "))) << cdb.toStdString();
    }
    for (const QString& cdb : cdbs.value(2))
        EXPECT_TRUE(cdb.startsWith(QLatin1String("E6 "))) << cdb.toStdString();
    for (const QString& cdb : cdbs.value(3))
        EXPECT_TRUE(cdb.startsWith(QLatin1String("E4 "))) << cdb.toStdString();
    // Refused or out of step once, then never asked again.
    EXPECT_EQ(cdbs.value(4).size(), 1);
    EXPECT_EQ(cdbs.value(5).size(), 3);
}

TEST_F(UsbDiskTest, TheUnitSerialNamesADiskWhoseBridgePassesNothingIfTheTableKnowsTheBridge) {
    AddUsbDisk(m_machine, QStringLiteral("1-passes-nothing"), 1,
               QStringLiteral("Bridge=none\nUsbId=1058:0701\nUnitSerial=  WX32D81HC2NK"));
    AddUsbDisk(m_machine, QStringLiteral("2-unknown"), 2,
               QStringLiteral("Bridge=none\nUsbId=abcd:0003\nUnitSerial=NEVERASKED"));
    AddUsbDisk(m_machine, QStringLiteral("3-sat16"), 3,
               QStringLiteral("Bridge=sat16\nUsbId=1058:25a3\nUnitSerial=NOTNEEDED"));
    const DrivewatchResult result = Run();
    const QJsonArray disks = DisksOf(result);
    ASSERT_EQ(disks.size(), 4);
    EXPECT_EQ(disks[1].toObject().value(QStringLiteral("serial")).toString(),
              QStringLiteral("WX32D81HC2NK"));
    EXPECT_TRUE(disks[1]
                    .toObject()
                    .value(QStringLiteral("smart_unavailable_reason"))
                    .toString()
                    .contains(QLatin1String("1058:0701")));
    // An unknown bridge gets no INQUIRY it might choke on; a drive that
    // names itself needs none.
    EXPECT_TRUE(disks[2].toObject().value(QStringLiteral("serial")).toString().isEmpty());
    EXPECT_EQ(disks[3].toObject().value(QStringLiteral("serial")).toString(),
              QStringLiteral("WD-WX32D81HC2NK"));
    const QMap<int, QStringList> cdbs = Cdbs();
    EXPECT_EQ(cdbs.value(1), QStringList{QStringLiteral("12 01 80 00 FC 00")});
    for (int i = 2; i <= 3; ++i) {
        for (const QString& cdb : cdbs.value(i))
            EXPECT_FALSE(cdb.startsWith(QLatin1String("12 "))) << cdb.toStdString();
    }
}
