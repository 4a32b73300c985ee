// DrivewatchMini: the disk checker's window.
#include "CheckerWindow.h"
#include "DiskScan.h"
#include "HistoryPath.h"
#include "MessageBoxNotice.h"
#include "QtTranslation.h"
#include "ShippedFiles.h"
#include "SimMachineInstall.h"
#include "SingleInstance.h"
#include "TextConvert.h"
#include "Translation.h"
#include "Version.h"

#include <QApplication>
#include <QSystemTrayIcon>

#include <csignal>
#include <cstdio>

using namespace vorn::diskpass;
using namespace vorn::checker;

int main(int argc, char* argv[]) {
    // Past a file-size limit a write fails with EFBIG and is reported like a
    // full disk; the signal's default would end the program without a word
    // and leave its temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    // The suite's texts and Qt's own (the buttons of a question) in one
    // language, chosen by the locale as every desktop program chooses.
    const CTextCatalogue texts(Cm_ChooseLanguageFromProcess());
    const CQtTranslation qtTexts(Cm_LanguageCode(texts.Language()));
    Cm_InstallMessageBoxNotice();
    app.setQuitOnLastWindowClosed(false);
    app.setFont(CheckerDialogFont());

    // A second copy only brings the first one forward.
    CSingleInstance instance(QApplication::applicationName(), CSingleInstance::DefaultRuntimeDir());
    if (!instance.TryBecomeFirst()) {
        instance.AskFirstToShow();
        return 0;
    }

    CVersion version;
    version.ReadResourceInformation(nullptr);

    CCheckerDlg::Setup setup;
    setup.options = ParsePassSwitches(QApplication::arguments());
    // Baselines and the run log stay in the start folder; the shipped files
    // (Template/, the manual) come from there too when it has its own copy.
    const QString startDir = Cm_CurrentDirectory();
    setup.startDir = ShippedFilesDir(startDir, QApplication::applicationDirPath());
    setup.session.logPath = RunLogPath(startDir);
    setup.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    setup.version = &version;
    setup.historyPath = vorn::history::HistoryPath();
    setup.historyNotice = [](const QString& line) {
        std::fprintf(stderr, "DrivewatchMini: %s\n", qUtf8Printable(line));
    };
    if (const auto sim = vorn::platform::InstallMachineFromEnvironment()) {
        const QString note =
            Cm_Tr("CheckerMain",
                  "模擬マシン %1 を表示中（このコンピューターのディスクではありません）")
                .arg(sim->directory);
        setup.trayTip += QLatin1Char('\n') + note;
        std::fprintf(
            stderr, "DrivewatchMini: showing the SIMULATED machine %s, not this computer's disks\n",
            qUtf8Printable(sim->directory));
    }

    CCheckerDlg window(setup);
    QObject::connect(&instance, &CSingleInstance::showRequested, &window, &CCheckerDlg::OpenMain);
    QObject::connect(&window, &CCheckerDlg::finished, &app, &QCoreApplication::quit);
    window.Start();
    return app.exec();
}
