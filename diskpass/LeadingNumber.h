#pragma once

// The number at the start of a text by the rules of the C runtime's atoi and
// _wtoi: leading white space skipped, an optional sign, decimal digits up to
// the first non-digit; no digits give 0. Values beyond int saturate, as the
// Windows runtime does, instead of being undefined. White space is the C
// locale's (space, tab, line feed, vertical tab, form feed, carriage return);
// a byte-order mark is not white space, so text starting with one reads 0.
int LeadingNumber(const char* text);
int LeadingNumber(const char16_t* text);
