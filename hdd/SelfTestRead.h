#pragma once

#include "DeviceBackend.h"
#include "SelfTestLog.h"
#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

#include <vector>

// The commands that start, abort and follow a drive's self-test and read
// its logs, exactly as the device layer's allow-list takes them, and the
// reads themselves on an open handle. Whether a disk may be asked (it may be
// asleep) is the caller's decision.
namespace vorn::hdd {

// SMART EXECUTE OFF-LINE IMMEDIATE with an off-line routine (1, 2, 3 or 7Fh).
VORNHDD_API vorn::platform::AtaCommand ataExecuteOffline(BYTE routine);
// SMART READ LOG of one sector of log (01h or 06h).
VORNHDD_API vorn::platform::AtaCommand ataSmartReadLog(BYTE log);
// READ LOG EXT of one page of log (03h or 07h).
VORNHDD_API vorn::platform::AtaCommand ataReadLogExt(BYTE log, BYTE page);
// The off-line routine of a kind.
VORNHDD_API BYTE ataRoutine(SelfTestKind kind);

// What the logs of one drive said at the last read.
struct DriveLogs {
    bool selfTestLogRead = false;         // a self-test log came back
    bool errorLogRead = false;            // an error log came back
    std::vector<SelfTestEntry> selfTests; // newest first
    ErrorLog errors;
};

// How a start or abort went.
enum class SelfTestOutcome {
    Accepted,
    NotOffered,   // the drive offers no such test: nothing was sent
    Refused,      // the drive answered with an error (a test runs already, S.M.A.R.T. off)
    NotPermitted, // the device layer or the helper said no
    Failed,       // the command did not reach the drive
};
// One line for a user: "the drive refused the command", ...
VORNHDD_API QString selfTestOutcomeText(SelfTestOutcome outcome);
// From the device layer's errno of a failed send.
VORNHDD_API SelfTestOutcome selfTestOutcomeOfError(int error);

// The ATA logs. use48 (48-bit and General Purpose Logging, as the identify
// data say): the extended logs first, the summary ones where those fail.
VORNHDD_API DriveLogs readAtaLogs(HANDLE device, BYTE target, bool use48);
// The NVMe logs: device self-test (06h) and error information (01h) with
// the entries Identify Controller names.
VORNHDD_API DriveLogs readNvmeLogs(HANDLE device, const BYTE* identifyController, std::size_t size);
// Log 06h alone, for the progress of a running test; empty on failure.
VORNHDD_API std::vector<BYTE> readNvmeSelfTestLog(HANDLE device);

} // namespace vorn::hdd
