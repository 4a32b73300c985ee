#include "SelfTestMonitor.h"

#include "CHdd.h"

#include <algorithm>
#include <utility>

namespace vorn::diskpass {

using hdd::SelfTestKind;
using hdd::SelfTestOutcome;
using Phase = SelfTestSnapshot::Phase;

hdd::SelfTestCapabilities CHddSelfTestDisk::Capabilities() {
    return m_disk.GetSelfTestCapabilities();
}

SelfTestOutcome CHddSelfTestDisk::Start(SelfTestKind kind) {
    return m_disk.StartSelfTest(kind);
}

SelfTestOutcome CHddSelfTestDisk::Abort() {
    return m_disk.AbortSelfTest();
}

std::optional<hdd::SelfTestProgress> CHddSelfTestDisk::Progress() {
    if (!m_disk.ReadSelfTestProgress())
        return std::nullopt;
    return m_disk.GetSelfTestProgress();
}

std::optional<hdd::DriveLogs> CHddSelfTestDisk::Logs() {
    if (!m_disk.GetDriveLogs())
        return std::nullopt;
    return m_disk.m_DriveLogs;
}

bool CHddSelfTestDisk::Sleeping() {
    return !hdd::ReadsInPeriodicPass(m_disk.CheckPowerMode());
}

// What one piece of work found, handed from the runner's thread to the
// monitor's.
struct CSelfTestMonitor::Result {
    std::optional<hdd::SelfTestCapabilities> capabilities;
    std::optional<hdd::SelfTestProgress> progress;
    std::optional<hdd::DriveLogs> logs;
    std::optional<SelfTestOutcome> outcome;
    std::optional<SelfTestKind> kind;
    bool sleeping = false;
};

CSelfTestMonitor::CSelfTestMonitor(Environment environment, CSelfTestDisk* disk, Sink sink)
    : m_env(std::move(environment)), m_disk(disk), m_sink(std::move(sink)),
      m_alive(std::make_shared<bool>(true)) {}

CSelfTestMonitor::~CSelfTestMonitor() {
    *m_alive = false;
    if (m_env.timer)
        m_env.timer->Stop();
}

int CSelfTestMonitor::PollSeconds(int expectedMinutes) {
    if (expectedMinutes <= 0)
        return kUnknownDurationPollSeconds;
    // About twenty looks over the whole test: the drive reports its progress
    // in tenths, so more would mostly see the same number.
    return std::clamp(expectedMinutes * 60 / 20, kMinPollSeconds, kMaxPollSeconds);
}

std::int64_t CSelfTestMonitor::TimeoutSeconds(int expectedMinutes) {
    // A drive busy with other work pauses its test, so the expected time is
    // a floor; a day covers any test that names no time.
    if (expectedMinutes <= 0)
        return 24 * 3600;
    return std::max<std::int64_t>(std::int64_t(expectedMinutes) * 3, expectedMinutes + 60) * 60;
}

int CSelfTestMonitor::ExpectedMinutes() const {
    const hdd::SelfTestCapabilities& caps = m_snapshot.capabilities;
    if (m_snapshot.kind)
        return caps.minutes(*m_snapshot.kind);
    // A test found running may be the longest the drive has.
    return std::max({caps.shortMinutes, caps.extendedMinutes, caps.conveyanceMinutes});
}

void CSelfTestMonitor::Open() {
    Submit(Request::Open, std::nullopt);
}

bool CSelfTestMonitor::Start(SelfTestKind kind) {
    if (m_snapshot.running() || !m_snapshot.capabilities.offers(kind))
        return false;
    Submit(Request::Start, kind);
    return true;
}

bool CSelfTestMonitor::Abort() {
    if (!m_snapshot.running() && m_snapshot.phase != Phase::TimedOut)
        return false;
    Submit(Request::Abort, std::nullopt);
    return true;
}

void CSelfTestMonitor::RefreshLogs() {
    Submit(Request::Logs, std::nullopt);
}

void CSelfTestMonitor::Submit(Request request, std::optional<SelfTestKind> kind) {
    CSelfTestDisk* disk = m_disk;
    auto result = std::make_shared<Result>();
    auto work = [disk, request, kind, result] {
        result->kind = kind;
        switch (request) {
        case Request::Open:
            // The progress first: on ATA it renews the data the offered
            // tests are read from.
            result->progress = disk->Progress();
            result->capabilities = disk->Capabilities();
            result->logs = disk->Logs();
            break;
        case Request::Start:
            result->outcome = disk->Start(*kind);
            if (*result->outcome == SelfTestOutcome::Accepted)
                result->progress = disk->Progress();
            break;
        case Request::Abort:
            result->outcome = disk->Abort();
            result->progress = disk->Progress();
            result->logs = disk->Logs();
            break;
        case Request::Poll:
            // A disk that went to sleep runs no test; it is left asleep and
            // asked again at the next poll.
            if ((result->sleeping = disk->Sleeping()))
                break;
            result->progress = disk->Progress();
            if (result->progress && !result->progress->running)
                result->logs = disk->Logs();
            break;
        case Request::Logs:
            result->logs = disk->Logs();
            break;
        }
    };
    std::weak_ptr<bool> alive = m_alive;
    auto done = [this, alive, request, result] {
        const auto token = alive.lock();
        if (!token || !*token)
            return;
        m_snapshot.busy = false;
        Apply(request, *result);
    };
    if (!m_env.runner) {
        work();
        done();
        return;
    }
    m_snapshot.busy = true;
    if (!m_env.runner->Run(work, done)) {
        // Another pass holds the disks: this one follows it.
        m_snapshot.busy = false;
        if (request != Request::Poll)
            m_pending = std::make_pair(request, kind);
        if (m_env.timer)
            m_env.timer->Start(kRetryMilliseconds, [this] { Tick(); });
    }
}

void CSelfTestMonitor::Apply(Request request, const Result& result) {
    const std::int64_t now = m_env.clock ? m_env.clock() : 0;
    const bool wasRunning = m_snapshot.running();
    if (result.capabilities)
        m_snapshot.capabilities = *result.capabilities;
    if (result.logs) {
        m_snapshot.logs = *result.logs;
        m_snapshot.logsRead = true;
    }
    m_snapshot.message.clear();

    if (result.outcome && *result.outcome != SelfTestOutcome::Accepted) {
        m_snapshot.message = hdd::selfTestOutcomeText(*result.outcome);
    } else if (request == Request::Start) {
        m_snapshot.phase = Phase::Running;
        m_snapshot.kind = result.kind;
        // A drive may take a moment to report the test it just took on.
        m_snapshot.remainingPercent =
            result.progress && result.progress->running ? result.progress->remainingPercent : 100;
        m_watchSince = now;
    } else if (result.sleeping) {
        m_snapshot.message = QStringLiteral("the disk sleeps; it is asked again later");
    } else if (result.progress && result.progress->running) {
        if (!wasRunning) {
            m_snapshot.phase = Phase::Running;
            m_snapshot.kind.reset();
            m_watchSince = now;
        }
        m_snapshot.remainingPercent = result.progress->remainingPercent;
        const int expected = ExpectedMinutes();
        if (now - m_watchSince > TimeoutSeconds(expected)) {
            m_snapshot.phase = Phase::TimedOut;
            m_snapshot.message =
                QStringLiteral("the drive has reported the test as running for %1 minutes "
                               "(expected %2); it may be stuck: abort it, or check the drive")
                    .arg((now - m_watchSince) / 60)
                    .arg(expected > 0 ? QString::number(expected) : QStringLiteral("unknown"));
        }
    } else if (result.progress) {
        const hdd::SelfTestProgress& p = *result.progress;
        m_snapshot.remainingPercent = 0;
        if (wasRunning || request == Request::Abort || m_snapshot.phase == Phase::TimedOut) {
            m_snapshot.phase = p.statusCode == 0 ? Phase::Passed
                               : p.failed        ? Phase::Failed
                                                 : Phase::Aborted;
        } else if (m_snapshot.phase == Phase::Unknown) {
            m_snapshot.phase = Phase::Idle;
        }
    } else if (request != Request::Logs) {
        m_snapshot.message = QStringLiteral("the drive did not answer");
    }

    if (m_pending) {
        const auto pending = *std::exchange(m_pending, std::nullopt);
        Submit(pending.first, pending.second);
        return;
    }
    ScheduleNext();
    Publish();
}

void CSelfTestMonitor::ScheduleNext() {
    if (!m_env.timer)
        return;
    if (m_snapshot.running())
        m_env.timer->Start(PollSeconds(ExpectedMinutes()) * 1000, [this] { Tick(); });
    else
        m_env.timer->Stop();
}

void CSelfTestMonitor::Tick() {
    if (m_pending) {
        const auto pending = *std::exchange(m_pending, std::nullopt);
        ScheduleNext();
        Submit(pending.first, pending.second);
        return;
    }
    if (m_snapshot.running()) {
        ScheduleNext();
        Submit(Request::Poll, std::nullopt);
    } else if (m_env.timer) {
        m_env.timer->Stop();
    }
}

void CSelfTestMonitor::Publish() {
    if (m_sink)
        m_sink(m_snapshot);
}

QString SelfTestPhaseName(Phase phase) {
    switch (phase) {
    case Phase::Unknown:
        return QStringLiteral("unknown");
    case Phase::Idle:
        return QStringLiteral("idle");
    case Phase::Running:
        return QStringLiteral("running");
    case Phase::Passed:
        return QStringLiteral("passed");
    case Phase::Failed:
        return QStringLiteral("failed");
    case Phase::Aborted:
        return QStringLiteral("aborted");
    case Phase::TimedOut:
        return QStringLiteral("timed_out");
    }
    return {};
}

} // namespace vorn::diskpass
