#include "HeatgaugeApp.h"
#include "MessageBoxNotice.h"
#include "QtTranslation.h"
#include "SimMachineInstall.h"
#include "Translation.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv) {
    // Past a file-size limit a write fails with EFBIG and is reported like a
    // full disk; the signal's default would end the program without a word
    // and leave its temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
    PreferXcbOnWayland();
    QApplication app(argc, argv);
    // The suite's texts and Qt's own (the buttons of a question) in one
    // language, chosen by the locale as every desktop program chooses.
    const CTextCatalogue texts(Cm_ChooseLanguageFromProcess());
    const CQtTranslation qtTexts(Cm_LanguageCode(texts.Language()));
    Cm_InstallMessageBoxNotice();
    vorn::platform::InstallMachineFromEnvironment();
    return RunHeatgauge();
}
