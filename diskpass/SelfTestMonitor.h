#pragma once

#include "PassClock.h"
#include "PassRunner.h"
#include "RefreshTimer.h"
#include "SelfTestRead.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class CHdd;

namespace vorn::diskpass {

// One disk as the self-test monitor uses it. The programs hand it a CHdd
// (CHddSelfTestDisk); tests a scripted drive. Every call but Capabilities
// may reach the device, and runs on the pass runner's thread.
class CSelfTestDisk {
public:
    virtual ~CSelfTestDisk() = default;
    virtual hdd::SelfTestCapabilities Capabilities() = 0;
    virtual hdd::SelfTestOutcome Start(hdd::SelfTestKind kind) = 0;
    virtual hdd::SelfTestOutcome Abort() = 0;
    // The drive's answer, or none when it gave none.
    virtual std::optional<hdd::SelfTestProgress> Progress() = 0;
    virtual std::optional<hdd::DriveLogs> Logs() = 0;
    // Known to be spun down, found out without waking it.
    virtual bool Sleeping() = 0;
};

class CHddSelfTestDisk : public CSelfTestDisk {
public:
    explicit CHddSelfTestDisk(CHdd& disk) : m_disk(disk) {}
    hdd::SelfTestCapabilities Capabilities() override;
    hdd::SelfTestOutcome Start(hdd::SelfTestKind kind) override;
    hdd::SelfTestOutcome Abort() override;
    std::optional<hdd::SelfTestProgress> Progress() override;
    std::optional<hdd::DriveLogs> Logs() override;
    bool Sleeping() override;

private:
    CHdd& m_disk;
};

// What a window, the strip's tip or drivewatch shows of one disk's test.
struct SelfTestSnapshot {
    enum class Phase {
        Unknown,  // not read yet, or the drive did not answer
        Idle,     // no test runs; the log tells how the last one ended
        Running,  // the drive runs a test
        Passed,   // a test watched here ended without error
        Failed,   // ... ended in a failure of the drive
        Aborted,  // ... was aborted or interrupted
        TimedOut, // the drive kept saying "in progress" far beyond the expected time
    };
    Phase phase = Phase::Unknown;
    // The kind started here; none for a test found running (another
    // program, or a run of this one before it ended).
    std::optional<hdd::SelfTestKind> kind;
    int remainingPercent = 0; // while Running, as the drive reports it
    QString message;          // one line for the user; empty when all is plain
    hdd::SelfTestCapabilities capabilities;
    bool logsRead = false;
    hdd::DriveLogs logs;
    bool busy = false; // a command or read of the monitor is on its way

    int progressPercent() const { return 100 - remainingPercent; }
    bool running() const { return phase == Phase::Running; }
};

// The self-test of one disk without a window: start, abort, and the drive's
// progress, polled only while a test runs, at an interval derived from the
// test's expected time and never more often than every 15 seconds. A test
// found running when the monitor opens (it survived the program's exit) is
// followed the same way. Each change goes to the sink as a value snapshot,
// on the caller's thread.
class CSelfTestMonitor {
public:
    static constexpr int kMinPollSeconds = 15;
    static constexpr int kMaxPollSeconds = 300;
    // A drive that names no time is polled once a minute.
    static constexpr int kUnknownDurationPollSeconds = 60;
    // Retry of a command while the runner is busy with another pass.
    static constexpr int kRetryMilliseconds = 1000;

    struct Environment {
        CRefreshTimer* timer = nullptr;
        CDiskPassRunner* runner = nullptr;
        PassClock clock;
    };
    using Sink = std::function<void(const SelfTestSnapshot&)>;

    // The disk stays the caller's and must outlive the monitor.
    CSelfTestMonitor(Environment environment, CSelfTestDisk* disk, Sink sink);
    ~CSelfTestMonitor();
    CSelfTestMonitor(const CSelfTestMonitor&) = delete;
    CSelfTestMonitor& operator=(const CSelfTestMonitor&) = delete;

    // Reads what the drive offers, its progress and its logs; polling starts
    // when a test runs.
    void Open();
    // Starts a test the drive offers; false (nothing sent) otherwise or
    // while one runs.
    bool Start(hdd::SelfTestKind kind);
    // Aborts the running test; false when none runs.
    bool Abort();
    // Reads the logs again (after a test ended elsewhere, or on request).
    void RefreshLogs();

    const SelfTestSnapshot& Snapshot() const { return m_snapshot; }

    // Seconds between two polls for a test expected to take minutes.
    static int PollSeconds(int expectedMinutes);
    // Seconds after which a test still "in progress" counts as stuck.
    static std::int64_t TimeoutSeconds(int expectedMinutes);

private:
    struct Result;
    enum class Request { Open, Start, Abort, Poll, Logs };

    void Submit(Request request, std::optional<hdd::SelfTestKind> kind);
    void Apply(Request request, const Result& result);
    void Tick();
    void ScheduleNext();
    int ExpectedMinutes() const;
    void Publish();

    Environment m_env;
    CSelfTestDisk* m_disk;
    Sink m_sink;
    SelfTestSnapshot m_snapshot;
    std::int64_t m_watchSince = 0; // clock seconds when this monitor saw the test start
    std::optional<std::pair<Request, std::optional<hdd::SelfTestKind>>> m_pending;
    std::shared_ptr<bool> m_alive;
};

// "unknown", "idle", "running", "passed", "failed", "aborted", "timed_out".
QString SelfTestPhaseName(SelfTestSnapshot::Phase phase);

} // namespace vorn::diskpass
