#pragma once

#include "OsVersion.h"
#include "VornComExport.h"
#include "WinTypes.h"

#include <QString>

// The operating system's version, read once at construction through the
// device layer, and its classification into a small "kind" that other code
// compares against thresholds:
//   1 Windows 95, 2 Windows 98, 3 Windows Me, 4 Windows NT 3.x,
//   5 Windows NT 4.0, 6 Windows 2000, 7 Windows XP, 8 Windows Server 2003,
//   9 Windows Vista (6.x workstation), 10 Windows Server 2008 (6.x server),
//   0 anything else, including every later version and Linux itself.
class VORNCOM_API COsInfo {
public:
    COsInfo();
    virtual ~COsInfo();

    int GetKind() const;
    DWORD GetPlatform() const { return m_OsVersion.dwPlatformId; }
    DWORD GetMajorVer() const { return m_OsVersion.dwMajorVersion; }
    DWORD GetMinorVer() const { return m_OsVersion.dwMinorVersion; }
    // Only the low 16 bits on the Windows 9x family, where the high ones
    // repeat the version.
    DWORD GetBuildNum() const;
    QString GetCSDVer() const;

    // The system's display name: the distribution and kernel on Linux, a
    // Windows name when a simulated machine reports a Windows version.
    QString GetName() const;

    static int KindOf(DWORD platform, DWORD major, DWORD minor, BYTE productType);
    // "Windows XP Home Edition Service Pack 2 (Build 2600)" and the like.
    static QString WindowsName(const win::OSVERSIONINFOEXW& version, DWORD productInfo);

protected:
    win::OSVERSIONINFOEXW m_OsVersion{};
    // The edition number of the Windows 6.x product information; nothing on
    // Linux reports one, so it stays 0 ("function not present").
    DWORD m_dwProductType = 0;
};
