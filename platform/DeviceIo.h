#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"
#include "WinTypes.h"

#include <optional>

// The device layer: what CreateFileW, DeviceIoControl and CloseHandle do
// for the disk library. The calls take the Windows path names, control codes
// and request buffers unchanged; CreateFileW reads the path into a
// DevicePath and the installed backend (DeviceBackendInstall.h: the real
// disks, the disk helper or a simulated machine) serves it. Every failure
// sets win::GetLastError() to an errno value.
namespace win {

VORNPLATFORM_API HANDLE CreateFileW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode,
                                    void* securityAttributes, DWORD creationDisposition,
                                    DWORD flagsAndAttributes, HANDLE templateFile);

VORNPLATFORM_API BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, void* inBuffer,
                                      DWORD inBufferSize, void* outBuffer, DWORD outBufferSize,
                                      DWORD* bytesReturned, void* overlapped);

VORNPLATFORM_API BOOL CloseHandle(HANDLE object);

} // namespace win

// The second protocol beside the Windows storage requests: NVMe admin
// commands on a handle that CreateFileW opened. Windows reaches NVMe through
// a storage query of its own; here the command goes to the device as it is.
namespace vorn::platform {

// Runs one admin command (checked against the NVMe allow-list at the
// device's door); data receives command.dataLength bytes. A failure sets
// win::GetLastError(): the transport's errno, or EIO when the controller
// completed the command with an error status.
VORNPLATFORM_API NvmeOutcome SendNvmeAdminCommand(HANDLE device, const NvmeAdminCommand& command,
                                                  BYTE* data);

// Set when the handle is open on an NVMe namespace; sends nothing.
VORNPLATFORM_API std::optional<NvmeDeviceFacts> NvmeFactsOf(HANDLE device);

// Set when the handle is open on a disk behind a USB bridge; sends nothing.
VORNPLATFORM_API std::optional<UsbDiskFacts> UsbFactsOf(HANDLE device);

// The unit serial number of VPD page 80h of the disk behind an open handle
// on a USB disk; empty where there is none (OpenDevice::unitSerialNumber).
VORNPLATFORM_API QString UnitSerialNumberOf(HANDLE device);

// The same for "\\.\PhysicalDriveN" before it is opened, from the
// installed backend; empty for a disk that is not behind a USB bridge.
VORNPLATFORM_API std::optional<UsbDiskFacts> UsbFactsOfDrive(int driveNumber);

// Whether the disk behind an open handle (for an adapter handle: its target
// driveNumber) is runtime-suspended by the kernel. False for a handle that
// is not open. Sends nothing to the device.
VORNPLATFORM_API bool IsRuntimeSuspended(HANDLE device, int driveNumber);

} // namespace vorn::platform
