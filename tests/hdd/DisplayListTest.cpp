#include "AttributeNames.h"
#include "CHddSmart.h"

#include "SectorBuilder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

using testimg::Attribute;

namespace {

struct Entry {
    BYTE id;
    BYTE current;
    BYTE worst;
    ULONGLONG raw;
    BYTE threshold;
};

void load(CHddSmart& smart, const std::vector<Entry>& entries) {
    smart.m_Attribute = SectorImage{};
    smart.m_Threshold = SectorImage{};
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const Entry& e = entries[k];
        testimg::setAttribute(smart.m_Attribute, int(k), {e.id, e.current, e.worst, e.raw});
        testimg::setThreshold(smart.m_Threshold, int(k), e.id, e.threshold);
    }
}

std::vector<int> ids(const CHddSmart& smart) {
    std::vector<int> result;
    for (const CHddSmartDisp* record : smart.m_DispList)
        result.push_back(record->m_byId);
    return result;
}

TEST(DisplayList, BuildsEveryAttributeInSectorOrder) {
    CHddSmart smart;
    load(smart, {{1, 200, 200, 0, 51},
                 {3, 150, 140, 4500, 21},
                 {229, 100, 100, 0, 0},
                 {194, 110, 120, 0x2D, 0},
                 {254, 100, 100, 0, 0}});
    smart.GetDisplayAttribute();
    ASSERT_EQ(ids(smart), (std::vector<int>{1, 3, 229, 194, 254}));

    const CHddSmartDisp* temperature = smart.m_DispList.GetAt(3);
    EXPECT_EQ(temperature->m_strName, QString::fromUtf8("HDD内部温度"));
    EXPECT_EQ(temperature->m_nCurrent, 110);
    EXPECT_EQ(temperature->m_nWorst, 110); // worst never above current
    EXPECT_EQ(temperature->m_nRaw, 0x2D);
    EXPECT_EQ(temperature->m_nInit, -1);
    EXPECT_EQ(temperature->m_nChange, -1);
    EXPECT_EQ(smart.m_DispList.GetAt(0)->m_byImportance, 2);
    EXPECT_EQ(smart.m_DispList.GetAt(1)->m_nWorst, 140);
    EXPECT_EQ(smart.m_DispList.GetAt(5), nullptr);
}

TEST(DisplayList, ThresholdIsTakenByPositionNotById) {
    CHddSmart smart;
    load(smart, {{5, 100, 100, 0, 0}, {197, 100, 100, 0, 0}});
    testimg::setThreshold(smart.m_Threshold, 0, 197, 0);
    testimg::setThreshold(smart.m_Threshold, 1, 5, 36);
    smart.GetDisplayAttribute();
    EXPECT_EQ(smart.m_DispList.GetAt(0)->m_nThreshold, 0);
    EXPECT_EQ(smart.m_DispList.GetAt(1)->m_nThreshold, 36);
}

TEST(DisplayList, RebuildKeepsRecordsAndRememberedValues) {
    CHddSmart smart;
    load(smart, {{1, 100, 100, 0, 51}, {5, 100, 100, 0, 36}, {9, 99, 99, 1200, 0}});
    smart.GetDisplayAttribute();
    smart.SetInitValue();
    const CHddSmartDisp* readError = smart.m_DispList.GetAt(0);
    CHddSmartDisp* reallocated = smart.m_DispList.GetAt(1);
    reallocated->m_nInit = 97; // as a baseline file would set it

    // Second read: the sector order changes, 9 disappears, 197 appears.
    load(smart, {{5, 90, 90, 12, 36}, {197, 100, 100, 3, 0}, {1, 99, 99, 0, 51}});
    smart.GetDisplayAttribute();
    ASSERT_EQ(ids(smart), (std::vector<int>{5, 197, 1}));
    EXPECT_EQ(smart.m_DispList.GetAt(0), reallocated);
    EXPECT_EQ(smart.m_DispList.GetAt(2), readError);
    EXPECT_EQ(reallocated->m_nInit, 97);
    EXPECT_EQ(reallocated->m_nChange, 100);
    EXPECT_EQ(reallocated->m_nCurrent, 90);
    EXPECT_EQ(reallocated->m_nRaw, 12);
    EXPECT_EQ(smart.m_DispList.GetAt(1)->m_nInit, -1); // new record

    // Third read of the same IDs: the very same objects again.
    smart.GetDisplayAttribute();
    EXPECT_EQ(smart.m_DispList.GetAt(0), reallocated);
    EXPECT_EQ(smart.m_DispList.GetAt(2), readError);
    EXPECT_EQ(readError->m_nInit, 100);

    // A failed read leaves a zero sector: every record goes.
    smart.m_Attribute = SectorImage{};
    smart.GetDisplayAttribute();
    EXPECT_TRUE(smart.m_DispList.IsEmpty());
}

