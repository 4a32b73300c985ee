#include "CheckerSelfTests.h"

#include "CheckerDisk.h"

#include <utility>

using namespace vorn::diskpass;

namespace vorn::checker {

namespace {

// A disk object of the self-tests' own on the checker's drive. The
// checker's disk stays the passes': a poll never rewrites what the window
// thread copies into a snapshot after a pass. Like a pass, each command opens
// the drive and closes it again.
class COwnSelfTestDisk : public CSelfTestDisk {
public:
    // Read on the window's thread while no pass runs.
    explicit COwnSelfTestDisk(const CDisk& source)
        : m_drive(source.m_nDrive), m_scsi(source.m_bScsi != FALSE), m_port(source.m_nScsiPort),
          m_target(source.m_nScsiTarget), m_capabilities(source.GetSelfTestCapabilities()) {}
    hdd::SelfTestCapabilities Capabilities() override { return m_capabilities; }
    hdd::SelfTestOutcome Start(hdd::SelfTestKind kind) override {
        return Opened(hdd::SelfTestOutcome::Failed, [&] { return m_inner.Start(kind); });
    }
    hdd::SelfTestOutcome Abort() override {
        return Opened(hdd::SelfTestOutcome::Failed, [&] { return m_inner.Abort(); });
    }
    std::optional<hdd::SelfTestProgress> Progress() override {
        return Opened(std::optional<hdd::SelfTestProgress>(), [&] { return m_inner.Progress(); });
    }
    std::optional<hdd::DriveLogs> Logs() override {
        return Opened(std::optional<hdd::DriveLogs>(), [&] { return m_inner.Logs(); });
    }
    bool Sleeping() override {
        return Opened(false, [&] { return m_inner.Sleeping(); });
    }

private:
    template <class T, class F> T Opened(T unopened, F call) {
        if (!(m_scsi ? m_disk.OpenHddHandle(m_drive, m_port, m_target)
                     : m_disk.OpenHddHandle(m_drive, -1, -1)))
            return unopened;
        // The commands need the drive's kind and its S.M.A.R.T. data; read
        // once, when the monitor first reaches the drive.
        if (!m_identified) {
            m_disk.GetHddInfo();
            m_disk.ReadSelfTestProgress();
            m_identified = true;
        }
        T result = call();
        m_disk.CloseHddHandle();
        return result;
    }

    int m_drive;
    bool m_scsi;
    int m_port;
    int m_target;
    hdd::SelfTestCapabilities m_capabilities;
    CHdd m_disk;
    CHddSelfTestDisk m_inner{m_disk};
    bool m_identified = false;
};

} // namespace

CCheckerSelfTests::CCheckerSelfTests(Environment environment, Sink sink)
    : m_env(std::move(environment)), m_sink(std::move(sink)) {}

CCheckerSelfTests::~CCheckerSelfTests() = default;

void CCheckerSelfTests::Attach(const CDiskList& disks) {
    if (!m_entries.empty())
        return;
    // Everything the self-tests take from the checker's disks is taken
    // here, while no pass runs.
    for (CDisk* disk : disks) {
        Entry entry;
        entry.disk = std::make_unique<COwnSelfTestDisk>(*disk);
        const bool running = !disk->m_bSleeping && disk->GetSelfTestProgress().running;
        m_entries.push_back(std::move(entry));
        if (running)
            Open(Count() - 1);
    }
}

void CCheckerSelfTests::Open(int index) {
    if (index < 0 || index >= Count() || m_entries[std::size_t(index)].monitor)
        return;
    Entry& entry = m_entries[std::size_t(index)];
    entry.timer = m_env.makeTimer();
    entry.monitor = std::make_unique<CSelfTestMonitor>(
        CSelfTestMonitor::Environment{entry.timer.get(), m_env.runner, m_env.clock},
        entry.disk.get(), [this, index](const SelfTestSnapshot& snapshot) {
            if (m_sink)
                m_sink(index, snapshot);
        });
    entry.monitor->Open();
}

CSelfTestMonitor* CCheckerSelfTests::Monitor(int index) const {
    return index >= 0 && index < Count() ? m_entries[std::size_t(index)].monitor.get() : nullptr;
}

const SelfTestSnapshot* CCheckerSelfTests::Snapshot(int index) const {
    const CSelfTestMonitor* monitor = Monitor(index);
    return monitor ? &monitor->Snapshot() : nullptr;
}

bool CCheckerSelfTests::Start(int index, hdd::SelfTestKind kind) {
    CSelfTestMonitor* monitor = Monitor(index);
    return monitor && monitor->Start(kind);
}

bool CCheckerSelfTests::Abort(int index) {
    CSelfTestMonitor* monitor = Monitor(index);
    return monitor && monitor->Abort();
}

} // namespace vorn::checker
