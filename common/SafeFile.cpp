#include "SafeFile.h"

#include "LeadingNumber.h"
#include "UniqueFd.h"

#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

using vorn::UniqueFd;

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, data, static_cast<size_t>(size));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += done;
        size -= done;
    }
    return true;
}

// The process id a temporary's name ends in: digits only, the whole rest of
// the name, and a number a process id can be; else 0.
pid_t pidOfTemporary(const QByteArray& digits) {
    const vorn::LeadingNumber number = vorn::readLeadingNumber(
        std::string_view(digits.constData(), std::size_t(digits.size())), 1,
        std::numeric_limits<pid_t>::max(), vorn::LeadingNumberForm{false, false});
    const bool whole = number.end == static_cast<std::size_t>(digits.size());
    return number.status == vorn::LeadingNumber::Number && whole ? pid_t(number.value) : 0;
}

// Ours to replace or append to: a regular file of this user with no other
// name. A second link would carry the new bytes (or the truncation) to a
// file someone else chose; another user's file at our name was planted.
int ownershipFailure(const struct stat& st) {
    if (!S_ISREG(st.st_mode))
        return kCmNotRegularFile;
    if (st.st_uid != ::geteuid())
        return kCmOtherOwner;
    if (st.st_nlink > 1)
        return kCmHardLink;
    return 0;
}

bool isOurStaleTemporary(int dirFd, const QByteArray& name, const QByteArray& prefix) {
    const pid_t pid = pidOfTemporary(name.mid(prefix.size()));
    if (pid <= 0 || pid == ::getpid())
        return false;
    struct stat st {};
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) < 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid())
        return false;
    return ::kill(pid, 0) < 0 && errno == ESRCH;
}

// The prefix of ".<name>.tmp.<digits>" when name is such a temporary's.
QByteArray temporaryPrefixOf(const QByteArray& name) {
    const int at = name.lastIndexOf(".tmp.");
    if (!name.startsWith('.') || at <= 1)
        return QByteArray();
    return name.left(at + 5);
}

// A temporary file of ours whose process is gone was left by a crash or a
// kill; nobody will ever rename it. An empty prefix takes every temporary.
void removeStaleTemporaries(int dirFd, const QByteArray& prefix) {
    const int listFd = ::dup(dirFd);
    if (listFd < 0)
        return;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        const QByteArray own = prefix.isEmpty() ? temporaryPrefixOf(name) : prefix;
        if (own.isEmpty() || !name.startsWith(own))
            continue;
        if (isOurStaleTemporary(dirFd, name, own))
            ::unlinkat(dirFd, name.constData(), 0);
    }
    ::closedir(dir);
}

// The bytes of an opened regular file, at most maxBytes of them.
std::optional<QByteArray> readOpened(int fd, const struct stat& opened, qint64 maxBytes,
                                     int* error) {
    int& failure = *error;
    // Read straight into the array. A file of a real file system tells its
    // size, so the read that would find its end is spared; procfs and sysfs
    // files tell 0 or a page whatever they hold and are read to the end,
    // counting up to one byte past the bound to see a file too large.
    const qint64 told = opened.st_size;
    QByteArray bytes(std::min<qint64>(told > 0 ? told : 4096, maxBytes + 1), Qt::Uninitialized);
    qsizetype size = 0;
    while (size <= maxBytes) {
        if (size == bytes.size())
            bytes.resize(std::min<qint64>(2 * size, maxBytes + 1));
        const ssize_t done = ::read(fd, bytes.data() + size, std::size_t(bytes.size() - size));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            failure = errno;
            return std::nullopt;
        }
        size += done;
        if (done == 0 || (told > 0 && size == told && size <= maxBytes)) {
            bytes.truncate(size);
            return bytes;
        }
    }
    failure = kCmFileTooLarge;
    return std::nullopt;
}

} // namespace

QString Cm_FileErrorText(int code) {
    switch (code) {
    case kCmNotRegularFile:
        return QStringLiteral("not a regular file");
    case kCmFileTooLarge:
        return QStringLiteral("too large for its format");
    case kCmSymbolicLink:
        return QStringLiteral("is a symbolic link; refusing to write through it");
    case kCmHardLink:
        return QStringLiteral("has other hard links; refusing to write through them");
    case kCmOtherOwner:
        return QStringLiteral("belongs to another user; refusing it");
    default:
        return QString::fromLocal8Bit(std::strerror(code));
    }
}

std::optional<QByteArray> Cm_ReadBoundedFile(const QString& path, qint64 maxBytes, int* error) {
    int ignored = 0;
    int& failure = error ? *error : ignored;
    failure = 0;
    const QByteArray name = encoded(path);
    struct stat before {};
    // Looked at before opening: opening some devices (a tape) acts on them.
    if (path.isEmpty() || ::stat(name.constData(), &before) < 0) {
        failure = path.isEmpty() ? ENOENT : errno;
        return std::nullopt;
    }
    if (!S_ISREG(before.st_mode)) {
        failure = kCmNotRegularFile;
        return std::nullopt;
    }
    // Non-blocking, in case a FIFO took the file's place since the look.
    const UniqueFd fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened {};
    if (fd.get() < 0 || ::fstat(fd.get(), &opened) < 0) {
        failure = errno;
        return std::nullopt;
    }
    if (!S_ISREG(opened.st_mode)) {
        failure = kCmNotRegularFile;
        return std::nullopt;
    }
    return readOpened(fd.get(), opened, maxBytes, &failure);
}

