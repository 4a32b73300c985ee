#include "CheckerTestDisks.h"

#include "CheckerSnapshot.h"
#include "PanelText.h"

#include <gtest/gtest.h>

using namespace vorn::checker;

using namespace checkertest;

namespace {

constexpr std::int64_t kNow = 1700000000;

TEST(PanelFormat, FactsAsTheWindowWritesThem) {
    EXPECT_EQ(FormatTemperature(45), QStringLiteral("45℃"));
    EXPECT_EQ(FormatTemperature(1), QStringLiteral("1℃"));
    EXPECT_EQ(FormatTemperature(0), QStringLiteral("-"));
    EXPECT_EQ(FormatTemperature(-1), QStringLiteral("-"));
    EXPECT_EQ(FormatPowerCycles(12345), QStringLiteral("12,345 回"));
    EXPECT_EQ(FormatPowerCycles(0), QStringLiteral("0 回"));
    EXPECT_EQ(FormatPowerCycles(-1), QStringLiteral("-"));
    EXPECT_EQ(FormatRaw(-1), QStringLiteral("FFFFFFFF -1"));
    EXPECT_EQ(FormatAttributeId(0xC2), QStringLiteral("C2"));
}

TEST(PanelFormat, PowerOnBoxTextAndTip) {
    const struct {
        PowerOnInputs inputs;
        const char* text;
        const char* tip;
    } cases[] = {
        {{-1, 0, 0}, "-", "-"},
        {{23, 0, 0}, "23 時間", "23 時間"},
        {{1234, 0, 0}, "1,234 時間", "51 日 10 時間"},
        {{-1, 180, 90}, "判別中", "判別中"},
        {{-1, 180, 0}, "判別中", "判別中"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatPowerOn(c.inputs), QString::fromUtf8(c.text));
        EXPECT_EQ(FormatPowerOnTip(c.inputs), QString::fromUtf8(c.tip));
    }
}

TEST(PanelTexts, EveryFieldOfASmartDisk) {
    CDisk disk;
    FillDisk(&disk, Identify("WD-XYZ", "WDC WD10EZEX-08WN4A0"),
             {{9, 100, 100, 600, 0}, {12, 100, 100, 12345, 0}, {194, 35, 40, 0x2A0022, 0}});
    disk.m_HddSmart.m_nStatus = 1;
    disk.m_nPohUnit = 2;
    disk.m_strDriveLetters = QStringLiteral("C: E: ");

    const PanelTexts panel = MakePanelTexts(&disk, 180, kNow);
    EXPECT_EQ(panel[PanelField::Temperature], QStringLiteral("34℃"));
    EXPECT_EQ(panel.powerOn, (PowerOnInputs{10, 0, 0}));
    EXPECT_EQ(panel[PanelField::PowerOn], QStringLiteral("10 時間"));
    EXPECT_EQ(panel[PanelField::PowerCycles], QStringLiteral("12,345 回"));
    EXPECT_EQ(panel[PanelField::Model], QStringLiteral("WDC WD10EZEX-08WN4A0"));
    EXPECT_EQ(panel[PanelField::Firmware], QStringLiteral("FW01"));
    EXPECT_EQ(panel[PanelField::Serial], QStringLiteral("WD-XYZ"));
    EXPECT_EQ(panel[PanelField::Capacity], QStringLiteral("465.76 GB"));
    EXPECT_EQ(panel[PanelField::DriveLetters], QStringLiteral("C: E: "));
    EXPECT_EQ(panel[PanelField::Smart], QStringLiteral("有効"));
    EXPECT_EQ(panel[PanelField::Status], QStringLiteral("異常"));
    EXPECT_TRUE(panel.starEnabled);
}

TEST(PanelTexts, DisksWithoutSmartShowDashes) {
    // Support without enabling: the verdict is unknown, the box has no hours.
    CDisk off;
    FillDisk(&off, Identify("S1", "M", false), {});
    off.m_nPohUnit = 7;
    PanelTexts panel = MakePanelTexts(&off, 180, kNow);
    EXPECT_EQ(panel[PanelField::Smart], QStringLiteral("無効"));
    EXPECT_EQ(panel[PanelField::Status], QStringLiteral("不明"));
    EXPECT_EQ(panel[PanelField::PowerOn], QStringLiteral("-"));
    EXPECT_FALSE(panel.starEnabled);

    // No support at all: capacity from the 48-bit count, "-" in the
    // S.M.A.R.T. fields.
    SectorImage bare = Identify("S2", "M", false, 156301488);
    testimg::setWord(bare, 82, 0);
    testimg::setDword(bare, 120, 0);
    CDisk none;
    FillDisk(&none, bare, {});
    panel = MakePanelTexts(&none, 180, kNow);
    EXPECT_EQ(panel[PanelField::Smart], QStringLiteral("-"));
    EXPECT_EQ(panel[PanelField::Status], QStringLiteral("-"));
    EXPECT_EQ(panel[PanelField::Capacity], QStringLiteral("74.53 GB"));
    EXPECT_EQ(panel[PanelField::Temperature], QStringLiteral("-"));
    EXPECT_EQ(panel[PanelField::PowerCycles], QStringLiteral("-"));
    EXPECT_FALSE(panel.starEnabled);

    const PanelTexts empty = MakePanelTexts(nullptr, 180, kNow);
    for (PanelField field : kPanelFieldOrder)
        EXPECT_EQ(empty[field], QStringLiteral("-"));
}

TEST(PanelTexts, AUsbDiskWithoutSmartSaysWhyOnTheStatusTip) {
    // Identity from the system and the unit serial, nothing from the drive.
    SectorImage bare{};
    testimg::setDeviceText(bare, 20, 20, "WX32D81HC2NK");
    CDisk usb;
    FillDisk(&usb, bare, {});
    usb.m_bUsb = true;
    usb.m_strUsbBridge = QStringLiteral("1058:0701");
    usb.m_usbSmart = vorn::diskpass::UsbSmart::PassesNothing;
    const PanelTexts panel = MakePanelTexts(&usb, 180, kNow);
    EXPECT_EQ(panel[PanelField::Interface], QStringLiteral("USB"));
    EXPECT_EQ(panel[PanelField::Serial], QStringLiteral("WX32D81HC2NK"));
    EXPECT_EQ(panel[PanelField::Status], QStringLiteral("-"));
    EXPECT_EQ(panel.smartNote,
              QStringLiteral("USB変換アダプタ 1058:0701 はS.M.A.R.T.を通しません"));
    EXPECT_EQ(panel.statusTip, panel.smartNote);
    // The toolbar square's tip carries the same line.
    EXPECT_TRUE(DiskSnapshotOf(usb, panel).tip.endsWith(panel.smartNote));

    // Each cause names itself; a disk read through its bridge has no line.
    usb.m_usbSmart = vorn::diskpass::UsbSmart::TunnelSilent;
    EXPECT_TRUE(MakePanelTexts(&usb, 180, kNow).smartNote.contains(QStringLiteral("NVMe")));
    usb.m_usbSmart = vorn::diskpass::UsbSmart::Read;
    EXPECT_TRUE(MakePanelTexts(&usb, 180, kNow).statusTip.isEmpty());
}

TEST(AttributeRows, OneRowPerRecordWithoutTheTemperatures) {
    CDisk disk;
    FillDisk(&disk, Identify(),
             {{194, 35, 40, 35, 0},
              {5, 90, 90, 300, 50},
              {231, 30, 30, 30, 0},
              {9, 97, 97, 0x80000001u, 0}});
    disk.m_HddSmart.SetInitValue();
    for (CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        if (record->m_byId == 5)
            record->m_nInit = 100; // a fifth of its margin to the threshold gone
    }
    const QList<AttributeRow> rows = MakeAttributeRows(disk);
    ASSERT_EQ(rows.size(), 2);
    const QStringList first(rows[0].cells.begin(), rows[0].cells.end());
    EXPECT_EQ(first, (QStringList{"05", rows[0].record->m_strName, "100", "90", "50", "90",
                                  "20.0 %", "0000012C 300"}));
    EXPECT_EQ(rows[0].importance, rows[0].record->m_byImportance);
    EXPECT_DOUBLE_EQ(rows[0].depleted, 20.0);
    EXPECT_EQ(rows[1].cells[0], QStringLiteral("09"));
    EXPECT_EQ(rows[1].cells[7], QStringLiteral("80000001 2147483649"));
}

// A drive whose database entry makes 231 its life left: the row is listed,
// and a 48-bit raw keeps all its hexadecimal bytes and its decimal.
TEST(AttributeRows, LifeLeftIsListedAndWideRawsStayWhole) {
    CDisk disk;
    disk.m_Knowledge.inDatabase = true;
    disk.m_Knowledge.attributes[231] = {
        vorn::hdd::RawFormat::Raw48, QStringLiteral("SSD_Life_Left"), true, {}};
    FillDisk(&disk, Identify(),
             {{194, 35, 40, 35, 0}, {231, 20, 20, 20, 10}, {241, 100, 100, 0x800000000000, 0}});
    const QList<AttributeRow> rows = MakeAttributeRows(disk);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].cells[kColumnId], QStringLiteral("E7"));
    EXPECT_EQ(rows[0].cells[kColumnName], QString::fromUtf8("残り寿命"));
    EXPECT_EQ(rows[1].cells[kColumnRaw], QStringLiteral("800000000000 140737488355328"));
    EXPECT_EQ(disk.GetTemperature(), 35);
}

TEST(PanelTexts, TheStatusTipNamesTheFailingAttributes) {
    CDisk disk;
    FillDisk(&disk, Identify(), {{1, 100, 100, 0, 6}, {5, 3, 3, 900, 5}, {197, 0, 0, 8, 0}});
    disk.m_HddSmart.m_nStatus = 0;
    PanelTexts panel = MakePanelTexts(&disk, 180, kNow);
    EXPECT_EQ(panel[PanelField::Status], QString::fromUtf8("注意"));
    EXPECT_EQ(panel.statusTip, QString::fromUtf8("しきい値以下の属性: 05 再配置セクタ数"));
    disk.m_HddSmart.m_nStatus = -1;
    panel = MakePanelTexts(&disk, 180, kNow);
    EXPECT_EQ(panel[PanelField::Status], QString::fromUtf8("異常"));

    FillDisk(&disk, Identify(), {{5, 100, 100, 0, 5}});
    EXPECT_TRUE(MakePanelTexts(&disk, 180, kNow).statusTip.isEmpty());
    EXPECT_EQ(MakePanelTexts(&disk, 180, kNow)[PanelField::Status], QString::fromUtf8("不明"));
}

} // namespace
