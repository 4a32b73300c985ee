#pragma once

#include "DeviceBackend.h"
#include "SimMachine.h"
#include "VornPlatformExport.h"

#include <QByteArray>

#include <chrono>
#include <functional>

// The device backend of the simulated machine.
namespace vorn::platform {

// The clock the power-on counters run on; tests put their own in its place.
// A null clock restores std::chrono::steady_clock.
using SimClock = std::function<std::chrono::steady_clock::time_point()>;
VORNPLATFORM_API void setSimClock(SimClock clock);

// Serves the disks of machine. The power-on counters start when the backend
// is made, that is when the machine is installed (SimMachineInstall.h).
VORNPLATFORM_API std::shared_ptr<DeviceBackend>
makeSimDeviceBackend(std::shared_ptr<const SimMachine> machine);

// One line of the VORN_SIM_TRACE file, without its line feed:
// "<path> <code as 8 upper-case hex digits> <input as upper-case hex pairs>",
// the input written as "-" when there is none.
VORNPLATFORM_API QString simTraceLine(const QString& path, DWORD controlCode, const BYTE* input,
                                      DWORD inputSize);

// The trace line of a command that spun up a disk in standby, written after
// the request's own line: "<path> WAKE-UP <disk folder>".
VORNPLATFORM_API QString simWakeUpLine(const QString& path, const QString& diskFolder);

// One NVMe line of the VORN_SIM_TRACE file: "<path> NVME <opcode, 2 hex
// digits> <nsid> <cdw10> ... <cdw15> (8 hex digits each) <data length>".
VORNPLATFORM_API QString simNvmeTraceLine(const QString& path, const NvmeAdminCommand& command);

// Adds delta to the 128-bit power-on hours of an NVMe health log.
VORNPLATFORM_API void addToNvmePowerOnHours(QByteArray* healthLog, long long delta);

// Adds delta to the 48-bit raw value of attribute 9 (power-on time) in a
// READ DATA sector and makes its checksum right again. No attribute 9 or a
// sector of another size: unchanged.
VORNPLATFORM_API void addToPowerOnCounter(QByteArray* smartData, long long delta);

// Byte 511 such that all 512 bytes sum to 0 modulo 256.
VORNPLATFORM_API void setSectorChecksum(QByteArray* sector);

} // namespace vorn::platform
