#include "HistoryStore.h"

#include "HistoryFold.h"
#include "HistoryReplay.h"
#include "HistorySchema.h"
#include "SeriesCodes.h"
#include "Sql.h"

#include <QAtomicInteger>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace vorn::history {

namespace {

// Each store is a connection of its own; Qt's connections are per thread
// and named.
QString NewConnectionName() {
    static QAtomicInteger<int> counter;
    return QStringLiteral("vorn-history-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString IdentityKey(const DiskIdentity& disk) {
    return disk.model + QChar(0) + disk.serial + QChar(0) + disk.wwn;
}

// How long a writer waits for another's transaction: longer than any pass
// holds one, short enough that a stuck program does not stall a pass.
constexpr int kBusyTimeoutMs = 5000;

} // namespace

HistoryStore::HistoryStore(Notice notice)
    : m_notice(std::move(notice)), m_connection(NewConnectionName()) {}

HistoryStore::~HistoryStore() {
    close();
}

void HistoryStore::tell(const QString& line) const {
    if (m_notice)
        m_notice(line);
}

void HistoryStore::close() {
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_open = false;
    m_disks.clear();
    m_names.clear();
}

HistoryStore::Attempt HistoryStore::tryOpen(const QString& path) {
    close();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        m_lastError = db.lastError().text();
        return Attempt::Unusable;
    }
    switch (PrepareSchema(db, &m_lastError)) {
    case SchemaState::Ready:
        m_open = true;
        return Attempt::Opened;
    case SchemaState::Broken:
    case SchemaState::Foreign:
        return Attempt::Broken;
    case SchemaState::Newer:
        m_lastError = QStringLiteral("written by a later version");
        return Attempt::Unusable;
    case SchemaState::Failed:
        break;
    }
    return Attempt::Unusable;
}

bool HistoryStore::moveAside(const QString& path) {
    close();
    const QString aside = path + QStringLiteral(".broken");
    // The log and the shared-memory index belong to the file they were
    // written for; left beside a new store they would be replayed into it.
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        QFile::remove(aside + suffix);
        if (QFile::exists(path + suffix) && !QFile::rename(path + suffix, aside + suffix) &&
            !QFile::remove(path + suffix))
            return false;
    }
    tell(QStringLiteral("history: %1 was no readable history store; moved it to %2 and started "
                        "a new one")
             .arg(path, aside));
    m_movedAside = true;
    return true;
}

bool HistoryStore::open(const QString& path) {
    m_path = path;
    Attempt attempt = tryOpen(path);
    if (attempt == Attempt::Broken && !m_movedAside && moveAside(path))
        attempt = tryOpen(path);
    if (attempt == Attempt::Opened)
        return true;
    close();
    tell(QStringLiteral("history: %1 cannot be used (%2); this run keeps no history")
             .arg(path,
                  m_lastError.isEmpty() ? QStringLiteral("not a history store") : m_lastError));
    return false;
}

int HistoryStore::diskNumber(const DiskIdentity& disk) {
    const QString key = IdentityKey(disk);
    if (const auto it = m_disks.constFind(key); it != m_disks.constEnd())
        return *it;
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // A null text would bind as NULL, which the columns refuse.
    const auto text = [](const QString& s) { return s.isNull() ? QStringLiteral("") : s; };
    const QVariantList identity = {text(disk.model), text(disk.serial), text(disk.wwn)};
    RunSql(db, QStringLiteral("INSERT OR IGNORE INTO disks(model, serial, wwn) VALUES(?, ?, ?)"),
           identity);
    QSqlQuery query(db);
    if (!RunSql(&query,
                QStringLiteral("SELECT id FROM disks WHERE model = ? AND serial = ? AND wwn = ?"),
                identity) ||
        !query.next())
        return 0;
    const int number = query.value(0).toInt();
    m_disks.insert(key, number);
    return number;
}

