#include "PowerMode.h"

namespace vorn::hdd {

PowerMode DecidePowerMode(const PowerProbe& probe) {
    if (probe.runtimeSuspended)
        return PowerMode::Standby;
    if (!probe.checkAnswered)
        return PowerMode::Unknown;
    switch (probe.sectorCount) {
    case 0x00:
    case 0x01: // standby entered by the standby timer
    case 0x40: // cache power mode, spindle stopped
        return PowerMode::Standby;
    case 0x80:
    case 0x81:
    case 0x82:
    case 0x83:
        return PowerMode::Idle;
    case 0x41: // cache power mode, spindle turning
    case 0xFF:
        return PowerMode::Active;
    default:
        return PowerMode::Unknown;
    }
}

QString PowerModeName(PowerMode mode) {
    switch (mode) {
    case PowerMode::Active:
        return QStringLiteral("active");
    case PowerMode::Idle:
        return QStringLiteral("idle");
    case PowerMode::Standby:
        return QStringLiteral("standby");
    case PowerMode::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

} // namespace vorn::hdd
