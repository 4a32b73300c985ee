#include "SelfTestLog.h"

#include <gtest/gtest.h>

#include <limits>

#include "SectorBuilder.h"

#include <array>
#include <vector>

// The offsets are written out as numbers, not taken from the decoder's
// constants: a table that moved with a wrong constant would still pass.
namespace {

using namespace vorn::hdd;
using Sector = std::array<BYTE, 512>;

TEST(AtaSelfTestData, CapabilitiesAndPollingTimes) {
    struct Case {
        BYTE capability;   // byte 367
        BYTE shortByte;    // 372
        BYTE extendedByte; // 373
        BYTE conveyance;   // 374
        WORD extendedWord; // 375-376
        bool shortTest, conveyanceTest;
        int shortMinutes, extendedMinutes, conveyanceMinutes;
    };
    const Case cases[] = {
        {0x00, 2, 54, 5, 0, false, false, 0, 0, 0},          // no self-test bit: times mean nothing
        {0x19, 2, 54, 1, 0, true, false, 2, 54, 0},          // as QEMU's IDE disk answers
        {0x7B, 1, 0xFF, 3, 512, true, true, 1, 512, 3},      // FFh: the word holds the time
        {0x3B, 2, 0xFF, 2, 0xFFFF, true, true, 2, 65535, 2}, // the whole word is minutes
        {0x20, 2, 54, 4, 0, false, true, 0, 0, 4},           // conveyance without the pair
    };
    for (const Case& c : cases) {
        Sector data{};
        data[367] = c.capability;
        data[372] = c.shortByte;
        data[373] = c.extendedByte;
        data[374] = c.conveyance;
        data[375] = BYTE(c.extendedWord);
        data[376] = BYTE(c.extendedWord >> 8);
        const SelfTestCapabilities caps = ataSelfTestCapabilities(data.data(), data.size());
        SCOPED_TRACE(int(c.capability));
        EXPECT_EQ(caps.shortTest, c.shortTest);
        EXPECT_EQ(caps.extendedTest, c.shortTest);
        EXPECT_EQ(caps.conveyanceTest, c.conveyanceTest);
        EXPECT_EQ(caps.minutes(SelfTestKind::Short), c.shortMinutes);
        EXPECT_EQ(caps.minutes(SelfTestKind::Extended), c.extendedMinutes);
        EXPECT_EQ(caps.minutes(SelfTestKind::Conveyance), c.conveyanceMinutes);
    }
    // A sector cut short before the fields offers nothing.
    Sector data{};
    data[367] = 0x19;
    EXPECT_FALSE(ataSelfTestCapabilities(data.data(), 367).any());
}

TEST(AtaSelfTestData, ExecutionStatusByte) {
    struct Case {
        BYTE byte;
        bool running;
        int status, remaining;
        bool failed;
    };
    const Case cases[] = {
        {0x00, false, 0, 0, false},   {0xF9, true, 15, 90, false}, {0xF1, true, 15, 10, false},
        {0xF0, true, 15, 0, false},   {0x10, false, 1, 0, false},  {0x24, false, 2, 0, false},
        {0x74, false, 7, 0, true},    {0x30, false, 3, 0, true},   {0x80, false, 8, 0, true},
        {0x90, false, 9, 0, false},   // reserved: no failure claimed
        {0xFF, true, 15, 100, false}, // a nibble above 9 is capped, not 150 %
    };
    for (const Case& c : cases) {
        const SelfTestProgress p = ataSelfTestProgress(c.byte);
        SCOPED_TRACE(int(c.byte));
        EXPECT_EQ(p.running, c.running);
        EXPECT_EQ(p.statusCode, c.status);
        EXPECT_EQ(p.remainingPercent, c.remaining);
        EXPECT_EQ(p.failed, c.failed);
    }
}

TEST(AtaSelfTestData, TestTypeNames) {
    EXPECT_EQ(ataSelfTestTypeName(0x00), QStringLiteral("offline"));
    EXPECT_EQ(ataSelfTestTypeName(0x01), QStringLiteral("short"));
    EXPECT_EQ(ataSelfTestTypeName(0x82), QStringLiteral("extended")); // captive form
    EXPECT_EQ(ataSelfTestTypeName(0x83), QStringLiteral("conveyance"));
    EXPECT_EQ(ataSelfTestTypeName(0x04), QStringLiteral("selective"));
    EXPECT_EQ(ataSelfTestTypeName(0x7F), QStringLiteral("127"));
    EXPECT_EQ(ataSelfTestTypeName(0x40), QStringLiteral("64")); // vendor specific
    EXPECT_EQ(selfTestKindFromName(QStringLiteral("extended")), SelfTestKind::Extended);
    EXPECT_FALSE(selfTestKindFromName(QStringLiteral("offline")));
}

// One descriptor of log 06h at slot (0-20): byte 0 the routine, 1 the
// status byte, 2-3 hours, 5-8 the LBA.
void put06(Sector& log, int slot, BYTE routine, BYTE status, WORD hours, DWORD lba) {
    const std::size_t at = 2 + 24 * std::size_t(slot);
    log[at] = routine;
    log[at + 1] = status;
    testimg::setWord(log, 0, 1);
    log[at + 2] = BYTE(hours);
    log[at + 3] = BYTE(hours >> 8);
    testimg::setDword(log, at + 5, lba);
}

TEST(AtaSelfTestLog, NewestFirstAroundTheRing) {
    Sector log{};
    // 23 tests ran: slots 0 and 1 were written over by the 22nd and 23rd.
    for (int slot = 0; slot < 21; ++slot)
        put06(log, slot, 0x01, 0x00, WORD(100 + slot), 0xFFFFFFFF);
    put06(log, 0, 0x02, 0x74, 500, 0x0ABCDEF1); // read failure, 40 % left
    put06(log, 1, 0x81, 0x10, 501, 0);          // captive short aborted by host
    log[508] = 2;
    const std::vector<SelfTestEntry> entries = ataSelfTestLog(log.data(), log.size());
    ASSERT_EQ(entries.size(), 21u);
    EXPECT_EQ(entries[0].number, 1);
    EXPECT_EQ(entries[0].type, QStringLiteral("short"));
    EXPECT_EQ(entries[0].statusCode, 1);
    EXPECT_EQ(entries[0].powerOnHours, 501);
    EXPECT_FALSE(entries[0].firstErrorLba); // an abort is no failure, LBA 0 or not
    EXPECT_EQ(entries[1].type, QStringLiteral("extended"));
    EXPECT_EQ(entries[1].statusCode, 7);
    EXPECT_EQ(entries[1].remainingPercent, 40);
    EXPECT_TRUE(entries[1].failed);
    EXPECT_EQ(entries[1].firstErrorLba, 0x0ABCDEF1u);
    EXPECT_EQ(entries[1].status, QStringLiteral("failed: read element"));
    EXPECT_EQ(entries[2].powerOnHours, 120); // slot 20, the oldest kept
    EXPECT_EQ(entries[20].powerOnHours, 102);
    EXPECT_EQ(entries[20].number, 21);
}

TEST(AtaSelfTestLog, EmptyAndBrokenLogs) {
    Sector log{};
    EXPECT_TRUE(ataSelfTestLog(log.data(), log.size()).empty()); // index 0: none ran
    put06(log, 0, 0x01, 0x00, 7, 0xFFFFFFFF);
    log[508] = 1;
    EXPECT_EQ(ataSelfTestLog(log.data(), log.size()).size(), 1u); // empty slots end the list
    log[508] = 22;                                                // beyond the ring
    EXPECT_TRUE(ataSelfTestLog(log.data(), log.size()).empty());
    log[508] = 1;
    EXPECT_TRUE(ataSelfTestLog(log.data(), 511).empty());
    // A failure with the all-ones LBA names no LBA.
    put06(log, 0, 0x01, 0x50, 7, 0xFFFFFFFF);
    const auto entries = ataSelfTestLog(log.data(), log.size());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].failed);
    EXPECT_FALSE(entries[0].firstErrorLba);
}

