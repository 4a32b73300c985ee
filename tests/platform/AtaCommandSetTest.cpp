#include "AtaCommandSet.h"

#include "../support/CountingDevice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

namespace {

using namespace vorn::platform;
using ata::CommandClass;

AtaCommand smart(BYTE feature, BYTE count, bool dataIn) {
    return AtaCommand{{feature, count, 1, ata::kSmartLbaMid, ata::kSmartLbaHigh, 0xA0, ata::kSmart},
                      dataIn};
}

AtaCommand plain(BYTE opcode, bool dataIn) {
    AtaCommand command;
    command.registers.command = opcode;
    command.dataIn = dataIn;
    return command;
}

struct Case {
    const char* what;
    AtaCommand command;
    CommandClass expected;
};

TEST(AtaCommandSetTest, OnlyTheSuitesReadsAndSwitchesPassEverythingElseIsRefused) {
    AtaCommand unsigned_read = smart(ata::kSmartReadData, 1, true);
    unsigned_read.registers.lbaHigh = 0;
    const Case cases[] = {
        {"IDENTIFY DEVICE", plain(0xEC, true), CommandClass::Read},
        {"CHECK POWER MODE", plain(0xE5, false), CommandClass::Read},
        {"READ DATA", smart(0xD0, 1, true), CommandClass::Read},
        {"READ THRESHOLDS", smart(0xD1, 1, true), CommandClass::Read},
        {"READ LOG of the summary error log", smart(0xD5, 1, true), CommandClass::Read},
        {"RETURN STATUS", smart(0xDA, 0, false), CommandClass::Read},
        {"ENABLE OPERATIONS", smart(0xD8, 1, false), CommandClass::Configure},
        {"DISABLE OPERATIONS", smart(0xD9, 1, false), CommandClass::Configure},
        {"autosave on", smart(0xD2, 0xF1, false), CommandClass::Configure},
        {"autosave off", smart(0xD2, 0x00, false), CommandClass::Configure},
        {"autosave with another count", smart(0xD2, 0x01, false), CommandClass::Refused},
        {"IDENTIFY without its data", plain(0xEC, false), CommandClass::Refused},
        {"RETURN STATUS asking for data", smart(0xDA, 0, true), CommandClass::Refused},
        {"READ DATA without the signature", unsigned_read, CommandClass::Refused},
        {"EXECUTE OFFLINE short self-test", smart(0xD4, 0, false), CommandClass::SelfTest},
        {"WRITE LOG", smart(0xD6, 1, false), CommandClass::Refused},
        {"WRITE DMA", plain(0xCA, false), CommandClass::Refused},
        {"WRITE SECTORS", plain(0x30, false), CommandClass::Refused},
        {"SECURITY ERASE UNIT", plain(0xF4, false), CommandClass::Refused},
        {"SECURITY SET PASSWORD", plain(0xF1, false), CommandClass::Refused},
        {"DOWNLOAD MICROCODE", plain(0x92, false), CommandClass::Refused},
        {"a vendor command", plain(0x80, true), CommandClass::Refused},
        {"SET FEATURES", plain(0xEF, false), CommandClass::Refused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ata::classifyCommand(c.command), c.expected) << c.what;
}

AtaCommand with(AtaCommand command, BYTE AtaRegisters::*field, BYTE value) {
    command.registers.*field = value;
    return command;
}

// Each command the suite sends, and every register of it set to a value the
// suite never sends: a disk may read meaning into any of them (a log read's
// count is its transfer length), so none may pass.
TEST(AtaCommandSetTest, EveryRegisterOfAnAllowedCommandIsPinned) {
    const AtaCommand identify{{0, 1, 1, 0, 0, 0xA0, ata::kIdentifyDevice}, true};
    const AtaCommand power{{0, 0, 0, 0, 0, 0, ata::kCheckPowerMode}, false};
    const AtaCommand readData{{0xD0, 1, 1, 0x4F, 0xC2, 0xA0, ata::kSmart}, true};
    const AtaCommand status{{0xDA, 0, 0, 0x4F, 0xC2, 0, ata::kSmart}, false};
    const AtaCommand enable{{0xD8, 1, 1, 0x4F, 0xC2, 0, ata::kSmart}, false};
    const AtaCommand autosave{{0xD2, 0xF1, 0, 0x4F, 0xC2, 0, ata::kSmart}, false};
    for (const AtaCommand& sent : {identify, power, readData, status, enable, autosave}) {
        SCOPED_TRACE(int(sent.registers.feature) * 256 + sent.registers.command);
        ASSERT_NE(ata::classifyCommand(sent), CommandClass::Refused);
        EXPECT_NE(ata::classifyCommand(with(sent, &AtaRegisters::device, 0xB0)),
                  CommandClass::Refused);
        for (BYTE AtaRegisters::*field : {&AtaRegisters::lbaLow, &AtaRegisters::device})
            EXPECT_EQ(ata::classifyCommand(with(sent, field, 0xE5)), CommandClass::Refused);
        if (sent.registers.feature != ata::kSmartAttributeAutosave) {
            EXPECT_EQ(ata::classifyCommand(with(sent, &AtaRegisters::sectorCount, 0xFF)),
                      CommandClass::Refused);
        }
        if (sent.registers.command != ata::kSmart) {
            for (BYTE AtaRegisters::*field :
                 {&AtaRegisters::feature, &AtaRegisters::lbaMid, &AtaRegisters::lbaHigh})
                EXPECT_EQ(ata::classifyCommand(with(sent, field, 0x4F)), CommandClass::Refused);
        }
    }
    // No S.M.A.R.T. log passes the generic check, whatever its count or
    // address: only one sector of the self-test and summary error logs.
    for (const BYTE count : {BYTE(0), BYTE(1), BYTE(0xFF)}) {
        for (const BYTE log : {BYTE(0), BYTE(1), BYTE(2), BYTE(4), BYTE(6), BYTE(0xE0)}) {
            const AtaCommand readLog{{0xD5, count, log, 0x4F, 0xC2, 0xA0, ata::kSmart}, true};
            const bool allowed = count == 1 && (log == 1 || log == 6);
            EXPECT_EQ(ata::classifyCommand(readLog),
                      allowed ? CommandClass::Read : CommandClass::Refused)
                << int(count) << " " << int(log);
        }
    }
}

// A backend that counts what reaches it.
TEST(AtaCommandSetTest, NoBackendIsReachedWithARefusedCommand) {
    CountingDevice device;
    BYTE data[kSectorSize] = {};
    for (const AtaCommand& command : {plain(0xCA, false), plain(0xF4, false), plain(0x92, false),
                                      smart(0xD6, 1, false), plain(0xEC, false)}) {
        EXPECT_EQ(device.execute({0}, command, data).transportError, EPERM);
    }
    EXPECT_EQ(device.ataReached, 0);
    EXPECT_EQ(device.execute({0}, plain(0xEC, true), data).transportError, 0);
    EXPECT_EQ(device.ataReached, 1);
}

} // namespace

namespace {

// Log 04h only: READ LOG EXT of pages 00h, 01h, 05h, one block; SMART READ
// LOG of six pages in six blocks. Each near miss changes one thing.
TEST(AtaCommandSetTest, TheStatisticsReadsPassExactlyAndTheirNearMissesAreRefused) {
    const auto readLogExt = [](BYTE page, const std::function<void(AtaCommand&)>& change = {}) {
        AtaCommand c({0, 1, ata::kLogDeviceStatistics, page, 0, 0, ata::kReadLogExt}, true);
        c.extended = true;
        if (change)
            change(c);
        return c;
    };
    const auto smartLog = [](BYTE log, BYTE count, WORD blocks) {
        AtaCommand c(
            {ata::kSmartReadLog, count, log, ata::kSmartLbaMid, ata::kSmartLbaHigh, 0, ata::kSmart},
            true);
        c.blocks = blocks;
        return c;
    };
    const Case cases[] = {
        {"READ LOG EXT page 00h", readLogExt(0x00), CommandClass::Read},
        {"READ LOG EXT page 05h", readLogExt(0x05), CommandClass::Read},
        {"SMART READ LOG pages 00h-05h", smartLog(0x04, 6, 6), CommandClass::Read},
        {"READ LOG EXT page 02h", readLogExt(0x02), CommandClass::Refused},
        {"READ LOG EXT of log 03h", readLogExt(1, [](AtaCommand& c) { c.registers.lbaLow = 3; }),
         CommandClass::Read},
        {"READ LOG EXT of log 07h page 200",
         readLogExt(200, [](AtaCommand& c) { c.registers.lbaLow = 7; }), CommandClass::Read},
        {"READ LOG EXT of log 02h", readLogExt(0, [](AtaCommand& c) { c.registers.lbaLow = 2; }),
         CommandClass::Refused},
        {"READ LOG EXT of log 07h page 100h",
         readLogExt(0,
                    [](AtaCommand& c) {
                        c.registers.lbaLow = 7;
                        c.previous.lbaMid = 1;
                    }),
         CommandClass::Refused},
        {"READ LOG EXT page 101h", readLogExt(1, [](AtaCommand& c) { c.previous.lbaHigh = 1; }),
         CommandClass::Refused},
        {"READ LOG EXT count 2",
         readLogExt(1,
                    [](AtaCommand& c) {
                        c.registers.sectorCount = 2;
                        c.blocks = 2;
                    }),
         CommandClass::Refused},
        {"READ LOG EXT as 28-bit", readLogExt(1, [](AtaCommand& c) { c.extended = false; }),
         CommandClass::Refused},
        {"READ LOG EXT without data", readLogExt(1, [](AtaCommand& c) { c.dataIn = false; }),
         CommandClass::Refused},
        {"SMART READ LOG of log 01h", smartLog(0x01, 6, 6), CommandClass::Refused},
        {"SMART READ LOG count 2", smartLog(0x04, 2, 2), CommandClass::Refused},
        {"SMART READ LOG short of its count", smartLog(0x04, 6, 5), CommandClass::Refused},
        {"IDENTIFY of two blocks",
         [] {
             AtaCommand c = plain(0xEC, true);
             c.blocks = 2;
             return c;
         }(),
         CommandClass::Refused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ata::classifyCommand(c.command), c.expected) << c.what;
}

} // namespace

namespace {

// The self-tests: the four off-line routines, no data; never the captive
// forms, which hold the drive for the whole test, nor any other routine.
TEST(AtaCommandSetTest, OnlyTheOfflineSelfTestRoutinesStart) {
    const auto execute = [](BYTE routine) {
        return AtaCommand{{ata::kSmartExecuteOffline, 0, routine, ata::kSmartLbaMid,
                           ata::kSmartLbaHigh, 0, ata::kSmart},
                          false};
    };
    for (int routine = 0; routine < 256; ++routine) {
        const bool offline = routine == 1 || routine == 2 || routine == 3 || routine == 0x7F;
        EXPECT_EQ(ata::classifyCommand(execute(BYTE(routine))),
                  offline ? CommandClass::SelfTest : CommandClass::Refused)
            << routine;
    }
    AtaCommand withData = execute(1);
    withData.dataIn = true;
    EXPECT_EQ(ata::classifyCommand(withData), CommandClass::Refused);
    EXPECT_EQ(ata::classifyCommand(with(execute(1), &AtaRegisters::sectorCount, 0x10)),
              CommandClass::Refused);
    EXPECT_EQ(ata::classifyCommand(with(execute(2), &AtaRegisters::lbaHigh, 0)),
              CommandClass::Refused);
    EXPECT_EQ(ata::classifyCommand(with(execute(2), &AtaRegisters::device, 0x40)),
              CommandClass::Refused);
}

} // namespace
