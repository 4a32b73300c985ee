#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"

#include <QString>

#include <memory>

// Which backend serves the process: the one place that decides. Every
// stand-in (win::CreateFileW and the calls on its handles) opens through
// InstalledDeviceBackend(); whoever knows better than the real machine's
// choice (a simulated machine, a test's fake) installs its backend here.
namespace vorn::platform {

// Puts backend in place for every open from now on; null goes back to
// nothing installed. Handles already open keep the backend that opened
// them. Clears deviceAccessDenied(): a refusal describes the disks it came
// from, and a scan of other disks that reads nothing must not blame it on
// permission.
VORNPLATFORM_API void InstallDeviceBackend(std::shared_ptr<DeviceBackend> backend);

// The installed backend. With nothing installed, the real machine's choice,
// made once per process at the first call that needs it: the Linux disks
// when the process may send pass-through itself; else the privileged disk
// helper when the system bus offers it; else the Linux disks, whose opens
// then fail as the kernel decides.
VORNPLATFORM_API std::shared_ptr<DeviceBackend> InstalledDeviceBackend();

// True once an open or a request of this process was refused for lack of
// permission (EACCES) since the last install, so that a program that read
// no disk can say why.
VORNPLATFORM_API bool deviceAccessDenied();

// The stand-ins report each refusal for lack of permission here.
void noteDeviceAccessDenied();

// The first device node whose open the kernel refused for lack of
// permission since the last install, so that a root run the system refuses
// (a container's or a VM's device policy) can say which; empty when none.
// Backends that open nodes report each refusal with noteDeviceNodeRefused.
VORNPLATFORM_API QString deviceNodeRefused();
VORNPLATFORM_API void noteDeviceNodeRefused(const QString& node);

} // namespace vorn::platform
