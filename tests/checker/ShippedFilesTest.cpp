#include "ShippedFiles.h"

#include "../support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace vorn::checker;

TEST(ShippedFilesTest, StartFolderThenProgramFolderThenInstallPrefixHoldTheTemplates) {
    TestDir root;
    const QString start = root.path(QStringLiteral("start"));
    const QString program = root.path(QStringLiteral("prefix/bin"));
    ASSERT_TRUE(QDir().mkpath(start) && QDir().mkpath(program));

    // Nothing anywhere: the installed folder, so the caller reports its files missing.
    EXPECT_EQ(ShippedFilesDir(start, program), root.path(QStringLiteral("prefix/share/vorn")));

    ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/Template")));
    EXPECT_EQ(ShippedFilesDir(start, program), program);

    // A folder started from by hand keeps its own copy (portable use).
    ASSERT_TRUE(QDir().mkpath(start + QStringLiteral("/Template")));
    EXPECT_EQ(ShippedFilesDir(start, program), start);
    EXPECT_EQ(ShippedFilesDir(QString(), program), program);
}
