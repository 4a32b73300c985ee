#pragma once

#include "VornHddExport.h"
#include "WinTypes.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <map>

// What is known about one drive model beyond the standard: how its
// vendor-specific attributes are named and printed, which attribute holds
// the temperature, and in which unit it counts power-on time. It comes from
// the drive database the system's S.M.A.R.T. tools install, read at run time;
// without one, the generic table serves.
namespace vorn::hdd {

// How the six raw bytes (and, for the wide formats, the reserved byte and the
// normalised values) of an attribute entry are read and printed.
enum class RawFormat {
    Raw48, // bytes 0-5, unsigned decimal
    Raw8,  // each byte 0-5 as decimal
    Raw16, // three 16-bit words
    Raw56, // bytes 0-5 and the reserved byte
    Raw64, // bytes 0-5, reserved byte, current and worst
    Hex48,
    Hex56,
    Hex64,
    Raw16Raw16,   // word 0, then words 1 and 2 in brackets when non-zero
    Raw16Avg16,   // word 0, then word 1 as "(Average N)"
    Raw24Raw8,    // bytes 0-2 as a number, then bytes 3-5 in brackets
    Raw24Raw24,   // "a/b" of bytes 3-5 over bytes 0-2
    Raw24Raw32,   // "a/b" of the reserved byte and bytes 5-4 over bytes 3-0
    Sec2Hour,     // a seconds counter, printed as h+m+s
    Min2Hour,     // a minutes counter, printed as h+m
    Halfmin2Hour, // a half-minutes counter, printed as h+m
    Msec24Hour32, // hours in bytes 0-3, milliseconds in bytes 4-5 and the reserved byte
    TempMinMax,   // current temperature with the drive's minimum and maximum
    Temp10x,      // tenths of a degree
};

// The unit of the power-on counter (attribute 9).
enum class PowerOnUnit { Unknown, Hours, Minutes, HalfMinutes, Seconds, HoursMsec };

struct AttributeKnowledge {
    RawFormat format = RawFormat::Raw48;
    QString name;                // the database's ASCII name, empty when it names none
    bool fromModelEntry = false; // true when the drive's own entry (not the default one) says so
    QByteArray byteOrder;        // the preset's byte order ("543210", ...), empty: the format's own
};

struct DriveKnowledge {
    bool inDatabase = false; // a model entry matched
    QString family;          // the entry's family text, empty when none matched
    std::map<int, AttributeKnowledge> attributes;
    PowerOnUnit powerOnUnit = PowerOnUnit::Unknown;
    // The attribute the database names as the temperature, 0 when none.
    int temperatureId = 0;
};

// The knowledge for this model and firmware: from the installed drive
// database when there is one (parsed once per process, or again when the
// file's size or time changed), else the generic table. Never blocks on
// anything but reading that file.
VORNHDD_API DriveKnowledge lookupDriveKnowledge(const QString& model, const QString& firmware);

// Whether the drive spins, for the database's settings that hold for one
// kind only (IDENTIFY word 217: 1 is a solid-state drive, a speed a disk).
enum class DriveMedium { Unknown, Hdd, Ssd };

// The same; settings for one kind of drive apply only when medium tells
// which kind this is (the two-argument form leaves them out).
VORNHDD_API DriveKnowledge lookupDriveKnowledge(const QString& model, const QString& firmware,
                                                DriveMedium medium);

// One attribute entry as its 12 bytes of the attribute sector.
using AttributeBytes = std::array<BYTE, 12>;

struct RawValue {
    std::uint64_t value = 0; // the number the format leads with (hours for time counters)
    QString text;            // the value as the format prints it
};

VORNHDD_API RawValue decodeRaw(RawFormat format, const AttributeBytes& entry);

// The same with a preset's byte order, most significant byte first: '0'-'5'
// the raw bytes, 'r' the reserved byte, 'v' the current and 'w' the worst
// value, 'z' a zero byte. Empty: the format's own order.
VORNHDD_API RawValue decodeRaw(RawFormat format, const AttributeBytes& entry,
                               const QByteArray& byteOrder);

// The attribute as its knowledge says: format and byte order.
VORNHDD_API RawValue decodeRaw(const AttributeKnowledge& knowledge, const AttributeBytes& entry);

} // namespace vorn::hdd
