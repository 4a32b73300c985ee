// Baseline files of any content against a disk that repeats an id: the
// records land by id and occurrence, and a written file reads back to itself.
#include "FuzzInput.h"

#include "BaselineFile.h"
#include "CheckerDisk.h"

#include <cstring>

using namespace vorn::checker;

namespace {

// Attribute entries of 12 bytes from offset 2: id, flags (2), current, worst.
void setAttribute(SectorImage* data, SectorImage* thresholds, int k, BYTE id, BYTE current) {
    BYTE* entry = data->data() + 2 + 12 * k;
    entry[0] = id;
    entry[3] = current;
    entry[4] = current;
    BYTE* threshold = thresholds->data() + 2 + 12 * k;
    threshold[0] = id;
    threshold[1] = 10;
}

void makeDisk(CDisk* disk) {
    SectorImage& identify = disk->m_HddInfo.m_Identify;
    identify.fill(0);
    std::memcpy(identify.data() + 20, "1RESAIRL", 8);
    identify[170] = 0x01; // S.M.A.R.T. enabled (word 85 bit 0)
    identify[164] = 0x01; // supported (word 82 bit 0)
    disk->m_HddInfo.SwapTextFields();
    disk->m_HddSmart.m_Attribute.fill(0);
    disk->m_HddSmart.m_Threshold.fill(0);
    const BYTE ids[] = {1, 5, 9, 5, 194, 197, 5};
    for (int k = 0; k < int(sizeof ids); ++k)
        setAttribute(&disk->m_HddSmart.m_Attribute, &disk->m_HddSmart.m_Threshold, k, ids[k],
                     BYTE(100 - k));
    disk->GetDisplayAttribute();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QByteArray file = input.rest();
    CDisk disk;
    makeDisk(&disk);
    ApplyBaseline(file, &disk);
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        FUZZ_REQUIRE(record->m_nInit >= record->m_nCurrent);
        FUZZ_REQUIRE(record->m_nInit >= -32768 && record->m_nInit <= 32767);
    }
    const QByteArray written = EncodeBaseline(disk);
    FUZZ_REQUIRE(written.size() <= kBaselineMaxBytes);
    CDisk again;
    makeDisk(&again);
    ApplyBaseline(written, &again);
    FUZZ_REQUIRE(EncodeBaseline(again) == written);
    return 0;
}
