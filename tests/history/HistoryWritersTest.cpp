#include "HistoryTestReadings.h"

#include "HistoryStore.h"

#include "../support/TempDir.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

using namespace vorn::history;
using namespace vorn::history::test;

namespace {

constexpr int kPerWriter = 150;

// Each reading in a transaction of its own, as separate passes write them.
bool WriteDisk(const QString& path, const QString& serial, int count, int ackFd = -1) {
    HistoryStore store;
    if (!store.open(path))
        return false;
    for (int i = 0; i < count; ++i) {
        if (!store.append(BusyDiskAt(kStart + i * 2 * kMinute, serial)))
            return false;
        if (ackFd >= 0 && ::write(ackFd, "+", 1) != 1)
            return false;
    }
    return true;
}

// A child process running body, which ends it with _exit.
pid_t Spawn(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    return pid;
}

// How many readings of the disk are stored, each whole and in the order
// written, without a gap.
int ReadingsOf(HistoryStore& store, const QString& serial) {
    int count = 0;
    for (const StoredReading& stored : store.readings()) {
        if (stored.reading.disk.serial != serial)
            continue;
        EXPECT_EQ(stored.reading.timeMs, kStart + count * 2 * kMinute);
        EXPECT_EQ(stored.reading.attributes, BusyDiskAt(stored.reading.timeMs).attributes);
        ++count;
    }
    return count;
}

} // namespace

TEST(HistoryWriters, TwoThreadsAndTwoProcessesAtOnceLoseNothing) {
    TestDir dir;
    const QString path = dir.path(QStringLiteral("history.sqlite"));
    // Created first, so that the writers race on the readings, not the schema.
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(path));
    }

    const pid_t first =
        Spawn([&] { ::_exit(WriteDisk(path, QStringLiteral("P1"), kPerWriter) ? 0 : 1); });
    const pid_t second =
        Spawn([&] { ::_exit(WriteDisk(path, QStringLiteral("P2"), kPerWriter) ? 0 : 1); });
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    bool threadsOk[2] = {false, false};
    std::thread a([&] { threadsOk[0] = WriteDisk(path, QStringLiteral("T1"), kPerWriter); });
    std::thread b([&] { threadsOk[1] = WriteDisk(path, QStringLiteral("T2"), kPerWriter); });
    a.join();
    b.join();
    for (pid_t pid : {first, second}) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_TRUE(threadsOk[0] && threadsOk[1]);

    HistoryStore store;
    ASSERT_TRUE(store.open(path));
    for (const char* serial : {"P1", "P2", "T1", "T2"})
        EXPECT_EQ(ReadingsOf(store, QString::fromLatin1(serial)), kPerWriter) << serial;
}

// A writer killed at random points: the file stays whole and keeps every
// reading the writer had finished, and a new writer goes on from there.
TEST(HistoryWriters, AWriterKilledAtAnyMomentLosesAtMostTheReadingInHand) {
    TestDir dir;
    const QString path = dir.path(QStringLiteral("history.sqlite"));
    for (int round = 0; round < 4; ++round) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const QString serial = QStringLiteral("K%1").arg(round);
        const pid_t writer = Spawn([&] {
            ::close(pipeFds[0]);
            WriteDisk(path, serial, 1 << 20, pipeFds[1]);
        });
        ::close(pipeFds[1]);
        const int wanted = 1 + int(QRandomGenerator::global()->bounded(60));
        int told = 0;
        char byte = 0;
        while (told < wanted && ::read(pipeFds[0], &byte, 1) == 1)
            ++told;
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        ::close(pipeFds[0]);
        ASSERT_EQ(told, wanted);
        const int acknowledged = told;

        EXPECT_EQ(AskFile(path, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        HistoryStore store;
        ASSERT_TRUE(store.open(path));
        const int stored = ReadingsOf(store, serial);
        EXPECT_GE(stored, acknowledged) << "round " << round;
        EXPECT_TRUE(store.append(BusyDiskAt(kStart + stored * 2 * kMinute, serial)));
        EXPECT_EQ(ReadingsOf(store, serial), stored + 1);
    }
}