TEST(AtaExtSelfTestLog, DescriptorsAcrossPagesWith48BitLba) {
    std::vector<BYTE> log(1024, 0);
    log[0] = 1;
    // Descriptor k: page k / 19, 4 + 26 (k % 19); the index counts from 1.
    const auto put = [&](std::size_t k, BYTE routine, BYTE status, WORD hours, std::uint64_t lba) {
        BYTE* d = log.data() + (k / 19) * 512 + 4 + 26 * (k % 19);
        d[0] = routine;
        d[1] = status;
        d[2] = BYTE(hours);
        d[3] = BYTE(hours >> 8);
        for (int i = 0; i < 6; ++i)
            d[5 + i] = BYTE(lba >> (8 * i));
    };
    for (std::size_t k = 0; k < 20; ++k)
        put(k, 0x01, 0x00, WORD(k + 1), 0xFFFFFFFFFFFF);
    put(19, 0x02, 0x70, 77, 0x123456789ABCull); // first descriptor of page 1
    log[2] = 20;
    const auto entries = ataExtSelfTestLog(log.data(), log.size());
    ASSERT_EQ(entries.size(), 20u);
    EXPECT_EQ(entries[0].type, QStringLiteral("extended"));
    EXPECT_EQ(entries[0].powerOnHours, 77);
    EXPECT_EQ(entries[0].firstErrorLba, 0x123456789ABCull);
    EXPECT_EQ(entries[1].powerOnHours, 19);
    EXPECT_EQ(entries[19].powerOnHours, 1);
    // Only page 0 read: the index points past it and nothing is made up.
    EXPECT_TRUE(ataExtSelfTestLog(log.data(), 512).empty());
}

