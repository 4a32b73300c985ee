#include "SafeFile.h"

#include "FileLock.h"

#include "../support/FileHazards.h"
#include "../support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(SafeFileTest, ReadsOnlyRegularFilesWithinTheirBound) {
    TestDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("ten"), "0123456789"));
    ASSERT_TRUE(QFile::link(dir.path(QStringLiteral("ten")), dir.path(QStringLiteral("to-ten"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.path(QStringLiteral("fifo"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.path(QStringLiteral("zero"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));

    struct Case {
        const char* name;
        qint64 bound;
        int error; // 0: read
    };
    const Case cases[] = {
        {"ten", 10, 0},
        {"to-ten", 10, 0}, // links are fine on the way in
        {"ten", 9, kCmFileTooLarge},
        {"fifo", 10, kCmNotRegularFile}, // would block for ever
        {"zero", 10, kCmNotRegularFile}, // would never end
        {"folder", 10, kCmNotRegularFile},
        {"missing", 10, ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int error = 12345;
        const auto bytes = Cm_ReadBoundedFile(dir.path(QLatin1String(c.name)), c.bound, &error);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(bytes.value_or("refused"), c.error ? QByteArray("refused") : "0123456789");
    }

    // procfs tells a size of 0 whatever a file holds: read to the end, and
    // still held to the bound.
    QFile proc(QStringLiteral("/proc/filesystems"));
    ASSERT_TRUE(proc.open(QIODevice::ReadOnly));
    const QByteArray whole = proc.readAll();
    int error = 0;
    EXPECT_EQ(Cm_ReadBoundedFile(proc.fileName(), 1 << 20, &error).value_or("refused"), whole);
    EXPECT_FALSE(Cm_ReadBoundedFile(proc.fileName(), whole.size() - 1, &error));
    EXPECT_EQ(error, kCmFileTooLarge);
}

TEST(SafeFileTest, ReplacingRefusesALinkOrFolderAndLeavesThemAlone) {
    TestDir shared;
    TestDir elsewhere;
    const QString victim = elsewhere.path(QStringLiteral("passwd"));
    ASSERT_TRUE(elsewhere.write(QStringLiteral("passwd"), "root:x:0:0\n"));
    const QString link = shared.path(QStringLiteral("SERIAL.dat"));
    ASSERT_TRUE(PlantLink(shared.path(), link, victim));

    EXPECT_EQ(Cm_ReplaceFile(link, "overwritten"), kCmSymbolicLink);
    EXPECT_EQ(elsewhere.read(QStringLiteral("passwd")), QByteArray("root:x:0:0\n"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    // A dangling link would otherwise create its target.
    const QString dangling = shared.path(QStringLiteral("new.txt"));
    ASSERT_TRUE(PlantLink(shared.path(), dangling, elsewhere.path(QStringLiteral("created"))));
    EXPECT_EQ(Cm_ReplaceFile(dangling, "x"), kCmSymbolicLink);
    EXPECT_FALSE(QFileInfo::exists(elsewhere.path(QStringLiteral("created"))));

    ASSERT_TRUE(QDir(shared.path()).mkdir(QStringLiteral("folder")));
    EXPECT_EQ(Cm_ReplaceFile(shared.path(QStringLiteral("folder")), "x"), kCmNotRegularFile);
    EXPECT_EQ(Cm_ReplaceFile(QStringLiteral("/nonexistent/x"), "x"), ENOENT);
}

TEST(SafeFileTest, AFullDiskKeepsTheOldFileAndLeavesNoTemporary) {
    TestDir dir;
    ASSERT_TRUE(dir.write(QStringLiteral("report.txt"), "old"));
    ::chmod(QFile::encodeName(dir.path(QStringLiteral("report.txt"))).constData(), 0640);
    int failure = 0;
    {
        FileSizeLimit limit(8);
        failure = Cm_ReplaceFile(dir.path(QStringLiteral("report.txt")), "a report of 22 bytes\n");
    }
    EXPECT_EQ(failure, EFBIG);
    EXPECT_EQ(dir.read(QStringLiteral("report.txt")), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"report.txt"});

    // A whole write replaces the file and keeps its permission bits.
    EXPECT_EQ(Cm_ReplaceFile(dir.path(QStringLiteral("report.txt")), "new"), 0);
    EXPECT_EQ(dir.read(QStringLiteral("report.txt")), QByteArray("new"));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(dir.path(QStringLiteral("report.txt"))).constData(), &info),
              0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(SafeFileTest, TemporariesOfDeadProcessesAreRemovedThoseOfLiveOnesKept) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0); // its id now names no process

    TestDir dir;
    const QString prefix = Cm_ReplaceFileTempPrefix(QStringLiteral("SER.dat"));
    const QString dead = prefix + QString::number(child);
    const QString live = prefix + QString::number(::getppid());
    const QString foreign =
        Cm_ReplaceFileTempPrefix(QStringLiteral("OTHER.dat")) + QString::number(child);
    for (const QString& name : {dead, live, foreign})
        ASSERT_TRUE(dir.write(name, "cut"));

    ASSERT_EQ(Cm_ReplaceFile(dir.path(QStringLiteral("SER.dat")), "whole"), 0);
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QStringList expected{live, foreign, QStringLiteral("SER.dat")};
    left.sort();
    expected.sort();
    EXPECT_EQ(left, expected);
}

QByteArray name(const TestDir& dir, const char* file) {
    return QFile::encodeName(dir.path(QString::fromLatin1(file)));
}

mode_t modeOf(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The owner a planted file gets: nobody, when this process may give it away.
bool giveToNobody(const QByteArray& path) {
    return ::geteuid() == 0 && ::chown(path.constData(), 65534, 65534) == 0;
}

// A new file's bits are the umask's, never those of what sat at the name;
// our own file keeps its bits, but a data file has no use for set-id bits.
// (Other users' files and second names: DrivewatchFilesTest.)
TEST(SafeFileTest, NewFilesTakeTheUmaskAndNoFileKeepsItsSetIdBits) {
    TestDir dir;
    const mode_t saved = ::umask(027);
    ASSERT_EQ(Cm_ReplaceFile(dir.path(QStringLiteral("new.dat")), "new"), 0);
    EXPECT_EQ(modeOf(name(dir, "new.dat")), 0640u);
    ASSERT_TRUE(dir.write(QStringLiteral("own.dat"), "old"));
    ASSERT_EQ(::chmod(name(dir, "own.dat").constData(), 06755), 0);
    ASSERT_EQ(Cm_ReplaceFile(dir.path(QStringLiteral("own.dat")), "new"), 0);
    EXPECT_EQ(modeOf(name(dir, "own.dat")), 0755u);
    ::umask(saved);
}

// A killed run's temporaries go at the next sweep whatever file they were
// for; a live process's, another user's, and names that only look alike
// stay.
TEST(SafeFileTest, TheSweepTakesEveryDeadRunsTemporaryAndNothingElse) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const QString dead = QString::number(child);

    TestDir dir;
    const QStringList gone{Cm_ReplaceFileTempPrefix(QStringLiteral("A.watch")) + dead,
                           Cm_ReplaceFileTempPrefix(QStringLiteral("M_0.smt_atr.txt")) + dead};
    QStringList kept{Cm_ReplaceFileTempPrefix(QStringLiteral("A.dat")) +
                         QString::number(::getppid()),
                     QStringLiteral(".A.dat.tmp.") + dead + QStringLiteral("x"),
                     QStringLiteral("A.dat.tmp.") + dead};
    for (const QString& file : gone + kept)
        ASSERT_TRUE(dir.write(file, "cut"));
    const QString theirs = Cm_ReplaceFileTempPrefix(QStringLiteral("B.dat")) + dead;
    ASSERT_TRUE(dir.write(theirs, "cut"));
    if (giveToNobody(QFile::encodeName(dir.path(theirs))))
        kept << theirs;

    Cm_RemoveStaleTemporaries(dir.path());
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    kept.sort();
    EXPECT_EQ(left, kept);
}

TEST(FileLockTest, OneHolderAtATimeAndNoLockFileLeftBehind) {
    TestDir dir;
    const QString path = dir.path(QStringLiteral("SER.watch"));
    int failure = 0;
    {
        std::optional<vorn::FileLock> first = vorn::FileLock::acquire(path, true, &failure);
        ASSERT_TRUE(first);
        EXPECT_FALSE(vorn::FileLock::acquire(path, false, &failure));
        EXPECT_EQ(failure, EWOULDBLOCK);
    }
    EXPECT_FALSE(QFileInfo::exists(vorn::FileLock::lockPathOf(path)));
    EXPECT_TRUE(vorn::FileLock::acquire(path, false, &failure));

    // A lock file planted by someone else would let them hold our lock.
    ASSERT_TRUE(dir.write(QStringLiteral("elsewhere"), ""));
    ASSERT_TRUE(
        QFile::link(dir.path(QStringLiteral("elsewhere")), vorn::FileLock::lockPathOf(path)));
    EXPECT_FALSE(vorn::FileLock::acquire(path, false, &failure));
    EXPECT_EQ(failure, kCmSymbolicLink);
}

} // namespace