TEST(DisplayList, DuplicateIdOnlyOneKeepsItsMarks) {
    CHddSmart smart;
    load(smart, {{5, 100, 100, 0, 36}});
    smart.GetDisplayAttribute();
    smart.SetInitValue();
    CHddSmartDisp* first = smart.m_DispList.GetAt(0);

    load(smart, {{5, 95, 95, 0, 36}, {5, 80, 80, 0, 36}});
    smart.GetDisplayAttribute();
    ASSERT_EQ(ids(smart), (std::vector<int>{5, 5}));
    EXPECT_EQ(smart.m_DispList.GetAt(0), first);
    EXPECT_EQ(first->m_nInit, 100);
    EXPECT_EQ(smart.m_DispList.GetAt(1)->m_nInit, -1);
}

TEST(DisplayDepletion, FormulaAndItsLimits) {
    const struct {
        const char* what;
        int init, threshold, current;
        double expected;
    } rows[] = {
        {"worn a little", 100, 36, 90, 15.625},
        {"at the threshold", 100, 36, 36, 100.0},
        {"risen above the baseline", 100, 36, 110, -15.625},
        {"below the threshold", 100, 36, 4, 150.0},
        {"no current value", 100, 36, -1, 0.0},
        {"no threshold", 100, -1, 90, 0.0},
        {"baseline never set enters the formula", -1, 0, 50, 5100.0},
        // No margin between baseline and threshold: finite all the same.
        {"no margin, holding", 36, 36, 36, 0.0},
        {"no margin, risen", 36, 36, 50, 0.0},
        {"no margin, fallen below", 36, 36, 20, 100.0},
        {"no margin at zero", 0, 0, 0, 0.0},
        // Values a caller stored by hand must not overflow the differences.
        {"extreme baseline", INT_MIN, 100, 50, 100.0 - (-50.0) / (double(INT_MIN) - 100) * 100.0},
        {"extreme current", 100, 36, INT_MAX, 100.0 - (double(INT_MAX) - 36) / 64.0 * 100.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CHddSmartDisp record;
        record.m_nInit = row.init;
        record.m_nThreshold = row.threshold;
        record.m_nCurrent = row.current;
        const double depleted = record.CalcDepleted();
        EXPECT_TRUE(std::isfinite(depleted));
        EXPECT_DOUBLE_EQ(depleted, row.expected);
    }
}

TEST(DisplayChangeQueries, ChangedRecordsAndExclusions) {
    CHddSmart smart;
    load(smart, {{1, 100, 100, 0, 51},
                 {5, 100, 100, 0, 36},
                 {9, 100, 100, 0, 0},
                 {12, 100, 100, 0, 0},
                 {194, 100, 100, 0, 0},
                 {197, 100, 100, 0, 0},
                 {222, 100, 100, 0, 0},
                 {231, 100, 100, 0, 0}});
    smart.GetDisplayAttribute();

    // Nothing marked yet: m_nChange -1 means "not changed".
    QList<CHddSmartDisp*> changed;
    EXPECT_FALSE(smart.GetChangeDepleted(changed));
    EXPECT_EQ(smart.GetMaxChangeDepleted(), nullptr);

    smart.SetInitValue();
    load(smart, {{1, 100, 100, 0, 51},
                 {5, 90, 90, 0, 36},
                 {9, 10, 10, 0, 0},
                 {12, 10, 10, 0, 0},
                 {194, 10, 10, 0, 0},
                 {197, 110, 100, 0, 0},
                 {222, 10, 10, 0, 0},
                 {231, 10, 10, 0, 0}});
    smart.GetDisplayAttribute();

    EXPECT_TRUE(smart.GetChangeDepleted(changed));
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[0]->m_byId, 5);
    EXPECT_EQ(changed[1]->m_byId, 197);
    // 197 rose above its baseline (negative depletion): never the answer.
    ASSERT_NE(smart.GetMaxChangeDepleted(), nullptr);
    EXPECT_EQ(smart.GetMaxChangeDepleted()->m_byId, 5);

    // Elements already in the caller's list count for the result.
    smart.SetChangeValue();
    QList<CHddSmartDisp*> kept{changed[0]};
    EXPECT_TRUE(smart.GetChangeDepleted(kept));
    EXPECT_EQ(kept.size(), 1);
    QList<CHddSmartDisp*> none;
    EXPECT_FALSE(smart.GetChangeDepleted(none));
    EXPECT_EQ(smart.GetMaxChangeDepleted(), nullptr);
}

TEST(DisplayChangeQueries, MarksAndTies) {
    CHddSmart smart;
    load(smart, {{5, 100, 100, 0, 0}, {197, 100, 100, 0, 0}, {198, 100, 100, 0, 0}});
    smart.GetDisplayAttribute();
    smart.SetInitValue();
    load(smart, {{5, 90, 90, 0, 0}, {197, 90, 90, 0, 0}, {198, 95, 95, 0, 0}});
    smart.GetDisplayAttribute();

    // 5 and 197 both at 10 %: the earlier one wins the tie.
    EXPECT_EQ(smart.GetMaxChangeDepleted(), smart.m_DispList.GetAt(0));

    // Moving one record's mark takes only that one out of the queries.
    smart.SetChangeValue(smart.m_DispList.GetAt(0));
    EXPECT_EQ(smart.m_DispList.GetAt(0)->m_nInit, 100);
    EXPECT_EQ(smart.GetMaxChangeDepleted(), smart.m_DispList.GetAt(1));
    smart.SetChangeValue(nullptr);

    // A record with no margin left reads 100 once it falls, never inf.
    CHddSmartDisp* record = smart.m_DispList.GetAt(2);
    record->m_nInit = 95;
    record->m_nThreshold = 95;
    record->m_nChange = 96;
    record->m_nCurrent = 94;
    EXPECT_EQ(smart.GetMaxChangeDepleted(), record);
    EXPECT_EQ(record->CalcDepleted(), 100.0);
}

