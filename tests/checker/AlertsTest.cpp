#include "AlertWatch.h"
#include "CheckerTestDisks.h"
#include "FileLock.h"
#include "PassNotice.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>

using namespace vorn::diskpass;
using namespace vorn::checker;

using checkertest::Attr;

namespace {

struct RuleCase {
    const char* name;
    std::initializer_list<Attr> reference;
    int referenceStatus;
    std::initializer_list<Attr> current;
    int currentStatus;
    int temperatureLimit;
    QStringList keys; // what the second read reports
};

// A disk read twice: the first read is the reference, the second is
// compared with it; then the same state again, an acceptance, and a read
// after that.
TEST(DiskAlerts, EachRuleAndEachExclusionOverPairsOfSectors) {
    const RuleCase cases[] = {
        {"nothing moved", {{1, 100, 100, 0, 6}}, 0, {{1, 100, 100, 0, 6}}, 0, 0, {}},
        {"verdict turns to exceeded",
         {{1, 100, 100, 0, 6}},
         0,
         {{1, 100, 100, 0, 6}},
         1,
         0,
         {"verdict"}},
        {"verdict from unknown to good",
         {{1, 100, 100, 0, 6}},
         -1,
         {{1, 100, 100, 0, 6}},
         0,
         0,
         {}},
        {"a value falls",
         {{1, 100, 100, 0, 6}, {7, 80, 80, 0, 30}},
         0,
         {{1, 90, 90, 0, 6}, {7, 80, 80, 0, 30}},
         0,
         0,
         {"value:1:90"}},
        {"a value rises", {{1, 100, 100, 0, 6}}, 0, {{1, 110, 100, 0, 6}}, 0, 0, {}},
        {"falls of power-on time, cycles, temperatures, hours in use are excluded",
         {{9, 99, 99, 0, 0},
          {12, 99, 99, 0, 0},
          {194, 40, 40, 30, 0},
          {222, 99, 99, 0, 0},
          {231, 40, 40, 30, 0}},
         0,
         {{9, 98, 98, 0, 0},
          {12, 98, 98, 0, 0},
          {194, 35, 35, 45, 0},
          {222, 98, 98, 0, 0},
          {231, 35, 35, 45, 0}},
         0,
         0,
         {}},
        {"an attribute new since the reference has no mark",
         {{1, 100, 100, 0, 6}},
         0,
         {{1, 100, 100, 0, 6}, {3, 90, 90, 0, 21}},
         0,
         0,
         {}},
        {"every watched count rises",
         {{5, 100, 100, 0, 36},
          {196, 100, 100, 0, 0},
          {197, 100, 100, 0, 0},
          {198, 100, 100, 0, 0}},
         0,
         {{5, 100, 100, 8, 36},
          {196, 100, 100, 2, 0},
          {197, 100, 100, 1, 0},
          {198, 100, 100, 3, 0}},
         0,
         0,
         {"count:5:8", "count:196:2", "count:197:1", "count:198:3"}},
        {"a count falling back (pending sectors remapped) is no alert",
         {{197, 100, 100, 4, 0}},
         0,
         {{197, 100, 100, 0, 0}},
         0,
         0,
         {}},
        {"a rising count of another attribute is no alert",
         {{199, 200, 200, 0, 0}},
         0,
         {{199, 200, 200, 50, 0}},
         0,
         0,
         {}},
        {"the count and its value both",
         {{5, 100, 100, 0, 36}},
         0,
         {{5, 95, 95, 40, 36}},
         0,
         0,
         {"value:5:95", "count:5:40"}},
        {"temperature reaches the limit",
         {{194, 70, 70, 30, 0}},
         0,
         {{194, 55, 55, 50, 0}},
         0,
         50,
         {"temperature:50"}},
        {"temperature below the limit",
         {{194, 70, 70, 30, 0}},
         0,
         {{194, 55, 55, 49, 0}},
         0,
         50,
         {}},
        {"no limit set", {{194, 70, 70, 30, 0}}, 0, {{194, 30, 30, 90, 0}}, 0, 0, {}},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        const AlertLimits limits{c.temperatureLimit};
        CDisk disk;
        checkertest::FillDisk(&disk, checkertest::Identify(), c.reference);
        disk.m_HddSmart.m_nStatus = c.referenceStatus;
        const WatchResult first = WatchDisk(&disk, dir.path(), kDesktopChannel, limits);
        EXPECT_TRUE(first.firstRun);
        EXPECT_TRUE(first.alerts.isEmpty()); // every reference stays below its limit

        checkertest::FillDisk(&disk, checkertest::Identify(), c.current);
        disk.m_HddSmart.m_nStatus = c.currentStatus;
        const WatchResult second = WatchDisk(&disk, dir.path(), kDesktopChannel, limits);
        EXPECT_FALSE(second.firstRun);
        EXPECT_EQ(AlertKeys(second.alerts), c.keys);
        EXPECT_EQ(AlertKeys(second.fresh), c.keys);

        // The same state again is told no more, on this channel; another
        // channel hears it once too.
        EXPECT_TRUE(WatchDisk(&disk, dir.path(), kDesktopChannel, limits).fresh.isEmpty());
        EXPECT_EQ(AlertKeys(WatchDisk(&disk, dir.path(), kDrivewatchChannel, limits).fresh),
                  c.keys);

        // Accepted: what changed is the reference; a temperature still over
        // its limit stays, but is not told again.
        ASSERT_TRUE(AcceptDisk(&disk, dir.path(), limits));
        const WatchResult after = WatchDisk(&disk, dir.path(), kDesktopChannel, limits);
        EXPECT_TRUE(after.fresh.isEmpty());
        for (const DiskAlert& alert : after.alerts)
            EXPECT_EQ(alert.kind, DiskAlert::TemperatureOver);
    }
}

// A disk that is already failing (or in caution) when the watch begins has
// that as its reference: it is told once per channel all the same, and no
// more once the user has accepted it; a turn for the worse from there is
// told as a turn.
TEST(DiskAlerts, AFailureAlreadyThereAtTheFirstReadIsToldOncePerChannelUntilAccepted) {
    // The drive's own verdict, with attribute 05 at its threshold either way:
    // exceeded is failing, good is caution.
    const struct {
        int registers;
        const char* key;
        const char* text;
    } cases[] = {{1, "verdict", "健康状態は「異常」です（05 再配置セクタ数）"},
                 {0, "caution", "健康状態は「注意」です（05 再配置セクタ数）"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        TestDir dir;
        CDisk disk;
        checkertest::FillDisk(&disk, checkertest::Identify(),
                              {{1, 100, 100, 0, 6}, {5, 4, 4, 900, 5}});
        disk.m_HddSmart.m_nStatus = c.registers;
        const WatchResult first = WatchDisk(&disk, dir.path(), kDesktopChannel, {});
        EXPECT_TRUE(first.firstRun);
        ASSERT_EQ(AlertKeys(first.fresh), QStringList{c.key});
        EXPECT_EQ(first.fresh.first().Text(), QString::fromUtf8(c.text));
        EXPECT_TRUE(WatchDisk(&disk, dir.path(), kDesktopChannel, {}).fresh.isEmpty());
        const WatchResult other = WatchDisk(&disk, dir.path(), kDrivewatchChannel, {});
        EXPECT_EQ(AlertKeys(other.fresh), QStringList{c.key});
        const WatchResult again = WatchDisk(&disk, dir.path(), kDrivewatchChannel, {});
        EXPECT_TRUE(again.fresh.isEmpty());
        EXPECT_EQ(AlertKeys(again.alerts), QStringList{c.key}); // still listed, as told

        ASSERT_TRUE(AcceptDisk(&disk, dir.path(), {}));
        EXPECT_TRUE(WatchDisk(&disk, dir.path(), kDesktopChannel, {}).alerts.isEmpty());
        if (c.registers == 0) {
            disk.m_HddSmart.m_nStatus = 1;
            EXPECT_EQ(AlertKeys(WatchDisk(&disk, dir.path(), kDesktopChannel, {}).fresh),
                      QStringList{"verdict"});
        }
    }
}

// A second notification would replace the first on the desktop: one pass,
// one notification, every change in it.
TEST(PassNotice, OneNotificationForEveryChangeOfAPass) {
    EXPECT_TRUE(PassNoticeOf(QStringLiteral("P"), {}).IsEmpty());

    const PassNotice one =
        PassNoticeOf(QStringLiteral("P"), {{"A C:", "x rose"}, {"A C:", "y fell"}});
    EXPECT_EQ(one.title, QStringLiteral("A C:"));
    EXPECT_EQ(one.text, QStringLiteral("x rose\ny fell"));

    const PassNotice two = PassNoticeOf(QStringLiteral("P"), {{"A C:", "x rose"}, {"B", "hot"}},
                                        {QStringLiteral("/w/B.watch: denied")});
    EXPECT_EQ(two.title, QStringLiteral("2 台のディスクの状態が変わりました"));
    EXPECT_EQ(two.text, QStringLiteral("A C: — x rose\nB — hot\n/w/B.watch: denied"));

    const PassNotice notes = PassNoticeOf(QStringLiteral("P"), {}, {QStringLiteral("n")});
    EXPECT_EQ(notes.title, QStringLiteral("P"));
    EXPECT_EQ(notes.text, QStringLiteral("n"));
}

// The verdict from the attributes as the rules see it: a drive behind a
// bridge that drops the registers, one that says good with an attribute at
// its threshold, one that says nothing and fails nothing.
TEST(DiskAlerts, VerdictsFromTheThresholdsNameTheAttribute) {
    const struct {
        const char* name;
        int registers;
        std::initializer_list<Attr> attributes;
        int status;
        QStringList keys;
        const char* text; // of the one alert, if any
    } cases[] = {
        {"no registers, a pre-failure attribute at its threshold",
         -1,
         {{1, 100, 100, 0, 6}, {5, 5, 5, 417, 5}},
         1,
         {"verdict", "count:5:417"},
         "健康状態が「異常」になりました（05 再配置セクタ数）"},
        {"good, two attributes below",
         0,
         {{5, 4, 4, 0, 5}, {187, 1, 1, 0, 10}},
         2,
         {"caution"},
         "健康状態が「注意」になりました（05 再配置セクタ数、BB 報告された訂正不能エラー数）"},
        {"no verdict, nothing failing", -1, {{5, 100, 100, 0, 5}}, -1, {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDisk before;
        checkertest::FillDisk(&before, checkertest::Identify(),
                              {{1, 100, 100, 0, 6}, {5, 100, 100, 0, 5}});
        before.m_HddSmart.m_nStatus = 0;
        CDisk now;
        checkertest::FillDisk(&now, checkertest::Identify(), c.attributes);
        now.m_HddSmart.m_nStatus = c.registers;
        const DiskHealth health = HealthOf(now);
        EXPECT_EQ(health.status, c.status);
        const QList<DiskAlert> alerts = FindAlerts(HealthOf(before), health, {});
        EXPECT_EQ(AlertKeys(alerts), c.keys);
        if (c.text) {
            EXPECT_EQ(alerts.first().Text(), QString::fromUtf8(c.text));
        }
    }
}

TEST(DiskAlerts, AnAtaErrorLogThatGrewIsAChangeOnlyWhereTheLogWasRead) {
    CDisk before;
    checkertest::FillDisk(&before, checkertest::Identify(), {{1, 100, 100, 0, 6}});
    CDisk now;
    checkertest::FillDisk(&now, checkertest::Identify(), {{1, 100, 100, 0, 6}});
    EXPECT_EQ(HealthOf(now).errorLogEntries, -1);
    before.m_DriveLogs.errorLogRead = true;
    before.m_DriveLogs.errors.count = 2;
    now.m_DriveLogs.errorLogRead = true;
    now.m_DriveLogs.errors.count = 3;
    EXPECT_EQ(AlertKeys(FindAlerts(HealthOf(before), HealthOf(now), {})),
              QStringList{QStringLiteral("error_log:3")});
    // A pass that did not read the log says nothing about it.
    now.m_DriveLogs = {};
    EXPECT_TRUE(FindAlerts(HealthOf(before), HealthOf(now), {}).isEmpty());
}

// An NVMe disk's health log, the fields the rules read.
struct NvmeLog {
    long long mediaErrors = 0;
    int warning = 0;
    int spare = 100;
    int threshold = 10;
};

void FillNvmeDisk(CDisk* disk, const NvmeLog& log) {
    disk->m_HddInfo.m_Identify = checkertest::Identify("NV-1");
    disk->m_HddInfo.SwapTextFields();
    disk->m_bNvme = TRUE;
    disk->m_HddNvme.m_bHealthLog = TRUE;
    SectorImage& h = disk->m_HddNvme.m_HealthLog;
    h.fill(0);
    h[0] = BYTE(log.warning);
    h[1] = 0x3E; // 318 K
    h[2] = 0x01;
    h[3] = BYTE(log.spare);
    h[4] = BYTE(log.threshold);
    vorn::le::write64(h.data(), h.size(), 160, static_cast<std::uint64_t>(log.mediaErrors));
}

TEST(DiskAlerts, NvmeMediaErrorsWarningBitsAndSpareOverPairsOfLogs) {
    struct Case {
        const char* name;
        NvmeLog reference;
        NvmeLog current;
        QStringList keys;
    };
    const Case cases[] = {
        {"nothing moved", {2, 0, 50, 10}, {2, 0, 50, 10}, {}},
        {"media errors rise", {0}, {3}, {"media_errors:3"}},
        {"media errors there when accepted", {5}, {5}, {}},
        // The verdict turns with the bit; told once, by name.
        {"a warning bit turns on", {}, {0, 0x04}, {"warning:2"}},
        {"a further bit beside one already on", {0, 0x04}, {0, 0x0C}, {"warning:3"}},
        {"a bit that goes off is no alert", {0, 0x02}, {0, 0x00}, {}},
        {"spare below its threshold, unflagged", {0, 0, 20, 10}, {0, 0, 9, 10}, {"spare:10"}},
        {"spare below its threshold, flagged: told once",
         {0, 0, 20, 10},
         {0, 1, 9, 10},
         {"warning:0"}},
        {"spare falls but stays above", {0, 0, 40, 10}, {0, 0, 11, 10}, {}},
        {"spare below already when accepted", {0, 0, 9, 10}, {0, 0, 5, 10}, {}},
        {"errors and a bit together", {1, 0}, {4, 0x08}, {"media_errors:4", "warning:3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        CDisk disk;
        FillNvmeDisk(&disk, c.reference);
        const WatchResult first = WatchDisk(&disk, dir.path(), kDesktopChannel, {});
        ASSERT_TRUE(first.watched);
        // Only a bit already on when the watch began speaks at once.
        int standing = 0;
        for (const DiskAlert& alert : first.alerts) {
            EXPECT_EQ(alert.kind, DiskAlert::WarningOn);
            standing |= 1 << alert.id;
        }
        EXPECT_EQ(standing, c.reference.warning);

        FillNvmeDisk(&disk, c.current);
        EXPECT_EQ(AlertKeys(WatchDisk(&disk, dir.path(), kDesktopChannel, {}).fresh), c.keys);
        EXPECT_TRUE(WatchDisk(&disk, dir.path(), kDesktopChannel, {}).fresh.isEmpty());
        ASSERT_TRUE(AcceptDisk(&disk, dir.path(), {}));
        EXPECT_TRUE(WatchDisk(&disk, dir.path(), kDesktopChannel, {}).alerts.isEmpty());
    }
}

// The log then starts where it is; a warning bit already on is told as a
// failure already there, not as a turn.
TEST(DiskAlerts, AnOlderWatchFileWithoutTheLogTakesItAsItsStart) {
    TestDir dir;
    CDisk disk;
    FillNvmeDisk(&disk, {7, 0x04, 5, 10});
    // As written before NVMe logs were watched: no "nvme".
    WatchState old;
    old.reference.status = 0;
    dir.write(QStringLiteral("NV-1.watch"), EncodeWatchState(old));

    const WatchResult first = WatchDisk(&disk, dir.path(), kDesktopChannel, {});
    EXPECT_EQ(AlertKeys(first.fresh), QStringList{"warning:2"});
    const std::optional<WatchState> stored =
        DecodeWatchState(dir.read(QStringLiteral("NV-1.watch")));
    ASSERT_TRUE(stored && stored->reference.nvme);
    EXPECT_EQ(stored->reference.nvme->mediaErrors, 7);

    FillNvmeDisk(&disk, {8, 0x04, 5, 10});
    const WatchResult risen = WatchDisk(&disk, dir.path(), kDesktopChannel, {});
    EXPECT_EQ(AlertKeys(risen.fresh), QStringList{"media_errors:8"});
    EXPECT_EQ(risen.fresh.value(0).Text(),
              QStringLiteral("メディアとデータ保全のエラーが 7 から 8 に増えました"));
}

// A self-test that ends in the drive's failure and new entries in its error
// log are changes; the host's abort, a test still running, a failure
// already there when accepted and a count the reference never had are not.
// Both survive the watch file, and an older file without them reads as
// "nothing to compare".
TEST(DiskAlerts, AFailedSelfTestAndNewErrorLogEntriesAreChanges) {
    struct Case {
        const char* name;
        int referenceTest;
        int currentTest;
        long long referenceErrors;
        long long currentErrors;
        QStringList keys;
    };
    const Case cases[] = {
        {"a read failure after a clean test", 0, 7, -1, -1, {"self_test:7"}},
        {"aborted by the host", 0, 1, -1, -1, {}},
        {"still running", 0, 15, -1, -1, {}},
        {"failed already when accepted", 7, 7, -1, -1, {}},
        {"another failure than the accepted one", 7, 5, -1, -1, {"self_test:5"}},
        {"no test offered", -1, -1, 3, 3, {}},
        {"the error log grew", -1, -1, 3, 5, {"error_log:5"}},
        {"a count the reference lacks", -1, -1, -1, 9, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskHealth reference;
        reference.selfTestStatus = c.referenceTest;
        reference.errorLogEntries = c.referenceErrors;
        WatchState state;
        state.reference = reference;
        const std::optional<WatchState> stored = DecodeWatchState(EncodeWatchState(state));
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->reference.selfTestStatus, c.referenceTest);
        EXPECT_EQ(stored->reference.errorLogEntries, c.referenceErrors);
        DiskHealth current;
        current.selfTestStatus = c.currentTest;
        current.errorLogEntries = c.currentErrors;
        EXPECT_EQ(AlertKeys(FindAlerts(stored->reference, current, {})), c.keys);
    }
    DiskAlert failed{DiskAlert::SelfTestFailed, 7, QString(), 0, 7};
    EXPECT_EQ(failed.Text(), QStringLiteral("セルフテストが失敗しました（状態 7）"));
    EXPECT_FALSE(failed.Standing());
    // Out of range in a file is clamped, never converted past long long.
    const std::optional<WatchState> huge = DecodeWatchState(
        R"({"status":0,"counts":{},"values":{},"reported":{},"error_log_entries":1e300})");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->reference.errorLogEntries, NvmeHealthState::kMaxCount);
}

TEST(DiskAlerts, NothingIsWatchedWithoutSerialOrSmartOrWhileAsleep) {
    TestDir dir;
    const std::initializer_list<Attr> attrs = {{5, 100, 100, 0, 36}};
    CDisk noSerial;
    checkertest::FillDisk(&noSerial, checkertest::Identify(""), attrs);
    CDisk smartOff;
    checkertest::FillDisk(&smartOff, checkertest::Identify("S2", "M", false), attrs);
    CDisk asleep;
    checkertest::FillDisk(&asleep, checkertest::Identify("S3"), attrs);
    asleep.m_bSleeping = true;
    CDisk noLog;
    FillNvmeDisk(&noLog, {});
    noLog.m_HddNvme.m_bHealthLog = FALSE;
    for (CDisk* disk : {&noSerial, &smartOff, &asleep, &noLog}) {
        EXPECT_FALSE(WatchDisk(disk, dir.path(), kDesktopChannel, {}).watched);
        EXPECT_FALSE(AcceptDisk(disk, dir.path(), {}));
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(DiskAlerts, AWatchFileThatIsNoWatchFileIsRefused) {
    WatchState state;
    state.reference.status = 0;
    state.reference.counts = {{5, 8}};
    state.reference.values = {{1, 100}, {5, 95}};
    state.reported[kDesktopChannel] = QStringList{"count:5:8"};
    state.reference.nvme = NvmeHealthState{NvmeHealthState::kMaxCount, 0x21, 7, 10};
    const std::optional<WatchState> back = DecodeWatchState(EncodeWatchState(state));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->reference.counts, state.reference.counts);
    EXPECT_EQ(back->reference.values, state.reference.values);
    EXPECT_EQ(back->reference.nvme, state.reference.nvme);
    EXPECT_EQ(back->reported, state.reported);
    const char* const nvme = "{\"status\":0,\"counts\":{},\"values\":{},\"nvme\":";
    for (const QByteArray& bad :
         {QByteArray(""), QByteArray("[]"), QByteArray("{\"status\":0}"),
          QByteArray("{\"status\":0,\"counts\":{\"x\":1},\"values\":{}}"),
          QByteArray("{\"status\":0,\"counts\":{},\"values\":{\"300\":1}}"),
          // Numbers no cast may take: found by fuzzing.
          QByteArray("{\"status\":0,\"counts\":{},\"values\":{\"193\":1e30}}"),
          QByteArray("{\"status\":0,\"counts\":{\"5\":1e300},\"values\":{}}"),
          QByteArray("{\"status\":0,\"counts\":{\"5\":2.5},\"values\":{}}"),
          nvme + QByteArray("[]}"),
          nvme + QByteArray("{\"media_errors\":-1,\"critical_warning\":0,"
                            "\"available_spare\":0,\"available_spare_threshold\":0}}"),
          nvme + QByteArray("{\"media_errors\":1,\"critical_warning\":256,"
                            "\"available_spare\":0,\"available_spare_threshold\":0}}"),
          nvme + QByteArray("{\"media_errors\":1.5,\"critical_warning\":0,"
                            "\"available_spare\":0,\"available_spare_threshold\":0}}"),
          nvme + QByteArray("{\"media_errors\":1,\"critical_warning\":0,"
                            "\"available_spare\":0}}")})
        EXPECT_FALSE(DecodeWatchState(bad)) << bad.constData();
    EXPECT_FALSE(DecodeWatchState(QByteArray(300 * 1024, ' ')));
}

} // namespace

// An acceptance that lands between a watching run's read and its write
// would be undone by that write; each read-modify-write holds the file's
// lock, which every other writer must take first.
TEST(DiskAlerts, EveryReadModifyWriteOfAWatchFileHoldsItsLock) {
    TestDir dir;
    CDisk disk;
    checkertest::FillDisk(&disk, checkertest::Identify(), {{5, 100, 100, 0, 36}});
    QStringList heldFor;
    SetWatchFileLockedHook([&heldFor](const QString& path) {
        int failure = 0;
        if (!vorn::FileLock::acquire(path, false, &failure) && failure == EWOULDBLOCK)
            heldFor << QFileInfo(path).fileName();
    });
    WatchDisk(&disk, dir.path(), kDrivewatchChannel, {});
    AcceptDisk(&disk, dir.path(), {});
    SetWatchFileLockedHook({});
    const QString watch = QFileInfo(WatchFilePath(dir.path(), disk.GetSerialNumber())).fileName();
    EXPECT_EQ(heldFor, (QStringList{watch, watch}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{watch});
}
