#include "DrivewatchOptions.h"
#include "PassOptions.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace vorn::diskpass;
using namespace vorn::drivewatch;

namespace {

QStringList Args(std::initializer_list<const char*> words) {
    QStringList args{QStringLiteral("/usr/bin/prog")};
    for (const char* word : words)
        args.append(QString::fromUtf8(word));
    return args;
}

struct SwitchCase {
    std::initializer_list<const char*> args;
    int init;
    bool mini, enable, disable, ata, scsi;
};

TEST(PassSwitches, TheWindowsRules) {
    const SwitchCase cases[] = {
        {{}, 0, false, false, false, false, false},
        {{"-init", "2", "-Vuda"}, 2, true, false, false, false, false},
        {{"-init"}, 0, false, false, false, false, false},
        {{"-init", "apartment"}, 0, false, false, false, false, false},
        {{"-init", "258"}, 2, false, false, false, false, false},
        {{"-init", "-Ata"}, 0, false, false, false, true, false},
        {{"-ATA"}, 0, false, false, false, true, false},
        {{"-ata", "-Scsi"}, 0, false, false, false, false, true},
        {{"-SCSI", "-Ata"}, 0, false, false, false, true, false},
        {{"-Enable", "-disable"}, 0, false, true, true, false, false},
        {{"Enable", "-Enabled", "--ata", "-vuda"}, 0, true, false, false, false, false},
    };
    for (const SwitchCase& c : cases) {
        const QStringList args = Args(c.args);
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const PassOptions o = ParsePassSwitches(args);
        EXPECT_EQ(o.m_nOptInit, c.init);
        EXPECT_EQ(o.m_bOptMini, c.mini);
        EXPECT_EQ(o.m_bOptEnable, c.enable);
        EXPECT_EQ(o.m_bOptDisable, c.disable);
        EXPECT_EQ(o.m_bOptAta, c.ata);
        EXPECT_EQ(o.m_bOptScsi, c.scsi);
    }
}

TEST(DrivewatchOptions, ToolOptionsBesideTheSwitches) {
    const DrivewatchParse p = ParseDrivewatchArguments(Args(
        {"-init", "2", "--json", "-sCsI", "--save", "/tmp/out", "--log=run.log", "--baseline"}));
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    EXPECT_EQ(p.options.checker.m_nOptInit, 2);
    EXPECT_TRUE(p.options.checker.m_bOptScsi);
    EXPECT_TRUE(p.options.json);
    EXPECT_TRUE(p.options.baseline);
    EXPECT_EQ(p.options.saveDir, QStringLiteral("/tmp/out"));
    EXPECT_EQ(p.options.logFile, QStringLiteral("run.log"));

    // The word after "-init" is its number whatever it reads as, but the
    // tool's own options after it still count.
    EXPECT_TRUE(ParseDrivewatchArguments(Args({"-init", "x"})).error.isEmpty());
    EXPECT_TRUE(ParseDrivewatchArguments(Args({"-init", "-5"})).error.isEmpty());
    EXPECT_TRUE(ParseDrivewatchArguments(Args({"-init", "--json"})).options.json);
    EXPECT_TRUE(ParseDrivewatchArguments(Args({"-h"})).options.help);
}

TEST(DrivewatchOptions, BadCommandLinesGiveOneLine) {
    const std::initializer_list<const char*> bad[] = {
        {"--jsn"}, {"-Enabel"}, {"stray"}, {"--save"}, {"--log"}, {"--save="}, {"--json", "2"},
    };
    for (const auto& args : bad) {
        const DrivewatchParse p = ParseDrivewatchArguments(Args(args));
        EXPECT_FALSE(p.error.isEmpty()) << *args.begin();
        EXPECT_FALSE(p.error.contains(QLatin1Char('\n')));
    }
}

// A date is its local midnight, a time without a zone local, one with Z
// universal; the history's filters make no sense on a run that reads disks.
TEST(DrivewatchOptions, HistoryOptions) {
    const DrivewatchParse day =
        ParseDrivewatchArguments(Args({"--history", "--since", "2024-05-01"}));
    ASSERT_TRUE(day.error.isEmpty()) << qPrintable(day.error);
    EXPECT_EQ(day.options.sinceMs, QDate(2024, 5, 1).startOfDay().toMSecsSinceEpoch());
    const DrivewatchParse utc = ParseDrivewatchArguments(
        Args({"--history", "--since=2024-05-01T12:00:00Z", "--disk", "3"}));
    ASSERT_TRUE(utc.error.isEmpty()) << qPrintable(utc.error);
    EXPECT_EQ(utc.options.sinceMs, 1714564800000);
    EXPECT_EQ(utc.options.historyDisk, 3);

    const std::initializer_list<const char*> bad[] = {
        {"--history", "--since", "yesterday"},
        {"--history", "--disk", "-1"},
        {"--since", "2024-05-01"},
        {"--disk", "1"},
        {"--history", "--changes"},
    };
    for (const auto& args : bad)
        EXPECT_FALSE(ParseDrivewatchArguments(Args(args)).error.isEmpty()) << *args.begin();
}

} // namespace

TEST(DrivewatchOptions, MetricsOptions) {
    DrivewatchParse parse = ParseDrivewatchArguments(Args({"--openmetrics=openmetrics", "-Ata"}));
    EXPECT_TRUE(parse.options.metrics && parse.options.openMetricsFormat);
    EXPECT_TRUE(parse.options.checker.m_bOptAta);

    // --serve's address is optional, also when a switch follows it.
    parse = ParseDrivewatchArguments(Args({"--serve", "-Scsi"}));
    EXPECT_EQ(parse.error, QString());
    EXPECT_EQ(parse.options.listen, QStringLiteral("127.0.0.1:9633"));
    EXPECT_TRUE(parse.options.checker.m_bOptScsi);
    parse = ParseDrivewatchArguments(Args({"--serve", "0.0.0.0:9100", "--interval", "60"}));
    EXPECT_EQ(parse.options.listen, QStringLiteral("0.0.0.0:9100"));
    EXPECT_EQ(parse.options.intervalSeconds, 60);

    for (auto words : {std::initializer_list<const char*>{"--openmetrics=json"},
                       {"--openmetrics", "--json"},
                       {"--openmetrics", "--history"},
                       {"--serve", "--openmetrics"},
                       {"--serve", "--no-wake"},
                       {"--serve", "--interval", "5"},
                       {"--interval", "60"},
                       {"--output", "x.prom"}}) {
        parse = ParseDrivewatchArguments(Args(words));
        EXPECT_FALSE(parse.error.isEmpty()) << *words.begin();
        EXPECT_FALSE(parse.error.contains(QLatin1Char('\n')));
    }
}
