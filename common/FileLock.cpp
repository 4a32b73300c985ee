#include "FileLock.h"

#include "SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

namespace vorn {

QString FileLock::lockPathOf(const QString& path) {
    const QFileInfo info(path);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

std::optional<FileLock> FileLock::acquire(const QString& path, bool wait, int* failure) {
    const QFileInfo info(path);
    UniqueFd folder(
        ::open(QFile::encodeName(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) {
        *failure = errno;
        return std::nullopt;
    }
    const QByteArray name = QFile::encodeName(QLatin1Char('.') + info.fileName() + ".lock");
    for (;;) {
        UniqueFd lock(::openat(folder.get(), name.constData(),
                               O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
        if (!lock.valid()) {
            *failure = errno == ELOOP ? kCmSymbolicLink : errno;
            return std::nullopt;
        }
        struct stat held {};
        if (::fstat(lock.get(), &held) < 0) {
            *failure = errno;
            return std::nullopt;
        }
        if (!S_ISREG(held.st_mode) || held.st_uid != ::geteuid() || held.st_nlink != 1) {
            *failure = !S_ISREG(held.st_mode)       ? kCmNotRegularFile
                       : held.st_uid != ::geteuid() ? kCmOtherOwner
                                                    : kCmHardLink;
            return std::nullopt;
        }
        int locked = 0;
        do
            locked = ::flock(lock.get(), LOCK_EX | (wait ? 0 : LOCK_NB));
        while (locked < 0 && errno == EINTR);
        if (locked < 0) {
            *failure = errno;
            return std::nullopt;
        }
        // The holder before us removes the name as it lets go; the lock is
        // ours only if the name still shows the file we locked.
        struct stat named {};
        if (::fstatat(folder.get(), name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_ino == held.st_ino && named.st_dev == held.st_dev)
            return FileLock(std::move(folder), std::move(lock), name);
    }
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_folder = std::move(other.m_folder);
        m_lock = std::move(other.m_lock);
        m_name = std::move(other.m_name);
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

void FileLock::release() noexcept {
    // The name goes first, while we still hold the lock: whoever opens it
    // after that makes a new file and locks that one.
    if (m_lock.valid() && m_folder.valid())
        ::unlinkat(m_folder.get(), m_name.constData(), 0);
    m_lock.reset();
    m_folder.reset();
}

} // namespace vorn
