#pragma once

#include "CItemID.h"

#include <QByteArray>

#include <vector>

// Byte-level helpers of the item-ID list format shared by the two classes;
// not exported. Counts are read and written byte by byte: lists have no
// alignment.
namespace itemid {

inline WORD ReadCount(LPCITEMIDLIST item) {
    return static_cast<WORD>(item[0] | (item[1] << 8));
}

inline void WriteCount(LPITEMIDLIST item, WORD count) {
    item[0] = static_cast<BYTE>(count & 0xFF);
    item[1] = static_cast<BYTE>(count >> 8);
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
