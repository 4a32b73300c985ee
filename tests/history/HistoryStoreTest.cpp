#include "HistoryTestReadings.h"

#include "HistoryPath.h"
#include "HistoryStore.h"

#include "../support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <map>

using namespace vorn::history;
using namespace vorn::history::test;

namespace {

struct Span {
    int low = 1000;
    int high = -1000;
    void hold(int v) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
};

// The temperatures a bucket [from, from + span) held: the one it began with
// and every reading's in it.
Span HeldTemperatures(std::int64_t from, std::int64_t span) {
    Span held;
    held.hold(BusyDiskAt(from - 2 * kMinute).temperature);
    for (std::int64_t t = from; t < from + span; t += 2 * kMinute)
        held.hold(BusyDiskAt(t).temperature);
    return held;
}

} // namespace

// A year and a month of two disks read every two minutes, pruned after each
// hour's readings as the passes would. Each disk has rows of its own, so ten
// disks take five times the bytes of two; two disks written in turn fill the
// pages as ten would.
TEST(HistoryRetention, AYearOfReadingsStaysSmallAndKeepsEachTiersValues) {
    TestDir dir;
    const QString path = dir.path(QStringLiteral("history.sqlite"));
    const std::int64_t end = kStart + 400 * kDay;
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(path));
        for (std::int64_t hour = kStart; hour < end; hour += kHour) {
            QList<Reading> pass;
            for (std::int64_t t = hour; t < hour + kHour; t += 2 * kMinute)
                pass << BusyDiskAt(t) << BusyDiskAt(t, QStringLiteral("S2"));
            ASSERT_TRUE(store.append(pass));
            while (store.prune(hour + kHour)) {
            }
        }
    }
    const qint64 tenDisks = 5 * StoreBytes(path);
    EXPECT_LT(tenDisks, 20LL * 1024 * 1024) << "ten disks would take " << tenDisks << " bytes";

    HistoryStore store;
    ASSERT_TRUE(store.open(path));
    const QList<StoredReading> all = store.readings(1);
    std::map<std::int64_t, int> bySpan;
    for (const StoredReading& stored : all)
        ++bySpan[stored.spanMs];
    EXPECT_EQ(bySpan[0], 30 * 720);
    EXPECT_EQ(bySpan[kHour], (365 - 30) * 24);
    EXPECT_EQ(bySpan[kDay], 400 - 365);

    int checked = 0;
    for (const StoredReading& stored : all) {
        const std::int64_t t = stored.reading.timeMs;
        if (stored.spanMs == 0) {
            // A single reading comes back whole, however little of it changed.
            if (t % kDay == 13 * kHour) {
                Reading expected = BusyDiskAt(t);
                EXPECT_EQ(stored.reading.attributes, expected.attributes) << t;
                EXPECT_EQ(stored.reading.temperature, expected.temperature) << t;
                EXPECT_EQ(stored.reading.powerOnHours, expected.powerOnHours) << t;
                EXPECT_TRUE(stored.reading.disk == expected.disk);
                ++checked;
            }
            EXPECT_GE(t, end - 31 * kDay);
            continue;
        }
        const Reading last = BusyDiskAt(t + stored.spanMs - 2 * kMinute);
        const Span held = HeldTemperatures(t, stored.spanMs);
        EXPECT_EQ(stored.count, int(stored.spanMs / (2 * kMinute))) << t;
        EXPECT_EQ(stored.temperatureMin, held.low) << t;
        EXPECT_EQ(stored.temperatureMax, held.high) << t;
        EXPECT_EQ(stored.reading.temperature, last.temperature) << t;
        EXPECT_EQ(stored.reading.attributes, last.attributes) << t;
        ++checked;
    }
    EXPECT_GT(checked, 300);

    // Asking from a time on gives the bucket that reaches past it and what follows.
    const std::int64_t since = end - 40 * kDay + 20 * kMinute;
    const QList<StoredReading> recent = store.readings(0, since);
    ASSERT_FALSE(recent.isEmpty());
    EXPECT_EQ(recent.first().reading.timeMs, end - 40 * kDay);
    EXPECT_EQ(recent.first().spanMs, kHour);
}

TEST(HistoryRetention, AReadingThatChangesNothingButItsTimeCostsAFewBytes) {
    TestDir dir;
    const QString path = dir.path(QStringLiteral("history.sqlite"));
    const auto storeSteady = [&](int count) {
        HistoryStore store;
        EXPECT_TRUE(store.open(path));
        Reading reading = BusyDiskAt(kStart);
        for (int i = 0; i < count; ++i) {
            reading.timeMs += 2 * kMinute;
            EXPECT_TRUE(store.append(reading));
        }
    };
    storeSteady(100);
    const qint64 before = StoreBytes(path);
    storeSteady(4000);
    const double perReading = double(StoreBytes(path) - before) / 4000;
    EXPECT_LT(perReading, 24) << perReading << " bytes per unchanged reading";
}

