#pragma once

#include "PassOptions.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <limits>

namespace vorn::drivewatch {

// Where --serve listens without an address: this machine only.
inline const QString kDefaultServeAddress = QStringLiteral("127.0.0.1:9633");

// The command line of the drivewatch tool: the checker's switches under the
// checker's rules, and the tool's own long options.
struct DrivewatchOptions {
    diskpass::PassOptions checker;
    bool json = false;
    bool baseline = false; // read and write baseline files, as the checker does
    bool help = false;
    bool version = false;
    QString saveDir;        // empty: no reports
    QString logFile;        // empty: no run log
    bool noWake = false;    // a sleeping disk is listed, not read
    bool changes = false;   // print what got worse since the accepted state
    bool accept = false;    // the current state becomes the accepted one
    int tempLimit = 0;      // degrees for --changes; 0: none
    bool noHistory = false; // the run stores no reading
    bool history = false;   // print the stored readings; no disk is read
    std::int64_t sinceMs = std::numeric_limits<std::int64_t>::min(); // --since, UTC ms
    int historyDisk = -1;           // --disk: a drive's index as the JSON gives it; -1: every disk
    bool metrics = false;           // --openmetrics: the metrics instead of the report
    bool openMetricsFormat = false; // --openmetrics=openmetrics
    bool serve = false;             // --serve: the metrics endpoint
    QString listen;                 // --serve's ADDRESS:PORT
    int intervalSeconds = 300;      // --interval: seconds between the endpoint's passes
    QString outputFile;             // --output: the metrics replace this file whole
    QString selfTest;               // --selftest: short, extended, conveyance or abort; empty: none
    int selfTestDisk = -1;          // --disk with --selftest: the JSON index; -1: every disk
    bool wait = false;              // --wait: follow the started tests to their end
    bool logs = false;              // --logs: the self-test and error logs in the report
};

struct DrivewatchParse {
    DrivewatchOptions options;
    QString error; // one line; empty when the command line is good
};

// arguments[0] is the program's path. Unlike the window, which ignores what
// it does not know, the tool refuses unknown options and stray words, so a
// typo in a cron line shows instead of silently changing the run; the word
// after "-init" is its number and is never refused.
DrivewatchParse ParseDrivewatchArguments(const QStringList& arguments);

// The text of --help.
QString DrivewatchUsage();

} // namespace vorn::drivewatch
