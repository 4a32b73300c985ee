#pragma once

#include "HeatgaugeSettings.h"

#include <QMenu>

#include <functional>

// Fills menu (anew) with the popup menu of the strip and the tray icons, marked
// from the settings; choosing an item calls command with its id.
void FillPopupMenu(QMenu* menu, const HeatgaugeSettings& settings,
                   const std::function<void(int)>& command);
