#include "DiskReports.h"

#include "CHdd.h"
#include "CHddSmartDisp.h"

#include "../support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cstring>

using namespace vorn::checker;

namespace {

void putModel(CHdd& disk, const char* model) {
    auto& image = disk.m_HddInfo.m_Identify;
    std::memset(image.data() + 54, ' ', 40);
    std::memcpy(image.data() + 54, model, std::strlen(model));
}

class DiskReportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(m_start.path()).mkdir("Template"));
        ASSERT_TRUE(m_start.write("Template/HddInfo.temp", "Words,WORD,0,27\nModel,CHAR,40,1\n"));
        ASSERT_TRUE(m_start.write("Template/HddSmartAtr.temp", "Skip,BYTE,0,0\nId,BYTE,0,1\n"));
        ASSERT_TRUE(m_start.write("Template/HddSmartThr.temp", "Rev,WORD,0,1\n"));
    }

    TestDir m_start;
    TestDir m_out;
};

} // namespace

TEST_F(DiskReportsTest, EachKindTakesItsOwnImage) {
    CHdd disk;
    disk.m_nDrive = 4;
    putModel(disk, "ST3500418AS");
    disk.m_HddSmart.m_Attribute[0] = 0x10;
    disk.m_HddSmart.m_Threshold[0] = 0x2A;
    EXPECT_EQ(WriteDiskReports(&disk, m_out.path(), m_start.path()), 3);
    EXPECT_TRUE(m_out.read("ST3500418AS_4.hdd_inf.txt")
                    .endsWith("\r\nModelST3500418AS" + QByteArray(29, ' ') + "\r\n"));
    EXPECT_EQ(m_out.read("ST3500418AS_4.smt_atr.txt"), "Skip\r\nId10\r\n");
    EXPECT_EQ(m_out.read("ST3500418AS_4.smt_thr.txt"), "Rev42      \t002a\r\n");
}

TEST_F(DiskReportsTest, OneMissingTemplateDoesNotStopTheOthers) {
    ASSERT_TRUE(QFile::remove(m_start.path("Template/HddSmartAtr.temp")));
    CHdd disk;
    disk.m_nDrive = 0;
    putModel(disk, "A/B  C");
    EXPECT_EQ(WriteDiskReports(&disk, m_out.path(), m_start.path()), 2);
    // The model number as the disk reports it, trimmed with its blanks reduced.
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files),
              (QStringList{"A_B C_0.hdd_inf.txt", "A_B C_0.smt_thr.txt"}));
    EXPECT_EQ(WriteDiskReports(nullptr, m_out.path(), m_start.path()), 0);
}

TEST(DiskDetailTexts, RecordAndItsExplanation) {
    TestDir start;
    ASSERT_TRUE(QDir(start.path()).mkdir("Template"));
    const char16_t line[] = u"197,n,保留中\n";
    ASSERT_TRUE(start.write("Template/VornDiskInfo.Smart.ja.txt",
                            QByteArray(reinterpret_cast<const char*>(line), sizeof line - 2)));
    CHddSmartDisp record;
    record.m_byId = 197;
    record.m_byImportance = 2;
    record.m_strName = "不安定セクター数";
    record.m_nInit = 100;
    record.m_nCurrent = 100;
    record.m_nWorst = 100;
    record.m_nThreshold = 0;
    const AttributeDetailTexts texts = AttributeDetailTextsOf(record, start.path());
    EXPECT_EQ(texts.description, "不安定セクター数 [重要度：高]\n\n保留中");
    EXPECT_EQ(texts.threshold, "0");
    EXPECT_EQ(texts.depleted, "0.0 %");
}
