#pragma once

// The popup menu's commands, by the ids the menu has always had.
namespace heatgauge {

enum Command : int {
    kCmdAbout = 32771,
    kCmdExit = 32772,
    kCmdShow = 32774,
    kCmdTopmost = 32777,
    kCmdMouse = 32778,
    kCmdAlpha0 = 32780, // "0 %" translucency, WndAlpha 100; then 20 % ... 80 %
    kCmdAlpha80 = 32784,
    kCmdOneTrayIcon = 32790, // one tray icon for all disks, or one per disk
    kCmdHistory = 32791,     // "温度の履歴": every disk's temperatures of the last day
};

constexpr int kAlphaItems = 5;

// The translucency item (0 ... 4) a WndAlpha marks, or -1 for none:
// (100 - alpha) / 20 truncated toward zero.
constexpr int AlphaItem(int wndAlpha) {
    const int item = (100 - wndAlpha) / 20;
    return item >= 0 && item < kAlphaItems ? item : -1;
}

// The WndAlpha a translucency command sets.
constexpr int AlphaOfCommand(int command) {
    return (kCmdAlpha80 + 1 - command) * 20;
}

} // namespace heatgauge
