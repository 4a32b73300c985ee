#include "IdentifyDecoder.h"

#include "MultibyteText.h"

#include <cstring>

namespace vorn::identify {

using vorn::hdd::identifyWord;
using vorn::le::read32;
using vorn::le::read64;

namespace {

constexpr LONGLONG kSectorSize = 512;
constexpr int kWordSectorSizes = 106;
constexpr int kWordLogicalSectorWords = 117; // two words
// Beyond this a word count is a garbled sector, not a disk: no drive has
// sectors anywhere near a megabyte.
constexpr DWORD kMaxLogicalSectorWords = 0x80000;

bool isSerialAta(const SectorImage& image) {
    const WORD word = identifyWord(image, kWordSerialAta);
    return word != 0x0000 && word != 0xFFFF;
}

// Highest set bit of value among bits from..to (from > to), or -1.
int highestBit(unsigned value, int from, int to) {
    for (int bit = from; bit >= to; --bit) {
        if (value & (1u << bit))
            return bit;
    }
    return -1;
}

LONGLONG bytesFromSectors(ULONGLONG sectors, LONGLONG sectorSize = kSectorSize) {
    // A count from a garbled sector whose byte count does not fit a signed
    // 64-bit number is no capacity at all: 0, never a wrapped negative size.
    const ULONGLONG size = static_cast<ULONGLONG>(sectorSize);
    const ULONGLONG maxSectors = 0x7FFFFFFFFFFFFFFFULL / size;
    return sectors > maxSectors ? 0 : static_cast<LONGLONG>(sectors * size);
}

} // namespace

bool supportsSmart(const SectorImage& image) {
    return identifyWord(image, kWordSmartSupported) & 1;
}

bool smartEnabled(const SectorImage& image) {
    return identifyWord(image, kWordSmartEnabled) & 1;
}

QString textField(const SectorImage& image, int offset, int length) {
    if (offset < 0 || length < 0 || static_cast<std::size_t>(offset) + length > image.size())
        return QString();
    // One byte longer than the field so that a field without a zero byte
    // still ends inside the buffer.
    char field[kModelLength + 1] = {};
    const int copied = length < kModelLength ? length : kModelLength;
    std::memcpy(field, image.data() + offset, static_cast<std::size_t>(copied));
    return vorn::hdd::fromMultibyte(field);
}

QString serialNumber(const SectorImage& image) {
    return textField(image, kSerialOffset, kSerialLength).trimmed();
}

QString firmwareRevision(const SectorImage& image) {
    return textField(image, kFirmwareOffset, kFirmwareLength).trimmed();
}

QString modelNumber(const SectorImage& image) {
    QString model = textField(image, kModelOffset, kModelLength);
    if (model.isEmpty())
        return model;
    model = model.trimmed();
    const QString twoBlanks = QStringLiteral("  ");
    while (model.contains(twoBlanks))
        model.replace(twoBlanks, QStringLiteral(" "));
    return model;
}

QString manufacturer(const SectorImage& image) {
    const QString model = textField(image, kModelOffset, kModelLength);
    const qsizetype blank = model.indexOf(QLatin1Char(' '));
    // No blank at all, or a blank first: no maker word to take.
    if (blank <= 0)
        return QString();
    return model.left(blank);
}

long bufferCapacity(const SectorImage& image) {
    return static_cast<long>(identifyWord(image, kWordBufferSize)) * 512;
}

LONGLONG logicalSectorSize(const SectorImage& image) {
    const WORD sizes = identifyWord(image, kWordSectorSizes);
    const bool valid = (sizes & 0xC000) == 0x4000;
    if (!valid || !(sizes & 0x1000))
        return kSectorSize;
    const DWORD words = read32(image.data(), image.size(), byteOfWord(kWordLogicalSectorWords));
    // Longer than 256 words is what bit 12 says; anything else is no size.
    if (words <= 256 || words > kMaxLogicalSectorWords)
        return kSectorSize;
    return static_cast<LONGLONG>(words) * 2;
}

LONGLONG capacity28(const SectorImage& image) {
    return bytesFromSectors(read32(image.data(), image.size(), byteOfWord(kWordLba28Sectors)),
                            logicalSectorSize(image));
}

LONGLONG capacity48(const SectorImage& image) {
    return bytesFromSectors(read64(image.data(), image.size(), byteOfWord(kWordLba48Sectors)),
                            logicalSectorSize(image));
}

LONGLONG capacityChs(const SectorImage& image) {
    const DWORD headsTimesSectors = static_cast<DWORD>(identifyWord(image, kWordHeads)) *
                                    identifyWord(image, kWordSectorsPerTrack);
    return static_cast<LONGLONG>(headsTimesSectors) * identifyWord(image, kWordCylinders) *
           kSectorSize;
}

LONGLONG chosenCapacity(const SectorImage& image) {
    const LONGLONG lba48 = capacity48(image);
    const LONGLONG lba28 = capacity28(image);
    const LONGLONG chs = capacityChs(image);
    if (lba48 > lba28)
        return lba48;
    if (lba28 > chs)
        return lba28;
    return chs;
}

double toGigabytes(LONGLONG bytes) {
    const auto megabytes = static_cast<DWORD>(bytes / 1048576);
    return megabytes / 1024.0;
}

QString majorVersion(const SectorImage& image) {
    const WORD word = identifyWord(image, kWordMajorVersion);
    if (!supportsSmart(image) || word == 0x0000 || word == 0xFFFF)
        return QStringLiteral("-");
    const int n = highestBit(word, 14, 1);
    if (n < 0)
        return QStringLiteral("-"); // only bit 0 and/or bit 15: no standard named
    if (n <= 3)
        return QStringLiteral("ATA-%1").arg(n);
    if (n <= 7)
        return QStringLiteral("ATA/ATAPI-%1").arg(n);
    return QStringLiteral("ATA%1-ACS").arg(n);
}

QString interfaceName(const SectorImage& image) {
    if (!supportsSmart(image))
        return QStringLiteral("-");
    return isSerialAta(image) ? QStringLiteral("Serial ATA") : QStringLiteral("Parallel ATA");
}

QString transferMode(const SectorImage& image, int current) {
    if (current != 0)
        return parallelTransferMode(image, current);
    return isSerialAta(image) ? serialTransferMode(image, 0) : parallelTransferMode(image, 0);
}

QString parallelTransferMode(const SectorImage& image, int current) {
    static const char* const kModes[] = {
        "Ultra DMA/16 (16MB/s)",   "Ultra DMA/25 (25MB/s)", "Ultra DMA/33 (33MB/s)",
        "Ultra DMA/44 (44MB/s)",   "Ultra DMA/66 (66MB/s)", "Ultra DMA/100 (100MB/s)",
        "Ultra DMA/133 (133MB/s)",
    };
    const WORD word = identifyWord(image, kWordUltraDma);
    const unsigned modes = current == 0 ? (word & 0xFF) : (word >> 8);
    const int bit = highestBit(modes, 6, 0);
    return bit < 0 ? QStringLiteral("-") : QString::fromLatin1(kModes[bit]);
}

QString serialTransferMode(const SectorImage& image, int current) {
    static const char* const kSpeeds[] = {
        "Ultra SATA/1500 (150MB/s)",
        "Ultra SATA/3000 (300MB/s)",
        "Ultra SATA/6000 (600MB/s)",
        "Unnone Ultra SATA",
    };
    if (current != 0)
        return QStringLiteral("-");
    const int bit = highestBit(identifyWord(image, kWordSerialAta), 4, 1);
    return bit < 0 ? QStringLiteral("-") : QString::fromLatin1(kSpeeds[bit - 1]);
}

bool modelNeedsSwapBack(const SectorImage& image) {
    static const char kCodes[][5] = {"DW C", "aMtx", "iHat", "ASSM", "OTHS", "UFIJ"};
    for (const char* code : kCodes) {
        if (std::memcmp(image.data() + kModelOffset, code, 4) == 0)
            return true;
    }
    return false;
}

} // namespace vorn::identify
