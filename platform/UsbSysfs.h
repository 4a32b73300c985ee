#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"

#include <QString>

#include <array>
#include <optional>

namespace vorn::platform {

// The USB device above the disk with that kernel name ("sdc"), read from
// sysfs: the first folder up the disk's device path whose interface is bound
// to usb-storage or uas, and the device that interface belongs to. Empty for
// a disk on any other bus. Sends nothing to the disk or the bridge.
VORNPLATFORM_API std::optional<UsbDiskFacts> usbFactsOf(const QString& sysRoot,
                                                        const QString& kernelName);

// The unit serial number of a SCSI VPD page 80h as INQUIRY returns it (and
// sysfs keeps it in vpd_pg80): the text after the 4-byte header, without its
// padding. Empty when the page is short, of another code, or holds no
// printable text.
VORNPLATFORM_API QString parseUnitSerialPage(const QByteArray& page);

// INQUIRY with EVPD for page 80h, asking for at most 252 bytes.
VORNPLATFORM_API std::array<BYTE, 6> unitSerialInquiryCdb();

// The page the kernel already read, from sysfs; empty where it read none
// (usb-storage skips the VPD pages of most bridges).
VORNPLATFORM_API QByteArray sysfsUnitSerialPage(const QString& sysRoot, const QString& kernelName);

} // namespace vorn::platform