int HistoryStore::nameNumber(const QString& name) {
    if (const auto it = m_names.constFind(name); it != m_names.constEnd())
        return *it;
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    RunSql(db, QStringLiteral("INSERT OR IGNORE INTO names(name) VALUES(?)"), {name});
    QSqlQuery query(db);
    if (!RunSql(&query, QStringLiteral("SELECT id FROM names WHERE name = ?"), {name}) ||
        !query.next())
        return 0;
    const int number = query.value(0).toInt();
    m_names.insert(name, number);
    return number;
}

QHash<int, QString> HistoryStore::names() {
    QHash<int, QString> names;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (RunSql(&query, QStringLiteral("SELECT id, name FROM names"))) {
        while (query.next())
            names.insert(query.value(0).toInt(), query.value(1).toString());
    }
    return names;
}

bool HistoryStore::appendAll(const QList<Reading>& readings, bool* broken) {
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    SqlFailure failure = SqlFailure::None;
    // Taken for writing at once: a read lock that must grow into a write
    // lock later would fail instead of waiting for the other writer.
    if (!RunSql(db, QStringLiteral("BEGIN IMMEDIATE"), {}, &failure, &m_lastError)) {
        *broken = failure == SqlFailure::Broken;
        return false;
    }
    // Numbers handed out in a transaction that is rolled back are not kept.
    const QHash<QString, int> disksBefore = m_disks;
    const QHash<QString, int> namesBefore = m_names;
    QSqlQuery latest(db);
    QSqlQuery change(db);
    bool ok = true;
    for (const Reading& reading : readings) {
        const int disk = diskNumber(reading.disk);
        ok = disk > 0;
        if (!ok) {
            m_lastError = QStringLiteral("no number for the disk %1").arg(reading.disk.serial);
            break;
        }
        SeriesValues values =
            SeriesOf(reading, [this](const QString& name) { return nameNumber(name); });
        if (!reading.complete && reading.powerOnHours < 0)
            values.remove(series::kPowerOnHours);
        SeriesValues before;
        QList<int> gone; // series the disk had and no longer reports
        ok = RunSql(&latest, QStringLiteral("SELECT series, value FROM latest WHERE disk = ?"),
                    {disk}, &failure, &m_lastError);
        while (ok && latest.next()) {
            if (latest.value(1).isNull())
                continue;
            before.insert(latest.value(0).toInt(), latest.value(1).toLongLong());
            if (reading.complete && !values.contains(latest.value(0).toInt()))
                gone.append(latest.value(0).toInt());
        }
        latest.finish();
        const auto record = [&](int code, const QVariant& value) {
            return RunSql(&change,
                          QStringLiteral("INSERT OR REPLACE INTO changes VALUES(?, ?, ?, ?)"),
                          {disk, qint64(reading.timeMs), code, value}, &failure, &m_lastError) &&
                   RunSql(&change, QStringLiteral("INSERT OR REPLACE INTO latest VALUES(?, ?, ?)"),
                          {disk, code, value}, &failure, &m_lastError);
        };
        for (auto it = values.begin(); ok && it != values.end(); ++it) {
            const auto was = before.constFind(it.key());
            if (was == before.constEnd() || *was != it.value())
                ok = record(it.key(), qint64(it.value()));
        }
        for (int code : gone) {
            if (ok)
                ok = record(code, QVariant(QMetaType::fromType<qint64>()));
        }
        ok = ok && RunSql(&change, QStringLiteral("INSERT OR IGNORE INTO readings VALUES(?, ?)"),
                          {disk, qint64(reading.timeMs)}, &failure, &m_lastError);
        if (!ok)
            break;
    }
    change.finish();
    if (ok && RunSql(db, QStringLiteral("COMMIT"), {}, &failure, &m_lastError))
        return true;
    *broken = failure == SqlFailure::Broken;
    RunSql(db, QStringLiteral("ROLLBACK"));
    m_disks = disksBefore;
    m_names = namesBefore;
    return false;
}

