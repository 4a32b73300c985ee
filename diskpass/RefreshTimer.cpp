#include "RefreshTimer.h"

#include <utility>

namespace vorn::diskpass {

void CQtRefreshTimer::Start(int milliseconds, std::function<void()> tick) {
    m_timer.disconnect();
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, std::move(tick));
    m_timer.start(milliseconds);
}

void CQtRefreshTimer::Stop() {
    m_timer.stop();
}

} // namespace vorn::diskpass
