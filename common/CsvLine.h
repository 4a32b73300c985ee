#pragma once

#include "VornComExport.h"

// Splitting one line of comma-separated text into caller-owned field buffers.
//
// The field array holds n pointers to blocks from malloc (Cm_CSVAlloc gives
// each 1024 bytes); Cm_CSVAnalyze may replace a block by a larger one, so the
// blocks are released with Cm_CSVFree (or free), never with delete. A null
// slot in the array is given a block on demand.
//
// The analysis consumes the line: it writes terminators into it and leaves it
// reading as an empty string. Only the first text up to the last line feed is
// looked at; a carriage return is an ordinary character.
extern "C" {

VORNCOM_API void Cm_CSVAlloc(char16_t** fields, int count);
VORNCOM_API void Cm_CSVFree(char16_t** fields, int count);

// Stores at most count fields of line into fields and returns how many were
// stored. A field that starts with quote ends at the next quote followed by
// the separator, a line feed or the end; the quotes are dropped, nothing else
// is unescaped. A quoted field that never closes ends the analysis without
// being stored. Null arguments or count <= 0 store nothing and return 0.
VORNCOM_API int Cm_CSVAnalyze(char16_t* line, char16_t** fields, int count, char16_t separator,
                              char16_t quote);

// The same on Shift-JIS byte strings; a quote byte inside a double-byte
// character never closes a field.
VORNCOM_API void Cm_CSVAllocSjis(char** fields, int count);
VORNCOM_API void Cm_CSVFreeSjis(char** fields, int count);
VORNCOM_API int Cm_CSVAnalyzeSjis(char* line, char** fields, int count, char separator, char quote);

// Classifies the byte at 1-based position of the zero-terminated Shift-JIS
// text: 1 = lead byte of a double-byte character, 2 = its second byte,
// 0 = a single-byte character, or a position outside the text (the
// terminator and beyond, position < 1, null text). Lead bytes are 0x7F-0x9F
// and 0xE0-0xFF; a lead byte right before the terminator has no second byte.
VORNCOM_API int Cm_CheckKanjiCode(const char* text, int position);
}
