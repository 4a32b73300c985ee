#include "AtaIdentifyImage.h"

#include <QRegularExpression>

#include <algorithm>

namespace realworld {

namespace {

constexpr std::uint64_t kLba28Limit = 0x0FFFFFFF;

void putWord(QByteArray* s, int word, unsigned value) {
    (*s)[2 * word] = char(value & 0xFF);
    (*s)[2 * word + 1] = char((value >> 8) & 0xFF);
}

// Two characters per word, the first in the high byte; smartctl prints the
// bytes as they come, so a model that is not ASCII keeps its Latin-1 bytes.
void putText(QByteArray* s, int word, int words, const QString& text) {
    QByteArray bytes = text.toLatin1().left(words * 2);
    bytes = bytes.leftJustified(words * 2, ' ');
    for (int k = 0; k < words; ++k)
        putWord(s, word + k,
                (unsigned(std::uint8_t(bytes[2 * k])) << 8) | std::uint8_t(bytes[2 * k + 1]));
}

int log2Of(int ratio) {
    int n = 0;
    while (ratio > 1) {
        ratio >>= 1;
        ++n;
    }
    return n;
}

} // namespace

int majorVersionBit(const QString& ataVersion) {
    static const QRegularExpression acs(QStringLiteral("^ACS-(\\d+)"));
    static const QRegularExpression atapi(QStringLiteral("^ATA/ATAPI-(\\d)"));
    static const QRegularExpression ata(QStringLiteral("^ATA-(\\d)"));
    if (const auto m = acs.match(ataVersion); m.hasMatch())
        return std::min(7 + m.captured(1).toInt(), 14);
    if (ataVersion.startsWith(QLatin1String("ATA8-ACS")))
        return 8;
    if (const auto m = atapi.match(ataVersion); m.hasMatch())
        return m.captured(1).toInt();
    if (const auto m = ata.match(ataVersion); m.hasMatch())
        return m.captured(1).toInt();
    return 0;
}

QByteArray ataIdentifySector(const AtaIdentity& id) {
    QByteArray s(512, '\0');
    const std::uint64_t cylinders = std::min<std::uint64_t>(id.sectors / (16 * 63), 16383);
    putWord(&s, 0, 0x0040); // fixed device
    putWord(&s, 1, unsigned(cylinders));
    putWord(&s, 3, 16);
    putWord(&s, 6, 63);
    // Serial numbers are right-aligned in their field by most drives.
    putText(&s, 10, 10, id.serial.rightJustified(20, QLatin1Char(' '), true));
    putText(&s, 23, 4, id.firmware);
    putText(&s, 27, 20, id.model);
    putWord(&s, 47, 0x8010);
    putWord(&s, 49, 0x0F00); // LBA, DMA, IORDY
    putWord(&s, 50, 0x4000);
    putWord(&s, 53, 0x0007);
    putWord(&s, 60, unsigned(std::min(id.sectors, kLba28Limit) & 0xFFFF));
    putWord(&s, 61, unsigned(std::min(id.sectors, kLba28Limit) >> 16));
    putWord(&s, 63, 0x0007);
    putWord(&s, 64, 0x0003);
    for (int word = 65; word <= 68; ++word)
        putWord(&s, word, 0x0078);

    if (id.sataGeneration > 0) {
        putWord(&s, 75, 0x001F);
        unsigned speeds = 0;
        for (int g = 1; g <= std::min(id.sataGeneration, 3); ++g)
            speeds |= 1u << g;
        putWord(&s, 76, 0x0100 | speeds); // NCQ and the speeds
        if (id.sataCurrentGeneration > 0)
            putWord(&s, 77, unsigned(std::min(id.sataCurrentGeneration, 3)) << 1);
    }
    unsigned major = 0;
    for (int bit = std::min(4, id.majorVersion); bit <= id.majorVersion && bit > 0; ++bit)
        major |= 1u << bit;
    putWord(&s, 80, major);

    const unsigned gpl = id.generalPurposeLogging ? 0x0020 : 0;
    const unsigned supported82 = 0x4000 | 0x0040 | 0x0020 | 0x0001;
    const unsigned supported83 = 0x4000 | 0x1000 | (id.lba48 ? 0x2400 : 0);
    putWord(&s, 82, supported82);
    putWord(&s, 83, supported83);
    putWord(&s, 84, 0x4000 | 0x0003 | gpl);
    putWord(&s, 85, supported82 & (id.smartEnabled ? 0xFFFF : 0xFFFE));
    putWord(&s, 86, supported83 & ~0x4000u);
    putWord(&s, 87, 0x4000 | 0x0003 | gpl);
    putWord(&s, 88, 0x407F);
    if (id.sataGeneration == 0)
        putWord(&s, 93, 0x600B); // an 80-conductor cable
    if (id.lba48) {
        for (int k = 0; k < 4; ++k)
            putWord(&s, 100 + k, unsigned((id.sectors >> (16 * k)) & 0xFFFF));
    }

    unsigned sizes = 0x4000;
    if (id.physicalSectorSize > id.logicalSectorSize)
        sizes |= 0x2000 | unsigned(log2Of(id.physicalSectorSize / id.logicalSectorSize));
    if (id.logicalSectorSize > 512) {
        sizes |= 0x1000;
        const unsigned words = unsigned(id.logicalSectorSize / 2);
        putWord(&s, 117, words & 0xFFFF);
        putWord(&s, 118, words >> 16);
    }
    putWord(&s, 106, sizes);
    putWord(&s, 217, unsigned(id.rotation));
    if (id.sataGeneration > 0)
        putWord(&s, 222, 0x103F);

    s[510] = char(0xA5);
    std::uint8_t sum = 0;
    for (int i = 0; i < 511; ++i)
        sum = std::uint8_t(sum + std::uint8_t(s[i]));
    s[511] = char(std::uint8_t(0x100 - sum));
    return s;
}

} // namespace realworld
