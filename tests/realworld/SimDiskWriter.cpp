#include "SimDiskWriter.h"

#include <QDir>
#include <QFile>

namespace realworld {

namespace {

QByteArray hexText(const char* title, const QByteArray& bytes) {
    QByteArray text = QByteArray("# ") + title + " (rebuilt from a smartctl report)\n";
    for (int row = 0; row < bytes.size(); row += 16)
        text += bytes.mid(row, 16).toHex(' ') + '\n';
    return text;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size())
        return true;
    *error = QStringLiteral("cannot write ") + path;
    return false;
}

// Ini values end at the line; a model carries nothing that breaks one.
QString iniValue(const QString& text) {
    QString value = text;
    value.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return value;
}

QByteArray diskIni(int index, const ImportedDisk& disk) {
    const QString model = iniValue(disk.model);
    QString product = model.toUpper();
    product.replace(QLatin1Char(' '), QLatin1Char('_'));
    const bool nvme = disk.protocol == Protocol::Nvme;
    QString ini;
    ini += QStringLiteral("[Drive]\nIndex=%1\nModel=%2\nCaption=%2\n").arg(index).arg(model);
    ini += QStringLiteral("MediaType=Fixed hard disk media\nSize=%1\nBytesPerSector=%2\n")
               .arg(disk.capacityBytes)
               .arg(disk.logicalSectorSize);
    if (nvme) {
        ini += QStringLiteral("InterfaceType=SCSI\nPNPDeviceID=SCSI\\DISK&VEN_NVME&PROD_%1\n"
                              "SCSIPort=-1\nSCSITargetId=-1\n\n[Device]\nProtocol=NVMe\n")
                   .arg(product);
    } else {
        ini += QStringLiteral("InterfaceType=IDE\nPNPDeviceID=IDE\\DISK%1\\%2\n"
                              "SCSIPort=0\nSCSITargetId=0\n\n[Device]\nDirect=yes\nStatus=%3\n")
                   .arg(product)
                   .arg(index)
                   .arg(disk.ata.status);
    }
    return ini.toUtf8();
}

} // namespace

bool writeSimDisk(const QString& folder, int index, const ImportedDisk& disk, QString* error) {
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot make ") + folder;
        return false;
    }
    const auto file = [&](const char* name, const char* title, const QByteArray& bytes) {
        return bytes.isEmpty() || writeFile(folder + QLatin1Char('/') + QLatin1String(name),
                                            hexText(title, bytes), error);
    };
    if (!writeFile(folder + QStringLiteral("/disk.ini"), diskIni(index, disk), error))
        return false;
    if (disk.protocol == Protocol::Nvme) {
        return file("nvme-identify-controller.hex", "Identify Controller",
                    disk.nvme.identifyController) &&
               file("nvme-identify-namespace.hex", "Identify Namespace",
                    disk.nvme.identifyNamespace) &&
               file("nvme-health.hex", "SMART / Health Information log", disk.nvme.health);
    }
    return file("identify.hex", "IDENTIFY DEVICE", disk.ata.identify) &&
           file("smart-data.hex", "SMART READ DATA", disk.ata.smartData) &&
           file("smart-thresholds.hex", "SMART READ THRESHOLDS", disk.ata.smartThresholds) &&
           file("device-statistics.hex", "Device Statistics log", disk.ata.deviceStatistics);
}

} // namespace realworld
