#include "NvmeCommandSet.h"

namespace vorn::platform::nvme {

namespace {

constexpr DWORD kRetainAsyncEvent = 1u << 15;

DWORD maximumLogLength(BYTE logId) {
    switch (logId) {
    case kLogErrorInformation:
        return kErrorLogMaxSize;
    case kLogHealth:
        return kHealthLogSize;
    case kLogSelfTest:
        return kSelfTestLogSize;
    default:
        return 0;
    }
}

bool isIdentifyRead(const NvmeAdminCommand& c) {
    if (c.dataLength != kIdentifySize || c.cdw11 || c.cdw12 || c.cdw13 || c.cdw14 || c.cdw15)
        return false;
    // Controller id (bits 16-31) and reserved bits 8-15 stay clear.
    switch (c.cdw10) {
    case kCnsController:
        return c.nsid == 0;
    case kCnsNamespace:
        return c.nsid != 0 && c.nsid != kAllNamespaces;
    default:
        return false;
    }
}

bool isLogRead(const NvmeAdminCommand& c) {
    const BYTE logId = static_cast<BYTE>(c.cdw10 & 0xFF);
    const DWORD maximum = maximumLogLength(logId);
    // Log specific field (bits 8-14) zero; only the retain bit may be set.
    if (maximum == 0 || (c.cdw10 & 0x7F00u))
        return false;
    // No log specific identifier, no offset, no UUID index.
    if ((c.cdw11 & 0xFFFF0000u) || c.cdw12 || c.cdw13 || c.cdw14 || c.cdw15)
        return false;
    const unsigned long long dwords =
        ((static_cast<unsigned long long>(c.cdw11 & 0xFFFF) << 16) | (c.cdw10 >> 16)) + 1;
    return c.dataLength != 0 && c.dataLength <= maximum && dwords * 4 == c.dataLength;
}

bool isSelfTest(const NvmeAdminCommand& c) {
    const bool knownCode =
        c.cdw10 == kSelfTestShort || c.cdw10 == kSelfTestExtended || c.cdw10 == kSelfTestAbort;
    return knownCode && (c.nsid == 0 || c.nsid == kAllNamespaces) && c.dataLength == 0 &&
           !c.cdw11 && !c.cdw12 && !c.cdw13 && !c.cdw14 && !c.cdw15;
}

} // namespace

CommandClass classifyCommand(const NvmeAdminCommand& command) {
    switch (command.opcode) {
    case kIdentify:
        return isIdentifyRead(command) ? CommandClass::Read : CommandClass::Refused;
    case kGetLogPage:
        return isLogRead(command) ? CommandClass::Read : CommandClass::Refused;
    case kDeviceSelfTest:
        return isSelfTest(command) ? CommandClass::SelfTest : CommandClass::Refused;
    default:
        return CommandClass::Refused;
    }
}

NvmeAdminCommand identifyController() {
    NvmeAdminCommand command;
    command.opcode = kIdentify;
    command.cdw10 = kCnsController;
    command.dataLength = kIdentifySize;
    return command;
}

NvmeAdminCommand identifyNamespace(DWORD nsid) {
    NvmeAdminCommand command;
    command.opcode = kIdentify;
    command.nsid = nsid;
    command.cdw10 = kCnsNamespace;
    command.dataLength = kIdentifySize;
    return command;
}

NvmeAdminCommand getLogPage(BYTE logId, DWORD nsid, DWORD length) {
    NvmeAdminCommand command;
    command.opcode = kGetLogPage;
    command.nsid = nsid;
    const DWORD dwordsLessOne = length / 4 - 1;
    command.cdw10 = logId | kRetainAsyncEvent | ((dwordsLessOne & 0xFFFF) << 16);
    command.cdw11 = dwordsLessOne >> 16;
    command.dataLength = length;
    return command;
}

} // namespace vorn::platform::nvme

namespace vorn::platform::nvme {

NvmeAdminCommand deviceSelfTest(BYTE code) {
    NvmeAdminCommand command;
    command.opcode = kDeviceSelfTest;
    command.nsid = kAllNamespaces;
    command.cdw10 = code;
    return command;
}

} // namespace vorn::platform::nvme
