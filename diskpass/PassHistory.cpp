#include "PassHistory.h"

#include "HistoryPath.h"

namespace vorn::diskpass {

history::DiskIdentity HistoryIdentityOf(const CScannedDisk& disk) {
    QString wwn;
    const SectorImage& identify = disk.m_HddInfo.m_Identify;
    // Word 87 says whether words 108-111 hold a name at all.
    if (!disk.IsNvme() && (vorn::hdd::identifyWord(identify, 87) & 0xc100) == 0x4100) {
        for (int word = 108; word <= 111; ++word)
            wwn += QStringLiteral("%1").arg(vorn::hdd::identifyWord(identify, word), 4, 16,
                                            QLatin1Char('0'));
        if (wwn == QStringLiteral("0000000000000000"))
            wwn.clear();
    }
    return {disk.GetModelNumber(), disk.GetSerialNumber(), wwn};
}

history::Reading BasicReadingOf(const CScannedDisk& disk, std::int64_t timeMs) {
    history::Reading reading;
    reading.disk = HistoryIdentityOf(disk);
    reading.timeMs = timeMs;
    const int temperature = disk.GetTemperature();
    reading.temperature = temperature < 1 ? -1 : temperature;
    reading.powerCycles = disk.GetPowerCycle();
    reading.status = disk.GetStatus();
    reading.index = disk.m_nDrive;
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        history::AttributeValue value;
        value.id = record->m_byId;
        value.current = record->m_nCurrent;
        value.worst = record->m_nWorst;
        value.raw48 = record->m_nRaw48;
        reading.attributes.append(value);
    }
    reading.complete = false;
    return reading;
}

QString UserHistoryPath() {
    return history::HistoryPath();
}

HistoryWrite RecordPass(const QString& path, const QList<history::Reading>& readings,
                        std::int64_t nowMs, const QList<history::DiskIdentity>& rangesOf) {
    HistoryWrite write;
    if (path.isEmpty())
        return write;
    QString folderError;
    if (!history::MakeHistoryFolder(path, &folderError)) {
        write.notices.append(
            QStringLiteral("history: %1; this run keeps no history").arg(folderError));
        return write;
    }
    history::HistoryStore store([&write](const QString& line) { write.notices.append(line); });
    if (!store.open(path))
        return write;
    if (!readings.isEmpty() && !store.append(readings))
        write.notices.append(QStringLiteral("history: %1: the readings were not stored (%2)")
                                 .arg(path, store.lastError()));
    store.prune(nowMs);
    for (const history::DiskIdentity& disk : rangesOf)
        write.dayRanges.append(store.temperatureRange(disk, nowMs - kDayMs));
    return write;
}

} // namespace vorn::diskpass
