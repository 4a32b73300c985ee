#include "AtaCommandSet.h"

namespace vorn::platform::ata {

namespace {

CommandClass classifySmart(const AtaCommand& command) {
    const AtaRegisters& r = command.registers;
    if (r.lbaMid != kSmartLbaMid || r.lbaHigh != kSmartLbaHigh)
        return CommandClass::Refused;
    switch (r.feature) {
    case kSmartReadData:
    case kSmartReadThresholds:
    case kSmartReadLog:
        return command.dataIn ? CommandClass::Read : CommandClass::Refused;
    case kSmartReturnStatus:
        return command.dataIn ? CommandClass::Refused : CommandClass::Read;
    case kSmartEnableOperations:
    case kSmartDisableOperations:
        return command.dataIn ? CommandClass::Refused : CommandClass::Configure;
    case kSmartAttributeAutosave:
        if (command.dataIn || (r.sectorCount != kAutosaveOn && r.sectorCount != kAutosaveOff))
            return CommandClass::Refused;
        return CommandClass::Configure;
    default:
        return CommandClass::Refused;
    }
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
    return isStatisticsReadLogExt(command) || isStatisticsSmartReadLog(command)
               ? CommandClass::Read
               : CommandClass::Refused;
}

} // namespace

CommandClass classifyCommand(const AtaCommand& command) {
    if (command.extended || command.blocks != 1 || command.registers.command == kReadLogExt)
        return classifyLogRead(command);
    switch (command.registers.command) {
    case kIdentifyDevice:
        return command.dataIn ? CommandClass::Read : CommandClass::Refused;
    case kCheckPowerMode:
        return command.dataIn ? CommandClass::Refused : CommandClass::Read;
    case kSmart:
        return classifySmart(command);
    default:
        return CommandClass::Refused;
    }
}

} // namespace vorn::platform::ata
