#include "Version.h"

#include "SystemFacts.h"
#include "TextConvert.h"
#include "VersionRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>

#include <vector>

namespace {

constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
constexpr DWORD kFixedInfoStrucVersion = 0x00010000;
constexpr DWORD kFileFlagsMask = 0x3F;
constexpr DWORD kFileTypeApplication = 1;

DWORD highPart(const unsigned short parts[4]) {
    return (DWORD{parts[0]} << 16) | parts[1];
}

DWORD lowPart(const unsigned short parts[4]) {
    return (DWORD{parts[2]} << 16) | parts[3];
}

QString recordText(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}

QString withTrailingSeparator(const QString& path) {
    std::vector<char16_t> buffer(static_cast<std::size_t>(path.size()) + 2, 0);
    std::copy(path.utf16(), path.utf16() + path.size(), buffer.begin());
    Cm_PathAddBackslash(buffer.data());
    return QString::fromUtf16(buffer.data());
}

QString localDateTime(const QDateTime& time) {
    if (!time.isValid())
        return QString();
    return QLocale::system().toString(time.toLocalTime(), QLocale::ShortFormat);
}

} // namespace

CVersion::CVersion() = default;

CVersion::~CVersion() = default;

int CVersion::InitInstance() {
    ReadResourceInformation(nullptr);
    ReadFileTime();
    return 1;
}

int CVersion::ReadResourceInformation(void* module) {
    m_strFilePath = vorn::sysinfo::moduleFilePath(module);
    if (m_strFilePath.isEmpty())
        return 0;
    const VornVersionRecord* record = vorn::sysinfo::moduleVersionRecord(module);
    if (!record)
        return 0;

    m_FixedFileInfo = CmFixedFileInfo{};
    m_FixedFileInfo.dwSignature = kFixedInfoSignature;
    m_FixedFileInfo.dwStrucVersion = kFixedInfoStrucVersion;
    m_FixedFileInfo.dwFileVersionMS = highPart(record->fileVersionParts);
    m_FixedFileInfo.dwFileVersionLS = lowPart(record->fileVersionParts);
    m_FixedFileInfo.dwProductVersionMS = highPart(record->productVersionParts);
    m_FixedFileInfo.dwProductVersionLS = lowPart(record->productVersionParts);
    m_FixedFileInfo.dwFileFlagsMask = kFileFlagsMask;
    m_FixedFileInfo.dwFileType = kFileTypeApplication;
    m_wLanguage = record->language;
    m_wCodePage = record->codePage;

    m_strCompany = recordText(record->companyName);
    m_strCopyright = recordText(record->legalCopyright);
    m_strProductName = recordText(record->productName);
    m_strProductVersion = recordText(record->productVersion);
    m_strOriginalFilename = recordText(record->originalFileName);
    m_strDescription = recordText(record->fileDescription);
    m_strFileVersion = recordText(record->fileVersion);
    m_strInternalName = recordText(record->internalName);

    const unsigned short* parts = record->fileVersionParts;
    m_strMajorVersion = QString::number(parts[0]);
    m_strMinorVersion = QString::number(parts[1]);
    m_strDllVersion =
        QStringLiteral("%1.%2.%3.%4").arg(parts[0]).arg(parts[1]).arg(parts[2]).arg(parts[3]);
    return 1;
}

int CVersion::GetMachineEnv() {
    const QString currentDir = Cm_CurrentDirectory();
    if (currentDir.isEmpty())
        return 0;
    m_strCurrentDir = withTrailingSeparator(currentDir);

    const QString tempDir = QDir::tempPath();
    if (tempDir.isEmpty())
        return 0;
    m_strTempDir = withTrailingSeparator(tempDir);

    const QString user = vorn::sysinfo::currentUserName();
    if (user.isEmpty())
        return 0;
    m_strUserName = user;

    const QString host = QSysInfo::machineHostName();
    if (host.isEmpty())
        return 0;
    m_strComputerName = host;
    return 1;
}

void CVersion::GetOsInfo() {
    m_strRegisteredOwner.clear();
    m_strRegisteredOrganization.clear();
    m_strProductId.clear();
}

int CVersion::ReadFileTime() {
    QFile file(m_strFilePath);
    if (m_strFilePath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return 0;
    // QFileInfo reads the times with statx, birth time included where the
    // file system keeps one.
    const QFileInfo info(m_strFilePath);
    m_CreationTime = info.birthTime();
    m_LastAccessTime = info.lastRead();
    m_LastWriteTime = info.lastModified();
    return 1;
}

QString CVersion::GetAppBuildDate() const {
    return localDateTime(m_CreationTime);
}

QString CVersion::GetAppLastAccessDate() const {
    return localDateTime(m_LastAccessTime);
}

QString CVersion::GetAppWriteDate() const {
    return localDateTime(m_LastWriteTime);
}

QString CVersion::GetExeName() const {
    return QFileInfo(m_strFilePath).completeBaseName();
}
