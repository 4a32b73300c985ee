#include "CheckerTestDisks.h"

#include "BaselineFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorn::diskpass;
using namespace vorn::checker;

using namespace checkertest;

namespace {

constexpr std::int64_t kNow = 1700000000; // 2023-11-14 22:13:20 UTC

PassClock FixedClock(std::int64_t seconds) {
    return [seconds] { return seconds; };
}

const CHddSmartDisp* RecordOf(const CDisk& disk, BYTE id) {
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        if (record->m_byId == id)
            return record;
    }
    return nullptr;
}

class BaselineFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillDisk(&m_disk, Identify("WD-ABC123"),
                 {{5, 90, 90, 0, 50}, {9, 97, 97, 1234, 0}, {194, 35, 40, 35, 0}});
    }

    QString FilePath() const { return m_dir.path(QStringLiteral("WD-ABC123.dat")); }

    TestDir m_dir;
    CDisk m_disk;
};

TEST_F(BaselineFileTest, FirstRunWritesCurrentValuesWithTheTimeOfWriting) {
    EXPECT_FALSE(ReadBaseline(m_dir.path(), &m_disk));
    m_disk.m_HddSmart.SetInitValue();
    ASSERT_TRUE(WriteBaseline(m_dir.path(), &m_disk, FixedClock(kNow)));

    const QByteArray expected = Le32(kNow) + Le32(-1) + BaselineRecord(5, 90, 90, 90) +
                                BaselineRecord(9, 97, 97, 97) + BaselineRecord(194, 35, 35, 35);
    EXPECT_EQ(m_dir.read(QStringLiteral("WD-ABC123.dat")), expected);
}

TEST_F(BaselineFileTest, LaterRunTakesInitialValuesFromTheFileAndKeepsItsTime) {
    const std::int64_t firstWritten = kNow - 86400;
    ASSERT_TRUE(m_dir.write(QStringLiteral("WD-ABC123.dat"),
                            Le32(firstWritten) + Le32(2) + BaselineRecord(5, 100, 95, 100) +
                                BaselineRecord(9, 90, 90, 90) + BaselineRecord(7, 200, 200, 200)));
    ASSERT_TRUE(ReadBaseline(m_dir.path(), &m_disk));

    EXPECT_EQ(m_disk.m_timeBaseline, firstWritten);
    EXPECT_EQ(m_disk.m_nPohUnit, 2);
    EXPECT_EQ(RecordOf(m_disk, 5)->m_nInit, 100);
    EXPECT_EQ(RecordOf(m_disk, 5)->m_nChange, 95);
    // A current value above the stored initial one becomes the baseline.
    EXPECT_EQ(RecordOf(m_disk, 9)->m_nInit, 97);
    // Attribute 7 is not on this disk; 194 was not in the file.
    EXPECT_EQ(RecordOf(m_disk, 194)->m_nInit, 35);
    EXPECT_EQ(RecordOf(m_disk, 194)->m_nChange, -1);

    ASSERT_TRUE(WriteBaseline(m_dir.path(), &m_disk, FixedClock(kNow)));
    EXPECT_EQ(m_dir.read(QStringLiteral("WD-ABC123.dat")).left(8), Le32(firstWritten) + Le32(2));
}

TEST_F(BaselineFileTest, StoredValuesCountByTheirLowSixteenBits) {
    ASSERT_TRUE(m_dir.write(QStringLiteral("WD-ABC123.dat"),
                            Le32(kNow) + Le32(-1) + BaselineRecord(5, 0x10064, 0x7FFFFFFF, 0)));
    ASSERT_TRUE(ReadBaseline(m_dir.path(), &m_disk));
    EXPECT_EQ(RecordOf(m_disk, 5)->m_nInit, 100);
    EXPECT_EQ(RecordOf(m_disk, 5)->m_nChange, -1);
}

TEST_F(BaselineFileTest, ARepeatedIdKeepsOneStoredValuePerOccurrence) {
    CDisk repeats;
    FillDisk(&repeats, Identify("WD-ABC123"),
             {{5, 90, 90, 0, 50}, {9, 97, 97, 1, 0}, {5, 80, 80, 0, 50}});
    const QByteArray stored = Le32(kNow) + Le32(-1) + BaselineRecord(5, 100, 100, 100) +
                              BaselineRecord(9, 99, 99, 99) + BaselineRecord(5, 95, 95, 95);
    ApplyBaseline(stored, &repeats);
    const auto& list = repeats.m_HddSmart.m_DispList;
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetAt(0)->m_nInit, 100);
    EXPECT_EQ(list.GetAt(2)->m_nInit, 95);
    // Written back in the same order: the second 5 keeps its own value.
    EXPECT_EQ(EncodeBaseline(repeats).mid(8 + 2 * 13, 9), stored.mid(8 + 2 * 13, 9));

    // Disks without repeats read and write their files byte for byte.
    const QByteArray plain = Le32(kNow) + Le32(2) + BaselineRecord(5, 100, 98, 90) +
                             BaselineRecord(9, 97, -1, 97) + BaselineRecord(194, 40, 40, 35);
    ApplyBaseline(plain, &m_disk);
    EXPECT_EQ(EncodeBaseline(m_disk), plain);
}

