#pragma once

#include <QObject>
#include <QThread>

#include <functional>

// The one thread that talks to the disks. A disk that times out can hold a
// request for seconds; the window hands every pass over the disks (scan,
// refresh, timer pass) to this worker and stays responsive meanwhile. One
// job at a time: the disk library is not made for concurrent use, and the
// window leaves the disks alone until the job's done callback runs.
class CDiskWorker : public QObject {
    Q_OBJECT

public:
    // Threaded: jobs run on a thread of their own. Inline: jobs run at once
    // on the caller's thread (tests that follow a window step by step).
    enum class Mode { Threaded, Inline };

    explicit CDiskWorker(Mode mode, QObject* parent = nullptr);
    ~CDiskWorker() override;

    // Runs job off the window's thread, then done on the window's thread.
    // Returns false, and runs nothing, while another job is still running.
    bool Run(std::function<void()> job, std::function<void()> done);

    bool IsBusy() const { return m_busy; }

    // Blocks until the running job (if any) has finished; its done callback
    // is dropped. For the teardown, which must not delete disks under a job.
    void WaitIdle();

signals:
    void busyChanged(bool busy);

private:
    void Finish(quint64 generation, std::function<void()> done);

    Mode m_mode;
    QThread m_thread;
    QObject* m_context = nullptr; // lives on m_thread
    bool m_busy = false;
    quint64 m_generation = 0;
};
