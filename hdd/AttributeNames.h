#pragma once

#include "VornHddExport.h"
#include "WinTypes.h"

// The table of attribute names: ID, importance (0, 1 or 2, shown in the
// checker's detail dialog) and display name of the meaning each ID has on
// most drives. An ID the table lacks still gets a display record, named by
// the drive database or generically (AttributeNamesForDrive.h).
namespace vorn::smart {

struct AttributeName {
    BYTE id;
    BYTE importance;
    const char* name; // UTF-8
    // Word stems, "|"-separated, of which a drive database name for this ID
    // contains one when it means what this row means; compared with the
    // database name in lower case and without separators.
    const char* stems;
};

// The row for id, or null for an attribute the table does not list.
VORNHDD_API const AttributeName* findAttributeName(int id);
VORNHDD_API int attributeNameCount();

// Power-on time, power cycles, temperature and hours in use count up or
// swing by nature, so a change in them says nothing about wear.
VORNHDD_API bool excludedFromChangeQueries(int id);

} // namespace vorn::smart
