#pragma once

#include "CheckerClock.h"
#include "CheckerOptions.h"

#include <QString>

#include <functional>

class CDisk;
class CDiskList;
struct CmDiskDriveRecord;
struct CmLogicalDiskPartitionRecord;

// Finding the disks, reading them, and reading them again.

// "<start dir>/DrivewatchMini.log": the run log of one scan.
QString RunLogPath(const QString& startDir);

// Asks the system for its disk drives and appends one CDisk per usable
// fixed disk to list, in the system's order: USB disks and drives without
// a medium are skipped, a disk that does not open in two attempts (with a
// sleep of one second between them) is dropped. Each disk is read whole
// and closed again. The run log at logPath (none when empty) is open for
// exactly the disk loop, so it holds the disk library's own lines and
// nothing of the system queries. Then the drive names of the volumes are
// attached.
void ScanDisks(CDiskList* list, const CheckerOptions& options, const QString& logPath,
               const CheckerSleeper& sleep);

// One drive record of the scan: the open attempts, the reads, the forced
// switching and what the system supplies where the disk has nothing. Null
// when the disk could not be opened.
std::unique_ptr<CDisk> ReadDiskDrive(const CmDiskDriveRecord& drive, const CheckerOptions& options,
                                     const CheckerSleeper& sleep);

// Appends "<drive name> " to the disk the partition record names.
void AttachDriveName(const CDiskList& list, const CmLogicalDiskPartitionRecord& partition);

// Reopens every disk by the path it was found on and reads it again;
// afterDisk runs for each disk with S.M.A.R.T. enabled once its data are
// fresh (the checker writes the baseline file there). The model and size
// the system reported fill in again where the disk gives none, as in the scan.
void RefreshDisks(const CDiskList& list, const std::function<void(CDisk*)>& afterDisk);

// The model a disk gives the system, put into the identify image's model
// field (40 bytes, cut at a character boundary) when the disk gave none.
void StoreSystemModel(CDisk* disk, const QString& model);
