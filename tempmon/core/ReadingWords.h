#pragma once

#include "HeatgaugeMonitor.h"

#include <QString>

// A disk's reading in words, for what cannot see the strip's colours: the
// screen reader's view of a cell and the single tray icon's tip.

// "ST2000DM008-2FR102 C: D:": what the disk is called.
QString ReadingName(const DiskReading& reading);

// "34 ℃ 正常", "-- ℃ 不明", "52 ℃ ✖ 異常", with " スタンバイ中" for a disk
// left asleep: the temperature and the state, the state always in words.
QString ReadingDescription(const DiskReading& reading);