TEST(HistoryFile, ADamagedOrForeignFileIsMovedAsideOnceAndANewStoreStarted) {
    TestDir dir;
    for (const QString& kind : {QStringLiteral("garbage"), QStringLiteral("foreign")}) {
        const QString path = dir.path(kind + QStringLiteral(".sqlite"));
        if (kind == QLatin1String("garbage")) {
            ASSERT_TRUE(dir.write(kind + QStringLiteral(".sqlite"),
                                  QByteArray("not a database at all ").repeated(400)));
        } else {
            AskFile(path, QStringLiteral("CREATE TABLE mail(id INTEGER)"));
        }
        const QByteArray original = dir.read(kind + QStringLiteral(".sqlite"));
        QStringList notices;
        {
            HistoryStore store([&](const QString& line) { notices << line; });
            ASSERT_TRUE(store.open(path)) << qPrintable(kind);
            EXPECT_TRUE(store.append(BusyDiskAt(kStart)));
        }
        ASSERT_EQ(notices.size(), 1) << qPrintable(kind);
        EXPECT_TRUE(notices.first().contains(path + QStringLiteral(".broken")));
        EXPECT_EQ(dir.read(kind + QStringLiteral(".sqlite.broken")), original);

        // The new store is kept: the next open says nothing and reads it.
        HistoryStore again([&](const QString& line) { notices << line; });
        ASSERT_TRUE(again.open(path));
        EXPECT_EQ(again.readings().size(), 1);
        EXPECT_EQ(notices.size(), 1);
    }
}

TEST(HistoryFile, AStoreThatCannotBeUsedIsSaidOnceAndLeftAsItIs) {
    TestDir dir;
    // A later version's store: not ours to move or change.
    const QString newer = dir.path(QStringLiteral("newer.sqlite"));
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(newer));
    }
    AskFile(newer, QStringLiteral("UPDATE schema_version SET version = 99"));
    QStringList notices;
    HistoryStore store([&](const QString& line) { notices << line; });
    EXPECT_FALSE(store.open(newer));
    EXPECT_FALSE(store.append(BusyDiskAt(kStart)));
    EXPECT_EQ(AskFile(newer, QStringLiteral("SELECT version FROM schema_version")),
              QStringLiteral("99"));
    EXPECT_FALSE(QFile::exists(newer + QStringLiteral(".broken")));

    // A folder no one can create, whoever runs the test.
    const QString nowhere = QStringLiteral("/proc/vorn-history/history.sqlite");
    QString error;
    EXPECT_FALSE(MakeHistoryFolder(nowhere, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("/proc/vorn-history")));
    EXPECT_FALSE(store.open(nowhere));
    ASSERT_EQ(notices.size(), 2);
    EXPECT_TRUE(notices.last().contains(QStringLiteral("keeps no history")));
}

TEST(HistoryFile, ThePathAndItsPrivateFolder) {
    const auto env = [](QString history, QString state) {
        return [history, state](const char* name) {
            return qstrcmp(name, "VORN_HISTORY") == 0     ? history
                   : qstrcmp(name, "XDG_STATE_HOME") == 0 ? state
                                                          : QString();
        };
    };
    const QString home = QStringLiteral("/home/u");
    EXPECT_EQ(HistoryPathFrom(env({}, {}), home),
              QStringLiteral("/home/u/.local/state/vorn/history.sqlite"));
    EXPECT_EQ(HistoryPathFrom(env({}, QStringLiteral("/var/st")), home),
              QStringLiteral("/var/st/vorn/history.sqlite"));
    EXPECT_EQ(HistoryPathFrom(env({}, QStringLiteral("rel/st")), home),
              QStringLiteral("/home/u/.local/state/vorn/history.sqlite"));
    EXPECT_EQ(HistoryPathFrom(env(QStringLiteral("/t/h.db"), QStringLiteral("/var/st")), home),
              QStringLiteral("/t/h.db"));

    TestDir dir;
    const QString file = dir.path(QStringLiteral("a/b/history.sqlite"));
    QString error;
    ASSERT_TRUE(MakeHistoryFolder(file, &error)) << qPrintable(error);
    for (const QString& folder : {dir.path(QStringLiteral("a")), dir.path(QStringLiteral("a/b"))})
        EXPECT_EQ(QFile::permissions(folder) & 0x0077, QFileDevice::Permissions())
            << qPrintable(folder);
}
