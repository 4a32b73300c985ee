#include "DrivewatchOptions.h"

#include <QDateTime>

using namespace vorn::diskpass;

namespace vorn::drivewatch {

namespace {

// "--save DIR" or "--save=DIR"; true when the argument was this option.
bool TakeValue(const QStringList& arguments, int* index, const QString& name, QString* value,
               QString* error) {
    const QString& argument = arguments[*index];
    if (argument.startsWith(name + QLatin1Char('='))) {
        *value = argument.mid(name.size() + 1);
    } else if (argument == name) {
        if (*index + 1 >= arguments.size()) {
            *error = QStringLiteral("%1 needs a value").arg(name);
            return true;
        }
        *value = arguments[++*index];
    } else {
        return false;
    }
    if (value->isEmpty())
        *error = QStringLiteral("%1 needs a value").arg(name);
    return true;
}

// A day is from its local midnight; a time without a zone is local too.
bool ParseSince(const QString& text, std::int64_t* ms) {
    // QDate takes the date in front of a time too.
    const QDate day = text.size() == 10 ? QDate::fromString(text, Qt::ISODate) : QDate();
    if (day.isValid()) {
        *ms = day.startOfDay().toMSecsSinceEpoch();
        return true;
    }
    const QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    if (!time.isValid())
        return false;
    *ms = time.toMSecsSinceEpoch();
    return true;
}

} // namespace

DrivewatchParse ParseDrivewatchArguments(const QStringList& arguments) {
    DrivewatchParse parse;
    DrivewatchOptions& options = parse.options;
    QString diskText; // --disk, read once the run's kind is known
    bool afterInit = false;
    for (int i = 1; i < arguments.size() && parse.error.isEmpty(); ++i) {
        const QString& argument = arguments[i];
        const bool numberSlot = afterInit;
        afterInit = false;
        const PassSwitch which = ApplyPassSwitch(arguments, i, &options.checker);
        if (which != PassSwitch::None) {
            afterInit = which == PassSwitch::Init;
            continue;
        }
        // The number of "-init" (whatever it reads as), unless it is one of
        // the tool's own options.
        if (numberSlot && !argument.startsWith(QLatin1String("--")))
            continue;
        if (argument == QLatin1String("--json"))
            options.json = true;
        else if (argument == QLatin1String("--baseline"))
            options.baseline = true;
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            options.help = true;
        else if (argument == QLatin1String("--version"))
            options.version = true;
        else if (argument == QLatin1String("--no-wake"))
            options.noWake = true;
        else if (argument == QLatin1String("--changes"))
            options.changes = true;
        else if (argument == QLatin1String("--accept"))
            options.accept = true;
        else if (argument == QLatin1String("--no-history"))
            options.noHistory = true;
        else if (argument == QLatin1String("--history"))
            options.history = true;
        else if (argument == QLatin1String("--openmetrics") ||
                 argument == QLatin1String("--openmetrics=prometheus"))
            options.metrics = true;
        else if (argument == QLatin1String("--openmetrics=openmetrics"))
            options.metrics = options.openMetricsFormat = true;
        else if (argument.startsWith(QLatin1String("--openmetrics=")))
            parse.error = QStringLiteral("--openmetrics takes prometheus or openmetrics");
        else if (argument == QLatin1String("--serve") &&
                 (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1Char('-')))) {
            // The address is optional: without one the endpoint stays on
            // this machine.
            options.serve = true;
            options.listen = kDefaultServeAddress;
        } else if (TakeValue(arguments, &i, QStringLiteral("--serve"), &options.listen,
                             &parse.error))
            options.serve = true;
        else if (QString interval;
                 TakeValue(arguments, &i, QStringLiteral("--interval"), &interval, &parse.error)) {
            bool ok = false;
            options.intervalSeconds = interval.toInt(&ok);
            if (parse.error.isEmpty() &&
                (!ok || options.intervalSeconds < 10 || options.intervalSeconds > 86400))
                parse.error = QStringLiteral("--interval needs seconds from 10 to 86400");
        } else if (TakeValue(arguments, &i, QStringLiteral("--save"), &options.saveDir,
                             &parse.error) ||
                   TakeValue(arguments, &i, QStringLiteral("--log"), &options.logFile,
                             &parse.error) ||
                   TakeValue(arguments, &i, QStringLiteral("--output"), &options.outputFile,
                             &parse.error))
            continue;
        else if (QString limit;
                 TakeValue(arguments, &i, QStringLiteral("--temp-limit"), &limit, &parse.error)) {
            bool ok = false;
            options.tempLimit = limit.toInt(&ok);
            if (parse.error.isEmpty() && (!ok || options.tempLimit < 1 || options.tempLimit > 200))
                parse.error = QStringLiteral("--temp-limit needs degrees from 1 to 200");
        } else if (QString since;
                   TakeValue(arguments, &i, QStringLiteral("--since"), &since, &parse.error)) {
            if (parse.error.isEmpty() && !ParseSince(since, &options.sinceMs))
                parse.error = QStringLiteral("--since needs a date (2024-05-01) or a time "
                                             "(2024-05-01T12:00, local unless it ends in Z)");
        } else if (QString disk;
                   TakeValue(arguments, &i, QStringLiteral("--disk"), &disk, &parse.error)) {
            diskText = disk;
        } else if (argument == QLatin1String("--wait")) {
            options.wait = true;
        } else if (argument == QLatin1String("--logs")) {
            options.logs = true;
        } else if (QString test;
                   TakeValue(arguments, &i, QStringLiteral("--selftest"), &test, &parse.error)) {
            options.selfTest = test;
            if (parse.error.isEmpty() && test != QLatin1String("short") &&
                test != QLatin1String("extended") && test != QLatin1String("conveyance") &&
                test != QLatin1String("abort"))
                parse.error =
                    QStringLiteral("--selftest needs short, extended, conveyance or abort");
        } else if (argument.startsWith(QLatin1Char('-')))
            parse.error = QStringLiteral("unknown option %1").arg(argument);
        else
            parse.error = QStringLiteral("unexpected argument %1").arg(argument);
    }
    if (parse.error.isEmpty() && !diskText.isNull()) {
        bool ok = false;
        const int disk = diskText.toInt(&ok);
        if (!ok || disk < 0)
            parse.error = QStringLiteral("--disk needs a disk's index, as --json lists it");
        else if (!options.selfTest.isEmpty())
            options.selfTestDisk = disk;
        else
            options.historyDisk = disk;
    }
    if (parse.error.isEmpty() && options.wait && options.selfTest.isEmpty())
        parse.error = QStringLiteral("--wait goes with --selftest");
    if (parse.error.isEmpty() && !options.selfTest.isEmpty() &&
        (options.history || options.changes || options.accept))
        parse.error = QStringLiteral("--selftest goes alone, or with --disk and --wait");
    if (parse.error.isEmpty() && options.changes && options.json)
        parse.error = QStringLiteral("--changes prints text; leave out --json");
    if (parse.error.isEmpty() && !options.history &&
        (options.historyDisk != -1 || options.sinceMs != std::numeric_limits<std::int64_t>::min()))
        parse.error = QStringLiteral("--since and --disk go with --history");
    if (parse.error.isEmpty() && options.history && (options.changes || options.accept))
        parse.error = QStringLiteral("--history reads no disk; leave out --changes and --accept");
    const int modes = int(options.metrics) + int(options.serve) + int(options.history) +
                      int(options.changes) + int(options.accept);
    if (parse.error.isEmpty() && modes > 1)
        parse.error = QStringLiteral(
            "--openmetrics, --serve, --history, --changes and --accept go in separate runs");
    if (parse.error.isEmpty() && (options.metrics || options.serve) &&
        (options.json || !options.saveDir.isEmpty()))
        parse.error =
            QStringLiteral("the metrics are text of their own; leave out --json and --save");
    if (parse.error.isEmpty() && !options.outputFile.isEmpty() && !options.metrics)
        parse.error = QStringLiteral("--output goes with --openmetrics");
    if (parse.error.isEmpty() && options.serve && options.noWake)
        parse.error = QStringLiteral("--serve never wakes a disk; leave out --no-wake");
    if (parse.error.isEmpty() && options.intervalSeconds != 300 && !options.serve)
        parse.error = QStringLiteral("--interval goes with --serve");
    if (parse.error.isEmpty() && options.changes && options.accept)
        parse.error = QStringLiteral("--changes and --accept go in separate runs");
    return parse;
}

