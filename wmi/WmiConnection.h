#pragma once

#include "VornWmiExport.h"
#include "WmiVariant.h"

#include <WinTypes.h>

#include <QString>
#include <QStringList>

// The one process-wide query connection: start a query of one class (or an
// enumeration of all classes), step through the objects, read properties as
// text, end. Not safe for concurrent use; one thread at a time.

using HRESULT = std::int32_t;

// Results the connection stores as its last result.
constexpr HRESULT WMI_S_OK = 0;
constexpr HRESULT WMI_S_FALSE = 1; // the enumeration has no more objects
constexpr HRESULT WMI_E_NOT_FOUND = static_cast<HRESULT>(0x80041002);
constexpr HRESULT WMI_E_INVALID_CLASS = static_cast<HRESULT>(0x80041010);
constexpr HRESULT WMI_E_INVALID_QUERY = static_cast<HRESULT>(0x80041017);
constexpr HRESULT WMI_E_NO_ENUMERATION = static_cast<HRESULT>(0x80004003); // no Start before

// className is without the "Win32_" prefix ("DiskDrive"); at most 43
// characters. Only the low byte of apartment is kept.
VORNWMI_API BOOL Cm_GetWMI_Info_Start(const char16_t* className, BYTE apartment);
VORNWMI_API BOOL Cm_GetWMI_Info_Loop();
// Steps to the next object and appends its properties to the three parallel
// lists; properties with an empty text only when bAll is set.
VORNWMI_API BOOL Cm_GetWMI_Info_List(QStringList* names, QStringList* values, QStringList* types,
                                     BOOL bAll);
VORNWMI_API void Cm_GetWMI_Info_End();
VORNWMI_API BOOL Cm_GetWMI_Info_Class_Start(BYTE apartment);
// Steps to the next class and appends its name (only "Win32_" classes unless
// bAll is set). TRUE while classes remain, whether or not one was appended.
VORNWMI_API BOOL Cm_GetWMI_Info_Class_List(QStringList* classes, BOOL bAll);

// The property of the current object as text; empty when it cannot be read.
// typeName, when given, receives the type's name (32 characters with the
// terminator, cut if longer).
VORNWMI_API QString Wmi_PropertyText(const QString& name, char16_t* typeName = nullptr);

// Connection state, for the queries and for tests.
VORNWMI_API HRESULT Wmi_LastResult();
VORNWMI_API BYTE Wmi_Apartment(); // as recorded by the latest Start
VORNWMI_API bool Wmi_HasCurrentObject();
