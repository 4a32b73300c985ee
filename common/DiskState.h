#pragma once

#include "Translation.h"

#include <QString>

namespace vorn {

// A disk's health as every window shows it, from the verdict the disk code
// keeps (0 good, 1 failing, 2 caution, anything else unknown). A disk that
// reports no S.M.A.R.T. has no verdict at all.
enum class DiskState { Good, Caution, Failing, Unknown };

constexpr DiskState DiskStateOf(bool smartSupported, int status) {
    if (!smartSupported)
        return DiskState::Unknown;
    switch (status) {
    case 0:
        return DiskState::Good;
    case 1:
        return DiskState::Failing;
    case 2:
        return DiskState::Caution;
    default:
        return DiskState::Unknown;
    }
}

// The word the panel and the tips use for the state.
inline QString DiskStateWord(DiskState state) {
    switch (state) {
    case DiskState::Good:
        return Cm_Tr("DiskState", "正常");
    case DiskState::Caution:
        return Cm_Tr("DiskState", "注意");
    case DiskState::Failing:
        return Cm_Tr("DiskState", "異常");
    case DiskState::Unknown:
        break;
    }
    return Cm_Tr("DiskState", "不明");
}

constexpr bool DiskStateWarns(DiskState state) {
    return state == DiskState::Failing || state == DiskState::Caution;
}

// The glyph that goes before the word, so the state never rests on colour
// alone; a good disk needs none.
inline QString DiskStateMark(DiskState state) {
    switch (state) {
    case DiskState::Failing:
        return QStringLiteral("✖");
    case DiskState::Caution:
        return QStringLiteral("▲");
    case DiskState::Unknown:
        return QStringLiteral("?");
    case DiskState::Good:
        break;
    }
    return {};
}

// The line a tip gives a disk in a warning state ("✖ 異常"); empty for any
// other, whose tips stay as short as they were.
inline QString DiskStateTipLine(DiskState state) {
    return DiskStateWarns(state) ? DiskStateMark(state) + QLatin1Char(' ') + DiskStateWord(state)
                                 : QString();
}

} // namespace vorn
