#include "ProtocolImport.h"

#include <QRegularExpression>

namespace realworld {

namespace {

constexpr int kIdentifySize = 4096;
constexpr int kHealthSize = 512;
constexpr int kKelvin = 273;

// Little-endian; the fields wider than 8 bytes take their top bytes as 0.
void put(QByteArray* image, int offset, int size, std::uint64_t value) {
    for (int k = 0; k < size; ++k)
        (*image)[offset + k] = char(k < 8 ? std::uint8_t(value >> (8 * k)) : 0);
}

void putText(QByteArray* image, int offset, int length, const QString& text) {
    const QByteArray bytes = text.toLatin1().left(length).leftJustified(length, ' ');
    for (int k = 0; k < length; ++k)
        (*image)[offset + k] = bytes[k];
}

// The health figures are printed with grouping and a unit: "2,053,138,221
// [1.05 PB]", "100%", "22,813".
std::optional<std::uint64_t> count(const ReportText& report, const char* key) {
    const auto text = report.field(QString::fromLatin1(key));
    return text ? leadingGroupedNumber(*text) : std::nullopt;
}

std::optional<int> celsius(const ReportText& report, const QString& key) {
    static const QRegularExpression degrees(QStringLiteral("^(-?\\d+) Celsius"));
    const auto text = report.field(key);
    if (!text)
        return std::nullopt;
    const QRegularExpressionMatch m = degrees.match(*text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

unsigned versionWord(const QString& text) {
    static const QRegularExpression version(QStringLiteral("^(\\d+)\\.(\\d+)(?:\\.(\\d+))?$"));
    const QRegularExpressionMatch m = version.match(text);
    if (!m.hasMatch())
        return 0;
    return unsigned(m.captured(1).toInt()) << 16 | unsigned(m.captured(2).toInt()) << 8 |
           unsigned(m.captured(3).toInt());
}

QByteArray identifyController(const ReportText& report) {
    QByteArray image(kIdentifySize, '\0');
    static const QRegularExpression hex(QStringLiteral("0x([0-9a-fA-F]{1,4})"));
    for (const char* key : {"PCI Vendor/Subsystem ID", "PCI Vendor ID"}) {
        const auto text = report.field(QString::fromLatin1(key));
        if (!text)
            continue;
        const QRegularExpressionMatch m = hex.match(*text);
        if (m.hasMatch()) {
            put(&image, 0, 2, m.captured(1).toUInt(nullptr, 16));
            put(&image, 2, 2, m.captured(1).toUInt(nullptr, 16));
        }
        break;
    }
    putText(&image, 4, 20, report.field(QStringLiteral("Serial Number")).value_or(QString()));
    putText(&image, 24, 40, report.field(QStringLiteral("Model Number")).value_or(QString()));
    putText(&image, 64, 8, report.field(QStringLiteral("Firmware Version")).value_or(QString()));
    if (const auto oui = report.field(QStringLiteral("IEEE OUI Identifier")))
        put(&image, 73, 3, oui->mid(2).toUInt(nullptr, 16));
    put(&image, 78, 2, count(report, "Controller ID").value_or(0));
    put(&image, 80, 4,
        versionWord(report.field(QStringLiteral("NVMe Version")).value_or(QString())));
    put(&image, 262, 1, 63); // error log entries less one
    if (const auto t = celsius(report, QStringLiteral("Warning  Comp. Temp. Threshold")))
        put(&image, 266, 2, unsigned(*t + kKelvin));
    if (const auto t = celsius(report, QStringLiteral("Critical Comp. Temp. Threshold")))
        put(&image, 268, 2, unsigned(*t + kKelvin));
    put(&image, 280, 16, count(report, "Total NVM Capacity").value_or(0));
    put(&image, 296, 16, count(report, "Unallocated NVM Capacity").value_or(0));
    put(&image, 516, 4, count(report, "Number of Namespaces").value_or(1));
    return image;
}

QByteArray identifyNamespace(std::uint64_t sizeBlocks, std::uint64_t capacityBlocks,
                             std::uint64_t usedBlocks, int lbaSize, const ReportText& report) {
    QByteArray image(kIdentifySize, '\0');
    put(&image, 0, 8, sizeBlocks);
    put(&image, 8, 8, capacityBlocks);
    put(&image, 16, 8, usedBlocks);
    put(&image, 25, 1, 1);                       // two formats
    put(&image, 26, 1, lbaSize == 4096 ? 1 : 0); // the one in use
    put(&image, 128 + 2, 1, 9);                  // format 0: 512-byte blocks
    put(&image, 132 + 2, 1, 12);                 // format 1: 4096-byte blocks
    if (const auto eui = report.field(QStringLiteral("Namespace 1 IEEE EUI-64"))) {
        QString digits = *eui;
        digits.remove(QLatin1Char(' '));
        const QByteArray bytes = QByteArray::fromHex(digits.toLatin1());
        if (bytes.size() == 8)
            image.replace(120, 8, bytes);
    }
    return image;
}

QByteArray healthLog(const ReportText& report, std::optional<int> temperature) {
    QByteArray image(kHealthSize, '\0');
    const auto warning = report.field(QStringLiteral("Critical Warning")).value_or(QString());
    put(&image, 0, 1, warning.mid(2).toUInt(nullptr, 16));
    put(&image, 1, 2, temperature ? unsigned(*temperature + kKelvin) : 0);
    put(&image, 3, 1, count(report, "Available Spare").value_or(0));
    put(&image, 4, 1, count(report, "Available Spare Threshold").value_or(0));
    put(&image, 5, 1, count(report, "Percentage Used").value_or(0));
    const std::pair<int, const char*> counters[] = {
        {32, "Data Units Read"},
        {48, "Data Units Written"},
        {64, "Host Read Commands"},
        {80, "Host Write Commands"},
        {96, "Controller Busy Time"},
        {112, "Power Cycles"},
        {128, "Power On Hours"},
        {144, "Unsafe Shutdowns"},
        {160, "Media and Data Integrity Errors"},
        {176, "Error Information Log Entries"},
    };
    for (const auto& [offset, key] : counters)
        put(&image, offset, 16, count(report, key).value_or(0));
    put(&image, 192, 4, count(report, "Warning  Comp. Temperature Time").value_or(0));
    put(&image, 196, 4, count(report, "Critical Comp. Temperature Time").value_or(0));
    for (int i = 1; i <= 8; ++i) {
        if (const auto t = celsius(report, QStringLiteral("Temperature Sensor %1").arg(i)))
            put(&image, 200 + 2 * (i - 1), 2, unsigned(*t + kKelvin));
    }
    for (int i = 1; i <= 2; ++i) {
        const QByteArray transitions =
            QStringLiteral("Thermal Temp. %1 Transition Count").arg(i).toLatin1();
        const QByteArray time = QStringLiteral("Thermal Temp. %1 Total Time").arg(i).toLatin1();
        put(&image, 216 + 4 * (i - 1), 4, count(report, transitions.constData()).value_or(0));
        put(&image, 224 + 4 * (i - 1), 4, count(report, time.constData()).value_or(0));
    }
    return image;
}

} // namespace

void importNvmeReport(const ReportText& report, ImportOutcome* outcome) {
    outcome->kind = ImportKind::Unreadable;
    ImportedDisk& disk = outcome->disk;
    disk.protocol = Protocol::Nvme;
    disk.model = report.field(QStringLiteral("Model Number")).value_or(QString());

    const auto lbaSize = count(report, "Namespace 1 Formatted LBA Size");
    if (!lbaSize || (*lbaSize != 512 && *lbaSize != 4096)) {
        outcome->problem = QStringLiteral("no namespace block size of 512 or 4096");
        return;
    }
    std::optional<std::uint64_t> size = count(report, "Namespace 1 Size/Capacity");
    std::optional<std::uint64_t> capacity = size;
    if (!size) {
        size = count(report, "Namespace 1 Size");
        capacity = count(report, "Namespace 1 Capacity");
    }
    if (!size || !capacity || *size % *lbaSize != 0 || *capacity % *lbaSize != 0) {
        outcome->problem = QStringLiteral("no namespace size in whole blocks");
        return;
    }
    const std::uint64_t used = count(report, "Namespace 1 Utilization").value_or(*size);
    if (!report.field(QStringLiteral("Critical Warning")) ||
        !report.field(QStringLiteral("Power On Hours"))) {
        outcome->problem = QStringLiteral("no health information");
        return;
    }

    DriveExpectations& expect = disk.expect;
    // "Temperature: -" is a log that holds 0 Kelvin.
    expect.temperature = celsius(report, QStringLiteral("Temperature"));
    expect.temperatureInSectors = expect.temperature;
    if (expect.temperature)
        expect.temperatureFrom = QStringLiteral("NVMe health");
    expect.powerOnHours = std::int64_t(count(report, "Power On Hours").value_or(0));
    expect.powerOnFrom = QStringLiteral("NVMe health");
    expect.verdict = overallVerdict(report);
    expect.capacityBytes = std::int64_t(*size);

    disk.capacityBytes = std::int64_t(*size);
    disk.logicalSectorSize = int(*lbaSize);
    disk.nvme.identifyController = identifyController(report);
    disk.nvme.identifyNamespace = identifyNamespace(*size / *lbaSize, *capacity / *lbaSize,
                                                    used / *lbaSize, int(*lbaSize), report);
    disk.nvme.health = healthLog(report, expect.temperature);
    outcome->kind = ImportKind::Disk;
}

} // namespace realworld
