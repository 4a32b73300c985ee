#pragma once

#include "DiskList.h"
#include "SelfTestMonitor.h"

#include <functional>
#include <memory>
#include <vector>

namespace vorn::checker {

// The checker's self-tests, one monitor per disk, kept for the whole run so
// that a test goes on being followed while its dialog is closed or the
// window sits in the tray. Monitors share the checker's pass runner, so a
// self-test command never meets a pass on the same drive, and each works on
// a disk object of its own, so a poll never rewrites the checker's disks.
class CCheckerSelfTests {
public:
    struct Environment {
        diskpass::CDiskPassRunner* runner = nullptr;
        // One timer per monitor; the programs make Qt timers, tests fakes.
        std::function<std::unique_ptr<diskpass::CRefreshTimer>()> makeTimer;
        diskpass::PassClock clock = diskpass::SystemClock();
    };
    using Sink = std::function<void(int index, const diskpass::SelfTestSnapshot&)>;

    CCheckerSelfTests(Environment environment, Sink sink);
    ~CCheckerSelfTests();
    CCheckerSelfTests(const CCheckerSelfTests&) = delete;
    CCheckerSelfTests& operator=(const CCheckerSelfTests&) = delete;

    // The disks of the scan, read while no pass runs. A disk whose last
    // read says a test runs (one left by an earlier run or another program)
    // gets its monitor now; the others when asked for, so the start costs
    // no extra command.
    void Attach(const CDiskList& disks);
    int Count() const { return int(m_entries.size()); }
    // Opens the disk's monitor when it has none yet (the dialog's first look).
    void Open(int index);
    // Null for a disk without a monitor or outside the list.
    const diskpass::SelfTestSnapshot* Snapshot(int index) const;
    bool Start(int index, hdd::SelfTestKind kind);
    bool Abort(int index);

private:
    struct Entry {
        std::unique_ptr<diskpass::CSelfTestDisk> disk;
        std::unique_ptr<diskpass::CRefreshTimer> timer;
        std::unique_ptr<diskpass::CSelfTestMonitor> monitor;
    };
    diskpass::CSelfTestMonitor* Monitor(int index) const;

    Environment m_env;
    Sink m_sink;
    std::vector<Entry> m_entries;
};

} // namespace vorn::checker
