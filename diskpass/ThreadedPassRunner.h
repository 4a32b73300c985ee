#pragma once

#include "PassRunner.h"

#include <QObject>
#include <QThread>

#include <memory>

namespace vorn::diskpass {

// Disk passes on a thread of their own, their ends delivered through the
// event loop of the thread the runner lives on.
class CThreadedPassRunner : public QObject, public CDiskPassRunner {
    Q_OBJECT

public:
    explicit CThreadedPassRunner(QObject* parent = nullptr);
    // Abandons a running pass.
    ~CThreadedPassRunner() override;

    bool Run(std::function<void()> work, std::function<void()> done) override;
    bool IsBusy() const override { return bool(m_thread); }
    void Wait() override;
    void Abandon() override;

signals:
    // A pass has ended here: its done ran, or it was abandoned. A done
    // that started the next pass leaves the runner busy again.
    void passEnded();

private:
    enum class End { RunDone, DropDone };
    void Finish(End end);

    std::unique_ptr<QThread> m_thread; // the running pass's
    std::function<void()> m_done;
    // Tells a pass's queued end from a later pass's: an abandoned pass
    // may still have its end in the event queue.
    quint64 m_pass = 0;
};

} // namespace vorn::diskpass
