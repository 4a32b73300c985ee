#pragma once

#include "DrivewatchRun.h"

#include <QStringList>

namespace vorn::drivewatch {

// Whether the command line asks for the endpoint: the one mode that needs
// an event loop, and so the only one for which main() makes the
// application object.
bool WantsMetricsEndpoint(const QStringList& arguments);

// drivewatch --serve until the process is ended: the exporter on a real
// timer and pass thread, behind the HTTP endpoint. Needs a
// QCoreApplication; returns its exit status, or 1 when it cannot listen.
int ServeDrivewatch(const QStringList& arguments, const DrivewatchEnvironment& env);

} // namespace vorn::drivewatch
