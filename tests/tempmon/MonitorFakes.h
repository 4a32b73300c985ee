#pragma once

#include "HeatgaugeMonitor.h"

#include <QString>
#include <QStringList>

// Test doubles for what the monitor drives: a timer ticked by hand and a
// disk pass that runs at once on the caller's thread.

class FakeTimer : public CRefreshTimer {
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

// Holds the pass's end back until Finish, to see what happens meanwhile.
class FakeRunner : public CDiskPassRunner {
public:
    void Run(std::function<void()> work, std::function<void()> done) override {
        ++passes;
        work();
        m_done = std::move(done);
        if (!holdDone)
            Finish();
    }
    void Wait() override { Finish(); }
    void Finish() {
        if (auto done = std::move(m_done))
            done();
        m_done = nullptr;
    }
    bool holdDone = false;
    int passes = 0;

private:
    std::function<void()> m_done;
};
