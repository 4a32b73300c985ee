#pragma once

#include "AttributeDetail.h"
#include "DiskState.h"
#include "IndicatorValues.h"
#include "PanelText.h"
#include "Reading.h"

#include <QString>

#include <optional>
#include <vector>

namespace vorn::checker {

class CDisk;

// What the checker's window shows, copied from the disks on the window's
// thread once a pass is over. A window that paints only these never reads
// a disk that the next pass is rewriting.

// One row of the attribute list.
struct ListedAttribute {
    AttributeRow row; // without its record: the record is the disk's
    // What the row's detail dialog shows; none for a health log field,
    // which has no dialog.
    std::optional<AttributeFigures> detail;
};

struct DiskSnapshot {
    DiskButtonValues button;
    DiskState state = DiskState::Unknown;
    // The square's tip and accessible name: "model\ndrive letters", the
    // attributes at or below their thresholds (PanelTexts::statusTip) and
    // "スタンバイ中" on lines of their own.
    QString tip;
    // "model スタンバイ中" for a disk left asleep, a line of the tray
    // icon's tip; empty for one that is awake.
    QString trayNote;
    PanelTexts panel;
    std::vector<ListedAttribute> attributes;
    // Whose readings the history holds.
    history::DiskIdentity identity;
};

// panel: the disk's panel texts, which need the session's clock and
// measurement.
DiskSnapshot DiskSnapshotOf(const CDisk& disk, PanelTexts panel);

struct CheckerSnapshot {
    std::vector<DiskSnapshot> disks; // scan order, one toolbar square each
    int shown = -1;                  // the disk on the panel and the list; -1 none

    const DiskSnapshot* Shown() const;
};

// base, then the tray note of every disk left asleep on a line of its own.
QString TrayTip(const QString& base, const CheckerSnapshot& snapshot);

} // namespace vorn::checker
