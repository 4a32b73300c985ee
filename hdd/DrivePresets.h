#pragma once

#include "DriveKnowledge.h"
#include "VornHddExport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

// The presets string of a drive database entry: the "-v" settings of the
// attributes (format, byte order, name, and whether they hold for hard disks
// or solid-state drives only) and the "-F" firmware quirks.
namespace vorn::hdd {

enum class PresetMedium { Any, Hdd, Ssd };

struct AttributePreset {
    int id = 0;
    RawFormat format = RawFormat::Raw48;
    QByteArray byteOrder; // empty: the format's own
    QString name;         // empty when the preset names none
    PresetMedium medium = PresetMedium::Any;
};

struct DrivePresets {
    std::vector<AttributePreset> attributes; // in the string's order
    // The "-F" quirks named. None of them changes a value the suite shows:
    // they concern the log directory, the error and self-test logs, which the
    // suite does not read, so they are kept only to be told apart from typos.
    QList<QByteArray> firmwareQuirks;
};

// Parses a presets string: "-v ID,FORMAT[:BYTEORDER][,NAME[,HDD|SSD]]" (and
// the older "-v 9,minutes" forms) and "-F TYPE", separated by blanks.
// Nullopt with *error set when any part is malformed.
VORNHDD_API std::optional<DrivePresets> parseDrivePresets(const QByteArray& text, QString* error);

// The format of a "-v" FORMAT word, nullopt for an unknown one.
VORNHDD_API std::optional<RawFormat> rawFormatFromName(const QByteArray& name);

// The byte order a format reads when its preset names none: most
// significant first, '0'-'5' the raw bytes, 'r' the reserved byte, 'v' and
// 'w' the current and worst values.
VORNHDD_API QByteArray defaultByteOrder(RawFormat format);

} // namespace vorn::hdd
