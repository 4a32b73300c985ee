#include "HeatgaugeApp.h"
#include "MessageBoxNotice.h"
#include "QtTranslation.h"
#include "SimMachineInstall.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv) {
    // Past a file-size limit a write fails with EFBIG and is reported like a
    // full disk; the signal's default would end the program without a word
    // and leave its temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
    PreferXcbOnWayland();
    QApplication app(argc, argv);
    const CQtTranslation qtTexts;
    Cm_InstallMessageBoxNotice();
    vorn::platform::InstallMachineFromEnvironment();
    return RunHeatgauge();
}
