#include "SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace vorn::checker {

namespace {

const QByteArray kShowRequest = "show\n";

} // namespace

CSingleInstance::CSingleInstance(const QString& programName, const QString& runtimeDir,
                                 QObject* parent)
    : QObject(parent) {
    const QString name = InstanceName(programName);
    m_lockPath = QDir(runtimeDir).filePath(name + QStringLiteral(".lock"));
    // The socket lives beside the lock, so a test's scratch folder keeps
    // its copies apart from the user's real ones.
    m_socketName = QDir(runtimeDir).filePath(name + QStringLiteral(".socket"));
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(kShowRequest.trimmed()))
                    emit showRequested();
                socket->disconnectFromServer();
            });
        }
    });
}

CSingleInstance::~CSingleInstance() = default;

QString CSingleInstance::InstanceName(const QString& programName) {
    const QString user = qEnvironmentVariable("USER", QString::number(getuid()));
    return programName + QLatin1Char('-') + user;
}

QString CSingleInstance::DefaultRuntimeDir() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

bool CSingleInstance::TryBecomeFirst() {
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    m_lock->setStaleLockTime(0); // a lock of a crashed copy is taken over
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError)
            return false;
        // No lock possible (folder missing or read-only): run unguarded.
    }
    Listen();
    return true;
}

void CSingleInstance::Listen() {
    // A socket left by a crashed copy would make listen() fail; we hold the
    // lock, so no live copy owns it.
    QLocalServer::removeServer(m_socketName);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.listen(m_socketName);
}

bool CSingleInstance::AskFirstToShow(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.waitForDisconnected(timeoutMs);
    return true;
}

} // namespace vorn::checker
