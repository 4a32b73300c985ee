#include "AtaCommandSet.h"

#include "../support/CountingDevice.h"

#include <gtest/gtest.h>

#include <cerrno>

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
        {"READ LOG", smart(0xD5, 1, true), CommandClass::Read},
        {"RETURN STATUS", smart(0xDA, 0, false), CommandClass::Read},
        {"ENABLE OPERATIONS", smart(0xD8, 1, false), CommandClass::Configure},
        {"DISABLE OPERATIONS", smart(0xD9, 1, false), CommandClass::Configure},
        {"autosave on", smart(0xD2, 0xF1, false), CommandClass::Configure},
        {"autosave off", smart(0xD2, 0x00, false), CommandClass::Configure},
        {"autosave with another count", smart(0xD2, 0x01, false), CommandClass::Refused},
        {"IDENTIFY without its data", plain(0xEC, false), CommandClass::Refused},
        {"RETURN STATUS asking for data", smart(0xDA, 0, true), CommandClass::Refused},
        {"READ DATA without the signature", unsigned_read, CommandClass::Refused},
        {"EXECUTE OFFLINE (self-test)", smart(0xD4, 0, false), CommandClass::Refused},
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

AtaCommand readLogExt(BYTE page) {
    AtaCommand command({0, 1, ata::kLogDeviceStatistics, page, 0, 0, ata::kReadLogExt}, true);
    command.extended = true;
    return command;
}

AtaCommand smartReadLog(BYTE log, BYTE count, WORD blocks) {
    AtaCommand command(
        {ata::kSmartReadLog, count, log, ata::kSmartLbaMid, ata::kSmartLbaHigh, 0, ata::kSmart},
        true);
    command.blocks = blocks;
    return command;
}

template <typename Change> AtaCommand with(AtaCommand command, Change change) {
    change(command);
    return command;
}

TEST(AtaCommandSetTest, TheStatisticsReadsPassExactlyAndTheirNearMissesAreRefused) {
    const Case cases[] = {
        {"READ LOG EXT page 00h", readLogExt(0x00), CommandClass::Read},
        {"READ LOG EXT page 01h", readLogExt(0x01), CommandClass::Read},
        {"READ LOG EXT page 05h", readLogExt(0x05), CommandClass::Read},
        {"SMART READ LOG pages 00h-05h", smartReadLog(0x04, 6, 6), CommandClass::Read},
        {"READ LOG EXT page 02h", readLogExt(0x02), CommandClass::Refused},
        {"READ LOG EXT of log 03h",
         with(readLogExt(1), [](AtaCommand& c) { c.registers.lbaLow = 0x03; }),
         CommandClass::Refused},
        {"READ LOG EXT page 101h",
         with(readLogExt(1), [](AtaCommand& c) { c.previous.lbaHigh = 0x01; }),
         CommandClass::Refused},
        {"READ LOG EXT count 2",
         with(readLogExt(1),
              [](AtaCommand& c) {
                  c.registers.sectorCount = 2;
                  c.blocks = 2;
              }),
         CommandClass::Refused},
        {"READ LOG EXT count 257",
         with(readLogExt(1), [](AtaCommand& c) { c.previous.sectorCount = 1; }),
         CommandClass::Refused},
        {"READ LOG EXT with a feature",
         with(readLogExt(1), [](AtaCommand& c) { c.registers.feature = 1; }),
         CommandClass::Refused},
        {"READ LOG EXT as a 28-bit command",
         with(readLogExt(1), [](AtaCommand& c) { c.extended = false; }), CommandClass::Refused},
        {"READ LOG EXT without its data",
         with(readLogExt(1), [](AtaCommand& c) { c.dataIn = false; }), CommandClass::Refused},
        {"WRITE LOG EXT", with(readLogExt(1), [](AtaCommand& c) { c.registers.command = 0x3F; }),
         CommandClass::Refused},
        {"SMART READ LOG of log 01h", smartReadLog(0x01, 6, 6), CommandClass::Refused},
        {"SMART READ LOG count 2", smartReadLog(0x04, 2, 2), CommandClass::Refused},
        {"SMART READ LOG moving fewer blocks than its count", smartReadLog(0x04, 6, 5),
         CommandClass::Refused},
        {"SMART READ LOG without its data",
         with(smartReadLog(0x04, 6, 6), [](AtaCommand& c) { c.dataIn = false; }),
         CommandClass::Refused},
        {"SMART READ LOG as a 48-bit command",
         with(smartReadLog(0x04, 6, 6), [](AtaCommand& c) { c.extended = true; }),
         CommandClass::Refused},
        {"IDENTIFY of two blocks", with(plain(0xEC, true), [](AtaCommand& c) { c.blocks = 2; }),
         CommandClass::Refused},
        {"READ DATA as a 48-bit command",
         with(smart(0xD0, 1, true), [](AtaCommand& c) { c.extended = true; }),
         CommandClass::Refused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ata::classifyCommand(c.command), c.expected) << c.what;
}

} // namespace
