#include "DeviceIo.h"

#include "AtaCommandSet.h"
#include "DeviceBackendInstall.h"
#include "DeviceRequests.h"
#include "LastError.h"
#include "NvmeCommandSet.h"
#include "WideText.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace vorn::platform {

OpenDevice::~OpenDevice() = default;

AtaOutcome OpenDevice::execute(RequestTarget target, const AtaCommand& command, BYTE* data) {
    if (ata::classifyCommand(command) == ata::CommandClass::Refused) {
        AtaOutcome refused;
        refused.transportError = EPERM;
        return refused;
    }
    return executeAllowed(target, command, data);
}

NvmeOutcome OpenDevice::executeNvme(const NvmeAdminCommand& command, BYTE* data) {
    NvmeOutcome outcome;
    if (nvme::classifyCommand(command) == nvme::CommandClass::Refused) {
        outcome.transportError = EPERM;
        return outcome;
    }
    if (!data) {
        outcome.transportError = EINVAL;
        return outcome;
    }
    return executeNvmeAllowed(command, data);
}

NvmeOutcome OpenDevice::executeNvmeAllowed(const NvmeAdminCommand&, BYTE*) {
    NvmeOutcome outcome;
    outcome.transportError = ENOTTY;
    return outcome;
}
DeviceBackend::~DeviceBackend() = default;

} // namespace vorn::platform

namespace {

using vorn::platform::OpenDevice;

// Open devices by handle value. Values start above the small integers and
// never reach INVALID_HANDLE_VALUE, so a stale or forged handle is refused
// instead of being taken for a descriptor.
class HandleTable {
public:
    HANDLE add(std::shared_ptr<OpenDevice> device) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_next += 4;
        const HANDLE handle = reinterpret_cast<HANDLE>(m_next);
        m_devices.emplace(m_next, std::move(device));
        return handle;
    }
    std::shared_ptr<OpenDevice> find(HANDLE handle) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_devices.find(reinterpret_cast<std::uintptr_t>(handle));
        return it == m_devices.end() ? nullptr : it->second;
    }
    bool remove(HANDLE handle) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_devices.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0;
    }

private:
    std::mutex m_mutex;
    std::uintptr_t m_next = 0x1000;
    std::map<std::uintptr_t, std::shared_ptr<OpenDevice>> m_devices;
};

HandleTable& handles() {
    static HandleTable table;
    return table;
}

BOOL failWith(int error) {
    if (error == EACCES)
        vorn::platform::noteDeviceAccessDenied();
    win::SetLastError(static_cast<DWORD>(error));
    return FALSE;
}

} // namespace

namespace vorn::platform {

NvmeOutcome SendNvmeAdminCommand(HANDLE device, const NvmeAdminCommand& command, BYTE* data) {
    NvmeOutcome outcome;
    const std::shared_ptr<OpenDevice> open = handles().find(device);
    if (!open) {
        outcome.transportError = EBADF;
    } else {
        open->traceNvme(command);
        outcome = open->executeNvme(command, data);
    }
    if (outcome.transportError)
        failWith(outcome.transportError);
    else if (outcome.status)
        failWith(EIO);
    return outcome;
}

std::optional<NvmeDeviceFacts> NvmeFactsOf(HANDLE device) {
    const std::shared_ptr<OpenDevice> open = handles().find(device);
    return open ? open->nvmeFacts() : std::nullopt;
}

std::optional<UsbDiskFacts> UsbFactsOfDrive(int driveNumber) {
    const std::shared_ptr<DeviceBackend> backend = InstalledDeviceBackend();
    return backend ? backend->usbFacts(driveNumber) : std::nullopt;
}

std::optional<UsbDiskFacts> UsbFactsOf(HANDLE device) {
    const std::shared_ptr<OpenDevice> open = handles().find(device);
    return open ? open->usbFacts() : std::nullopt;
}

QString UnitSerialNumberOf(HANDLE device) {
    const std::shared_ptr<OpenDevice> open = handles().find(device);
    return open ? open->unitSerialNumber() : QString();
}

} // namespace vorn::platform

namespace win {

HANDLE CreateFileW(const char16_t* fileName, DWORD /*desiredAccess*/, DWORD /*shareMode*/,
                   void* /*securityAttributes*/, DWORD /*creationDisposition*/,
                   DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/) {
    if (!fileName) {
        failWith(EINVAL);
        return INVALID_HANDLE_VALUE;
    }
    // Read here once for every backend: a name that is no device path is
    // no file on any machine, ENOENT as on Windows.
    const auto path = vorn::platform::parseDevicePath(Cm_FromWide(fileName));
    if (!path) {
        failWith(ENOENT);
        return INVALID_HANDLE_VALUE;
    }
    int error = ENOENT;
    std::unique_ptr<OpenDevice> device =
        vorn::platform::InstalledDeviceBackend()->open(*path, &error);
    if (!device) {
        failWith(error ? error : ENOENT);
        return INVALID_HANDLE_VALUE;
    }
    return handles().add(std::move(device));
}

BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, void* inBuffer, DWORD inBufferSize,
                     void* outBuffer, DWORD outBufferSize, DWORD* bytesReturned, void* overlapped) {
    if (bytesReturned)
        *bytesReturned = 0;
    const std::shared_ptr<OpenDevice> open = handles().find(device);
    if (!open)
        return failWith(EBADF);
    if (overlapped)
        return failWith(EINVAL);
    const int error = vorn::platform::serveDeviceRequest(
        *open, ioControlCode, inBuffer, inBufferSize, outBuffer, outBufferSize, bytesReturned);
    if (error)
        return failWith(error);
    return TRUE;
}

BOOL CloseHandle(HANDLE object) {
    if (!handles().remove(object))
        return failWith(EBADF);
    return TRUE;
}

} // namespace win

namespace vorn::platform {

bool IsRuntimeSuspended(HANDLE device, int driveNumber) {
    const std::shared_ptr<OpenDevice> open = handles().find(device);
    return open && open->runtimeSuspended(RequestTarget{driveNumber});
}

} // namespace vorn::platform
