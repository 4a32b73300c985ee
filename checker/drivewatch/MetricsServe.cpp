#include "MetricsServe.h"

#include "DrivewatchOptions.h"
#include "DrivewatchOutput.h"
#include "MetricsExporter.h"
#include "MetricsServer.h"

#include "RefreshTimer.h"
#include "ThreadedPassRunner.h"

#include <QCoreApplication>

#include <cstdio>

using namespace vorn::diskpass;

namespace vorn::drivewatch {

namespace {

void SayOnStandardError(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

int ServeDrivewatch(const QStringList& arguments, const DrivewatchEnvironment& env) {
    const DrivewatchOptions options = ParseDrivewatchArguments(arguments).options;
    QHostAddress address;
    quint16 port = 0;
    QString error;
    if (!ParseListenAddress(options.listen, &address, &port, &error)) {
        SayOnStandardError(QStringLiteral("drivewatch: --serve: %1\n").arg(error));
        return kExitUsage;
    }

    MetricsPassEnvironment passEnv;
    passEnv.baselineDir = env.currentDir;
    passEnv.historyPath = options.noHistory ? QString() : env.historyPath;
    passEnv.now = env.now;
    passEnv.sleep = env.sleep;
    passEnv.check = PowerCheck::SkipSleeping;
    const PassOptions passOptions = options.checker;

    CQtRefreshTimer timer;
    CThreadedPassRunner runner;
    CMetricsExporter::Environment exporterEnv;
    exporterEnv.timer = &timer;
    exporterEnv.runner = &runner;
    exporterEnv.pass = [passOptions, passEnv] { return RunMetricsPass(passOptions, passEnv); };
    exporterEnv.notice = SayOnStandardError;
    exporterEnv.intervalMs = options.intervalSeconds * 1000;
    CMetricsExporter exporter(exporterEnv);

    CMetricsServer server(exporter, CMetricsServer::Limits{});
    if (!server.Listen(address, port, &error)) {
        SayOnStandardError(QStringLiteral("drivewatch: %1\n").arg(error));
        return kExitUsage;
    }
    SayOnStandardError(QStringLiteral("drivewatch: serving metrics at http://%1:%2/metrics\n")
                           .arg(address.protocol() == QAbstractSocket::IPv6Protocol
                                    ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                                    : address.toString())
                           .arg(server.Port()));
    exporter.Start();
    return QCoreApplication::exec();
}

} // namespace vorn::drivewatch
