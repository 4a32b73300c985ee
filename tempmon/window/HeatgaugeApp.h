#pragma once

#include "HeatgaugeMonitor.h"
#include "StripWindow.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <memory>

// The refresh timer on the event loop.
class CQtRefreshTimer : public CRefreshTimer {
public:
    void Start(int milliseconds, std::function<void()> tick) override;
    void Stop() override;

private:
    QTimer m_timer;
};

// Disk passes on a worker thread, their ends back on the window's thread.
class CThreadPassRunner : public QObject, public CDiskPassRunner {
    Q_OBJECT

public:
    ~CThreadPassRunner() override;
    void Run(std::function<void()> work, std::function<void()> done) override;
    void Wait() override;

private:
    void Finish();

    std::unique_ptr<QThread> m_thread;
    std::function<void()> m_done;
};

// Runs the program: the switches, the scan, the strip, the event loop.
// Returns the exit code.
int RunHeatgauge();

// Before the application object exists: a Wayland session runs the strip
// on XWayland, where it can place itself and stay on top, unless the user
// chose a platform.
void PreferXcbOnWayland();
