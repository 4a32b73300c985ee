#pragma once

#include "PanelText.h"

#include <QJsonObject>
#include <QList>
#include <QString>

class CHdd;

namespace vorn::checker {

// What the attribute list and drivewatch show of an NVMe disk's health log:
// the fields in log order, each with its Japanese name, its value as the
// panel words it, a threshold where the field has one and its raw number.

// The rows of the list: ID is the field's byte offset in the log ("%02X"),
// the initial and worst columns are "-", the wear column is filled from
// percentage used alone. The implemented temperature sensors follow the
// fields. A disk without a health log has no rows.
QList<AttributeRow> MakeNvmeHealthRows(const CHdd& disk);

// Every field under its usual English name; temperatures in degrees
// Celsius (null for no reading), the rest as the log counts them. Counters
// beyond 2^63 - 1 are written as decimal text, since JSON readers lose
// digits of larger numbers.
QJsonObject NvmeHealthJson(const CHdd& disk);

// The composite temperature thresholds of Identify Controller (WCTEMP,
// CCTEMP) in degrees Celsius; -1 where the controller reports none, and for
// an ATA disk.
struct NvmeTemperatureThresholds {
    int warning = -1;
    int critical = -1;
};
NvmeTemperatureThresholds NvmeThresholds(const CHdd& disk);

// "12,345" for any 128-bit count.
QString GroupedDecimal(const QString& digits);

} // namespace vorn::checker
