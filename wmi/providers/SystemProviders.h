#pragma once

#include "../VornWmiExport.h"
#include "../WmiObject.h"
#include "SystemRoots.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <vector>

// The machine-wide classes as Linux shows them: os-release, the kernel's
// procfs figures, cpuinfo and the firmware tables in sysfs.
namespace vorn::wmi {

// KEY=value lines of os-release; quotes and backslash escapes undone.
VORNWMI_API QMap<QString, QString> parseOsRelease(const QByteArray& text);
// "MemTotal:  16384 kB" lines: the numbers in kB by name.
VORNWMI_API QMap<QString, qint64> parseMeminfo(const QByteArray& text);
// The "name : value" blocks of cpuinfo, one per logical processor.
VORNWMI_API QList<QMap<QString, QString>> parseCpuinfo(const QByteArray& text);
// The strings of a raw OEM-strings firmware table entry (type 11).
VORNWMI_API QStringList parseOemStrings(const QByteArray& raw);

VORNWMI_API std::vector<WmiObject> linuxOperatingSystems(const SystemRoots& roots);
VORNWMI_API std::vector<WmiObject> linuxComputerSystems(const SystemRoots& roots);
VORNWMI_API std::vector<WmiObject> linuxProcessors(const SystemRoots& roots);

} // namespace vorn::wmi
