#include "NvmeDecoder.h"

#include "ByteOrder.h"
#include "Translation.h"

#include <QRegularExpression>

namespace vorn::nvme {

namespace {

constexpr std::size_t kSerialOffset = 4;
constexpr std::size_t kSerialLength = 20;
constexpr std::size_t kModelOffset = 24;
constexpr std::size_t kModelLength = 40;
constexpr std::size_t kFirmwareOffset = 64;
constexpr std::size_t kFirmwareLength = 8;
constexpr std::size_t kVersionOffset = 80;
constexpr std::size_t kWarningTempOffset = 266;
constexpr std::size_t kCriticalTempOffset = 268;
constexpr std::size_t kTotalCapacityOffset = 280;

constexpr std::size_t kNamespaceSizeOffset = 0;
constexpr std::size_t kFormatCountOffset = 25;
constexpr std::size_t kFormatInUseOffset = 26;
constexpr std::size_t kFormatsOffset = 128;

// The identify strings are ASCII padded with blanks; some controllers pad
// with NULs instead, and anything unprintable is no part of a name.
QString asciiField(const BYTE* image, std::size_t size, std::size_t offset, std::size_t length) {
    QString text;
    if (!image || offset > size || size - offset < length)
        return text;
    for (std::size_t i = offset; i < offset + length; ++i) {
        const BYTE c = image[i];
        if (c == 0)
            break;
        text += c >= 0x20 && c < 0x7F ? QLatin1Char(char(c)) : QLatin1Char('?');
    }
    return text.trimmed();
}

} // namespace

Uint128 readLeUint(const BYTE* image, std::size_t size, std::size_t offset, std::size_t length) {
    return vorn::le::readUnsigned<Uint128>(image, size, offset, length);
}

ControllerIdentity decodeIdentifyController(const BYTE* image, std::size_t size) {
    ControllerIdentity identity;
    identity.serial = asciiField(image, size, kSerialOffset, kSerialLength);
    identity.model = asciiField(image, size, kModelOffset, kModelLength);
    identity.firmware = asciiField(image, size, kFirmwareOffset, kFirmwareLength);
    identity.version = static_cast<DWORD>(readLeUint(image, size, kVersionOffset, 4));
    identity.warningTemperatureK =
        static_cast<WORD>(readLeUint(image, size, kWarningTempOffset, 2));
    identity.criticalTemperatureK =
        static_cast<WORD>(readLeUint(image, size, kCriticalTempOffset, 2));
    identity.totalCapacity = readLeUint(image, size, kTotalCapacityOffset, 16);
    return identity;
}

QString versionText(DWORD version) {
    if (version == 0)
        return QStringLiteral("-");
    QString text = QStringLiteral("NVMe %1.%2").arg(version >> 16).arg((version >> 8) & 0xFF);
    if (version & 0xFF)
        text += QStringLiteral(".%1").arg(version & 0xFF);
    return text;
}

long long namespaceBlockSize(const BYTE* image, std::size_t size) {
    const Uint128 blocks = readLeUint(image, size, kNamespaceSizeOffset, 8);
    if (blocks == 0)
        return 0;
    const Uint128 bytes = namespaceCapacity(image, size);
    return static_cast<long long>(bytes / blocks);
}

Uint128 namespaceCapacity(const BYTE* image, std::size_t size) {
    const Uint128 blocks = readLeUint(image, size, kNamespaceSizeOffset, 8);
    const auto formats = static_cast<unsigned>(readLeUint(image, size, kFormatCountOffset, 1)) + 1;
    const auto flbas = static_cast<unsigned>(readLeUint(image, size, kFormatInUseOffset, 1));
    // Bits 0-3 pick the format; bits 5-6 extend the index past 16 formats.
    const unsigned format = (flbas & 0x0F) | ((flbas & 0x60) >> 1);
    if (format >= formats || format >= 64)
        return 0;
    const auto dataShift = static_cast<unsigned>(
        readLeUint(image, size, kFormatsOffset + 4 * std::size_t(format) + 2, 1));
    // A block is at least 512 bytes; a smaller power means the format is not
    // in use, and beyond 2^31 no controller goes.
    if (dataShift < 9 || dataShift > 31)
        return 0;
    return blocks << dataShift;
}

const std::vector<HealthField>& healthFields() {
    static const std::vector<HealthField> fields = {
        {0, 1, "critical_warning", QT_TRANSLATE_NOOP("NvmeHealth", "クリティカル警告"),
         FieldKind::Bits},
        {1, 2, "temperature", QT_TRANSLATE_NOOP("NvmeHealth", "温度"), FieldKind::Kelvin},
        {3, 1, "available_spare", QT_TRANSLATE_NOOP("NvmeHealth", "予備領域の残り"),
         FieldKind::Percent},
        {4, 1, "available_spare_threshold", QT_TRANSLATE_NOOP("NvmeHealth", "予備領域のしきい値"),
         FieldKind::Percent},
        {5, 1, "percentage_used", QT_TRANSLATE_NOOP("NvmeHealth", "使用率（寿命の推定）"),
         FieldKind::Percent},
        {32, 16, "data_units_read", QT_TRANSLATE_NOOP("NvmeHealth", "読み込み量"),
         FieldKind::DataUnits},
        {48, 16, "data_units_written", QT_TRANSLATE_NOOP("NvmeHealth", "書き込み量"),
         FieldKind::DataUnits},
        {64, 16, "host_reads", QT_TRANSLATE_NOOP("NvmeHealth", "ホスト読み込みコマンド数"),
         FieldKind::Count},
        {80, 16, "host_writes", QT_TRANSLATE_NOOP("NvmeHealth", "ホスト書き込みコマンド数"),
         FieldKind::Count},
        {96, 16, "controller_busy_time",
         QT_TRANSLATE_NOOP("NvmeHealth", "コントローラ稼働時間（分）"), FieldKind::Minutes},
        {112, 16, "power_cycles", QT_TRANSLATE_NOOP("NvmeHealth", "電源投入回数"),
         FieldKind::Count},
        {128, 16, "power_on_hours", QT_TRANSLATE_NOOP("NvmeHealth", "使用時間"), FieldKind::Hours},
        {144, 16, "unsafe_shutdowns", QT_TRANSLATE_NOOP("NvmeHealth", "安全でない電源断の回数"),
         FieldKind::Count},
        {160, 16, "media_errors", QT_TRANSLATE_NOOP("NvmeHealth", "メディアとデータ保全のエラー"),
         FieldKind::Count},
        {176, 16, "num_err_log_entries", QT_TRANSLATE_NOOP("NvmeHealth", "エラーログの件数"),
         FieldKind::Count},
        {192, 4, "warning_temp_time", QT_TRANSLATE_NOOP("NvmeHealth", "警告温度を超えた時間（分）"),
         FieldKind::Minutes},
        {196, 4, "critical_comp_time",
         QT_TRANSLATE_NOOP("NvmeHealth", "危険温度を超えた時間（分）"), FieldKind::Minutes},
        {216, 4, "thermal_transitions_1", QT_TRANSLATE_NOOP("NvmeHealth", "温度管理1への移行回数"),
         FieldKind::Count},
        {220, 4, "thermal_transitions_2", QT_TRANSLATE_NOOP("NvmeHealth", "温度管理2への移行回数"),
         FieldKind::Count},
        {224, 4, "thermal_time_1_seconds",
         QT_TRANSLATE_NOOP("NvmeHealth", "温度管理1の合計時間（秒）"), FieldKind::Seconds},
        {228, 4, "thermal_time_2_seconds",
         QT_TRANSLATE_NOOP("NvmeHealth", "温度管理2の合計時間（秒）"), FieldKind::Seconds},
    };
    return fields;
}

QString healthFieldName(const HealthField& field) {
    return Cm_Tr("NvmeHealth", field.name);
}

int celsiusOf(unsigned kelvin) {
    return kelvin == 0 ? -1 : static_cast<int>(kelvin) - 273;
}

int healthVerdict(const BYTE* log, std::size_t size) {
    if (readLeUint(log, size, health::kCriticalWarning, 1) != 0)
        return kVerdictCritical;
    const Uint128 spare = readLeUint(log, size, health::kAvailableSpare, 1);
    const Uint128 threshold = readLeUint(log, size, health::kSpareThreshold, 1);
    if (spare < threshold || readLeUint(log, size, health::kPercentageUsed, 1) >= 100 ||
        readLeUint(log, size, health::kMediaErrors, 16) > 0)
        return kVerdictCaution;
    return kVerdictGood;
}

QString decimalText(Uint128 value) {
    QString digits;
    do {
        digits.prepend(QLatin1Char(char('0' + int(value % 10))));
        value /= 10;
    } while (value != 0);
    return digits;
}

QString pcieLinkText(const QString& speed, const QString& width) {
    static const QRegularExpression rate(QStringLiteral("^(\\d+(?:\\.\\d+)?)\\s*GT/s"));
    const QRegularExpressionMatch match = rate.match(speed);
    if (!match.hasMatch())
        return QStringLiteral("-");
    // Each generation names its transfer rate; the generation is what the
    // user knows the link by.
    static const struct {
        double rate;
        const char* generation;
    } generations[] = {{2.5, "1.0"}, {5, "2.0"}, {8, "3.0"}, {16, "4.0"}, {32, "5.0"}, {64, "6.0"}};
    const double gts = match.captured(1).toDouble();
    QString text;
    for (const auto& g : generations) {
        if (qFuzzyCompare(g.rate, gts))
            text = QStringLiteral("PCIe %1").arg(QLatin1String(g.generation));
    }
    if (text.isEmpty())
        text = QStringLiteral("PCIe %1 GT/s").arg(match.captured(1));
    const int lanes = width.toInt();
    if (lanes > 0)
        text += QStringLiteral(" x%1").arg(lanes);
    return text;
}

} // namespace vorn::nvme
