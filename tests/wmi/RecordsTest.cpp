#include "QueryResults.h"

#include <WmiConnection.h>
#include <WmiObject.h>
#include <WmiPaths.h>
#include <WmiQueries.h>
#include <WmiText.h>

#include "../support/ScopedSimMachine.h"

#include <QDateTime>
#include <gtest/gtest.h>

using vorn::wmi::ClassSource;
using vorn::wmi::WmiObject;
using wmitest::Owned;
using wmitest::text;

namespace {

// Serves whatever objects a test puts in, for any class it names.
class ListSource : public ClassSource {
public:
    QMap<QString, std::vector<WmiObject>> classes;

    QStringList classNames() const override { return classes.keys(); }
    std::optional<std::vector<WmiObject>> instances(const QString& className) const override {
        if (!classes.contains(className))
            return std::nullopt;
        return classes.value(className);
    }
};

WmiObject disk(int index, const QString& model, const char* size) {
    WmiObject object(QStringLiteral("Win32_DiskDrive"));
    object.set(QStringLiteral("Index"), VARIANT::ofUI4(static_cast<quint32>(index)));
    object.setText(QStringLiteral("Model"), model);
    object.setText(QStringLiteral("InterfaceType"), QStringLiteral("IDE"));
    object.set(QStringLiteral("SCSIPort"), VARIANT::ofUI2(1));
    if (size)
        object.setText(QStringLiteral("Size"), QString::fromLatin1(size));
    return object;
}

class Records : public ::testing::Test {
protected:
    std::shared_ptr<ListSource> source = std::make_shared<ListSource>();
    void SetUp() override { vorn::wmi::installClassSource(source); }
    void TearDown() override { vorn::wmi::installClassSource(nullptr); }
    ScopedSimMachine m_sim;
};

} // namespace

TEST_F(Records, DiskDrivesComeInEnumerationOrderWithTheirCount) {
    source->classes[QStringLiteral("Win32_DiskDrive")] = {
        disk(2, QStringLiteral("Third"), "3000"),
        disk(0, QStringLiteral("First"), "1000"),
        disk(1, QStringLiteral("Second"), nullptr),
    };
    Owned<CmDiskDriveBlock> block(Cm_GetDiskDriveInfo(0x102));
    ASSERT_TRUE(block);
    ASSERT_EQ(block->nCount, 3);
    EXPECT_EQ(Wmi_Apartment(), 0x02); // only the low byte of the switch
    EXPECT_EQ(text(block->records[0].Model), QStringLiteral("Third"));
    EXPECT_EQ((*block)[1].Index, 0);
    EXPECT_EQ((*block)[1].Size, 1000);
    EXPECT_EQ((*block)[2].Index, 1);
    EXPECT_EQ((*block)[2].Size, 0) << "a missing Size reads as 0";
    EXPECT_EQ((*block)[2].SCSIPort, 1);
    EXPECT_EQ(text((*block)[2].Status), QString()) << "unreadable texts are empty";
    // The records lie where the block's declared layout says.
    EXPECT_EQ(reinterpret_cast<const char*>(&(*block)[2]) -
                  reinterpret_cast<const char*>(block.get()),
              static_cast<std::ptrdiff_t>(CmDiskDriveBlock::bytesFor(2)));
}

TEST_F(Records, NoInstanceOrNoClassGivesNull) {
    source->classes[QStringLiteral("Win32_DiskDrive")] = {};
    EXPECT_EQ(Cm_GetDiskDriveInfo(0), nullptr);
    EXPECT_EQ(Cm_GetLogicalDiskPartitionInfo(0), nullptr) << "class unknown to the source";
    EXPECT_EQ(Cm_GetOperatingSystemInfo(0), nullptr);
}