QString DrivewatchUsage() {
    return QStringLiteral(
        "Usage: drivewatch [switches] [options]\n"
        "Reads the S.M.A.R.T. data of every fixed ATA disk and shows what the\n"
        "DrivewatchMini window shows: the information panel and the attribute list.\n"
        "\n"
        "Switches of the checker (any letter case):\n"
        "  -init N     COM initialisation mode handed to the system queries (0 or 2)\n"
        "  -Enable     switch S.M.A.R.T. on where it is off\n"
        "  -Disable    switch S.M.A.R.T. off (after -Enable when both are given)\n"
        "  -Ata        open every disk by its direct path only\n"
        "  -Scsi       open every disk by its SCSI port path only (the later of\n"
        "              -Ata and -Scsi wins)\n"
        "\n"
        "Options:\n"
        "  --json      one UTF-8 JSON document {\"disks\": [...]} instead of text\n"
        "  --save DIR  also write the three reports of every disk into DIR\n"
        "  --baseline  read and write the baseline files (<serial>.dat) of the\n"
        "              current directory, as the window does; without it they are\n"
        "              read when present and never written\n"
        "  --log FILE  write the run log of the disk scan to FILE\n"
        "  --no-wake   ask each disk's power mode first and leave a disk in standby\n"
        "              asleep: it is listed from the system's data only\n"
        "  --changes   print what got worse since the accepted state (<serial>.watch\n"
        "              beside the baseline files; the first run takes it) instead\n"
        "              of the report; each change makes one run exit with 4\n"
        "  --temp-limit N\n"
        "              with --changes: a temperature of N degrees or more is a change\n"
        "  --accept    take the current state of every disk as the accepted one\n"
        "  --no-history\n"
        "              store no reading of this run in the history\n"
        "  --history   print the stored readings as CSV (with --json as one document)\n"
        "              and read no disk; older readings are hours, after a year days\n"
        "  --since DATE\n"
        "              with --history: from DATE on (2024-05-01 or 2024-05-01T12:00,\n"
        "              local time unless it ends in Z)\n"
        "  --disk N    with --history or --selftest: only the disk whose index is N\n"
        "  --openmetrics[=prometheus|openmetrics]\n"
        "              print the metrics of every disk in the Prometheus text format\n"
        "              (or OpenMetrics) instead of the report, for node_exporter's\n"
        "              textfile collector; with --no-wake a sleeping disk is not read\n"
        "  --output FILE\n"
        "              with --openmetrics: replace FILE whole with the metrics (a\n"
        "              collector never reads half a file) instead of printing them\n"
        "  --serve [ADDRESS:PORT]\n"
        "              serve the metrics over HTTP at /metrics and /healthz (default\n"
        "              127.0.0.1:9633; 0.0.0.0:PORT for every interface); the disks are\n"
        "              read every --interval seconds (default 300), a sleeping disk\n"
        "              never, and a scrape reads none\n"
        "  --interval N\n"
        "              with --serve: seconds between two passes over the disks\n"
        "  --selftest short|extended|conveyance|abort\n"
        "              start (or abort) the drive's own self-test on every disk that\n"
        "              offers it; the drive runs it in the background\n"
        "  --wait      with --selftest: wait for the end, progress on standard error;\n"
        "              exit status 3 when a test failed\n"
        "  --logs      add each disk's self-test and error logs to the report\n"
        "  --help      this text\n"
        "  --version   the program's version\n"
        "\n"
        "Files: baseline files live in the current directory; the report templates\n"
        "are read from the Template folder beside the program. Files are replaced\n"
        "whole or not at all, never written through a symbolic link, and read only\n"
        "when they are regular files of a plausible size.\n"
        "\n"
        "Exit status:\n"
        "  0  every disk's verdict is good or unknown\n"
        "  1  bad command line\n"
        "  2  no disk could be read\n"
        "  3  some disk reports a threshold exceeded\n"
        "  4  --changes: some disk got worse since the last run that said so\n"
        "     (outranks 3 and 5)\n"
        "  5  a file or standard output could not be written, or an input file was\n"
        "     refused (one line per file on standard error; 3 outranks it)\n"
        "\n"
        "Every run stores one reading of each disk it read in the history,\n"
        "$XDG_STATE_HOME/vorn/history.sqlite (~/.local/state/vorn/ without it), or\n"
        "the file VORN_HISTORY names; a history that cannot be written is said in\n"
        "one line and changes no exit status.\n"
        "\n"
        "VORN_SIM=<folder> reads a simulated machine instead of the real disks.\n");
}

} // namespace vorn::drivewatch
