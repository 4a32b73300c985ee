#include "HeatgaugeSettings.h"
#include "ProfileText.h"
#include "SafeFile.h"

#include "../support/FileHazards.h"
#include "../support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const WinRect kDefaultPlace{920, 676, 1000, 700};

struct ReadCase {
    const char* name;
    QByteArray file;
    WinRect place;
    int alpha, show, top, mouse, maxTemp, minTemp, baseColor;
};

TEST(SettingsReading, EveryRuleOfTheFile) {
    const ReadCase cases[] = {
        {"no file", "", kDefaultPlace, 100, 1, 1, 1, 60, 0, 40},
        {"other section only", "[Other]\r\nWndAlpha=20\r\n", kDefaultPlace, 100, 1, 1, 1, 60, 0,
         40},
        {"empty values read as -1, then the ranges",
         "[SysEnv]\r\nWndAlpha=\r\nWndShow=\r\nMaxTemp=\r\nMinTemp=\r\nBaseColor=\r\n",
         kDefaultPlace, -1, -1, 1, 1, 40, 0, 0},
        {"no number reads as 0", "[SysEnv]\nWndAlpha=abc\nMaxTemp=x9\nWndTop=+\n", kDefaultPlace, 0,
         1, 0, 1, 40, 0, 40},
        {"clamped", "[SysEnv]\nMaxTemp=100\nMinTemp=-5\nBaseColor=90\n", kDefaultPlace, 100, 1, 1,
         1, 80, 0, 80},
        {"leading digits count", "[SysEnv]\nWndAlpha=50%\nMinTemp= -3 \nMaxTemp=75.9\n",
         kDefaultPlace, 50, 1, 1, 1, 75, 0, 40},
        {"names in any case, blanks and quotes around values",
         "[sysenv]\r\n  wndalpha = \"80\" \r\nWNDMOUSE\t=\t0\r\n", kDefaultPlace, 80, 1, 1, 0, 60,
         0, 40},
        {"the first of two keys counts", "[SysEnv]\nWndShow=0\nWndShow=1\n", kDefaultPlace, 100, 0,
         1, 1, 60, 0, 40},
        {"a full position",
         "[SysEnv]\nWndwPos=10 20 90 44\n",
         {10, 20, 90, 44},
         100,
         1,
         1,
         1,
         60,
         0,
         40},
        {"two numbers move the corner only",
         "[SysEnv]\nWndwPos=10 20\n",
         {10, 20, 1000, 700},
         100,
         1,
         1,
         1,
         60,
         0,
         40},
        {"numbers up to the first that fails",
         "[SysEnv]\nWndwPos=-5 x 7 8\n",
         {-5, 676, 1000, 700},
         100,
         1,
         1,
         1,
         60,
         0,
         40},
        {"huge numbers saturate", "[SysEnv]\nWndAlpha=99999999999\n", kDefaultPlace, 2147483647, 1,
         1, 1, 60, 0, 40},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HeatgaugeSettings s = ParseSettings(c.file, kDefaultPlace);
        EXPECT_TRUE(s.place == c.place);
        EXPECT_EQ(s.wndAlpha, c.alpha);
        EXPECT_EQ(s.wndShow, c.show);
        EXPECT_EQ(s.wndTop, c.top);
        EXPECT_EQ(s.wndMouse, c.mouse);
        EXPECT_EQ(s.maxTemp, c.maxTemp);
        EXPECT_EQ(s.minTemp, c.minTemp);
        EXPECT_EQ(s.baseColor, c.baseColor);
    }
}

TEST(SettingsWriting, ANewFileHoldsExactlyTheProfileText) {
    HeatgaugeSettings s;
    s.place = {-12, 3, 68, 27};
    s.wndAlpha = 60;
    s.wndMouse = 0;
    EXPECT_EQ(WriteSettings(QByteArray(), s), QByteArray("[SysEnv]\r\n"
                                                         "WndwPos=-12 3 68 27\r\n"
                                                         "WndAlpha=60\r\n"
                                                         "WndShow=1\r\n"
                                                         "WndTop=1\r\n"
                                                         "WndMouse=0\r\n"
                                                         "MaxTemp=60\r\n"
                                                         "MinTemp=0\r\n"
                                                         "BaseColor=40\r\n"));
}

