#pragma once

#include "VornComExport.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reading and writing the suite's own files so that neither another local
// user nor a broken file can turn a run (often a root run) against the
// machine: inputs are regular files of a bounded size, outputs are replaced
// whole and never written through a symbolic link.

// Failure codes: an errno value, or one of these.
constexpr int kCmNotRegularFile = -1; // a FIFO, device, socket or folder
constexpr int kCmFileTooLarge = -2;   // more bytes than the format can hold
constexpr int kCmSymbolicLink = -3;   // an output path that is a link
constexpr int kCmHardLink = -4;       // an output file that has other names too
constexpr int kCmOtherOwner = -5;     // a file of another user where ours belongs

// A short phrase for a failure code, to follow "<path>: ".
VORNCOM_API QString Cm_FileErrorText(int code);

// The whole content of a regular file of at most maxBytes bytes. Symbolic
// links are followed (inputs may be shared that way), but what they lead to
// must be a regular file: the open never blocks on a FIFO and never reads a
// device. nullopt with *error set (ENOENT when there is no file).
VORNCOM_API std::optional<QByteArray> Cm_ReadBoundedFile(const QString& path, qint64 maxBytes,
                                                         int* error = nullptr);

// Like Cm_ReadBoundedFile, for a file that the program itself keeps in a
// folder others may write to (baselines, watch files in the current
// folder): a symbolic link at the name is refused rather than followed
// (kCmSymbolicLink: it will not be written through either), and so is a file
// that belongs neither to this process's user nor to root.
VORNCOM_API std::optional<QByteArray> Cm_ReadOwnFile(const QString& path, qint64 maxBytes,
                                                     int* error = nullptr);

// Opens a file that is written as it goes (a log, a trace) without
// following a link at its name and without blocking on a FIFO; anything but
// a regular file is refused, and so is one with other hard links (writing
// would change the file behind them) or of another user. append 0 empties
// the file once it is known to be acceptable. Returns a descriptor, or -1
// with *failure set to a failure code.
VORNCOM_API int Cm_OpenRegularFileForWriting(const QByteArray& fileName, bool append, int* failure);

// Replaces path with bytes as a whole or not at all: the bytes go to a
// temporary file in the same folder, are flushed, and the temporary file is
// renamed over path; then the folder itself is flushed so the new name
// survives a power cut. A symbolic link, anything but a regular file, a file
// with other hard links or one of another user at path is refused and left
// alone. A new file gets 0666 less the umask; a file of our own keeps its
// permission bits, less set-user-id, set-group-id and sticky. Temporary
// files that an earlier, interrupted process left for the same path are
// removed first. Returns 0 or a failure code.
VORNCOM_API int Cm_ReplaceFile(const QString& path, const QByteArray& bytes);

// Removes from folder the temporaries of Cm_ReplaceFile whatever file they
// were for, when the process that made them no longer exists: regular files
// of this user named ".<name>.tmp.<pid>". A run calls it once for each
// folder it keeps files in, so a killed run's leftovers go at the next run
// even when that run writes nothing there.
VORNCOM_API void Cm_RemoveStaleTemporaries(const QString& folder);

// The name prefix of the temporary files Cm_ReplaceFile makes for a file
// name: ".<name>.tmp." followed by the writing process's id.
VORNCOM_API QString Cm_ReplaceFileTempPrefix(const QString& fileName);
