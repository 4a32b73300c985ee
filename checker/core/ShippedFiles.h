#pragma once

#include "InterfaceLanguage.h"

#include <QString>

namespace vorn::checker {

// Where the read-only files the suite ships (Template/ with the description
// file and the report templates, the manual) are found.
//
// A program started by hand from a folder that holds a Template folder uses
// that folder, as the programs always did (portable use). Otherwise a build
// tree keeps them beside the program, and an installed program finds them in
// the data folder of its install prefix (share/vorn, reached from the
// program's folder so that a relocated prefix works too).
//
// Returns the first of startDir (when not empty), programDir and the installed
// data folder that holds a Template folder; the installed data folder when
// none does, so that callers report the missing files as they always did.
QString ShippedFilesDir(const QString& startDir, const QString& programDir);

// The installed data folder that belongs to a program in programDir.
QString InstalledDataDir(const QString& programDir);

// The checker's manual in the folder of the shipped files: the Japanese one
// in it, the English one in its en/ folder, where the manual's relative
// links find their own language's pages. Looks at no file.
QString ManualPath(const QString& shippedDir, InterfaceLanguage language);

} // namespace vorn::checker
