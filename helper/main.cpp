// vorn-diskhelper: runs the suite's allow-listed disk commands for callers
// that polkit authorises. Started by the system bus; exits when idle.
#include "Disks.h"
#include "HelperLifetime.h"
#include "HelperOptions.h"
#include "HelperService.h"
#include "PolkitAuthorizer.h"

#include "HelperProtocol.h"
#include "SimMachine.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

using namespace vorn::diskhelper;
namespace help = vorn::platform::helper;

int main(int argc, char* argv[]) {
    // Nothing the caller's side could have put in the environment steers a
    // process that runs as root.
    ::clearenv();
    QCoreApplication app(argc, argv);

    QString error;
    const std::optional<HelperOptions> options = parseHelperOptions(app.arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "vorn-diskhelper: %s\n", qPrintable(error));
        return 64;
    }

    std::unique_ptr<DiskAccess> disks;
    if (options->simMachine.isEmpty()) {
        disks = makeLinuxDiskAccess();
    } else {
        auto machine = vorn::platform::loadSimMachine(options->simMachine);
        if (!machine) {
            std::fprintf(stderr, "vorn-diskhelper: no machine at %s\n",
                         qPrintable(options->simMachine));
            return 66;
        }
        disks = makeSimDiskAccess(std::move(machine), options->traceFile);
    }

    QDBusConnection bus =
        QDBusConnection::connectToBus(options->busAddress, QStringLiteral("vorn-diskhelper"));
    if (!bus.isConnected()) {
        std::fprintf(stderr, "vorn-diskhelper: cannot reach the bus: %s\n",
                     qPrintable(bus.lastError().message()));
        return 69;
    }

    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(options->idleMs);
    HelperLifetime lifetime({
        [&idle] { idle.start(); },
        [&idle] { idle.stop(); },
        [&bus] { bus.unregisterService(QString::fromLatin1(help::kBusName)); },
        [&app](std::function<void()> then) { QTimer::singleShot(0, &app, std::move(then)); },
        [&app] { QTimer::singleShot(0, &app, &QCoreApplication::quit); },
    });
    QObject::connect(&idle, &QTimer::timeout, &app, [&lifetime] { lifetime.idleClockElapsed(); });

    PolkitAuthorizer authorizer(bus);
    // The clock runs only while nothing is waiting, so a caller at a password
    // prompt is never left without an answer.
    HelperService service(authorizer, *disks,
                          [&lifetime](bool busy) { lifetime.busyChanged(busy); });
    if (!bus.registerObject(QString::fromLatin1(help::kObjectPath), &service,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QString::fromLatin1(help::kBusName))) {
        std::fprintf(stderr, "vorn-diskhelper: cannot take the name %s: %s\n", help::kBusName,
                     qPrintable(bus.lastError().message()));
        return 69;
    }
    lifetime.start();
    return app.exec();
}
