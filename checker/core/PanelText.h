#pragma once

#include "WinTypes.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

class CHddSmartDisp;

namespace vorn::checker {

class CDisk;

// What the information panel and the attribute list show for a disk. The
// window and the command-line tool both take their texts from here, one
// formatter per fact.

// --- One formatter per fact -------------------------------------------------

QString FormatTemperature(int degrees);      // "45℃"; "-" below 1
QString FormatPowerCycles(long long count);  // "12,345 回"; "-" for -1
QString FormatSmartState(const CDisk& disk); // "有効", "無効"; "-" without support
// "正常", "異常", "注意" (an NVMe disk's caution), "不明"; "-" without support
QString FormatStatus(const CDisk& disk);
QString FormatCapacity(const CDisk& disk);
QString FormatAttributeId(BYTE id); // "%02X"
QString FormatRaw(int raw);         // "%08X %d"
// The list's raw cell: the raw bytes in hexadecimal (bytes 0-3, all six
// when the upper two are in use), then the value as the drive's format
// prints it, else the unsigned decimal.
QString FormatRawCell(const CHddSmartDisp& record);
// The attributes at or below their thresholds, each as "05 再配置セクタ数",
// joined by "、"; empty when none fails.
QString FormatFailingAttributes(const CDisk& disk);
// The status field's tip: the failing attributes named after
// "しきい値以下の属性: "; empty when none fails.
QString FormatStatusTip(const CDisk& disk);

// The depletion cell is FormatDepletion of AttributeDetail.h, the same text
// as the detail dialog shows.

// --- The power-on time box ---------------------------------------------------

// The three inputs of the power-on time box: hours (-1 unknown), and while
// the unit is being measured the progress total and elapsed seconds.
struct PowerOnInputs {
    int hours = -1;
    int total = 0;
    int elapsed = 0;

    bool operator==(const PowerOnInputs& other) const {
        return hours == other.hours && total == other.total && elapsed == other.elapsed;
    }
};

PowerOnInputs PowerOnBoxInputs(const CDisk& disk, bool support, int pohWindow, std::int64_t now);

// What the box reads: "判別中" while measuring, "1,234 時間", or "-".
QString FormatPowerOn(const PowerOnInputs& inputs);
// Its tooltip: "51 日 10 時間" from 24 hours on, else the box's text.
QString FormatPowerOnTip(const PowerOnInputs& inputs);

// --- The information panel ---------------------------------------------------

enum class PanelField {
    Temperature,       // 1000
    PowerOn,           // 1001
    PowerCycles,       // 1002
    Model,             // 1003
    Firmware,          // 1004
    Serial,            // 1005
    Capacity,          // 1006
    DriveLetters,      // 1007
    Interface,         // 1008
    Standard,          // 1009
    TransferSupported, // 1010
    TransferActive,    // 1013
    Smart,             // 1011
    Status,            // 1012
};
inline constexpr int kPanelFieldCount = 14;

// In the order the fields are read on screen, top to bottom, left to right
// column by column.
inline constexpr std::array<PanelField, kPanelFieldCount> kPanelFieldOrder = {
    PanelField::Temperature,
    PanelField::PowerOn,
    PanelField::PowerCycles,
    PanelField::Model,
    PanelField::Firmware,
    PanelField::Serial,
    PanelField::Capacity,
    PanelField::DriveLetters,
    PanelField::Interface,
    PanelField::Standard,
    PanelField::TransferSupported,
    PanelField::TransferActive,
    PanelField::Smart,
    PanelField::Status,
};

QString PanelLabel(PanelField field); // "モデル名：", ... in the interface language
int PanelControlId(PanelField field);

struct PanelTexts {
    std::array<QString, kPanelFieldCount> text; // indexed by PanelField
    PowerOnInputs powerOn;
    // FormatStatusTip, or for a USB disk without S.M.A.R.T. the smart note.
    QString statusTip;
    QString smartNote;        // why a USB disk's S.M.A.R.T. was not read; empty otherwise
    bool starEnabled = false; // the button that restarts the measurement

    const QString& operator[](PanelField field) const { return text[static_cast<int>(field)]; }
    QString& operator[](PanelField field) { return text[static_cast<int>(field)]; }
};

// Every field of the panel for a disk; "-" everywhere for no disk. now is
// seconds since 1970 UTC, for the progress of a running measurement.
PanelTexts MakePanelTexts(const CDisk* disk, int pohWindow, std::int64_t now);

// --- The attribute list ------------------------------------------------------

// The columns in the order the list shows them: the window's list, the
// drivewatch text and every row's cells index by these.
enum AttributeColumnIndex : int {
    kColumnId,
    kColumnName,
    kColumnInit,
    kColumnCurrent,
    kColumnThreshold,
    kColumnWorst,
    kColumnDepleted,
    kColumnRaw,
    kAttributeColumnCount
};

struct AttributeColumn {
    const char* heading; // the Japanese source; AttributeHeading gives the shown text
    int width;           // pixels
    bool rightAligned;
};
const std::array<AttributeColumn, kAttributeColumnCount>& AttributeColumns();
QString AttributeHeading(int column);

struct AttributeRow {
    std::array<QString, kAttributeColumnCount> cells;
    const CHddSmartDisp* record = nullptr; // owned by the disk
    BYTE importance = 0;
    double depleted = 0;
    // The current value is at or below its threshold: the row that made
    // the disk fail, shown apart from the others.
    bool belowThreshold = false;
};

// One row per display record, in list order, without the internal
// temperature (194, and 231 where it is a temperature on this drive), which
// has its own box; for an NVMe disk one row per health log field
// (NvmeRows.h).
QList<AttributeRow> MakeAttributeRows(const CDisk& disk);
// The row of one record, whatever its id.
AttributeRow MakeAttributeRow(const CHddSmartDisp& record);

} // namespace vorn::checker
