#pragma once

#include "../VornWmiExport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vorn::wmi {

struct MountEntry {
    QString source;     // "/dev/sda1", "server:/export", "tmpfs"
    QString mountPoint; // with the table's octal escapes undone
    QString type;
    QStringList options;
};

// Lines of /proc/self/mounts (or /etc/mtab) in table order. The kernel writes
// blanks, tabs, line feeds and backslashes inside fields as \040, \011, \012
// and \134; those are turned back into the characters. Malformed lines are
// skipped.
VORNWMI_API QList<MountEntry> parseMountTable(const QByteArray& text);

// Undoes the three-digit octal escapes of a mount table field.
VORNWMI_API QString unescapeMountField(const QByteArray& field);

} // namespace vorn::wmi
