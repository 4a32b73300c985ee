#include "AtaCommandSet.h"

namespace vorn::platform::ata {

namespace {

// A register the command gives no meaning to may hold 0, or the 1 that the
// old IDEREGS requests put in the sector count and number; any other value is
// something the suite never sends, and a disk may read meaning into it.
bool unusedRegister(BYTE value) {
    return value == 0 || value == 1;
}

// Only the drive select of the task file: nothing, or the two legacy
// always-one bits with the master or the slave bit. LBA mode and head bits
// mean nothing to these commands.
bool plainDeviceRegister(BYTE value) {
    return value == 0x00 || value == 0xA0 || value == 0xB0;
}

bool isSelfTestRoutine(BYTE routine) {
    return routine == kSelfTestShort || routine == kSelfTestExtended ||
           routine == kSelfTestConveyance || routine == kSelfTestAbort;
}

CommandClass classifySmart(const AtaCommand& command) {
    const AtaRegisters& r = command.registers;
    if (r.lbaMid != kSmartLbaMid || r.lbaHigh != kSmartLbaHigh || !plainDeviceRegister(r.device))
        return CommandClass::Refused;
    // These two carry their operand in LBA low.
    if (r.feature == kSmartExecuteOffline)
        return !command.dataIn && unusedRegister(r.sectorCount) && isSelfTestRoutine(r.lbaLow)
                   ? CommandClass::SelfTest
                   : CommandClass::Refused;
    if (r.feature == kSmartReadLog)
        return command.dataIn && r.sectorCount == 1 &&
                       (r.lbaLow == kLogSummaryError || r.lbaLow == kLogSelfTest)
                   ? CommandClass::Read
                   : CommandClass::Refused;
    if (!unusedRegister(r.lbaLow))
        return CommandClass::Refused;
    switch (r.feature) {
    case kSmartReadData:
    case kSmartReadThresholds:
        return command.dataIn && unusedRegister(r.sectorCount) ? CommandClass::Read
                                                               : CommandClass::Refused;
    case kSmartReturnStatus:
        return !command.dataIn && unusedRegister(r.sectorCount) ? CommandClass::Read
                                                                : CommandClass::Refused;
    case kSmartEnableOperations:
    case kSmartDisableOperations:
        return !command.dataIn && unusedRegister(r.sectorCount) ? CommandClass::Configure
                                                                : CommandClass::Refused;
    case kSmartAttributeAutosave:
        if (command.dataIn || (r.sectorCount != kAutosaveOn && r.sectorCount != kAutosaveOff))
            return CommandClass::Refused;
        return CommandClass::Configure;
    default:
        return CommandClass::Refused;
    }
}

// IDENTIFY DEVICE and CHECK POWER MODE take no parameter at all.
bool noParameters(const AtaRegisters& r) {
    return r.feature == 0 && unusedRegister(r.sectorCount) && unusedRegister(r.lbaLow) &&
           r.lbaMid == 0 && r.lbaHigh == 0 && plainDeviceRegister(r.device);
}

bool isZero(const AtaRegisters& r) {
    return r.feature == 0 && r.sectorCount == 0 && r.lbaLow == 0 && r.lbaMid == 0 &&
           r.lbaHigh == 0 && r.device == 0 && r.command == 0;
}

bool isStatisticsPage(BYTE page) {
    return page == kStatisticsPageList || page == kStatisticsPageGeneral ||
           page == kStatisticsPageTemperature;
}

// READ LOG EXT, 48-bit, one page of log 04h.
bool isStatisticsReadLogExt(const AtaCommand& command) {
    const AtaRegisters& r = command.registers;
    return command.extended && command.dataIn && command.blocks == 1 && r.command == kReadLogExt &&
           r.feature == 0 && r.sectorCount == 1 && r.lbaLow == kLogDeviceStatistics &&
           isStatisticsPage(r.lbaMid) && r.lbaHigh == 0 && r.device == 0 &&
           isZero(command.previous);
}

// READ LOG EXT, 48-bit, one page below 256 of the extended self-test or
// error log.
bool isTestLogReadLogExt(const AtaCommand& command) {
    const AtaRegisters& r = command.registers;
    return command.extended && command.dataIn && command.blocks == 1 && r.command == kReadLogExt &&
           r.feature == 0 && r.sectorCount == 1 &&
           (r.lbaLow == kLogExtComprehensiveError || r.lbaLow == kLogExtSelfTest) &&
           r.lbaHigh == 0 && r.device == 0 && isZero(command.previous);
}

// SMART READ LOG, 28-bit, the first pages of log 04h in one transfer.
bool isStatisticsSmartReadLog(const AtaCommand& command) {
    const AtaRegisters& r = command.registers;
    return !command.extended && command.dataIn && command.blocks == kStatisticsSmartLogPages &&
           r.command == kSmart && r.feature == kSmartReadLog &&
           r.sectorCount == kStatisticsSmartLogPages && r.lbaLow == kLogDeviceStatistics &&
           r.lbaMid == kSmartLbaMid && r.lbaHigh == kSmartLbaHigh && r.device == 0 &&
           isZero(command.previous);
}

// The wide commands (48-bit, or more than one block) that may pass.
CommandClass classifyLogRead(const AtaCommand& command) {
    return isStatisticsReadLogExt(command) || isStatisticsSmartReadLog(command) ||
                   isTestLogReadLogExt(command)
               ? CommandClass::Read
               : CommandClass::Refused;
}

} // namespace

CommandClass classifyCommand(const AtaCommand& command) {
    if (command.extended || command.blocks != 1 || command.registers.command == kReadLogExt)
        return classifyLogRead(command);
    switch (command.registers.command) {
    case kIdentifyDevice:
        return command.dataIn && noParameters(command.registers) ? CommandClass::Read
                                                                 : CommandClass::Refused;
    case kCheckPowerMode:
        return !command.dataIn && noParameters(command.registers) ? CommandClass::Read
                                                                  : CommandClass::Refused;
    case kSmart:
        return classifySmart(command);
    default:
        return CommandClass::Refused;
    }
}

} // namespace vorn::platform::ata
