// drivewatch: the checker's disk readout on the command line.
#include "DrivewatchOutput.h"
#include "DrivewatchRun.h"
#include "HistoryPath.h"
#include "ShippedFiles.h"
#include "SimMachineInstall.h"
#include "TextConvert.h"
#include "Translation.h"
#include "Version.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <langinfo.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>

using namespace vorn::checker;
using namespace vorn::drivewatch;

namespace {

// The user's locale, with characters as UTF-8 whatever it names: Qt reads and
// writes 8-bit text as UTF-8, and the C library must agree with it.
void UseUserLocale() {
    std::setlocale(LC_ALL, "");
    const char* codeset = nl_langinfo(CODESET);
    if (qstricmp(codeset, "UTF-8") != 0 && qstricmp(codeset, "utf8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

} // namespace

// No QCoreApplication for a run: it needs no event loop and no application
// object, only the locale, the arguments and the program's folder, and the
// object's own set-up was a tenth of a run on an emulated machine. The
// metrics endpoint, which lives on an event loop, is a program of its own.
int main(int argc, char* argv[]) {
    // Past a file-size limit a write fails with EFBIG and is reported like a
    // full disk; the signal's default would end the program without a word
    // and leave its temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
    UseUserLocale();
    const CTextCatalogue texts(Cm_ChooseLanguageFromProcess());
    vorn::platform::InstallMachineFromEnvironment();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    CVersion version;
    version.ReadResourceInformation(nullptr);

    DrivewatchEnvironment env;
    // drivewatch reads its templates beside the program or from the install
    // prefix, never from the current directory, where only baselines live.
    const QString program = version.GetAppFilepath();
    env.programDir = ShippedFilesDir(
        QString(), program.isEmpty() ? QString() : QFileInfo(program).absolutePath());
    env.currentDir = Cm_CurrentDirectory();
    env.version = version.GetAppVersion();
    env.streamOut = StreamTo(stdout);
    env.root = ::geteuid() == 0;
    env.historyPath = vorn::history::HistoryPath();

    if (WantsMetricsEndpoint(arguments)) {
        const QByteArray serve = QFile::encodeName(
            MetricsServeProgram(program.isEmpty() ? QString() : QFileInfo(program).absolutePath()));
        ::execv(serve.constData(), argv);
        std::fprintf(stderr, "drivewatch: --serve: cannot start %s: %s\n", serve.constData(),
                     std::strerror(errno));
        return kExitFileError;
    }
    return EmitDrivewatchResult(RunDrivewatch(arguments, env), stdout, stderr);
}
