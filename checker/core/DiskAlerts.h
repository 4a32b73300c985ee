#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <map>

class CHdd;

// When a disk got worse: the rules that compare what the user last accepted
// (the reference) with what a read found now. Pure: no disk, no file.

// The counts whose every rise means lost or doubtful sectors.
inline constexpr int kWatchedCounts[] = {5, 196, 197, 198};

// An attribute the library's change queries report as changed: its value
// at the change mark and now.
struct AttributeChange {
    int id = 0;
    QString name;
    int from = -1;
    int to = -1;
};

// What the rules look at in one state of a disk.
struct DiskHealth {
    int status = -1;                 // -1 unknown, 0 good, 1 threshold exceeded
    std::map<int, long long> counts; // raw values of the watched counts present
    std::map<int, int> values;       // normalized value by attribute id
    int temperature = -1;            // degrees, -1 unknown
    QList<AttributeChange> changed;  // the current state only
};

struct AlertLimits {
    int temperature = 0; // degrees; 0: no limit
};

struct DiskAlert {
    enum Kind { Verdict, ValueFell, CountRose, TemperatureOver } kind = Verdict;
    int id = 0; // the attribute; 0 for the verdict and the temperature
    QString name;
    long long from = -1;
    long long to = -1;

    // Identifies this change: the same key at the next read is the same
    // change, a further rise or fall is a new one.
    QString Key() const;
    // One line in the user's language, without the disk.
    QString Text() const;
};

// Every way current is worse than reference, in rule order: the verdict
// turned to threshold exceeded; an attribute the change queries report fell
// below its mark; a watched count rose; the temperature reached the limit.
QList<DiskAlert> FindAlerts(const DiskHealth& reference, const DiskHealth& current,
                            const AlertLimits& limits);

// The disk as the rules see it now. changed comes from the library's change
// queries (GetChangeDepleted), so their exclusions hold.
DiskHealth HealthOf(const CHdd& disk);

// The keys of alerts, for remembering what was already told.
QStringList AlertKeys(const QList<DiskAlert>& alerts);
