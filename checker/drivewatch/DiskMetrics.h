#pragma once

#include "MetricsText.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace vorn::checker {
class CDisk;
}

namespace vorn::drivewatch {

// What the metrics say of one disk, as plain values, so that the exporter
// can keep a sleeping disk's last reading without keeping its disk object.

struct AttributeMetric {
    int id = 0;
    QString name; // English, as the usual dashboards filter by it
    int value = -1;
    int worst = -1;
    int threshold = -1;
    std::uint64_t raw = 0;
    std::optional<double> depleted; // per cent of the margin since the baseline
};

struct NvmeMetric {
    std::int64_t percentageUsed = -1;
    std::int64_t availableSpare = -1;
    std::int64_t spareThreshold = -1;
    std::int64_t mediaErrors = -1;
    std::int64_t criticalWarning = -1;
    std::int64_t errorLogEntries = -1;
};

struct DiskMetricValues {
    QString device; // the path the disk was opened by
    QString model;
    QString serial;
    QString firmware;
    QString interfaceName;
    QString protocol;  // "ATA" or "NVMe"
    QString powerMode; // "active", "idle", "standby", "unknown"
    bool sleeping = false;
    bool smartAvailable = false;
    std::int64_t readTimeMs = 0; // when the values below were read
    int status = -1;             // -1 unknown, 0 good, 1 failing, 2 caution
    int temperature = -1;
    std::int64_t powerOnHours = -1;
    std::int64_t powerCycles = -1;
    QList<AttributeMetric> attributes;
    std::optional<NvmeMetric> nvme;
    // Ways the disk is worse than the state the user accepted; absent when
    // it was not compared (asleep, no S.M.A.R.T., no serial number).
    std::optional<int> alerts;
    // Whether the drive's last self-test ended in its own failure, from the
    // execution status byte every read brings; absent where the drive
    // offers no self-test or the byte was not read (NVMe keeps it in a log
    // the pass does not read).
    std::optional<bool> selfTestFailed;

    // Whether two readings are of one disk: the exporter carries a sleeping
    // disk's values over only to the same disk on the same path.
    bool SameDisk(const DiskMetricValues& other) const {
        return device == other.device && model == other.model;
    }
};

// A disk left asleep has only what the system said of it; its last
// reading, when there is one of the same disk, stands in with the sleep
// and the power mode of now.
DiskMetricValues CarryOverWhileAsleep(const DiskMetricValues& now,
                                      const DiskMetricValues& previous);

// Every family of the exposition, compatible names first: the smartctl_*
// names the usual dashboards query, then this suite's vorn_* ones. passMs
// is when the disks were last looked at.
QList<MetricFamily> DiskMetricFamilies(const QList<DiskMetricValues>& disks, std::int64_t passMs);

// The English name dashboards know an attribute by: the drive database's,
// else the usual name of the ID, else "Unknown_Attribute".
QString EnglishAttributeName(int id, const QString& databaseName);

// The values of a disk as the last pass left it; device is the label the
// disk goes by (DiskNodeName).
DiskMetricValues DiskMetricValuesOf(const checker::CDisk& disk, const QString& device,
                                    std::int64_t readTimeMs, std::optional<int> alerts);

// The disk's /dev node ("/dev/sda", "/dev/nvme0n1"), as the common
// dashboards show disks: on the simulated machine the name the helper
// knows it by. The path it was opened by where no node is known.
QString DiskNodeName(const checker::CDisk& disk);

} // namespace vorn::drivewatch