TEST(SettingsWriting, OtherTextKeepsItsBytesAndKeysAreReplacedInPlace) {
    const QByteArray before = "; kept\n[Other]\nA=1\n\n[SYSENV]\nMaxTemp = 100\nMine=yes\n\n"
                              "[Last]\nB=2";
    HeatgaugeSettings s = ParseSettings(before, kDefaultPlace);
    EXPECT_EQ(WriteSettings(before, s), QByteArray("; kept\n[Other]\nA=1\n\n[SYSENV]\n"
                                                   "MaxTemp=80\r\n"
                                                   "Mine=yes\n"
                                                   "WndwPos=920 676 1000 700\r\n"
                                                   "WndAlpha=100\r\n"
                                                   "WndShow=1\r\n"
                                                   "WndTop=1\r\n"
                                                   "WndMouse=1\r\n"
                                                   "MinTemp=0\r\n"
                                                   "BaseColor=40\r\n"
                                                   "\n[Last]\nB=2"));
}

// One tray icon for all disks is the newer choice: a file of the old
// program reads as an icon per disk and is written back without the key.
TEST(SettingsReading, TheSingleTrayIconOnlyWhenTheFileAsksForIt) {
    const QByteArray old = "[SysEnv]\r\nWndAlpha=80\r\n";
    HeatgaugeSettings s = ParseSettings(old, kDefaultPlace);
    EXPECT_EQ(s.oneTrayIcon, 0);
    EXPECT_FALSE(WriteSettings(old, s).contains("OneTrayIcon"));

    s.oneTrayIcon = 1;
    const QByteArray chosen = WriteSettings(old, s);
    EXPECT_TRUE(chosen.contains("OneTrayIcon=1\r\n"));
    EXPECT_EQ(ParseSettings(chosen, kDefaultPlace).oneTrayIcon, 1);
    s.oneTrayIcon = 0;
    EXPECT_TRUE(WriteSettings(chosen, s).contains("OneTrayIcon=0\r\n"));
}

TEST(SettingsFile, ReplacedWholeAndReadBack) {
    TestDir dir;
    const QString path = SettingsPath(dir.path());
    EXPECT_TRUE(path.endsWith(QLatin1String("/HeatgaugeMini.ini")));
    ASSERT_TRUE(dir.write(QStringLiteral("HeatgaugeMini.ini"), "[Keep]\r\nX=1\r\n"));
    HeatgaugeSettings s;
    s.place = {1, 2, 3, 4};
    s.wndTop = 0;
    ASSERT_TRUE(SaveSettingsFile(path, s));
    const QByteArray bytes = dir.read(QStringLiteral("HeatgaugeMini.ini"));
    EXPECT_TRUE(bytes.startsWith("[Keep]\r\nX=1\r\n[SysEnv]\r\nWndwPos=1 2 3 4\r\n"));
    const HeatgaugeSettings back = ParseSettings(bytes, kDefaultPlace);
    EXPECT_TRUE(back.place == s.place);
    EXPECT_EQ(back.wndTop, 0);
    // A folder that cannot take the file: the save fails and says so.
    EXPECT_FALSE(SaveSettingsFile(dir.path(QStringLiteral("missing/HeatgaugeMini.ini")), s));

    // A link planted at the name is neither followed nor replaced.
    TestDir elsewhere;
    ASSERT_TRUE(elsewhere.write(QStringLiteral("victim"), "keep"));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(PlantLink(dir.path(), path, elsewhere.path(QStringLiteral("victim"))));
    EXPECT_FALSE(SaveSettingsFile(path, s));
    EXPECT_EQ(elsewhere.read(QStringLiteral("victim")), QByteArray("keep"));
}

// A file that is there but cannot be read would lose everything but our
// keys if it were replaced: it is left exactly as it is.
TEST(SettingsFile, AFileThatCannotBeReadIsNeverReplaced) {
    TestDir dir;
    const QString path = SettingsPath(dir.path());
    QByteArray large = "[Other]\r\n";
    while (large.size() < 77 * 1024)
        large += "Key=a value the monitor does not know\r\n";
    ASSERT_TRUE(dir.write(QStringLiteral("HeatgaugeMini.ini"), large));
    int failure = 0;
    EXPECT_FALSE(ReadSettingsFile(path, &failure));
    EXPECT_EQ(failure, kCmFileTooLarge);
    EXPECT_FALSE(SaveSettingsFile(path, HeatgaugeSettings{}));
    EXPECT_EQ(dir.read(QStringLiteral("HeatgaugeMini.ini")), large);

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(ReadSettingsFile(path, &failure), QByteArray()) << "no file reads as empty";
    EXPECT_TRUE(SaveSettingsFile(path, HeatgaugeSettings{}));
}

} // namespace
