// Every real drive's smartctl report, rebuilt as a simulated disk and read by
// drivewatch: what drivewatch --json says of each drive is held against what
// smartctl said of the same drive. One test per promise; each failure lists
// the first offending reports and how many there are.

#include "DriveDatabaseChoice.h"
#include "ReportImporter.h"
#include "SimDiskWriter.h"

#include "DrivewatchRun.h"
#include "ErrorLog.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "../support/ScopedSimMachine.h"
#include "DriveKnowledge.h"
#include "DrivePresets.h"

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

using namespace realworld;

namespace {

const QString kSourceRoot = QStringLiteral(VORN_SOURCE_ROOT);
const QString kRealWorld = QStringLiteral(VORN_REALWORLD_DIR);
constexpr int kListed = 15;
constexpr double kPowerOnShare = 0.95;

struct Drive {
    QString report;
    ImportedDisk disk;
    QJsonObject json; // empty when drivewatch did not show the disk
};

// The whole machine, imported and read once for all the tests.
struct RealDrives {
    QString skipReason;
    QString runError;
    QString runErrText; // what drivewatch wrote to its error stream
    std::vector<Drive> drives;
    QStringList unreadable; // "<report>: <why>"
    QStringList empty;      // reports that hold no drive
    int reports = 0;
};

QJsonObject parsedDisks(const QByteArray& out, std::map<int, QJsonObject>* byIndex,
                        QString* error) {
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &parse);
    if (parse.error != QJsonParseError::NoError) {
        *error = QStringLiteral("drivewatch --json did not parse: ") + parse.errorString();
        return {};
    }
    for (const QJsonValue& disk : doc.object().value(QStringLiteral("disks")).toArray())
        (*byIndex)[disk.toObject().value(QStringLiteral("index")).toInt()] = disk.toObject();
    return doc.object();
}

void readMachine(RealDrives* all) {
    const QDir reports(kRealWorld + QStringLiteral("/reports"));
    const QStringList names = reports.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    if (!QFileInfo(kRealWorld).isDir() || names.isEmpty()) {
        all->skipReason = QStringLiteral("no real drives' reports in ") + kRealWorld;
        return;
    }
    // Some three thousand small files: in memory where the system offers a
    // place, as a disk shared with builds makes each creation slow.
    // REALWORLD_MACHINE_DIR keeps the machine for a look with drivewatch.
    static QTemporaryDir scratch(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                     ? QStringLiteral("/dev/shm/realdrives-XXXXXX")
                                     : QDir::tempPath() + QStringLiteral("/realdrives-XXXXXX"));
    static QTemporaryDir cwd;
    const QString keep = qEnvironmentVariable("REALWORLD_MACHINE_DIR");
    const QDir machine(keep.isEmpty() ? scratch.path() : keep);
    all->reports = int(names.size());
    for (const QString& name : names) {
        QFile file(reports.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            all->unreadable << name + QStringLiteral(": cannot open");
            continue;
        }
        ImportOutcome outcome = importReport(QString::fromUtf8(file.readAll()));
        const QString report = QFileInfo(name).completeBaseName();
        if (outcome.kind == ImportKind::NoDriveData) {
            all->empty << report;
            continue;
        }
        if (outcome.kind == ImportKind::Unreadable) {
            all->unreadable << report + QStringLiteral(": ") + outcome.problem;
            continue;
        }
        const int index = int(all->drives.size());
        QString error;
        const QString folder = machine.filePath(
            QStringLiteral("%1-%2").arg(index, 4, 10, QLatin1Char('0')).arg(report));
        if (!writeSimDisk(folder, index, outcome.disk, &error)) {
            all->runError = error;
            return;
        }
        all->drives.push_back({report, std::move(outcome.disk), {}});
    }

    ScopedSimMachine sim(machine.path());
    vorn::drivewatch::DrivewatchEnvironment env;
    env.programDir = kSourceRoot + QStringLiteral("/data");
    env.currentDir = cwd.path();
    env.version = QStringLiteral("0.0.0.0");
    env.now = [] { return std::int64_t{1700000000}; };
    env.sleep = [](int) {};
    const vorn::drivewatch::DrivewatchResult result = vorn::drivewatch::RunDrivewatch(
        {QStringLiteral("drivewatch"), QStringLiteral("--json")}, env);
    Cm_CloseErrorFile();
    all->runErrText = QString::fromUtf8(result.err);
    std::map<int, QJsonObject> byIndex;
    parsedDisks(result.out, &byIndex, &all->runError);
    for (std::size_t i = 0; i < all->drives.size(); ++i)
        all->drives[i].json = byIndex[int(i)];
}

