#include "ThreadedPassRunner.h"

#include <utility>

namespace vorn::diskpass {

CThreadedPassRunner::CThreadedPassRunner(QObject* parent) : QObject(parent) {}

CThreadedPassRunner::~CThreadedPassRunner() {
    if (!m_thread)
        return;
    // No signal from a half-destroyed object: only the disks need the wait.
    m_thread->wait();
    m_thread.reset();
}

bool CThreadedPassRunner::Run(std::function<void()> work, std::function<void()> done) {
    if (m_thread)
        return false;
    m_done = std::move(done);
    const quint64 pass = ++m_pass;
    m_thread.reset(QThread::create(std::move(work)));
    m_thread->setObjectName(QStringLiteral("disk pass"));
    connect(m_thread.get(), &QThread::finished, this, [this, pass] {
        if (pass == m_pass)
            Finish(End::RunDone);
    });
    m_thread->start();
    return true;
}

void CThreadedPassRunner::Wait() {
    if (m_thread)
        Finish(End::RunDone);
}

void CThreadedPassRunner::Abandon() {
    if (m_thread)
        Finish(End::DropDone);
}

void CThreadedPassRunner::Finish(End end) {
    // finished() is sent from the thread before it is quite over.
    m_thread->wait();
    m_thread.reset();
    ++m_pass;
    std::function<void()> done = std::exchange(m_done, nullptr);
    if (end == End::RunDone && done)
        done();
    emit passEnded();
}

} // namespace vorn::diskpass
