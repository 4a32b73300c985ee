#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"

#include <QString>

#include <optional>

namespace vorn::platform {

// The USB device above the disk with that kernel name ("sdc"), read from
// sysfs: the first folder up the disk's device path whose interface is bound
// to usb-storage or uas, and the device that interface belongs to. Empty for
// a disk on any other bus. Sends nothing to the disk or the bridge.
VORNPLATFORM_API std::optional<UsbDiskFacts> usbFactsOf(const QString& sysRoot,
                                                        const QString& kernelName);

} // namespace vorn::platform
