#pragma once

#include "AttributeIds.h"
#include "SectorImage.h"
#include "VornHddExport.h"

// Decoders of the SMART READ DATA and READ THRESHOLDS sectors and of the
// RETURN STATUS register pair. They read the bytes they are given only.
namespace vorn::smart {

constexpr int kEntryCount = 30;

// One 12-byte entry of the attribute sector (offset 2 + 12k).
struct AttributeEntry {
    BYTE id = 0; // 0 = empty slot
    WORD flags = 0;
    BYTE current = 0;
    BYTE worst = 0;
    DWORD raw = 0; // raw bytes 0-3; bytes 4 and 5 are not used anywhere
};

// Entry k (0..29); an index outside the table reads as an empty slot.
VORNHDD_API AttributeEntry attributeEntry(const SectorImage& attributes, int k);
// Byte 1 of threshold entry k, whatever that entry's ID.
VORNHDD_API BYTE thresholdValue(const SectorImage& thresholds, int k);

// -1 unknown, 0 within thresholds (4F/C2), 1 threshold exceeded (F4/2C).
VORNHDD_API int verdictFromRegisters(BYTE cylinderLow, BYTE cylinderHigh);

// First plausible (< 100) raw byte 0 of 194 or 231 in sector order; else the
// last implausible one; else -1.
VORNHDD_API int temperature(const SectorImage& attributes);

// Raw bytes 0-3 of the first entry with this ID as int (0xFFFFFFFF reads as
// -1), or -1 when no entry has it.
VORNHDD_API int rawCount(const SectorImage& attributes, BYTE id);

} // namespace vorn::smart