// The table is typed by hand: a lost row or a name mistyped in one of a
// pair that should read alike shows here.
TEST(DisplayNames, RowCountAndSharedNames) {
    EXPECT_EQ(vorn::smart::attributeNameCount(), 83);
    EXPECT_STREQ(vorn::smart::findAttributeName(13)->name,
                 vorn::smart::findAttributeName(201)->name);
    EXPECT_STREQ(vorn::smart::findAttributeName(191)->name,
                 vorn::smart::findAttributeName(221)->name);
    EXPECT_STREQ(vorn::smart::findAttributeName(194)->name,
                 vorn::smart::findAttributeName(231)->name);
}

// The names one drive's database entry gives: some mean what the table
// means, some mean something else, some only say the database does not
// know either; the default entry (fromModelEntry false) never renames.
TEST(DisplayNames, TheDrivesOwnMeaningsAndTheUnknownIds) {
    vorn::hdd::DriveKnowledge knowledge;
    knowledge.inDatabase = true;
    const auto name = [&knowledge](int id, const char* text, bool fromModel = true) {
        vorn::hdd::AttributeKnowledge& k = knowledge.attributes[id];
        k.name = QString::fromLatin1(text);
        k.fromModelEntry = fromModel;
    };
    name(1, "Raw_Read_Error_Rate");
    name(194, "Proprietary_194");
    name(202, "Percent_Lifetime_Remain");
    name(231, "SSD_Life_Left");
    name(16, "Gas_Gauge");
    name(183, "SATA_Downshift_Count");
    name(5, "Retired_Block_Count");
    name(12, "SSD_Life_Left", false);

    CHddSmart smart;
    load(smart, {{1, 100, 100, 0, 50},
                 {231, 90, 90, 90, 10},
                 {202, 95, 95, 5, 0},
                 {99, 100, 100, 0, 0},
                 {16, 100, 100, 0, 0},
                 {194, 70, 70, 30, 0},
                 {183, 100, 100, 0, 0},
                 {5, 100, 100, 0, 10},
                 {12, 100, 100, 7, 0}});
    smart.GetDisplayAttribute(knowledge);
    ASSERT_EQ(ids(smart), (std::vector<int>{1, 231, 202, 99, 16, 194, 183, 5, 12}));
    const auto nameAt = [&smart](int k) { return smart.m_DispList.GetAt(k)->m_strName; };
    EXPECT_EQ(nameAt(0), QString::fromUtf8("読込エラー率"));
    EXPECT_EQ(nameAt(1), QString::fromUtf8("残り寿命"));
    EXPECT_EQ(nameAt(2), QString::fromUtf8("残り寿命"));
    EXPECT_EQ(nameAt(3), QString::fromUtf8("ベンダー固有の属性 63"));
    EXPECT_EQ(nameAt(4), QStringLiteral("Gas_Gauge"));
    EXPECT_EQ(nameAt(5), QString::fromUtf8("HDD内部温度"));
    EXPECT_EQ(nameAt(6), QString::fromUtf8("SATA 速度低下回数"));
    EXPECT_EQ(nameAt(7), QString::fromUtf8("再配置セクタ数"));
    EXPECT_EQ(nameAt(8), QString::fromUtf8("電源投入回数"));
    EXPECT_EQ(smart.m_DispList.GetAt(0)->m_byImportance, 2);
    EXPECT_EQ(smart.m_DispList.GetAt(3)->m_byImportance, 0);
    EXPECT_FALSE(smart.m_DispList.GetAt(1)->m_bTemperature);
    EXPECT_TRUE(smart.m_DispList.GetAt(5)->m_bTemperature);

    // The life left wears like any other value: its fall is a change, while
    // the temperature's is not.
    smart.SetInitValue();
    load(smart, {{1, 100, 100, 0, 50},
                 {231, 80, 80, 80, 10},
                 {202, 95, 95, 5, 0},
                 {99, 100, 100, 0, 0},
                 {16, 100, 100, 0, 0},
                 {194, 60, 60, 40, 0},
                 {183, 100, 100, 0, 0},
                 {5, 100, 100, 0, 10},
                 {12, 100, 100, 7, 0}});
    smart.GetDisplayAttribute(knowledge);
    QList<CHddSmartDisp*> changed;
    ASSERT_TRUE(smart.GetChangeDepleted(changed));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0]->m_byId, 231);
}

} // namespace
