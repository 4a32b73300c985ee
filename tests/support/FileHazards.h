#pragma once

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// What a hostile or broken machine does to the files of a run.

// While alive, files cannot grow beyond bytes: writes fail with EFBIG the
// way they fail with ENOSPC on a full disk, for root as for anyone.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = SIG_DFL;
};

// Plants a symbolic link at link pointing to target. When the tests run as
// root and setpriv is there, the link is made by the unprivileged user
// "nobody" in a folder opened to everyone (sticky, as /tmp), which is the
// attack on a root run; otherwise the test makes it itself, which shows the
// same refusal. Returns false when no link could be made.
inline bool PlantLink(const QString& folder, const QString& link, const QString& target) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (::geteuid() == 0 && !setpriv.isEmpty()) {
        ::chmod(QFile::encodeName(folder).constData(), 01777);
        const int status = QProcess::execute(
            setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                      QStringLiteral("--clear-groups"), QStringLiteral("ln"), QStringLiteral("-s"),
                      target, link});
        if (status == 0)
            return true;
    }
    return QFile::link(target, link);
}
