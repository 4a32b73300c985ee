#include "SeriesCodes.h"

#include <algorithm>

namespace vorn::history {

SeriesValues SeriesOf(const Reading& reading,
                      const std::function<int(const QString&)>& nameNumber) {
    SeriesValues values;
    values.insert(series::kTemperature, reading.temperature);
    values.insert(series::kPowerOnHours, reading.powerOnHours);
    values.insert(series::kPowerCycles, reading.powerCycles);
    values.insert(series::kStatus, reading.status);
    values.insert(series::kIndex, reading.index);
    for (const AttributeValue& attribute : reading.attributes) {
        if (attribute.id < 1 || attribute.id > 255)
            continue;
        values.insert(series::kAttributeCurrent + attribute.id, attribute.current);
        values.insert(series::kAttributeWorst + attribute.id, attribute.worst);
        // A 48-bit count fits a signed 64-bit column as it is.
        values.insert(series::kAttributeRaw + attribute.id,
                      static_cast<std::int64_t>(attribute.raw48));
    }
    for (const HealthValue& field : reading.health) {
        const int number = nameNumber(field.name);
        if (number > 0 && series::kHealth + number < series::kHealthEnd)
            values.insert(series::kHealth + number, field.value);
    }
    return values;
}

void FillReading(const SeriesValues& values, const QHash<int, QString>& names, Reading* reading) {
    const auto scalar = [&](int code) { return static_cast<int>(values.value(code, -1)); };
    reading->temperature = scalar(series::kTemperature);
    reading->powerOnHours = scalar(series::kPowerOnHours);
    reading->powerCycles = scalar(series::kPowerCycles);
    reading->status = scalar(series::kStatus);
    reading->index = scalar(series::kIndex);
    reading->attributes.clear();
    reading->health.clear();
    for (auto it = values.begin(); it != values.end(); ++it) {
        const int code = it.key();
        if (code > series::kAttributeRaw && code <= series::kAttributeRaw + 255) {
            const int id = code - series::kAttributeRaw;
            AttributeValue attribute;
            attribute.id = id;
            attribute.current = static_cast<int>(values.value(series::kAttributeCurrent + id, -1));
            attribute.worst = static_cast<int>(values.value(series::kAttributeWorst + id, -1));
            attribute.raw48 = static_cast<std::uint64_t>(it.value());
            reading->attributes.append(attribute);
        } else if (code > series::kHealth && names.contains(code - series::kHealth)) {
            reading->health.append({names.value(code - series::kHealth), it.value()});
        }
    }
    std::sort(reading->health.begin(), reading->health.end(),
              [](const HealthValue& a, const HealthValue& b) { return a.name < b.name; });
}

} // namespace vorn::history
