#pragma once

#include <QString>

namespace vorn::checker {

// The depletion bar of the attribute list, as numbers: the list's painter
// only turns them into pixels, so a test can check the rule without a window.

// 0xRRGGBB colours of the bar cell.
inline constexpr unsigned kBarAreaImportant = 0xFFEDE6; // area of a record that matters
inline constexpr unsigned kBarAreaOrdinary = 0xF0F7FF;
inline constexpr unsigned kBarFill = 0xE5AAB1;
inline constexpr unsigned kBarFrame = 0x787FA9;

// The bar area inside a cell already shrunk by the text margins: so many
// pixels off the top, the bottom and the right.
inline constexpr int kBarInsetTop = 1;
inline constexpr int kBarInsetBottom = 2;
inline constexpr int kBarInsetRight = 44;

// The filled length of a bar area areaWidth pixels wide for the depletion
// cell's text ("12.5 %"): the percentage of the width, held to 0..areaWidth,
// plus 0.01 against rounding, truncated. A text that is no number ("- %")
// fills nothing.
int DepletionBarLength(int areaWidth, const QString& cellText);

unsigned BarAreaColor(int importance);

} // namespace vorn::checker
