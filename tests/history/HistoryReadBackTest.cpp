#include "HistoryTestReadings.h"

#include "HistoryGraphs.h"
#include "HistoryStore.h"
#include "SeriesCodes.h"

#include "../support/TempDir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>
#include <vector>

using namespace vorn::history;
using namespace vorn::history::test;

namespace {

Reading Plain(std::int64_t t, int temperature) {
    Reading reading;
    reading.disk = {QStringLiteral("TESTDISK 500"), QStringLiteral("S1"), QString()};
    reading.timeMs = t;
    reading.temperature = temperature;
    reading.powerOnHours = 1200;
    reading.powerCycles = 9;
    reading.status = 0;
    reading.attributes = {{5, 100, 100, 0}};
    return reading;
}

} // namespace

// The strip knows no power-on unit and no health log: its readings between
// the checker's must neither blank those values nor store them again.
TEST(HistoryReadBack, AReadingThatCannotTellEveryValueKeepsTheStoredOnes) {
    TestDir dir;
    const QString path = dir.path(QStringLiteral("history.sqlite"));
    HistoryStore store;
    ASSERT_TRUE(store.open(path));
    Reading checker = Plain(kStart, 40);
    checker.health = {{QStringLiteral("media_errors"), 0}};
    Reading strip = Plain(kStart + 2 * kMinute, 41);
    strip.powerOnHours = -1;
    strip.health.clear();
    strip.complete = false;
    Reading again = checker;
    again.timeMs = kStart + 4 * kMinute;
    ASSERT_TRUE(store.append({checker, strip, again}));

    const QList<StoredReading> all = store.readings();
    ASSERT_EQ(all.size(), 3);
    for (const StoredReading& stored : all) {
        EXPECT_EQ(stored.reading.powerOnHours, 1200) << stored.reading.timeMs;
        EXPECT_EQ(stored.reading.health.size(), 1) << stored.reading.timeMs;
    }
    EXPECT_EQ(all[1].reading.temperature, 41);
    EXPECT_EQ(AskFile(path, QStringLiteral("SELECT count(*) FROM changes WHERE series = %1")
                                .arg(series::kPowerOnHours)),
              QStringLiteral("1"));
}

// The tip's "24時間: low-high": the value the day began with counts only
// where a reading of the day held it; a reading without a temperature
// counts not at all.
TEST(HistoryReadBack, TheDaysTemperatureRange) {
    TestDir dir;
    HistoryStore store;
    ASSERT_TRUE(store.open(dir.path(QStringLiteral("history.sqlite"))));
    const std::int64_t now = kStart + 10 * kDay;
    const std::int64_t since = now - kDay;
    // S2 is read once more than S1, early in the day, still at 50: an
    // unchanged value, so no row of its own.
    const auto of = [](const char* serial, std::int64_t t, int temperature) {
        Reading reading = Plain(t, temperature);
        reading.disk.serial = QString::fromLatin1(serial);
        return reading;
    };
    QList<Reading> readings;
    for (const char* serial : {"S1", "S2"}) {
        readings << of(serial, now - 30 * kHour, 50);
        if (QByteArray(serial) == "S2")
            readings << of(serial, now - 23 * kHour, 50);
        readings << of(serial, now - 20 * kHour, 40) << of(serial, now - 10 * kHour, -1)
                 << of(serial, now - kHour, 45);
    }
    ASSERT_TRUE(store.append(readings));
    const DiskIdentity s1 = of("S1", 0, 0).disk;
    const DiskIdentity s2 = of("S2", 0, 0).disk;

    const std::optional<TemperatureRange> first = store.temperatureRange(s1, since);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->low, 40);
    EXPECT_EQ(first->high, 45);
    const std::optional<TemperatureRange> second = store.temperatureRange(s2, since);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->low, 40);
    EXPECT_EQ(second->high, 50);

    EXPECT_FALSE(store.temperatureRange(s1, now + kMinute)) << "no reading since";
    EXPECT_FALSE(store.temperatureRange({QStringLiteral("OTHER"), QStringLiteral("X"), {}}, since));
}

