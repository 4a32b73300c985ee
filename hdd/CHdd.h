#pragma once

#include "CHddInfo.h"
#include "CHddNvme.h"
#include "CHddSmart.h"
#include "DeviceStatistics.h"
#include "DriveKnowledge.h"
#include "PowerMode.h"
#include "RuntimeClass.h"
#include "SelfTestRead.h"
#include "TemperatureChoice.h"
#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

#include <vector>

// One physical disk: its device handle and access path, its identify data
// and its S.M.A.R.T. data. Device methods return 0 without any request
// while the disk is closed and pick the direct or the SCSI port form of each
// request; data methods answer from the stored images whether the disk is
// open or not. The members are public: the programs reopen a disk from the
// drive numbers and patch the identify image.
//
// A disk that the device layer reports as an NVMe namespace answers the same
// methods from its NVMe data: GetHddInfo reads the Identify structures,
// GetSmartAttribute the health log, and the data methods decode them. The
// ATA-only requests (version, enable, disable, auto-save, thresholds) send
// nothing to such a disk and return 0. What the scan patched into the ATA
// identify image (a model or size from the system) stands in where the NVMe
// data have none.
//
// The programs derive their own disk class from CHdd and register it with
// VORN_DECLARE_DYNCREATE / VORN_IMPLEMENT_DYNCREATE(CDisk, CHdd).
class VORNHDD_API CHdd : public CObject {
    VORN_DECLARE_DYNCREATE(CHdd)

public:
    CHdd();
    // Closes the handle (and writes its trace line).
    ~CHdd() override;

    // (drive, -1, -1) opens "\\.\PhysicalDrive<drive>"; (drive, port, target)
    // with port != -1 opens "\\.\Scsi<port>:" and addresses target. A
    // handle that is still open is closed first.
    BOOL OpenHddHandle(int nDrive, int nScsiPort, int nScsiTarget);
    // TRUE when nothing was open or the close succeeded.
    BOOL CloseHddHandle();

    // TRUE when the last successful open found an NVMe namespace.
    BOOL IsNvme() const { return m_bNvme; }

    // Device methods.
    int GetHddInfo();
    int GetSmartVersion();
    int EnableSmart();
    int DisableSmart();
    int EnableSmartAutoSave();
    int DisableSmartAutoSave();
    // -1, 0 or 1; 0 also on a closed disk, where the stored verdict is kept.
    int GetSmartStatus();
    int GetSmartAttribute();
    int GetSmartThresholds();
    // Reads the Device Statistics log into m_DeviceStatistics where the
    // identify data suggest the drive keeps one (DeviceStatisticsRead.h);
    // TRUE when a page of it came back. Sends nothing to a closed or NVMe
    // disk, and a closed one keeps what it had.
    int GetDeviceStatistics();
    // The disk's power mode, asked so that a sleeping disk stays asleep:
    // the kernel's runtime power state first, then CHECK POWER MODE through
    // the ATA pass-through (not on an NVMe disk, which is then Unknown unless
    // suspended). Unknown on a closed disk. Writes no log line.
    vorn::hdd::PowerMode CheckPowerMode();
    // Starts a self-test in the drive's background (the off-line form on
    // ATA, Device Self-test of all namespaces on NVMe), or aborts the one
    // that runs. A test the data say the drive does not offer is not sent.
    // The drive runs the test on its own: it goes on when the program ends.
    vorn::hdd::SelfTestOutcome StartSelfTest(vorn::hdd::SelfTestKind kind);
    vorn::hdd::SelfTestOutcome AbortSelfTest();
    // Asks the drive how its test goes: SMART READ DATA again on ATA (the
    // attribute sector is renewed with it), the self-test log on NVMe. TRUE
    // when the drive answered. Sends nothing to a closed disk.
    int ReadSelfTestProgress();
    // Reads the self-test and error logs into m_DriveLogs: on a 48-bit drive
    // with General Purpose Logging the extended logs, else the summary ones.
    // TRUE when either log came back; a closed disk keeps what it had.
    int GetDriveLogs();

    // Data methods.
    int SupportSMART() const;
    int EnableSMART() const; // the identify image's S.M.A.R.T.-enabled bit
    QString GetSerialNumber() const;
    QString GetFirmwareRev() const;
    QString GetManufacturer() const;
    QString GetModelNumber() const;
    long GetBufferCapacity() const;
    LONGLONG GetDiskCapacity() const;
    LONGLONG Get48LBACapacity() const;
    LONGLONG Get28LBACapacity() const;
    LONGLONG GetChsCapacity() const;
    double Get48LBACapacityGB() const;
    double Get28LBACapacityGB() const;
    double GetChsCapacityGB() const;
    QString GetMajorVersion() const;
    QString GetInterface() const;
    QString GetTransferMode(int nCurrent) const;
    // Bytes per logical sector: IDENTIFY words 106 and 117-118, the
    // namespace's format on NVMe; 512 where neither says.
    LONGLONG GetLogicalSectorSize() const;
    // -1 unknown, 0 good, 1 failing, 2 caution (CHddSmart::GetStatus, or
    // the NVMe health log's verdict).
    int GetStatus() const;
    // The IDs at or below their non-zero thresholds, in sector order; none
    // on NVMe.
    std::vector<BYTE> GetFailingAttributes() const;
    int GetTemperature() const;
    // Where GetTemperature came from: "attribute_194", "device_statistics",
    // "nvme_health", or empty when there is no reading.
    QString GetTemperatureSource() const;
    int GetPowerOnHours() const;
    long long GetPowerCycle() const;
    // The tests the drive offers and their expected minutes, from the
    // S.M.A.R.T. data (ATA) or Identify Controller (NVMe) of the last read.
    vorn::hdd::SelfTestCapabilities GetSelfTestCapabilities() const;
    // The state of the running or last test at the last read: the
    // execution status byte (ATA) or the self-test log (NVMe).
    vorn::hdd::SelfTestProgress GetSelfTestProgress() const;
    // The display records, named with m_Knowledge.
    void GetDisplayAttribute();
    void DeleteDisplayAttribute();

    HANDLE m_hHdd;
    int m_nDrive;
    int m_nScsiPort;
    int m_nScsiTarget;
    BOOL m_bScsi;
    CHddInfo m_HddInfo;
    CHddSmart m_HddSmart;
    CHddNvme m_HddNvme;
    BOOL m_bNvme;
    // Looked up from the model and firmware after each identify read.
    vorn::hdd::DriveKnowledge m_Knowledge;
    // The Device Statistics log of the latest read; empty when the drive has none.
    vorn::hdd::DeviceStatistics m_DeviceStatistics;
    // The self-test and error logs of the latest GetDriveLogs.
    vorn::hdd::DriveLogs m_DriveLogs;
    // An NVMe disk's device self-test log (564 bytes) as last read; empty before.
    std::vector<BYTE> m_NvmeSelfTestLog;

private:
    bool IsOpen() const { return m_hHdd != INVALID_HANDLE_VALUE; }
    vorn::hdd::TemperatureChoice AtaTemperature() const;
    BYTE AtaTarget() const;
    vorn::hdd::SelfTestOutcome SendSelfTest(BYTE ataRoutine, BYTE nvmeCode);
};
