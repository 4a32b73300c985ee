#pragma once

#include "ByteOrder.h"
#include "CheckerDisk.h"

#include "../hdd/SectorBuilder.h"
#include "../support/TempDir.h"

#include <QDir>
#include <QString>

#include <initializer_list>
#include <string>

// Disks for the checker tests: built in memory for the pure parts, or
// written as a simulated machine for the scan.
namespace checkertest {

struct Attr {
    BYTE id;
    BYTE current;
    BYTE worst;
    ULONGLONG raw;
    BYTE threshold;
};

// A Serial ATA disk with S.M.A.R.T. supported and (unless smartOn is false)
// enabled, 500 GB, the given serial and model; texts as the device sends
// them.
inline SectorImage Identify(const std::string& serial = "SER123",
                            const std::string& model = "TESTDISK 500", bool smartOn = true,
                            ULONGLONG lba48 = 976773168) {
    SectorImage image{};
    if (!serial.empty())
        testimg::setDeviceText(image, 20, 20, serial);
    testimg::setDeviceText(image, 46, 8, "FW01");
    if (!model.empty())
        testimg::setDeviceText(image, 54, 40, model);
    testimg::setWord(image, 80, 0x01F0);
    testimg::setWord(image, 82, 0x0001);
    testimg::setWord(image, 83, 0x0400);
    testimg::setWord(image, 85, smartOn ? 0x0001 : 0x0000);
    testimg::setDword(image, 120, 0x0FFFFFFF);
    testimg::setQword(image, 200, lba48);
    return image;
}

inline void SetAttributes(SectorImage* data, SectorImage* thresholds,
                          std::initializer_list<Attr> attrs) {
    data->fill(0);
    thresholds->fill(0);
    int k = 0;
    for (const Attr& a : attrs) {
        testimg::setAttribute(*data, k, {a.id, a.current, a.worst, a.raw});
        testimg::setThreshold(*thresholds, k, a.id, a.threshold);
        ++k;
    }
}

// A disk object that never saw a device: identify and S.M.A.R.T. images put
// in place and the display list built from them, the text fields in reading
// order as after a real read.
inline void FillDisk(vorn::checker::CDisk* disk, const SectorImage& identify,
                     std::initializer_list<Attr> attrs) {
    disk->m_HddInfo.m_Identify = identify;
    disk->m_HddInfo.SwapTextFields();
    SetAttributes(&disk->m_HddSmart.m_Attribute, &disk->m_HddSmart.m_Threshold, attrs);
    disk->GetDisplayAttribute();
}

inline QByteArray SectorHex(const SectorImage& sector) {
    const QByteArray bytes(reinterpret_cast<const char*>(sector.data()), int(sector.size()));
    return "# made by the checker tests\n" + bytes.toHex(' ') + '\n';
}

// A baseline file is little-endian 32-bit numbers and 13-byte records.
inline QByteArray Le32(std::int32_t value) {
    BYTE field[4];
    vorn::le::write32(field, sizeof field, 0, static_cast<std::uint32_t>(value));
    return QByteArray(reinterpret_cast<const char*>(field), sizeof field);
}

inline QByteArray BaselineRecord(BYTE id, int init, int change, int current) {
    return QByteArray(1, static_cast<char>(id)) + Le32(init) + Le32(change) + Le32(current);
}

// One disk folder of a simulated machine.
struct SimDiskFiles {
    QString folder;
    QString drive;   // [Drive] body
    QString volumes; // [Volumes] body
    QString device;  // [Device] body
    bool withIdentify = true;
    SectorImage identify = Identify();
};

inline void WriteSimDisk(const TestDir& dir, const SimDiskFiles& files) {
    QDir(dir.path()).mkpath(files.folder);
    dir.write(files.folder + QStringLiteral("/disk.ini"),
              (QStringLiteral("[Drive]\n") + files.drive + QStringLiteral("\n[Volumes]\n") +
               files.volumes + QStringLiteral("\n[Device]\n") + files.device + QLatin1Char('\n'))
                  .toUtf8());
    SectorImage data{}, thresholds{};
    SetAttributes(&data, &thresholds,
                  {{1, 100, 100, 0, 6}, {9, 90, 90, 1234, 0}, {194, 35, 40, 35, 0}});
    if (files.withIdentify)
        dir.write(files.folder + QStringLiteral("/identify.hex"), SectorHex(files.identify));
    dir.write(files.folder + QStringLiteral("/smart-data.hex"), SectorHex(data));
    dir.write(files.folder + QStringLiteral("/smart-thresholds.hex"), SectorHex(thresholds));
}

// The [Drive] body of a fixed disk.
inline QString DriveFields(int index, const QString& interfaceType, const QString& pnp,
                           int port = 1, int target = 0, const QString& model = "SYSTEM MODEL",
                           long long size = 500107862016LL) {
    return QStringLiteral("Index=%1\nInterfaceType=%2\nPNPDeviceID=%3\nMediaType=Fixed hard "
                          "disk media\nModel=%4\nSCSIPort=%5\nSCSITargetId=%6\nSize=%7\n")
        .arg(index)
        .arg(interfaceType, pnp, model)
        .arg(port)
        .arg(target)
        .arg(size);
}

} // namespace checkertest
