#pragma once

#include <QSqlDatabase>
#include <QString>

namespace vorn::history {

// What an opened file turned out to be.
enum class SchemaState {
    Ready,   // ours, at the current version (migrated forward if it was older)
    Broken,  // not a database, or a damaged one
    Foreign, // a database of some other program
    Newer,   // ours, written by a later version that this one cannot read
    Failed,  // could not be read or set up (a full disk, a read-only folder)
};

inline constexpr int kSchemaVersion = 1;

// Turns on the write-ahead log, recognises the file and creates or migrates
// its tables. error gets a line for Failed.
SchemaState PrepareSchema(const QSqlDatabase& db, QString* error);

} // namespace vorn::history
