#include "PanelText.h"

#include "AttributeDetail.h"
#include "AttributeIds.h"
#include "CheckerDisk.h"
#include "NumberFormat.h"
#include "NvmeRows.h"
#include "PohUnit.h"
#include "PowerOnChoice.h"
#include "Translation.h"

#include <algorithm>
#include <climits>

#include <QStringList>

namespace vorn::checker {

namespace {

const QString kNone = QStringLiteral("-");

} // namespace

QString FormatTemperature(int degrees) {
    return degrees < 1 ? kNone : QStringLiteral("%1℃").arg(degrees);
}

QString FormatPowerCycles(long long count) {
    return count == -1 ? kNone : Cm_Tr("PanelText", "%1 回").arg(Cm_AddCommaInt(count));
}

QString FormatSmartState(const CDisk& disk) {
    if (!disk.SupportSMART())
        return kNone;
    return disk.EnableSMART() ? Cm_Tr("PanelText", "有効") : Cm_Tr("PanelText", "無効");
}

QString FormatStatus(const CDisk& disk) {
    if (!disk.SupportSMART())
        return kNone;
    switch (disk.GetStatus()) {
    case 0:
        return Cm_Tr("PanelText", "正常");
    case 1:
        return Cm_Tr("PanelText", "異常");
    case 2:
        return Cm_Tr("PanelText", "注意");
    default:
        return Cm_Tr("PanelText", "不明");
    }
}

QString FormatCapacity(const CDisk& disk) {
    return Cm_DispByteSize(disk.SupportSMART() ? disk.GetDiskCapacity() : disk.Get48LBACapacity());
}

QString FormatAttributeId(BYTE id) {
    return QString::asprintf("%02X", id);
}

QString FormatRaw(int raw) {
    return QString::asprintf("%08X %d", static_cast<unsigned>(raw), raw);
}

QString FormatRawCell(const CHddSmartDisp& record) {
    const QString hex =
        (record.m_nRaw48 >> 32) != 0
            ? QString::asprintf("%012llX", static_cast<unsigned long long>(record.m_nRaw48))
            : QString::asprintf("%08X", static_cast<unsigned>(record.m_nRaw));
    return hex + QLatin1Char(' ') + record.RawText();
}

QString FormatFailingAttributes(const CDisk& disk) {
    QStringList names;
    // By position, as the verdict counts them: a repeated ID fails per entry.
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        if (record->BelowThreshold())
            names << FormatAttributeId(record->m_byId) + QLatin1Char(' ') + record->m_strName;
    }
    return names.join(Cm_Tr("PanelText", "、", "between attribute names"));
}

QString FormatStatusTip(const CDisk& disk) {
    if (disk.IsNvme())
        return QString();
    const QString failing = FormatFailingAttributes(disk);
    return failing.isEmpty() ? QString()
                             : Cm_Tr("PanelText", "しきい値以下の属性: %1").arg(failing);
}

PowerOnInputs PowerOnBoxInputs(const CDisk& disk, bool support, int pohWindow, std::int64_t now) {
    if (!support || !disk.EnableSMART())
        return {};
    const PowerOn choice = ChoosePowerOn(disk);
    const int hours = static_cast<int>(std::min<std::int64_t>(choice.hours, INT_MAX));
    // The health log, the drive's own statistics and the drive knowledge
    // leave no unit to find out; otherwise the box waits for the measurement.
    const bool known = disk.IsNvme() || choice.source == PowerOnSource::DeviceStatistics ||
                       choice.source == PowerOnSource::Attribute9;
    if (!known && disk.m_nPohUnit == -1) {
        const std::int64_t elapsed = disk.m_timePohStart == 0 ? 0 : now - disk.m_timePohStart;
        return {-1, pohWindow, static_cast<int>(elapsed)};
    }
    return {hours, 0, 0};
}

QString FormatPowerOn(const PowerOnInputs& inputs) {
    if (inputs.total != inputs.elapsed)
        return Cm_Tr("PanelText", "判別中");
    if (inputs.hours == -1)
        return kNone;
    return Cm_Tr("PanelText", "%1 時間").arg(Cm_AddCommaInt(inputs.hours));
}

QString FormatPowerOnTip(const PowerOnInputs& inputs) {
    if (inputs.total == inputs.elapsed && inputs.hours >= 24)
        return Cm_Tr("PanelText", "%1 日 %2 時間")
            .arg(Cm_AddCommaInt(inputs.hours / 24), Cm_AddCommaInt(inputs.hours % 24));
    return FormatPowerOn(inputs);
}

QString PanelLabel(PanelField field) {
    switch (field) {
    case PanelField::Temperature:
        return Cm_Tr("PanelText", "HDD温度：");
    case PanelField::PowerOn:
        return Cm_Tr("PanelText", "使用時間：");
    case PanelField::PowerCycles:
        return Cm_Tr("PanelText", "電源投入回数：");
    case PanelField::Model:
        return Cm_Tr("PanelText", "モデル名：");
    case PanelField::Firmware:
        return Cm_Tr("PanelText", "ファームウェア：");
    case PanelField::Serial:
        return Cm_Tr("PanelText", "シリアル番号：");
    case PanelField::Capacity:
        return Cm_Tr("PanelText", "HDD全容量：");
    case PanelField::DriveLetters:
        return Cm_Tr("PanelText", "ドライブ名：");
    case PanelField::Interface:
        return Cm_Tr("PanelText", "インターフェイス：");
    case PanelField::Standard:
        return Cm_Tr("PanelText", "対応規格：");
    case PanelField::TransferSupported:
        return Cm_Tr("PanelText", "対応転送モード：");
    case PanelField::TransferActive:
        return Cm_Tr("PanelText", "実効転送モード：");
    case PanelField::Smart:
        return Cm_Tr("PanelText", "S.M.A.R.T..：");
    case PanelField::Status:
        return Cm_Tr("PanelText", "HDD状態：");
    }
    return QString();
}

