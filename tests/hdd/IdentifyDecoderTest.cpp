#include "IdentifyDecoder.h"
#include "CHddInfo.h"

#include "SectorBuilder.h"

#include <gtest/gtest.h>

using namespace vorn::identify;
using testimg::setQword;
using testimg::setText;
using testimg::setWord;

namespace {

constexpr int kModel = kModelOffset;

TEST(IdentifyTransferMode, DecodesEveryModeTable) {
    struct Row {
        WORD word76;
        WORD word88;
        int current;
        const char* parallel;
        const char* serial;
        const char* chosen;
    };
    const Row rows[] = {
        // Ultra DMA: low byte supported, high byte selected, top bit wins.
        {0x0000, 0x407F, 0, "Ultra DMA/133 (133MB/s)", "-", "Ultra DMA/133 (133MB/s)"},
        {0x0000, 0x203F, 0, "Ultra DMA/100 (100MB/s)", "-", "Ultra DMA/100 (100MB/s)"},
        {0x0000, 0x041F, 1, "Ultra DMA/33 (33MB/s)", "-", "Ultra DMA/33 (33MB/s)"},
        {0x0000, 0x0010, 0, "Ultra DMA/66 (66MB/s)", "-", "Ultra DMA/66 (66MB/s)"},
        {0x0000, 0x0008, 0, "Ultra DMA/44 (44MB/s)", "-", "Ultra DMA/44 (44MB/s)"},
        {0x0000, 0x0002, 0, "Ultra DMA/25 (25MB/s)", "-", "Ultra DMA/25 (25MB/s)"},
        {0x0000, 0x0001, 0, "Ultra DMA/16 (16MB/s)", "-", "Ultra DMA/16 (16MB/s)"},
        {0x0000, 0x0000, 0, "-", "-", "-"},
        {0x0000, 0x007F, 1, "-", "-", "-"}, // nothing selected
        {0x0000, 0x8080, 0, "-", "-", "-"}, // bits 7 and 15 name no mode
        // Serial ATA: bits 4..1 of word 76; the mode in use is never known.
        {0x0106, 0x407F, 0, "Ultra DMA/133 (133MB/s)", "Ultra SATA/3000 (300MB/s)",
         "Ultra SATA/3000 (300MB/s)"},
        {0x0106, 0x407F, 1, "Ultra DMA/133 (133MB/s)", "-", "Ultra DMA/133 (133MB/s)"},
        {0x0010, 0x0000, 0, "-", "Unnone Ultra SATA", "Unnone Ultra SATA"},
        {0x000E, 0x0000, 0, "-", "Ultra SATA/6000 (600MB/s)", "Ultra SATA/6000 (600MB/s)"},
        {0x0002, 0x0000, 0, "-", "Ultra SATA/1500 (150MB/s)", "Ultra SATA/1500 (150MB/s)"},
        {0x0101, 0x0000, 0, "-", "-", "-"}, // serial, but no speed bit
        // 0xFFFF is no Serial ATA word for the chooser, yet the serial
        // decoder alone still reads its top bit.
        {0xFFFF, 0x0020, 0, "Ultra DMA/100 (100MB/s)", "Unnone Ultra SATA",
         "Ultra DMA/100 (100MB/s)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << "word76=" << row.word76
                                        << " word88=" << row.word88 << " current=" << row.current);
        SectorImage image{}; // word 82 clear: the mode decoders do not look at it
        setWord(image, 76, row.word76);
        setWord(image, 88, row.word88);
        EXPECT_EQ(parallelTransferMode(image, row.current), QString::fromLatin1(row.parallel));
        EXPECT_EQ(serialTransferMode(image, row.current), QString::fromLatin1(row.serial));
        EXPECT_EQ(transferMode(image, row.current), QString::fromLatin1(row.chosen));
    }
}

TEST(IdentifyCapacity, ChoosesByStrictComparisonTiesGoLater) {
    struct Row {
        const char* what;
        DWORD lba28;
        ULONGLONG lba48;
        WORD cylinders, heads, sectors;
        LONGLONG expected;
    };
    const LONGLONG chs = 16383LL * 16 * 63 * 512;
    const Row rows[] = {
        {"48-bit beats 28-bit", 0x0FFFFFFF, 976773168, 16383, 16, 63, 976773168LL * 512},
        {"48 = 28, 28 beats CHS", 20000000, 20000000, 16383, 16, 63, 20000000LL * 512},
        {"48 = 28 = CHS sectors: CHS wins the tie", 16383 * 16 * 63, 16383 * 16 * 63, 16383, 16, 63,
         chs},
        {"28-bit below CHS", 1000, 0, 16383, 16, 63, chs},
        {"only CHS", 0, 0, 100, 4, 32, 100LL * 4 * 32 * 512},
        {"48-bit below 28-bit", 3000000, 2000000, 0, 0, 0, 3000000LL * 512},
        {"all zero", 0, 0, 0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SectorImage image{};
        testimg::setDword(image, 120, row.lba28);
        setQword(image, 200, row.lba48);
        setWord(image, 1, row.cylinders);
        setWord(image, 3, row.heads);
        setWord(image, 6, row.sectors);
        EXPECT_EQ(chosenCapacity(image), row.expected);
    }
}

TEST(IdentifyCapacity, ByteCountsAndGigabytes) {
    SectorImage image{};
    testimg::setDword(image, 120, 0x0FFFFFFF);
    setQword(image, 200, 976773168);
    setWord(image, 21, 0x4000); // 8 MiB buffer
    CHddInfo info;
    info.m_Identify = image;
    EXPECT_EQ(info.Get48LBACapacityGB(), 465.76171875);
    EXPECT_EQ(info.Get28LBACapacity(), 0x0FFFFFFFLL * 512);
    EXPECT_EQ(info.Get28LBACapacityGB(), 127.9990234375); // 131071 whole MiB, the rest dropped
    EXPECT_EQ(info.GetBufferCapacity(), 8L * 1024 * 1024);

    // Largest CHS geometry: the 32-bit heads*sectors product must not wrap
    // before the multiplication by the cylinders.
    SectorImage chs{};
    setWord(chs, 1, 0xFFFF);
    setWord(chs, 3, 0xFFFF);
    setWord(chs, 6, 0xFFFF);
    EXPECT_EQ(capacityChs(chs), 0xFFFFLL * 0xFFFF * 0xFFFF * 512);

    // A count from a garbled sector whose bytes overflow is no capacity,
    // never a negative one.
    SectorImage huge{};
    setQword(huge, 200, 0xFFFFFFFFFFFFFFFFULL);
    EXPECT_EQ(capacity48(huge), 0);
    setQword(huge, 200, 1ULL << 54); // 2^63 bytes
    EXPECT_EQ(capacity48(huge), 0);
    setQword(huge, 200, (1ULL << 54) - 1);
    EXPECT_EQ(capacity48(huge), 0x7FFFFFFFFFFFFE00LL);
}

TEST(IdentifyVersion, MajorVersionAndInterface) {
    struct Row {
        WORD word82;
        WORD word80;
        WORD word76;
        const char* version;
        const char* interface;
    };
    const Row rows[] = {
        {0x0001, 0x01F0, 0x0106, "ATA8-ACS", "Serial ATA"},
        {0x0001, 0x007E, 0x0000, "ATA/ATAPI-6", "Parallel ATA"},
        {0x0001, 0x0002, 0xFFFF, "ATA-1", "Parallel ATA"},
        {0x0001, 0x000E, 0x0000, "ATA-3", "Parallel ATA"},
        {0x0001, 0x0010, 0x0000, "ATA/ATAPI-4", "Parallel ATA"},
        {0x0001, 0x7FFE, 0x0000, "ATA14-ACS", "Parallel ATA"},
        {0x0001, 0x0000, 0x0000, "-", "Parallel ATA"},
        {0x0001, 0xFFFF, 0x0000, "-", "Parallel ATA"},
        // Neither bit 0 nor bit 15 names a standard.
        {0x0001, 0x0001, 0x0000, "-", "Parallel ATA"},
        {0x0001, 0x8000, 0x0000, "-", "Parallel ATA"},
        {0x0001, 0x8001, 0x0000, "-", "Parallel ATA"},
        // Without S.M.A.R.T. support both read "-" whatever else is set.
        {0x0000, 0x01F0, 0x0106, "-", "-"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << "word80=" << row.word80);
        SectorImage image{};
        setWord(image, 82, row.word82);
        setWord(image, 80, row.word80);
        setWord(image, 76, row.word76);
        EXPECT_EQ(majorVersion(image), QString::fromLatin1(row.version));
        EXPECT_EQ(interfaceName(image), QString::fromLatin1(row.interface));
    }
}

TEST(IdentifyText, ModelAndMaker) {
    struct Row {
        std::string field; // 40 bytes are written, padded with blanks
        const char* model;
        const char* maker;
    };
    const Row rows[] = {
        {"WDC WD5000AAKS-00V1A0", "WDC WD5000AAKS-00V1A0", "WDC"},
        {"ST3500418AS", "ST3500418AS", "ST3500418AS"},
        {"  Hitachi HDT721010SLA360", "Hitachi HDT721010SLA360", ""},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd",
         ""},
        {"SAMSUNG    HD501LJ  X   Y", "SAMSUNG HD501LJ X Y", "SAMSUNG"},
        {"", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.field);
        SectorImage image{};
        setText(image, kModel, kModelLength, row.field);
        EXPECT_EQ(modelNumber(image), QString::fromLatin1(row.model));
        EXPECT_EQ(manufacturer(image), QString::fromLatin1(row.maker));
    }
}

TEST(IdentifyText, FieldsEndAtZeroOrAtTheirLength) {
    SectorImage image{};
    setText(image, kSerialOffset, kSerialLength, "  WD-WCAV12345678    ");
    setText(image, kFirmwareOffset, kFirmwareLength, "01.03B01");
    // Bytes right behind the full fields must not leak into them.
    image[kSerialOffset + kSerialLength] = 'X';
    image[kModelOffset + kModelLength] = 'X';
    setText(image, kModel, kModelLength, std::string(40, 'M'));
    EXPECT_EQ(serialNumber(image), QStringLiteral("WD-WCAV12345678"));
    EXPECT_EQ(firmwareRevision(image), QStringLiteral("01.03B01"));
    EXPECT_EQ(modelNumber(image), QString(40, QLatin1Char('M')));

    // A zero byte ends the text even with more characters behind it.
    image[kModel + 5] = 0;
    EXPECT_EQ(modelNumber(image), QStringLiteral("MMMMM"));
}

TEST(IdentifyText, BytesOutsideAsciiGoThroughTheCodePage) {
    SectorImage image{};
    // UTF-8 serves as the system code page: a valid sequence becomes its
    // character, a stray byte the replacement character.
    setText(image, kModel, kModelLength,
            "Dr\xC3\xA9ve \xFF"
            "1");
    EXPECT_EQ(modelNumber(image), QString::fromUtf8("Dr\xC3\xA9ve \xEF\xBF\xBD"
                                                    "1"));
    EXPECT_EQ(manufacturer(image), QString::fromUtf8("Dr\xC3\xA9ve"));

    // A multibyte sequence cut by the field's end must not read past it.
    SectorImage cut{};
    setText(cut, kFirmwareOffset, kFirmwareLength, "1234567\xE3");
    cut[kFirmwareOffset + kFirmwareLength] = 0x81;
    cut[kFirmwareOffset + kFirmwareLength + 1] = 0x82;
    EXPECT_EQ(firmwareRevision(cut), QString::fromUtf8("1234567\xEF\xBF\xBD"));
}

TEST(IdentifyImage, SmartFlagsAndAssignment) {
    CHddInfo info;
    EXPECT_EQ(info.m_Identify, SectorImage{}) << "a new object decodes as an empty image";
    EXPECT_FALSE(info.SupportSMART());
    setWord(info.m_Identify, 82, 0x4001);
    setWord(info.m_Identify, 85, 0x4000); // supported, switched off
    EXPECT_TRUE(info.SupportSMART());
    EXPECT_FALSE(info.EnableSMART());
    // The programs patch the image after switching S.M.A.R.T. themselves.
    info.m_Identify[170] |= 1;
    EXPECT_TRUE(info.EnableSMART());

    CHddInfo copy;
    copy = info;
    EXPECT_EQ(copy.m_Identify, info.m_Identify);
}

TEST(IdentifyText, SwapBackRecognisesOnlyTheKnownMakers) {
    const struct {
        const char* sentModel;
        bool swapBack;
    } rows[] = {
        {"WDC WD5000AAKS", true}, {"Maxtor 6Y080L0", true}, {"Hitachi HDS72", true},
        {"SAMSUNG HD501", true},  {"TOSHIBA MK2", true},    {"FUJITSU MHV2", true},
        {"ST3500418AS", false},   {"WDC-X", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sentModel);
        // The device sent the text in reading order; the read swapped it.
        SectorImage image{};
        testimg::setDeviceText(image, kModel, kModelLength, row.sentModel);
        EXPECT_EQ(modelNeedsSwapBack(image), row.swapBack);
    }
}

} // namespace

