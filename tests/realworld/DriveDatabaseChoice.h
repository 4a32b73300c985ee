#pragma once

#include "../support/ScopedDriveDatabase.h"

#include <QFileInfo>
#include <QString>

// The one place where the real-drive test chooses the drive database the
// suite reads. The reports name their drives through the database smartctl
// had, so the test wants the system's smartmontools copy, read in place.
namespace realworld {

inline QString chosenDriveDatabase() {
    return QStringLiteral("/usr/share/smartmontools/drivedb.h");
}

class ScopedChosenDriveDatabase {
public:
    ScopedChosenDriveDatabase()
        : m_present(QFileInfo(chosenDriveDatabase()).isFile()), m_installed(chosenDriveDatabase()) {
    }
    ScopedChosenDriveDatabase(const ScopedChosenDriveDatabase&) = delete;
    ScopedChosenDriveDatabase& operator=(const ScopedChosenDriveDatabase&) = delete;

    // False: the clauses that depend on the database's names and formats
    // skip.
    bool present() const { return m_present; }

private:
    bool m_present;
    ScopedDriveDatabase m_installed;
};

} // namespace realworld
