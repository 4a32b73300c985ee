#pragma once

#include "CheckerClock.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

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
