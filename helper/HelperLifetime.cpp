#include "HelperLifetime.h"

namespace vorn::diskhelper {

void HelperLifetime::busyChanged(bool busy) {
    m_busy = busy;
    if (busy)
        m_hooks.stopIdleClock();
    else if (m_leaving)
        quitWhenIdle();
    else
        m_hooks.startIdleClock();
}

void HelperLifetime::idleClockElapsed() {
    if (m_busy || m_leaving)
        return;
    m_leaving = true;
    m_hooks.releaseName();
    // Requests the bus routed here before the name went may still be on
    // their way through the event loop.
    m_hooks.afterDelivered([this] {
        if (!m_busy)
            quitWhenIdle();
    });
}

void HelperLifetime::quitWhenIdle() {
    if (m_quit)
        return;
    m_quit = true;
    m_hooks.quit();
}

} // namespace vorn::diskhelper
