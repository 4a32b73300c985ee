#include "SystemFacts.h"

#include "SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSysInfo>

#include <dlfcn.h>
#include <link.h>
#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace vorn::sysinfo {

namespace {

QByteArray unquote(QByteArray value) {
    if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'')
        return value.mid(1, value.size() - 2);
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return value;
    QByteArray plain;
    for (qsizetype i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && i + 2 < value.size())
            ++i;
        plain += value[i];
    }
    return plain;
}

QByteArray readSmallFile(const QString& path) {
    return Cm_ReadBoundedFile(path, 64 * 1024).value_or(QByteArray());
}

} // namespace

QString osReleaseValue(const QByteArray& text, const QByteArray& key) {
    for (const QByteArray& rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && line.left(equals) == key)
            return QString::fromUtf8(unquote(line.mid(equals + 1)));
    }
    return QString();
}

QString describeLinux(const QByteArray& osRelease, const QString& kernelType,
                      const QString& kernelVersion) {
    QString distribution = osReleaseValue(osRelease, "PRETTY_NAME");
    if (distribution.isEmpty())
        distribution = (osReleaseValue(osRelease, "NAME") + QLatin1Char(' ') +
                        osReleaseValue(osRelease, "VERSION"))
                           .trimmed();
    const QString kernel = (kernelType + QLatin1Char(' ') + kernelVersion).trimmed();
    if (distribution.isEmpty())
        return kernel;
    return kernel.isEmpty() ? distribution : distribution + QStringLiteral(", ") + kernel;
}

QString runningLinuxDescription() {
    QByteArray osRelease = readSmallFile(QStringLiteral("/etc/os-release"));
    if (osRelease.isEmpty())
        osRelease = readSmallFile(QStringLiteral("/usr/lib/os-release"));
    QString type = QSysInfo::kernelType();
    if (type == QLatin1String("linux"))
        type = QStringLiteral("Linux");
    return describeLinux(osRelease, type, QSysInfo::kernelVersion());
}

QString currentUserName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && *found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    // A user without a password-database entry (some containers) still has
    // the name the login environment gives.
    for (const char* variable : {"USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    return QString();
}

QString moduleFilePath(void* module) {
    if (module) {
        link_map* map = nullptr;
        if (dlinfo(module, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name)
            return QFileInfo(QString::fromLocal8Bit(map->l_name)).absoluteFilePath();
    }
    // The program itself has no name in the link map.
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

const VornVersionRecord* moduleVersionRecord(void* module) {
    void* symbol = dlsym(module ? module : RTLD_DEFAULT, VORN_VERSION_RECORD_SYMBOL);
    const auto* record = static_cast<const VornVersionRecord*>(symbol);
    return record && record->layout == VORN_VERSION_RECORD_LAYOUT ? record : nullptr;
}

} // namespace vorn::sysinfo
