#include "AtaIdentifyImage.h"
#include "AttributeTable.h"
#include "DeviceStatisticsImage.h"
#include "ProtocolImport.h"

#include <QRegularExpression>

namespace realworld {

namespace {

constexpr int kGeneralStatisticsPage = 0x01;
constexpr int kPowerOnHoursOffset = 0x10;
constexpr int kTemperatureStatisticsPage = 0x05;
constexpr int kCurrentTemperatureOffset = 0x08;
constexpr std::int64_t kNoTemperature = -128;

std::optional<std::uint64_t> leadingNumberOf(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^(\\d+)"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toULongLong();
}

bool sectorSizes(const ReportText& report, AtaIdentity* identity) {
    static const QRegularExpression same(QStringLiteral("^(\\d+) bytes logical/physical"));
    static const QRegularExpression split(
        QStringLiteral("^(\\d+) bytes logical, (\\d+) bytes physical"));
    std::optional<QString> text = report.field(QStringLiteral("Sector Sizes"));
    if (!text)
        text = report.field(QStringLiteral("Sector Size"));
    if (!text)
        return true; // the drive does not say: 512 both
    if (const auto m = same.match(*text); m.hasMatch()) {
        identity->logicalSectorSize = identity->physicalSectorSize = m.captured(1).toInt();
    } else if (const auto s = split.match(*text); s.hasMatch()) {
        identity->logicalSectorSize = s.captured(1).toInt();
        identity->physicalSectorSize = s.captured(2).toInt();
    } else {
        return false;
    }
    const auto powerOfTwo = [](int n) { return n >= 512 && (n & (n - 1)) == 0; };
    return powerOfTwo(identity->logicalSectorSize) && powerOfTwo(identity->physicalSectorSize) &&
           identity->physicalSectorSize >= identity->logicalSectorSize;
}

int sataGeneration(const QString& speed) {
    if (speed.startsWith(QLatin1String("6.0")))
        return 3;
    if (speed.startsWith(QLatin1String("3.0")))
        return 2;
    if (speed.startsWith(QLatin1String("1.5")))
        return 1;
    return 0;
}

void sataSpeeds(const ReportText& report, AtaIdentity* identity) {
    const std::optional<QString> text = report.field(QStringLiteral("SATA Version is"));
    if (!text)
        return;
    static const QRegularExpression speeds(
        QStringLiteral(", ([0-9.]+) Gb/s(?: \\(current: ([0-9.]+) Gb/s\\))?"));
    const QRegularExpressionMatch m = speeds.match(*text);
    // A SATA drive whose speed the report leaves out is still serial.
    identity->sataGeneration = m.hasMatch() ? std::max(1, sataGeneration(m.captured(1))) : 1;
    if (m.hasMatch() && !m.captured(2).isEmpty())
        identity->sataCurrentGeneration = sataGeneration(m.captured(2));
}

int rotation(const ReportText& report) {
    const std::optional<QString> text = report.field(QStringLiteral("Rotation Rate"));
    if (!text)
        return 0;
    if (text->startsWith(QLatin1String("Solid State")))
        return 1;
    return int(leadingNumberOf(*text).value_or(0));
}

bool temperatureName(const QString& name) {
    return name.contains(QLatin1String("Temp"), Qt::CaseInsensitive);
}

// The attribute smartctl takes the temperature from: 194, 190, 9, 220, each
// only when it is read as a temperature and its byte 0 is a plausible one.
std::optional<int> attributeTemperature(const AttributeTable& table, QString* from) {
    static const int kIds[] = {194, 190, 9, 220};
    for (int id : kIds) {
        for (const AttributeRow& row : table.rows) {
            if (row.id != id || !temperatureName(row.name))
                continue;
            if (row.raw.format != QLatin1String("raw48") &&
                row.raw.format != QLatin1String("tempminmax"))
                continue;
            const int t = row.raw.bytes[0];
            if (t > 0 && t < 128) {
                *from = QStringLiteral("attribute %1").arg(id);
                return t;
            }
        }
    }
    return std::nullopt;
}

// The temperature the drive's own sectors give, in the order the suite
// promises: the attribute smartctl prints as the temperature, else the valid
// Device Statistics reading. SCT Status is a further source the suite does
// not read; where it differs, smartctl printed the attribute's reading too.
void expectTemperature(const std::optional<DeviceStatisticsTable>& ds, const AttributeTable& table,
                       DriveExpectations* expect) {
    QString from;
    expect->temperatureInSectors = attributeTemperature(table, &from);
    if (!expect->temperatureInSectors && ds) {
        const auto t = ds->value(kTemperatureStatisticsPage, kCurrentTemperatureOffset);
        if (t && *t != kNoTemperature) {
            expect->temperatureInSectors = int(*t);
            from = QStringLiteral("Device Statistics");
        }
    }
    expect->temperature = expect->temperatureInSectors;
    expect->temperatureFrom = from;
}

// Attribute 9 where its name and printed form leave no doubt of the unit.
std::optional<std::int64_t> attributeHours(const AttributeRow& row) {
    const QString& f = row.raw.format;
    const bool timeForm = f == QLatin1String("msec24hour32") || f == QLatin1String("sec2hour") ||
                          f == QLatin1String("min2hour") || f == QLatin1String("halfmin2hour");
    const bool hourCount = row.name == QLatin1String("Power_On_Hours") &&
                           (f == QLatin1String("raw48") || f == QLatin1String("raw24(raw8)"));
    if (!(hourCount || (timeForm && row.name.startsWith(QLatin1String("Power_On")))))
        return std::nullopt;
    const auto hours = leadingNumberOf(row.rawText);
    if (!hours)
        return std::nullopt;
    return std::int64_t(*hours);
}

void expectPowerOnHours(const std::optional<DeviceStatisticsTable>& ds, const AttributeTable& table,
                        DriveExpectations* expect) {
    if (ds) {
        if (const auto h = ds->value(kGeneralStatisticsPage, kPowerOnHoursOffset)) {
            expect->powerOnHours = *h;
            expect->powerOnFrom = QStringLiteral("Device Statistics");
            return;
        }
    }
    for (const AttributeRow& row : table.rows) {
        if (row.id != 9)
            continue;
        expect->powerOnHours = attributeHours(row);
        if (expect->powerOnHours)
            expect->powerOnFrom = QStringLiteral("attribute 9 as ") + row.raw.format;
        return;
    }
}

QString statusKey(Verdict verdict) {
    switch (verdict) {
    case Verdict::Passed:
        return QStringLiteral("good");
    case Verdict::Failed:
        return QStringLiteral("exceeded");
    case Verdict::None:
        break;
    }
    return QStringLiteral("none");
}

} // namespace

void importAtaReport(const ReportText& report, ImportOutcome* outcome) {
    outcome->kind = ImportKind::Unreadable;
    ImportedDisk& disk = outcome->disk;
    disk.protocol = Protocol::Ata;

    AtaIdentity identity;
    identity.model = report.field(QStringLiteral("Device Model")).value_or(QString());
    identity.serial = report.field(QStringLiteral("Serial Number")).value_or(QString());
    identity.firmware = report.field(QStringLiteral("Firmware Version")).value_or(QString());
    const auto capacityText = report.field(QStringLiteral("User Capacity"));
    const auto capacity = capacityText ? leadingGroupedNumber(*capacityText) : std::nullopt;
    if (!capacity || *capacity == 0) {
        outcome->problem = QStringLiteral("no User Capacity");
        return;
    }
    if (!sectorSizes(report, &identity)) {
        outcome->problem = QStringLiteral("sector sizes not read");
        return;
    }
    if (*capacity % std::uint64_t(identity.logicalSectorSize) != 0) {
        outcome->problem = QStringLiteral("capacity is no whole number of sectors");
        return;
    }
    identity.sectors = *capacity / std::uint64_t(identity.logicalSectorSize);
    identity.rotation = rotation(report);
    identity.majorVersion =
        majorVersionBit(report.field(QStringLiteral("ATA Version is")).value_or(QString()));
    sataSpeeds(report, &identity);
    // Drives before ATA/ATAPI-6 address 28 bits only, unless they need more.
    identity.lba48 =
        identity.sectors > 0x0FFFFFFF || identity.majorVersion == 0 || identity.majorVersion >= 6;
    for (const QString& line : report.lines()) {
        if (line.startsWith(QLatin1String("SMART support is:")) &&
            line.contains(QLatin1String("Disabled")))
            identity.smartEnabled = false;
    }
    identity.generalPurposeLogging =
        report.lineStartingWith(QStringLiteral("General Purpose Log Directory")) >= 0 ||
        report.lineStartingWith(QStringLiteral("Device Statistics (GP Log")) >= 0;

    QString error;
    std::optional<AttributeTable> table = parseAttributeTable(report.lines(), &error);
    if (!table && !error.isEmpty()) {
        outcome->problem = error;
        return;
    }
    const std::optional<DeviceStatisticsTable> statistics =
        parseDeviceStatistics(report.lines(), &error);
    if (!statistics && !error.isEmpty()) {
        outcome->problem = error;
        return;
    }

    disk.model = identity.model;
    disk.capacityBytes = std::int64_t(*capacity);
    disk.logicalSectorSize = identity.logicalSectorSize;
    disk.ata.identify = ataIdentifySector(identity);
    if (table) {
        disk.ata.smartData = smartDataSector(*table);
        disk.ata.smartThresholds = smartThresholdsSector(*table);
    }
    if (statistics)
        disk.ata.deviceStatistics = deviceStatisticsLog(*statistics);

    DriveExpectations& expect = disk.expect;
    expect.verdict = overallVerdict(report);
    disk.ata.status = statusKey(expect.verdict);
    expect.capacityBytes = disk.capacityBytes;
    const AttributeTable none;
    const AttributeTable& rows = table ? *table : none;
    for (const AttributeRow& row : rows.rows) {
        AttributeExpectation a;
        a.id = row.id;
        a.name = row.name;
        a.rawText = row.rawText;
        a.raw48 = row.raw.raw48();
        a.format = row.raw.format;
        a.failingNow = row.whenFailed == WhenFailed::Now;
        expect.attributes.push_back(a);
    }
    expectTemperature(statistics, rows, &expect);
    expectPowerOnHours(statistics, rows, &expect);
    outcome->kind = ImportKind::Disk;
}

} // namespace realworld
