#pragma once

#include "VornComExport.h"
#include "WinTypes.h"

#include <QString>

// Conversions between the wide (UTF-16) texts of the libraries and the
// system's byte code page, which is UTF-8 here; character-class mapping of
// Japanese text; and the two path helpers.

extern "C" {

// A new[] copy of text in UTF-8 with its terminator, released with delete[].
// A lone surrogate, which UTF-8 cannot hold, becomes "?". Null for null.
VORNCOM_API char* Cm_FromUnicode(const char16_t* text);

// A new[] UTF-16 copy of the UTF-8 text with its terminator, released with
// delete[]. Malformed bytes become U+FFFD. Null for null.
VORNCOM_API char16_t* Cm_ToUnicode(const char* text);

// Appends "/" to the path unless it is empty or already ends with one, and
// returns a pointer to the path's terminator (null for a null path). The
// buffer must have room for one more character than the path holds.
VORNCOM_API char16_t* Cm_PathAddBackslash(char16_t* path);
}

// QString's case-insensitive equality, with ASCII told apart without Qt's
// folding tables: record fields and settings keys are looked up by name
// thousands of times a scan, and nearly all of them are plain ASCII.
VORNCOM_API bool Cm_SameTextIgnoringCase(const QString& a, const QString& b);

// Flag bits of Cm_ConvStr.
constexpr BYTE CM_CONV_HIRAGANA = 0x01;  // katakana to hiragana
constexpr BYTE CM_CONV_KATAKANA = 0x02;  // hiragana to katakana
constexpr BYTE CM_CONV_HALFWIDTH = 0x04; // full-width ASCII, space, katakana to half width
constexpr BYTE CM_CONV_FULLWIDTH = 0x08; // the reverse of CM_CONV_HALFWIDTH
constexpr BYTE CM_CONV_LOWERCASE = 0x10;
constexpr BYTE CM_CONV_UPPERCASE = 0x20;
constexpr BYTE CM_CONV_SORTKEY = 0x40; // collation key of the default locale
constexpr BYTE CM_CONV_BYTEREV = 0x80; // swaps the two bytes of every UTF-16 unit

// The text mapped by the flag bits, applied in the order kana, width, case,
// byte reversal.
// - Kana: hiragana U+3041-3096 and the iteration marks U+309D/E against
//   katakana U+30A1-30F6 and U+30FD/E; katakana without a hiragana form stay.
// - Width: ASCII 0x21-0x7E and the space against U+FF01-FF5E and U+3000; the
//   half-width katakana and CJK punctuation U+FF61-FF9F against their full
//   forms, a voiced or semi-voiced kana becoming two half-width characters
//   (and two becoming one again); the full-width currency and sign characters
//   U+FFE0-FFE6; other characters keep their width.
// - Case: full Unicode case mapping (a character may map to several).
// - Sort key: the bytes of the collation key of the default locale, one byte
//   per UTF-16 unit without the terminating zero, so that two keys compare
//   as the collator compares their texts. It combines with no other bit.
// Flags 0 return the text unchanged. A null text, and bits that contradict
// each other (hiragana with katakana, half with full width, lower with upper
// case, a sort key with any other bit) give an empty text.
VORNCOM_API QString Cm_ConvStr(const char16_t* text, BYTE flags);

// The process's current directory without a trailing "/" (the root stays
// "/"), or empty when it cannot be read.
VORNCOM_API QString Cm_CurrentDirectory();
