#include "QtTranslation.h"

#include "../../support/TempDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <gtest/gtest.h>

namespace {

QString YesText() {
    return QCoreApplication::translate("QPlatformTheme", "&Yes");
}

TEST(QtTranslation, JapaneseQuestionButtonsWhileInstalledEnglishAfter) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + QStringLiteral("/qtbase_ja.qm")))
        GTEST_SKIP() << "Qt's Japanese translation is not installed";
    {
        const CQtTranslation translation;
        ASSERT_TRUE(translation.IsLoaded());
        EXPECT_EQ(YesText(), QStringLiteral("はい(&Y)"));
    }
    EXPECT_EQ(YesText(), QStringLiteral("&Yes"));
}

TEST(QtTranslation, AFolderWithoutTheFileLeavesQtEnglish) {
    TestDir empty;
    const CQtTranslation translation(QStringLiteral("ja"), empty.path());
    EXPECT_FALSE(translation.IsLoaded());
    EXPECT_EQ(YesText(), QStringLiteral("&Yes"));
}

} // namespace
