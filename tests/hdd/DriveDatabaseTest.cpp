#include "DriveDatabase.h"
#include "DriveDatabaseInstall.h"
#include "PosixRegex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "../support/ScopedDriveDatabase.h"
#include "../support/ScopedSimMachine.h"
#include "../support/TempDir.h"

using namespace vorn::hdd;

namespace {

const QString kSmallDatabase = QStringLiteral(VORN_SOURCE_ROOT "/tests/hdd/drivedb-small.h");
const QString kReports = QStringLiteral(VORN_SOURCE_ROOT "/../shared/realworld/reports");

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString InstalledDatabase() {
    for (const QString& path : systemDriveDatabasePaths()) {
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

class SmallDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        m_db = parseDriveDatabase(ReadAll(kSmallDatabase),
                                  [this](const QString& line) { m_log.append(line); });
        ASSERT_TRUE(m_db);
    }

    std::shared_ptr<const DriveDatabase> m_db;
    QStringList m_log;
};

} // namespace

TEST_F(SmallDatabase, LeavesOutOnlyTheMalformedEntryWithOneLine) {
    const QByteArray text = ReadAll(kSmallDatabase);
    const int brokenLine = int(text.left(text.indexOf("Example broken entry")).count('\n')) + 1;
    ASSERT_EQ(m_log.size(), 1) << m_log.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(m_log[0].contains(QStringLiteral("line %1:").arg(brokenLine)))
        << m_log[0].toStdString();

    // VERSION, DEFAULT, the broken entry and the USB bridge are not drives.
    ASSERT_EQ(m_db->entries().size(), 3u);
    const DriveDatabaseEntry& flash = m_db->entries()[2];
    EXPECT_EQ(flash.family, QByteArray("Example Flash \"Value\" SSDs"));
    EXPECT_EQ(flash.modelPattern, QByteArray("Example SSD [[:digit:]]+[GT]B|EXFL-[A-Z]+\\.[0-9]"));

    // Lookups compile every expression they reach without a line more.
    m_db->knowledge(QStringLiteral("NO SUCH DRIVE"), QString(), DriveMedium::Unknown);
    EXPECT_EQ(m_log.size(), 1);
}

TEST_F(SmallDatabase, FirstWholeMatchOfModelAndFirmwareGivesFamilyUnitAndTemperature) {
    const struct {
        const char* model;
        const char* firmware;
        const char* family; // empty: no entry matches
        PowerOnUnit unit;
        int temperatureId;
    } cases[] = {
        {"EXAMPLE ES7K100", "AB12", "Example Spinner 7K, firmware AB12", PowerOnUnit::Minutes, 0},
        {"EXAMPLE ES7K100", "AB123", "Example Spinner 7K", PowerOnUnit::HoursMsec, 194},
        {"EXAMPLE ES7K1000", "AB12", "", PowerOnUnit::Unknown, 0},
        {"XEXAMPLE ES7K100", "", "", PowerOnUnit::Unknown, 0},
        {"Example SSD 512GB", "1.0", "Example Flash \"Value\" SSDs", PowerOnUnit::HalfMinutes, 231},
        {"EXFL-QX.7", "", "Example Flash \"Value\" SSDs", PowerOnUnit::HalfMinutes, 231},
        {"EXFL-QXx7", "", "", PowerOnUnit::Unknown, 0},
        {"EXAMPLE BROKEN", "", "", PowerOnUnit::Unknown, 0},
        {"0x1234:0x5678", "", "", PowerOnUnit::Unknown, 0},
    };
    for (const auto& c : cases) {
        const DriveKnowledge k = m_db->knowledge(QString::fromUtf8(c.model),
                                                 QString::fromUtf8(c.firmware), DriveMedium::Hdd);
        const std::string what = std::string(c.model) + " / " + c.firmware;
        EXPECT_EQ(k.family.toStdString(), c.family) << what;
        EXPECT_EQ(k.inDatabase, *c.family != '\0') << what;
        EXPECT_EQ(k.powerOnUnit, c.unit) << what;
        EXPECT_EQ(k.temperatureId, c.temperatureId) << what;
        // The DEFAULT entry names attribute 9 for every drive, as a default.
        ASSERT_TRUE(k.attributes.count(9)) << what;
        EXPECT_EQ(k.attributes.at(9).fromModelEntry, c.unit != PowerOnUnit::Unknown) << what;
    }

    const DriveKnowledge spinner = m_db->knowledge(QStringLiteral("EXAMPLE ES7K100"),
                                                   QStringLiteral("AB12"), DriveMedium::Unknown);
    EXPECT_EQ(spinner.attributes.at(9).name, QStringLiteral("Power_On_Minutes"));
    EXPECT_EQ(spinner.attributes.at(9).format, RawFormat::Min2Hour);
    EXPECT_EQ(spinner.attributes.at(194).format, RawFormat::TempMinMax);
    EXPECT_FALSE(spinner.attributes.at(194).fromModelEntry);

    const DriveKnowledge flash =
        m_db->knowledge(QStringLiteral("Example SSD 1TB"), QString(), DriveMedium::Unknown);
    EXPECT_EQ(flash.attributes.at(231).format, RawFormat::Temp10x);
    EXPECT_EQ(flash.attributes.at(241).byteOrder, QByteArray("w01234"));
}

