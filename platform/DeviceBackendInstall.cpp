#include "DeviceBackendInstall.h"

#include "HelperBackend.h"
#include "LinuxDevice.h"

#include <atomic>
#include <mutex>

namespace vorn::platform {

namespace {

// Without pass-through rights the direct backend could only fail; the helper
// serves when the bus offers it, and otherwise the direct backend's failures
// say what is wrong.
std::shared_ptr<DeviceBackend> chooseRealMachineBackend() {
    if (!processMaySendPassThrough()) {
        if (auto transport = connectSystemBusHelper())
            return makeHelperBackend(std::move(transport), makeSysfsDiskNaming());
    }
    return makeLinuxDeviceBackend();
}

struct Installation {
    std::mutex mutex;
    std::shared_ptr<DeviceBackend> installed;
    // Kept apart from the installed one: a process that goes back to the
    // real machine (a test after its simulated one) meets the same choice,
    // and asks the bus for the helper only once.
    std::shared_ptr<DeviceBackend> realMachine;
    std::atomic<bool> accessDenied{false};
    QString refusedNode; // under mutex
};

Installation& installation() {
    static Installation instance;
    return instance;
}

} // namespace

void InstallDeviceBackend(std::shared_ptr<DeviceBackend> backend) {
    Installation& slot = installation();
    std::lock_guard<std::mutex> lock(slot.mutex);
    slot.installed = std::move(backend);
    slot.accessDenied = false;
    slot.refusedNode.clear();
}

std::shared_ptr<DeviceBackend> InstalledDeviceBackend() {
    Installation& slot = installation();
    std::lock_guard<std::mutex> lock(slot.mutex);
    if (slot.installed)
        return slot.installed;
    if (!slot.realMachine)
        slot.realMachine = chooseRealMachineBackend();
    return slot.realMachine;
}

bool deviceAccessDenied() {
    return installation().accessDenied;
}

void noteDeviceAccessDenied() {
    installation().accessDenied = true;
}

void noteDeviceNodeRefused(const QString& node) {
    Installation& slot = installation();
    std::lock_guard<std::mutex> lock(slot.mutex);
    if (slot.refusedNode.isEmpty())
        slot.refusedNode = node;
}

QString deviceNodeRefused() {
    Installation& slot = installation();
    std::lock_guard<std::mutex> lock(slot.mutex);
    return slot.refusedNode;
}

} // namespace vorn::platform
