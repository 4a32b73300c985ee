#pragma once

#include "CItemID.h"
#include "VornFolderExport.h"

#include <QByteArray>
#include <QIcon>
#include <QString>

#include <memory>
#include <vector>

// One item of the namespace: an item-ID list made with its owner's
// allocator, the parent whose child list holds it (its list then holds the
// one item below the parent) and the children that CreateChildList found.
// Made only by the library; the caller deletes what it was handed, which
// deletes the whole subtree and frees every list once.
class VORNFOLDER_API CItemData {
public:
    virtual ~CItemData();
    CItemData(const CItemData&) = delete;
    CItemData& operator=(const CItemData&) = delete;

    // The item's icon at small size (16 by 16 is the first size asked for);
    // null when the owner has no icon provider or no GUI application runs.
    QIcon GetSystemIcon() const;
    // The shared provider the icons come from; never deleted by the caller.
    const QAbstractFileIconProvider* GetSystemIconImage() const;
    // The file-system path of the item, its ancestors included; empty when
    // the item has no list.
    QString GetPath() const;
    // The name the item is shown with in its folder ("/" for the root);
    // empty when the item cannot be reached.
    QString GetDisplayName() const;
    // Fills the child list anew with one child per entry of the folder,
    // hidden ones included, in byte order of their names. 0 when the item
    // cannot be opened as a folder, else 1 (an empty folder too).
    int CreateChildList();
    // Walks from the root down to the item, opening each level in turn.
    // Always 1; a level that cannot be opened is only the last result.
    int ShowList() const;

    LPCITEMIDLIST GetIDList() const { return m_pidl; }
    CItemData* GetParent() const { return m_pParent; }
    int GetChildCount() const { return static_cast<int>(m_children.size()); }
    // The child at index, or null outside the list.
    CItemData* GetChild(int index) const;

protected:
    // Takes the list, which owner's allocator made.
    CItemData(CItemID* owner, LPITEMIDLIST list, CItemData* parent);

    // Bytes of the list with its two-byte terminator; 2 for an empty list,
    // 0 for none.
    static UINT fcGetItemIDSize(LPCITEMIDLIST list);
    // The item after the first one; null when the first count is 0 or the
    // next item is the terminator.
    static LPCITEMIDLIST fcGetNextItemID(LPCITEMIDLIST list);
    // size zeroed bytes from the owner's allocator; null when refused.
    LPITEMIDLIST fcCreateItemID(UINT size) const;
    // A new list of the first item of list and a terminator.
    LPITEMIDLIST fcCopyItemID(LPCITEMIDLIST list) const;
    // A new list of the items of a followed by all of b.
    LPITEMIDLIST fcConcatItemID(LPCITEMIDLIST a, LPCITEMIDLIST b) const;

private:
    friend class CItemID;

    // The names from the root down to this item, raw bytes.
    std::vector<QByteArray> Components() const;
    QByteArray LocalPath() const;

    CItemID* m_pOwner;
    LPITEMIDLIST m_pidl;
    CItemData* m_pParent;
    std::vector<std::unique_ptr<CItemData>> m_children;
};