// A summary error entry at slot: the failing command in the fifth command
// structure (bytes 48-59), the error data at 60-89.
void putSummaryError(Sector& log, int slot, BYTE command, BYTE feature, DWORD lba, WORD hours) {
    const std::size_t e = 2 + 90 * std::size_t(slot);
    log[e + 48 + 1] = feature;
    log[e + 48 + 7] = command;
    log[e + 0 + 7] = 0xC8;  // an older command before it, never the one reported
    log[e + 60 + 1] = 0x40; // UNC
    log[e + 60 + 3] = BYTE(lba);
    log[e + 60 + 4] = BYTE(lba >> 8);
    log[e + 60 + 5] = BYTE(lba >> 16);
    log[e + 60 + 6] = BYTE(0xE0 | ((lba >> 24) & 0x0F));
    log[e + 60 + 7] = 0x51;
    log[e + 60 + 28] = BYTE(hours);
    log[e + 60 + 29] = BYTE(hours >> 8);
}

TEST(AtaSummaryErrorLog, CountAndNewestEntries) {
    Sector log{};
    log[0] = 1;
    putSummaryError(log, 3, 0x25, 0x00, 0x0FEDCBA9, 300);
    putSummaryError(log, 4, 0xC8, 0x00, 0x00000010, 310);
    putSummaryError(log, 0, 0x60, 0x08, 0x00123456, 320); // the newest, after the wrap
    log[1] = 1;
    log[452] = 0x2C; // 300 errors counted in all
    log[453] = 0x01;
    const ErrorLog errors = ataSummaryErrorLog(log.data(), log.size());
    EXPECT_EQ(errors.count, 300);
    ASSERT_EQ(errors.entries.size(), 3u); // the empty slots 1 and 2 end the walk
    EXPECT_EQ(errors.entries[0].command, 0x60);
    EXPECT_EQ(errors.entries[0].feature, 0x08);
    EXPECT_EQ(errors.entries[0].lba, 0x00123456u);
    EXPECT_EQ(errors.entries[0].powerOnHours, 320);
    EXPECT_EQ(errors.entries[0].error, 0x40);
    EXPECT_EQ(errors.entries[0].status, 0x51);
    EXPECT_EQ(errors.entries[1].command, 0xC8);
    EXPECT_EQ(errors.entries[2].lba, 0x0FEDCBA9u); // LBA 27:24 from the device register
    EXPECT_EQ(errors.entries[2].number, 3);
}

TEST(AtaExtErrorLog, RegisterOrderOfThe48BitLba) {
    std::vector<BYTE> log(1024, 0);
    log[0] = 1;
    // Entry index 5 is page 1, slot 0: 512 + 4. Command 5 at 72, error at 90.
    BYTE* e = log.data() + 512 + 4;
    e[72 + 1] = 0x00;
    e[72 + 12] = 0x60; // READ FPDMA QUEUED
    e[90 + 1] = 0x40;
    // LBA 0x0000_1234_5678_9ABC in the order 7:0, 31:24, 15:8, 39:32, 23:16, 47:40.
    const BYTE lba[] = {0xBC, 0x56, 0x9A, 0x34, 0x78, 0x12};
    std::copy(std::begin(lba), std::end(lba), e + 90 + 4);
    e[90 + 11] = 0x41;
    e[90 + 32] = 0x10;
    e[90 + 33] = 0x27; // 10000 hours
    // Entry 4 (page 0, slot 3) before it.
    log[4 + 124 * 3 + 72 + 12] = 0x61;
    log[2] = 5;
    log[500] = 9;
    const ErrorLog errors = ataExtErrorLog(log.data(), log.size());
    EXPECT_EQ(errors.count, 9);
    ASSERT_EQ(errors.entries.size(), 2u);
    EXPECT_EQ(errors.entries[0].lba, 0x123456789ABCull);
    EXPECT_EQ(errors.entries[0].command, 0x60);
    EXPECT_EQ(errors.entries[0].status, 0x41);
    EXPECT_EQ(errors.entries[0].powerOnHours, 10000);
    EXPECT_EQ(errors.entries[1].command, 0x61);
    EXPECT_EQ(ataExtErrorNewestPage(log.data(), 512), 1);
    // The count stands even when the newest entry's page was not read.
    const ErrorLog page0 = ataExtErrorLog(log.data(), 512);
    EXPECT_EQ(page0.count, 9);
    EXPECT_TRUE(page0.entries.empty());
}

