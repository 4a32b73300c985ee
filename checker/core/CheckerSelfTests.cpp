#include "CheckerSelfTests.h"

#include "CheckerDisk.h"
#include "DiskScan.h"

#include <utility>

using namespace vorn::diskpass;

namespace vorn::checker {

namespace {

// The checker's disks stay closed between passes; each self-test command
// opens its disk for itself and closes it again, as a pass does.
class COpeningSelfTestDisk : public CSelfTestDisk {
public:
    explicit COpeningSelfTestDisk(CHdd& disk) : m_disk(disk), m_inner(disk) {}
    hdd::SelfTestCapabilities Capabilities() override { return m_inner.Capabilities(); }
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
        if (!ReopenDisk(&m_disk))
            return unopened;
        T result = call();
        m_disk.CloseHddHandle();
        return result;
    }

    CHdd& m_disk;
    CHddSelfTestDisk m_inner;
};

} // namespace

CCheckerSelfTests::CCheckerSelfTests(Environment environment, Sink sink)
    : m_env(std::move(environment)), m_sink(std::move(sink)) {}

CCheckerSelfTests::~CCheckerSelfTests() = default;

void CCheckerSelfTests::Attach(const CDiskList& disks) {
    if (!m_disks.empty())
        return;
    for (CDisk* disk : disks)
        m_disks.push_back(disk);
    m_entries.resize(m_disks.size());
    for (std::size_t k = 0; k < m_disks.size(); ++k) {
        if (!m_disks[k]->m_bSleeping && m_disks[k]->GetSelfTestProgress().running)
            Open(int(k));
    }
}

void CCheckerSelfTests::Open(int index) {
    if (index < 0 || index >= Count() || m_entries[std::size_t(index)].monitor)
        return;
    Entry& entry = m_entries[std::size_t(index)];
    entry.disk = std::make_unique<COpeningSelfTestDisk>(*m_disks[std::size_t(index)]);
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
