#pragma once

#include "CheckerClock.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

// One run of the drivewatch tool, apart from the process: the arguments in,
// the output, the error text and the exit status out.
struct DrivewatchEnvironment {
    QString programDir; // holds Template/ with the report templates
    QString currentDir; // where the baseline files live
    QString version;    // for --version
    CheckerClock now = SystemClock();
    CheckerSleeper sleep = SystemSleeper();
};

struct DrivewatchResult {
    int exitCode = 0;
    QByteArray out; // UTF-8
    QByteArray err; // UTF-8
};

DrivewatchResult RunDrivewatch(const QStringList& arguments, const DrivewatchEnvironment& env);

// Writes the output to out and the error text to err and returns the exit
// status; output that cannot be written whole (a full disk, /dev/full) adds
// one line to err and makes the status kExitFileError unless a graver one
// (a bad command line, a threshold exceeded) stands.
int EmitDrivewatchResult(const DrivewatchResult& result, std::FILE* out, std::FILE* err);