TEST(NvmeSelfTest, CapabilitiesFromIdentifyController) {
    std::vector<BYTE> id(4096, 0);
    EXPECT_FALSE(nvmeSelfTestCapabilities(id.data(), id.size()).any());
    id[256] = 0x10; // OACS bit 4
    id[316] = 0x2C;
    id[317] = 0x01; // EDSTT 300 minutes
    const SelfTestCapabilities caps = nvmeSelfTestCapabilities(id.data(), id.size());
    EXPECT_TRUE(caps.shortTest);
    EXPECT_TRUE(caps.extendedTest);
    EXPECT_FALSE(caps.conveyanceTest);
    EXPECT_EQ(caps.shortMinutes, 2);
    EXPECT_EQ(caps.extendedMinutes, 300);
    id[256] = 0xEF; // every other bit
    EXPECT_FALSE(nvmeSelfTestCapabilities(id.data(), id.size()).any());
}

TEST(NvmeSelfTest, LogProgressAndEntries) {
    std::vector<BYTE> log(564, 0);
    for (int i = 0; i < 20; ++i)
        log[4 + 28 * i] = 0x0F;
    EXPECT_TRUE(nvmeSelfTestLog(log.data(), log.size()).empty());
    EXPECT_FALSE(nvmeSelfTestProgress(log.data(), log.size()).running);
    // Entry 0: extended, failed segments, failing LBA valid; entry 1: short, done.
    log[4] = 0x27;
    log[6] = 0x03;
    log[4 + 4] = 0x39; // 1337 hours
    log[4 + 5] = 0x05;
    log[4 + 16] = 0x00;
    log[4 + 17] = 0x10; // LBA 4096
    log[32] = 0x10;
    log[32 + 4] = 0x10;
    auto entries = nvmeSelfTestLog(log.data(), log.size());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].type, QStringLiteral("extended"));
    EXPECT_EQ(entries[0].statusCode, 7);
    EXPECT_TRUE(entries[0].failed);
    EXPECT_EQ(entries[0].powerOnHours, 1337);
    EXPECT_EQ(entries[0].firstErrorLba, 4096u);
    EXPECT_EQ(entries[1].type, QStringLiteral("short"));
    EXPECT_FALSE(entries[1].firstErrorLba);
    const SelfTestProgress last = nvmeSelfTestProgress(log.data(), log.size());
    EXPECT_FALSE(last.running);
    EXPECT_TRUE(last.failed);
    // Without the valid bit the LBA field means nothing.
    log[6] = 0x01;
    EXPECT_FALSE(nvmeSelfTestLog(log.data(), log.size())[0].firstErrorLba);
    // An hour count with its top bit set is no negative age (a fuzz find).
    log[4 + 11] = 0x80;
    EXPECT_EQ(nvmeSelfTestLog(log.data(), log.size())[0].powerOnHours,
              std::numeric_limits<long long>::max());
    log[4 + 11] = 0;
    // A running test: operation in byte 0, percent complete in byte 1.
    log[0] = 0x2;
    log[1] = 35;
    const SelfTestProgress running = nvmeSelfTestProgress(log.data(), log.size());
    EXPECT_TRUE(running.running);
    EXPECT_EQ(running.remainingPercent, 65);
}

TEST(NvmeErrorLog, CountIsTheHighestErrorCount) {
    std::vector<BYTE> log(4 * 64, 0);
    log[0] = 7;
    log[64] = 9; // a controller may keep its entries in any order
    log[128] = 8;
    std::vector<BYTE> id(4096, 0);
    id[262] = 63;
    EXPECT_EQ(nvmeErrorLogEntries(id.data(), id.size()), 64);
    EXPECT_EQ(nvmeErrorLog(log.data(), log.size()).count, 9);
    EXPECT_EQ(nvmeErrorLog(log.data(), 63).count, 0);
}

} // namespace
