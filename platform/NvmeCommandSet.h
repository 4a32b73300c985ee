#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"

// The NVMe admin commands the suite sends, and the allow-list every device
// layer checks them against: Identify of the controller or of one
// namespace, three log pages (error information, health, device
// self-test), and Device Self-test to start a short or extended test of
// the whole controller or abort it. Nothing that formats, sanitises,
// downloads firmware, sets features or writes is ever passed through,
// whoever asks.
namespace vorn::platform::nvme {

constexpr BYTE kGetLogPage = 0x02;
constexpr BYTE kIdentify = 0x06;
constexpr BYTE kDeviceSelfTest = 0x14;

// Self-test Code, in bits 0-3 of dword 10 of Device Self-test.
constexpr BYTE kSelfTestShort = 0x1;
constexpr BYTE kSelfTestExtended = 0x2;
constexpr BYTE kSelfTestAbort = 0xF;

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
    Refused,  // never sent
    Read,     // reads identity or a log; changes nothing on the controller
    SelfTest, // starts or aborts the controller's device self-test
};

// A read must ask for exactly the bytes its structure has (Identify 4096,
// a log page a whole number of dwords up to the page's size, from offset
// 0); Device Self-test one of the three codes above for the namespace id 0
// or all namespaces, without data; anything else, reserved bits included,
// is refused.
VORNPLATFORM_API CommandClass classifyCommand(const NvmeAdminCommand& command);

VORNPLATFORM_API NvmeAdminCommand identifyController();
VORNPLATFORM_API NvmeAdminCommand identifyNamespace(DWORD nsid);
// Asks to retain the asynchronous event the log may clear, so reading it
// leaves the controller's state as it was.
VORNPLATFORM_API NvmeAdminCommand getLogPage(BYTE logId, DWORD nsid, DWORD length);
// Device Self-test of every namespace with the given code.
VORNPLATFORM_API NvmeAdminCommand deviceSelfTest(BYTE code);

} // namespace vorn::platform::nvme
