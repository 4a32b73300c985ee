#include "OsInfo.h"

#include "OsVersion.h"
#include "SystemFacts.h"

#include <iterator>

namespace {

constexpr DWORD kPlatform9x = 1;
constexpr DWORD kPlatformNt = 2;
constexpr BYTE kWorkstation = 1; // VER_NT_WORKSTATION

constexpr WORD kSuiteEnterprise = 0x0002;
constexpr WORD kSuiteDatacenter = 0x0080;
constexpr WORD kSuitePersonal = 0x0200;
constexpr WORD kSuiteBlade = 0x0400;

// The service-pack text, which need not be terminated within its field.
QString csdText(const win::OSVERSIONINFOEXW& version) {
    const char16_t* text = version.szCSDVersion;
    std::size_t length = 0;
    while (length < std::size(version.szCSDVersion) && text[length] != 0)
        ++length;
    return QString::fromUtf16(text, static_cast<qsizetype>(length));
}

bool hasSuite(const win::OSVERSIONINFOEXW& version, WORD suite) {
    return (version.wSuiteMask & suite) != 0;
}

// Edition words of the 6.x and later product information numbers.
QString editionOf(DWORD productInfo) {
    switch (productInfo) {
    case 0x01:
        return QStringLiteral("Ultimate");
    case 0x02:
        return QStringLiteral("Home Basic");
    case 0x03:
        return QStringLiteral("Home Premium");
    case 0x04:
        return QStringLiteral("Enterprise");
    case 0x06:
        return QStringLiteral("Business");
    case 0x07:
        return QStringLiteral("Standard");
    case 0x08:
        return QStringLiteral("Datacenter");
    case 0x0A:
        return QStringLiteral("Enterprise");
    case 0x0B:
        return QStringLiteral("Starter");
    case 0x11:
        return QStringLiteral("Web Server");
    case 0x30:
        return QStringLiteral("Professional");
    case 0x65:
        return QStringLiteral("Home");
    default:
        return QString();
    }
}

QString nt5Name(const win::OSVERSIONINFOEXW& version) {
    const bool workstation = version.wProductType == kWorkstation;
    switch (version.dwMinorVersion) {
    case 0:
        if (workstation)
            return QStringLiteral("2000 Professional");
        if (hasSuite(version, kSuiteDatacenter))
            return QStringLiteral("2000 Datacenter Server");
        return hasSuite(version, kSuiteEnterprise) ? QStringLiteral("2000 Advanced Server")
                                                   : QStringLiteral("2000 Server");
    case 1:
        return hasSuite(version, kSuitePersonal) ? QStringLiteral("XP Home Edition")
                                                 : QStringLiteral("XP Professional");
    default:
        if (workstation)
            return QStringLiteral("XP Professional x64 Edition");
        if (hasSuite(version, kSuiteDatacenter))
            return QStringLiteral("Server 2003 Datacenter Edition");
        if (hasSuite(version, kSuiteEnterprise))
            return QStringLiteral("Server 2003 Enterprise Edition");
        return hasSuite(version, kSuiteBlade) ? QStringLiteral("Server 2003 Web Server Edition")
                                              : QStringLiteral("Server 2003 Standard Edition");
    }
}

QString laterName(const win::OSVERSIONINFOEXW& version, DWORD productInfo) {
    const bool workstation = version.wProductType == kWorkstation;
    const DWORD build = version.dwBuildNumber;
    QString name;
    if (version.dwMajorVersion == 6) {
        static const char* const clients[] = {"Vista", "7", "8", "8.1"};
        static const char* const servers[] = {"Server 2008", "Server 2008 R2", "Server 2012",
                                              "Server 2012 R2"};
        if (version.dwMinorVersion < 4)
            name = QLatin1String((workstation ? clients : servers)[version.dwMinorVersion]);
    } else if (version.dwMajorVersion == 10 && version.dwMinorVersion == 0) {
        if (workstation)
            name = QLatin1String(build >= 22000 ? "11" : "10");
        else
            name = QLatin1String(build >= 20348   ? "Server 2022"
                                 : build >= 17763 ? "Server 2019"
                                                  : "Server 2016");
    }
    if (name.isEmpty())
        name = QStringLiteral("NT %1.%2").arg(version.dwMajorVersion).arg(version.dwMinorVersion);
    const QString edition = editionOf(productInfo);
    return edition.isEmpty() ? name : name + QLatin1Char(' ') + edition;
}

} // namespace

