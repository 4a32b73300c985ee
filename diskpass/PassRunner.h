#pragma once

#include <functional>

namespace vorn::diskpass {

// Runs a disk pass away from the painting: work off the caller's thread,
// then done back on it. A disk that times out can hold a request for
// seconds, and the window must keep answering meanwhile. One pass at a
// time: the disk library is not made for concurrent use, and the caller
// leaves the disks alone from Run until done has run (or was dropped).
class CDiskPassRunner {
public:
    virtual ~CDiskPassRunner() = default;

    // Starts a pass. Returns false, and runs nothing, while the last pass
    // has not ended; a done may start the next pass, since the runner is
    // free again by the time it runs.
    virtual bool Run(std::function<void()> work, std::function<void()> done) = 0;

    // From Run until the pass's done has run or was dropped.
    virtual bool IsBusy() const = 0;

    // Blocks until the running pass's work is over, then runs its done
    // here: for an end that still wants what the pass found (the strip
    // saves its settings after the last reading).
    virtual void Wait() = 0;

    // Blocks until the running pass's work is over and drops its done: for
    // a teardown, which must neither free the disks under a pass nor have
    // the pass's end update a window that is going away.
    virtual void Abandon() = 0;
};

} // namespace vorn::diskpass
