#include "CItemData.h"

#include "ItemIdBytes.h"

#include <QAbstractFileIconProvider>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The path below the root that the *at() calls take; "." for the root.
QByteArray RelativePath(const std::vector<QByteArray>& components) {
    QByteArray relative;
    for (const QByteArray& name : components) {
        if (!relative.isEmpty())
            relative += '/';
        relative += name;
    }
    return relative.isEmpty() ? QByteArrayLiteral(".") : relative;
}

} // namespace

CItemData::CItemData(CItemID* owner, LPITEMIDLIST list, CItemData* parent)
    : m_pOwner(owner), m_pidl(list), m_pParent(parent) {}

CItemData::~CItemData() {
    m_children.clear();
    if (m_pidl && m_pOwner->Allocator())
        m_pOwner->Allocator()->Free(m_pidl);
}

CItemData* CItemData::GetChild(int index) const {
    if (index < 0 || index >= GetChildCount())
        return nullptr;
    return m_children[static_cast<std::size_t>(index)].get();
}

UINT CItemData::fcGetItemIDSize(LPCITEMIDLIST list) {
    if (!list)
        return 0;
    UINT size = 2;
    for (LPCITEMIDLIST item = list; !itemid::IsEnd(item); item += itemid::ReadCount(item))
        size += itemid::ReadCount(item);
    return size;
}

LPCITEMIDLIST CItemData::fcGetNextItemID(LPCITEMIDLIST list) {
    if (!list || itemid::IsEnd(list))
        return nullptr;
    LPCITEMIDLIST next = list + itemid::ReadCount(list);
    return itemid::IsEnd(next) ? nullptr : next;
}

LPITEMIDLIST CItemData::fcCreateItemID(UINT size) const {
    CItemAllocator* allocator = m_pOwner->Allocator();
    if (!allocator || size == 0)
        return nullptr;
    auto* list = static_cast<LPITEMIDLIST>(allocator->Alloc(size));
    if (list)
        std::memset(list, 0, size);
    return list;
}

LPITEMIDLIST CItemData::fcCopyItemID(LPCITEMIDLIST list) const {
    if (!list)
        return nullptr;
    const UINT first = itemid::IsEnd(list) ? 0 : itemid::ReadCount(list);
    LPITEMIDLIST copy = fcCreateItemID(first + 2);
    if (copy)
        std::memcpy(copy, list, first); // the zeroed tail is the terminator
    return copy;
}

LPITEMIDLIST CItemData::fcConcatItemID(LPCITEMIDLIST a, LPCITEMIDLIST b) const {
    if (!a && !b)
        return nullptr;
    const UINT sizeA = a ? fcGetItemIDSize(a) - 2 : 0;
    const UINT sizeB = b ? fcGetItemIDSize(b) : 2;
    LPITEMIDLIST joined = fcCreateItemID(sizeA + sizeB);
    if (!joined)
        return nullptr;
    if (a)
        std::memcpy(joined, a, sizeA);
    if (b)
        std::memcpy(joined + sizeA, b, sizeB);
    return joined;
}

std::vector<QByteArray> CItemData::Components() const {
    // A child holds only its own item; its place is its parents' lists
    // before it.
    std::vector<const CItemData*> chain;
    for (const CItemData* item = this; item; item = item->m_pParent)
        chain.push_back(item);
    std::vector<QByteArray> components;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        for (LPCITEMIDLIST item = (*it)->m_pidl; item && !itemid::IsEnd(item);
             item += itemid::ReadCount(item)) {
            components.emplace_back(reinterpret_cast<const char*>(item + 2),
                                    itemid::ReadCount(item) - 2);
        }
    }
    return components;
}

QByteArray CItemData::LocalPath() const {
    QByteArray path;
    for (const QByteArray& name : Components())
        path += '/' + name;
    return path.isEmpty() ? QByteArrayLiteral("/") : path;
}

QIcon CItemData::GetSystemIcon() const {
    if (!m_pidl || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QIcon();
    const QAbstractFileIconProvider* provider = m_pOwner->IconProvider();
    return provider->icon(QFileInfo(QFile::decodeName(LocalPath())));
}

const QAbstractFileIconProvider* CItemData::GetSystemIconImage() const {
    return m_pOwner->IconProvider();
}

QString CItemData::GetPath() const {
    if (!m_pidl)
        return QString();
    return QFile::decodeName(LocalPath());
}

QString CItemData::GetDisplayName() const {
    if (!m_pidl || m_pOwner->DesktopFolder() < 0)
        return QString();
    const std::vector<QByteArray> components = Components();
    struct stat info {};
    if (::fstatat(m_pOwner->DesktopFolder(), RelativePath(components).constData(), &info,
                  AT_SYMLINK_NOFOLLOW) != 0) {
        m_pOwner->SetLastResult(Folder_ResultFromErrno(errno));
        return QString();
    }
    m_pOwner->SetLastResult(FOLDER_S_OK);
    return components.empty() ? QStringLiteral("/") : QFile::decodeName(components.back());
}

int CItemData::CreateChildList() {
    if (!m_pidl || m_pOwner->DesktopFolder() < 0 || !m_pOwner->Allocator())
        return 0;
    const int fd = ::openat(m_pOwner->DesktopFolder(), RelativePath(Components()).constData(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* folder = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!folder) {
        m_pOwner->SetLastResult(Folder_ResultFromErrno(errno));
        if (fd >= 0)
            ::close(fd);
        return 0;
    }
    // Calling again enumerates afresh rather than listing every entry twice.
    m_children.clear();
    std::vector<QByteArray> names;
    errno = 0;
    while (const dirent* entry = ::readdir(folder)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.push_back(name);
        errno = 0;
    }
    HRESULT result = Folder_ResultFromErrno(errno);
    ::closedir(folder);
    std::sort(names.begin(), names.end());
    for (const QByteArray& name : names) {
        LPITEMIDLIST list = itemid::BuildList(*m_pOwner->Allocator(), {name});
        if (!list) {
            result = FOLDER_E_OUTOFMEMORY;
            continue;
        }
        m_children.push_back(std::unique_ptr<CItemData>(new CItemData(m_pOwner, list, this)));
    }
    m_pOwner->SetLastResult(result);
    return 1;
}

int CItemData::ShowList() const {
    if (!m_pidl || m_pOwner->DesktopFolder() < 0)
        return 1;
    int level = ::dup(m_pOwner->DesktopFolder());
    HRESULT result = level < 0 ? Folder_ResultFromErrno(errno) : FOLDER_S_OK;
    for (const QByteArray& name : Components()) {
        if (level < 0)
            break;
        const int next = ::openat(level, name.constData(), O_PATH | O_CLOEXEC);
        if (next < 0)
            result = Folder_ResultFromErrno(errno);
        ::close(level);
        level = next;
    }
    if (level >= 0)
        ::close(level);
    m_pOwner->SetLastResult(result);
    return 1;
}
