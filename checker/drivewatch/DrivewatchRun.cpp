#include "DrivewatchRun.h"

#include "AlertWatch.h"
#include "CheckerSession.h"
#include "DiskReports.h"
#include "DrivewatchOptions.h"
#include "DrivewatchOutput.h"
#include "HistoryOutput.h"
#include "HistoryReading.h"
#include "JsonWriter.h"
#include "MetricsPass.h"

#include "HistoryPath.h"
#include "HistoryStore.h"
#include "PassHistory.h"

#include "DiskScan.h"
#include "SelfTestMonitor.h"

#include "DeviceBackendInstall.h"
#include "SafeFile.h"
#include "Translation.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstring>
#include <limits>

using namespace vorn::diskpass;
using namespace vorn::checker;

namespace vorn::drivewatch {

namespace {

const QString kNoPermissionMessage =
    QStringLiteral("drivewatch: no permission to read the disks; install the disk helper "
                   "(vorn-diskhelper) or run as root\n");

// Root was refused: a container's or a virtual machine's device policy, not
// a missing helper, so the line says so and does not send anyone to
// install one.
QString RootRefusedMessage(const QString& node) {
    const QString what = node.isEmpty() ? QStringLiteral("the disks") : node;
    return QStringLiteral("drivewatch: the system refused root access to %1 (a device policy, "
                          "as in a container or virtual machine); the disk helper cannot help "
                          "there\n")
        .arg(what);
}

DrivewatchResult UsageError(const QString& message) {
    DrivewatchResult result;
    result.exitCode = kExitUsage;
    result.err = QStringLiteral("drivewatch: %1 (see drivewatch --help)\n").arg(message).toUtf8();
    return result;
}

// The save command's three files per disk; one line per report that could
// not be written.
QStringList SaveReports(const CDiskList& disks, const QString& folder, const QString& programDir) {
    QStringList errors;
    for (const CDisk* disk : disks) {
        for (ReportKind kind : ReportKindsOf(*disk)) {
            QString error;
            if (WriteDiskReport(disk, kind, folder, programDir, &error))
                continue;
            if (error.isEmpty())
                error = ReportFilePath(folder, disk->GetModelNumber(), disk->m_nDrive, kind);
            if (!errors.contains(error))
                errors.append(error);
        }
    }
    return errors;
}

// Every disk that is worse than its accepted state, the changes not yet
// reported by an earlier run marked as new. Empty when nothing changed.
// A watch file that cannot be read or written goes to fileErrors, on every
// run: until it can, no change of that disk can be told.
QString ChangesText(const CDiskList& disks, const QString& directory, const AlertLimits& limits,
                    bool* worse, QStringList* fileErrors) {
    QString text;
    for (CDisk* disk : disks) {
        const WatchResult watch = WatchDisk(disk, directory, kDrivewatchChannel, limits);
        if (!watch.fileError.isEmpty())
            fileErrors->append(watch.fileError);
        if (watch.alerts.isEmpty())
            continue;
        text += DiskHeading(*disk) + QLatin1Char('\n');
        for (const DiskAlert& alert : watch.alerts) {
            const bool fresh = AlertKeys(watch.fresh).contains(alert.Key());
            text += QStringLiteral("  ") + alert.Text() +
                    (fresh ? QString() : Cm_Tr("DrivewatchRun", " (既報)")) + QLatin1Char('\n');
        }
        *worse = *worse || !watch.fresh.isEmpty();
    }
    return text;
}

QString ErrorLines(const QStringList& fileErrors) {
    QString text;
    for (const QString& error : fileErrors)
        text += QStringLiteral("drivewatch: %1\n").arg(error);
    return text;
}

// The history is the run's extra: whatever befalls it is one line, never
// the run's status.
QString RecordHistory(const CDiskList& disks, const QString& path, std::int64_t nowMs) {
    QString notices;
    for (const QString& line : RecordDisks(disks, path, nowMs))
        notices += QStringLiteral("drivewatch: %1\n").arg(line);
    return notices;
}

// The readings of the disk last read at index: a disk keeps its history
// when it moves to another port, and the index is what the user sees.
QList<history::StoredReading> OfIndex(const QList<history::StoredReading>& readings, int index) {
    int chosen = 0;
    std::int64_t newest = std::numeric_limits<std::int64_t>::min();
    QHash<int, const history::StoredReading*> last;
    for (const history::StoredReading& stored : readings)
        last.insert(stored.diskNumber, &stored); // each disk's are in time order
    for (const history::StoredReading* stored : std::as_const(last)) {
        if (stored->reading.index == index && stored->reading.timeMs > newest) {
            newest = stored->reading.timeMs;
            chosen = stored->diskNumber;
        }
    }
    QList<history::StoredReading> result;
    for (const history::StoredReading& stored : readings) {
        if (chosen != 0 && stored.diskNumber == chosen)
            result.append(stored);
    }
    return result;
}

DrivewatchResult ShowHistory(const DrivewatchOptions& options, const QString& path) {
    DrivewatchResult result;
    QString notices;
    QList<history::StoredReading> readings;
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        // Nothing stored yet: an empty listing, and no file made for it.
    } else {
        history::HistoryStore store([&notices](const QString& line) {
            notices += QStringLiteral("drivewatch: %1\n").arg(line);
        });
        if (store.open(path))
            readings = store.readings(0, options.sinceMs);
        if (options.historyDisk >= 0)
            readings = OfIndex(readings, options.historyDisk);
    }
    result.out = options.json ? HistoryJson(readings) : HistoryCsv(readings);
    result.err = notices.toUtf8();
    return result;
}

// The exposition of one look at the disks, for a textfile collector.
DrivewatchResult PrintMetrics(const DrivewatchOptions& options, const DrivewatchEnvironment& env) {
    MetricsPassEnvironment passEnv;
    passEnv.baselineDir = env.currentDir;
    passEnv.historyPath = options.noHistory ? QString() : env.historyPath;
    passEnv.now = env.now;
    passEnv.sleep = env.sleep;
    passEnv.check = options.noWake ? PowerCheck::SkipSleeping : PowerCheck::Note;
    const MetricsPassResult pass = RunMetricsPass(options.checker, passEnv);
    const MetricsFormat format =
        options.openMetricsFormat ? MetricsFormat::OpenMetrics : MetricsFormat::Prometheus;
    DrivewatchResult result;
    result.out = EncodeMetrics(DiskMetricFamilies(pass.disks, pass.passMs), format);
    result.err = pass.notices.toUtf8();
    if (pass.disks.isEmpty())
        result.err += QByteArrayLiteral("drivewatch: no disk could be read\n");
    result.exitCode = pass.exitCode;
    if (!options.outputFile.isEmpty()) {
        const int failure = Cm_ReplaceFile(options.outputFile, result.out);
        result.out.clear();
        if (failure) {
            result.err += QStringLiteral("drivewatch: %1: %2\n")
                              .arg(options.outputFile, Cm_FileErrorText(failure))
                              .toUtf8();
            if (result.exitCode != kExitThresholdExceeded)
                result.exitCode = kExitFileError;
        }
    }
    return result;
}

// Starts (or aborts) the test on each chosen disk that offers it, one line
// per disk; with --wait follows them on the injected clock and sleeper.
DrivewatchResult RunSelfTests(const DrivewatchOptions& options, CCheckerSession& session,
                              const DrivewatchEnvironment& env) {
    DrivewatchResult result;
    const bool abort = options.selfTest == QLatin1String("abort");
    const auto kind = vorn::hdd::selfTestKindFromName(options.selfTest);
    QString out;
    QString err;
    bool refused = false;
    std::vector<CDisk*> started;
    for (CDisk* disk : session.Disks()) {
        if (options.selfTestDisk >= 0 && disk->m_nDrive != options.selfTestDisk)
            continue;
        const QString heading = DiskHeading(*disk);
        if (!abort && !disk->GetSelfTestCapabilities().offers(*kind)) {
            if (options.selfTestDisk >= 0) {
                err += QStringLiteral("%1: %2\n")
                           .arg(heading, vorn::hdd::selfTestOutcomeText(
                                             vorn::hdd::SelfTestOutcome::NotOffered));
                refused = true;
            }
            continue;
        }
        const vorn::hdd::SelfTestOutcome outcome = !ReopenDisk(disk)
                                                       ? vorn::hdd::SelfTestOutcome::Failed
                                                   : abort ? disk->AbortSelfTest()
                                                           : disk->StartSelfTest(*kind);
        if (outcome == vorn::hdd::SelfTestOutcome::Accepted) {
            out += abort ? QStringLiteral("%1: self-test aborted\n").arg(heading)
                         : QStringLiteral("%1: %2 self-test started (about %3 minutes)\n")
                               .arg(heading, options.selfTest)
                               .arg(disk->GetSelfTestCapabilities().minutes(*kind));
            started.push_back(disk);
        } else {
            err += QStringLiteral("%1: %2\n").arg(heading, vorn::hdd::selfTestOutcomeText(outcome));
            refused = true;
            disk->CloseHddHandle();
        }
    }
    if (started.empty() && !refused) {
        err +=
            QStringLiteral("drivewatch: no disk offers the %1 self-test\n").arg(options.selfTest);
        refused = true;
    }
    bool failed = false;
    if (options.wait && !abort) {
        for (CDisk* disk : started) {
            const int minutes = disk->GetSelfTestCapabilities().minutes(*kind);
            const std::int64_t begin = env.now();
            const int pollMs = CSelfTestMonitor::PollSeconds(minutes) * 1000;
            for (;;) {
                env.sleep(pollMs);
                if (!disk->ReadSelfTestProgress())
                    continue;
                const vorn::hdd::SelfTestProgress p = disk->GetSelfTestProgress();
                if (!p.running) {
                    failed = failed || p.failed;
                    err +=
                        QStringLiteral("%1: %2\n")
                            .arg(DiskHeading(*disk),
                                 disk->IsNvme() ? vorn::hdd::nvmeSelfTestResultText(p.statusCode)
                                                : vorn::hdd::ataSelfTestStatusText(p.statusCode));
                    break;
                }
                err += QStringLiteral("%1: %2% remaining\n")
                           .arg(DiskHeading(*disk))
                           .arg(p.remainingPercent);
                if (env.now() - begin > CSelfTestMonitor::TimeoutSeconds(minutes)) {
                    err += QStringLiteral("%1: the drive still reports the test as running; it "
                                          "may be stuck\n")
                               .arg(DiskHeading(*disk));
                    failed = true;
                    break;
                }
            }
        }
    }
    for (CDisk* disk : started)
        disk->CloseHddHandle();
    result.out = out.toUtf8();
    result.err = err.toUtf8();
    result.exitCode = failed ? kExitThresholdExceeded : refused ? kExitNoDisk : kExitGood;
    return result;
}

} // namespace

