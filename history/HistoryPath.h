#pragma once

#include <QString>

#include <functional>

namespace vorn::history {

// Where the user's store lives: VORN_HISTORY when set, else
// $XDG_STATE_HOME/vorn/history.sqlite, else ~/.local/state/vorn/. variable
// gives an environment variable's value (empty when unset).
QString HistoryPathFrom(const std::function<QString(const char*)>& variable, const QString& home);

// The same from the process's environment. A program running with more
// rights than its caller (set-id, file capabilities) ignores the
// environment and uses the account's home.
QString HistoryPath();

// Creates the folders above file that are missing, readable by the user
// alone; false with a line in error when it cannot.
bool MakeHistoryFolder(const QString& file, QString* error);

} // namespace vorn::history