TEST_F(Records, SingleRecordQueriesKeepTheLastInstanceOrStayZero) {
    WmiObject first(QStringLiteral("Win32_ComputerSystem"));
    first.setText(QStringLiteral("Name"), QStringLiteral("FIRST"));
    first.setText(QStringLiteral("Domain"), QStringLiteral("only.first"));
    WmiObject second(QStringLiteral("Win32_ComputerSystem"));
    second.setText(QStringLiteral("Name"), QStringLiteral("SECOND"));
    second.set(QStringLiteral("OEMStringArray"),
               VARIANT::ofStringArray({QStringLiteral("a"), QStringLiteral("b")}));
    second.setText(QStringLiteral("TotalPhysicalMemory"), QStringLiteral("17179869184"));
    source->classes[QStringLiteral("Win32_ComputerSystem")] = {first, second};
    Owned<CmComputerSystemRecord> record(Cm_GetComputerSystemInfo(0));
    ASSERT_TRUE(record);
    EXPECT_EQ(text(record->Name), QStringLiteral("SECOND"));
    EXPECT_EQ(text(record->Domain), QString());
    EXPECT_EQ(text(record->OEMStringArray), QStringLiteral("a\nb"));
    EXPECT_EQ(record->TotalPhysicalMemory, 17179869184ll);

    source->classes[QStringLiteral("Win32_OperatingSystem")] = {};
    Owned<CmOperatingSystemRecord> os(Cm_GetOperatingSystemInfo(0));
    ASSERT_TRUE(os);
    EXPECT_EQ(os->Version[0], 0);
    EXPECT_EQ(os->LastBootUpTime, 0);
}

TEST_F(Records, OperatingSystemTimesComeFromTheDateText) {
    WmiObject os(QStringLiteral("Win32_OperatingSystem"));
    os.setText(QStringLiteral("LastBootUpTime"), QStringLiteral("20240305123015.000000+060"));
    os.setText(QStringLiteral("LocalDateTime"), QStringLiteral("garbage"));
    source->classes[QStringLiteral("Win32_OperatingSystem")] = {os};
    Owned<CmOperatingSystemRecord> record(Cm_GetOperatingSystemInfo(0));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->LastBootUpTime,
              QDateTime(QDate(2024, 3, 5), QTime(12, 30, 15)).toSecsSinceEpoch());
    EXPECT_EQ(record->LocalDateTime, 0);
    EXPECT_EQ(record->InstallDate, 0);
}

