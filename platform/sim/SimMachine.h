#pragma once

#include "DeviceBackend.h"
#include "UsbBridge.h"
#include "VornPlatformExport.h"
#include "WinTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// A simulated machine: disks, volumes and the OS version served from files,
// so that tests and demos run without root and without real ATA disks.
//
// Layout of a machine folder (the folder named by VORN_SIM, installed for the
// whole process by SimMachineInstall.h):
//   machine.ini            optional, [Machine] Platform, MajorVersion, ...
//   <disk folder>/         one per physical disk, taken in name order
//     disk.ini             [Drive], [Volumes], [Device]
//     identify.hex         512 bytes as hex pairs, '#' comments allowed
//     smart-data.hex
//     smart-thresholds.hex
//     device-statistics.hex  log 04h as whole pages from page 0 (1 to 8)
//     nvme-identify-controller.hex, nvme-identify-namespace.hex,
//     nvme-health.hex      for a disk with [Device] Protocol=NVMe
//     self-test-log.hex, ext-self-test-log.hex, error-log.hex,
//     ext-error-log.hex    ATA logs 06h, 07h, 01h, 03h (the ext ones whole pages)
//     nvme-self-test-log.hex, nvme-error-log.hex   NVMe logs 06h and 01h
//
// The parsers below take text and do no I/O; loadSimMachine() reads the
// files and hands their text to them.
namespace vorn::platform {

struct SimMachineInfo {
    DWORD platform = 2; // 1 = Windows 9x family, 2 = NT family
    DWORD majorVersion = 10;
    DWORD minorVersion = 0;
    BYTE productType = 1;
    DWORD buildNumber = 0;
    QString csdVersion; // service-pack text
    // DiskAccess=Privileged: the disks open only for a process that may send
    // pass-through (root or CAP_SYS_RAWIO), as real disks do; others reach
    // them through the disk helper. Default Open.
    bool privilegedDiskAccess = false;
};

// The requests a disk can be told to fail ([Device] Fail).
enum class SimRequest : unsigned {
    Version = 1u << 0,
    Identify = 1u << 1,
    SmartData = 1u << 2,
    SmartThresholds = 1u << 3,
    Status = 1u << 4,
    Enable = 1u << 5,
    Disable = 1u << 6,
    AutoSave = 1u << 7,
    PowerMode = 1u << 8, // CHECK POWER MODE
};

// The power mode a simulated disk starts in ([Device] PowerMode).
enum class SimPowerMode {
    Active,
    Idle,
    Standby, // spun down: any command but CHECK POWER MODE wakes it
};

// What SMART RETURN STATUS answers in cylinder low/high.
enum class SimStatus {
    Good,     // 4F/C2
    Exceeded, // F4/2C
    None,     // 00/00
};

// How a simulated bridge's answers go wrong ([Device] BridgeReply).
enum class SimBridgeReply {
    Sound,
    Short,   // the data transfer stops short
    Garbage, // check condition with sense data of no known format
};

// How a self-test started on a simulated disk ends ([Device] SelfTest).
enum class SimSelfTestEnd {
    Pass,
    Fail,  // a read failure at SelfTestFailLba, 60 % into the test
    Stuck, // "in progress" forever, 10 % remaining
};

struct SimDeviceSettings {
    bool direct = true;    // "\\.\PhysicalDrive%d" opens
    bool scsi = false;     // "\\.\Scsi%d:" opens (port = [Drive] SCSIPort)
    unsigned failMask = 0; // SimRequest bits
    SimStatus status = SimStatus::Good;
    long long powerOnPerHour = 0; // growth of attribute 9's raw value per hour
    int openError = 0;            // errno of every open that reaches this disk, 0 = none
    SimPowerMode powerMode = SimPowerMode::Active;
    bool nvme = false;       // Protocol=NVMe: admin commands, no ATA
    DWORD nvmeNamespace = 1; // the namespace the disk's node is
    PcieLink pcieLink;       // MaxLinkSpeed, MaxLinkWidth, CurrentLink...
    // Bridge=: the disk sits behind a USB bridge that answers as a bridge of
    // this path does; its USB id (UsbId=vvvv:pppp[:rrrr]) decides what the
    // device layer sends it.
    std::optional<usb::BridgePath> bridge;
    usb::BridgeId usbId;
    QString usbDriver = QStringLiteral("uas"); // UsbDriver=
    SimBridgeReply bridgeReply = SimBridgeReply::Sound;
    // UnitSerial=: the unit serial number the bridge's VPD page 80h holds;
    // empty when the bridge keeps no such page.
    QString unitSerial;
    SimSelfTestEnd selfTestEnd = SimSelfTestEnd::Pass;
    unsigned long long selfTestFailLba = 0x12345; // SelfTestFailLba=

