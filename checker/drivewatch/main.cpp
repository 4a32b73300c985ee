// drivewatch: the checker's disk readout on the command line.
#include "DrivewatchRun.h"
#include "ShippedFiles.h"
#include "TextConvert.h"
#include "Version.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    CVersion version;
    version.ReadResourceInformation(nullptr);

    DrivewatchEnvironment env;
    // drivewatch reads its templates beside the program or from the install
    // prefix, never from the current directory, where only baselines live.
    env.programDir = ShippedFilesDir(QString(), QCoreApplication::applicationDirPath());
    env.currentDir = Cm_CurrentDirectory();
    env.version = version.GetAppVersion();

    return EmitDrivewatchResult(RunDrivewatch(QCoreApplication::arguments(), env), stdout, stderr);
}