TEST_F(Records, LogicalDiskBytesAndTheQuotaFlagOfOlderSystems) {
    WmiObject volume(QStringLiteral("Win32_LogicalDisk"));
    volume.setText(QStringLiteral("Caption"), QStringLiteral("/home/someone"));
    volume.set(QStringLiteral("Compressed"), VARIANT::ofBool(true));
    volume.set(QStringLiteral("QuotasDisabled"), VARIANT::ofBool(true));
    volume.set(QStringLiteral("DriveType"), VARIANT::ofUI4(3));
    source->classes[QStringLiteral("Win32_LogicalDisk")] = {volume};

    Owned<CmLogicalDiskBlock> current(Cm_GetLogicalDiskInfo(0));
    ASSERT_TRUE(current);
    EXPECT_EQ(text((*current)[0].Caption), QStringLiteral("/home/s")) << "cut to 8 with terminator";
    EXPECT_EQ((*current)[0].Compressed, 1);
    EXPECT_EQ((*current)[0].DriveType, 3);
    EXPECT_EQ((*current)[0].QuotasDisabled, 1);

    // A Windows 7 machine is of a kind above 6: the flag is turned round.
    m_sim.install(QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine"));
    Owned<CmLogicalDiskBlock> older(Cm_GetLogicalDiskInfo(0));
    ASSERT_TRUE(older);
    EXPECT_EQ((*older)[0].QuotasDisabled, 0);
}

TEST(FieldText, CutsAtACharacterBoundaryAndAlwaysTerminates) {
    char16_t field[5];
    const struct {
        QString text;
        QString stored;
    } cases[] = {
        {QStringLiteral("abc"), QStringLiteral("abc")},
        {QStringLiteral("abcd"), QStringLiteral("abcd")},
        {QStringLiteral("abcdef"), QStringLiteral("abcd")},
        // U+1F600 takes two code units; half of it is never kept.
        {QStringLiteral("abc") + QString::fromUcs4(U"\U0001F600"), QStringLiteral("abc")},
        {QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("z"),
         QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600")},
        {QString(), QString()},
    };
    for (const auto& c : cases) {
        std::fill(std::begin(field), std::end(field), u'#');
        vorn::wmi::copyToField(c.text, field, 5);
        EXPECT_EQ(QString::fromUtf16(field), c.stored) << c.text.toStdString();
        EXPECT_EQ(field[4], u'\0');
    }
}

TEST(FieldText, NumbersAreReadLikeTheRuntimeReadsThem) {
    const struct {
        const char* text;
        std::int32_t int32;
        std::int64_t int64;
    } cases[] = {
        {"", 0, 0},
        {"  42", 42, 42},
        {"-17abc", -17, -17},
        {"+8", 8, 8},
        {"x12", 0, 0},
        {"2000396321280", 2147483647, 2000396321280ll},
        {"-3000000000", -2147483647 - 1, -3000000000ll},
        {"99999999999999999999", 2147483647, 9223372036854775807ll},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vorn::wmi::textToInt32(QString::fromLatin1(c.text)), c.int32) << c.text;
        EXPECT_EQ(vorn::wmi::textToInt64(QString::fromLatin1(c.text)), c.int64) << c.text;
    }
}

TEST(FieldText, DateTextRoundTrips) {
    const QDateTime when(QDate(2023, 11, 30), QTime(23, 59, 58));
    const QString text = vorn::wmi::wmiDateText(when);
    EXPECT_TRUE(text.startsWith(QLatin1String("20231130235958.000000"))) << text.toStdString();
    EXPECT_EQ(text.size(), 25);
    EXPECT_EQ(vorn::wmi::wmiDateToTime(text), when.toSecsSinceEpoch());
    EXPECT_EQ(vorn::wmi::wmiDateToTime(QStringLiteral("20231331000000.000000+000")), 0);
    EXPECT_EQ(vorn::wmi::wmiDateToTime(QStringLiteral("2023")), 0);
}

TEST(ObjectPaths, DriveNameIsTheDeviceIdBetweenItsOpeningAndClosingQuotes) {
    const struct {
        const char* dependent;
        const char* drive;
    } cases[] = {
        {R"(\\HOST\root\cimv2:Win32_LogicalDisk.DeviceID="D:")", "D:"},
        {R"(\\HOST\root\cimv2:Win32_LogicalDisk.DeviceID="/home/my files")", "/home/my files"},
        {R"(\\HOST\root\cimv2:Win32_LogicalDisk.DeviceID="/")", "/"},
        // Mount points are free text: quotes and `="` inside belong to the name.
        {R"(\\HOST\root\cimv2:Win32_LogicalDisk.DeviceID="/mnt/a="b")", "/mnt/a=\"b"},
        {R"(\\HOST\root\cimv2:Win32_LogicalDisk.DeviceID="/mnt/"q"")", "/mnt/\"q\""},
        // A path cut at its field's end has lost its closing quote.
        {R"(\\HOST\root\cimv2:Win32_LogicalDisk.DeviceID="/very/long/pa)", ""},
        {"no device id here", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cm_GetVolumeDriveName(QString::fromUtf8(c.dependent)), QString::fromUtf8(c.drive))
            << c.dependent;
    EXPECT_EQ(Cm_GetVolumeDriveName(static_cast<const char16_t*>(nullptr)), QString());
}

TEST(ObjectPaths, DiskNumberIsReadWhole) {
    const struct {
        const char* antecedent;
        int disk;
    } cases[] = {
        {R"(\\H\root\cimv2:Win32_DiskPartition.DeviceID="Disk #0, Partition #1")", 0},
        {R"(\\H\root\cimv2:Win32_DiskPartition.DeviceID="Disk #12, Partition #0")", 12},
        {R"(\\H\root\cimv2:Win32_DiskPartition.DeviceID="Disk #, Partition #0")", -1},
        {"Disk #99999999999", -1},
        {"no disk", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cm_GetPartitionDiskNumber(QString::fromUtf8(c.antecedent)), c.disk)
            << c.antecedent;
    EXPECT_EQ(Cm_GetPartitionDiskNumber(u"Disk #3, Partition #0"), 3);
}
