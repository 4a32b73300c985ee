#pragma once

#include "VornComExport.h"
#include "WinTypes.h"

// The calling thread's last system error, as the device and query layers
// leave it: an errno value, 0 meaning success.
namespace win {
VORNCOM_API DWORD GetLastError();
VORNCOM_API void SetLastError(DWORD code);
} // namespace win
