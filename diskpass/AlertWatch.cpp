#include "AlertWatch.h"

#include "FileLock.h"
#include "PerDiskFile.h"
#include "SafeFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>

namespace vorn::diskpass {

namespace {

// A watch file holds a few dozen numbers; anything far larger is not one.
constexpr qint64 kMaxWatchFile = 256 * 1024;

template <class Map> QJsonObject NumberMap(const Map& map) {
    QJsonObject object;
    for (const auto& [id, value] : map)
        object.insert(QString::number(id), double(value));
    return object;
}

// Above 2^53 a JSON number no longer stands for one whole number.
constexpr double kMaxWholeNumber = 9007199254740992.0;

template <class Value> bool ReadNumberMap(const QJsonValue& json, std::map<int, Value>* map) {
    if (!json.isObject())
        return false;
    const QJsonObject object = json.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool ok = false;
        const int id = it.key().toInt(&ok);
        if (!ok || id < 0 || id > 255 || !it.value().isDouble())
            return false;
        // Only whole numbers the stored type holds exactly: anything else
        // (1e300, a fraction) is no number this program wrote.
        const double number = it.value().toDouble();
        if (!(std::fabs(number) <= kMaxWholeNumber) || number != std::floor(number) ||
            number < double(std::numeric_limits<Value>::min()) ||
            number > double(std::numeric_limits<Value>::max()))
            return false;
        (*map)[id] = static_cast<Value>(number);
    }
    return true;
}

bool Usable(const CScannedDisk& disk) {
    // A USB disk is never watched: see CScannedDisk::m_bUsb.
    if (disk.m_bUsb || disk.m_bSleeping || !disk.EnableSMART())
        return false;
    return disk.IsNvme() ? bool(disk.m_HddNvme.m_bHealthLog)
                         : !disk.m_HddSmart.m_DispList.IsEmpty();
}

const QString kNvmeKey = QStringLiteral("nvme");
const QString kMediaErrorsKey = QStringLiteral("media_errors");
const QString kCriticalWarningKey = QStringLiteral("critical_warning");
const QString kSpareKey = QStringLiteral("available_spare");
const QString kSpareThresholdKey = QStringLiteral("available_spare_threshold");
// Both left out of older files, which keep their meaning: nothing to compare.
const QString kSelfTestKey = QStringLiteral("self_test_status");
const QString kErrorLogKey = QStringLiteral("error_log_entries");

QJsonObject NvmeObject(const NvmeHealthState& nvme) {
    return {
        {kMediaErrorsKey, double(nvme.mediaErrors)},
        {kCriticalWarningKey, nvme.criticalWarning},
        {kSpareKey, nvme.availableSpare},
        {kSpareThresholdKey, nvme.spareThreshold},
    };
}

// Every field a whole number in its range, or the file is no watch file.
std::optional<NvmeHealthState> ReadNvme(const QJsonValue& json) {
    if (!json.isObject())
        return std::nullopt;
    const QJsonObject object = json.toObject();
    const auto number = [&object](const QString& key, double max, double* out) {
        const QJsonValue value = object.value(key);
        if (!value.isDouble())
            return false;
        const double n = value.toDouble();
        if (!(n >= 0 && n <= max) || n != std::floor(n))
            return false;
        *out = n;
        return true;
    };
    double errors = 0, warning = 0, spare = 0, threshold = 0;
    if (!number(kMediaErrorsKey, double(NvmeHealthState::kMaxCount), &errors) ||
        !number(kCriticalWarningKey, 255, &warning) || !number(kSpareKey, 255, &spare) ||
        !number(kSpareThresholdKey, 255, &threshold))
        return std::nullopt;
    return NvmeHealthState{static_cast<long long>(errors), int(warning), int(spare),
                           int(threshold)};
}

// The reference's values become the change marks; an attribute the
// reference lacks has none and so never counts as changed.
void ApplyMarks(CScannedDisk* disk, const DiskHealth& reference) {
    for (CHddSmartDisp* record : disk->m_HddSmart.m_DispList) {
        const auto value = reference.values.find(record->m_byId);
        record->m_nChange = value == reference.values.end() ? -1 : value->second;
    }
}

DiskHealth ReferenceOf(const CScannedDisk& disk) {
    DiskHealth health = HealthOf(disk);
    health.changed.clear();
    return health;
}

std::function<void(const QString&)>& LockedHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

QString FileError(const QString& path, int failure) {
    return path + QStringLiteral(": ") + Cm_FileErrorText(failure);
}

// What the watch file holds: a state; nothing, the first time or when it is
// no watch file; or a refusal, said in *error.
std::optional<WatchState> ReadState(const QString& path, QString* error) {
    int failure = 0;
    // In the current folder, where others may plant a link or a file of
    // theirs to switch a disk's alerts off.
    const std::optional<QByteArray> bytes = Cm_ReadOwnFile(path, kMaxWatchFile, &failure);
    if (!bytes) {
        if (failure != ENOENT && failure != kCmFileTooLarge)
            *error = FileError(path, failure);
        return std::nullopt;
    }
    return DecodeWatchState(*bytes);
}

// Whole or not at all, and never through a link at the file's name.
bool WriteState(const QString& path, const WatchState& state, QString* error) {
    const int failure = Cm_ReplaceFile(path, EncodeWatchState(state));
    if (failure)
        *error = FileError(path, failure);
    return failure == 0;
}

// The watch file's read-modify-write under its lock. change gets the state
// read (nothing: none, or refused with *error set) and says whether to
// write what it left there. False when a refusal or a failure was said.
bool Update(const QString& path, QString* error,
            const std::function<bool(std::optional<WatchState>&)>& change) {
    int failure = 0;
    std::optional<vorn::FileLock> lock = vorn::FileLock::acquire(path, true, &failure);
    // Without its lock nothing is written. A refused lock file is named;
    // a folder that takes no file at all is the watch file's failure.
    if (!lock)
        *error = FileError(failure < 0 ? vorn::FileLock::lockPathOf(path) : path, failure);
    std::optional<WatchState> state = ReadState(path, error);
    const bool refused = !error->isEmpty();
    const bool write = change(state);
    if (LockedHook())
        LockedHook()(path);
    if (refused || !write)
        return !refused;
    return WriteState(path, *state, error);
}

} // namespace

