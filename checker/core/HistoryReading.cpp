#include "HistoryReading.h"

#include "PowerOnChoice.h"

#include "CheckerDisk.h"
#include "NvmeRows.h"

#include <QJsonObject>

namespace vorn::drivewatch {

namespace {

// IDENTIFY words 108-111, when word 87 says they hold a world wide name.
QString WorldWideName(const checker::CDisk& disk) {
    if (disk.IsNvme())
        return QString();
    const SectorImage& identify = disk.m_HddInfo.m_Identify;
    if ((vorn::hdd::identifyWord(identify, 87) & 0xc100) != 0x4100)
        return QString();
    QString wwn;
    for (int word = 108; word <= 111; ++word)
        wwn += QStringLiteral("%1").arg(vorn::hdd::identifyWord(identify, word), 4, 16,
                                        QLatin1Char('0'));
    return wwn == QStringLiteral("0000000000000000") ? QString() : wwn;
}

} // namespace

history::Reading HistoryReadingOf(const checker::CDisk& disk, std::int64_t timeMs) {
    history::Reading reading;
    reading.disk = {disk.GetModelNumber(), disk.GetSerialNumber(), WorldWideName(disk)};
    reading.timeMs = timeMs;
    const int temperature = disk.GetTemperature();
    reading.temperature = temperature < 1 ? -1 : temperature;
    // Hours as the panel and the JSON choose them, not attribute 9's raw count.
    reading.powerOnHours = checker::ChoosePowerOn(disk).hours;
    reading.powerCycles = disk.GetPowerCycle();
    reading.status = disk.GetStatus();
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        history::AttributeValue value;
        value.id = record->m_byId;
        value.current = record->m_nCurrent;
        value.worst = record->m_nWorst;
        value.raw48 = record->m_nRaw48;
        reading.attributes.append(value);
    }
    if (disk.IsNvme()) {
        const QJsonObject health = checker::NvmeHealthJson(disk);
        for (auto it = health.begin(); it != health.end(); ++it) {
            // Counters past 2^63 come as text; no drive gets there, and
            // they are left out rather than stored wrong.
            if (it.value().isDouble())
                reading.health.append({it.key(), it.value().toInteger()});
        }
    }
    return reading;
}

} // namespace vorn::drivewatch
