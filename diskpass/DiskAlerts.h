#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>

class CHdd;

namespace vorn::diskpass {

// When a disk got worse: the rules that compare what the user last accepted
// (the reference) with what a read found now. Pure: no disk, no file.

// The counts whose every rise means lost or doubtful sectors.
inline constexpr int kWatchedCounts[] = {5, 196, 197, 198};

// What an NVMe disk's health log says of its wear and damage; an ATA disk
// has none.
struct NvmeHealthState {
    // The log counts in 128 bits; beyond 2^53, the last count a JSON number
    // holds exactly, the count stays there.
    static constexpr long long kMaxCount = 1LL << 53;

    long long mediaErrors = 0; // media and data integrity errors
    int criticalWarning = 0;   // the critical-warning bits
    int availableSpare = 0;    // percent
    int spareThreshold = 0;    // percent

    bool operator==(const NvmeHealthState& other) const;
    bool SpareLow() const { return availableSpare < spareThreshold; }
};

// An attribute the library's change queries report as changed: its value
// at the change mark and now.
struct AttributeChange {
    int id = 0;
    QString name;
    int from = -1;
    int to = -1;
};

// An attribute at or below its non-zero threshold.
struct FailingAttribute {
    int id = 0;
    QString name;
};

// What the rules look at in one state of a disk.
struct DiskHealth {
    int status = -1;                 // -1 unknown, 0 good, 1 failing, 2 caution
    std::map<int, long long> counts; // raw values of the watched counts present
    std::map<int, int> values;       // normalized value by attribute id
    int temperature = -1;            // degrees, -1 unknown
    QList<AttributeChange> changed;  // the current state only
    QList<FailingAttribute> failing; // the current state only, in sector order
    // An NVMe disk's log; absent for an ATA disk, and in a reference
    // accepted before NVMe disks were watched.
    std::optional<NvmeHealthState> nvme;
    // The status nibble of the drive's last self-test (ATA; 15 while one
    // runs); -1 where the drive offers none, or in an older reference.
    int selfTestStatus = -1;
    // How many errors the drive's error log has counted (NVMe's health log
    // keeps the count; ATA's log is not read by a pass); -1 unknown.
    long long errorLogEntries = -1;
};

struct AlertLimits {
    int temperature = 0; // degrees; 0: no limit
};

struct DiskAlert {
    enum Kind {
        Verdict,
        ValueFell,
        CountRose,
        TemperatureOver,
        MediaErrorsRose, // NVMe
        WarningOn,       // NVMe: one critical-warning bit turned on
        SpareLow,        // NVMe: the available spare fell below its threshold
        Caution,         // ATA: an attribute reached its threshold, the drive says good
        SelfTestFailed,  // the drive's last self-test ended in its own failure
        ErrorLogRose,    // the drive's error log counted new errors
    } kind = Verdict;
    // The attribute; the bit of a critical warning; else 0.
    int id = 0;
    // The attribute's name; for a verdict or a caution the failing
    // attributes ("05 再配置セクタ数、C5 ..."), empty when none is known.
    QString name;
    long long from = -1;
    long long to = -1;

    // Identifies this change: the same key at the next read is the same
    // change, a further rise or fall is a new one.
    QString Key() const;
    // One line in the user's language, without the disk.
    QString Text() const;
    // Already so when the watch began, not a change since.
    bool Standing() const { return from == to && (kind == Verdict || kind == Caution); }
};

// Every way current is worse than reference, in rule order: the verdict
// turned to failing, or on an ATA disk from good or unknown to caution; an
// attribute the change queries report fell
// below its mark; a watched count rose (on NVMe the media errors); a
// critical-warning bit turned on; the spare fell below its threshold; the
// temperature reached the limit; a self-test ended in the drive's failure
// (another status than the reference's); the error log counted more. On an NVMe disk the verdict is
// the critical-warning bits, so the bits speak for it, each by name.
QList<DiskAlert> FindAlerts(const DiskHealth& reference, const DiskHealth& current,
                            const AlertLimits& limits);

// What was already wrong when the watch began and still is: a verdict of
// failing or caution (from equals to), on an NVMe disk each critical-warning
// bit set then and now. A disk that fails before its first read would
// otherwise never be told, since its reference is already the failure.
QList<DiskAlert> StandingAlerts(const DiskHealth& reference, const DiskHealth& current);

// The disk as the rules see it now. changed comes from the library's change
// queries (GetChangeDepleted), so their exclusions hold.
DiskHealth HealthOf(const CHdd& disk);

// The keys of alerts, for remembering what was already told.
QStringList AlertKeys(const QList<DiskAlert>& alerts);

} // namespace vorn::diskpass
