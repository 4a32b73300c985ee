#include "DrivePresets.h"

#include <QList>

namespace vorn::hdd {

namespace {

struct FormatName {
    const char* name;
    RawFormat format;
};

constexpr FormatName kFormats[] = {
    {"raw8", RawFormat::Raw8},
    {"raw16", RawFormat::Raw16},
    {"raw48", RawFormat::Raw48},
    {"hex48", RawFormat::Hex48},
    {"raw56", RawFormat::Raw56},
    {"hex56", RawFormat::Hex56},
    {"raw64", RawFormat::Raw64},
    {"hex64", RawFormat::Hex64},
    {"raw16(raw16)", RawFormat::Raw16Raw16},
    {"raw16(avg16)", RawFormat::Raw16Avg16},
    {"raw24(raw8)", RawFormat::Raw24Raw8},
    {"raw24/raw24", RawFormat::Raw24Raw24},
    {"raw24/raw32", RawFormat::Raw24Raw32},
    {"sec2hour", RawFormat::Sec2Hour},
    {"min2hour", RawFormat::Min2Hour},
    {"halfmin2hour", RawFormat::Halfmin2Hour},
    {"msec24hour32", RawFormat::Msec24Hour32},
    {"tempminmax", RawFormat::TempMinMax},
    {"temp10x", RawFormat::Temp10x},
};

// The older "-v ID,WORD" settings, each standing for a format and a name.
struct LegacySetting {
    int id;
    const char* word;
    RawFormat format;
    const char* name;
};

constexpr LegacySetting kLegacy[] = {
    {9, "minutes", RawFormat::Min2Hour, "Power_On_Minutes"},
    {9, "seconds", RawFormat::Sec2Hour, "Power_On_Seconds"},
    {9, "halfminutes", RawFormat::Halfmin2Hour, "Power_On_Half_Minutes"},
    {9, "temp", RawFormat::TempMinMax, "Temperature_Celsius"},
    {192, "emergencyretractcyclect", RawFormat::Raw48, "Emerg_Retract_Cycle_Ct"},
    {193, "loadunload", RawFormat::Raw24Raw24, ""},
    {194, "10xCelsius", RawFormat::Temp10x, "Temperature_Celsius_x10"},
    {194, "unknown", RawFormat::Raw48, "Unknown_Attribute"},
    {197, "increasing", RawFormat::Raw48, "Total_Pending_Sectors"},
    {198, "increasing", RawFormat::Raw48, "Total_Offl_Uncorrectabl"},
    {198, "offlinescanuncsectorct", RawFormat::Raw48, "Offline_Scan_UNC_SectCt"},
    {200, "writeerrorcount", RawFormat::Raw48, "Write_Error_Count"},
    {201, "detectedtacount", RawFormat::Raw48, "Detected_TA_Count"},
    {220, "temp", RawFormat::TempMinMax, "Temperature_Celsius"},
};

constexpr const char* kQuirks[] = {"none",     "nologdir",  "samsung", "samsung2",
                                   "samsung3", "xerrorlba", "swapid"};

int byteOrderWidth(RawFormat format) {
    switch (format) {
    case RawFormat::Raw56:
    case RawFormat::Hex56:
    case RawFormat::Raw24Raw32:
    case RawFormat::Msec24Hour32:
        return 7;
    case RawFormat::Raw64:
    case RawFormat::Hex64:
        return 8;
    default:
        return 6;
    }
}

bool validByteOrder(const QByteArray& order) {
    if (order.isEmpty() || order.size() > 8)
        return false;
    for (char c : order) {
        if (!((c >= '0' && c <= '5') || c == 'r' || c == 'v' || c == 'w' || c == 'z'))
            return false;
    }
    return true;
}

bool parseId(const QByteArray& word, int* id) {
    bool ok = false;
    *id = word.toInt(&ok);
    return ok && *id >= 1 && *id <= 255;
}

// "ID,FORMAT[:BYTEORDER][,NAME[,HDD|SSD]]" or a legacy "ID,WORD".
bool parseAttributeSetting(const QByteArray& argument, AttributePreset* preset, QString* error) {
    const QList<QByteArray> fields = argument.split(',');
    if (fields.size() < 2 || fields.size() > 4 || !parseId(fields[0], &preset->id)) {
        *error = QStringLiteral("bad -v setting \"%1\"").arg(QString::fromLatin1(argument));
        return false;
    }
    if (fields.size() == 2) {
        for (const LegacySetting& legacy : kLegacy) {
            if (legacy.id == preset->id && fields[1] == legacy.word) {
                preset->format = legacy.format;
                preset->name = QString::fromLatin1(legacy.name);
                return true;
            }
        }
    }
    QByteArray format = fields[1];
    const qsizetype colon = format.indexOf(':');
    if (colon >= 0) {
        preset->byteOrder = format.mid(colon + 1);
        format.truncate(colon);
    }
    const auto known = rawFormatFromName(format);
    if (!known || (colon >= 0 && !validByteOrder(preset->byteOrder))) {
        *error = QStringLiteral("unknown format in -v \"%1\"").arg(QString::fromLatin1(argument));
        return false;
    }
    preset->format = *known;
    if (fields.size() >= 3)
        preset->name = QString::fromLatin1(fields[2]);
    if (fields.size() == 4) {
        if (fields[3] == "HDD")
            preset->medium = PresetMedium::Hdd;
        else if (fields[3] == "SSD")
            preset->medium = PresetMedium::Ssd;
        else {
            *error =
                QStringLiteral("bad drive type in -v \"%1\"").arg(QString::fromLatin1(argument));
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<RawFormat> rawFormatFromName(const QByteArray& name) {
    for (const FormatName& f : kFormats) {
        if (name == f.name)
            return f.format;
    }
    return std::nullopt;
}

QByteArray defaultByteOrder(RawFormat format) {
    switch (byteOrderWidth(format)) {
    case 7:
        return QByteArrayLiteral("r543210");
    case 8:
        return QByteArrayLiteral("543210wv");
    default:
        return QByteArrayLiteral("543210");
    }
}

std::optional<DrivePresets> parseDrivePresets(const QByteArray& text, QString* error) {
    DrivePresets presets;
    const QList<QByteArray> words = text.simplified().split(' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QByteArray& option = words[i];
        if (option.isEmpty())
            continue;
        if ((option != "-v" && option != "-F") || i + 1 >= words.size()) {
            *error =
                QStringLiteral("unexpected \"%1\" in presets").arg(QString::fromLatin1(option));
            return std::nullopt;
        }
        const QByteArray& argument = words[++i];
        if (option == "-v") {
            AttributePreset preset;
            if (!parseAttributeSetting(argument, &preset, error))
                return std::nullopt;
            presets.attributes.push_back(std::move(preset));
            continue;
        }
        bool known = false;
        for (const char* quirk : kQuirks)
            known = known || argument == quirk;
        if (!known) {
            *error = QStringLiteral("unknown -F \"%1\"").arg(QString::fromLatin1(argument));
            return std::nullopt;
        }
        presets.firmwareQuirks.append(argument);
    }
    return presets;
}

} // namespace vorn::hdd
