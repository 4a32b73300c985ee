#include "SimMachineInstall.h"

#include "DeviceBackendInstall.h"
#include "HelperBackend.h"
#include "OsVersion.h"
#include "SimDevice.h"

#include <QFileInfo>

#include <cerrno>
#include <mutex>

namespace vorn::platform {

namespace {

// Refuses every open as the kernel refuses an unprivileged process: the
// simulated machine's answer when its disks need privilege and no helper is
// there to ask.
class DeniedBackend : public DeviceBackend {
public:
    std::unique_ptr<OpenDevice> open(const DevicePath&, int* error) override {
        *error = EACCES;
        return nullptr;
    }
};

std::shared_ptr<DeviceBackend> chooseSimBackend(const std::shared_ptr<const SimMachine>& machine) {
    if (!machine->info.privilegedDiskAccess || processMaySendPassThrough())
        return makeSimDeviceBackend(machine);
    if (auto transport = connectSystemBusHelper())
        return makeHelperBackend(std::move(transport), makeSimDiskNaming(machine));
    return std::make_shared<DeniedBackend>();
}

os::OsVersion versionOf(const SimMachineInfo& info) {
    return {info.platform,    info.majorVersion, info.minorVersion,
            info.buildNumber, info.productType,  info.csdVersion};
}

struct Installed {
    std::mutex mutex;
    std::shared_ptr<const SimMachine> machine;
};

Installed& installed() {
    static Installed instance;
    return instance;
}

} // namespace

void InstallSimMachine(std::shared_ptr<const SimMachine> machine) {
    Installed& slot = installed();
    std::lock_guard<std::mutex> lock(slot.mutex);
    InstallDeviceBackend(machine ? chooseSimBackend(machine) : nullptr);
    os::InstallReportedVersion(machine ? std::optional(versionOf(machine->info)) : std::nullopt);
    slot.machine = std::move(machine);
}

std::shared_ptr<const SimMachine> InstalledSimMachine() {
    Installed& slot = installed();
    std::lock_guard<std::mutex> lock(slot.mutex);
    return slot.machine;
}

std::shared_ptr<const SimMachine> InstallMachineFromEnvironment() {
    const QString folder = simMachineFolder();
    std::shared_ptr<const SimMachine> machine;
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        machine = loadSimMachine(folder);
    InstallSimMachine(machine);
    return machine;
}

} // namespace vorn::platform
