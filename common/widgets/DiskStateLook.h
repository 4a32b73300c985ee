#pragma once

#include "DiskState.h"
#include "VornComWidgetsExport.h"

#include <QColor>
#include <QString>

class QPainter;
class QPalette;
class QRect;

namespace vorn {

// How a disk's state looks wherever it shows: one rule, so a failing disk
// is the same red with the same mark on the disk button, the panel, the
// list, the strip and the tray. Colour alone never carries the state: a
// warning state also has a mark, and the word goes beside it or into the
// tip, for colour-blind users and screen readers.
struct DiskStateLook {
    QColor colour; // text or mark colour, readable on the palette's window and base
    QString mark;  // a glyph before the word; empty for a good disk
    QString word;  // "異常", "注意", "正常", "不明"
    bool warns = false;
};

// The colours follow the palette's brightness: on a dark window the red
// and amber are lighter, so that they keep their contrast; a good disk
// takes the palette's own text colour, an unknown one its disabled text.
VORNCOMWIDGETS_API DiskStateLook LookOf(DiskState state, const QPalette& palette);

// The mark drawn as a badge in the corner of a picture (the disk button,
// a strip cell, a tray icon): a filled disc in the state's colour with the
// glyph in white, framed so that it stands off any background. Only the
// warning states draw one: an unknown disk is already grey where it shows.
VORNCOMWIDGETS_API void PaintStateBadge(QPainter& painter, const QRect& area, DiskState state);

// The badge's fill; the same on every palette, as the pictures under it
// keep their own colours too.
VORNCOMWIDGETS_API QColor BadgeColour(DiskState state);

} // namespace vorn
