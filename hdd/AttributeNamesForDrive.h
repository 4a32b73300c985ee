#pragma once

#include "DriveKnowledge.h"
#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

// What one attribute ID is called on one drive. The table's meaning holds
// unless the drive's own database entry names the ID for something else
// (an SSD's 231 is its life left, not a temperature); an ID the table lacks
// takes the database's name, else a generic one with the ID.
namespace vorn::smart {

struct AttributeLabel {
    QString name; // in the interface language
    // The English identifier scripts key on: the table's key where the
    // table's meaning holds on this drive, else "attribute_<decimal ID>".
    // Neither the language nor the database's wording changes it.
    QString key;
    BYTE importance = 0;
    // The attribute follows a temperature on this drive: its value swings
    // with the room, so it says nothing about wear.
    bool temperature = false;
};

VORNHDD_API AttributeLabel attributeLabel(int id, const vorn::hdd::DriveKnowledge& knowledge);

// True when the drive's own entry names id for a meaning other than the
// table's (or, for an ID the table lacks, names it at all).
VORNHDD_API bool meansSomethingElse(int id, const vorn::hdd::DriveKnowledge& knowledge);

// True when the database name is about a temperature.
VORNHDD_API bool namesTemperature(const QString& databaseName);

} // namespace vorn::smart