DrivewatchResult RunDrivewatch(const QStringList& arguments, const DrivewatchEnvironment& env) {
    const DrivewatchParse parse = ParseDrivewatchArguments(arguments);
    if (!parse.error.isEmpty())
        return UsageError(parse.error);
    const DrivewatchOptions& options = parse.options;

    DrivewatchResult result;
    if (options.help) {
        result.out = DrivewatchUsage().toUtf8();
        return result;
    }
    if (options.version) {
        result.out = QStringLiteral("drivewatch %1\n").arg(env.version).toUtf8();
        return result;
    }
    if (options.history)
        return ShowHistory(options, env.historyPath);
    if (options.metrics)
        return PrintMetrics(options, env);
    if (options.serve)
        return UsageError(QStringLiteral("--serve runs as a service of its own (ServeDrivewatch)"));
    if (!options.saveDir.isEmpty() && !QFileInfo(options.saveDir).isDir())
        return UsageError(QStringLiteral("--save: %1 is no folder").arg(options.saveDir));

    // A killed run's temporaries in the report folder go now, whether this
    // run writes there or not (the session sweeps the current folder).
    if (!options.saveDir.isEmpty())
        Cm_RemoveStaleTemporaries(options.saveDir);

    CCheckerSession::Environment sessionEnv;
    sessionEnv.logPath = options.logFile;
    const QString baselineDir = env.currentDir;
    sessionEnv.baselineDir = [baselineDir] { return baselineDir; };
    sessionEnv.writeBaselines = options.baseline;
    sessionEnv.now = env.now;
    sessionEnv.sleep = env.sleep;
    sessionEnv.scanCheck = options.noWake ? PowerCheck::SkipSleeping : PowerCheck::Note;
    CCheckerSession session(options.checker, sessionEnv);
    session.Scan();
    if (!options.selfTest.isEmpty())
        return RunSelfTests(options, session, env);
    session.LoadBaselines();
    if (options.logs) {
        for (CDisk* disk : session.Disks()) {
            if (disk->m_bSleeping || !ReopenDisk(disk))
                continue;
            disk->GetDriveLogs();
            disk->CloseHddHandle();
        }
    }

    AlertLimits limits;
    limits.temperature = options.tempLimit;
    QStringList acceptErrors;
    if (options.accept) {
        for (CDisk* disk : session.Disks()) {
            QString error;
            if (!disk->m_bSleeping && disk->EnableSMART() &&
                !AcceptDisk(disk, baselineDir, limits, &error))
                acceptErrors << (error.isEmpty()
                                     ? QStringLiteral("%1: not written")
                                           .arg(WatchFilePath(baselineDir, disk->GetSerialNumber()))
                                     : error);
        }
    }
    bool worse = false;
    if (options.changes)
        result.out =
            ChangesText(session.Disks(), baselineDir, limits, &worse, &acceptErrors).toUtf8();

    // With --changes the changes stand in for the report. The report goes
    // out disk by disk when there is a stream.
    if (!options.changes) {
        const auto put = [&](const QByteArray& part) {
            if (!env.streamOut)
                result.out += part;
            else if (!result.outError)
                result.outError = env.streamOut(part);
        };
        CJsonWriter json;
        json.BeginObject(CJsonWriter::Members::InKeyOrder);
        json.Key("disks").BeginArray();
        bool first = true;
        for (const CDisk* disk : session.Disks()) {
            const PanelTexts panel = session.Panel(disk);
            if (options.json) {
                WriteDiskReportJson(&json, *disk, panel, options.logs);
                put(json.TakeWritten());
            } else {
                put((first ? QString() : QStringLiteral("\n")).toUtf8() +
                    DiskReportText(*disk, panel).toUtf8() +
                    (options.logs ? DiskLogsText(*disk).toUtf8() : QByteArray()));
            }
            first = false;
        }
        json.EndArray();
        json.EndObject();
        if (options.json)
            put(json.Take());
    }

    QStringList fileErrors;
    if (!options.saveDir.isEmpty())
        fileErrors = SaveReports(session.Disks(), options.saveDir, env.programDir);
    if (options.baseline)
        session.WriteBaselines();
    fileErrors = session.FileErrors() + fileErrors + acceptErrors;
    QString errors = ErrorLines(fileErrors);
    if (!options.noHistory && !env.historyPath.isEmpty())
        errors += RecordHistory(session.Disks(), env.historyPath, env.now() * 1000);
    if (session.Disks().IsEmpty())
        errors += !vorn::platform::deviceAccessDenied()
                      ? QStringLiteral("drivewatch: no disk could be read\n")
                  : env.root ? RootRefusedMessage(vorn::platform::deviceNodeRefused())
                             : kNoPermissionMessage;
    result.err = errors.toUtf8();
    result.exitCode = DrivewatchExitCode(session.Disks(), !fileErrors.isEmpty());
    if (worse && result.exitCode != kExitNoDisk)
        result.exitCode = kExitWorse;
    return result;
}

