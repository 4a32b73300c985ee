#include "DiskWorker.h"

#include <QMetaObject>
#include <QSemaphore>

CDiskWorker::CDiskWorker(Mode mode, QObject* parent) : QObject(parent), m_mode(mode) {
    if (m_mode == Mode::Threaded) {
        m_context = new QObject;
        m_context->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
        m_thread.setObjectName(QStringLiteral("disk worker"));
        m_thread.start();
    }
}

CDiskWorker::~CDiskWorker() {
    if (m_mode == Mode::Threaded) {
        m_thread.quit();
        m_thread.wait();
    }
}

bool CDiskWorker::Run(std::function<void()> job, std::function<void()> done) {
    if (m_busy)
        return false;
    m_busy = true;
    const quint64 generation = ++m_generation;
    emit busyChanged(true);
    if (m_mode == Mode::Inline) {
        job();
        Finish(generation, std::move(done));
        return true;
    }
    QMetaObject::invokeMethod(
        m_context, [this, generation, job = std::move(job), done = std::move(done)] {
            job();
            QMetaObject::invokeMethod(
                this, [this, generation, done] { Finish(generation, done); }, Qt::QueuedConnection);
        });
    return true;
}

void CDiskWorker::Finish(quint64 generation, std::function<void()> done) {
    // A job that WaitIdle already waited for has lost its callback.
    if (!m_busy || generation != m_generation)
        return;
    m_busy = false;
    if (done)
        done();
    emit busyChanged(false);
}

void CDiskWorker::WaitIdle() {
    if (!m_busy || m_mode == Mode::Inline)
        return;
    // A marker job queued behind the running one: when it runs, the disks
    // are free again.
    QSemaphore finished;
    QMetaObject::invokeMethod(m_context, [&finished] { finished.release(); });
    finished.acquire();
    ++m_generation;
    m_busy = false;
    emit busyChanged(false);
}
