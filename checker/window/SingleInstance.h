#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace vorn::checker {

// One copy of the program per user. The first copy holds a lock file in the
// runtime folder and listens on a local socket, both named after the
// program and the user; a later copy finds the lock taken, asks the first
// one over the socket to show its window, and ends without touching a disk
// or writing a file.
class CSingleInstance : public QObject {
    Q_OBJECT

public:
    // runtimeDir: where the lock lives (the user's runtime folder in the
    // program; a scratch folder in tests).
    CSingleInstance(const QString& programName, const QString& runtimeDir,
                    QObject* parent = nullptr);
    ~CSingleInstance() override;

    // True when this process is the first copy; it then listens for later
    // copies. A lock that cannot be created at all does not stop the
    // program: it runs as a first copy.
    bool TryBecomeFirst();

    // For a later copy: asks the running copy to show its window. False
    // when no copy answered within timeoutMs.
    bool AskFirstToShow(int timeoutMs = 2000) const;

    QString SocketName() const { return m_socketName; }

    // "<program>-<user>", the name of the lock and of the socket.
    static QString InstanceName(const QString& programName);
    // The user's runtime folder, else the temporary folder.
    static QString DefaultRuntimeDir();

signals:
    void showRequested();

private:
    void Listen();

    QString m_socketName;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};

} // namespace vorn::checker