QString WatchFilePath(const QString& directory, const QString& serial) {
    return PerDiskFilePath(directory, serial, QStringLiteral(".watch"));
}

QByteArray EncodeWatchState(const WatchState& state) {
    QJsonObject reported;
    for (const auto& [channel, keys] : state.reported)
        reported.insert(channel, QJsonArray::fromStringList(keys));
    const DiskHealth& r = state.reference;
    QJsonObject root{
        {QStringLiteral("status"), r.status},
        {QStringLiteral("temperature"), r.temperature},
        {QStringLiteral("counts"), NumberMap(r.counts)},
        {QStringLiteral("values"), NumberMap(r.values)},
        {QStringLiteral("reported"), reported},
    };
    if (state.accepted)
        root.insert(QStringLiteral("accepted"), true);
    if (r.nvme)
        root.insert(kNvmeKey, NvmeObject(*r.nvme));
    if (r.selfTestStatus >= 0)
        root.insert(kSelfTestKey, r.selfTestStatus);
    if (r.errorLogEntries >= 0)
        root.insert(kErrorLogKey, double(r.errorLogEntries));
    return QJsonDocument(root).toJson();
}

std::optional<WatchState> DecodeWatchState(const QByteArray& bytes) {
    if (bytes.size() > kMaxWatchFile)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    WatchState state;
    DiskHealth& r = state.reference;
    if (!root.value(QStringLiteral("status")).isDouble() ||
        !ReadNumberMap(root.value(QStringLiteral("counts")), &r.counts) ||
        !ReadNumberMap(root.value(QStringLiteral("values")), &r.values))
        return std::nullopt;
    if (root.contains(kNvmeKey)) {
        r.nvme = ReadNvme(root.value(kNvmeKey));
        if (!r.nvme)
            return std::nullopt;
    }
    r.status = root.value(QStringLiteral("status")).toInt(-1);
    r.temperature = root.value(QStringLiteral("temperature")).toInt(-1);
    r.selfTestStatus = std::clamp(root.value(kSelfTestKey).toInt(-1), -1, 15);
    // Clamped as a double first: a number past the range of long long
    // must not reach the conversion.
    r.errorLogEntries = static_cast<long long>(std::floor(std::clamp(
        root.value(kErrorLogKey).toDouble(-1), -1.0, double(NvmeHealthState::kMaxCount))));
    state.accepted = root.value(QStringLiteral("accepted")).toBool(false);
    const QJsonObject reported = root.value(QStringLiteral("reported")).toObject();
    for (auto it = reported.begin(); it != reported.end(); ++it) {
        QStringList keys;
        for (const QJsonValue& key : it.value().toArray())
            keys.append(key.toString());
        state.reported[it.key()] = keys;
    }
    return state;
}