bool HistoryStore::append(const QList<Reading>& readings) {
    if (!m_open)
        return false;
    bool broken = false;
    if (appendAll(readings, &broken))
        return true;
    // Damage found only now (the header was whole): the file goes aside as
    // at open, and the pass's readings start the new store.
    if (broken && !m_movedAside && moveAside(m_path) && tryOpen(m_path) == Attempt::Opened)
        return appendAll(readings, &broken);
    return false;
}

QList<StoredReading> HistoryStore::readings(int diskNumber, std::int64_t sinceMs) {
    QList<StoredReading> result;
    if (!m_open)
        return result;
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const QHash<int, QString> fieldNames = names();
    QMap<int, DiskIdentity> identities;
    QSqlQuery disks(db);
    if (!RunSql(&disks, QStringLiteral("SELECT id, model, serial, wwn FROM disks"), {}, nullptr,
                &m_lastError))
        return result;
    while (disks.next())
        identities.insert(
            disks.value(0).toInt(),
            {disks.value(1).toString(), disks.value(2).toString(), disks.value(3).toString()});
    return Replay(db, diskNumber, identities, fieldNames, sinceMs);
}

int HistoryStore::findDisk(const DiskIdentity& disk) {
    if (!m_open)
        return 0;
    if (const auto it = m_disks.constFind(IdentityKey(disk)); it != m_disks.constEnd())
        return *it;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    const auto text = [](const QString& s) { return s.isNull() ? QStringLiteral("") : s; };
    if (!RunSql(&query,
                QStringLiteral("SELECT id FROM disks WHERE model = ? AND serial = ? AND wwn = ?"),
                {text(disk.model), text(disk.serial), text(disk.wwn)}) ||
        !query.next())
        return 0;
    return query.value(0).toInt();
}

std::optional<TemperatureRange> HistoryStore::temperatureRange(const DiskIdentity& disk,
                                                               std::int64_t sinceMs) {
    const int number = findDisk(disk);
    if (number == 0)
        return std::nullopt;
    // Both tables lead with the time, so the day is a range of their keys,
    // not a walk over the month. A value changes only where it is stored:
    // the one the day began with counts when a reading of the day held it,
    // before the day's first change.
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    const QVariantList since = {qint64(sinceMs), number, series::kTemperature};
    std::optional<TemperatureRange> range;
    const auto hold = [&range](int value) {
        if (value <= 0)
            return;
        if (!range)
            range = TemperatureRange{value, value};
        range->low = std::min(range->low, value);
        range->high = std::max(range->high, value);
    };
    std::int64_t firstChange = std::numeric_limits<std::int64_t>::max();
    if (!RunSql(&query,
                QStringLiteral("SELECT t, value FROM changes WHERE t >= ? AND disk = ? AND "
                               "series = ? ORDER BY t"),
                since))
        return std::nullopt;
    while (query.next()) {
        firstChange = std::min<std::int64_t>(firstChange, query.value(0).toLongLong());
        if (!query.value(1).isNull())
            hold(query.value(1).toInt());
    }
    query.finish();
    if (RunSql(&query,
               QStringLiteral("SELECT count(*) FROM readings WHERE t >= ? AND t < ? AND disk = ?"),
               {qint64(sinceMs), qint64(firstChange), number}) &&
        query.next() && query.value(0).toInt() > 0) {
        query.finish();
        if (RunSql(&query,
                   QStringLiteral("SELECT value FROM changes WHERE t < ? AND disk = ? AND "
                                  "series = ? ORDER BY t DESC LIMIT 1"),
                   since) &&
            query.next() && !query.value(0).isNull())
            hold(query.value(0).toInt());
    }
    return range;
}

bool HistoryStore::prune(std::int64_t nowMs, int maxSteps) {
    if (!m_open)
        return false;
    return FoldOldest(QSqlDatabase::database(m_connection, false), nowMs, maxSteps, &m_lastError);
}

} // namespace vorn::history
