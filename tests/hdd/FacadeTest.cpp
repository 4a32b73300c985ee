#include "CHdd.h"
#include "DeviceIo.h"

#include "SimDiskFixture.h"

#include <memory>

using simtest::TraceLine;

namespace {

class Facade : public simtest::SimDiskTest {
protected:
    void SetUp() override {
        writeMachine(2);
        writeDisk(QStringLiteral("a-disk0"), QStringLiteral("Index=0\nSCSIPort=2\nSCSITargetId=1"),
                  QStringLiteral("Direct=yes\nScsi=yes"));
        start();
    }

    // The requests of the trace by control code (and the SCSI one inside).
    std::vector<QString> requests() const {
        std::vector<QString> codes;
        for (const TraceLine& line : trace()) {
            codes.push_back(line.code == QLatin1String("0004D008")
                                ? QStringLiteral("scsi:") + line.input.mid(32, 8)
                                : line.code + QLatin1Char(':') + line.input.mid(8, 2));
        }
        return codes;
    }

    // The first reading pass of a program, S.M.A.R.T. switch included.
    static void firstPass(CHdd& hdd, int port, int target) {
        ASSERT_TRUE(hdd.OpenHddHandle(0, port, target));
        ASSERT_TRUE(hdd.GetHddInfo());
        hdd.GetSmartVersion();
        hdd.GetHddInfo();
        hdd.GetSmartStatus();
        hdd.EnableSmart();
        if (hdd.EnableSMART()) {
            hdd.GetSmartAttribute();
            hdd.GetSmartThresholds();
            hdd.GetDisplayAttribute();
            hdd.GetSmartStatus();
        }
        hdd.CloseHddHandle();
    }

    static void refreshPass(CHdd& hdd) {
        ASSERT_TRUE(hdd.m_bScsi
                        ? hdd.OpenHddHandle(hdd.m_nDrive, hdd.m_nScsiPort, hdd.m_nScsiTarget)
                        : hdd.OpenHddHandle(hdd.m_nDrive, -1, -1));
        hdd.GetHddInfo();
        if (hdd.EnableSMART()) {
            hdd.GetSmartAttribute();
            hdd.GetSmartThresholds();
            hdd.GetDisplayAttribute();
            hdd.GetSmartStatus();
        }
        hdd.CloseHddHandle();
    }
};

TEST_F(Facade, FirstAndRefreshPassSendTheirRequestsInOrder) {
    const QString identify = QStringLiteral("0007C088:00"); // feature 0, IDENTIFY
    const QString data = QStringLiteral("0007C088:D0");
    const QString thresholds = QStringLiteral("0007C088:D1");
    const QString status = QStringLiteral("0007C084:DA");
    const QString enable = QStringLiteral("0007C084:D8");
    const QString version = QStringLiteral("00074080:");

    CHdd hdd;
    firstPass(hdd, -1, -1);
    EXPECT_EQ(requests(), (std::vector<QString>{identify, version, identify, status, enable, data,
                                                thresholds, status}));
    EXPECT_EQ(hdd.m_hHdd, INVALID_HANDLE_VALUE);
    ASSERT_EQ(hdd.m_HddSmart.m_DispList.GetCount(), 5);
    hdd.m_HddSmart.SetInitValue();
    CHddSmartDisp* first = hdd.m_HddSmart.m_DispList.GetAt(0);

    clearTrace();
    refreshPass(hdd);
    EXPECT_EQ(requests(), (std::vector<QString>{identify, data, thresholds, status}));
    EXPECT_EQ(hdd.m_HddSmart.m_DispList.GetAt(0), first);
    EXPECT_EQ(first->m_nInit, 117);

    const QStringList lines = log();
    EXPECT_TRUE(lines.filter(QStringLiteral("[Error:")).isEmpty())
        << lines.join('\n').toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("CHdd::CloseHddHandle")).size(), 2);
    EXPECT_TRUE(lines.contains(QStringLiteral("1 1 0 1 5"))); // the version line
}

TEST_F(Facade, ScsiPortPassAndItsRefreshStayOnTheAdapter) {
    CHdd hdd;
    firstPass(hdd, 2, 1);
    EXPECT_EQ(requests().front(), QStringLiteral("scsi:01051B00"));
    EXPECT_EQ(hdd.GetModelNumber(), QStringLiteral("ST3500418AS"));
    EXPECT_EQ(hdd.GetStatus(), 0);
    clearTrace();
    refreshPass(hdd);
    const std::vector<TraceLine> lines = trace();
    ASSERT_EQ(lines.size(), 4u);
    for (const TraceLine& line : lines)
        EXPECT_EQ(line.path, QStringLiteral("\\\\.\\Scsi2:"));
}

