#pragma once

#include "../VornWmiExport.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace vorn::wmi {

struct VolumeSpace {
    qint64 size = 0;
    qint64 free = 0; // what an unprivileged user may still write
};

// Where the Linux providers read the system from. The live values name the
// running system; tests point them at a tree in a temporary folder and give
// their own clock and file-system figures.
struct VORNWMI_API SystemRoots {
    QString sys = QStringLiteral("/sys");
    QString proc = QStringLiteral("/proc");
    QString dev = QStringLiteral("/dev");
    QString etc = QStringLiteral("/etc");
    QString mountTable = QStringLiteral("/proc/self/mounts");
    // A variable of the session's environment, or an empty text; asked
    // for by name, so that a run copies none of the others.
    std::function<QString(const char* name)> environment;
    std::function<QDateTime()> now;                                        // local time
    std::function<std::optional<VolumeSpace>(const QString&)> volumeSpace; // by mount point

    static SystemRoots live();
    // <root>/sys, <root>/proc, <root>/dev, <root>/etc and <root>/proc/self/mounts,
    // with the live clock and file-system figures until the caller replaces them.
    static SystemRoots under(const QString& root);
};

} // namespace vorn::wmi