// The database the reports were printed through, installed before the
// machine is read and kept for the program's life.
const ScopedChosenDriveDatabase& chosenDatabase() {
    static const ScopedChosenDriveDatabase database;
    return database;
}

const RealDrives& realDrives() {
    static const std::unique_ptr<RealDrives> all = [] {
        chosenDatabase();
        auto drives = std::make_unique<RealDrives>();
        readMachine(drives.get());
        return drives;
    }();
    return *all;
}

// The reports that break one promise, with the reason for each.
class Offenders {
public:
    explicit Offenders(const char* promise) : m_promise(promise) {}

    void add(const Drive& drive, const QString& why) {
        ++m_count;
        if (m_lines.size() < kListed)
            m_lines << QStringLiteral("  %1: %2").arg(drive.report, why);
    }
    void checked() { ++m_checked; }

    int count() const { return m_count; }
    int checkedCount() const { return m_checked; }

    std::string summary() const {
        std::ostringstream out;
        out << m_promise << ": " << m_count << " of " << m_checked << " drives offend";
        if (m_count > kListed)
            out << " (the first " << kListed << " listed)";
        out << "\n" << m_lines.join(QLatin1Char('\n')).toStdString();
        return out.str();
    }

private:
    const char* m_promise;
    QStringList m_lines;
    int m_count = 0;
    int m_checked = 0;
};

QString text(const QJsonValue& value) {
    if (value.isUndefined())
        return QStringLiteral("(missing)");
    if (value.isNull())
        return QStringLiteral("null");
    if (value.isString())
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return QString::number(value.toDouble(), 'f', 0);
}

// A whole JSON number that is exactly the given one.
bool isNumber(const QJsonValue& value, double expected) {
    return value.isDouble() && value.toDouble() == expected;
}

QJsonArray attributesOf(const Drive& drive) {
    return drive.json.value(QStringLiteral("attributes")).toArray();
}

// The drive's JSON attribute for each expected one, by position: the
// listing test holds the order.
QJsonObject shownAttribute(const Drive& drive, std::size_t position) {
    const QJsonArray shown = attributesOf(drive);
    if (qsizetype(position) >= shown.size())
        return {};
    return shown[qsizetype(position)].toObject();
}

class RealDrivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const RealDrives& all = realDrives();
        if (!all.skipReason.isEmpty())
            GTEST_SKIP() << all.skipReason.toStdString();
        ASSERT_TRUE(all.runError.isEmpty()) << all.runError.toStdString();
    }

    static bool haveDatabase() { return chosenDatabase().present(); }
    static std::string noDatabase() {
        return "no drive database at " + chosenDriveDatabase().toStdString() +
               ": the names and formats smartctl used are unknown";
    }

    // Runs check on every drive of the protocol (both when unset) that
    // drivewatch showed; a drive it did not show offends every promise.
    static Offenders over(const char* promise, const std::function<bool(const Drive&)>& applies,
                          const std::function<void(const Drive&, Offenders*)>& check) {
        Offenders offenders(promise);
        for (const Drive& drive : realDrives().drives) {
            if (!applies(drive))
                continue;
            offenders.checked();
            if (drive.json.isEmpty())
                offenders.add(drive, QStringLiteral("not shown by drivewatch"));
            else
                check(drive, &offenders);
        }
        return offenders;
    }

    static bool ata(const Drive& d) { return d.disk.protocol == Protocol::Ata; }
    static bool any(const Drive&) { return true; }

    // Every expected attribute whose shown one differs in what get reads.
    static Offenders perAttribute(
        const char* promise,
        const std::function<QString(const AttributeExpectation&, const QJsonObject&)>& differs) {
        return over(promise, ata, [&](const Drive& drive, Offenders* offenders) {
            QStringList wrong;
            const auto& expected = drive.disk.expect.attributes;
            for (std::size_t i = 0; i < expected.size(); ++i) {
                const QString why = differs(expected[i], shownAttribute(drive, i));
                if (!why.isEmpty())
                    wrong << QStringLiteral("%1 %2").arg(expected[i].id).arg(why);
            }
            if (!wrong.isEmpty())
                offenders->add(drive, QStringLiteral("%1 attribute(s): ").arg(wrong.size()) +
                                          wrong.mid(0, 2).join(QStringLiteral("; ")));
        });
    }
};

TEST_F(RealDrivesTest, EveryReportWithADriveImports) {
    const RealDrives& all = realDrives();
    std::cout << all.reports << " reports, " << all.drives.size() << " drives imported, "
              << all.empty.size() << " hold no drive" << (all.empty.isEmpty() ? "" : ": ")
              << all.empty.join(' ').toStdString() << "\n";
    EXPECT_TRUE(all.unreadable.isEmpty())
        << all.unreadable.size() << " reports not imported:\n"
        << all.unreadable.mid(0, kListed).join(QLatin1Char('\n')).toStdString();
}

TEST_F(RealDrivesTest, EveryAttributeIsListedInSectorOrder) {
    const Offenders o =
        over("attribute ids in sector order", ata, [](const Drive& d, Offenders* out) {
            QList<int> want, got;
            for (const AttributeExpectation& a : d.disk.expect.attributes)
                want << a.id;
            for (const QJsonValue& a : attributesOf(d))
                got << a.toObject().value(QStringLiteral("id")).toInt();
            if (want != got) {
                QStringList missing;
                for (int id : want) {
                    if (!got.contains(id))
                        missing << QString::number(id);
                }
                out->add(
                    d, QStringLiteral("%1 listed of %2, missing [%3]%4")
                           .arg(got.size())
                           .arg(want.size())
                           .arg(missing.join(QLatin1Char(' ')),
                                missing.isEmpty() ? QStringLiteral(", order differs") : QString()));
            }
        });
    EXPECT_EQ(o.count(), 0) << o.summary();
}

TEST_F(RealDrivesTest, NoRawValueIsNegative) {
    const Offenders o = over("raw never negative", ata, [](const Drive& d, Offenders* out) {
        QStringList wrong;
        for (const QJsonValue& a : attributesOf(d)) {
            const QJsonValue raw = a.toObject().value(QStringLiteral("raw"));
            if (!raw.isDouble() || raw.toDouble() < 0)
                wrong << QStringLiteral("%1 raw %2")
                             .arg(a.toObject().value(QStringLiteral("id")).toInt())
                             .arg(text(raw));
        }
        if (!wrong.isEmpty())
            out->add(d, wrong.mid(0, 3).join(QStringLiteral("; ")));
    });
    EXPECT_EQ(o.count(), 0) << o.summary();
}

TEST_F(RealDrivesTest, Raw48IsTheSixRawBytes) {
    const Offenders o =
        perAttribute("raw48 equals the encoded bytes", [](const AttributeExpectation& want,
                                                          const QJsonObject& shown) {
            const QJsonValue raw48 = shown.value(QStringLiteral("raw48"));
            if (isNumber(raw48, double(want.raw48)))
                return QString();
            return QStringLiteral("raw48 %1, want %2").arg(text(raw48)).arg(want.raw48);
        });
    EXPECT_EQ(o.count(), 0) << o.summary();
}

