// The importer's own faults would pass for the suite's: a raw value put in
// the wrong bytes, a capacity off by a sector size, a log page out of place.
// These cases pin the layouts with bytes worked out by hand.

#include "ReportImporter.h"
#include "DeviceStatisticsImage.h"
#include "RawValueEncoding.h"

#include <gtest/gtest.h>

#include <vector>

using namespace realworld;

namespace {

struct RawCase {
    const char* name;
    const char* text;
    std::vector<int> bytes; // raw bytes 0-5
    int reserved;
    const char* format;
};

TEST(RawValueEncoding, EachPrintedShapeGoesToTheBytesSmartctlReadsItFrom) {
    const RawCase cases[] = {
        {"Reallocated_Sector_Ct", "417", {0xA1, 0x01, 0, 0, 0, 0}, 0, "raw48"},
        {"Temperature_Celsius", "36 (Min/Max 19/46)", {36, 0, 19, 46, 0, 0}, 0, "tempminmax"},
        {"Temperature_Celsius", "40 (Min/Max -5/55)", {40, 0, 0xFB, 55, 0, 0}, 0, "tempminmax"},
        {"Airflow_Temperature_Cel",
         "27 (Min/Max 26/53 #7)",
         {27, 0, 26, 53, 7, 0},
         0,
         "tempminmax"},
        // The five bytes are printed from the top one down.
        {"Temperature_Celsius", "24 (0 21 0 0 0)", {24, 0, 0, 0, 21, 0}, 0, "tempminmax"},
        {"Power_On_Hours", "7185 (119 239 0)", {0x11, 0x1C, 0, 0, 239, 119}, 0, "raw24(raw8)"},
        {"Reallocated_Event_Count",
         "0 (65535 65280)",
         {0, 0, 0, 0xFF, 0xFF, 0xFF},
         0,
         "raw16(raw16)"},
        {"Spin_Up_Time", "186 (Average 185)", {186, 0, 185, 0, 0, 0}, 0, "raw16(avg16)"},
        {"Command_Timeout", "0 4 372", {0x74, 0x01, 4, 0, 0, 0}, 0, "raw16"},
        {"Load_Cycle_Count", "2/300", {0x2C, 0x01, 0, 2, 0, 0}, 0, "raw24/raw24"},
        {"Raw_Read_Error_Rate", "3/5037754", {0xBA, 0xDE, 0x4C, 0, 3, 0}, 0, "raw24/raw32"},
        // 26 min 18.810 s = 1,578,810 ms: past 16 bits, into the reserved byte.
        {"Power_On_Hours_and_Msec",
         "21655h+26m+18.810s",
         {0x97, 0x54, 0, 0, 0x3A, 0x17},
         0x18,
         "msec24hour32"},
        {"Power_On_Seconds", "1h+00m+05s", {0x15, 0x0E, 0, 0, 0, 0}, 0, "sec2hour"},
        {"Power_On_Minutes", "13h+39m", {0x33, 0x03, 0, 0, 0, 0}, 0, "min2hour"},
        {"Power_On_Half_Minutes", "2h+30m", {0x2C, 0x01, 0, 0, 0, 0}, 0, "halfmin2hour"},
        {"Free_Space", "0x07161800095080", {0x80, 0x50, 0x09, 0x00, 0x18, 0x16}, 0x07, "hex56"},
        {"NAND_Master", "0x004900000000", {0, 0, 0, 0, 0x49, 0x00}, 0, "hex48"},
    };
    for (const RawCase& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<EncodedRaw> raw =
            encodeRawText(QString::fromLatin1(c.name), QString::fromLatin1(c.text));
        ASSERT_TRUE(raw.has_value());
        EXPECT_EQ(std::vector<int>(raw->bytes.begin(), raw->bytes.end()), c.bytes);
        EXPECT_EQ(raw->reserved, c.reserved);
        EXPECT_EQ(raw->format, QString::fromLatin1(c.format));
    }

    // Figures that do not fit their bytes, and shapes of no layout, are refused
    // rather than written wrongly.
    for (const char* text : {"70000 (Average 1)", "1 (256 0 0)", "300 (Min/Max 1/2)", "12.5",
                             "5h+75m", "0x1234", "-3"})
        EXPECT_FALSE(encodeRawText(QStringLiteral("Any"), QString::fromLatin1(text)).has_value())
            << text;
}

// A 4Kn drive: the capacity counts 4096-byte sectors, and the sector size
// is in words 117-118 with word 106 saying so.
TEST(ReportImporter, AtaIdentityCarriesCapacitySectorSizesAndTheVerdict) {
    const QString report = QStringLiteral(
        "=== START OF INFORMATION SECTION ===\n"
        "Device Model:     EXAMPLE DISK 8TB\n"
        "Serial Number:    AB12\n"
        "Firmware Version: FW01\n"
        "User Capacity:    8,001,563,222,016 bytes [8.00 TB]\n"
        "Sector Size:      4096 bytes logical/physical\n"
        "Rotation Rate:    7200 rpm\n"
        "ATA Version is:   ACS-3 T13/2161-D revision 5\n"
        "SATA Version is:  SATA 3.1, 6.0 Gb/s (current: 3.0 Gb/s)\n"
        "\n"
        "SMART overall-health self-assessment test result: FAILED!\n"
        "\n"
        "SMART Attributes Data Structure revision number: 10\n"
        "ID# ATTRIBUTE_NAME          FLAGS    VALUE WORST THRESH FAIL RAW_VALUE\n"
        "  5 Reallocated_Sector_Ct   PO--CK   001   001   005    NOW  2048\n"
        "  9 Power_On_Hours          -O--CK   090   090   ---    -    1234\n"
        "194 Temperature_Celsius     -O---K   166   166   000    -    36 (Min/Max 19/46)\n"
        "\n");
    const ImportOutcome outcome = importReport(report);
    ASSERT_EQ(outcome.kind, ImportKind::Disk) << outcome.problem.toStdString();
    const ImportedDisk& disk = outcome.disk;
    const QByteArray& id = disk.ata.identify;
    ASSERT_EQ(id.size(), 512);
    const auto word = [&](int w) {
        return std::uint8_t(id[2 * w]) | std::uint8_t(id[2 * w + 1]) << 8;
    };
    const std::uint64_t sectors =
        std::uint64_t(word(100)) | std::uint64_t(word(101)) << 16 | std::uint64_t(word(102)) << 32;
    EXPECT_EQ(sectors, 8001563222016ull / 4096);
    EXPECT_EQ(word(60) | word(61) << 16, 0x0FFFFFFF);
    EXPECT_EQ(word(106), 0x5000);
    EXPECT_EQ(word(117) | word(118) << 16, 2048);
    EXPECT_EQ(word(83) & 0x0400, 0x0400);
    EXPECT_EQ(word(217), 7200);
    EXPECT_EQ(word(27), 'E' << 8 | 'X'); // the device's byte order
    int sum = 0;
    for (char c : id)
        sum += std::uint8_t(c);
    EXPECT_EQ(sum % 256, 0);
    EXPECT_EQ(std::uint8_t(id[510]), 0xA5);

    EXPECT_EQ(disk.ata.status, QStringLiteral("exceeded"));
    EXPECT_EQ(disk.expect.verdict, Verdict::Failed);
    EXPECT_EQ(disk.expect.capacityBytes, 8001563222016);
    EXPECT_EQ(disk.expect.temperature, 36);
    EXPECT_EQ(disk.expect.powerOnHours, 1234);
    ASSERT_EQ(disk.expect.attributes.size(), 3u);
    EXPECT_TRUE(disk.expect.attributes[0].failingNow);

    // Entry 1 carries the flags word and the threshold entry left empty
    // where smartctl printed "---".
    const QByteArray& data = disk.ata.smartData;
    EXPECT_EQ(std::uint8_t(data[2 + 12]), 9);
    EXPECT_EQ(std::uint8_t(data[2 + 12 + 1]), 0x32);
    EXPECT_EQ(std::uint8_t(disk.ata.smartThresholds[2 + 12]), 0);
    EXPECT_EQ(std::uint8_t(disk.ata.smartThresholds[2 + 24]), 194);
}

TEST(ReportImporter, TellsAReportOfNoDriveFromOneItCannotRead) {
    EXPECT_EQ(importReport(QStringLiteral("smartctl 7.2\n/dev/sda: Unknown USB bridge\n")).kind,
              ImportKind::NoDriveData);
    const ImportOutcome bad = importReport(
        QStringLiteral("Device Model:     X\nUser Capacity:    1,000 bytes [1 kB]\n"
                       "ID# ATTRIBUTE_NAME          FLAGS    VALUE WORST THRESH FAIL RAW_VALUE\n"
                       "  9 Power_On_Hours          -O--CK   090   090   000    -    12.5 days\n"));
    EXPECT_EQ(bad.kind, ImportKind::Unreadable);
    EXPECT_FALSE(bad.problem.isEmpty());
}

// Page k at 512k; page 0 lists the pages; each entry has bits 63 and 62
// (62 only when a value was printed) and a negative value in its width.
TEST(DeviceStatisticsImage, PagesEntriesAndFlagsSitWhereTheLogHasThem) {
    const QStringList lines = {
        QStringLiteral("Device Statistics (GP Log 0x04)"),
        QStringLiteral("Page  Offset Size        Value Flags Description"),
        QStringLiteral("0x01  =====  =               =  ===  == General Statistics (rev 2) =="),
        QStringLiteral("0x01  0x010  4           75529  ---  Power-on Hours"),
        QStringLiteral("0x05  =====  =               =  ===  == Temperature Statistics (rev 1) =="),
        QStringLiteral("0x05  0x008  1             -23  -D-  Current Temperature"),
        QStringLiteral("0x05  0x010  1               -  N--  Average Short Term Temperature"),
        QStringLiteral(""),
    };
    QString error;
    const std::optional<DeviceStatisticsTable> table = parseDeviceStatistics(lines, &error);
    ASSERT_TRUE(table.has_value()) << error.toStdString();
    EXPECT_EQ(table->value(1, 0x10), 75529);
    EXPECT_FALSE(table->value(5, 0x10).has_value());

    const QByteArray log = deviceStatisticsLog(*table);
    ASSERT_EQ(log.size(), 6 * 512);
    const auto qword = [&](int at) {
        std::uint64_t v = 0;
        for (int i = 7; i >= 0; --i)
            v = v << 8 | std::uint8_t(log[at + i]);
        return v;
    };
    EXPECT_EQ(QByteArray(log.constData() + 8, 4), QByteArray("\x03\x00\x01\x05", 4));
    EXPECT_EQ(qword(512), 0x0000000000010002ull);
    EXPECT_EQ(qword(512 + 0x10), 0xC000000000000000ull | 75529);
    EXPECT_EQ(qword(5 * 512), 0x0000000000050001ull);
    EXPECT_EQ(qword(5 * 512 + 0x08), 0xD0000000000000E9ull);
    EXPECT_EQ(qword(5 * 512 + 0x10), 0xA000000000000000ull);
}

} // namespace
