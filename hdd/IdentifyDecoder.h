#pragma once

#include "IdentifyLayout.h"
#include "SectorImage.h"
#include "VornHddExport.h"

#include <QString>

// Decoders of the IDENTIFY DEVICE sector. Each reads the image it is given
// and nothing else; the text fields are expected in reading order (the byte
// pairs already exchanged after the read).
namespace vorn::identify {

// The offsets of the fields are IdentifyLayout.h's.

VORNHDD_API bool supportsSmart(const SectorImage& image); // word 82 bit 0
VORNHDD_API bool smartEnabled(const SectorImage& image);  // word 85 bit 0

// The field's bytes up to the first zero byte (or the whole field), taken
// from the system's multibyte code page; no trimming.
VORNHDD_API QString textField(const SectorImage& image, int offset, int length);

VORNHDD_API QString serialNumber(const SectorImage& image);
VORNHDD_API QString firmwareRevision(const SectorImage& image);
VORNHDD_API QString modelNumber(const SectorImage& image);
VORNHDD_API QString manufacturer(const SectorImage& image);

VORNHDD_API long bufferCapacity(const SectorImage& image);
// Bytes per logical sector: words 117-118 (in words) where word 106 is valid
// (bit 14 set, bit 15 clear) and says the sector is longer than 256 words
// (bit 12); else 512. The 28- and 48-bit capacities count in these sectors.
VORNHDD_API LONGLONG logicalSectorSize(const SectorImage& image);
VORNHDD_API LONGLONG capacity28(const SectorImage& image);
VORNHDD_API LONGLONG capacity48(const SectorImage& image);
VORNHDD_API LONGLONG capacityChs(const SectorImage& image);
// The 48-bit figure if it beats the 28-bit one, else the 28-bit figure if
// it beats CHS, else CHS: a tie goes to the later candidate.
VORNHDD_API LONGLONG chosenCapacity(const SectorImage& image);
// Gigabytes of 1024^3 bytes with a resolution of 1/1024.
VORNHDD_API double toGigabytes(LONGLONG bytes);

VORNHDD_API QString majorVersion(const SectorImage& image);
VORNHDD_API QString interfaceName(const SectorImage& image);
VORNHDD_API QString transferMode(const SectorImage& image, int current);
VORNHDD_API QString parallelTransferMode(const SectorImage& image, int current);
VORNHDD_API QString serialTransferMode(const SectorImage& image, int current);

// True when the first four model bytes show that the device sent its texts
// already in reading order, so the swap after the read scrambled them.
VORNHDD_API bool modelNeedsSwapBack(const SectorImage& image);

} // namespace vorn::identify
