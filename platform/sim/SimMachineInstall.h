#pragma once

#include "SimMachine.h"
#include "VornPlatformExport.h"

#include <memory>

// The composition root of a simulated machine: what the process reads of a
// machine (its disks through the device layer, its Windows version, its disk
// records in the system queries) is installed here as one, so that no part
// decides on its own which machine it serves.
namespace vorn::platform {

// Installs machine for the whole process: its device backend (the simulated
// disks; when the machine's disks need privilege the process lacks, the
// disk helper serving them under their simulated names, else a backend
// that refuses every open with EACCES), its version for
// vorn::os::ReportedVersion(), and the machine itself for
// InstalledSimMachine(). The simulated disks start afresh: S.M.A.R.T. as
// their files say, the power-on clock from now. Null goes back to the real
// machine: nothing installed, no reported version.
VORNPLATFORM_API void InstallSimMachine(std::shared_ptr<const SimMachine> machine);

// The machine InstallSimMachine() installed, or null on the real machine.
// Reads nothing: the system queries serve their records from it.
VORNPLATFORM_API std::shared_ptr<const SimMachine> InstalledSimMachine();

// For a program's main(), once at start: installs the machine in the folder
// VORN_SIM names (ignored under secure execution), or the real machine when
// it names none or no folder. Returns the machine installed, or null.
VORNPLATFORM_API std::shared_ptr<const SimMachine> InstallMachineFromEnvironment();

} // namespace vorn::platform
