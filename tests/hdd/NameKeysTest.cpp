#include "AttributeNames.h"
#include "CHddSmart.h"
#include "NvmeDecoder.h"
#include "Translation.h"

#include "SectorBuilder.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <map>
#include <set>
#include <vector>

namespace {

bool hasJapanese(const QString& text) {
    static const QRegularExpression cjk(
        QStringLiteral("[\\x{3000}-\\x{30ff}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(cjk);
}

// A drive whose database entry renames some IDs: one keeps the table's
// meaning, one gives a table ID another meaning, one names an ID the table
// lacks, one is a placeholder; 99 nothing knows.
struct RenamingDrive {
    vorn::hdd::DriveKnowledge knowledge;
    std::vector<int> ids{5, 231, 183, 194, 99};

    RenamingDrive() {
        knowledge.inDatabase = true;
        const auto name = [this](int id, const char* text) {
            vorn::hdd::AttributeKnowledge& k = knowledge.attributes[id];
            k.name = QString::fromLatin1(text);
            k.fromModelEntry = true;
        };
        name(5, "Retired_Block_Count");
        name(231, "SSD_Life_Left");
        name(183, "SATA_Downshift_Count");
        name(194, "Proprietary_194");
    }

    // Name and key of each record after a read.
    std::vector<std::pair<QString, QString>> read() const {
        CHddSmart smart;
        for (std::size_t k = 0; k < ids.size(); ++k)
            testimg::setAttribute(smart.m_Attribute, int(k), {BYTE(ids[k]), 100, 100, 0});
        smart.GetDisplayAttribute(knowledge);
        std::vector<std::pair<QString, QString>> out;
        for (const CHddSmartDisp* record : smart.m_DispList)
            out.emplace_back(record->m_strName, record->m_strNameKey);
        return out;
    }
};

// Scripts key on these: a key shared by two IDs, or one that is not a plain
// identifier, breaks them silently.
TEST(AttributeNameKeys, OnePlainKeyPerIdOfTheTable) {
    static const QRegularExpression plain(QStringLiteral("^[a-z][a-z0-9_]*$"));
    std::map<QString, int> owner;
    for (int id = 0; id < 256; ++id) {
        const vorn::smart::AttributeName* row = vorn::smart::findAttributeName(id);
        if (!row)
            continue;
        const QString key = QString::fromLatin1(row->key);
        EXPECT_TRUE(plain.match(key).hasMatch()) << key.toStdString();
        // The form left for IDs without a fixed meaning.
        EXPECT_FALSE(key.startsWith(QLatin1String("attribute_"))) << key.toStdString();
        const auto [it, fresh] = owner.emplace(key, id);
        EXPECT_TRUE(fresh) << key.toStdString() << " of " << id << " and " << it->second;
    }
    EXPECT_EQ(int(owner.size()), vorn::smart::attributeNameCount());
}

// The key says the meaning the list shows, in neither language's words nor
// the database's: the table's key where the table's meaning holds on the
// drive, attribute_<id> where it does not or nothing fixes one.
TEST(AttributeNameKeys, FollowTheMeaningOnTheDriveAndNotTheLanguage) {
    const RenamingDrive drive;
    const auto japanese = drive.read();
    const std::vector<QString> keys = {
        QStringLiteral("reallocated_sector_count"), QStringLiteral("attribute_231"),
        QStringLiteral("attribute_183"), QStringLiteral("temperature"),
        QStringLiteral("attribute_99")};
    ASSERT_EQ(japanese.size(), keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k)
        EXPECT_EQ(japanese[k].second, keys[k]);

    const CTextCatalogue english(InterfaceLanguage::English);
    const auto translated = drive.read();
    ASSERT_EQ(translated.size(), keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        EXPECT_EQ(translated[k].second, keys[k]);
        EXPECT_NE(translated[k].first, japanese[k].first);
    }
    EXPECT_EQ(translated[0].first, QStringLiteral("Reallocated Sectors Count"));
    EXPECT_EQ(translated[1].first, QStringLiteral("Remaining Life"));
    EXPECT_EQ(translated[4].first, QStringLiteral("Vendor Specific Attribute 63"));
}

// Every name the list and the NVMe table can show, with the English
// catalogue in place: a text left out of it, or looked up under another
// context than the one it was marked with, would come out in Japanese.
TEST(EnglishNames, NoAttributeOrNvmeFieldNameIsEmptyOrJapanese) {
    const CTextCatalogue english(InterfaceLanguage::English);
    for (int id = 0; id < 256; ++id) {
        const QString name = vorn::smart::attributeNameText(id);
        EXPECT_FALSE(name.isEmpty()) << id;
        EXPECT_FALSE(hasJapanese(name)) << id << " " << name.toStdString();
    }
    for (const auto& [name, key] : RenamingDrive().read())
        EXPECT_FALSE(hasJapanese(name)) << key.toStdString();
    for (const vorn::nvme::HealthField& field : vorn::nvme::healthFields()) {
        const QString name = vorn::nvme::healthFieldName(field);
        EXPECT_FALSE(name.isEmpty()) << field.key;
        EXPECT_FALSE(hasJapanese(name)) << field.key << " " << name.toStdString();
    }
}

} // namespace
