#pragma once

#include "HistoryStore.h"
#include "Reading.h"
#include "ScannedDisk.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace vorn::diskpass {

// Who the disk is to the history: model, serial and, where IDENTIFY words
// 108-111 hold one, its world wide name.
history::DiskIdentity HistoryIdentityOf(const CScannedDisk& disk);

// What every program can tell of a disk it has just read: the identity,
// temperature, power cycles, verdict and every attribute. The power-on
// hours and the NVMe health fields take the checker's knowledge, so the
// reading is marked incomplete; the checker fills them in and marks it
// complete.
history::Reading BasicReadingOf(const CScannedDisk& disk, std::int64_t timeMs);

struct HistoryWrite {
    // One line each: a file moved aside, a store or a folder that cannot
    // be used, readings that were not stored. The pass goes on regardless.
    QStringList notices;
    // The lowest and highest temperature of each disk asked for, over the
    // day before nowMs, in the order asked; none for a disk without one.
    QList<std::optional<history::TemperatureRange>> dayRanges;
};

// Stores one pass's readings in the file at path, folds what is due (a
// bounded step, never a long stall), and reads the day's temperature ranges
// of the disks in rangesOf, all in one opening of the store. Runs on the
// pass's thread; an empty path keeps no history.
HistoryWrite RecordPass(const QString& path, const QList<history::Reading>& readings,
                        std::int64_t nowMs, const QList<history::DiskIdentity>& rangesOf = {});

// The user's store (HistoryPath.h), for the programs above this room.
QString UserHistoryPath();

inline constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;

} // namespace vorn::diskpass
