#pragma once

#include "CHdd.h"
#include "OwnedPtrIterator.h"

#include <memory>
#include <vector>

namespace vorn::diskpass {

// The disks of one scan in scan order, of a program's own disk class. The
// list owns them and deletes them through CHdd's virtual destructor.
template <class Disk> class CDiskListOf {
    using Storage = std::vector<std::unique_ptr<CHdd>>;

public:
    using DiskType = Disk;
    using const_iterator = OwnedPtrIterator<Disk, CHdd>;

    CDiskListOf() = default;
    CDiskListOf(const CDiskListOf&) = delete;
    CDiskListOf& operator=(const CDiskListOf&) = delete;

    void AddTail(std::unique_ptr<Disk> disk) { m_disks.push_back(std::move(disk)); }
    void RemoveAll() { m_disks.clear(); }

    int GetCount() const { return static_cast<int>(m_disks.size()); }
    bool IsEmpty() const { return m_disks.empty(); }
    // The disk at position index, or null outside the list.
    Disk* GetAt(int index) const {
        return index >= 0 && index < GetCount() ? static_cast<Disk*>(m_disks[index].get())
                                                : nullptr;
    }
    // The first disk with that drive number, or null.
    Disk* FindDrive(int nDrive) const {
        for (Disk* disk : *this) {
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

} // namespace vorn::diskpass
