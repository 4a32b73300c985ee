#include "DiskMetrics.h"

#include "CheckerDisk.h"
#include "DrivewatchOutput.h"
#include "NvmeRows.h"
#include "PowerOnChoice.h"

#include "PowerMode.h"

#include "DiskEnumeration.h"
#include "HelperBackend.h"
#include "HelperProtocol.h"
#include "SimMachine.h"
#include "SimMachineInstall.h"

#include <QJsonObject>

#include <map>

namespace vorn::drivewatch {

namespace {

// The names the attribute IDs are commonly known by in English, the ones
// shared by most drives; a drive's own database entry comes first.
const std::map<int, const char*>& UsualAttributeNames() {
    static const std::map<int, const char*> names{
        {1, "Raw_Read_Error_Rate"},
        {2, "Throughput_Performance"},
        {3, "Spin_Up_Time"},
        {4, "Start_Stop_Count"},
        {5, "Reallocated_Sector_Ct"},
        {7, "Seek_Error_Rate"},
        {8, "Seek_Time_Performance"},
        {9, "Power_On_Hours"},
        {10, "Spin_Retry_Count"},
        {11, "Calibration_Retry_Count"},
        {12, "Power_Cycle_Count"},
        {13, "Read_Soft_Error_Rate"},
        {183, "Runtime_Bad_Block"},
        {184, "End-to-End_Error"},
        {187, "Reported_Uncorrect"},
        {188, "Command_Timeout"},
        {189, "High_Fly_Writes"},
        {190, "Airflow_Temperature_Cel"},
        {191, "G-Sense_Error_Rate"},
        {192, "Power-Off_Retract_Count"},
        {193, "Load_Cycle_Count"},
        {194, "Temperature_Celsius"},
        {195, "Hardware_ECC_Recovered"},
        {196, "Reallocated_Event_Count"},
        {197, "Current_Pending_Sector"},
        {198, "Offline_Uncorrectable"},
        {199, "UDMA_CRC_Error_Count"},
        {200, "Multi_Zone_Error_Rate"},
        {220, "Disk_Shift"},
        {222, "Loaded_Hours"},
        {223, "Load_Retry_Count"},
        {224, "Load_Friction"},
        {226, "Load-in_Time"},
        {240, "Head_Flying_Hours"},
        {241, "Total_LBAs_Written"},
        {242, "Total_LBAs_Read"},
    };
    return names;
}

MetricLabels DeviceLabel(const DiskMetricValues& disk) {
    return {{QStringLiteral("device"), disk.device}};
}

MetricLabels With(MetricLabels labels, const QString& name, const QString& value) {
    labels.append({name, value});
    return labels;
}

// A family of one sample per disk, for the disks that have the value.
template <class ValueOf>
MetricFamily PerDisk(const QList<DiskMetricValues>& disks, const char* name, const char* help,
                     MetricType type, ValueOf valueOf) {
    MetricFamily family{QString::fromLatin1(name), QString::fromLatin1(help), type, {}};
    for (const DiskMetricValues& disk : disks) {
        if (const std::optional<double> value = valueOf(disk))
            family.samples.append({DeviceLabel(disk), *value});
    }
    return family;
}

std::optional<double> Known(std::int64_t value) {
    return value < 0 ? std::nullopt : std::optional<double>(static_cast<double>(value));
}

template <class FieldOf>
std::optional<double> NvmeField(const DiskMetricValues& disk, FieldOf fieldOf) {
    return disk.nvme ? Known(fieldOf(*disk.nvme)) : std::nullopt;
}

std::int64_t HealthNumber(const QJsonObject& health, const char* key) {
    const QJsonValue value = health.value(QLatin1String(key));
    return value.isDouble() ? value.toInteger(-1) : -1;
}

} // namespace

QString EnglishAttributeName(int id, const QString& databaseName) {
    if (!databaseName.isEmpty())
        return databaseName;
    const auto& names = UsualAttributeNames();
    const auto it = names.find(id);
    return it == names.end() ? QStringLiteral("Unknown_Attribute")
                             : QString::fromLatin1(it->second);
}

DiskMetricValues CarryOverWhileAsleep(const DiskMetricValues& now,
                                      const DiskMetricValues& previous) {
    if (!now.sleeping || !now.SameDisk(previous))
        return now;
    DiskMetricValues carried = previous;
    carried.sleeping = true;
    carried.powerMode = now.powerMode;
    return carried;
}

QList<MetricFamily> DiskMetricFamilies(const QList<DiskMetricValues>& disks, std::int64_t passMs) {
    QList<MetricFamily> families;

    MetricFamily info{QStringLiteral("smartctl_device"),
                      QStringLiteral("Device info: model, serial number, firmware, interface"),
                      MetricType::Gauge,
                      {}};
    for (const DiskMetricValues& disk : disks) {
        info.samples.append({{{QStringLiteral("device"), disk.device},
                              {QStringLiteral("interface"), disk.interfaceName},
                              {QStringLiteral("protocol"), disk.protocol},
                              {QStringLiteral("model_name"), disk.model},
                              {QStringLiteral("serial_number"), disk.serial},
                              {QStringLiteral("firmware_version"), disk.firmware}},
                             1});
    }
    families.append(info);

    // The drive's own verdict: an ATA drive below a threshold of an
    // attribute while it still says good has passed, an NVMe drive with a
    // critical warning has not.
    families.append(PerDisk(
        disks, "smartctl_device_smart_status", "General S.M.A.R.T. status: 1 passed, 0 failed",
        MetricType::Gauge, [](const DiskMetricValues& disk) -> std::optional<double> {
            if (disk.status < 0)
                return std::nullopt;
            const bool failed =
                disk.status == 1 || (disk.status == 2 && disk.protocol == QLatin1String("NVMe"));
            return failed ? 0 : 1;
        }));

    MetricFamily temperature{QStringLiteral("smartctl_device_temperature"),
                             QStringLiteral("Device temperature in degrees Celsius"),
                             MetricType::Gauge,
                             {}};
    for (const DiskMetricValues& disk : disks) {
        if (disk.temperature > 0)
            temperature.samples.append({With(DeviceLabel(disk), QStringLiteral("temperature_type"),
                                             QStringLiteral("current")),
                                        static_cast<double>(disk.temperature)});
    }
    families.append(temperature);

    families.append(PerDisk(disks, "smartctl_device_power_on_seconds",
                            "Device power-on time in seconds", MetricType::Gauge,
                            [](const DiskMetricValues& disk) {
                                return Known(disk.powerOnHours < 0 ? -1 : disk.powerOnHours * 3600);
                            }));
    // The name the dashboards know; vorn_disk_power_cycles_total is the
    // same count under the rules for counters.
    families.append(PerDisk(disks, "smartctl_device_power_cycle_count",
                            "Device power cycle count (the same as vorn_disk_power_cycles_total)",
                            MetricType::Gauge,
                            [](const DiskMetricValues& disk) { return Known(disk.powerCycles); }));

    MetricFamily attributes{QStringLiteral("smartctl_device_attribute"),
                            QStringLiteral("Device S.M.A.R.T. attributes: normalized value, "
                                           "worst, threshold and raw count"),
                            MetricType::Gauge,
                            {}};
    for (const DiskMetricValues& disk : disks) {
        for (const AttributeMetric& attribute : disk.attributes) {
            const MetricLabels labels{
                {QStringLiteral("device"), disk.device},
                {QStringLiteral("attribute_id"), QString::number(attribute.id)},
                {QStringLiteral("attribute_name"), attribute.name}};
            const auto add = [&](const char* type, double value) {
                attributes.samples.append(
                    {With(labels, QStringLiteral("attribute_value_type"), QLatin1String(type)),
                     value});
            };
            if (attribute.value >= 0)
                add("value", attribute.value);
            if (attribute.worst >= 0)
                add("worst", attribute.worst);
            if (attribute.threshold >= 0)
                add("thresh", attribute.threshold);
            add("raw", static_cast<double>(attribute.raw));
        }
    }
    families.append(attributes);

    families.append(PerDisk(disks, "smartctl_device_percentage_used",
                            "NVMe: share of the rated endurance used, per cent", MetricType::Gauge,
                            [](const DiskMetricValues& d) {
                                return NvmeField(d, [](auto& n) { return n.percentageUsed; });
                            }));
    families.append(PerDisk(disks, "smartctl_device_available_spare",
                            "NVMe: remaining spare capacity, per cent", MetricType::Gauge,
                            [](const DiskMetricValues& d) {
                                return NvmeField(d, [](auto& n) { return n.availableSpare; });
                            }));
    families.append(PerDisk(disks, "smartctl_device_available_spare_threshold",
                            "NVMe: the available spare below which the controller warns, per cent",
                            MetricType::Gauge, [](const DiskMetricValues& d) {
                                return NvmeField(d, [](auto& n) { return n.spareThreshold; });
                            }));
    families.append(PerDisk(disks, "smartctl_device_critical_warning",
                            "NVMe: the critical warning bits of the health log", MetricType::Gauge,
                            [](const DiskMetricValues& d) {
                                return NvmeField(d, [](auto& n) { return n.criticalWarning; });
                            }));
    families.append(PerDisk(
        disks, "smartctl_device_media_errors",
        "NVMe: unrecovered data integrity errors (the same as vorn_disk_media_errors_total)",
        MetricType::Gauge, [](const DiskMetricValues& d) {
            return NvmeField(d, [](auto& n) { return n.mediaErrors; });
        }));
    families.append(PerDisk(disks, "smartctl_device_num_err_log_entries",
                            "NVMe: error log entries over the controller's life", MetricType::Gauge,
                            [](const DiskMetricValues& d) {
                                return NvmeField(d, [](auto& n) { return n.errorLogEntries; });
                            }));

    families.append(PerDisk(disks, "vorn_disk_power_cycles", "Power cycles of the disk",
                            MetricType::Counter,
                            [](const DiskMetricValues& disk) { return Known(disk.powerCycles); }));
    families.append(PerDisk(disks, "vorn_disk_media_errors",
                            "NVMe: unrecovered data integrity errors", MetricType::Counter,
                            [](const DiskMetricValues& d) {
                                return NvmeField(d, [](auto& n) { return n.mediaErrors; });
                            }));
    families.append(PerDisk(disks, "vorn_disk_status",
                            "The suite's verdict: 0 good, 1 failing, 2 caution (an attribute at "
                            "its threshold, or an NVMe critical warning)",
                            MetricType::Gauge,
                            [](const DiskMetricValues& disk) { return Known(disk.status); }));
    families.append(PerDisk(disks, "vorn_disk_smart_available",
                            "1 when the disk's S.M.A.R.T. data could be read", MetricType::Gauge,
                            [](const DiskMetricValues& disk) -> std::optional<double> {
                                return disk.smartAvailable ? 1 : 0;
                            }));

    MetricFamily depleted{QStringLiteral("vorn_disk_attribute_depleted_percent"),
                          QStringLiteral("Share of the margin between an attribute's baseline "
                                         "and its threshold used up since the baseline, per cent"),
                          MetricType::Gauge,
                          {}};
    for (const DiskMetricValues& disk : disks) {
        for (const AttributeMetric& attribute : disk.attributes) {
            if (attribute.depleted)
                depleted.samples.append(
                    {{{QStringLiteral("device"), disk.device},
                      {QStringLiteral("attribute_id"), QString::number(attribute.id)},
                      {QStringLiteral("attribute_name"), attribute.name}},
                     *attribute.depleted});
        }
    }
    families.append(depleted);

    families.append(PerDisk(disks, "vorn_disk_alerts",
                            "Ways the disk is worse than the state last accepted with "
                            "drivewatch --accept (0: as accepted)",
                            MetricType::Gauge, [](const DiskMetricValues& disk) {
                                return disk.alerts ? std::optional<double>(*disk.alerts)
                                                   : std::nullopt;
                            }));

    families.append(PerDisk(disks, "vorn_disk_self_test_failed",
                            "1 when the drive's last self-test ended in a failure of the drive "
                            "(an abort is no failure)",
                            MetricType::Gauge, [](const DiskMetricValues& disk) {
                                return disk.selfTestFailed
                                           ? std::optional<double>(*disk.selfTestFailed ? 1 : 0)
                                           : std::nullopt;
                            }));

    MetricFamily mode{QStringLiteral("vorn_disk_power_mode"),
                      QStringLiteral("The power mode the disk was last found in (the mode label)"),
                      MetricType::Gauge,
                      {}};
    for (const DiskMetricValues& disk : disks)
        mode.samples.append({With(DeviceLabel(disk), QStringLiteral("mode"), disk.powerMode), 1});
    families.append(mode);

    families.append(PerDisk(disks, "vorn_disk_sleeping",
                            "1 when the disk slept and was not read: its values are from "
                            "vorn_disk_read_timestamp_seconds",
                            MetricType::Gauge,
                            [](const DiskMetricValues& disk) -> std::optional<double> {
                                return disk.sleeping ? 1 : 0;
                            }));
    families.append(PerDisk(disks, "vorn_disk_read_timestamp_seconds",
                            "When the disk's values were read, seconds since 1970",
                            MetricType::Gauge,
                            [](const DiskMetricValues& disk) -> std::optional<double> {
                                if (disk.readTimeMs <= 0)
                                    return std::nullopt;
                                return static_cast<double>(disk.readTimeMs) / 1000.0;
                            }));

    families.append({QStringLiteral("vorn_disks"),
                     QStringLiteral("Disks found by the last pass"),
                     MetricType::Gauge,
                     {{{}, static_cast<double>(disks.size())}}});
    families.append({QStringLiteral("vorn_pass_timestamp_seconds"),
                     QStringLiteral("When the disks were last looked at, seconds since 1970"),
                     MetricType::Gauge,
                     {{{}, static_cast<double>(passMs) / 1000.0}}});
    return families;
}

QString DiskNodeName(const checker::CDisk& disk) {
    if (const auto machine = vorn::platform::InstalledSimMachine()) {
        if (const vorn::platform::SimDisk* sim = machine->diskByIndex(disk.m_nDrive))
            return QStringLiteral("/dev/") + vorn::platform::simKernelNameOf(*sim);
        return DiskDevicePath(disk);
    }
    const QStringList names = vorn::platform::physicalDiskNames();
    if (disk.m_nDrive >= 0 && disk.m_nDrive < names.size())
        return vorn::platform::helper::deviceNodePath(QStringLiteral("/dev"), names[disk.m_nDrive]);
    return DiskDevicePath(disk);
}

DiskMetricValues DiskMetricValuesOf(const checker::CDisk& disk, const QString& device,
                                    std::int64_t readTimeMs, std::optional<int> alerts) {
    DiskMetricValues values;
    values.device = device;
    values.model = disk.GetModelNumber();
    values.serial = disk.GetSerialNumber();
    values.firmware = disk.GetFirmwareRev();
    values.interfaceName = disk.m_bUsb ? QStringLiteral("USB") : disk.GetInterface();
    values.protocol = disk.IsNvme() ? QStringLiteral("NVMe") : QStringLiteral("ATA");
    values.powerMode = vorn::hdd::PowerModeName(disk.m_powerMode);
    values.sleeping = disk.m_bSleeping;
    values.smartAvailable = disk.EnableSMART() && disk.m_strSmartUnavailable.isEmpty();
    values.alerts = alerts;
    if (disk.m_bSleeping)
        return values; // nothing of it was read now
    values.readTimeMs = readTimeMs;
    values.status = disk.GetStatus();
    const int temperature = disk.GetTemperature();
    values.temperature = temperature < 1 ? -1 : temperature;
    values.powerOnHours = checker::ChoosePowerOn(disk).hours;
    values.powerCycles = disk.GetPowerCycle();
    if (!disk.IsNvme() && values.smartAvailable && disk.GetSelfTestCapabilities().any())
        values.selfTestFailed = disk.GetSelfTestProgress().failed;
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        AttributeMetric attribute;
        attribute.id = record->m_byId;
        const auto known = disk.m_Knowledge.attributes.find(attribute.id);
        attribute.name = EnglishAttributeName(
            attribute.id,
            known == disk.m_Knowledge.attributes.end() ? QString() : known->second.name);
        attribute.value = record->m_nCurrent;
        attribute.worst = record->m_nWorst;
        attribute.threshold = record->m_nThreshold;
        attribute.raw = record->m_nRaw48;
        if (record->m_nInit >= 0 && record->m_nThreshold > 0 && record->m_nCurrent >= 0)
            attribute.depleted = record->CalcDepleted();
        values.attributes.append(attribute);
    }
    if (disk.IsNvme()) {
        const QJsonObject health = checker::NvmeHealthJson(disk);
        if (!health.isEmpty()) {
            NvmeMetric nvme;
            nvme.percentageUsed = HealthNumber(health, "percentage_used");
            nvme.availableSpare = HealthNumber(health, "available_spare");
            nvme.spareThreshold = HealthNumber(health, "available_spare_threshold");
            nvme.mediaErrors = HealthNumber(health, "media_errors");
            nvme.criticalWarning = HealthNumber(health, "critical_warning");
            nvme.errorLogEntries = HealthNumber(health, "num_err_log_entries");
            values.nvme = nvme;
        }
    }
    return values;
}

} // namespace vorn::drivewatch
