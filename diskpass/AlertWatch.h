#pragma once

#include "DiskAlerts.h"
#include "ScannedDisk.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>

namespace vorn::diskpass {

// Accept-and-watch: per disk, the state the user last accepted and what was
// already told about it, kept in "<serial>.watch" beside the baseline file
// (which keeps its fixed layout). The file is JSON, replaced whole and never
// written through a symbolic link; a file that is no watch file counts as
// none (the current state becomes the reference). One that cannot be read
// (a link, a FIFO, another user's file, no permission) is left as it is and
// said, like a reference that cannot be stored: on every run, since until
// then no change can be told. Each read-modify-write holds the file's lock,
// so a run that accepts and one that watches never undo each other.
//
// The reference's attribute values are the records' change marks: the
// library's change queries then report exactly the attributes that moved
// since the user accepted.
//
// An NVMe disk's reference holds its health log's counts as well ("nvme");
// a file without them reads as before, and the first log seen beside such a
// file becomes their reference without an alert.

struct WatchState {
    DiskHealth reference; // changed stays empty
    // Keys of the alerts already told, per channel ("desktop", "drivewatch"):
    // a change is told once on each.
    std::map<QString, QStringList> reported;
    // The user took this reference as it is; a reference the first read
    // took still tells what was already wrong then (StandingAlerts).
    bool accepted = false;
};

inline const QString kDesktopChannel = QStringLiteral("desktop");
inline const QString kDrivewatchChannel = QStringLiteral("drivewatch");

// "<directory>/<serial>.watch", serial as in the baseline file's name; empty
// when the directory is unknown or the disk reports no serial number.
QString WatchFilePath(const QString& directory, const QString& serial);

QByteArray EncodeWatchState(const WatchState& state);
// Nothing when bytes are not a watch file (too long, not JSON, wrong shape).
std::optional<WatchState> DecodeWatchState(const QByteArray& bytes);

struct WatchResult {
    bool watched = false;  // false: nothing was read (asleep, no S.M.A.R.T., no serial)
    bool firstRun = false; // the reference was taken just now
    // Every way the disk is worse than the reference, and until the user
    // accepts it what was already wrong at the first read.
    QList<DiskAlert> alerts;
    QList<DiskAlert> fresh; // those not yet told on the channel
    // "<path>: <reason>" when the watch file could not be read or written;
    // the alerts are then those against the current state (only limits).
    QString fileError;
};

// Compares a freshly read disk with its reference and remembers what the
// channel has now been told. The first time, the current state becomes the
// reference, so only a limit or a standing failure or caution speaks. Sets
// the records' change marks to the reference values.
WatchResult WatchDisk(CScannedDisk* disk, const QString& directory, const QString& channel,
                      const AlertLimits& limits);

// The current state becomes the reference: change marks moved, the told
// alerts forgotten except those that still hold against the new reference
// (a temperature still over its limit). False when it could not be stored,
// with *error set to "<path>: <reason>" when error is given.
bool AcceptDisk(CScannedDisk* disk, const QString& directory, const AlertLimits& limits,
                QString* error = nullptr);

// Runs while a watch file's lock is held, between its read and its write,
// with the watch file's path: a test's way into the window a second writer
// would race for. Empty (the default) runs nothing.
void SetWatchFileLockedHook(std::function<void(const QString&)> hook);

} // namespace vorn::diskpass
