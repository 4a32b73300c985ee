#pragma once

#include "VornComExport.h"
#include "WinTypes.h"

#include <QString>

#include <optional>

// The Windows version the process reports. On Linux there is none of its
// own: the suite reads as a current NT system would, unless a simulated
// machine was installed with a version of its own (an old Windows whose
// rules the disk library and the OS information still follow).
namespace vorn::os {

struct OsVersion {
    DWORD platform = 2;
    DWORD majorVersion = 10;
    DWORD minorVersion = 0;
    DWORD buildNumber = 0;
    BYTE productType = 1;
    QString csdVersion;
};

// Set by whoever installs a simulated machine; nullopt goes back to the
// real machine's defaults.
VORNCOM_API void InstallReportedVersion(std::optional<OsVersion> version);

// The simulated machine's version, or nullopt on the real machine.
VORNCOM_API std::optional<OsVersion> ReportedVersion();

} // namespace vorn::os

namespace win {

#pragma pack(push, 1)
struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char16_t szCSDVersion[128];
};
struct OSVERSIONINFOEXW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char16_t szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};
#pragma pack(pop)
static_assert(sizeof(OSVERSIONINFOW) == 276);
static_assert(sizeof(OSVERSIONINFOEXW) == 284);

// Fills the record from vorn::os::ReportedVersion(); a size field of 284
// also fills the extended part. Any other size fails with EINVAL.
VORNCOM_API BOOL GetVersionExW(OSVERSIONINFOW* info);

} // namespace win