bool WantsMetricsEndpoint(const QStringList& arguments) {
    const DrivewatchParse parse = ParseDrivewatchArguments(arguments);
    return parse.error.isEmpty() && parse.options.serve && !parse.options.help &&
           !parse.options.version;
}

QString MetricsServeProgram(const QString& programDir) {
    const QString name = QStringLiteral("vorn-metrics-serve");
    const QString beside = QDir(programDir).filePath(name);
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(programDir + QLatin1Char('/') + QStringLiteral(VORN_LIBDIR_FROM_BINDIR) +
                           QLatin1Char('/') + name);
}

std::function<int(const QByteArray&)> StreamTo(std::FILE* out) {
    return [out](const QByteArray& part) {
        const auto size = static_cast<size_t>(part.size());
        return std::fwrite(part.constData(), 1, size, out) == size ? 0 : (errno ? errno : EIO);
    };
}

int EmitDrivewatchResult(const DrivewatchResult& result, std::FILE* out, std::FILE* err) {
    int exitCode = result.exitCode;
    int failure = result.outError;
    if (!failure) {
        const auto size = static_cast<size_t>(result.out.size());
        if (std::fwrite(result.out.constData(), 1, size, out) != size || std::fflush(out) != 0)
            failure = errno ? errno : EIO;
    }
    if (failure) {
        std::fprintf(err, "drivewatch: standard output: %s\n", std::strerror(failure));
        if (exitCode == kExitGood || exitCode == kExitNoDisk)
            exitCode = kExitFileError;
    }
    std::fwrite(result.err.constData(), 1, static_cast<size_t>(result.err.size()), err);
    std::fflush(err);
    return exitCode;
}

} // namespace vorn::drivewatch
