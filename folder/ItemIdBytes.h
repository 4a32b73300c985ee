#pragma once

#include "ByteOrder.h"
#include "CItemID.h"

#include <QByteArray>

#include <vector>

// Byte-level helpers of the item-ID list format shared by the two classes;
// not exported. A count is the first two bytes of an item, little-endian;
// lists have no alignment.
namespace itemid {

inline WORD ReadCount(LPCITEMIDLIST item) {
    return vorn::le::read16(item, 2, 0);
}

inline void WriteCount(LPITEMIDLIST item, WORD count) {
    vorn::le::write16(item, 2, 0, count);
}

// A count below 2 cannot even hold itself; it ends the list rather than
// sending a walk round in place.
inline bool IsEnd(LPCITEMIDLIST item) {
    return ReadCount(item) < 2;
}

// A new list of the components from allocator, or null when it refuses.
// Every component is at most NAME_MAX bytes, so every count fits in 16 bits.
LPITEMIDLIST BuildList(CItemAllocator& allocator, const std::vector<QByteArray>& components);

} // namespace itemid
