#pragma once

#include "HeatgaugeMonitor.h"
#include "StripWindow.h"

// Runs the program: the switches, the scan, the strip, the event loop.
// Returns the exit code.
int RunHeatgauge();

// Before the application object exists: a Wayland session runs the strip
// on XWayland, where it can place itself and stay on top, unless the user
// chose a platform.
void PreferXcbOnWayland();
