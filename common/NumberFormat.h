#pragma once

#include "VornComExport.h"
#include "WinTypes.h"

#include <QString>

// Numbers as the windows and reports show them: "," between groups of three
// digits, byte counts in units of 1024. Negative values carry one leading
// minus sign ("-1,234").

VORNCOM_API QString Cm_AddCommaInt(LONGLONG value);

// The integer part grouped, then decimals places of the fraction (rounded;
// a fraction that rounds up carries into the integer part, so 999.999 with 2
// decimals gives "1,000.00"). decimals is taken in 0..64. Infinity and NaN
// give "inf", "-inf" and "nan".
VORNCOM_API QString Cm_AddCommaReal(double value, int decimals);

// "512 Byte", "1.50 KB", "74.53 GB": the largest of GB, MB and KB whose
// value is at least 1, with two decimals; counts below 1024 in bytes.
VORNCOM_API QString Cm_DispByteSize(LONGLONG bytes);

extern "C" {
// Swaps the bytes of each pair in place (ATA text fields store each pair in
// the wrong order). An odd last byte stays; null or length <= 0 do nothing.
VORNCOM_API void Cm_ChangeByteOrder(void* buffer, int length);
}
