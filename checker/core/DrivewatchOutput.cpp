#include "DrivewatchOutput.h"

#include "DiskList.h"
#include "NvmeRows.h"
#include "PanelText.h"
#include "TerminalWidth.h"

#include <QJsonArray>

#include <cmath>

QString DiskDevicePath(const CDisk& disk) {
    return disk.m_bScsi ? QStringLiteral("\\\\.\\Scsi%1:").arg(disk.m_nScsiPort)
                        : QStringLiteral("\\\\.\\PhysicalDrive%1").arg(disk.m_nDrive);
}

namespace {

// A reading below 1 (a sensor that reports 0) is shown as "-" in the window;
// the document says "unknown" for it too.
int KnownTemperature(int degrees) {
    return degrees < 1 ? -1 : degrees;
}

} // namespace

QString DiskHeading(const CDisk& disk) {
    QString heading =
        QStringLiteral("ディスク %1: %2").arg(disk.m_nDrive).arg(disk.GetModelNumber());
    if (disk.m_bSleeping)
        heading += QStringLiteral(" (スタンバイ中)");
    return heading;
}

QString DiskReportText(const CDisk& disk, const PanelTexts& panel) {
    QString text = DiskHeading(disk) + QLatin1Char('\n');

    int labelWidth = 0;
    for (PanelField field : kPanelFieldOrder)
        labelWidth = std::max(labelWidth, TerminalWidth(PanelLabel(field)));
    for (PanelField field : kPanelFieldOrder) {
        text += QStringLiteral("  ") + PadToWidth(PanelLabel(field), labelWidth, true) +
                panel[field] + QLatin1Char('\n');
    }

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

QJsonObject DiskReportJson(const CDisk& disk, const PanelTexts& panel) {
    QJsonArray attributes;
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        const double depleted = record->CalcDepleted();
        attributes.append(QJsonObject{
            {QStringLiteral("id"), record->m_byId},
            {QStringLiteral("name"), record->m_strName},
            {QStringLiteral("importance"), record->m_byImportance},
            {QStringLiteral("init"), record->m_nInit},
            {QStringLiteral("change"), record->m_nChange},
            {QStringLiteral("current"), record->m_nCurrent},
            {QStringLiteral("worst"), record->m_nWorst},
            {QStringLiteral("threshold"), record->m_nThreshold},
            {QStringLiteral("raw"), record->m_nRaw},
            {QStringLiteral("depleted"),
             std::isfinite(depleted) ? QJsonValue(depleted) : QJsonValue(QJsonValue::Null)},
        });
    }
    const qint64 capacity = disk.SupportSMART() ? disk.GetDiskCapacity() : disk.Get48LBACapacity();
    QJsonObject object{
        {QStringLiteral("index"), disk.m_nDrive},
        {QStringLiteral("protocol"),
         disk.IsNvme() ? QStringLiteral("NVMe") : QStringLiteral("ATA")},
        {QStringLiteral("device"), DiskDevicePath(disk)},
        {QStringLiteral("scsi"), disk.m_bScsi != 0},
        {QStringLiteral("model"), disk.GetModelNumber()},
        {QStringLiteral("manufacturer"), disk.GetManufacturer()},
        {QStringLiteral("firmware"), disk.GetFirmwareRev()},
        {QStringLiteral("serial"), disk.GetSerialNumber()},
        {QStringLiteral("capacity_bytes"), capacity},
        {QStringLiteral("capacity_text"), panel[PanelField::Capacity]},
        {QStringLiteral("drive_letters"), disk.m_strDriveLetters},
        {QStringLiteral("interface"), panel[PanelField::Interface]},
        {QStringLiteral("ata_standard"), panel[PanelField::Standard]},
        {QStringLiteral("transfer_mode_supported"), panel[PanelField::TransferSupported]},
        {QStringLiteral("transfer_mode_active"), panel[PanelField::TransferActive]},
        {QStringLiteral("smart_supported"), disk.SupportSMART() != 0},
        {QStringLiteral("smart_enabled"), disk.EnableSMART() != 0},
        {QStringLiteral("status"), disk.GetStatus()},
        {QStringLiteral("temperature"), KnownTemperature(disk.GetTemperature())},
        {QStringLiteral("power_on_raw"), disk.GetPowerOnHours()},
        {QStringLiteral("power_on_unit"), disk.m_nPohUnit},
        {QStringLiteral("power_cycles"), disk.GetPowerCycle()},
        {QStringLiteral("attributes"), attributes},
        {QStringLiteral("power_mode"), vorn::hdd::PowerModeName(disk.m_powerMode)},
    };
    if (disk.IsNvme())
        object.insert(QStringLiteral("nvme_health"), NvmeHealthJson(disk));
    return object;
}

int DrivewatchExitCode(const CDiskList& disks, bool fileError) {
    for (const CDisk* disk : disks) {
        if (disk->GetStatus() == 1)
            return kExitThresholdExceeded;
    }
    if (fileError)
        return kExitFileError;
    return disks.IsEmpty() ? kExitNoDisk : kExitGood;
}
