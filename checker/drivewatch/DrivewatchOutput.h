#pragma once

#include <QByteArray>
#include <QString>

namespace vorn::checker {
class CDisk;
class CDiskList;
struct PanelTexts;
} // namespace vorn::checker

namespace vorn::drivewatch {

class CJsonWriter;

// What drivewatch prints for the disks of a run.

// "\\.\PhysicalDrive0" or "\\.\Scsi1:": the path the disk was opened by.
QString DiskDevicePath(const checker::CDisk& disk);

// "ディスク 0: <model>", with " (スタンバイ中)" for a disk left asleep.
QString DiskHeading(const checker::CDisk& disk);

// The heading, every panel field with its window label, then the attribute
// list with the window's headings, aligned in terminal columns.
QString DiskReportText(const checker::CDisk& disk, const checker::PanelTexts& panel);

// One disk of the JSON document; attributes include 194 and 231. "protocol"
// is "ATA" or "NVMe"; an NVMe disk adds "nvme_health" (NvmeRows.h), its
// attributes are empty and its status 2 means caution.
// With logs, also "self_test" and "error_log" from the disk's m_DriveLogs
// and its execution status, and "statistics", the Device Statistics the scan
// read, as {name, unit, value} in the log's order.
void WriteDiskReportJson(CJsonWriter* json, const checker::CDisk& disk,
                         const checker::PanelTexts& panel, bool logs = false);
// The same logs as text lines for the text report.
QString DiskLogsText(const checker::CDisk& disk);
// The same disk as a document of its own.
QByteArray DiskReportJson(const checker::CDisk& disk, const checker::PanelTexts& panel);

// 3 when some disk reports a threshold exceeded (or an NVMe critical warning), else 4 when some
// file could not be read or written as asked (fileError), else 2 when there is no disk, else 0
// (every verdict good or unknown). A failing disk outranks a file error, so a cron job that watches
// for 3 never misses one.
int DrivewatchExitCode(const checker::CDiskList& disks, bool fileError = false);

// Exit codes.
inline constexpr int kExitGood = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitNoDisk = 2;
inline constexpr int kExitThresholdExceeded = 3;
inline constexpr int kExitFileError = 5;
inline constexpr int kExitWorse = 4; // --changes found something new that got worse

} // namespace vorn::drivewatch
