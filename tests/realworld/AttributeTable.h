#pragma once

#include "RawValueEncoding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The attribute table of a smartctl report ("Vendor Specific SMART
// Attributes with Thresholds"), in either of the two column layouts smartctl
// prints, and the READ DATA and READ THRESHOLDS sectors it came from.
namespace realworld {

enum class WhenFailed { Never, Past, Now };

struct AttributeRow {
    int id = 0;
    QString name;
    unsigned flags = 0;
    int current = 0;
    int worst = 0;
    std::optional<int> threshold; // none when smartctl printed "---"
    WhenFailed whenFailed = WhenFailed::Never;
    QString rawText;
    EncodedRaw raw;
};

struct AttributeTable {
    int revision = 0;
    std::vector<AttributeRow> rows; // in sector order
};

// Nullopt with an empty error when the report has no table; nullopt with
// the error when a row does not read.
std::optional<AttributeTable> parseAttributeTable(const QStringList& lines, QString* error);

QByteArray smartDataSector(const AttributeTable& table);
QByteArray smartThresholdsSector(const AttributeTable& table);

} // namespace realworld
