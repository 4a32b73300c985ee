#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The IDENTIFY DEVICE sector of an ATA drive, from what a report says of it.
namespace realworld {

struct AtaIdentity {
    QString model;
    QString serial;
    QString firmware;
    std::uint64_t sectors = 0; // logical sectors
    int logicalSectorSize = 512;
    int physicalSectorSize = 512;
    int rotation = 0;              // word 217: 0 not reported, 1 solid state, else rpm
    int majorVersion = 0;          // highest ATA major version bit of word 80, 0 none
    int sataGeneration = 0;        // highest signalling speed (1-3), 0 parallel ATA
    int sataCurrentGeneration = 0; // the negotiated speed, 0 not known
    bool lba48 = true;
    bool smartEnabled = true;
    bool generalPurposeLogging = false;
};

// 512 bytes, texts in the device's byte order, integrity word sealed.
QByteArray ataIdentifySector(const AtaIdentity& identity);

// The highest major version bit smartctl's "ATA Version is:" text names, 0
// when it names none it knows.
int majorVersionBit(const QString& ataVersion);

} // namespace realworld
