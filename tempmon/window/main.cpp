#include "HeatgaugeApp.h"
#include "MessageBoxNotice.h"

#include <QApplication>

int main(int argc, char** argv) {
    PreferXcbOnWayland();
    QApplication app(argc, argv);
    Cm_InstallMessageBoxNotice();
    return RunHeatgauge();
}
