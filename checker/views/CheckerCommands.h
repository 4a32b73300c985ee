#pragma once

#include <QString>
#include <QtGlobal>

namespace vorn::checker {

// The checker's command ids and their description strings: one table for
// the toolbar (tips, pictures) and the main window (handlers, menus).

constexpr int ID_SMART_UPDATE = 32772;
constexpr int ID_OPEN_MAIN = 32782;
constexpr int ID_SUPPORT_WEB = 32783;
constexpr int ID_HELP_MANUAL = 32784;
constexpr int ID_SELF_TEST = 32785;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;

struct CheckerCommand {
    int id;
    // The description as a whole: a tooltip shows it unsplit, line break
    // included. Marked for the catalogue; CheckerCommandString() gives it in
    // the interface's language.
    const char* text;
    // Position of the command's picture in the toolbar bitmap.
    int image;
};

// Every command that has a description, in the order of the toolbar
// bitmap's pictures.
inline constexpr CheckerCommand kCheckerCommands[] = {
    {ID_SMART_UPDATE, QT_TRANSLATE_NOOP("CheckerCommand", "SMART情報の更新"), 0},
    {ID_FILE_SAVE_AS, QT_TRANSLATE_NOOP("CheckerCommand", "HDD情報のファイル保存"), 1},
    {ID_APP_ABOUT, QT_TRANSLATE_NOOP("CheckerCommand", "バージョン情報の表示"), 2},
    {ID_HELP_MANUAL, QT_TRANSLATE_NOOP("CheckerCommand", "操作説明書の表示"), 3},
    {ID_SUPPORT_WEB,
     QT_TRANSLATE_NOOP("CheckerCommand",
                       "プログラムに関するサポート情報のWeb表示します\nサポート情報のWeb表示"),
     4},
    {ID_SELF_TEST, QT_TRANSLATE_NOOP("CheckerCommand", "ドライブのセルフテスト\nセルフテスト"), 5},
};

// The commands of the standard toolbar, in order; a separator follows them.
inline constexpr int kStandardToolbarCommands[] = {ID_SMART_UPDATE, ID_FILE_SAVE_AS, ID_APP_ABOUT,
                                                   ID_HELP_MANUAL};

// The entry of id, or null.
const CheckerCommand* FindCheckerCommand(int id);
// The description of id in the interface's language; empty for an id
// without one.
QString CheckerCommandString(int id);

} // namespace vorn::checker
