#include "HistoryReading.h"

#include "CheckerDisk.h"
#include "DiskList.h"
#include "NvmeRows.h"
#include "PassHistory.h"
#include "PowerOnChoice.h"

#include <QJsonObject>

namespace vorn::checker {

history::Reading HistoryReadingOf(const CDisk& disk, std::int64_t timeMs) {
    history::Reading reading = diskpass::BasicReadingOf(disk, timeMs);
    // Hours as the panel and the JSON choose them, not attribute 9's raw count.
    reading.powerOnHours = ChoosePowerOn(disk).hours;
    if (disk.IsNvme()) {
        const QJsonObject health = NvmeHealthJson(disk);
        for (auto it = health.begin(); it != health.end(); ++it) {
            // Counters past 2^63 come as text; no drive gets there, and
            // they are left out rather than stored wrong.
            if (it.value().isDouble())
                reading.health.append({it.key(), it.value().toInteger()});
        }
    }
    reading.complete = true;
    return reading;
}

QStringList RecordDisks(const CDiskList& disks, const QString& path, std::int64_t nowMs) {
    QList<history::Reading> readings;
    for (const CDisk* disk : disks) {
        if (!disk->m_bSleeping)
            readings.append(HistoryReadingOf(*disk, nowMs));
    }
    return diskpass::RecordPass(path, readings, nowMs).notices;
}

} // namespace vorn::checker