// A file from a build that listed only the table's IDs, read now that every
// attribute has a record: the IDs it lacks start from their current value,
// its own records keep their bytes, and a disk of 30 records still writes
// a file that build accepts.
TEST_F(BaselineFileTest, AnOldFileOnADiskWithNewlyListedIds) {
    CDisk disk;
    FillDisk(
        &disk, Identify("WD-ABC123"),
        {{5, 90, 90, 0, 50}, {187, 97, 97, 3, 0}, {9, 97, 97, 1234, 0}, {241, 100, 100, 7, 0}});
    const QByteArray old =
        Le32(kNow) + Le32(2) + BaselineRecord(5, 100, 95, 90) + BaselineRecord(9, 99, 98, 97);
    ApplyBaseline(old, &disk);
    const auto& list = disk.m_HddSmart.m_DispList;
    EXPECT_EQ(list.GetAt(0)->m_nInit, 100);
    EXPECT_EQ(list.GetAt(1)->m_nInit, 97);
    EXPECT_EQ(list.GetAt(1)->m_nChange, -1);
    EXPECT_EQ(list.GetAt(2)->m_nInit, 99);
    EXPECT_EQ(list.GetAt(3)->m_nInit, 100);
    const QByteArray written = EncodeBaseline(disk);
    EXPECT_EQ(written.left(8 + 13), old.left(8 + 13));
    EXPECT_EQ(written.mid(8 + 2 * 13, 13), old.mid(8 + 13, 13));
    EXPECT_EQ(written.mid(8 + 13, 1), QByteArray(1, char(187)));

    CDisk full;
    FillDisk(&full, Identify("WD-ABC123"), {});
    for (int k = 0; k < 30; ++k)
        testimg::setAttribute(full.m_HddSmart.m_Attribute, k, {BYTE(150 + k), 100, 100, 0});
    full.GetDisplayAttribute();
    full.m_HddSmart.SetInitValue();
    ASSERT_EQ(full.m_HddSmart.m_DispList.GetCount(), 30);
    ASSERT_TRUE(WriteBaseline(m_dir.path(), &full, FixedClock(kNow)));
    EXPECT_EQ(m_dir.read(QStringLiteral("WD-ABC123.dat")).size(), kBaselineMaxBytes);
    EXPECT_TRUE(ReadBaseline(m_dir.path(), &full));
}

TEST_F(BaselineFileTest, AFifoOrAnOversizedFileIsRefused) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(FilePath()).constData(), 0600), 0);
    QString error;
    EXPECT_FALSE(ReadBaseline(m_dir.path(), &m_disk, &error)); // returns, does not block
    EXPECT_EQ(error, FilePath() + QStringLiteral(": not a regular file"));
    EXPECT_FALSE(WriteBaseline(m_dir.path(), &m_disk, FixedClock(kNow), &error));

    ASSERT_TRUE(QFile::remove(FilePath()));
    const QByteArray big(kBaselineMaxBytes + 1, '\0');
    ASSERT_TRUE(m_dir.write(QStringLiteral("WD-ABC123.dat"), big));
    error.clear();
    EXPECT_FALSE(ReadBaseline(m_dir.path(), &m_disk, &error));
    EXPECT_TRUE(error.endsWith(QStringLiteral("too large for its format")));
    error.clear();
    EXPECT_FALSE(ReadBaseline(m_dir.path(QStringLiteral("nothing")), &m_disk, &error));
    EXPECT_TRUE(error.isEmpty()); // a missing file is no failure
}