// The reports were printed by several smartctl versions, each with the
// database of its day; where that database read an attribute in another
// format than ours does (240 of some disks, ids it did not know yet), the
// printed text says nothing about our decoding and is counted apart.
TEST_F(RealDrivesTest, RawTextIsWhatSmartctlPrinted) {
    if (!haveDatabase())
        GTEST_SKIP() << noDatabase();
    int otherDatabase = 0;
    int otherMinMaxGuess = 0;
    const Offenders o =
        over("raw_text equals smartctl's", ata, [&](const Drive& d, Offenders* out) {
            const vorn::hdd::DriveKnowledge knowledge = vorn::hdd::lookupDriveKnowledge(
                d.json.value(QStringLiteral("model")).toString(),
                d.json.value(QStringLiteral("firmware")).toString());
            QStringList wrong;
            const auto& expected = d.disk.expect.attributes;
            for (std::size_t i = 0; i < expected.size(); ++i) {
                const AttributeExpectation& want = expected[i];
                const auto printedAs = vorn::hdd::rawFormatFromName(want.format.toLatin1());
                const auto ours = knowledge.attributes.find(want.id);
                const vorn::hdd::RawFormat oursFormat = ours == knowledge.attributes.end()
                                                            ? vorn::hdd::RawFormat::Raw48
                                                            : ours->second.format;
                const QJsonObject shown = shownAttribute(d, i);
                const QJsonValue got = shown.value(QStringLiteral("raw_text"));
                if (got.isString() && got.toString() == want.rawText)
                    continue;
                if (printedAs == vorn::hdd::RawFormat::TempMinMax && got.isString() &&
                    got.toString().section(QLatin1Char(' '), 0, 0) ==
                        want.rawText.section(QLatin1Char(' '), 0, 0)) {
                    // Which bytes hold the minimum, maximum and over-limit count is
                    // a guess for both programs; the degrees must agree.
                    ++otherMinMaxGuess;
                    continue;
                }
                if (printedAs && *printedAs != oursFormat) {
                    // Our decoding of the same bytes in the format smartctl's
                    // database named must give what it printed.
                    vorn::hdd::AttributeBytes entry{};
                    entry[0] = BYTE(want.id);
                    entry[3] = BYTE(shown.value(QStringLiteral("current")).toInt());
                    entry[4] = BYTE(shown.value(QStringLiteral("worst")).toInt());
                    for (int b = 0; b < 6; ++b)
                        entry[std::size_t(5 + b)] = BYTE(want.raw48 >> (8 * b));
                    if (vorn::hdd::decodeRaw(*printedAs, entry).text == want.rawText) {
                        ++otherDatabase;
                        continue;
                    }
                }
                wrong << QStringLiteral("%1 (%2, %3) %4, want \"%5\"")
                             .arg(want.id)
                             .arg(want.name, want.format, text(got), want.rawText);
            }
            if (!wrong.isEmpty())
                out->add(d, QStringLiteral("%1 attribute(s): ").arg(wrong.size()) +
                                wrong.mid(0, 2).join(QStringLiteral("; ")));
        });
    std::cout << otherDatabase << " attributes printed through another database's format, "
              << otherMinMaxGuess << " temperatures with another guess of their min/max bytes\n";
    EXPECT_EQ(o.count(), 0) << o.summary();
}

