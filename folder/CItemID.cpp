#include "CItemID.h"

#include "CItemData.h"
#include "ItemIdBytes.h"

#include <TextConvert.h>

#include <QAbstractFileIconProvider>
#include <QStandardPaths>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace itemid {

LPITEMIDLIST BuildList(CItemAllocator& allocator, const std::vector<QByteArray>& components) {
    std::size_t total = 2;
    for (const QByteArray& name : components)
        total += 2 + static_cast<std::size_t>(name.size());
    auto* list = static_cast<LPITEMIDLIST>(allocator.Alloc(total));
    if (!list)
        return nullptr;
    LPITEMIDLIST item = list;
    for (const QByteArray& name : components) {
        WriteCount(item, static_cast<WORD>(2 + name.size()));
        std::memcpy(item + 2, name.constData(), static_cast<std::size_t>(name.size()));
        item += 2 + name.size();
    }
    WriteCount(item, 0);
    return list;
}

} // namespace itemid

namespace {

// "." and ".." resolved by name, so the list names what was checked even
// where a symbolic link would have led the kernel elsewhere; ".." above the
// root stays at the root, as the kernel does.
std::vector<QByteArray> SplitPath(const QByteArray& path) {
    std::vector<QByteArray> components;
    for (const QByteArray& part : path.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!components.empty())
                components.pop_back();
            continue;
        }
        components.push_back(part);
    }
    return components;
}

QByteArray RelativeToRoot(const std::vector<QByteArray>& components) {
    if (components.empty())
        return QByteArrayLiteral(".");
    QByteArray relative;
    for (const QByteArray& name : components) {
        if (!relative.isEmpty())
            relative += '/';
        relative += name;
    }
    return relative;
}

QString SpecialFolderPath(int csidl) {
    const auto location = [](QStandardPaths::StandardLocation where) {
        return QStandardPaths::writableLocation(where);
    };
    switch (csidl) {
    case CSIDL_DESKTOP:
    case CSIDL_DRIVES:
        return QStringLiteral("/");
    case CSIDL_PERSONAL:
        return location(QStandardPaths::DocumentsLocation);
    case CSIDL_MYMUSIC:
        return location(QStandardPaths::MusicLocation);
    case CSIDL_MYVIDEO:
        return location(QStandardPaths::MoviesLocation);
    case CSIDL_DESKTOPDIRECTORY:
        return location(QStandardPaths::DesktopLocation);
    case CSIDL_FONTS:
        return location(QStandardPaths::FontsLocation);
    case CSIDL_APPDATA:
        return location(QStandardPaths::GenericConfigLocation);
    case CSIDL_LOCAL_APPDATA:
        return location(QStandardPaths::GenericDataLocation);
    case CSIDL_INTERNET_CACHE:
        return location(QStandardPaths::GenericCacheLocation);
    case CSIDL_MYPICTURES:
        return location(QStandardPaths::PicturesLocation);
    case CSIDL_PROFILE:
        return location(QStandardPaths::HomeLocation);
    default:
        return QString();
    }
}

} // namespace

CItemAllocator::~CItemAllocator() = default;

void* CItemAllocator::Alloc(std::size_t size) {
    return std::malloc(size);
}

void CItemAllocator::Free(void* block) {
    std::free(block);
}

HRESULT Folder_ResultFromErrno(int error) {
    switch (error) {
    case 0:
        return FOLDER_S_OK;
    case ENOENT:
        return FOLDER_E_FILE_NOT_FOUND;
    case ENOTDIR:
        return FOLDER_E_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
        return FOLDER_E_ACCESS_DENIED;
    case ENAMETOOLONG:
        return FOLDER_E_NAME_TOO_LONG;
    case ENOMEM:
        return FOLDER_E_OUTOFMEMORY;
    default:
        return FOLDER_E_FAIL;
    }
}

CItemID::CItemID() : CItemID(std::make_shared<CItemAllocator>()) {}

CItemID::CItemID(std::shared_ptr<CItemAllocator> allocator) : m_pMalloc(std::move(allocator)) {
    if (!m_pMalloc)
        m_hrLast = FOLDER_E_OUTOFMEMORY;
    m_nDesktopFd = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_nDesktopFd < 0)
        m_hrLast = Folder_ResultFromErrno(errno);
}

CItemID::~CItemID() {
    if (m_nDesktopFd >= 0)
        ::close(m_nDesktopFd);
}

std::unique_ptr<CItemData> CItemID::GetItemIDList(const char16_t* path) {
    if (!path || !m_pMalloc || m_nDesktopFd < 0)
        return nullptr;
    // The libraries' byte code page is UTF-8, which holds every character
    // but a lone surrogate; that one arrives as "?". The whole path is kept:
    // a path cut to a fixed buffer would name some other file.
    const std::unique_ptr<char[]> bytes(Cm_FromUnicode(path));
    const QByteArray local(bytes.get());
    if (local.size() >= PATH_MAX) {
        m_hrLast = FOLDER_E_NAME_TOO_LONG;
        return nullptr;
    }
    const std::vector<QByteArray> components = SplitPath(local);
    struct stat info {};
    if (::fstatat(m_nDesktopFd, RelativeToRoot(components).constData(), &info, 0) != 0) {
        m_hrLast = Folder_ResultFromErrno(errno);
        return nullptr;
    }
    LPITEMIDLIST list = itemid::BuildList(*m_pMalloc, components);
    if (!list) {
        m_hrLast = FOLDER_E_OUTOFMEMORY;
        return nullptr;
    }
    m_hrLast = FOLDER_S_OK;
    return std::unique_ptr<CItemData>(new CItemData(this, list, nullptr));
}

std::unique_ptr<CItemData> CItemID::GetItemIDList(int csidl) {
    const QString path = SpecialFolderPath(csidl);
    if (path.isEmpty()) {
        m_hrLast = FOLDER_E_INVALIDARG;
        return nullptr;
    }
    return GetItemIDList(reinterpret_cast<const char16_t*>(path.utf16()));
}

void CItemID::SetIconProvider(std::unique_ptr<QAbstractFileIconProvider> provider) {
    m_pIconProvider = std::move(provider);
}

const QAbstractFileIconProvider* CItemID::IconProvider() {
    if (!m_pIconProvider)
        m_pIconProvider = std::make_unique<QAbstractFileIconProvider>();
    return m_pIconProvider.get();
}