COsInfo::COsInfo() {
    m_OsVersion.dwOSVersionInfoSize = sizeof(win::OSVERSIONINFOEXW);
    if (!win::GetVersionExW(reinterpret_cast<win::OSVERSIONINFOW*>(&m_OsVersion))) {
        m_OsVersion = win::OSVERSIONINFOEXW{};
        m_OsVersion.dwOSVersionInfoSize = sizeof(win::OSVERSIONINFOEXW);
    }
}

COsInfo::~COsInfo() = default;

int COsInfo::KindOf(DWORD platform, DWORD major, DWORD minor, BYTE productType) {
    if (platform == kPlatform9x) {
        if (minor < 10)
            return 1;
        return minor < 90 ? 2 : 3;
    }
    if (platform != kPlatformNt)
        return 0;
    if (major < 4)
        return 4;
    switch (major) {
    case 4:
        return 5;
    case 5:
        return minor == 0 ? 6 : minor == 1 ? 7 : 8;
    case 6:
        return productType == kWorkstation ? 9 : 10;
    default:
        return 0;
    }
}

int COsInfo::GetKind() const {
    return KindOf(m_OsVersion.dwPlatformId, m_OsVersion.dwMajorVersion, m_OsVersion.dwMinorVersion,
                  m_OsVersion.wProductType);
}

DWORD COsInfo::GetBuildNum() const {
    const DWORD build = m_OsVersion.dwBuildNumber;
    return m_OsVersion.dwPlatformId == kPlatform9x ? (build & 0xFFFF) : build;
}

QString COsInfo::GetCSDVer() const {
    return csdText(m_OsVersion);
}

QString COsInfo::GetName() const {
    if (!vorn::os::ReportedVersion())
        return vorn::sysinfo::runningLinuxDescription();
    return WindowsName(m_OsVersion, m_dwProductType);
}

QString COsInfo::WindowsName(const win::OSVERSIONINFOEXW& version, DWORD productInfo) {
    QString name;
    if (version.dwPlatformId == kPlatform9x) {
        name = QLatin1String(version.dwMinorVersion < 10   ? "95"
                             : version.dwMinorVersion < 90 ? "98"
                                                           : "Me");
    } else if (version.dwPlatformId != kPlatformNt) {
        name = QStringLiteral("%1.%2").arg(version.dwMajorVersion).arg(version.dwMinorVersion);
    } else if (version.dwMajorVersion < 4) {
        name = QStringLiteral("NT %1.%2").arg(version.dwMajorVersion).arg(version.dwMinorVersion);
    } else if (version.dwMajorVersion == 4) {
        name = version.wProductType == kWorkstation ? QStringLiteral("NT 4.0 Workstation")
                                                    : QStringLiteral("NT 4.0 Server");
    } else if (version.dwMajorVersion == 5) {
        name = nt5Name(version);
    } else {
        name = laterName(version, productInfo);
    }

    QString text = QStringLiteral("Windows ") + name;
    const QString csd = csdText(version).trimmed();
    if (!csd.isEmpty())
        text += QLatin1Char(' ') + csd;
    const DWORD build = version.dwPlatformId == kPlatform9x ? (version.dwBuildNumber & 0xFFFF)
                                                            : version.dwBuildNumber;
    if (build != 0)
        text += QStringLiteral(" (Build %1)").arg(build);
    return text;
}
