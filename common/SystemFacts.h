#pragma once

#include "VersionRecord.h"
#include "VornComExport.h"

#include <QByteArray>
#include <QString>

// Facts of the Linux system that the application and OS information report.
namespace vorn::sysinfo {

// The value of key in os-release text (KEY=value lines, values optionally in
// single or double quotes, backslash escapes inside double quotes); empty
// when the key is absent.
VORNCOM_API QString osReleaseValue(const QByteArray& text, const QByteArray& key);

// "<distribution>, <kernel type> <kernel release>" from os-release text and
// the kernel; the distribution part is left out when the text names none.
VORNCOM_API QString describeLinux(const QByteArray& osRelease, const QString& kernelType,
                                  const QString& kernelVersion);

// describeLinux for the running system.
VORNCOM_API QString runningLinuxDescription();

// The effective user's login name, empty when it cannot be found.
VORNCOM_API QString currentUserName();

// The file of the module behind a dlopen handle (null: the running program).
VORNCOM_API QString moduleFilePath(void* module);

// The version record exported by a module (null: the running program).
VORNCOM_API const VornVersionRecord* moduleVersionRecord(void* module);

} // namespace vorn::sysinfo
