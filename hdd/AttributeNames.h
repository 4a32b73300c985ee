#pragma once

#include "VornHddExport.h"
#include "WinTypes.h"

// The fixed table of attributes that get a display record: ID, importance
// (0, 1 or 2, shown in the checker's detail dialog) and display name.
namespace vorn::smart {

struct AttributeName {
    BYTE id;
    BYTE importance;
    const char* name; // UTF-8
};

// The row for id, or null for an attribute the table does not list.
VORNHDD_API const AttributeName* findAttributeName(int id);
VORNHDD_API int attributeNameCount();

// Power-on time, power cycles, temperature and hours in use count up or
// swing by nature, so a change in them says nothing about wear.
VORNHDD_API bool excludedFromChangeQueries(int id);

} // namespace vorn::smart
