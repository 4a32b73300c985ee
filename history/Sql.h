#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace vorn::history {

// How a failed statement bears on the store.
enum class SqlFailure {
    None,
    Broken, // the file is no database or a damaged one
    Other,  // full disk, read-only folder, a lock held too long, a bad statement
};

// Prepares sql, binds the values in order and runs it; query is left on
// the result. error gets the driver's text when it fails.
bool RunSql(QSqlQuery* query, const QString& sql, const QVariantList& values = {},
            SqlFailure* failure = nullptr, QString* error = nullptr);

// The same on a query of its own, for statements whose result is not read.
bool RunSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {},
            SqlFailure* failure = nullptr, QString* error = nullptr);

} // namespace vorn::history
