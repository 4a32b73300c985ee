#include "DrivewatchOutput.h"

#include "DevicePath.h"
#include "DiskList.h"
#include "JsonWriter.h"
#include "NvmeRows.h"
#include "PanelText.h"
#include "PowerOnChoice.h"
#include "TerminalWidth.h"
#include "Translation.h"

#include <QJsonValue>

#include <cmath>

using namespace vorn::checker;

namespace vorn::drivewatch {

QString DiskDevicePath(const CDisk& disk) {
    using vorn::platform::DevicePath;
    return vorn::platform::DevicePathText(
        disk.m_bScsi ? DevicePath{DevicePath::ScsiAdapter, disk.m_nScsiPort}
                     : DevicePath{DevicePath::PhysicalDrive, disk.m_nDrive});
}

namespace {

// A reading below 1 (a sensor that reports 0) is shown as "-" in the window;
// the document says "unknown" for it too.
int KnownTemperature(int degrees) {
    return degrees < 1 ? -1 : degrees;
}

void WriteCelsiusOrNull(CJsonWriter* json, const char* key, int celsius) {
    json->Key(key);
    if (celsius == -1)
        json->Null();
    else
        json->Value(celsius);
}

} // namespace

QString DiskHeading(const CDisk& disk) {
    const QString heading = disk.m_bSleeping
                                ? Cm_Tr("DrivewatchOutput", "ディスク %1: %2 (スタンバイ中)")
                                : Cm_Tr("DrivewatchOutput", "ディスク %1: %2");
    return heading.arg(disk.m_nDrive).arg(disk.GetModelNumber());
}

QString DiskReportText(const CDisk& disk, const PanelTexts& panel) {
    QString text = DiskHeading(disk) + QLatin1Char('\n');

    int labelWidth = 0;
    for (PanelField field : kPanelFieldOrder)
        labelWidth = std::max(labelWidth, TerminalWidth(PanelLabel(field)));
    for (PanelField field : kPanelFieldOrder) {
        // A full-width colon carries its own space; an ASCII one needs one.
        const QString label = PanelLabel(field);
        const QString gap = label.endsWith(u'：') ? QString() : QStringLiteral(" ");
        text += QStringLiteral("  ") + PadToWidth(label, labelWidth, true) + gap + panel[field] +
                QLatin1Char('\n');
    }
    if (!panel.smartNote.isEmpty())
        text += QStringLiteral("  ") + panel.smartNote + QLatin1Char('\n');

    const QList<AttributeRow> rows = MakeAttributeRows(disk);
    std::array<int, kAttributeColumnCount> widths{};
    for (int c = 0; c < kAttributeColumnCount; ++c) {
        widths[c] = TerminalWidth(AttributeHeading(c));
        for (const AttributeRow& row : rows)
            widths[c] = std::max(widths[c], TerminalWidth(row.cells[c]));
    }
    const auto line = [&](const auto& cellOf) {
        QString out = QStringLiteral("  ");
        for (int c = 0; c < kAttributeColumnCount; ++c) {
            const bool right = AttributeColumns()[c].rightAligned;
            const bool last = c == kAttributeColumnCount - 1;
            out += last && !right ? cellOf(c) : PadToWidth(cellOf(c), widths[c], right);
            if (!last)
                out += QStringLiteral("  ");
        }
        return out + QLatin1Char('\n');
    };
    text += QLatin1Char('\n');
    text += line([](int c) { return AttributeHeading(c); });
    for (const AttributeRow& row : rows)
        text += line([&row](int c) { return row.cells[c]; });
    return text;
}

// Members in key order, the order of the document: the writer would put
// them there anyway, at a cost.
namespace {

void WriteLogsJson(CJsonWriter* json, const CDisk& disk) {
    const vorn::hdd::SelfTestProgress progress = disk.GetSelfTestProgress();
    json->Key("self_test").BeginObject();
    json->Key("status_code").Value(progress.statusCode);
    json->Key("remaining_percent").Value(progress.remainingPercent);
    json->Key("log").BeginArray();
    for (const vorn::hdd::SelfTestEntry& entry : disk.m_DriveLogs.selfTests) {
        json->BeginObject();
        json->Key("number").Value(entry.number);
        json->Key("type").Value(entry.type);
        json->Key("status").Value(entry.status);
        json->Key("status_code").Value(entry.statusCode);
        json->Key("remaining_percent").Value(entry.remainingPercent);
        json->Key("power_on_hours").Value(qint64(entry.powerOnHours));
        if (entry.firstErrorLba)
            json->Key("lba_of_first_error").Value(qint64(*entry.firstErrorLba));
        else
            json->Key("lba_of_first_error").Null();
        json->EndObject();
    }
    json->EndArray();
    json->EndObject();
    json->Key("error_log").BeginObject();
    json->Key("count").Value(qint64(disk.m_DriveLogs.errors.count));
    json->Key("entries").BeginArray();
    for (const vorn::hdd::ErrorLogEntry& entry : disk.m_DriveLogs.errors.entries) {
        json->BeginObject();
        json->Key("number").Value(entry.number);
        json->Key("power_on_hours").Value(qint64(entry.powerOnHours));
        json->Key("command").Value(int(entry.command));
        json->Key("feature").Value(int(entry.feature));
        json->Key("error").Value(int(entry.error));
        json->Key("status").Value(int(entry.status));
        json->Key("lba").Value(qint64(entry.lba));
        json->EndObject();
    }
    json->EndArray();
    json->EndObject();
    // An NVMe disk has no such log; its counters are in nvme_health.
    json->Key("statistics").BeginArray();
    for (const vorn::hdd::DeviceStatistic& statistic : disk.m_DeviceStatistics.values) {
        json->BeginObject(CJsonWriter::Members::InKeyOrder);
        json->Key("name").Value(QString::fromLatin1(statistic.name));
        json->Key("unit").Value(QString::fromLatin1(statistic.unit));
        json->Key("value").Value(qint64(statistic.value));
        json->EndObject();
    }
    json->EndArray();
}

// A count reads plainly as a number; the other units follow it.
QString StatisticUnitText(const char* unit) {
    static const struct {
        const char* unit;
        const char* text;
    } kUnits[] = {
        {"hours", QT_TRANSLATE_NOOP("DrivewatchLogs", "時間")},
        {"sectors", QT_TRANSLATE_NOOP("DrivewatchLogs", "セクター")},
        {"milliseconds", QT_TRANSLATE_NOOP("DrivewatchLogs", "ミリ秒")},
        {"celsius", "°C"},
        {"minutes", QT_TRANSLATE_NOOP("DrivewatchLogs", "分")},
    };
    for (const auto& known : kUnits) {
        if (qstrcmp(known.unit, unit) == 0)
            return QLatin1Char(' ') + Cm_Tr("DrivewatchLogs", known.text);
    }
    return QString();
}

// Nothing for an NVMe disk: the report shows its health log's counters.
QString StatisticsText(const CDisk& disk) {
    if (disk.IsNvme())
        return QString();
    const std::vector<vorn::hdd::DeviceStatistic>& values = disk.m_DeviceStatistics.values;
    QString text = Cm_Tr("DrivewatchLogs", "デバイス統計:") + QLatin1Char('\n');
    if (values.empty())
        return text + QStringLiteral("  ") + Cm_Tr("DrivewatchLogs", "(なし)") + QLatin1Char('\n');
    int labelWidth = 0;
    for (const vorn::hdd::DeviceStatistic& statistic : values)
        labelWidth =
            std::max(labelWidth, TerminalWidth(Cm_Tr("DeviceStatistics", statistic.label)));
    for (const vorn::hdd::DeviceStatistic& statistic : values)
        text += QStringLiteral("  ") +
                PadToWidth(Cm_Tr("DeviceStatistics", statistic.label), labelWidth, false) +
                QStringLiteral("  ") + QString::number(statistic.value) +
                StatisticUnitText(statistic.unit) + QLatin1Char('\n');
    return text;
}

} // namespace

QString DiskLogsText(const CDisk& disk) {
    QString text = Cm_Tr("DrivewatchOutput", "セルフテスト ログ:\n");
    if (disk.m_DriveLogs.selfTests.empty())
        text += Cm_Tr("DrivewatchOutput", "  (なし)\n");
    for (const vorn::hdd::SelfTestEntry& e : disk.m_DriveLogs.selfTests)
        text += Cm_Tr("DrivewatchOutput", "  #%1 %2 %3 残り %4% %5 時間 LBA %6\n")
                    .arg(e.number)
                    .arg(e.type, e.status)
                    .arg(e.remainingPercent)
                    .arg(e.powerOnHours)
                    .arg(e.firstErrorLba ? QString::number(*e.firstErrorLba) : QStringLiteral("-"));
    text += Cm_Tr("DrivewatchOutput", "エラー ログ: %1 件\n").arg(disk.m_DriveLogs.errors.count);
    for (const vorn::hdd::ErrorLogEntry& e : disk.m_DriveLogs.errors.entries)
        text += Cm_Tr("DrivewatchOutput", "  #%1 %2 時間 コマンド %3 LBA %4\n")
                    .arg(e.number)
                    .arg(e.powerOnHours)
                    .arg(QString::asprintf("%02Xh", e.command))
                    .arg(e.lba);
    return text + StatisticsText(disk);
}

void WriteDiskReportJson(CJsonWriter* json, const CDisk& disk, const PanelTexts& panel, bool logs) {
    json->BeginObject();
    if (logs)
        WriteLogsJson(json, disk);
    json->Key("ata_standard").Value(panel[PanelField::Standard]);
    json->Key("attributes").BeginArray();
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        json->BeginObject();
        json->Key("below_threshold").Value(record->BelowThreshold());
        json->Key("change").Value(record->m_nChange);
        json->Key("current").Value(record->m_nCurrent);
        json->Key("depleted").Value(record->CalcDepleted());
        json->Key("id").Value(static_cast<int>(record->m_byId));
        json->Key("importance").Value(static_cast<int>(record->m_byImportance));
        json->Key("init").Value(record->m_nInit);
        json->Key("name").Value(record->m_strName);
        json->Key("name_key").Value(record->m_strNameKey);
        json->Key("raw").Value(static_cast<qint64>(record->m_nRaw));
        json->Key("raw48").Value(static_cast<qint64>(record->m_nRaw48));
        json->Key("raw_text").Value(record->RawText());
        json->Key("threshold").Value(record->m_nThreshold);
        json->Key("worst").Value(record->m_nWorst);
        json->EndObject();
    }
    json->EndArray();
    const qint64 capacity = disk.SupportSMART() ? disk.GetDiskCapacity() : disk.Get48LBACapacity();
    json->Key("capacity_bytes").Value(capacity);
    json->Key("capacity_text").Value(panel[PanelField::Capacity]);
    WriteCelsiusOrNull(json, "critical_temperature_threshold", NvmeThresholds(disk).critical);
    json->Key("device").Value(DiskDevicePath(disk));
    json->Key("drive_letters").Value(disk.m_strDriveLetters);
    json->Key("failing_attributes").BeginArray();
    for (BYTE id : disk.GetFailingAttributes())
        json->Value(static_cast<int>(id));
    json->EndArray();
    json->Key("firmware").Value(disk.GetFirmwareRev());
    json->Key("index").Value(disk.m_nDrive);
    json->Key("interface").Value(panel[PanelField::Interface]);
    json->Key("logical_sector_size").Value(static_cast<qint64>(disk.GetLogicalSectorSize()));
    json->Key("manufacturer").Value(disk.GetManufacturer());
    json->Key("model").Value(disk.GetModelNumber());
    if (disk.IsNvme())
        json->Key("nvme_health").Value(QJsonValue(NvmeHealthJson(disk)));
    json->Key("power_cycles").Value(static_cast<qint64>(disk.GetPowerCycle()));
    json->Key("power_mode").Value(vorn::hdd::PowerModeName(disk.m_powerMode));
    const PowerOn powerOn = ChoosePowerOn(disk);
    json->Key("power_on_hours").Value(static_cast<qint64>(powerOn.hours));
    json->Key("power_on_raw").Value(disk.GetPowerOnHours());
    if (const char* source = PowerOnSourceName(powerOn.source))
        json->Key("power_on_source").Value(QString::fromLatin1(source));
    else
        json->Key("power_on_source").Null();
    json->Key("power_on_unit").Value(disk.m_nPohUnit);
    json->Key("protocol").Value(disk.IsNvme() ? QStringLiteral("NVMe") : QStringLiteral("ATA"));
    json->Key("scsi").Value(disk.m_bScsi != 0);
    json->Key("serial").Value(disk.GetSerialNumber());
    const bool smartAvailable = disk.EnableSMART() && disk.m_strSmartUnavailable.isEmpty();
    json->Key("smart_available").Value(smartAvailable);
    json->Key("smart_enabled").Value(disk.EnableSMART() != 0);
    json->Key("smart_supported").Value(disk.SupportSMART() != 0);
    if (smartAvailable)
        json->Key("smart_unavailable_reason").Null();
    else if (!disk.m_strSmartUnavailable.isEmpty())
        json->Key("smart_unavailable_reason").Value(disk.m_strSmartUnavailable);
    else if (disk.SupportSMART())
        json->Key("smart_unavailable_reason").Value(QStringLiteral("S.M.A.R.T. is off"));
    else
        json->Key("smart_unavailable_reason").Value(QStringLiteral("S.M.A.R.T. is not supported"));
    json->Key("status").Value(disk.GetStatus());
    json->Key("temperature").Value(KnownTemperature(disk.GetTemperature()));
    const QString source = disk.GetTemperatureSource();
    json->Key("temperature_source").Value(source.isEmpty() ? QJsonValue() : QJsonValue(source));
    json->Key("transfer_mode_active").Value(panel[PanelField::TransferActive]);
    json->Key("transfer_mode_supported").Value(panel[PanelField::TransferSupported]);
    if (disk.m_strUsbBridge.isEmpty())
        json->Key("usb_bridge").Null();
    else
        json->Key("usb_bridge").Value(disk.m_strUsbBridge);
    WriteCelsiusOrNull(json, "warning_temperature_threshold", NvmeThresholds(disk).warning);
    json->EndObject();
}

QByteArray DiskReportJson(const CDisk& disk, const PanelTexts& panel) {
    CJsonWriter json;
    WriteDiskReportJson(&json, disk, panel);
    return json.Take();
}

int DrivewatchExitCode(const CDiskList& disks, bool fileError) {
    for (const CDisk* disk : disks) {
        if (!disk->m_bUsb && disk->GetStatus() == 1)
            return kExitThresholdExceeded;
    }
    if (fileError)
        return kExitFileError;
    return disks.IsEmpty() ? kExitNoDisk : kExitGood;
}

} // namespace vorn::drivewatch
