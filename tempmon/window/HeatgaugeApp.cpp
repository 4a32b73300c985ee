#include "HeatgaugeApp.h"

#include "PassHistory.h"
#include "PassOptions.h"
#include "ThreadedPassRunner.h"

#include <QApplication>
#include <QDir>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace vorn::diskpass;

namespace {

int g_termPipe[2] = {-1, -1};

void OnTerm(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_termPipe[1], &byte, 1);
}

// SIGTERM ends the program as the end of a session does: the last reading
// of the settings stays in the file as it was.
void OnTermination(QObject* owner, std::function<void()> handler) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_termPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_termPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [handler] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_termPipe[0], &byte, 1);
        handler();
    });
    struct sigaction action = {};
    action.sa_handler = OnTerm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
}

} // namespace

void PreferXcbOnWayland() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

int RunHeatgauge() {
    QApplication::setQuitOnLastWindowClosed(false);
    const PassOptions options = ParsePassSwitches(QCoreApplication::arguments());
    const QString folder = QDir::currentPath();
    if (folder.isEmpty())
        return 0;

    CQtRefreshTimer timer;
    CThreadedPassRunner runner;
    CHeatgaugeMonitor::Environment environment{SettingsPath(folder), &timer, &runner};
    environment.historyPath = UserHistoryPath();
    environment.historyNotice = [](const QString& line) {
        std::fprintf(stderr, "HeatgaugeMini: %s\n", qUtf8Printable(line));
    };
    CHeatgaugeMonitor monitor(std::move(environment));
    monitor.Scan(options, SystemSleeper());
    CStripWindow window(&monitor);
    monitor.Start(&window, window.WorkArea());

    // The end of the session (and SIGTERM) exits without saving; an
    // ordinary exit from the menu has saved before the loop ends.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &window,
                     [&monitor] { monitor.Exit(false); });
    OnTermination(&window, [&monitor] { monitor.Exit(false); });
    return QApplication::exec();
}
