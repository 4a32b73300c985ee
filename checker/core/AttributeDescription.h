#pragma once

#include "InterfaceLanguage.h"
#include "WinTypes.h"

#include <QByteArray>
#include <QString>

namespace vorn::checker {

// The attribute description file: UTF-16LE lines "ID,name,explanation",
// found below the start directory. It is read anew for every lookup.

// "<start dir>/Template/VornDiskInfo.Smart.<ja|en>.txt" for the language;
// empty when the start directory is unknown (empty), so nothing is looked for
// at the file system root instead.
QString AttributeDescriptionPath(const QString& startDir, InterfaceLanguage language);

// Field 3 of the first line whose field 1 reads as id, or an empty text.
// The bytes are taken raw: a byte-order mark is the first line's first
// character (so that line reads ID 0), a carriage return before a line feed
// stays at the end of an unquoted text, a line is at most 1023 units and a
// trailing odd byte is ignored.
QString FindAttributeDescription(const QByteArray& fileBytes, int id);

// Reads the description file of the interface language below startDir and
// looks id up; without an English file the Japanese one is read. A missing or
// unreadable file gives an empty text.
QString LookupAttributeDescription(const QString& startDir, int id);

// The same below the process's current directory, where the checker keeps
// its data files.
QString LookupAttributeDescription(int id);

} // namespace vorn::checker
