#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include <cstdint>

namespace vorn::history {

// Who a reading belongs to. A disk is known by what it says of itself, not
// by the port it hangs on, so a disk moved to another cable keeps its past.
struct DiskIdentity {
    QString model;
    QString serial;
    QString wwn; // empty where the disk reports none

    bool operator==(const DiskIdentity& other) const {
        return model == other.model && serial == other.serial && wwn == other.wwn;
    }
};

struct AttributeValue {
    int id = 0;
    int current = -1;
    int worst = -1;
    std::uint64_t raw48 = 0;

    bool operator==(const AttributeValue& other) const {
        return id == other.id && current == other.current && worst == other.worst &&
               raw48 == other.raw48;
    }
};

// One field of an NVMe health log under its usual English name.
struct HealthValue {
    QString name;
    std::int64_t value = 0;

    bool operator==(const HealthValue& other) const {
        return name == other.name && value == other.value;
    }
};

// One read of one disk, as plain values: the store never sees a disk object.
struct Reading {
    DiskIdentity disk;
    std::int64_t timeMs = 0;          // UTC milliseconds since 1970
    int temperature = -1;             // degrees Celsius; -1: none
    int powerOnHours = -1;            // -1: none
    int powerCycles = -1;             // -1: none
    int status = -1;                  // the verdict as the disk classes give it
    int index = -1;                   // the drive number it was read at; -1: none
    QList<AttributeValue> attributes; // in id order
    QList<HealthValue> health;        // in name order
    // False for a program that cannot tell every value (the strip knows no
    // power-on unit and decodes no health log): what it leaves at -1 or
    // out keeps the value the store has, instead of being recorded as gone
    // and back again at every reading of the others.
    bool complete = true;
};

// A reading as the store gives it back. Within the last 30 days it is one
// reading (spanMs 0, count 1); older ones are folded into an hour, and
// after a year into a day: the values are then the last of the bucket and
// timeMs its start.
struct StoredReading {
    int diskNumber = 0; // the store's number of the disk
    Reading reading;
    std::int64_t spanMs = 0;
    int count = 1;
    int temperatureMin = -1;
    int temperatureMax = -1;
    // Of a folded hour or day: each value's lowest and highest, by series
    // code (SeriesCodes.h); a value missing here held still.
    QMap<int, std::int64_t> lows, highs;
};

} // namespace vorn::history
