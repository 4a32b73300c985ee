#include "DiskEnumeration.h"

#include <QDir>

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

QStringList physicalDiskNames(const QString& sysRoot) {
    const QDir blockDir(sysRoot + QStringLiteral("/block"));
    QStringList names;
    for (const QString& name :
         blockDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
        if (isPhysicalDiskName(name))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), physicalDiskNameLess);
    return names;
}

} // namespace vorn::platform
