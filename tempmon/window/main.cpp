#include "HeatgaugeApp.h"
#include "MessageBoxNotice.h"
#include "SimMachineInstall.h"

#include <QApplication>

int main(int argc, char** argv) {
    PreferXcbOnWayland();
    QApplication app(argc, argv);
    Cm_InstallMessageBoxNotice();
    vorn::platform::InstallMachineFromEnvironment();
    return RunHeatgauge();
}