TEST_F(SmallDatabase, SettingsForOneKindOfDriveApplyOnlyWhenTheKindIsKnown) {
    const auto ids = [this](DriveMedium medium) {
        std::set<int> set;
        for (const auto& [id, a] :
             m_db->knowledge(QStringLiteral("OTHER"), QString(), medium).attributes)
            set.insert(id);
        return set;
    };
    EXPECT_EQ(ids(DriveMedium::Unknown), (std::set<int>{9, 194}));
    EXPECT_EQ(ids(DriveMedium::Hdd), (std::set<int>{9, 194, 231}));
    EXPECT_EQ(ids(DriveMedium::Ssd), (std::set<int>{9, 194, 233}));
}

// What the process reads: an installed file, read again when it changes; no
// file; and, as a run would, a simulated machine's own file in place of the
// system's.
TEST(DriveDatabaseSource, LookupReadsTheInstalledFileAgainOnlyWhenItChanges) {
    TestDir dir;
    const QString path = dir.path(QStringLiteral("drivedb.h"));
    ASSERT_TRUE(dir.write(QStringLiteral("drivedb.h"), ReadAll(kSmallDatabase)));
    const QString model = QStringLiteral("EXAMPLE ES7K100");
    {
        ScopedDriveDatabase db(path);
        EXPECT_EQ(lookupDriveKnowledge(model, QString()).family,
                  QStringLiteral("Example Spinner 7K"));
        QByteArray renamed = ReadAll(kSmallDatabase);
        renamed.replace("\"Example Spinner 7K\"", "\"Example Spinner 7K Mark II\"");
        ASSERT_TRUE(dir.write(QStringLiteral("drivedb.h"), renamed));
        EXPECT_EQ(lookupDriveKnowledge(model, QString()).family,
                  QStringLiteral("Example Spinner 7K Mark II"));
    }
    {
        ScopedDriveDatabase none;
        const DriveKnowledge k = lookupDriveKnowledge(model, QString());
        EXPECT_FALSE(k.inDatabase);
        EXPECT_EQ(k.powerOnUnit, PowerOnUnit::Unknown);
        EXPECT_EQ(k.temperatureId, 0);
        EXPECT_EQ(k.attributes.at(194).format, RawFormat::TempMinMax);
        EXPECT_EQ(k.attributes.at(9).format, RawFormat::Raw24Raw8);
    }
    {
        ScopedDriveDatabase whatARunReads{ScopedDriveDatabase::WhatARunReads{}};
        ScopedSimMachine machine(dir.path());
        EXPECT_EQ(lookupDriveKnowledge(model, QString()).family,
                  QStringLiteral("Example Spinner 7K Mark II"));
        ASSERT_TRUE(QFile::remove(path));
        EXPECT_FALSE(lookupDriveKnowledge(model, QString()).inDatabase);
    }
}

namespace {

struct Report {
    QString file, model, firmware, family, powerOnName, powerOnText;
};

QString Field(const QString& text, const char* name) {
    const QRegularExpression re(QStringLiteral("^%1: +(.*)$").arg(QLatin1String(name)),
                                QRegularExpression::MultilineOption);
    return re.match(text).captured(1).trimmed();
}

std::vector<Report> AtaReports() {
    std::vector<Report> reports;
    const QRegularExpression attribute9(
        QStringLiteral("^ *9 (\\S+) +\\S+ +\\d+ +\\d+ +\\S+ +\\S+ +(.*)$"),
        QRegularExpression::MultilineOption);
    for (const QString& name : QDir(kReports).entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        const QString text = QString::fromUtf8(ReadAll(kReports + QLatin1Char('/') + name));
        Report r{name,
                 Field(text, "Device Model"),
                 Field(text, "Firmware Version"),
                 Field(text, "Model Family"),
                 {},
                 {}};
        if (r.model.isEmpty())
            continue;
        const auto m = attribute9.match(text);
        r.powerOnName = m.captured(1);
        r.powerOnText = m.captured(2).trimmed();
        reports.push_back(r);
    }
    return reports;
}

// The unit the report's own attribute 9 shows, Unknown when it cannot tell.
PowerOnUnit ShownUnit(const Report& r) {
    if (r.powerOnName == QLatin1String("Power_On_Minutes"))
        return PowerOnUnit::Minutes;
    if (r.powerOnName == QLatin1String("Power_On_Half_Minutes"))
        return PowerOnUnit::HalfMinutes;
    if (r.powerOnText.contains(QRegularExpression(QStringLiteral("h\\+\\d+m\\+\\d+\\.\\d+s$"))))
        return PowerOnUnit::HoursMsec;
    if (r.powerOnText.contains(QRegularExpression(QStringLiteral("h\\+\\d+m\\+\\d+s$"))))
        return PowerOnUnit::Seconds;
    return PowerOnUnit::Unknown;
}

} // namespace

