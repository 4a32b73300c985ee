#pragma once

#include "DrivewatchRun.h"

#include <QStringList>

namespace vorn::drivewatch {

// drivewatch --serve (vorn-metrics-serve) until the process is ended: the exporter on a real
// timer and pass thread, behind the HTTP endpoint. Needs a
// QCoreApplication; returns its exit status, or 1 when it cannot listen.
int ServeDrivewatch(const QStringList& arguments, const DrivewatchEnvironment& env);

} // namespace vorn::drivewatch
