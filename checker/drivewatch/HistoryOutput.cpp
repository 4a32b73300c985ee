#include "HistoryOutput.h"

#include "JsonWriter.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>
#include <QTimeZone>

namespace vorn::drivewatch {

namespace {

QString UtcText(std::int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs);
}

// -1 is what the disk classes give for no value.
void Known(CJsonWriter* json, const char* key, int value) {
    json->Key(key);
    if (value < 0)
        json->Null();
    else
        json->Value(value);
}

QString CsvField(QString text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString KnownText(int value) {
    return value < 0 ? QString() : QString::number(value);
}

} // namespace

QByteArray HistoryJson(const QList<history::StoredReading>& readings) {
    CJsonWriter json;
    json.BeginObject();
    json.Key("readings").BeginArray();
    for (const history::StoredReading& stored : readings) {
        const history::Reading& reading = stored.reading;
        json.BeginObject();
        json.Key("attributes").BeginArray();
        for (const history::AttributeValue& attribute : reading.attributes) {
            json.BeginObject();
            json.Key("current").Value(attribute.current);
            json.Key("id").Value(attribute.id);
            json.Key("raw").Value(static_cast<qint64>(attribute.raw48));
            json.Key("worst").Value(attribute.worst);
            json.EndObject();
        }
        json.EndArray();
        json.Key("count").Value(stored.count);
        json.Key("index").Value(reading.index);
        json.Key("model").Value(reading.disk.model);
        if (!reading.health.isEmpty()) {
            QJsonObject health;
            for (const history::HealthValue& field : reading.health)
                health.insert(field.name, qint64(field.value));
            json.Key("nvme_health").Value(QJsonValue(health));
        }
        Known(&json, "power_cycles", reading.powerCycles);
        Known(&json, "power_on_hours", reading.powerOnHours);
        json.Key("serial").Value(reading.disk.serial);
        json.Key("span_seconds").Value(qint64(stored.spanMs / 1000));
        json.Key("status").Value(reading.status);
        Known(&json, "temperature", reading.temperature);
        Known(&json, "temperature_max", stored.temperatureMax);
        Known(&json, "temperature_min", stored.temperatureMin);
        json.Key("time").Value(UtcText(reading.timeMs));
        json.Key("time_ms").Value(qint64(reading.timeMs));
        json.Key("wwn").Value(reading.disk.wwn);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Take();
}

QByteArray HistoryCsv(const QList<history::StoredReading>& readings) {
    QString text = QStringLiteral(
        "index,model,serial,wwn,time,span_seconds,count,temperature,temperature_min,"
        "temperature_max,power_on_hours,power_cycles,status,attributes,nvme_health\n");
    for (const history::StoredReading& stored : readings) {
        const history::Reading& reading = stored.reading;
        QStringList attributes;
        for (const history::AttributeValue& a : reading.attributes)
            attributes
                << QStringLiteral("%1:%2/%3/%4").arg(a.id).arg(a.current).arg(a.worst).arg(a.raw48);
        QStringList health;
        for (const history::HealthValue& field : reading.health)
            health << QStringLiteral("%1=%2").arg(field.name).arg(field.value);
        const QStringList fields = {
            QString::number(reading.index),   CsvField(reading.disk.model),
            CsvField(reading.disk.serial),    reading.disk.wwn,
            UtcText(reading.timeMs),          QString::number(stored.spanMs / 1000),
            QString::number(stored.count),    KnownText(reading.temperature),
            KnownText(stored.temperatureMin), KnownText(stored.temperatureMax),
            KnownText(reading.powerOnHours),  KnownText(reading.powerCycles),
            QString::number(reading.status),  attributes.join(QLatin1Char(' ')),
            health.join(QLatin1Char(' '))};
        text += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

} // namespace vorn::drivewatch