// The real database through our parser and expression engine: every entry
// is read and compiles, and the real drives' reports find the family their
// own report names (the reports were made with older databases, so a few
// families were renamed since), with the power-on unit the report shows.
TEST(InstalledDriveDatabase, RealDrivesFindTheirFamilyAndPowerOnUnit) {
    const QString path = InstalledDatabase();
    if (path.isEmpty())
        GTEST_SKIP() << "no drive database installed";
    QStringList log;
    const auto db = parseDriveDatabase(ReadAll(path), [&](const QString& l) { log.append(l); });
    EXPECT_TRUE(log.isEmpty()) << log.join(QLatin1Char('\n')).toStdString();
    ASSERT_GT(db->entries().size(), 300u);
    for (const DriveDatabaseEntry& e : db->entries()) {
        QString error;
        EXPECT_TRUE(PosixRegex::compile(e.modelPattern, &error))
            << e.line << ": " << error.toStdString();
        EXPECT_TRUE(e.firmwarePattern.isEmpty() || PosixRegex::compile(e.firmwarePattern, &error))
            << e.line << ": " << error.toStdString();
        QString presetError;
        EXPECT_TRUE(parseDrivePresets(e.presets, &presetError))
            << e.line << ": " << presetError.toStdString();
    }

    // A few drives of the reports by hand, each unit and temperature place once.
    const struct {
        const char* model;
        const char* firmware;
        PowerOnUnit unit;
        int temperatureId;
    } drives[] = {
        {"ST2000NM0008-2F3100", "SN02", PowerOnUnit::HoursMsec, 0},
        {"SAMSUNG SP0812C", "SU100-32", PowerOnUnit::HalfMinutes, 0},
        {"TOSHIBA MK5061GSY", "MC102E", PowerOnUnit::Minutes, 0},
        {"FUJITSU MHJ2181AT", "D034", PowerOnUnit::Seconds, 0},
        {"INTEL SSDSC2BB012T7", "N2010112", PowerOnUnit::Unknown, 194},
        {"INTEL SSDSC2KW128G8", "LHF002C", PowerOnUnit::Unknown, 190},
        {"KINGSTON SH103S3480G", "600ABBF0", PowerOnUnit::HoursMsec, 189},
    };
    for (const auto& d : drives) {
        const DriveKnowledge k = db->knowledge(
            QString::fromLatin1(d.model), QString::fromLatin1(d.firmware), DriveMedium::Unknown);
        EXPECT_TRUE(k.inDatabase) << d.model;
        EXPECT_EQ(k.powerOnUnit, d.unit) << d.model;
        EXPECT_EQ(k.temperatureId, d.temperatureId) << d.model;
    }

    if (!QFileInfo::exists(kReports))
        GTEST_SKIP() << "no real drives' reports beside the tree";
    int named = 0, same = 0, unitsShown = 0;
    for (const Report& r : AtaReports()) {
        const DriveKnowledge k = db->knowledge(r.model, r.firmware, DriveMedium::Unknown);
        if (r.family.isEmpty())
            continue;
        ++named;
        if (k.family != r.family)
            continue;
        ++same;
        const PowerOnUnit shown = ShownUnit(r);
        if (shown != PowerOnUnit::Unknown) {
            ++unitsShown;
            EXPECT_EQ(k.powerOnUnit, shown)
                << r.file.toStdString() << ": " << r.model.toStdString();
        } else if (k.powerOnUnit != PowerOnUnit::Unknown) {
            // A plain number under the name of hours: the entry says hours.
            EXPECT_EQ(k.powerOnUnit, PowerOnUnit::Hours) << r.file.toStdString();
        }
    }
    EXPECT_GT(named, 100);
    EXPECT_GT(same, named * 85 / 100) << same << " of " << named;
    EXPECT_GE(unitsShown, 5);
}
