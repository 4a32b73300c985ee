#include "SelfTestRead.h"

#include "AtaCommandSet.h"
#include "AtaRequest.h"
#include "DeviceIo.h"
#include "ErrorLog.h"
#include "NvmeCommandSet.h"

#include <algorithm>
#include <cerrno>

namespace vorn::hdd {

namespace {

namespace ata = vorn::platform::ata;
namespace nvme = vorn::platform::nvme;
using vorn::platform::AtaCommand;
using vorn::platform::kSectorSize;

// Pages of log 03h read at most: the newest entry's page and those before
// it. A drive with a deeper ring still gives its count and newest entries.
constexpr int kMaxErrorPages = 8;

QString logTrace(const char* what, BYTE log, BYTE page) {
    return QStringLiteral("CHdd::GetDriveLogs-") + QLatin1String(what) +
           QString::asprintf("-%02X-%02X", log, page);
}

bool readPage(HANDLE device, BYTE target, const AtaCommand& command, const QString& trace,
              std::vector<BYTE>* out) {
    std::vector<BYTE> data;
    if (!vorn::ata::sendAtaPassThrough(device, command, target, trace, &data) ||
        data.size() != std::size_t(kSectorSize))
        return false;
    out->insert(out->end(), data.begin(), data.end());
    return true;
}

bool readExtErrorLog(HANDLE device, BYTE target, DriveLogs* logs) {
    std::vector<BYTE> log;
    if (!readPage(device, target, ataReadLogExt(ata::kLogExtComprehensiveError, 0),
                  logTrace("ReadLogExt", ata::kLogExtComprehensiveError, 0), &log))
        return false;
    const int newestPage = std::min(ataExtErrorNewestPage(log.data(), log.size()), kMaxErrorPages);
    for (int page = 1; page <= newestPage; ++page) {
        if (!readPage(device, target, ataReadLogExt(ata::kLogExtComprehensiveError, BYTE(page)),
                      logTrace("ReadLogExt", ata::kLogExtComprehensiveError, BYTE(page)), &log))
            break;
    }
    logs->errors = ataExtErrorLog(log.data(), log.size());
    logs->errorLogRead = true;
    return true;
}

} // namespace

AtaCommand ataExecuteOffline(BYTE routine) {
    return AtaCommand({ata::kSmartExecuteOffline, 0, routine, ata::kSmartLbaMid, ata::kSmartLbaHigh,
                       0, ata::kSmart},
                      false);
}

AtaCommand ataSmartReadLog(BYTE log) {
    return AtaCommand(
        {ata::kSmartReadLog, 1, log, ata::kSmartLbaMid, ata::kSmartLbaHigh, 0, ata::kSmart}, true);
}

AtaCommand ataReadLogExt(BYTE log, BYTE page) {
    AtaCommand command({0, 1, log, page, 0, 0, ata::kReadLogExt}, true);
    command.extended = true;
    return command;
}

BYTE ataRoutine(SelfTestKind kind) {
    switch (kind) {
    case SelfTestKind::Short:
        return ata::kSelfTestShort;
    case SelfTestKind::Extended:
        return ata::kSelfTestExtended;
    case SelfTestKind::Conveyance:
        return ata::kSelfTestConveyance;
    }
    return ata::kSelfTestAbort;
}

QString selfTestOutcomeText(SelfTestOutcome outcome) {
    switch (outcome) {
    case SelfTestOutcome::Accepted:
        return QStringLiteral("accepted");
    case SelfTestOutcome::NotOffered:
        return QStringLiteral("the drive does not offer this test");
    case SelfTestOutcome::Refused:
        return QStringLiteral("the drive refused the command");
    case SelfTestOutcome::NotPermitted:
        return QStringLiteral("not permitted (run as root or authorise through the disk helper)");
    case SelfTestOutcome::Failed:
        return QStringLiteral("the command did not reach the drive");
    }
    return {};
}

SelfTestOutcome selfTestOutcomeOfError(int error) {
    switch (error) {
    case EIO:
        return SelfTestOutcome::Refused;
    case EPERM:
    case EACCES:
        return SelfTestOutcome::NotPermitted;
    default:
        return SelfTestOutcome::Failed;
    }
}

DriveLogs readAtaLogs(HANDLE device, BYTE target, bool use48) {
    DriveLogs logs;
    std::vector<BYTE> log;
    if (use48 && readPage(device, target, ataReadLogExt(ata::kLogExtSelfTest, 0),
                          logTrace("ReadLogExt", ata::kLogExtSelfTest, 0), &log)) {
        logs.selfTests = ataExtSelfTestLog(log.data(), log.size());
        logs.selfTestLogRead = true;
    }
    log.clear();
    if (!logs.selfTestLogRead && readPage(device, target, ataSmartReadLog(ata::kLogSelfTest),
                                          logTrace("SmartReadLog", ata::kLogSelfTest, 0), &log)) {
        logs.selfTests = ataSelfTestLog(log.data(), log.size());
        logs.selfTestLogRead = true;
    }
    if (use48 && readExtErrorLog(device, target, &logs))
        return logs;
    log.clear();
    if (readPage(device, target, ataSmartReadLog(ata::kLogSummaryError),
                 logTrace("SmartReadLog", ata::kLogSummaryError, 0), &log)) {
        logs.errors = ataSummaryErrorLog(log.data(), log.size());
        logs.errorLogRead = true;
    }
    return logs;
}

std::vector<BYTE> readNvmeSelfTestLog(HANDLE device) {
    std::vector<BYTE> log(nvme::kSelfTestLogSize, 0);
    Cm_WriteErrorString(QStringLiteral("CHddNvme::GetSelfTestLog"));
    const auto outcome = vorn::platform::SendNvmeAdminCommand(
        device, nvme::getLogPage(nvme::kLogSelfTest, nvme::kAllNamespaces, nvme::kSelfTestLogSize),
        log.data());
    if (!outcome.succeeded()) {
        vorn::ata::logLastError();
        return {};
    }
    return log;
}

DriveLogs readNvmeLogs(HANDLE device, const BYTE* identifyController, std::size_t size) {
    DriveLogs logs;
    const std::vector<BYTE> selfTest = readNvmeSelfTestLog(device);
    if (!selfTest.empty()) {
        logs.selfTests = nvmeSelfTestLog(selfTest.data(), selfTest.size());
        logs.selfTestLogRead = true;
    }
    const DWORD entries = DWORD(std::clamp(nvmeErrorLogEntries(identifyController, size), 1,
                                           int(nvme::kErrorLogMaxSize / 64)));
    std::vector<BYTE> errors(entries * 64, 0);
    Cm_WriteErrorString(QStringLiteral("CHddNvme::GetErrorLog"));
    const auto outcome = vorn::platform::SendNvmeAdminCommand(
        device, nvme::getLogPage(nvme::kLogErrorInformation, nvme::kAllNamespaces, entries * 64),
        errors.data());
    if (outcome.succeeded()) {
        logs.errors = nvmeErrorLog(errors.data(), errors.size());
        logs.errorLogRead = true;
    } else {
        vorn::ata::logLastError();
    }
    return logs;
}

} // namespace vorn::hdd
