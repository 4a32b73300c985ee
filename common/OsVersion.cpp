#include "OsVersion.h"

#include "LastError.h"

#include <cerrno>
#include <cstring>
#include <mutex>

namespace vorn::os {

namespace {

struct Installed {
    std::mutex mutex;
    std::optional<OsVersion> version;
};

Installed& installed() {
    static Installed value;
    return value;
}

} // namespace

void InstallReportedVersion(std::optional<OsVersion> version) {
    Installed& i = installed();
    std::lock_guard<std::mutex> lock(i.mutex);
    i.version = std::move(version);
}

std::optional<OsVersion> ReportedVersion() {
    Installed& i = installed();
    std::lock_guard<std::mutex> lock(i.mutex);
    return i.version;
}

} // namespace vorn::os

namespace win {

BOOL GetVersionExW(OSVERSIONINFOW* info) {
    if (!info) {
        SetLastError(EINVAL);
        return FALSE;
    }
    const DWORD size = info->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOW) && size != sizeof(OSVERSIONINFOEXW)) {
        SetLastError(EINVAL);
        return FALSE;
    }
    const vorn::os::OsVersion version = vorn::os::ReportedVersion().value_or(vorn::os::OsVersion{});
    std::memset(reinterpret_cast<BYTE*>(info) + sizeof(DWORD), 0, size - sizeof(DWORD));
    info->dwMajorVersion = version.majorVersion;
    info->dwMinorVersion = version.minorVersion;
    info->dwBuildNumber = version.buildNumber;
    info->dwPlatformId = version.platform;
    const QString csd = version.csdVersion.left(127);
    std::memcpy(info->szCSDVersion, csd.utf16(), sizeof(char16_t) * csd.size());
    if (size == sizeof(OSVERSIONINFOEXW))
        reinterpret_cast<OSVERSIONINFOEXW*>(info)->wProductType = version.productType;
    return TRUE;
}

} // namespace win
