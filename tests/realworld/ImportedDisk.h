#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// One drive rebuilt from a smartctl report: the sectors it would send, and
// what smartctl showed for it, so that a run of the suite over the sectors
// can be held against the report.
namespace realworld {

enum class Protocol { Ata, Nvme };

enum class Verdict { None, Passed, Failed };

struct AttributeExpectation {
    int id = 0;
    QString name;            // as smartctl printed it (the database's name)
    QString rawText;         // the printed raw value
    std::uint64_t raw48 = 0; // bytes 0-5 as the importer wrote them
    QString format;          // the layout the importer took the printed value for
    bool failingNow = false;
};

struct DriveExpectations {
    std::vector<AttributeExpectation> attributes; // in sector order
    Verdict verdict = Verdict::None;
    std::optional<int> temperature;
    QString temperatureFrom; // where in the report it was read, for messages
    // The same reading, kept apart for the messages of the test.
    std::optional<int> temperatureInSectors;
    std::optional<std::int64_t> powerOnHours;
    QString powerOnFrom;
    std::int64_t capacityBytes = 0;
};

// Sector images in the simulated machine's file formats; empty when the
// disk has no such file.
struct AtaImages {
    QByteArray identify;         // 512 bytes
    QByteArray smartData;        // 512 bytes
    QByteArray smartThresholds;  // 512 bytes
    QByteArray deviceStatistics; // whole 512-byte pages of log 04h
    QString status;              // disk.ini [Device] Status: good, exceeded, none
};

struct NvmeImages {
    QByteArray identifyController; // 4096 bytes
    QByteArray identifyNamespace;  // 4096 bytes
    QByteArray health;             // 512 bytes
};

struct ImportedDisk {
    Protocol protocol = Protocol::Ata;
    QString model;
    std::int64_t capacityBytes = 0;
    int logicalSectorSize = 512;
    AtaImages ata;
    NvmeImages nvme;
    DriveExpectations expect;
};

} // namespace realworld