    bool fails(SimRequest request) const { return failMask & static_cast<unsigned>(request); }
};

struct SimPartition {
    int number = 0;         // N of the key PartitionN
    QStringList driveNames; // "C:", "/home", ...
};

struct SimDriveField {
    QString name; // canonical spelling of the disk-drive record field
    QString value;
};

struct VORNPLATFORM_API SimDisk {
    QString folder; // the sub-folder's name
    // [Drive] in file order. Index is always present: the file's value, or
    // the disk's position among the loaded disks when the file gives none.
    QList<SimDriveField> drive;
    QList<SimPartition> partitions; // ordered by number
    SimDeviceSettings device;
    // 512 bytes each, exactly as the device sends them; empty when the file
    // is missing (that request then fails).
    QByteArray identify;
    QByteArray smartData;
    QByteArray smartThresholds;
    // The Device Statistics log from page 0, whole 512-byte pages (page k at
    // 512 k); empty when the disk keeps none, and then every read of it aborts.
    QByteArray deviceStatistics;
    // An NVMe disk's Identify Controller and Namespace (4096 bytes each) and
    // its health log (512 bytes); empty when the file is missing.
    QByteArray nvmeIdentifyController;
    QByteArray nvmeIdentifyNamespace;
    QByteArray nvmeHealth;
    // The self-test and error logs as their files give them; empty when
    // missing. The ext ones are whole pages from page 0.
    QByteArray selfTestLog;     // ATA 06h, 512 bytes
    QByteArray extSelfTestLog;  // ATA 07h
    QByteArray errorLog;        // ATA 01h, 512 bytes
    QByteArray extErrorLog;     // ATA 03h
    QByteArray nvmeSelfTestLog; // 564 bytes
    QByteArray nvmeErrorLog;    // 512 bytes: eight entries

    // The field's text, or an empty string when the file does not give it.
    QString driveField(const QString& name) const;
    // The field read as an integer the way the system queries read numbers
    // (vorn::readLeadingNumber, clamped to 64 bits; 0 when empty or
    // unreadable).
    long long driveNumber(const QString& name) const;

    int index() const { return static_cast<int>(driveNumber(QStringLiteral("Index"))); }
    int scsiPort() const { return static_cast<int>(driveNumber(QStringLiteral("SCSIPort"))); }
    int scsiTargetId() const {
        return static_cast<int>(driveNumber(QStringLiteral("SCSITargetId")));
    }
};

struct VORNPLATFORM_API SimMachine {
    QString directory;
    SimMachineInfo info;
    std::vector<SimDisk> disks; // folder name order

    const SimDisk* diskByIndex(int index) const;
};

// The field names of the disk-drive record, in record order.
VORNPLATFORM_API const QStringList& simDriveFieldNames();
// The [Drive] fields the record holds as 32-bit numbers (Size is 64-bit).
VORNPLATFORM_API bool isInt32DriveField(const QString& name);

// --- Parsers: text in, result or one error out. -------------------------

struct SimParseError {
    int line = 0; // 1-based; 0 when the error is not tied to a line
    QString message;
};

// Parses machine.ini.
VORNPLATFORM_API std::optional<SimMachineInfo> parseSimMachineIni(const QByteArray& text,
                                                                  SimParseError* error);

// Parses disk.ini into the drive, partitions and device members of disk.
VORNPLATFORM_API bool parseSimDiskIni(const QByteArray& text, SimDisk* disk, SimParseError* error);

// Parses a sector file: exactly 512 bytes as hex pairs; white space and
// '#' comments (to the end of the line) are ignored.
VORNPLATFORM_API std::optional<QByteArray> parseSimSectorHex(const QByteArray& text,
                                                             SimParseError* error);
// The same for an image of any size (the 4096-byte NVMe Identify data).
VORNPLATFORM_API std::optional<QByteArray> parseSimImageHex(const QByteArray& text, int size,
                                                            SimParseError* error);

// The same for a log of whole 512-byte pages, 1 to maxPages of them.
VORNPLATFORM_API std::optional<QByteArray> parseSimPagesHex(const QByteArray& text, int maxPages,
                                                            SimParseError* error);

// The most pages device-statistics.hex may hold.
inline constexpr int kSimStatisticsMaxPages = 8;
// The NVMe logs' file sizes.
inline constexpr int kSimNvmeSelfTestLogSize = 564;
inline constexpr int kSimNvmeErrorLogSize = 512;

// --- Loading ---------------------------------------------------------------

// Reads a machine folder. Each malformed file writes one line naming the
// file and the line to standard error; a malformed disk is left out, a
// malformed machine.ini falls back to the defaults. Null when the folder
// does not exist.
VORNPLATFORM_API std::shared_ptr<const SimMachine> loadSimMachine(const QString& directory);

// VORN_SIM, or empty (also under secure execution, where the environment
// must not point a privileged program at other files). Installing what it
// names is SimMachineInstall.h's business.
VORNPLATFORM_API QString simMachineFolder();

// VORN_SIM_TRACE, or empty (also under secure execution). Read at every
// request, so a test may set it between requests.
VORNPLATFORM_API QString simTraceFile();

} // namespace vorn::platform
