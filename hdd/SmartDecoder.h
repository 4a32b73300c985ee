#pragma once

#include "AttributeIds.h"
#include "DriveKnowledge.h"
#include "SectorImage.h"
#include "VornHddExport.h"

#include <cstdint>
#include <vector>

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
    DWORD raw = 0;                     // raw bytes 0-3, unsigned
    std::uint64_t raw48 = 0;           // raw bytes 0-5, unsigned
    vorn::hdd::AttributeBytes bytes{}; // the whole entry, for the drive's raw formats

    // Flags bit 0: the attribute predicts a failure when it reaches its threshold.
    bool preFailure() const { return flags & 0x0001; }
};

// Entry k (0..29); an index outside the table reads as an empty slot.
VORNHDD_API AttributeEntry attributeEntry(const SectorImage& attributes, int k);
// Byte 1 of threshold entry k, whatever that entry's ID.
VORNHDD_API BYTE thresholdValue(const SectorImage& thresholds, int k);

// -1 unknown, 0 within thresholds (4F/C2), 1 threshold exceeded (F4/2C).
VORNHDD_API int verdictFromRegisters(BYTE cylinderLow, BYTE cylinderHigh);

// A threshold of 0 means the attribute never fails, whatever its value.
constexpr bool atOrBelowThreshold(int current, int threshold) {
    return threshold != 0 && current <= threshold;
}

// One entry whose current value is at or below its non-zero threshold.
struct FailingAttribute {
    BYTE id = 0;
    bool preFailure = false;
};

// Every failing entry in sector order; the threshold is taken by position.
VORNHDD_API std::vector<FailingAttribute> failingAttributes(const SectorImage& attributes,
                                                            const SectorImage& thresholds);

// The disk's verdict from the registers' verdict and its failing entries:
// registers that say exceeded stand; registers that say nothing are
// overruled by a failing pre-failure entry (1) or any failing entry (2); a
// good verdict with a failing entry is a caution (2).
VORNHDD_API int combinedVerdict(int registerVerdict, const std::vector<FailingAttribute>& failing);

// First plausible (< 100) raw byte 0 of 194 or 231 in sector order; else the
// last implausible one; else -1. The rule of a drive nothing is known of,
// blind to what 231 means; a disk's temperature is chooseTemperature's
// (TemperatureChoice.h).
VORNHDD_API int temperature(const SectorImage& attributes);

// Raw bytes 0-3 of the first entry with this ID as int (0xFFFFFFFF reads as
// -1), or -1 when no entry has it.
VORNHDD_API int rawCount(const SectorImage& attributes, BYTE id);

// Raw bytes 0-3 of the first entry with this ID, unsigned; -1 when no entry
// has it or the count is 0xFFFFFFFF, which drives send for "no count".
VORNHDD_API long long unsignedCount(const SectorImage& attributes, BYTE id);

} // namespace vorn::smart
