#include "SelectedFolder.h"

#include "../../support/TempDir.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

class SelectedFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldHome = qgetenv("HOME");
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        // The documents folder follows HOME once no user-dirs file names one.
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.path(".config").toUtf8());
        Cm_SetFolderDialog([this](QWidget*, const QString& title, const QString& start) {
            m_title = title;
            m_start = start;
            return m_answer;
        });
    }
    void TearDown() override {
        Cm_SetFolderDialog({});
        qputenv("HOME", m_oldHome);
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }

    TestDir m_home;
    QByteArray m_oldHome, m_oldConfig;
    QString m_title, m_start, m_answer;
};

TEST_F(SelectedFolderTest, DefaultTitleAndDocumentsFolder) {
    // No documents folder: no start folder.
    EXPECT_EQ(Cm_SelectedFolder(nullptr), QString());
    EXPECT_EQ(m_title, QStringLiteral("ﾌｫﾙﾀﾞを選んでください"));
    EXPECT_EQ(m_start, QString());

    ASSERT_TRUE(QDir(m_home.path()).mkdir("Documents"));
    m_answer = m_home.path("Documents/reports");
    EXPECT_EQ(Cm_SelectedFolder(nullptr, QString(), QString()), m_answer);
    EXPECT_EQ(m_start, m_home.path("Documents"));
}

TEST_F(SelectedFolderTest, GivenTitleAndStartPassThrough) {
    const QString title = QStringLiteral("ディスク情報を保存するフォルダを選択してください");
    EXPECT_EQ(Cm_SelectedFolder(nullptr, title, "/var/tmp"), QString()); // cancelled
    EXPECT_EQ(m_title, title);
    EXPECT_EQ(m_start, QStringLiteral("/var/tmp"));
}

} // namespace
