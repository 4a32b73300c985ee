#include "AttributeNamesForDrive.h"

#include "AttributeIds.h"
#include "AttributeNames.h"
#include "Translation.h"

#include <QStringList>

namespace vorn::smart {

namespace {

// Database names compare in lower case without their separators, so that
// "Power-Off_Retract_Count" and "PowerOff_Retract_Ct" meet.
QString folded(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (QChar c : name) {
        if (c.isLetterOrNumber())
            out += c.toLower();
    }
    return out;
}

QString genericKey(int id) {
    return QStringLiteral("attribute_%1").arg(id);
}

bool containsStem(const QString& foldedName, const char* stems) {
    if (!stems)
        return false;
    const QStringList list = QString::fromLatin1(stems).split(QLatin1Char('|'));
    for (const QString& stem : list) {
        if (!stem.isEmpty() && foldedName.contains(stem))
            return true;
    }
    return false;
}

// Placeholder names say only that the database does not know the ID
// either; the table's meaning is still the better guess.
bool isPlaceholder(const QString& foldedName) {
    return foldedName.startsWith(QLatin1String("unknown")) ||
           foldedName.startsWith(QLatin1String("unkn")) ||
           foldedName.startsWith(QLatin1String("proprietary")) ||
           foldedName.startsWith(QLatin1String("notinuse")) ||
           foldedName.startsWith(QLatin1String("notsupported")) ||
           foldedName.startsWith(QLatin1String("reserved")) ||
           foldedName.endsWith(QLatin1String("internal"));
}

// Meanings that database names give IDs outside their usual one, with the
// name and importance the list shows for them. The first matching row wins,
// so the narrower stems come first.
struct Meaning {
    const char* stems;
    BYTE importance;
    const char* name; // Japanese, UTF-8, translated where shown
};

const Meaning kMeanings[] = {
    {"liferemain|lifeleft|lifetimeleft|remaininglife|lifetimeremain|liferemaining", 2,
     QT_TRANSLATE_NOOP("AttributeNames", "残り寿命")},
    {"lifeused|lifetimeused|ratedlifeused", 2, QT_TRANSLATE_NOOP("AttributeNames", "寿命の消費率")},
    {"wearout|mediawear", 1, QT_TRANSLATE_NOOP("AttributeNames", "メディア消耗度")},
    {"wearleveling", 1, QT_TRANSLATE_NOOP("AttributeNames", "ウェアレベリング回数")},
    {"endtoend|e2e", 2, QT_TRANSLATE_NOOP("AttributeNames", "エンドツーエンド エラー数")},
    {"programfail", 1, QT_TRANSLATE_NOOP("AttributeNames", "プログラム失敗数")},
    {"erasefail", 1, QT_TRANSLATE_NOOP("AttributeNames", "消去失敗数")},
    {"uncorrect|uecc|uncor", 2, QT_TRANSLATE_NOOP("AttributeNames", "訂正不能エラー数")},
    {"pending", 2, QT_TRANSLATE_NOOP("AttributeNames", "不安定セクター数")},
    {"realloc|retiredblock", 2, QT_TRANSLATE_NOOP("AttributeNames", "再配置ブロック数")},
    {"badbl|badblk", 1, QT_TRANSLATE_NOOP("AttributeNames", "不良ブロック数")},
    {"reserv|spare", 1, QT_TRANSLATE_NOOP("AttributeNames", "予備領域の残り")},
    {"crc", 0, QT_TRANSLATE_NOOP("AttributeNames", "CRC エラー数")},
    {"downshift|dwngrd", 0, QT_TRANSLATE_NOOP("AttributeNames", "SATA 速度低下回数")},
    {"timeout", 1, QT_TRANSLATE_NOOP("AttributeNames", "コマンド タイムアウト数")},
    {"powerloss|pwrloss|unsafe|unexpect|unclean", 0,
     QT_TRANSLATE_NOOP("AttributeNames", "予期しない電源断の回数")},
    {"thrott", 0, QT_TRANSLATE_NOOP("AttributeNames", "熱スロットリング")},
    {"temp", 0, QT_TRANSLATE_NOOP("AttributeNames", "温度")},
    {"poweron", 0, QT_TRANSLATE_NOOP("AttributeNames", "パワーオン時間")},
    {"powercycle", 0, QT_TRANSLATE_NOOP("AttributeNames", "電源投入回数")},
    {"erase", 0, QT_TRANSLATE_NOOP("AttributeNames", "消去回数")},
    {"writ|wts", 0, QT_TRANSLATE_NOOP("AttributeNames", "書き込み量")},
    {"read|rds", 0, QT_TRANSLATE_NOOP("AttributeNames", "読み込み量")},
};

const Meaning* meaningOf(const QString& foldedName) {
    for (const Meaning& meaning : kMeanings) {
        if (containsStem(foldedName, meaning.stems))
            return &meaning;
    }
    return nullptr;
}

const vorn::hdd::AttributeKnowledge* modelEntryName(int id,
                                                    const vorn::hdd::DriveKnowledge& knowledge) {
    const auto it = knowledge.attributes.find(id);
    if (it == knowledge.attributes.end() || !it->second.fromModelEntry || it->second.name.isEmpty())
        return nullptr;
    return &it->second;
}

const vorn::hdd::AttributeKnowledge* anyName(int id, const vorn::hdd::DriveKnowledge& knowledge) {
    const auto it = knowledge.attributes.find(id);
    return it == knowledge.attributes.end() || it->second.name.isEmpty() ? nullptr : &it->second;
}

// The database's own meaning of a name: ours, in the interface language,
// where we have one. The key stays the ID's generic one: a meaning found
// from a database name may be any ID's on this drive, and two IDs of one
// disk must never share a key.
AttributeLabel labelOfDatabaseName(int id, const QString& name) {
    const QString key = folded(name);
    if (const Meaning* meaning = meaningOf(key))
        return {Cm_Tr("AttributeNames", meaning->name), genericKey(id), meaning->importance,
                namesTemperature(name)};
    return {name, genericKey(id), 0, namesTemperature(name)};
}

bool tableTemperature(int id) {
    return isTemperatureAttribute(id) || id == 190;
}

} // namespace

bool namesTemperature(const QString& databaseName) {
    return folded(databaseName).contains(QLatin1String("temp"));
}

bool meansSomethingElse(int id, const vorn::hdd::DriveKnowledge& knowledge) {
    const vorn::hdd::AttributeKnowledge* entry = modelEntryName(id, knowledge);
    if (!entry)
        return false;
    const QString key = folded(entry->name);
    if (isPlaceholder(key))
        return false;
    const AttributeName* row = findAttributeName(id);
    return !row || !containsStem(key, row->stems);
}

AttributeLabel attributeLabel(int id, const vorn::hdd::DriveKnowledge& knowledge) {
    AttributeLabel label;
    if (const AttributeName* row = findAttributeName(id)) {
        if (meansSomethingElse(id, knowledge))
            label = labelOfDatabaseName(id, modelEntryName(id, knowledge)->name);
        else
            label = {attributeNameText(*row), QString::fromLatin1(row->key), row->importance,
                     tableTemperature(id)};
    } else if (const vorn::hdd::AttributeKnowledge* entry = anyName(id, knowledge)) {
        label = isPlaceholder(folded(entry->name))
                    ? AttributeLabel{entry->name, genericKey(id), 0, false}
                    : labelOfDatabaseName(id, entry->name);
    } else {
        label = {attributeNameText(id), genericKey(id), 0, false};
    }
    if (knowledge.temperatureId == id)
        label.temperature = true;
    return label;
}

} // namespace vorn::smart
