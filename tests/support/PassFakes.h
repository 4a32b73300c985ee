#pragma once

#include "PassRunner.h"
#include "RefreshTimer.h"

#include <functional>
#include <utility>

// What both programs' tests drive their passes with: a timer ticked by hand
// and a runner that does a pass at once on the caller's thread.

class FakeTimer : public vorn::diskpass::CRefreshTimer {
public:
    void Start(int milliseconds, std::function<void()> tick) override {
        interval = milliseconds;
        m_tick = std::move(tick);
    }
    void Stop() override { m_tick = nullptr; }
    bool Running() const { return bool(m_tick); }
    void Tick() {
        if (m_tick)
            m_tick();
    }
    int interval = 0;

private:
    std::function<void()> m_tick;
};

// Work and done at once, in Run. With holdDone the pass's end waits for
// Finish (or Wait), to see what a program does while a pass runs.
class CInlinePassRunner : public vorn::diskpass::CDiskPassRunner {
public:
    bool Run(std::function<void()> work, std::function<void()> done) override {
        if (m_busy)
            return false;
        m_busy = true;
        ++passes;
        work();
        m_done = std::move(done);
        if (!holdDone)
            Finish();
        return true;
    }
    bool IsBusy() const override { return m_busy; }
    void Wait() override { Finish(); }
    void Abandon() override {
        m_busy = false;
        m_done = nullptr;
    }
    // Ends the held pass: free again before its done runs, as a real
    // runner is.
    void Finish() {
        if (!m_busy)
            return;
        m_busy = false;
        if (auto done = std::exchange(m_done, nullptr))
            done();
    }

    bool holdDone = false;
    int passes = 0;

private:
    bool m_busy = false;
    std::function<void()> m_done;
};
