#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"

// The NVMe admin commands the suite sends, and the allow-list every device
// layer checks them against. Only reads are on it: Identify of the
// controller or of one namespace, and three log pages (error information,
// health, device self-test). Nothing that formats, sanitises, downloads
// firmware, sets features or writes is ever passed through, whoever asks.
namespace vorn::platform::nvme {

constexpr BYTE kGetLogPage = 0x02;
constexpr BYTE kIdentify = 0x06;

// Controller or Namespace Structure, in bits 0-7 of dword 10 of Identify.
constexpr BYTE kCnsNamespace = 0x00;
constexpr BYTE kCnsController = 0x01;

constexpr BYTE kLogErrorInformation = 0x01;
constexpr BYTE kLogHealth = 0x02;
constexpr BYTE kLogSelfTest = 0x06;

constexpr DWORD kIdentifySize = 4096;
constexpr DWORD kHealthLogSize = 512;
constexpr DWORD kErrorLogMaxSize = 64 * 64; // 64 entries of 64 bytes
constexpr DWORD kSelfTestLogSize = 564;

// The namespace id that means "the controller as a whole".
constexpr DWORD kAllNamespaces = 0xFFFFFFFFu;

enum class CommandClass {
    Refused, // never sent
    Read,    // reads identity or a log; changes nothing on the controller
};

// A read must ask for exactly the bytes its structure has (Identify 4096,
// a log page a whole number of dwords up to the page's size, from offset
// 0); anything else, reserved bits included, is refused.
VORNPLATFORM_API CommandClass classifyCommand(const NvmeAdminCommand& command);

VORNPLATFORM_API NvmeAdminCommand identifyController();
VORNPLATFORM_API NvmeAdminCommand identifyNamespace(DWORD nsid);
// Asks to retain the asynchronous event the log may clear, so reading it
// leaves the controller's state as it was.
VORNPLATFORM_API NvmeAdminCommand getLogPage(BYTE logId, DWORD nsid, DWORD length);

} // namespace vorn::platform::nvme