TEST_F(Facade, ClosedObjectSendsNothingAndKeepsItsData) {
    CHdd hdd;
    EXPECT_EQ(hdd.GetStatus(), -1);
    EXPECT_EQ(hdd.GetTemperature(), -1);
    EXPECT_EQ(hdd.GetPowerOnHours(), -1);
    EXPECT_EQ(hdd.GetPowerCycle(), -1);
    const auto deviceMethods = [](CHdd& d) {
        return std::vector<int>{
            d.GetHddInfo(),     d.GetSmartVersion(),     d.EnableSmart(),
            d.DisableSmart(),   d.EnableSmartAutoSave(), d.DisableSmartAutoSave(),
            d.GetSmartStatus(), d.GetSmartAttribute(),   d.GetSmartThresholds()};
    };
    EXPECT_EQ(deviceMethods(hdd), std::vector<int>(9, 0));
    EXPECT_TRUE(trace().empty());
    EXPECT_TRUE(log().isEmpty());

    firstPass(hdd, -1, -1);
    const int logLines = log().size();
    clearTrace();
    // A closed disk answers 0 to the status request and keeps the verdict.
    EXPECT_EQ(deviceMethods(hdd), std::vector<int>(9, 0));
    EXPECT_EQ(hdd.GetStatus(), 0);
    EXPECT_TRUE(trace().empty());
    EXPECT_EQ(log().size(), logLines);

    // The data methods answer from the stored images.
    EXPECT_EQ(hdd.GetModelNumber(), QStringLiteral("ST3500418AS"));
    EXPECT_EQ(hdd.GetManufacturer(), QStringLiteral("ST3500418AS"));
    EXPECT_EQ(hdd.GetSerialNumber(), QStringLiteral("9VMQ0ABC"));
    EXPECT_EQ(hdd.GetFirmwareRev(), QStringLiteral("CC38"));
    EXPECT_EQ(hdd.GetDiskCapacity(), 500107862016LL);
    EXPECT_EQ(hdd.GetMajorVersion(), QStringLiteral("ATA8-ACS"));
    EXPECT_EQ(hdd.GetInterface(), QStringLiteral("Serial ATA"));
    EXPECT_EQ(hdd.GetTransferMode(0), QStringLiteral("Ultra SATA/3000 (300MB/s)"));
    EXPECT_EQ(hdd.GetTemperature(), 34);
    EXPECT_EQ(hdd.GetPowerOnHours(), 4321);
    EXPECT_EQ(hdd.GetPowerCycle(), 512);
    EXPECT_TRUE(hdd.SupportSMART());
    EXPECT_TRUE(hdd.EnableSMART());
}

TEST_F(Facade, DestructorClosesTheHandle) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    {
        auto hdd = std::make_unique<CHdd>();
        ASSERT_TRUE(hdd->OpenHddHandle(0, -1, -1));
        handle = hdd->m_hHdd;
        const std::unique_ptr<CObject> asObject(hdd.release()); // deleted through the base
    }
    EXPECT_EQ(log().last(), QStringLiteral("CHdd::CloseHddHandle"));
    EXPECT_FALSE(win::CloseHandle(handle)); // already closed
}

TEST_F(Facade, TextsAlreadyInReadingOrderAreSwappedBack) {
    // A device that sends "WDC ..." unswapped, and one sending "ST3..." the
    // same way, which is not recognised and stays pairwise exchanged.
    struct Case {
        const char* sent;
        const char* model;
        const char* serial;
    } cases[] = {
        {"WDC WD5000AAKS-00V1A0", "WDC WD5000AAKS-00V1A0", "WD-WCAV12345678"},
        {"ST3500418AS", "TS530014A8 S", "DWW-AC1V325476 8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        SectorImage identify = simtest::sataIdentify();
        testimg::setText(identify, 54, 40, c.sent);
        testimg::setText(identify, 20, 20, "WD-WCAV12345678");
        writeSector(QStringLiteral("a-disk0/identify.hex"), identify);
        start();
        CHdd hdd;
        ASSERT_TRUE(hdd.OpenHddHandle(0, -1, -1));
        EXPECT_TRUE(hdd.GetHddInfo());
        EXPECT_EQ(hdd.GetModelNumber(), QString::fromLatin1(c.model));
        EXPECT_EQ(hdd.GetSerialNumber(), QString::fromLatin1(c.serial));
    }
}

// Sectors captured from emulated disks (tests/fixtures/qemu, see ORIGIN.md).
TEST(FacadeCaptured, DecodesTheCapturedDisks) {
    ScopedSimMachine sim(QStringLiteral(VORN_SOURCE_ROOT "/tests/fixtures/qemu"));
    struct Expected {
        int drive;
        const char* model;
        const char* maker;
        const char* serial;
    } disks[] = {
        {0, "WDC WD5000AAKS-00V1A0", "WDC", "WD-WCAWF1234567"},
        {1, "ST380011A", "ST380011A", "5JV12345"},
    };
    for (const Expected& e : disks) {
        SCOPED_TRACE(e.model);
        CHdd hdd;
        ASSERT_TRUE(hdd.OpenHddHandle(e.drive, -1, -1));
        ASSERT_TRUE(hdd.GetHddInfo());
        EXPECT_EQ(hdd.GetModelNumber(), QString::fromLatin1(e.model));
        EXPECT_EQ(hdd.GetManufacturer(), QString::fromLatin1(e.maker));
        EXPECT_EQ(hdd.GetSerialNumber(), QString::fromLatin1(e.serial));
        EXPECT_TRUE(hdd.SupportSMART());
        EXPECT_TRUE(hdd.EnableSMART());
        EXPECT_GT(hdd.GetDiskCapacity(), 0);
        EXPECT_TRUE(hdd.GetSmartAttribute());
        EXPECT_TRUE(hdd.GetSmartThresholds());
        hdd.GetDisplayAttribute();
        EXPECT_FALSE(hdd.m_HddSmart.m_DispList.IsEmpty());
        EXPECT_EQ(hdd.GetSmartStatus(), 0);
    }
}

} // namespace
