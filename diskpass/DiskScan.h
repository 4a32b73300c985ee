#pragma once

#include "DiskListOf.h"
#include "PassClock.h"
#include "PassOptions.h"
#include "ScannedDisk.h"

#include <QString>

#include <functional>
#include <memory>

struct CmDiskDriveRecord;
struct CmLogicalDiskPartitionRecord;

namespace vorn::diskpass {

// Finding the disks, reading them, and reading them again. The scan serves
// every program: it fills a list of the program's own disk class, which
// derives from CScannedDisk.

// How a pass over the disks treats their power modes.
enum class PowerCheck {
    Off,          // nothing is asked; every disk is read
    Note,         // each disk's mode is asked and kept; every disk is read
    SkipSleeping, // as Note, but a disk in standby is not read in the pass
};

// "<start dir>/DrivewatchMini.log": the run log of one scan.
QString RunLogPath(const QString& startDir);

// Asks the system for its disk drives and calls readDrive for each usable
// disk: the fixed disks in the system's order, then the USB disks in the
// same order; drives without a medium are skipped. The run log at logPath (none when empty) is open
// for exactly these calls, so it holds the disk library's own lines and nothing of the system
// queries. False when the system gave no drive table.
bool ForEachScannedDrive(const PassOptions& options, const QString& logPath,
                         const std::function<void(const CmDiskDriveRecord&)>& readDrive);

// One drive record into a fresh disk: the open attempts (two, with a sleep
// of one second between them unless the first failed only for want of
// permission or of the device), the reads, the forced switching and what the
// system supplies where the disk has nothing. The disk is closed again.
// False when it could not be opened. Under SkipSleeping a disk in standby
// gets nothing but the check: it keeps what the system reported of it.
bool ReadDiskDrive(CScannedDisk* disk, const CmDiskDriveRecord& drive, const PassOptions& options,
                   const PassSleeper& sleep, PowerCheck check = PowerCheck::Off);

// For an opened disk: asks its power mode as check says. Under SkipSleeping
// a disk in standby is closed again, marked sleeping, and true returned;
// otherwise the disk stays open and is marked awake.
bool LeaveIfAsleep(CScannedDisk* disk, PowerCheck check);

// Appends "<drive name> " to the disk the partition record names.
void AttachDriveName(const std::function<CScannedDisk*(int nDrive)>& findDrive,
                     const CmLogicalDiskPartitionRecord& partition);

// Asks the system for the volumes and attaches their drive names.
void AttachDriveNames(BYTE nInit, const std::function<CScannedDisk*(int nDrive)>& findDrive);

// Opens a disk again by the path it was found on.
BOOL ReopenDisk(CHdd* disk);

// Reads an opened disk again and closes it. whileOpen runs for a disk with
// S.M.A.R.T. enabled once its data are fresh, before the close. The model
// and size the system reported fill in again where the disk gives none, as
// in the scan.
void RereadDisk(CScannedDisk* disk, const std::function<void()>& whileOpen);

// The model a disk gives the system, put into the identify image's model
// field (40 bytes, cut at a character boundary) when the disk gave none.
void StoreSystemModel(CHdd* disk, const QString& model);

// The whole scan into list: every usable disk that opens, then the drive
// names of the volumes.
template <class Disk>
void ScanDisks(CDiskListOf<Disk>* list, const PassOptions& options, const QString& logPath,
               const PassSleeper& sleep, PowerCheck check = PowerCheck::Off) {
    const bool haveDrives =
        ForEachScannedDrive(options, logPath, [&](const CmDiskDriveRecord& drive) {
            auto disk = std::make_unique<Disk>();
            if (ReadDiskDrive(disk.get(), drive, options, sleep, check))
                list->AddTail(std::move(disk));
        });
    if (haveDrives)
        AttachDriveNames(options.m_nOptInit,
                         [list](int nDrive) -> CScannedDisk* { return list->FindDrive(nDrive); });
}

// Reopens every disk by the path it was found on and reads it again;
// afterDisk runs for each disk with S.M.A.R.T. enabled once its data are
// fresh (the checker writes the baseline file there). A disk that does not
// open is read as a closed one: its device reads fail and its data stay. A
// disk that check leaves asleep is skipped, afterDisk included.
template <class Disk>
void RefreshDisks(const CDiskListOf<Disk>& list,
                  const std::function<void(typename CDiskListOf<Disk>::DiskType*)>& afterDisk,
                  PowerCheck check = PowerCheck::Off) {
    for (Disk* disk : list) {
        if (ReopenDisk(disk) && LeaveIfAsleep(disk, check))
            continue;
        RereadDisk(disk, [&] {
            if (afterDisk)
                afterDisk(disk);
        });
    }
}

} // namespace vorn::diskpass
