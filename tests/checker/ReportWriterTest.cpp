#include "ReportWriter.h"

#include "../support/TempDir.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <array>
#include <cstring>

using namespace vorn::checker;

namespace {

using Image = std::array<BYTE, 512>;

// A start directory with a Template folder and a folder for the reports.
class ReportWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(m_start.path()).mkdir("Template"));
        writeTemplate("HddInfo.temp", "Model,CHAR,4,1\nWord2,WORD,0,1\n");
        writeTemplate("HddSmartAtr.temp", "Rev,WORD,0,1\n");
        writeTemplate("HddSmartThr.temp", "Rev,BYTE,0,2\n");
        m_image.fill(0);
        std::memcpy(m_image.data(), "WD10\x2A", 5);
    }

    void writeTemplate(const QString& name, const QByteArray& text) {
        ASSERT_TRUE(m_start.write("Template/" + name, text));
    }

    BOOL write(ReportKind kind, const QString& model, int drive, const QString& folder) {
        return WriteReport(m_start.path(), kind, folder, model, drive, m_image.data(),
                           m_image.size());
    }

    TestDir m_start;
    TestDir m_out;
    Image m_image;
};

} // namespace

TEST_F(ReportWriterTest, WritesEachKindUnderItsName) {
    const QString folder = m_out.path();
    for (ReportKind kind : kReportKinds)
        EXPECT_EQ(write(kind, "WDC WD10", 2, folder), TRUE);
    EXPECT_EQ(m_out.read("WDC WD10_2.hdd_inf.txt"), "ModelWD10\r\nWord242      \t002a\r\n");
    EXPECT_EQ(m_out.read("WDC WD10_2.smt_atr.txt"), "Rev17495   \t4457\r\n");
    EXPECT_EQ(m_out.read("WDC WD10_2.smt_thr.txt"), "Rev5744\r\n");
}

TEST_F(ReportWriterTest, SavingAgainReplacesTheWholeReport) {
    EXPECT_EQ(write(ReportKind::Identify, "M", 0, m_out.path()), TRUE);
    writeTemplate("HddInfo.temp", "Short,BYTE,0,1\n");
    EXPECT_EQ(write(ReportKind::Identify, "M", 0, m_out.path()), TRUE);
    EXPECT_EQ(m_out.read("M_0.hdd_inf.txt"), "Short57\r\n");
}

TEST_F(ReportWriterTest, FailuresWriteNothing) {
    // No template: no report file, not even an empty one.
    ASSERT_TRUE(QFile::remove(m_start.path("Template/HddSmartThr.temp")));
    EXPECT_EQ(write(ReportKind::Thresholds, "M", 0, m_out.path()), FALSE);
    EXPECT_FALSE(QFileInfo::exists(m_out.path("M_0.smt_thr.txt")));

    // A folder that does not exist, or is a file.
    EXPECT_EQ(write(ReportKind::Identify, "M", 0, m_out.path("missing")), FALSE);
    ASSERT_TRUE(m_out.write("plain", "x"));
    EXPECT_EQ(write(ReportKind::Identify, "M", 0, m_out.path("plain")), FALSE);

    EXPECT_EQ(WriteReport(m_start.path(), ReportKind::Identify, m_out.path(), "M", 0, nullptr, 512),
              FALSE);
    EXPECT_EQ(WriteReport(QString(), ReportKind::Identify, m_out.path(), "M", 0, m_image.data(),
                          m_image.size()),
              FALSE)
        << "unknown start directory";
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::Files).contains("plain"));
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(ReportWriterTest, ModelCannotLeaveTheFolder) {
    const QString model = QStringLiteral("../../x/y") + QChar(u'\0') + "z";
    EXPECT_EQ(ReportModelName(model), ".._.._x_y_z");
    EXPECT_EQ(write(ReportKind::Attributes, model, 3, m_out.path()), TRUE);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{".._.._x_y_z_3.smt_atr.txt"});
}