std::optional<QByteArray> Cm_ReadOwnFile(const QString& path, qint64 maxBytes, int* error) {
    int ignored = 0;
    int& failure = error ? *error : ignored;
    failure = 0;
    const QByteArray name = encoded(path);
    struct stat before {};
    if (path.isEmpty() || ::lstat(name.constData(), &before) < 0) {
        failure = path.isEmpty() ? ENOENT : errno;
        return std::nullopt;
    }
    if (S_ISLNK(before.st_mode)) {
        failure = kCmSymbolicLink;
        return std::nullopt;
    }
    if (!S_ISREG(before.st_mode)) {
        failure = kCmNotRegularFile;
        return std::nullopt;
    }
    // Root's files are trusted by everyone; anyone else's were put there.
    if (before.st_uid != ::geteuid() && before.st_uid != 0) {
        failure = kCmOtherOwner;
        return std::nullopt;
    }
    const UniqueFd fd(
        ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW));
    struct stat opened {};
    if (fd.get() < 0 || ::fstat(fd.get(), &opened) < 0) {
        failure = errno == ELOOP ? kCmSymbolicLink : errno;
        return std::nullopt;
    }
    // Something else swapped in between the look and the open.
    if (opened.st_ino != before.st_ino || opened.st_dev != before.st_dev) {
        failure = kCmNotRegularFile;
        return std::nullopt;
    }
    return readOpened(fd.get(), opened, maxBytes, &failure);
}

void Cm_RemoveStaleTemporaries(const QString& folder) {
    const UniqueFd dir(::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        removeStaleTemporaries(dir.get(), QByteArray());
}

QString Cm_ReplaceFileTempPrefix(const QString& fileName) {
    return QLatin1Char('.') + fileName + QStringLiteral(".tmp.");
}

int Cm_ReplaceFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    const QString fileName = info.fileName();
    if (fileName.isEmpty())
        return kCmNotRegularFile;
    const UniqueFd dir(
        ::open(encoded(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return errno;

    const QByteArray name = encoded(fileName);
    struct stat existing {};
    bool exists = true;
    if (::fstatat(dir.get(), name.constData(), &existing, AT_SYMLINK_NOFOLLOW) < 0) {
        if (errno != ENOENT)
            return errno;
        exists = false;
    }
    if (exists && S_ISLNK(existing.st_mode))
        return kCmSymbolicLink;
    if (exists)
        if (const int failure = ownershipFailure(existing))
            return failure;

    const QByteArray prefix = encoded(Cm_ReplaceFileTempPrefix(fileName));
    removeStaleTemporaries(dir.get(), prefix);
    const QByteArray temporary = prefix + QByteArray::number(::getpid());
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    // Our own leftover from an earlier failed call of this process.
    ::unlinkat(dir.get(), temporary.constData(), 0);
    UniqueFd file(::openat(dir.get(), temporary.constData(), flags, 0666));
    if (file.get() < 0)
        return errno;

    int failure = 0;
    // The file was created 0666 less the umask; our own file's bits stand
    // instead, but never the set-id bits: a data file has no use for them.
    if (exists && ::fchmod(file.get(), existing.st_mode & 0777) < 0)
        failure = errno;
    if (!failure && !writeAll(file.get(), bytes.constData(), bytes.size()))
        failure = errno;
    if (!failure && ::fsync(file.get()) < 0)
        failure = errno;
    if (file.reset() < 0 && !failure)
        failure = errno;
    if (!failure && ::renameat(dir.get(), temporary.constData(), dir.get(), name.constData()) < 0)
        failure = errno;
    if (failure) {
        ::unlinkat(dir.get(), temporary.constData(), 0);
        return failure;
    }
    // Some file systems cannot flush a folder and say so with EINVAL; the
    // rename itself has happened.
    if (::fsync(dir.get()) < 0 && errno != EINVAL)
        return errno;
    return 0;
}

int Cm_OpenRegularFileForWriting(const QByteArray& fileName, bool append, int* failure) {
    // Looked at first: in a sticky folder the kernel answers an open of
    // another user's link with EACCES, which would hide the reason.
    struct stat link {};
    if (::lstat(fileName.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        *failure = kCmSymbolicLink;
        return -1;
    }
    UniqueFd fd(::open(fileName.constData(),
                       O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                           (append ? O_APPEND : 0),
                       0666));
    if (fd.get() < 0) {
        *failure = errno == ELOOP ? kCmSymbolicLink : errno;
        return -1;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) < 0)
        *failure = errno;
    else if (const int refused = ownershipFailure(info))
        *failure = refused;
    else if (!append && ::ftruncate(fd.get(), 0) < 0)
        *failure = errno;
    else
        return fd.release();
    return -1;
}
