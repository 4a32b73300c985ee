#include "HistorySchema.h"

#include "Sql.h"

#include <QSqlQuery>
#include <QStringList>

namespace vorn::history {

namespace {

// Marks the file as ours in its header, so that another program's database
// at the same path is told from an empty one.
constexpr int kApplicationId = 0x566f726e;

// The statements that bring a store from the version before to each
// version; index 0 creates version 1. A later version appends its own and
// never edits one that has shipped.
//
// Every table is keyed by time first and has no row number: new rows of
// every disk go to the end, so pages stay full, and a reading that changes
// nothing but its time is one row of a time and a disk number, each changed
// value one more row.
const QStringList& Migration(int toVersion) {
    static const QList<QStringList> steps = {
        {
            QStringLiteral("CREATE TABLE schema_version(version INTEGER NOT NULL)"),
            QStringLiteral("INSERT INTO schema_version VALUES(0)"),
            QStringLiteral("CREATE TABLE disks(id INTEGER PRIMARY KEY, model TEXT NOT NULL, "
                           "serial TEXT NOT NULL, wwn TEXT NOT NULL, UNIQUE(model, serial, wwn))"),
            QStringLiteral("CREATE TABLE names(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE)"),
            // One row per reading of a disk in the last 30 days.
            QStringLiteral("CREATE TABLE readings(disk INTEGER NOT NULL, t INTEGER NOT NULL, "
                           "PRIMARY KEY(t, disk)) WITHOUT ROWID"),
            // A value that differs from the disk's one before; NULL: gone.
            QStringLiteral("CREATE TABLE changes(disk INTEGER NOT NULL, t INTEGER NOT NULL, "
                           "series INTEGER NOT NULL, value INTEGER, "
                           "PRIMARY KEY(t, disk, series)) WITHOUT ROWID"),
            // Each disk's newest values, which a new reading is compared with.
            QStringLiteral("CREATE TABLE latest(disk INTEGER NOT NULL, series INTEGER NOT NULL, "
                           "value INTEGER, PRIMARY KEY(disk, series)) WITHOUT ROWID"),
            // Hours and days of older readings, their time and span in hours:
            // how many readings, and per series that
            // changed in it the lowest, highest and last value (NULL for a
            // bound that the value before the bucket and the last give).
            QStringLiteral("CREATE TABLE buckets(disk INTEGER NOT NULL, t INTEGER NOT NULL, "
                           "span INTEGER NOT NULL, count INTEGER NOT NULL, "
                           "PRIMARY KEY(t, disk)) WITHOUT ROWID"),
            QStringLiteral("CREATE TABLE bucket_values(disk INTEGER NOT NULL, t INTEGER NOT NULL, "
                           "series INTEGER NOT NULL, low INTEGER, high INTEGER, last INTEGER, "
                           "PRIMARY KEY(t, disk, series)) WITHOUT ROWID"),
        },
    };
    return steps.at(toVersion - 1);
}

// 0 for a file without our tables.
int StoredVersion(const QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!RunSql(&query, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                       "AND name = 'schema_version'")) ||
        !query.next() || query.value(0).toInt() == 0)
        return 0;
    query.finish();
    if (!RunSql(&query, QStringLiteral("SELECT version FROM schema_version")) || !query.next())
        return 0;
    return query.value(0).toInt();
}

bool Migrate(const QSqlDatabase& db, QString* error) {
    for (int version = 1; version <= kSchemaVersion; ++version) {
        bool ok = RunSql(db, QStringLiteral("BEGIN IMMEDIATE"), {}, nullptr, error);
        // Asked inside the transaction: another program may have migrated
        // while this one waited for it.
        const bool done = ok && StoredVersion(db) >= version;
        if (ok && !done && version == 1)
            ok = RunSql(db, QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId), {},
                        nullptr, error);
        if (ok && !done) {
            for (const QString& statement : Migration(version)) {
                if (!(ok = RunSql(db, statement, {}, nullptr, error)))
                    break;
            }
        }
        if (ok && !done)
            ok = RunSql(db, QStringLiteral("UPDATE schema_version SET version = ?"), {version},
                        nullptr, error);
        if (!ok || !RunSql(db, QStringLiteral("COMMIT"), {}, nullptr, error)) {
            RunSql(db, QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    return true;
}

} // namespace

SchemaState PrepareSchema(const QSqlDatabase& db, QString* error) {
    SqlFailure failure = SqlFailure::None;
    QSqlQuery query(db);
    // Reading the header first tells a file that is no database from one
    // that cannot be written.
    if (!RunSql(&query, QStringLiteral("PRAGMA application_id"), {}, &failure, error) ||
        !query.next())
        return failure == SqlFailure::Broken ? SchemaState::Broken : SchemaState::Failed;
    const int applicationId = query.value(0).toInt();
    query.finish();
    if (!RunSql(&query, QStringLiteral("SELECT count(*) FROM sqlite_master"), {}, &failure,
                error) ||
        !query.next())
        return failure == SqlFailure::Broken ? SchemaState::Broken : SchemaState::Failed;
    const int tables = query.value(0).toInt();
    query.finish();

    int version = 0;
    if (applicationId == kApplicationId) {
        if (!RunSql(&query, QStringLiteral("SELECT version FROM schema_version"), {}, &failure,
                    error) ||
            !query.next())
            return failure == SqlFailure::Broken ? SchemaState::Broken : SchemaState::Foreign;
        version = query.value(0).toInt();
        query.finish();
        if (version > kSchemaVersion)
            return SchemaState::Newer;
    } else if (applicationId != 0 || tables != 0) {
        return SchemaState::Foreign;
    }

    // Readers never block the writer and a killed writer leaves at most its
    // own transaction behind; without a sync on every commit a power loss
    // may drop the last readings but a crash of the program drops nothing.
    if (!RunSql(&query, QStringLiteral("PRAGMA journal_mode = WAL"), {}, &failure, error))
        return failure == SqlFailure::Broken ? SchemaState::Broken : SchemaState::Failed;
    query.finish();
    RunSql(db, QStringLiteral("PRAGMA synchronous = NORMAL"));
    if (version < kSchemaVersion && !Migrate(db, error))
        return SchemaState::Failed;
    return SchemaState::Ready;
}

} // namespace vorn::history
