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

namespace {

// Moves at past a run of ASCII digits; false when there is none.
bool skipDigits(const QString& text, qsizetype& at) {
    const qsizetype start = at;
    while (at < text.size() && text.at(at) >= QLatin1Char('0') && text.at(at) <= QLatin1Char('9'))
        ++at;
    return at > start;
}

} // namespace

std::optional<NvmeNamespaceName> parseNvmeNamespaceName(const QString& kernelName) {
    if (!kernelName.startsWith(QLatin1String("nvme")))
        return std::nullopt;
    qsizetype at = 4;
    if (!skipDigits(kernelName, at))
        return std::nullopt;
    NvmeNamespaceName name;
    name.controller = kernelName.left(at);
    if (at < kernelName.size() && kernelName.at(at) == QLatin1Char('c')) {
        ++at;
        if (!skipDigits(kernelName, at))
            return std::nullopt;
        name.throughPath = true;
    }
    if (at >= kernelName.size() || kernelName.at(at) != QLatin1Char('n'))
        return std::nullopt;
    ++at;
    if (!skipDigits(kernelName, at) || at != kernelName.size())
        return std::nullopt;
    return name;
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
