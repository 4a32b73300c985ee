#pragma once

#include "VornComExport.h"
#include "WinTypes.h"

#include <QDateTime>
#include <QString>

// The fixed part of a version record, laid out as the Windows
// VS_FIXEDFILEINFO (13 double words).
struct CmFixedFileInfo {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(CmFixedFileInfo) == 52);

// What a program knows about itself and the machine it runs on: the version
// record compiled into the program (see VersionRecord.h), the times of its
// file, and a few machine facts. Programs own their Qt application object;
// an application class may derive from this one and call InitInstance at
// start-up.
class VORNCOM_API CVersion {
public:
    CVersion();
    virtual ~CVersion();

    // ReadResourceInformation(null), then ReadFileTime; returns 1.
    virtual int InitInstance();

    // Reads the version record of module, a handle from dlopen; null stands
    // for the running program. The file path is set even when the module
    // carries no record, in which case the result is 0 and the version
    // texts stay as they were.
    int ReadResourceInformation(void* module);

    // Current directory and temporary folder (each ending in "/"), user name
    // and host name; 0 at the first one that cannot be read, else 1.
    int GetMachineEnv();

    // Registered owner, organization and product id of the system. Linux
    // records none of them, so they are left empty there.
    void GetOsInfo();

    // Creation (where the file system records it), last access and last
    // write time of the file path; 0 when the file cannot be opened.
    int ReadFileTime();

    QString GetAppFilepath() const { return m_strFilePath; }
    QString GetAppCompany() const { return m_strCompany; }
    QString GetAppCopyright() const { return m_strCopyright; }
    QString GetAppDescription() const { return m_strDescription; }
    QString GetAppVersion() const { return m_strFileVersion; }
    QString GetAppInternalName() const { return m_strInternalName; }
    QString GetAppOriginalname() const { return m_strOriginalFilename; }
    QString GetAppProductName() const { return m_strProductName; }
    QString GetAppProductVersion() const { return m_strProductVersion; }
    QString GetAppDllVersion() const { return m_strDllVersion; }
    QString GetAppMajorVersion() const { return m_strMajorVersion; }
    QString GetAppMinorVersion() const { return m_strMinorVersion; }

    // The file times in local time, in the user's short date-time format;
    // empty when the time is unknown.
    QString GetAppBuildDate() const;
    QString GetAppLastAccessDate() const;
    QString GetAppWriteDate() const;

    // The program file's name without directory and extension, the name the
    // single-instance guard is keyed on.
    QString GetExeName() const;

    QString GetCurrentDir() const { return m_strCurrentDir; }
    QString GetTempDir() const { return m_strTempDir; }
    QString GetUserName() const { return m_strUserName; }
    QString GetComputerName() const { return m_strComputerName; }
    QString GetRegisteredOwner() const { return m_strRegisteredOwner; }
    QString GetRegisteredOrganization() const { return m_strRegisteredOrganization; }
    QString GetProductId() const { return m_strProductId; }

    const CmFixedFileInfo& GetFixedFileInfo() const { return m_FixedFileInfo; }
    WORD GetLanguage() const { return m_wLanguage; }
    WORD GetCodePage() const { return m_wCodePage; }

protected:
    QString m_strCurrentDir;
    QString m_strTempDir;
    QString m_strUserName;
    QString m_strComputerName;
    QString m_strRegisteredOwner;
    QString m_strRegisteredOrganization;
    QString m_strProductId;
    QString m_strFilePath;
    QString m_strCompany;
    QString m_strCopyright;
    QString m_strDescription;
    QString m_strFileVersion;
    QString m_strMajorVersion;
    QString m_strMinorVersion;
    QString m_strInternalName;
    QString m_strOriginalFilename;
    QString m_strProductName;
    QString m_strProductVersion;
    QString m_strDllVersion;
    CmFixedFileInfo m_FixedFileInfo{};
    WORD m_wLanguage = 0;
    WORD m_wCodePage = 0;
    QDateTime m_CreationTime;
    QDateTime m_LastAccessTime;
    QDateTime m_LastWriteTime;
};
