#pragma once

#include "CDisk.h"
#include "OwnedPtrIterator.h"

#include <memory>
#include <vector>

// The disks of one scan in scan order, which is also the order of the disk
// buttons and of the reports. The list owns them and deletes them through
// CHdd's virtual destructor.
class CDiskList {
    using Storage = std::vector<std::unique_ptr<CHdd>>;

public:
    using const_iterator = OwnedPtrIterator<CDisk, CHdd>;

    CDiskList() = default;
    CDiskList(const CDiskList&) = delete;
    CDiskList& operator=(const CDiskList&) = delete;

    void AddTail(std::unique_ptr<CDisk> disk) { m_disks.push_back(std::move(disk)); }
    void RemoveAll() { m_disks.clear(); }

    int GetCount() const { return static_cast<int>(m_disks.size()); }
    bool IsEmpty() const { return m_disks.empty(); }
    // The disk at position index, or null outside the list.
    CDisk* GetAt(int index) const {
        return index >= 0 && index < GetCount() ? static_cast<CDisk*>(m_disks[index].get())
                                                : nullptr;
    }
    // The first disk with that drive number, or null.
    CDisk* FindDrive(int nDrive) const {
        for (CDisk* disk : *this) {
            if (disk->m_nDrive == nDrive)
                return disk;
        }
        return nullptr;
    }

    const_iterator begin() const { return const_iterator(m_disks.begin()); }
    const_iterator end() const { return const_iterator(m_disks.end()); }

private:
    Storage m_disks;
};
