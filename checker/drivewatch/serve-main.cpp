// vorn-metrics-serve: drivewatch --serve, a program of its own so that the
// HTTP server's libraries load only where they serve. drivewatch hands a
// --serve command line here unchanged.
#include "DrivewatchRun.h"
#include "HistoryPath.h"
#include "MetricsServe.h"
#include "SimMachineInstall.h"
#include "TextConvert.h"
#include "Version.h"

#include <QCoreApplication>
#include <QStringList>

#include <clocale>
#include <csignal>

using namespace vorn::drivewatch;

int main(int argc, char* argv[]) {
    std::signal(SIGXFSZ, SIG_IGN);
    std::setlocale(LC_ALL, "");
    QCoreApplication application(argc, argv);
    vorn::platform::InstallMachineFromEnvironment();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    CVersion version;
    version.ReadResourceInformation(nullptr);
    DrivewatchEnvironment env;
    env.currentDir = Cm_CurrentDirectory();
    env.version = version.GetAppVersion();
    env.historyPath = vorn::history::HistoryPath();
    return ServeDrivewatch(arguments, env);
}
