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

CommandClass classifySmart(const AtaCommand& command) {
    const AtaRegisters& r = command.registers;
    if (r.lbaMid != kSmartLbaMid || r.lbaHigh != kSmartLbaHigh || !plainDeviceRegister(r.device) ||
        !unusedRegister(r.lbaLow))
        return CommandClass::Refused;
    switch (r.feature) {
    case kSmartReadData:
    case kSmartReadThresholds:
        return command.dataIn && unusedRegister(r.sectorCount) ? CommandClass::Read
                                                               : CommandClass::Refused;
    case kSmartReadLog:
        // The sector count of a log read is the transfer length and the LBA
        // low its address: nothing generic is safe to pass. The log reads the
        // suite makes are allowed one by one, each with its exact registers.
        return CommandClass::Refused;
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

} // namespace

CommandClass classifyCommand(const AtaCommand& command) {
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
