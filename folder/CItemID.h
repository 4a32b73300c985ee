#pragma once

#include "VornFolderExport.h"

#include <WinTypes.h>

#include <cstddef>
#include <memory>

class CItemData;
class QAbstractFileIconProvider;

// Item-ID lists: a sequence of items, each a 16-bit little-endian byte count
// (counting itself) followed by count - 2 bytes, closed by an item whose
// count is 0. Here one item is one path component (its raw file-name bytes)
// and the empty list is the root of the namespace, "/".
using LPITEMIDLIST = BYTE*;
using LPCITEMIDLIST = const BYTE*;

using HRESULT = std::int32_t;
using UINT = unsigned int;

// Results stored as an owner's last result.
constexpr HRESULT FOLDER_S_OK = 0;
constexpr HRESULT FOLDER_E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT FOLDER_E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT FOLDER_E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT FOLDER_E_FILE_NOT_FOUND = static_cast<HRESULT>(0x80070002);
constexpr HRESULT FOLDER_E_PATH_NOT_FOUND = static_cast<HRESULT>(0x80070003);
constexpr HRESULT FOLDER_E_ACCESS_DENIED = static_cast<HRESULT>(0x80070005);
constexpr HRESULT FOLDER_E_NAME_TOO_LONG = static_cast<HRESULT>(0x800700CE);
constexpr HRESULT FOLDER_E_NOT_A_FOLDER = static_cast<HRESULT>(0x8007010B);

// Special-folder numbers that GetItemIDList(int) knows.
constexpr int CSIDL_DESKTOP = 0x0000;  // the namespace root, "/"
constexpr int CSIDL_PERSONAL = 0x0005; // documents
constexpr int CSIDL_MYMUSIC = 0x000d;
constexpr int CSIDL_MYVIDEO = 0x000e;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_DRIVES = 0x0011; // the machine's drives: also "/"
constexpr int CSIDL_FONTS = 0x0014;
constexpr int CSIDL_APPDATA = 0x001a;       // per-user configuration
constexpr int CSIDL_LOCAL_APPDATA = 0x001c; // per-user data
constexpr int CSIDL_INTERNET_CACHE = 0x0020;
constexpr int CSIDL_MYPICTURES = 0x0027;
constexpr int CSIDL_PROFILE = 0x0028; // the home folder

// The allocator every list of one owner is made and freed with. The default
// is the C heap; tests hand in one that counts.
class VORNFOLDER_API CItemAllocator {
public:
    virtual ~CItemAllocator();
    // size bytes, or null when they cannot be had.
    virtual void* Alloc(std::size_t size);
    virtual void Free(void* block);
};

// The root of one use of the namespace: the allocator, the root folder ("/",
// held open so that names are parsed against it) and the last result of every
// call made through it or through an item attached to it. Items keep a plain
// pointer to their owner, which must outlive them. Not safe for concurrent use.
class VORNFOLDER_API CItemID {
public:
    CItemID();
    // A null allocator behaves as one that could not be obtained: every
    // operation that needs it fails quietly.
    explicit CItemID(std::shared_ptr<CItemAllocator> allocator);
    virtual ~CItemID();
    CItemID(const CItemID&) = delete;
    CItemID& operator=(const CItemID&) = delete;

    // The item of a path, or null. A null path makes no call and leaves the
    // last result alone. A relative path is taken from the root. "." and ".."
    // are resolved by name; the item must exist.
    std::unique_ptr<CItemData> GetItemIDList(const char16_t* path);
    // The item of a special folder (CSIDL_*), or null for an unknown number
    // or a folder that does not exist.
    std::unique_ptr<CItemData> GetItemIDList(int csidl);

    HRESULT GetLastResult() const { return m_hrLast; }

    // Icons come from this provider. The default one, from Qt Gui, finds
    // icons in the desktop's icon theme only; a widget program hands in a
    // QFileIconProvider, which falls back to its style's pictures.
    void SetIconProvider(std::unique_ptr<QAbstractFileIconProvider> provider);

private:
    friend class CItemData;

    CItemAllocator* Allocator() const { return m_pMalloc.get(); }
    int DesktopFolder() const { return m_nDesktopFd; }
    const QAbstractFileIconProvider* IconProvider();
    void SetLastResult(HRESULT hr) { m_hrLast = hr; }

    HRESULT m_hrLast = FOLDER_S_OK;
    std::shared_ptr<CItemAllocator> m_pMalloc;
    int m_nDesktopFd = -1;
    std::unique_ptr<QAbstractFileIconProvider> m_pIconProvider;
};

// The result for a failed system call's errno.
VORNFOLDER_API HRESULT Folder_ResultFromErrno(int error);
