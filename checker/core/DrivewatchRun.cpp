#include "DrivewatchRun.h"

#include "CheckerSession.h"
#include "DiskReports.h"
#include "DrivewatchOptions.h"
#include "DrivewatchOutput.h"

#include "platform/DeviceBackend.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QString kNoPermissionMessage =
    QStringLiteral("drivewatch: no permission to read the disks; install the disk helper "
                   "(vorn-diskhelper) or run as root\n");

DrivewatchResult UsageError(const QString& message) {
    DrivewatchResult result;
    result.exitCode = kExitUsage;
    result.err = QStringLiteral("drivewatch: %1 (see drivewatch --help)\n").arg(message).toUtf8();
    return result;
}

// The save command's three files per disk; one error line per report that
// could not be written.
QString SaveReports(const CDiskList& disks, const QString& folder, const QString& programDir) {
    QString errors;
    for (const CDisk* disk : disks) {
        for (ReportKind kind : kReportKinds) {
            if (!WriteDiskReport(disk, kind, folder, programDir))
                errors +=
                    QStringLiteral("drivewatch: cannot write %1\n")
                        .arg(ReportFilePath(folder, disk->GetModelNumber(), disk->m_nDrive, kind));
        }
    }
    return errors;
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
    if (!options.saveDir.isEmpty() && !QFileInfo(options.saveDir).isDir())
        return UsageError(QStringLiteral("--save: %1 is no folder").arg(options.saveDir));

    CCheckerSession::Environment sessionEnv;
    sessionEnv.logPath = options.logFile;
    const QString baselineDir = env.currentDir;
    sessionEnv.baselineDir = [baselineDir] { return baselineDir; };
    sessionEnv.writeBaselines = options.baseline;
    sessionEnv.now = env.now;
    sessionEnv.sleep = env.sleep;
    CCheckerSession session(options.checker, sessionEnv);
    session.Scan();
    session.LoadBaselines();

    QString text;
    QJsonArray disks;
    for (const CDisk* disk : session.Disks()) {
        const PanelTexts panel = session.Panel(disk);
        if (options.json)
            disks.append(DiskReportJson(*disk, panel));
        else
            text +=
                (text.isEmpty() ? QString() : QStringLiteral("\n")) + DiskReportText(*disk, panel);
    }
    if (options.json)
        result.out = QJsonDocument(QJsonObject{{QStringLiteral("disks"), disks}}).toJson();
    else
        result.out = text.toUtf8();

    QString errors;
    if (!options.saveDir.isEmpty())
        errors += SaveReports(session.Disks(), options.saveDir, env.programDir);
    if (options.baseline)
        session.WriteBaselines();
    if (session.Disks().IsEmpty())
        errors += vorn::platform::deviceAccessDenied()
                      ? kNoPermissionMessage
                      : QStringLiteral("drivewatch: no disk could be read\n");
    result.err = errors.toUtf8();
    result.exitCode = DrivewatchExitCode(session.Disks());
    return result;
}
