#include "SystemRoots.h"

#include <sys/statvfs.h>

namespace vorn::wmi {

namespace {

std::optional<VolumeSpace> statVolume(const QString& mountPoint) {
    struct statvfs figures {};
    if (::statvfs(mountPoint.toLocal8Bit().constData(), &figures) != 0)
        return std::nullopt;
    VolumeSpace space;
    space.size = static_cast<qint64>(figures.f_blocks) * static_cast<qint64>(figures.f_frsize);
    space.free = static_cast<qint64>(figures.f_bavail) * static_cast<qint64>(figures.f_frsize);
    return space;
}

} // namespace

SystemRoots SystemRoots::live() {
    SystemRoots roots;
    roots.environment = [](const char* name) { return qEnvironmentVariable(name); };
    roots.now = [] { return QDateTime::currentDateTime(); };
    roots.volumeSpace = statVolume;
    return roots;
}

SystemRoots SystemRoots::under(const QString& root) {
    SystemRoots roots = live();
    roots.sys = root + QStringLiteral("/sys");
    roots.proc = root + QStringLiteral("/proc");
    roots.dev = root + QStringLiteral("/dev");
    roots.etc = root + QStringLiteral("/etc");
    roots.mountTable = root + QStringLiteral("/proc/self/mounts");
    roots.environment = [](const char*) { return QString(); };
    return roots;
}

} // namespace vorn::wmi
