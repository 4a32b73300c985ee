#pragma once

#include "ColourScale.h"
#include "HeatgaugeMonitor.h"

#include <QFont>
#include <QIcon>
#include <QImage>

#include <vector>

// The pictures of the temperature monitor, drawn without a window.

// Bold IPA Gothic at the given pixel height (38 for the cells, drawn at
// twice the size; 12 for the tray icons).
QFont HeatgaugeFont(int pixelHeight);

// The whole strip at its window size: per disk a shaded ball running from
// the scale colour at its rim to nearly white at its centre, with the
// temperature written across it, drawn at twice the size and reduced
// smoothly; a disk without a temperature gets a flat neutral box with "-"
// instead, so no colour claims a reading there is none of. Each cell
// framed in grey, white columns between the cells. A disk in a warning
// state has its cell framed in the state's colour and its badge in the top
// right corner. The cells lie in rows of columns (strip::Cell). The picture has ratio device pixels
// per window pixel, so a screen at scale 2 gets it sharp instead of enlarged.
QImage PaintStrip(const std::vector<DiskReading>& readings, const ColourScale& scale,
                  qreal ratio = 1, int columns = 0);

// A 16 x 16 tray icon (16 ratio device pixels square): the temperature in
// white on its scale colour, framed; a disk in a warning state is framed in
// its state's colour instead of grey.
QImage PaintTrayIcon(int temperature, const ColourScale& scale,
                     vorn::DiskState state = vorn::DiskState::Good, qreal ratio = 1);

// The tray icon at 1x and 2x, for the tray host to pick the one that fits
// its screen.
QIcon TrayIcon(int temperature, const ColourScale& scale, vorn::DiskState state);

// A ball of the scale's middle colour.
QImage PaintProgramIcon(int size);

// The program's own icon, shown when there is no disk: the installed one, or
// else the painted ball.
QIcon ProgramIcon();
