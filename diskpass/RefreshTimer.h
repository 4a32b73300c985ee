#pragma once

#include <QTimer>

#include <functional>

namespace vorn::diskpass {

// The timer that starts the passes of a program; the programs' runs on the
// event loop, tests tick theirs by hand.
class CRefreshTimer {
public:
    virtual ~CRefreshTimer() = default;
    // Every milliseconds from now on; a second Start replaces the first.
    virtual void Start(int milliseconds, std::function<void()> tick) = 0;
    virtual void Stop() = 0;
};

class CQtRefreshTimer : public CRefreshTimer {
public:
    void Start(int milliseconds, std::function<void()> tick) override;
    void Stop() override;

private:
    QTimer m_timer;
};

} // namespace vorn::diskpass
