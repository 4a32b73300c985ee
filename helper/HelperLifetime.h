#pragma once

#include <functional>

namespace vorn::diskhelper {

// When the helper leaves. The idle clock runs only while no request waits;
// when it runs out the helper gives up its bus name, so the next caller
// gets a fresh instance, and ends once the requests that reached it before
// the name went are answered: a caller whose request was already on its way
// is never left without a reply.
class HelperLifetime {
public:
    struct Hooks {
        std::function<void()> startIdleClock;
        std::function<void()> stopIdleClock;
        std::function<void()> releaseName;
        // Runs the function after every request the bus delivered so far
        // has been started (on the event loop, behind them).
        std::function<void(std::function<void()>)> afterDelivered;
        std::function<void()> quit;
    };

    explicit HelperLifetime(Hooks hooks) : m_hooks(std::move(hooks)) {}

    void start() { m_hooks.startIdleClock(); }
    // From the service: true when a request arrives and nothing else waited,
    // false when the last waiting request is answered.
    void busyChanged(bool busy);
    void idleClockElapsed();

private:
    void quitWhenIdle();

    Hooks m_hooks;
    bool m_busy = false;
    bool m_leaving = false;
    bool m_quit = false;
};

} // namespace vorn::diskhelper
