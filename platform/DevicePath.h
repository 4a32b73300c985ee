#pragma once

#include "VornPlatformExport.h"

#include <QString>

#include <optional>

// The device names the disk library opens, as a value. win::CreateFileW
// reads the text once and the backends take the value, so no backend has
// its own reading of the Windows names; every text of such a name comes from
// DevicePathText(), so the run log, the trace and the drivewatch report
// spell a disk the same way.
namespace vorn::platform {

struct DevicePath {
    enum Kind { PhysicalDrive, ScsiAdapter, SmartDriver } kind = PhysicalDrive;
    int number = 0; // N of "\\.\PhysicalDrive%d" or "\\.\Scsi%d:"

    friend bool operator==(const DevicePath& a, const DevicePath& b) {
        return a.kind == b.kind && a.number == b.number;
    }
    friend bool operator!=(const DevicePath& a, const DevicePath& b) { return !(a == b); }
};

// Parses "\\.\PhysicalDriveN", "\\.\ScsiN:" and "\\.\SMARTVSD" (names are
// matched without regard to case, as Windows does; N is one to nine digits).
VORNPLATFORM_API std::optional<DevicePath> parseDevicePath(const QString& path);

// "\\.\PhysicalDriveN", "\\.\ScsiN:" or "\\.\SMARTVSD": the spelling the
// disk library has always opened, which parseDevicePath() reads back.
VORNPLATFORM_API QString DevicePathText(const DevicePath& path);

} // namespace vorn::platform
