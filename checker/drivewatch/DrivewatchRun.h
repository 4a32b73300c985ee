#pragma once

#include "PassClock.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace vorn::drivewatch {

// One run of the drivewatch tool, apart from the process: the arguments in,
// the output, the error text and the exit status out.
struct DrivewatchEnvironment {
    QString programDir; // holds Template/ with the report templates
    QString currentDir; // where the baseline files live
    QString version;    // for --version
    diskpass::PassClock now = diskpass::SystemClock();
    diskpass::PassSleeper sleep = diskpass::SystemSleeper();
    // Where the report goes as it is made, disk by disk, so that a machine
    // of many disks is never held whole; gives 0 or the errno of a failed
    // write. Unset, the whole report is in the result's out.
    std::function<int(const QByteArray&)> streamOut;
    // Whether the run has root's rights: a refusal then is the system's
    // (a device policy), which no helper can mend.
    bool root = false;
    // The history file (HistoryPath.h); empty: the run keeps no history.
    QString historyPath;
};

struct DrivewatchResult {
    int exitCode = 0;
    QByteArray out;   // UTF-8; a report that went to the stream is not here
    QByteArray err;   // UTF-8
    int outError = 0; // errno of a streamed write that failed
};

// Whether the command line asks for the metrics endpoint, which runs as a
// program of its own (vorn-metrics-serve): the one mode with an event loop
// and network libraries, which no other run should pay for loading.
bool WantsMetricsEndpoint(const QStringList& arguments);

// The endpoint program: beside programDir (a build), else in the suite's
// private folder relative to it (an installed suite).
QString MetricsServeProgram(const QString& programDir);

// A stream for DrivewatchEnvironment::streamOut that writes to out.
std::function<int(const QByteArray&)> StreamTo(std::FILE* out);

DrivewatchResult RunDrivewatch(const QStringList& arguments, const DrivewatchEnvironment& env);

// Writes the output to out and the error text to err and returns the exit
// status; output that cannot be written whole (a full disk, /dev/full) adds
// one line to err and makes the status kExitFileError unless a graver one
// (a bad command line, a threshold exceeded) stands.
int EmitDrivewatchResult(const DrivewatchResult& result, std::FILE* out, std::FILE* err);

} // namespace vorn::drivewatch