TEST_F(RealDrivesTest, TemperatureIsSmartctlsOrNull) {
    if (!haveDatabase())
        GTEST_SKIP() << noDatabase();
    const Offenders o = over("temperature", any, [](const Drive& d, Offenders* out) {
        const QJsonValue got = d.json.value(QStringLiteral("temperature"));
        const auto& want = d.disk.expect.temperature;
        const QString source = text(d.json.value(QStringLiteral("temperature_source")));
        const auto& inSectors = d.disk.expect.temperatureInSectors;
        if (want && !isNumber(got, *want))
            out->add(d,
                     QStringLiteral("%1 from %2, want %3 (%4)%5")
                         .arg(text(got), source)
                         .arg(*want)
                         .arg(d.disk.expect.temperatureFrom,
                              inSectors == want ? QString()
                                                : QStringLiteral(", sectors hold %1")
                                                      .arg(inSectors ? QString::number(*inSectors)
                                                                     : QStringLiteral("none"))));
        // drivewatch writes -1 for no reading, as it always has.
        else if (!want && !isNumber(got, -1))
            out->add(d, QStringLiteral("%1 from %2, want none").arg(text(got), source));
    });
    EXPECT_EQ(o.count(), 0) << o.summary();
}

TEST_F(RealDrivesTest, PowerOnHoursAreSmartctlsOnNearlyEveryDrive) {
    if (!haveDatabase())
        GTEST_SKIP() << noDatabase();
    const auto stated = [](const Drive& d) { return d.disk.expect.powerOnHours.has_value(); };
    const Offenders o = over("power_on_hours", stated, [](const Drive& d, Offenders* out) {
        const QJsonValue got = d.json.value(QStringLiteral("power_on_hours"));
        const std::int64_t want = *d.disk.expect.powerOnHours;
        if (!isNumber(got, double(want)))
            out->add(d, QStringLiteral("%1 from %2, want %3 (%4)")
                            .arg(text(got), text(d.json.value(QStringLiteral("power_on_source"))))
                            .arg(want)
                            .arg(d.disk.expect.powerOnFrom));
    });
    ASSERT_GT(o.checkedCount(), 0);
    const double share = 1.0 - double(o.count()) / o.checkedCount();
    std::cout << o.checkedCount() - o.count() << " of " << o.checkedCount()
              << " drives with stated hours agree\n";
    EXPECT_GE(share, kPowerOnShare) << o.summary();
}

TEST_F(RealDrivesTest, CapacityIsExact) {
    const Offenders o = over("capacity_bytes", any, [](const Drive& d, Offenders* out) {
        const QJsonValue got = d.json.value(QStringLiteral("capacity_bytes"));
        if (!isNumber(got, double(d.disk.expect.capacityBytes)))
            out->add(d, QStringLiteral("%1, want %2 (%3-byte sectors)")
                            .arg(text(got))
                            .arg(d.disk.expect.capacityBytes)
                            .arg(d.disk.logicalSectorSize));
    });
    EXPECT_EQ(o.count(), 0) << o.summary();
}

TEST_F(RealDrivesTest, EveryFailedDriveIsFailing) {
    const auto failed = [](const Drive& d) { return d.disk.expect.verdict == Verdict::Failed; };
    const Offenders o =
        over("FAILED drives have status 1", failed, [](const Drive& d, Offenders* out) {
            const QJsonValue got = d.json.value(QStringLiteral("status"));
            if (!isNumber(got, 1))
                out->add(d, QStringLiteral("status %1").arg(text(got)));
        });
    ASSERT_GT(o.checkedCount(), 0);
    EXPECT_EQ(o.count(), 0) << o.summary();
}

TEST_F(RealDrivesTest, EveryDriveFailingNowIsFailingOrInCaution) {
    const auto failingNow = [](const Drive& d) {
        for (const AttributeExpectation& a : d.disk.expect.attributes) {
            if (a.failingNow)
                return true;
        }
        return false;
    };
    const Offenders o = over("FAILING_NOW drives have status 1 or 2", failingNow,
                             [](const Drive& d, Offenders* out) {
                                 const QJsonValue got = d.json.value(QStringLiteral("status"));
                                 if (!isNumber(got, 1) && !isNumber(got, 2))
                                     out->add(d, QStringLiteral("status %1").arg(text(got)));
                             });
    ASSERT_GT(o.checkedCount(), 0);
    EXPECT_EQ(o.count(), 0) << o.summary();
}

} // namespace