WatchResult WatchDisk(CScannedDisk* disk, const QString& directory, const QString& channel,
                      const AlertLimits& limits) {
    WatchResult result;
    const QString path = WatchFilePath(directory, disk->GetSerialNumber());
    if (path.isEmpty() || !Usable(*disk))
        return result;
    result.watched = true;
    const DiskHealth current = HealthOf(*disk);
    Update(path, &result.fileError, [&](std::optional<WatchState>& state) {
        bool dirty = false;
        if (!state) {
            // Nothing to compare with yet: what the disk is now is the
            // start, and only a limit (the temperature) can speak.
            result.firstRun = true;
            state = WatchState{};
            state->reference = ReferenceOf(*disk);
            dirty = true;
        }
        // A reference from before the self-test status or the error count
        // was kept starts them where they are now, as on a first run: a
        // test that failed long ago is no news.
        if (current.selfTestStatus >= 0 && state->reference.selfTestStatus < 0) {
            state->reference.selfTestStatus = current.selfTestStatus;
            dirty = true;
        }
        if (current.errorLogEntries >= 0 && state->reference.errorLogEntries < 0) {
            state->reference.errorLogEntries = current.errorLogEntries;
            dirty = true;
        }
        if (current.nvme && !state->reference.nvme) {
            // A reference from before the log was watched: what the log
            // says now is where it starts, as on a first run.
            state->reference.nvme = current.nvme;
            dirty = true;
        }
        ApplyMarks(disk, state->reference);
        if (!state->accepted)
            result.alerts = StandingAlerts(state->reference, current);
        result.alerts += FindAlerts(state->reference, current, limits);
        const QStringList keys = AlertKeys(result.alerts);
        QStringList& told = state->reported[channel];
        for (const DiskAlert& alert : result.alerts) {
            if (!told.contains(alert.Key()))
                result.fresh.append(alert);
        }
        // Only what still holds is remembered: a change that went away and
        // comes back is a change again.
        if (told != keys) {
            told = keys;
            dirty = true;
        }
        return dirty;
    });
    return result;
}

bool AcceptDisk(CScannedDisk* disk, const QString& directory, const AlertLimits& limits,
                QString* error) {
    const QString path = WatchFilePath(directory, disk->GetSerialNumber());
    if (path.isEmpty() || !Usable(*disk))
        return false;
    QString failure;
    const bool stored = Update(path, &failure, [&](std::optional<WatchState>& state) {
        if (!state)
            state = WatchState{};
        state->reference = ReferenceOf(*disk);
        state->accepted = true;
        disk->m_HddSmart.SetChangeValue();
        const QStringList still = AlertKeys(FindAlerts(state->reference, HealthOf(*disk), limits));
        for (auto& [channel, keys] : state->reported)
            keys = still;
        return true;
    });
    if (error)
        *error = failure;
    return stored;
}

void SetWatchFileLockedHook(std::function<void(const QString&)> hook) {
    LockedHook() = std::move(hook);
}

} // namespace vorn::diskpass
