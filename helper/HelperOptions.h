#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vorn::diskhelper {

// How the helper runs. Started by the bus it takes no option and serves the
// machine's disks on the system bus; the options exist for tests only.
struct HelperOptions {
    QString busAddress = QStringLiteral("unix:path=/run/dbus/system_bus_socket");
    QString simMachine; // serve this simulated machine instead of the disks
    QString traceFile;  // with simMachine: where the commands that ran go
    int idleMs = 60000; // exit after this long without a request
};

// Null, with *error set, for options it does not know or cannot read.
std::optional<HelperOptions> parseHelperOptions(const QStringList& arguments, QString* error);

} // namespace vorn::diskhelper
