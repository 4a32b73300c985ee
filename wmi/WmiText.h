#pragma once

#include "VornWmiExport.h"

#include <WideText.h>

#include <QDateTime>
#include <QString>

#include <cstdint>

// How property texts become record fields.
namespace vorn::wmi {

// Copies text into a zero-terminated field of capacity characters. A longer
// text is cut so that the field never ends in half a surrogate pair.
VORNWMI_API void copyToField(const QString& text, char16_t* field, int capacity);

// The number at the start of a text the way the C runtime's wide-text
// conversions read it (vorn::readLeadingNumber: leading blanks, an optional
// sign, ASCII digits up to the first other character); 0 when there are
// none; clamped to the range.
VORNWMI_API std::int32_t textToInt32(const QString& text);
VORNWMI_API std::int64_t textToInt64(const QString& text);

// Seconds since 1970 of a date in the query service's form
// (yyyymmddHHMMSS.ffffff+UUU), read as local time with the system deciding on
// daylight saving; 0 when the text is empty or not a date.
VORNWMI_API std::int32_t wmiDateToTime(const QString& text);

// A local time in that form, with its offset from UTC in minutes.
VORNWMI_API QString wmiDateText(const QDateTime& localTime);

} // namespace vorn::wmi
