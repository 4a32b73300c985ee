#include "ErrorLog.h"
#include "LastError.h"
#include "WideText.h"

#include "SafeFile.h"

#include "../support/FileHazards.h"
#include "../support/TempDir.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <thread>

namespace {

class ErrorLogTest : public ::testing::Test {
protected:
    void TearDown() override { Cm_CloseErrorFile(); }

    bool open(int append) { return Cm_OpenErrorFile(Cm_WidePtr(m_logPath), append) != 0; }

    QByteArray contents() const { return m_dir.read(QStringLiteral("run.log")); }

    TestDir m_dir;
    QString m_logPath = m_dir.path(QStringLiteral("run.log"));
};

const QRegularExpression kStamp(QStringLiteral(R"(^\[\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\] )"));

TEST_F(ErrorLogTest, WritesNothingUnlessOpen) {
    win::SetLastError(ENOENT);
    EXPECT_EQ(Cm_WriteErrorString(u"text"), 0);
    EXPECT_EQ(Cm_WriteErrorMessage(0xFFFFFFFFu, 0), static_cast<DWORD>(ENOENT));

    // A null path closes the open log.
    ASSERT_TRUE(open(0));
    EXPECT_EQ(Cm_OpenErrorFile(nullptr, 0), 0);
    EXPECT_EQ(Cm_WriteErrorString(u"after close"), 0);
    EXPECT_TRUE(contents().isEmpty());

    EXPECT_EQ(Cm_OpenErrorFile(u"/nonexistent-folder/x.log", 0), 0);
    EXPECT_EQ(Cm_WriteErrorString(u"x"), 0);
}

TEST_F(ErrorLogTest, TraceAndErrorLinesEndWithCrLf) {
    ASSERT_TRUE(open(0));
    EXPECT_EQ(Cm_WriteErrorString(u"CHdd::OpenHddHandle-CreateFile"), 53);
    EXPECT_EQ(Cm_WriteErrorMessage(2, 0), 2u);
    Cm_CloseErrorFile();

    const QStringList lines = QString::fromUtf8(contents()).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains(kStamp));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("] CHdd::OpenHddHandle-CreateFile")));
    EXPECT_TRUE(lines[1].contains(kStamp));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("] [Error:2] No such file or directory")));
    EXPECT_EQ(lines[2], QString());
    EXPECT_FALSE(contents().contains("\n\n"));
}

TEST_F(ErrorLogTest, IgnoredCodeWritesNothing) {
    ASSERT_TRUE(open(0));
    win::SetLastError(0);
    EXPECT_EQ(Cm_WriteErrorMessage(0, 0), 0u);
    EXPECT_EQ(Cm_WriteErrorMessage(0xFFFFFFFFu, 0), 0u);
    EXPECT_EQ(Cm_ErrorMessage(0, 0), 0u);
    Cm_CloseErrorFile();
    EXPECT_TRUE(contents().isEmpty());
}

TEST_F(ErrorLogTest, AppendKeepsAndTruncateEmpties) {
    ASSERT_TRUE(open(0));
    Cm_WriteErrorString(u"first");
    ASSERT_TRUE(open(1));
    Cm_WriteErrorString(u"second");
    Cm_CloseErrorFile();
    EXPECT_EQ(contents().count("\r\n"), 2);

    ASSERT_TRUE(open(0));
    Cm_CloseErrorFile();
    EXPECT_TRUE(contents().isEmpty());
}

TEST_F(ErrorLogTest, RefusesLinksAndNonFilesAndReportsACutLog) {
    TestDir elsewhere;
    ASSERT_TRUE(elsewhere.write(QStringLiteral("victim"), "keep"));
    ASSERT_TRUE(PlantLink(m_dir.path(), m_logPath, elsewhere.path(QStringLiteral("victim"))));
    EXPECT_FALSE(open(0));
    EXPECT_EQ(Cm_ErrorFileFailure(), kCmSymbolicLink);
    EXPECT_EQ(elsewhere.read(QStringLiteral("victim")), QByteArray("keep"));

    const QString fifo = m_dir.path(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(Cm_OpenErrorFile(Cm_WidePtr(fifo), 0), 0); // returns at once
    EXPECT_EQ(Cm_ErrorFileFailure(), ENXIO);             // no reader: the open fails
    EXPECT_EQ(Cm_OpenErrorFile(u"/dev/null", 1), 0);
    EXPECT_EQ(Cm_ErrorFileFailure(), kCmNotRegularFile);

    const QString plain = m_dir.path(QStringLiteral("plain.log"));
    ASSERT_NE(Cm_OpenErrorFile(Cm_WidePtr(plain), 0), 0);
    EXPECT_EQ(Cm_ErrorFileFailure(), 0);
    {
        FileSizeLimit limit(40);
        Cm_WriteErrorString(u"a trace line longer than the limit allows");
    }
    Cm_CloseErrorFile();
    EXPECT_EQ(Cm_ErrorFileFailure(), EFBIG);
}

TEST(ErrorMessageText, FormatsCodeAndSystemText) {
    EXPECT_EQ(Cm_GetErrorMessage(2, 0), QStringLiteral("[Error:2] No such file or directory\n"));
    EXPECT_EQ(Cm_GetErrorMessage(5, 5), QString());
    win::SetLastError(EACCES);
    EXPECT_EQ(Cm_GetErrorMessage(-1, 0), QStringLiteral("[Error:13] Permission denied\n"));
}

TEST(LastError, IsPerThread) {
    win::SetLastError(7);
    DWORD other = 99;
    std::thread([&] { other = win::GetLastError(); }).join();
    EXPECT_EQ(other, 0u);
    EXPECT_EQ(win::GetLastError(), 7u);
}

} // namespace
