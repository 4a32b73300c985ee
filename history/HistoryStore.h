#pragma once

#include "Reading.h"

#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>

namespace vorn::history {

struct TemperatureRange {
    int low = -1;
    int high = -1;
};

// The readings of every disk in one SQLite file, shared by every program
// of the user: each keeps a store of its own open, and writers wait for one
// another for a few seconds at most. One store belongs to one thread.
//
// Times are parameters, never read from a clock here.
class HistoryStore {
public:
    // One line for the user: a file moved aside, a store that cannot be
    // used this run.
    using Notice = std::function<void(const QString&)>;

    explicit HistoryStore(Notice notice = {});
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens or creates the file. A file that is no store of ours or a
    // damaged one is renamed to "<path>.broken" once, with one notice, and
    // a new store is started; false (with one notice) when none can be used
    // (a read-only folder, a full disk, a store of a later version).
    bool open(const QString& path);
    bool isOpen() const { return m_open; }

    // Stores the readings of one pass in one transaction: all or nothing.
    // False when they could not be stored; the store stays usable.
    bool append(const QList<Reading>& readings);
    bool append(const Reading& reading) { return append(QList<Reading>{reading}); }

    // The stored readings from sinceMs on, disk by disk, each disk's in time
    // order; diskNumber 0 for every disk.
    QList<StoredReading> readings(int diskNumber = 0,
                                  std::int64_t sinceMs = std::numeric_limits<std::int64_t>::min());

    // The store's number of the disk; 0 for one it has never seen.
    int findDisk(const DiskIdentity& disk);

    // The lowest and highest temperature of the disk from sinceMs on, within
    // the last 30 days (whose every reading is kept); none when the disk has
    // no reading with a temperature since then.
    std::optional<TemperatureRange> temperatureRange(const DiskIdentity& disk,
                                                     std::int64_t sinceMs);

    // Folds readings older than 30 days into hours and hours older than a
    // year into days, at most maxSteps hours or days, each in a
    // transaction of its own so that no writer waits long. False once
    // nothing is due; a pass calls it once, a long catch-up until false.
    bool prune(std::int64_t nowMs, int maxSteps = kPruneSteps);
    static constexpr int kPruneSteps = 48;

    QString lastError() const { return m_lastError; }

private:
    enum class Attempt { Opened, Broken, Unusable };
    Attempt tryOpen(const QString& path);
    void close();
    bool moveAside(const QString& path);
    bool appendAll(const QList<Reading>& readings, bool* broken);
    int diskNumber(const DiskIdentity& disk);
    int nameNumber(const QString& name);
    QHash<int, QString> names();
    void tell(const QString& line) const;

    Notice m_notice;
    QString m_connection;
    QString m_path;
    bool m_open = false;
    bool m_movedAside = false;
    QString m_lastError;
    QHash<QString, int> m_disks; // identity key -> number
    QHash<QString, int> m_names;
};

} // namespace vorn::history