TEST_F(BaselineFileTest, TruncatedFilesUseWhatWasReadWhole) {
    const QByteArray whole =
        Le32(kNow) + Le32(7) + BaselineRecord(5, 100, 100, 100) + BaselineRecord(9, 120, 120, 120);
    struct Case {
        int size;
        std::int64_t time;
        int unit;
        int init5;
        int init9;
    };
    const std::int64_t unset = CDisk::BaselineNotWritten();
    const Case cases[] = {
        {0, unset, -1, 90, 97}, {3, unset, -1, 90, 97},  {4, kNow, -1, 90, 97},
        {8, kNow, 7, 90, 97},   {20, kNow, 7, 90, 97},   {21, kNow, 7, 100, 97},
        {33, kNow, 7, 100, 97}, {34, kNow, 7, 100, 120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        CDisk disk;
        FillDisk(&disk, Identify("WD-ABC123"), {{5, 90, 90, 0, 50}, {9, 97, 97, 1234, 0}});
        ASSERT_TRUE(m_dir.write(QStringLiteral("WD-ABC123.dat"), whole.left(c.size)));
        EXPECT_TRUE(ReadBaseline(m_dir.path(), &disk));
        EXPECT_EQ(disk.m_timeBaseline, c.time);
        EXPECT_EQ(disk.m_nPohUnit, c.unit);
        EXPECT_EQ(RecordOf(disk, 5)->m_nInit, c.init5);
        EXPECT_EQ(RecordOf(disk, 9)->m_nInit, c.init9);
    }
}

TEST_F(BaselineFileTest, AFailedWriteLeavesTheOldFileWhole) {
    const QByteArray old = Le32(kNow - 10) + Le32(0) + BaselineRecord(5, 100, 100, 100) +
                           BaselineRecord(9, 99, 99, 99) + BaselineRecord(194, 30, 30, 30);
    ASSERT_TRUE(m_dir.write(QStringLiteral("WD-ABC123.dat"), old));
    m_disk.m_HddSmart.SetInitValue();

    // A file-size limit below the new file's size makes the write fail the
    // way a full disk does, for root as for anyone.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const BOOL written = WriteBaseline(m_dir.path(), &m_disk, FixedClock(kNow));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(m_dir.read(QStringLiteral("WD-ABC123.dat")), old);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"WD-ABC123.dat"});
}

// Folder permissions do not bind root, who runs the tests in CI; the
// immutable attribute refuses new entries in the folder to every user.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        int flags = 0;
        m_set = m_fd >= 0 && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                (flags |= FS_IMMUTABLE_FL, ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0);
    }
    ~ImmutableFolder() {
        int flags = 0;
        if (m_set && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags);
        }
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isSet() const { return m_set; }

private:
    int m_fd;
    bool m_set = false;
};

TEST_F(BaselineFileTest, AnUnwritableFolderLeavesTheOldFileWhole) {
    const QByteArray old = Le32(kNow - 10) + Le32(0) + BaselineRecord(5, 100, 100, 100);
    ASSERT_TRUE(m_dir.write(QStringLiteral("WD-ABC123.dat"), old));
    BOOL written = TRUE;
    {
        ImmutableFolder folder(m_dir.path());
        if (!folder.isSet())
            GTEST_SKIP() << "this file system cannot make a folder immutable";
        ASSERT_FALSE(QFile(m_dir.path(QStringLiteral("probe"))).open(QIODevice::WriteOnly));
        written = WriteBaseline(m_dir.path(), &m_disk, FixedClock(kNow));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(m_dir.read(QStringLiteral("WD-ABC123.dat")), old);
}

TEST(BaselineFileName, SerialsAreMadeSafeAndDisksWithoutOneKeepNoFile) {
    const struct {
        std::string serial;
        QString name;
    } cases[] = {
        {"WD-ABC123", "/data/WD-ABC123.dat"},
        {"AB/CD/..", "/data/AB_CD_...dat"},
        {"  PADDED", "/data/PADDED.dat"},
        {"", ""},
    };
    for (const auto& c : cases) {
        CDisk disk;
        FillDisk(&disk, Identify(c.serial), {{5, 100, 100, 0, 10}});
        EXPECT_EQ(BaselineFilePath(QStringLiteral("/data"), disk), c.name) << c.serial;
        EXPECT_EQ(BaselineFilePath(QStringLiteral("/data/"), disk), c.name) << c.serial;
        EXPECT_EQ(BaselineFilePath(QString(), disk), QString()) << c.serial;
    }
}

TEST(BaselineFileName, ADiskWithoutSerialNeitherReadsNorWritesASharedFile) {
    TestDir dir;
    ASSERT_TRUE(
        dir.write(QStringLiteral(".dat"), Le32(kNow) + Le32(7) + BaselineRecord(5, 200, 200, 200)));
    CDisk disk;
    FillDisk(&disk, Identify(""), {{5, 100, 100, 0, 10}});
    EXPECT_FALSE(ReadBaseline(dir.path(), &disk));
    EXPECT_EQ(disk.m_nPohUnit, -1);
    EXPECT_FALSE(WriteBaseline(dir.path(), &disk, FixedClock(kNow)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{".dat"});
}

} // namespace
