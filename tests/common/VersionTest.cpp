#include "Version.h"

#include "../support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

// The test program's own record comes from tests/common/CMakeLists.txt.
TEST(VersionRecord, ReadsTheRunningProgramsRecord) {
    CVersion version;
    ASSERT_EQ(version.ReadResourceInformation(nullptr), 1);

    EXPECT_EQ(version.GetAppDllVersion(), QStringLiteral("1.0.1.8"));
    EXPECT_EQ(version.GetAppMajorVersion(), QStringLiteral("1"));
    EXPECT_EQ(version.GetAppMinorVersion(), QStringLiteral("0"));
    EXPECT_EQ(version.GetAppVersion(), QStringLiteral("1, 0, 1, 8"));
    EXPECT_EQ(version.GetAppProductVersion(), QStringLiteral("1, 0, 1, 8"));
    EXPECT_EQ(version.GetAppInternalName(), QStringLiteral("VornCom Tests"));
    EXPECT_EQ(version.GetAppOriginalname(), QStringLiteral("VornComTests"));
    EXPECT_EQ(version.GetAppDescription(), QStringLiteral("VornCom unit tests"));
    EXPECT_EQ(version.GetAppCopyright(), QStringLiteral("Copyright (C) Vorn \"test\" \\ build"));
    EXPECT_EQ(version.GetAppCompany(), QString());

    const CmFixedFileInfo& fixed = version.GetFixedFileInfo();
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00010008u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x00010008u);
    EXPECT_EQ(version.GetLanguage(), 0x0411);
    EXPECT_EQ(version.GetCodePage(), 1200);

    EXPECT_TRUE(QFileInfo(version.GetAppFilepath()).isAbsolute());
    EXPECT_EQ(QFileInfo(version.GetAppFilepath()).fileName(), QStringLiteral("VornComTests"));
    EXPECT_EQ(version.GetExeName(), QStringLiteral("VornComTests"));
}

TEST(VersionRecord, ModuleWithoutRecordSetsOnlyThePath) {
    void* library = dlopen("libVornCom.so", RTLD_LAZY | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    CVersion version;
    EXPECT_EQ(version.ReadResourceInformation(library), 0);
    dlclose(library);
    EXPECT_EQ(QFileInfo(version.GetAppFilepath()).fileName(), QStringLiteral("libVornCom.so"));
    EXPECT_EQ(version.GetAppDllVersion(), QString());
    EXPECT_EQ(version.GetAppInternalName(), QString());
}

class VersionWithPath : public CVersion {
public:
    void setPath(const QString& path) { m_strFilePath = path; }
};

TEST(VersionFileTimes, ComeFromTheProgramFile) {
    CVersion version;
    EXPECT_EQ(version.GetAppWriteDate(), QString()) << "unknown before reading";
    EXPECT_EQ(version.InitInstance(), 1);
    EXPECT_FALSE(version.GetAppWriteDate().isEmpty());
    EXPECT_FALSE(version.GetAppLastAccessDate().isEmpty());

    VersionWithPath missing;
    missing.setPath(QStringLiteral("/nonexistent/program"));
    EXPECT_EQ(missing.ReadFileTime(), 0);
    EXPECT_EQ(missing.GetAppWriteDate(), QString());
    VersionWithPath unnamed;
    EXPECT_EQ(unnamed.ReadFileTime(), 0);
}

class MachineEnv : public ::testing::Test {
protected:
    void TearDown() override {
        QDir::setCurrent(m_savedDir);
        if (m_savedTemp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_savedTemp);
    }
    QString m_savedDir = QDir::currentPath();
    QByteArray m_savedTemp = qgetenv("TMPDIR");
};

TEST_F(MachineEnv, FoldersEndInOneSeparator) {
    TestDir work;
    TestDir temp;
    const QString workPath = QFileInfo(work.path()).canonicalFilePath();
    const QString tempPath = QFileInfo(temp.path()).canonicalFilePath();
    ASSERT_TRUE(QDir::setCurrent(workPath));
    qputenv("TMPDIR", tempPath.toLocal8Bit() + "/");

    CVersion version;
    EXPECT_EQ(version.GetMachineEnv(), 1);
    EXPECT_EQ(version.GetCurrentDir(), workPath + QLatin1Char('/'));
    EXPECT_EQ(version.GetTempDir(), tempPath + QLatin1Char('/'));
    EXPECT_FALSE(version.GetUserName().isEmpty());
    EXPECT_FALSE(version.GetComputerName().isEmpty());

    ASSERT_TRUE(QDir::setCurrent(QStringLiteral("/")));
    EXPECT_EQ(version.GetMachineEnv(), 1);
    EXPECT_EQ(version.GetCurrentDir(), QStringLiteral("/"));
}

TEST_F(MachineEnv, StopsAtAnUnreadableCurrentDirectory) {
    QString gone;
    {
        TestDir dir;
        gone = dir.path(QStringLiteral("gone"));
        ASSERT_TRUE(QDir().mkdir(gone));
        ASSERT_TRUE(QDir::setCurrent(gone));
    }
    CVersion version;
    EXPECT_EQ(version.GetMachineEnv(), 0);
    EXPECT_EQ(version.GetCurrentDir(), QString());
    EXPECT_EQ(version.GetTempDir(), QString()) << "nothing after the first failure";
}

} // namespace
