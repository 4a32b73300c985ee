#include "DiskEnumeration.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace vorn::platform {

bool isPhysicalDiskName(const QString& kernelName) {
    static const char* const excluded[] = {"loop", "ram", "zram", "md", "dm-", "sr", "fd"};
    if (kernelName.isEmpty() || kernelName.startsWith(QLatin1Char('.')))
        return false;
    return std::none_of(std::begin(excluded), std::end(excluded), [&](const char* prefix) {
        return kernelName.startsWith(QLatin1String(prefix));
    });
}

bool physicalDiskNameLess(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

// Read with readdir: the list is taken at every disk query and every open,
// and QDir's file-information objects and sorting cost more than the
// kernel's answer. Entries are folders or links to them (sysfs), devices,
// or dangling links; plain files and links to files are not disks.
QStringList physicalDiskNames(const QString& sysRoot) {
    const QByteArray blockDir = QFile::encodeName(sysRoot + QStringLiteral("/block"));
    DIR* dir = ::opendir(blockDir.constData());
    if (!dir)
        return {};
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (!isPhysicalDiskName(name) || entry->d_type == DT_REG)
            continue;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat target {};
            if (::fstatat(::dirfd(dir), entry->d_name, &target, 0) == 0 && S_ISREG(target.st_mode))
                continue;
        }
        names.append(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), physicalDiskNameLess);
    return names;
}

} // namespace vorn::platform
