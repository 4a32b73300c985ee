#include "SimMachine.h"

#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <sys/auxv.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace vorn::platform {

namespace {

bool isSecureExecution() {
    return getauxval(AT_SECURE) != 0;
}

QString environmentPath(const char* name) {
    if (isSecureExecution())
        return QString();
    const char* value = std::getenv(name);
    return value ? QString::fromLocal8Bit(value) : QString();
}

void reportMalformed(const QString& file, const SimParseError& error, const char* consequence) {
    QString where = error.line > 0 ? QStringLiteral("%1:%2").arg(file).arg(error.line) : file;
    QString message = error.message;
    // Keys and values quoted from the file stay on the one line.
    for (QString* text : {&where, &message}) {
        for (QChar& ch : *text) {
            if (!ch.isPrint())
                ch = QLatin1Char('?');
        }
    }
    std::fprintf(stderr, "simulated machine: %s: %s; %s\n", where.toLocal8Bit().constData(),
                 message.toLocal8Bit().constData(), consequence);
}

// An ini file is a few lines and a sector file 512 bytes written out as hex
// with comments; anything larger, or not a regular file, is no file of ours.
constexpr qint64 kSimFileMaxBytes = 64 * 1024;

std::optional<QByteArray> readFile(const QString& path, int* error = nullptr) {
    return Cm_ReadBoundedFile(path, kSimFileMaxBytes, error);
}

// The machine's disk folders, hidden ones left out, in byte order whatever
// the locale. Listed with readdir: QDir builds a pattern for every listing.
QStringList diskFolderNames(const QString& directory) {
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(directory).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        bool folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat target {};
            folder =
                ::fstatat(::dirfd(dir), entry->d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
        }
        if (folder)
            names.append(QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// Reads one disk folder; false (after one line on stderr) leaves it out.
bool loadDisk(const QDir& folder, SimDisk* disk) {
    const QString iniPath = folder.filePath(QStringLiteral("disk.ini"));
    SimParseError error;
    const auto ini = readFile(iniPath);
    if (!ini) {
        reportMalformed(iniPath, {0, QStringLiteral("cannot be read")}, "disk left out");
        return false;
    }
    if (!parseSimDiskIni(*ini, disk, &error)) {
        reportMalformed(iniPath, error, "disk left out");
        return false;
    }
    const struct {
        const char* name;
        QByteArray* image;
        int size; // 0: whole pages, 1 to kSimStatisticsMaxPages of them
        bool nvmeOnly;
    } sectors[] = {
        {"identify.hex", &disk->identify, 512, false},
        {"smart-data.hex", &disk->smartData, 512, false},
        {"smart-thresholds.hex", &disk->smartThresholds, 512, false},
        {"device-statistics.hex", &disk->deviceStatistics, 0, false},
        {"nvme-identify-controller.hex", &disk->nvmeIdentifyController, 4096, true},
        {"nvme-identify-namespace.hex", &disk->nvmeIdentifyNamespace, 4096, true},
        {"nvme-health.hex", &disk->nvmeHealth, 512, true},
        {"self-test-log.hex", &disk->selfTestLog, 512, false},
        {"ext-self-test-log.hex", &disk->extSelfTestLog, 0, false},
        {"error-log.hex", &disk->errorLog, 512, false},
        {"ext-error-log.hex", &disk->extErrorLog, 0, false},
        {"nvme-self-test-log.hex", &disk->nvmeSelfTestLog, kSimNvmeSelfTestLogSize, true},
        {"nvme-error-log.hex", &disk->nvmeErrorLog, kSimNvmeErrorLogSize, true},
    };
    for (const auto& [name, image, size, nvmeOnly] : sectors) {
        // An ATA disk answers no admin command, so its folder is not searched
        // for their pages: three failed looks per disk of a large machine.
        if (nvmeOnly && !disk->device.nvme)
            continue;
        const QString path = folder.filePath(QLatin1String(name));
        // Read first and asked about only when absent: most files are there,
        // and a machine of many disks would look at each twice. A link to
        // nowhere is a file that cannot be read, not a missing one.
        int failure = 0;
        const auto text = readFile(path, &failure);
        if (!text && failure == ENOENT && !QFileInfo(path).isSymLink())
            continue;
        if (!text) {
            reportMalformed(path, {0, QStringLiteral("cannot be read")}, "disk left out");
            return false;
        }
        const auto bytes = size ? parseSimImageHex(*text, size, &error)
                                : parseSimPagesHex(*text, kSimStatisticsMaxPages, &error);
        if (!bytes) {
            reportMalformed(path, error, "disk left out");
            return false;
        }
        *image = *bytes;
    }
    return true;
}

} // namespace

std::shared_ptr<const SimMachine> loadSimMachine(const QString& directory) {
    const QDir root(directory);
    if (directory.isEmpty() || !root.exists())
        return nullptr;
    auto machine = std::make_shared<SimMachine>();
    machine->directory = root.absolutePath();

    const QString machineIni = root.filePath(QStringLiteral("machine.ini"));
    if (QFileInfo::exists(machineIni)) {
        SimParseError error;
        const auto text = readFile(machineIni);
        const auto info = text ? parseSimMachineIni(*text, &error) : std::nullopt;
        if (!text)
            error = {0, QStringLiteral("cannot be read")};
        if (info)
            machine->info = *info;
        else
            reportMalformed(machineIni, error, "using the default version");
    }

    std::set<int> indexes;
    for (const QString& name : diskFolderNames(machine->directory)) {
        SimDisk disk;
        disk.folder = name;
        if (!loadDisk(QDir(root.filePath(name)), &disk))
            continue;
        if (disk.driveField(QStringLiteral("Index")).isEmpty()) {
            disk.drive.removeIf(
                [](const SimDriveField& f) { return f.name == QLatin1String("Index"); });
            disk.drive.append({QStringLiteral("Index"), QString::number(machine->disks.size())});
        }
        if (!indexes.insert(disk.index()).second) {
            reportMalformed(root.filePath(name + QStringLiteral("/disk.ini")),
                            {0, QStringLiteral("Index %1 is already taken").arg(disk.index())},
                            "disk left out");
            continue;
        }
        machine->disks.push_back(std::move(disk));
    }
    return machine;
}

QString simMachineFolder() {
    return environmentPath("VORN_SIM");
}

QString simTraceFile() {
    return environmentPath("VORN_SIM_TRACE");
}

} // namespace vorn::platform