namespace {

TEST(IdentifySectorSize, Words106And117DecideTheLogicalSize) {
    const struct {
        const char* what;
        WORD word106;
        DWORD words117;
        LONGLONG expected;
    } rows[] = {
        {"4Kn: valid, long logical sectors of 2048 words", 0x5000, 2048, 4096},
        {"512e: several logical per physical, logical ones short", 0x6003, 0, 512},
        {"bit 15 set: the word is not valid", 0xD000, 2048, 512},
        {"bit 14 clear: the word is not valid", 0x1000, 2048, 512},
        {"long sectors of no stated size", 0x5000, 0, 512},
        {"256 words are not longer than 256", 0x5000, 256, 512},
        {"a size no drive has", 0x5000, 0x01000000, 512},
        {"520-byte sectors", 0x5000, 260, 520},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SectorImage image{};
        setWord(image, 106, row.word106);
        testimg::setDword(image, 234, row.words117);
        EXPECT_EQ(logicalSectorSize(image), row.expected);
    }
}

TEST(IdentifySectorSize, CapacityOfA4KnDiskIsExact) {
    // An 8 TB disk of 4096-byte sectors: 1,953,506,646 of them.
    SectorImage image{};
    setWord(image, 106, 0x5000);
    testimg::setDword(image, 234, 2048);
    testimg::setDword(image, 120, 0x0FFFFFFF);
    setQword(image, 200, 1953506646);
    EXPECT_EQ(capacity48(image), 8001563222016LL);
    EXPECT_EQ(chosenCapacity(image), 8001563222016LL);
    EXPECT_EQ(capacity28(image), 0x0FFFFFFFLL * 4096);
    // A count whose bytes overflow in 4096-byte sectors is no capacity.
    setQword(image, 200, 0x0008000000000000ULL);
    EXPECT_EQ(capacity48(image), 0);
}

} // namespace
