#pragma once

#include "VornWmiExport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

// The value of one property, typed the way the automation interfaces type
// it: a VARTYPE tag and the payload that belongs to it. Only the payloads the
// text rules read are kept.
using VARTYPE = std::uint16_t;

enum : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_FILETIME = 64,
    VT_CLSID = 72,
    VT_VECTOR = 0x1000,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_RESERVED = 0x8000,
};

struct VORNWMI_API VARIANT {
    VARTYPE vt = VT_EMPTY;
    std::int64_t integer = 0; // every integer type, VT_BOOL (0 or -1) and VT_FILETIME
    double real = 0;          // VT_R4, VT_R8, and VT_DATE as days since 1899-12-30
    QString text;             // VT_BSTR, VT_LPWSTR
    QByteArray ansi;          // VT_LPSTR, in the system's multibyte code page
    QStringList strings;      // VT_ARRAY | VT_BSTR

    static VARIANT null();
    static VARIANT ofI2(std::int16_t value);
    static VARIANT ofUI2(std::uint16_t value);
    static VARIANT ofI4(std::int32_t value);
    static VARIANT ofUI4(std::uint32_t value);
    static VARIANT ofUI1(std::uint8_t value);
    static VARIANT ofI8(std::int64_t value);
    static VARIANT ofUI8(std::uint64_t value);
    static VARIANT ofR8(double value);
    static VARIANT ofBool(bool value);
    static VARIANT ofBstr(const QString& value);
    static VARIANT ofStringArray(const QStringList& values);
    static VARIANT ofDate(double oleDate);
    static VARIANT ofInteger(VARTYPE type, std::int64_t value); // any integer tag

    void clear() { *this = VARIANT(); }
};

// The text of a property value. Integers of 32 bits and fewer are shown as
// signed, so an unsigned 3000000000 reads -1294967296, as the callers have
// always seen it.
VORNWMI_API QString Wmi_VariantText(const VARIANT& value);

// The name of a VARTYPE: a table of 73 names, then the VECTOR, Array, BYREF
// and RESERVED flags, then "<Unknown %08lX>".
VORNWMI_API QString Wmi_TypeName(VARTYPE type);
