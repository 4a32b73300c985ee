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

} // namespace

CommandClass classifyCommand(const AtaCommand& command) {
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
