#include "SimProviders.h"

#include "DiskProviders.h"

namespace vorn::wmi {

std::vector<WmiObject> simDiskDrives(const platform::SimMachine& machine) {
    std::vector<WmiObject> objects;
    for (const platform::SimDisk& disk : machine.disks) {
        WmiObject object(QStringLiteral("Win32_DiskDrive"));
        // Only the fields the file gives become properties, so a field left
        // out reads as an unreadable property would.
        for (const platform::SimDriveField& field : disk.drive) {
            if (field.value.isEmpty())
                object.set(field.name, VARIANT::null());
            else if (platform::isInt32DriveField(field.name))
                object.set(field.name,
                           VARIANT::ofI4(static_cast<qint32>(disk.driveNumber(field.name))));
            else
                object.set(field.name, VARIANT::ofBstr(field.value));
        }
        objects.push_back(object);
    }
    return objects;
}

std::vector<WmiObject> simLogicalDiskToPartitions(const platform::SimMachine& machine,
                                                  const QString& host) {
    std::vector<WmiObject> objects;
    for (const platform::SimDisk& disk : machine.disks) {
        for (const platform::SimPartition& partition : disk.partitions) {
            for (const QString& drive : partition.driveNames) {
                WmiObject object(QStringLiteral("Win32_LogicalDiskToPartition"));
                // PartitionN of the file is the N-th partition; the object
                // path counts from 0.
                object.set(
                    QStringLiteral("Antecedent"),
                    VARIANT::ofBstr(partitionObjectPath(host, disk.index(), partition.number - 1)));
                object.set(QStringLiteral("Dependent"),
                           VARIANT::ofBstr(logicalDiskObjectPath(host, drive)));
                object.set(QStringLiteral("EndingAddress"), VARIANT::null());
                object.set(QStringLiteral("StartingAddress"), VARIANT::null());
                objects.push_back(object);
            }
        }
    }
    return objects;
}

std::vector<WmiObject> simOperatingSystems(const platform::SimMachine& machine,
                                           std::vector<WmiObject> live) {
    const platform::SimMachineInfo& info = machine.info;
    // The class's own numbering of system families: 16 and 17 for the 9x
    // line, 18 for the NT line.
    quint16 osType = 0;
    if (info.platform == 1)
        osType = info.minorVersion < 10 ? 16 : 17;
    else if (info.platform == 2)
        osType = 18;
    if (live.empty())
        live.emplace_back(QStringLiteral("Win32_OperatingSystem"));
    for (WmiObject& object : live) {
        object.set(
            QStringLiteral("Version"),
            VARIANT::ofBstr(QStringLiteral("%1.%2").arg(info.majorVersion).arg(info.minorVersion)));
        object.set(QStringLiteral("OSType"), osType ? VARIANT::ofI4(osType) : VARIANT::null());
        object.set(QStringLiteral("ProductType"), VARIANT::ofI4(info.productType));
        object.set(QStringLiteral("BuildNumber"),
                   info.buildNumber ? VARIANT::ofBstr(QString::number(info.buildNumber))
                                    : VARIANT::null());
        object.set(QStringLiteral("CSDVersion"),
                   info.csdVersion.isEmpty() ? VARIANT::null() : VARIANT::ofBstr(info.csdVersion));
        object.set(QStringLiteral("ServicePackMajorVersion"), VARIANT::ofI4(0));
        object.set(QStringLiteral("ServicePackMinorVersion"), VARIANT::ofI4(0));
    }
    return live;
}

} // namespace vorn::wmi
