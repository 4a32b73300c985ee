#pragma once

#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

// The table of attribute names: ID, importance (0, 1 or 2, shown in the
// checker's detail dialog), display name and key of the meaning each ID has
// on most drives. An ID the table lacks still gets a display record, named by
// the drive database or generically (AttributeNamesForDrive.h).
namespace vorn::smart {

struct AttributeName {
    BYTE id;
    BYTE importance;
    // Japanese, UTF-8: the source text of the catalogues; attributeNameText
    // gives it in the interface language.
    const char* name;
    // The meaning's English identifier ("reallocated_sector_count"), the same
    // in every language and for every drive database; one per ID. An ID that
    // shares another's meaning carries that key with its own decimal ID.
    const char* key;
    // Word stems, "|"-separated, of which a drive database name for this ID
    // contains one when it means what this row means; compared with the
    // database name in lower case and without separators.
    const char* stems;
};

// The row for id, or null for an attribute the table does not list.
VORNHDD_API const AttributeName* findAttributeName(int id);
VORNHDD_API int attributeNameCount();

// The row's name in the interface language installed now. Translated at
// every call, not once, so a catalogue installed after the first read still
// names the next one.
VORNHDD_API QString attributeNameText(const AttributeName& row);

// What an attribute is called without any drive knowledge: the table's name
// of id in the interface language, else the generic vendor-specific one.
VORNHDD_API QString attributeNameText(int id);

// Power-on time, power cycles, temperature and hours in use count up or
// swing by nature, so a change in them says nothing about wear.
VORNHDD_API bool excludedFromChangeQueries(int id);

} // namespace vorn::smart