// A folded hour gives every value's range back, not only the temperature's.
TEST(HistoryReadBack, AFoldedHourKeepsEachValuesLowAndHigh) {
    TestDir dir;
    HistoryStore store;
    ASSERT_TRUE(store.open(dir.path(QStringLiteral("history.sqlite"))));
    const std::uint64_t raws[] = {2, 7, 1, 3};
    QList<Reading> hour;
    for (int k = 0; k < 4; ++k) {
        Reading reading = Plain(kStart + k * 10 * kMinute, 40);
        reading.attributes = {{5, 100 - k, 100 - k, raws[k]}};
        hour.append(reading);
    }
    ASSERT_TRUE(store.append(hour));
    while (store.prune(kStart + 40 * kDay)) {
    }
    const QList<StoredReading> folded = store.readings();
    ASSERT_EQ(folded.size(), 1);
    const StoredReading& bucket = folded.first();
    EXPECT_EQ(bucket.spanMs, kHour);
    EXPECT_EQ(bucket.count, 4);
    EXPECT_EQ(bucket.lows.value(series::kAttributeRaw + 5), 1);
    EXPECT_EQ(bucket.highs.value(series::kAttributeRaw + 5), 7);
    EXPECT_EQ(bucket.lows.value(series::kAttributeCurrent + 5), 97);
    EXPECT_EQ(bucket.highs.value(series::kAttributeCurrent + 5), 100);
    EXPECT_EQ(bucket.reading.attributes.first().raw48, 3u);

    const vorn::ChartCurve curve =
        vorn::diskpass::CurveOf(folded, series::kAttributeRaw + 5, QStringLiteral("05"));
    ASSERT_EQ(curve.points.size(), 1);
    EXPECT_EQ(curve.points[0].timeMs, kStart + kHour / 2) << "a bucket sits at its middle";
    EXPECT_EQ(curve.points[0].value, 3);
    EXPECT_EQ(curve.points[0].low, 1);
    EXPECT_EQ(curve.points[0].high, 7);
}

using vorn::diskpass::GraphQuery;
using vorn::diskpass::GraphSpan;

// The graph of two disks, one never stored: the day holds only the day's
// points, "all" reaches back to the first reading, and looking at a store
// that does not exist makes none.
TEST(HistoryGraphs, AGraphHoldsTheSpansPointsOfEachDisk) {
    TestDir dir;
    const QString path = dir.path(QStringLiteral("history.sqlite"));
    const std::int64_t now = kStart + 3 * kDay;
    GraphQuery query;
    query.storePath = path;
    query.disks = {{Plain(0, 0).disk, QStringLiteral("TESTDISK C:")},
                   {{QStringLiteral("NEVER"), QStringLiteral("N1"), {}}, QStringLiteral("NEVER")}};
    query.value = vorn::diskpass::TemperatureValue();
    query.nowMs = now;

    vorn::ChartSnapshot none = vorn::diskpass::LoadGraph(query);
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(none.emptyText, QStringLiteral("24時間の記録はありません"));

    {
        HistoryStore store;
        ASSERT_TRUE(store.open(path));
        QList<Reading> readings;
        for (std::int64_t t = kStart; t < now; t += kHour)
            readings.append(Plain(t, 30 + int(t / kHour % 10)));
        ASSERT_TRUE(store.append(readings));
    }
    const vorn::ChartSnapshot day = vorn::diskpass::LoadGraph(query);
    ASSERT_EQ(day.curves.size(), 2);
    EXPECT_EQ(day.curves[0].points.size(), 24);
    EXPECT_EQ(day.curves[0].name, QStringLiteral("TESTDISK C:"));
    EXPECT_TRUE(day.curves[1].points.isEmpty());
    EXPECT_EQ(day.fromMs, now - kDay);
    EXPECT_EQ(day.toMs, now);

    query.span = GraphSpan::All;
    const vorn::ChartSnapshot all = vorn::diskpass::LoadGraph(query);
    EXPECT_EQ(all.curves[0].points.size(), 72);
    EXPECT_EQ(all.fromMs, kStart);
}

// A graph asked for again before the first came back shows only the
// newer; a controller gone before its worker ends hears nothing.
TEST(HistoryGraphs, OnlyTheNewestRequestIsShown) {
    std::vector<std::function<void()>> dones;
    const auto worker = [&dones](std::function<void()> work, std::function<void()> done) {
        work();
        dones.push_back(std::move(done));
    };
    QStringList shown;
    GraphQuery query;
    query.nowMs = kStart;
    {
        vorn::diskpass::CHistoryGraphs graphs(
            worker, [&shown](const vorn::ChartSnapshot& s) { shown << s.title; });
        query.title = QStringLiteral("first");
        graphs.Request(query);
        query.title = QStringLiteral("second");
        graphs.Request(query);
        EXPECT_TRUE(graphs.IsLoading());
        dones[1]();
        dones[0]();
        EXPECT_FALSE(graphs.IsLoading());
        EXPECT_EQ(shown, QStringList{QStringLiteral("second")});
        graphs.Request(query);
    }
    dones[2]();
    EXPECT_EQ(shown.size(), 1);
}