int PanelControlId(PanelField field) {
    switch (field) {
    case PanelField::TransferActive:
        return 1013;
    case PanelField::Smart:
        return 1011;
    case PanelField::Status:
        return 1012;
    default:
        return 1000 + static_cast<int>(field);
    }
}

PanelTexts MakePanelTexts(const CDisk* disk, int pohWindow, std::int64_t now) {
    PanelTexts panel;
    panel.text.fill(kNone);
    if (!disk)
        return panel;
    panel[PanelField::Model] = disk->GetModelNumber();
    panel[PanelField::Firmware] = disk->GetFirmwareRev();
    panel[PanelField::Serial] = disk->GetSerialNumber();
    panel[PanelField::Capacity] = FormatCapacity(*disk);
    panel[PanelField::DriveLetters] = disk->m_strDriveLetters;

    const bool support = disk->SupportSMART();
    if (support || !disk->GetSerialNumber().isEmpty()) {
        panel[PanelField::Temperature] = FormatTemperature(disk->GetTemperature());
        panel.powerOn = PowerOnBoxInputs(*disk, support, pohWindow, now);
        panel[PanelField::PowerCycles] = FormatPowerCycles(disk->GetPowerCycle());
    }
    panel[PanelField::PowerOn] = FormatPowerOn(panel.powerOn);
    panel[PanelField::Smart] = FormatSmartState(*disk);
    panel[PanelField::Status] = FormatStatus(*disk);
    if (support)
        panel.statusTip = FormatStatusTip(*disk);
    panel.smartNote = vorn::diskpass::UsbSmartLine(*disk);
    if (panel.statusTip.isEmpty())
        panel.statusTip = panel.smartNote;
    panel.starEnabled = support && disk->EnableSMART() && !disk->IsNvme();

    panel[PanelField::Interface] = disk->m_bUsb ? QStringLiteral("USB") : disk->GetInterface();
    panel[PanelField::Standard] = disk->GetMajorVersion();
    panel[PanelField::TransferSupported] = disk->GetTransferMode(0);
    panel[PanelField::TransferActive] = disk->GetTransferMode(1);
    return panel;
}

const std::array<AttributeColumn, kAttributeColumnCount>& AttributeColumns() {
    static const std::array<AttributeColumn, kAttributeColumnCount> columns = [] {
        std::array<AttributeColumn, kAttributeColumnCount> c{};
        c[kColumnId] = {"ID", 30, false};
        c[kColumnName] = {QT_TRANSLATE_NOOP("PanelText", "属性名"), 200, false};
        c[kColumnInit] = {QT_TRANSLATE_NOOP("PanelText", "初期値"), 52, true};
        c[kColumnCurrent] = {QT_TRANSLATE_NOOP("PanelText", "現在値"), 52, true};
        c[kColumnThreshold] = {QT_TRANSLATE_NOOP("PanelText", "しきい値"), 60, true};
        c[kColumnWorst] = {QT_TRANSLATE_NOOP("PanelText", "最悪値"), 52, true};
        c[kColumnDepleted] = {QT_TRANSLATE_NOOP("PanelText", "劣化％"), 140, true};
        c[kColumnRaw] = {QT_TRANSLATE_NOOP("PanelText", "その他"), 120, false};
        return c;
    }();
    return columns;
}

QString AttributeHeading(int column) {
    if (column < 0 || column >= kAttributeColumnCount)
        return QString();
    return Cm_Tr("PanelText", AttributeColumns()[static_cast<std::size_t>(column)].heading);
}

AttributeRow MakeAttributeRow(const CHddSmartDisp& record) {
    AttributeRow row;
    row.record = &record;
    row.importance = record.m_byImportance;
    row.depleted = record.CalcDepleted();
    row.belowThreshold = record.BelowThreshold();
    row.cells[kColumnId] = FormatAttributeId(record.m_byId);
    row.cells[kColumnName] = record.m_strName;
    row.cells[kColumnInit] = QString::number(record.m_nInit);
    row.cells[kColumnCurrent] = QString::number(record.m_nCurrent);
    row.cells[kColumnThreshold] = QString::number(record.m_nThreshold);
    row.cells[kColumnWorst] = QString::number(record.m_nWorst);
    row.cells[kColumnDepleted] = FormatDepletion(row.depleted);
    row.cells[kColumnRaw] = FormatRawCell(record);
    return row;
}

QList<AttributeRow> MakeAttributeRows(const CDisk& disk) {
    if (disk.IsNvme())
        return MakeNvmeHealthRows(disk);
    QList<AttributeRow> rows;
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        const bool inBox =
            record->m_bTemperature && vorn::smart::isTemperatureAttribute(record->m_byId);
        if (!inBox)
            rows.append(MakeAttributeRow(*record));
    }
    return rows;
}

} // namespace vorn::checker
