#pragma once

#include "UniqueFd.h"
#include "VornComExport.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vorn {

// An exclusive lock that guards the read-modify-write of one file between
// processes: a lock file ".<name>.lock" beside it, of this user and mode
// 0600, so that no other user can open it to hold the lock against us. The
// lock file goes when the lock is released; a process that waited for it
// then finds the name gone or renewed and locks again, so two processes
// never both hold the lock of one file.
class VORNCOM_API FileLock {
public:
    // The lock of path, waiting for another holder when wait is true; null
    // with *failure set to a failure code of SafeFile.h (EWOULDBLOCK when
    // someone else holds it and wait is false). A link, a non-file or
    // another user's file at the lock's name is refused.
    static std::optional<FileLock> acquire(const QString& path, bool wait, int* failure);

    FileLock(FileLock&& other) noexcept = default;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock();

    // ".<name>.lock" in path's folder.
    static QString lockPathOf(const QString& path);

private:
    FileLock(UniqueFd folder, UniqueFd lock, QByteArray name)
        : m_folder(std::move(folder)), m_lock(std::move(lock)), m_name(std::move(name)) {}
    void release() noexcept;

    UniqueFd m_folder;
    UniqueFd m_lock;
    QByteArray m_name;
};

} // namespace vorn
