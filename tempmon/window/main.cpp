#include "HeatgaugeApp.h"
#include "SimMachineInstall.h"

#include <QApplication>

int main(int argc, char** argv) {
    PreferXcbOnWayland();
    QApplication app(argc, argv);
    vorn::platform::InstallMachineFromEnvironment();
    return RunHeatgauge();
}
