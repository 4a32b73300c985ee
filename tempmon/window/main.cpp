#include "HeatgaugeApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    PreferXcbOnWayland();
    QApplication app(argc, argv);
    return RunHeatgauge();
}
