#pragma once

#include "RequestHandler.h"

#include "SimMachine.h"

#include <QString>

#include <memory>

namespace vorn::diskhelper {

// The machine's disks: a name must be a whole disk of sysRoot/block, of a
// family the helper serves, and its node in devRoot the root-owned block
// device sysfs describes, looked at without following a link before it is
// opened read-only and found the same after.
std::unique_ptr<DiskAccess> makeLinuxDiskAccess(const QString& sysRoot = QStringLiteral("/sys"),
                                                const QString& devRoot = QStringLiteral("/dev"));

// The disks of a simulated machine by their simulated kernel names. When
// traceFile is not empty, every command that reaches a disk appends a line
// "<name> <7 registers as hex pairs> <in|none>", or for an NVMe command the
// simulated machine's NVMe trace line with the name in place of the path, so
// that a test can tell what got through.
std::unique_ptr<DiskAccess> makeSimDiskAccess(std::shared_ptr<const platform::SimMachine> machine,
                                              const QString& traceFile);

} // namespace vorn::diskhelper
