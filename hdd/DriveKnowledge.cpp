#include "DriveKnowledge.h"

#include "DriveDatabase.h"
#include "DriveDatabaseInstall.h"
#include "ErrorLog.h"
#include "SafeFile.h"
#include "SimMachineInstall.h"

#include <QFile>

#include <sys/stat.h>

#include <mutex>
#include <optional>

namespace vorn::hdd {

namespace {

// The database is about a quarter of a megabyte and grows by a few kilobytes
// a year; anything far larger is not one.
constexpr qint64 kMaxDatabaseBytes = 8 * 1024 * 1024;

struct LoadedDatabase {
    QString path;
    qint64 size = -1;
    qint64 mtimeNs = 0;
    std::shared_ptr<const DriveDatabase> database; // null: the file could not be read
};

std::mutex g_mutex;
std::optional<QStringList> g_installed;
LoadedDatabase g_loaded;

void logLine(const QString& line) {
    Cm_WriteErrorString(line);
}

QStringList databasePaths() {
    if (g_installed)
        return *g_installed;
    if (const auto machine = vorn::platform::InstalledSimMachine())
        return {machine->directory + QStringLiteral("/drivedb.h")};
    return systemDriveDatabasePaths();
}

// The database the paths lead to, read again only when the file's size or
// time changed. Null when there is none or it cannot be read.
std::shared_ptr<const DriveDatabase> currentDatabase() {
    std::lock_guard<std::mutex> lock(g_mutex);
    for (const QString& path : databasePaths()) {
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0)
            continue;
        const qint64 mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        if (g_loaded.path == path && g_loaded.size == st.st_size && g_loaded.mtimeNs == mtimeNs)
            return g_loaded.database;
        g_loaded = {path, st.st_size, mtimeNs, nullptr};
        int error = 0;
        const auto text = Cm_ReadBoundedFile(path, kMaxDatabaseBytes, &error);
        if (!text) {
            logLine(path + QStringLiteral(": ") + Cm_FileErrorText(error) +
                    QStringLiteral("; the built-in drive table serves"));
            return nullptr;
        }
        g_loaded.database = parseDriveDatabase(*text, logLine);
        return g_loaded.database;
    }
    return nullptr;
}

// Without a database: the formats of the standard's attributes and those
// nearly every drive shares, no names (the suite names them itself) and no
// power-on unit, so the unit is measured rather than assumed to be known.
const DrivePresets& builtInDefaults() {
    static const DrivePresets table = [] {
        DrivePresets t;
        const auto add = [&t](int id, RawFormat format, PresetMedium medium) {
            t.attributes.push_back({id, format, QByteArray(), QString(), medium});
        };
        add(3, RawFormat::Raw16Avg16, PresetMedium::Any);
        add(5, RawFormat::Raw16Raw16, PresetMedium::Any);
        add(9, RawFormat::Raw24Raw8, PresetMedium::Any);
        add(190, RawFormat::TempMinMax, PresetMedium::Any);
        add(194, RawFormat::TempMinMax, PresetMedium::Any);
        add(196, RawFormat::Raw16Raw16, PresetMedium::Any);
        add(240, RawFormat::Raw24Raw8, PresetMedium::Hdd);
        return t;
    }();
    return table;
}

} // namespace

void InstallDriveDatabase(const QStringList& paths) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_installed = paths;
    g_loaded = {};
}

void InstallDefaultDriveDatabase() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_installed.reset();
    g_loaded = {};
}

std::optional<QStringList> InstalledDriveDatabasePaths() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_installed;
}

QStringList systemDriveDatabasePaths() {
    return {QStringLiteral("/var/lib/smartmontools/drivedb/drivedb.h"),
            QStringLiteral("/usr/share/smartmontools/drivedb.h")};
}

DriveKnowledge lookupDriveKnowledge(const QString& model, const QString& firmware,
                                    DriveMedium medium) {
    if (const auto database = currentDatabase())
        return database->knowledge(model, firmware, medium);
    return knowledgeFromPresets(&builtInDefaults(), nullptr, medium);
}

DriveKnowledge lookupDriveKnowledge(const QString& model, const QString& firmware) {
    return lookupDriveKnowledge(model, firmware, DriveMedium::Unknown);
}

} // namespace vorn::hdd
