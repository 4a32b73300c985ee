#include "Sql.h"

#include <QSqlError>

namespace vorn::history {

namespace {

// SQLite's primary result codes in the low byte of an extended one.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

SqlFailure FailureOf(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (ok && (code == kSqliteCorrupt || code == kSqliteNotADatabase))
        return SqlFailure::Broken;
    return SqlFailure::Other;
}

} // namespace

bool RunSql(QSqlQuery* query, const QString& sql, const QVariantList& values, SqlFailure* failure,
            QString* error) {
    bool ok = query->prepare(sql);
    if (ok) {
        for (const QVariant& value : values)
            query->addBindValue(value);
        ok = query->exec();
    }
    if (failure)
        *failure = ok ? SqlFailure::None : FailureOf(query->lastError());
    if (!ok && error)
        *error = query->lastError().text();
    return ok;
}

bool RunSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
            SqlFailure* failure, QString* error) {
    QSqlQuery query(db);
    return RunSql(&query, sql, values, failure, error);
}

} // namespace vorn::history
