#include "NvmeRows.h"

#include "AttributeDetail.h"
#include "CHdd.h"
#include "NumberFormat.h"
#include "NvmeDecoder.h"
#include "Translation.h"

#include <QJsonArray>

#include <climits>

namespace vorn::checker {

namespace {

using vorn::nvme::FieldKind;
using vorn::nvme::HealthField;
using vorn::nvme::Uint128;

const QString kNone = QStringLiteral("-");

Uint128 FieldValue(const CHdd& disk, std::size_t offset, std::size_t size) {
    const SectorImage& log = disk.m_HddNvme.m_HealthLog;
    return vorn::nvme::readLeUint(log.data(), log.size(), offset, size);
}

QString Percent(Uint128 value) {
    return QStringLiteral("%1%").arg(static_cast<unsigned>(value));
}

QString CurrentText(FieldKind kind, Uint128 value) {
    switch (kind) {
    case FieldKind::Bits:
        return QString::asprintf("0x%02X", static_cast<unsigned>(value));
    case FieldKind::Kelvin:
        return FormatTemperature(vorn::nvme::celsiusOf(static_cast<unsigned>(value)));
    case FieldKind::Percent:
        return Percent(value);
    case FieldKind::DataUnits: {
        const Uint128 bytes = value * vorn::nvme::health::kDataUnitBytes;
        // Past 2^63 bytes (or past 128 bits) the byte text would be wrong;
        // the raw column keeps the exact count.
        if (value > static_cast<Uint128>(LLONG_MAX) / vorn::nvme::health::kDataUnitBytes)
            return kNone;
        return Cm_DispByteSize(static_cast<LONGLONG>(bytes));
    }
    case FieldKind::Count:
    case FieldKind::Minutes:
    case FieldKind::Seconds:
    case FieldKind::Hours:
        break;
    }
    return GroupedDecimal(vorn::nvme::decimalText(value));
}

QString ThresholdText(const CHdd& disk, const HealthField& field) {
    if (field.offset == vorn::nvme::health::kAvailableSpare)
        return Percent(FieldValue(disk, vorn::nvme::health::kSpareThreshold, 1));
    if (field.offset == vorn::nvme::health::kPercentageUsed)
        return QStringLiteral("100%");
    // The time counters count above the threshold that names them.
    const NvmeTemperatureThresholds limits = NvmeThresholds(disk);
    int celsius = -1;
    if (field.offset == vorn::nvme::health::kTemperature ||
        field.offset == vorn::nvme::health::kWarningTemperatureTime)
        celsius = limits.warning;
    else if (field.offset == vorn::nvme::health::kCriticalTemperatureTime)
        celsius = limits.critical;
    return celsius == -1 ? kNone : FormatTemperature(celsius);
}

// The fields the verdict rests on draw their bar on the warning colour.
BYTE ImportanceOf(std::size_t offset) {
    namespace h = vorn::nvme::health;
    return offset == h::kCriticalWarning || offset == h::kAvailableSpare ||
                   offset == h::kPercentageUsed || offset == h::kMediaErrors
               ? 2
               : 0;
}

AttributeRow Row(const CHdd& disk, const HealthField& field) {
    const Uint128 value = FieldValue(disk, field.offset, field.size);
    AttributeRow row;
    row.importance = ImportanceOf(field.offset);
    const bool wear = field.offset == vorn::nvme::health::kPercentageUsed;
    row.depleted = wear ? static_cast<double>(value) : 0;
    row.cells[kColumnId] = QString::asprintf("%02X", static_cast<unsigned>(field.offset));
    row.cells[kColumnName] = vorn::nvme::healthFieldName(field);
    row.cells[kColumnInit] = kNone;
    row.cells[kColumnCurrent] = CurrentText(field.kind, value);
    row.cells[kColumnThreshold] = ThresholdText(disk, field);
    row.cells[kColumnWorst] = kNone;
    row.cells[kColumnDepleted] = wear ? FormatDepletion(row.depleted) : kNone;
    row.cells[kColumnRaw] = vorn::nvme::decimalText(value);
    return row;
}

QJsonValue JsonNumber(Uint128 value) {
    if (value <= static_cast<Uint128>(LLONG_MAX))
        return QJsonValue(static_cast<qint64>(value));
    return QJsonValue(vorn::nvme::decimalText(value));
}

QJsonValue JsonCelsius(Uint128 kelvin) {
    const int celsius = vorn::nvme::celsiusOf(static_cast<unsigned>(kelvin));
    return kelvin == 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(celsius);
}

} // namespace

NvmeTemperatureThresholds NvmeThresholds(const CHdd& disk) {
    if (!disk.IsNvme())
        return {};
    const auto& image = disk.m_HddNvme.m_IdentifyController;
    const auto identity = vorn::nvme::decodeIdentifyController(image.data(), image.size());
    return {vorn::nvme::celsiusOf(identity.warningTemperatureK),
            vorn::nvme::celsiusOf(identity.criticalTemperatureK)};
}

QString GroupedDecimal(const QString& digits) {
    QString text = digits;
    for (qsizetype at = text.size() - 3; at > 0; at -= 3)
        text.insert(at, QLatin1Char(','));
    return text;
}

QList<AttributeRow> MakeNvmeHealthRows(const CHdd& disk) {
    QList<AttributeRow> rows;
    if (!disk.m_HddNvme.m_bHealthLog)
        return rows;
    for (const HealthField& field : vorn::nvme::healthFields())
        rows.append(Row(disk, field));
    for (int sensor = 0; sensor < vorn::nvme::health::kSensorCount; ++sensor) {
        const std::size_t offset = vorn::nvme::health::kSensors + 2 * std::size_t(sensor);
        if (FieldValue(disk, offset, 2) == 0)
            continue; // not implemented
        const QByteArray name = Cm_Tr("NvmeRows", "温度センサー%1").arg(sensor + 1).toUtf8();
        rows.append(Row(disk, {offset, 2, "", name.constData(), FieldKind::Kelvin}));
        rows.last().cells[kColumnThreshold] = kNone; // the warning threshold is the composite's
    }
    return rows;
}

QJsonObject NvmeHealthJson(const CHdd& disk) {
    QJsonObject health;
    if (!disk.m_HddNvme.m_bHealthLog)
        return health;
    for (const HealthField& field : vorn::nvme::healthFields()) {
        const Uint128 value = FieldValue(disk, field.offset, field.size);
        health.insert(QLatin1String(field.key),
                      field.kind == FieldKind::Kelvin ? JsonCelsius(value) : JsonNumber(value));
    }
    QJsonArray sensors;
    for (int sensor = 0; sensor < vorn::nvme::health::kSensorCount; ++sensor)
        sensors.append(JsonCelsius(
            FieldValue(disk, vorn::nvme::health::kSensors + 2 * std::size_t(sensor), 2)));
    health.insert(QStringLiteral("temperature_sensors"), sensors);
    // The time counters again under the names the thermal fields share.
    namespace h = vorn::nvme::health;
    health.insert(QStringLiteral("warning_temperature_minutes"),
                  JsonNumber(FieldValue(disk, h::kWarningTemperatureTime, 4)));
    health.insert(QStringLiteral("critical_temperature_minutes"),
                  JsonNumber(FieldValue(disk, h::kCriticalTemperatureTime, 4)));
    return health;
}

} // namespace vorn::checker
