#pragma once

#include "DeviceBackend.h"
#include "RequestLayouts.h"
#include "VornPlatformExport.h"
#include "WinTypes.h"

// Serves one DeviceIoControl request on an open device: decodes the Windows
// request buffer (the layouts of RequestLayouts.h), runs the ATA command on the device and fills
// the reply at the offsets the callers read. Input and output may be the same buffer.
namespace vorn::platform {

// Returns 0, or the errno value of the failure: EINVAL for a malformed or
// unknown request or a reply buffer that is too short, EIO when the device
// answered with ERR (the reply then carries the error register), or the
// device's own transport error.
VORNPLATFORM_API int serveDeviceRequest(OpenDevice& device, DWORD controlCode, const void* input,
                                        DWORD inputSize, void* output, DWORD outputSize,
                                        DWORD* bytesReturned);

} // namespace vorn::platform
