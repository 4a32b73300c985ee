#include "TemperatureChoice.h"

#include "AttributeNamesForDrive.h"
#include "SmartDecoder.h"

#include <vector>

namespace vorn::hdd {

QString TemperatureChoice::sourceName() const {
    if (attributeId != 0)
        return QStringLiteral("attribute_%1").arg(attributeId);
    if (fromDeviceStatistics)
        return QStringLiteral("device_statistics");
    return QString();
}

long long entryDegrees(const AttributeBytes& entry, const DriveKnowledge& knowledge) {
    const auto it = knowledge.attributes.find(entry[0]);
    if (it != knowledge.attributes.end() &&
        (it->second.format == RawFormat::Temp10x || it->second.format == RawFormat::TempMinMax))
        return static_cast<long long>(decodeRaw(it->second.format, entry).value);
    return entry[5];
}

namespace {

// The IDs to try, best first: the database's word beats the usual places,
// and an ID the drive's entry gives another meaning is no temperature.
std::vector<int> candidates(const DriveKnowledge& knowledge) {
    std::vector<int> ids;
    if (knowledge.temperatureId > 0 && knowledge.temperatureId < 256)
        ids.push_back(knowledge.temperatureId);
    for (int id : {194, 190, 231}) {
        if (id != knowledge.temperatureId && !vorn::smart::meansSomethingElse(id, knowledge))
            ids.push_back(id);
    }
    return ids;
}

} // namespace

TemperatureChoice chooseTemperature(const SectorImage& attributes, const DriveKnowledge& knowledge,
                                    const DeviceStatistics& statistics) {
    TemperatureChoice choice;
    for (int id : candidates(knowledge)) {
        for (int k = 0; k < vorn::smart::kEntryCount; ++k) {
            const vorn::smart::AttributeEntry entry = vorn::smart::attributeEntry(attributes, k);
            if (entry.id != id)
                continue;
            const long long degrees = entryDegrees(entry.bytes, knowledge);
            if (isPlausibleTemperature(degrees)) {
                choice.degrees = static_cast<int>(degrees);
                choice.attributeId = id;
                return choice;
            }
        }
    }
    if (isPlausibleTemperature(statistics.temperature)) {
        choice.degrees = statistics.temperature;
        choice.fromDeviceStatistics = true;
    }
    return choice;
}

} // namespace vorn::hdd
