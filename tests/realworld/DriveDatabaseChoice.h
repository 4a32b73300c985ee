#pragma once

#include <QFileInfo>
#include <QString>

// THE ONE PLACE where the real-drive test chooses the drive database the
// suite reads. The reports name their drives through the database smartctl
// had, so the test wants the system's smartmontools copy, read in place.
//
// Until the disk library has an install point for the database, the suite
// reads the system copy by itself and this only says whether it is there;
// once there is one, install the file here for the test's lifetime.
namespace realworld {

inline QString chosenDriveDatabase() {
    return QStringLiteral("/usr/share/smartmontools/drivedb.h");
}

class ScopedChosenDriveDatabase {
public:
    ScopedChosenDriveDatabase() : m_present(QFileInfo(chosenDriveDatabase()).isFile()) {}
    ScopedChosenDriveDatabase(const ScopedChosenDriveDatabase&) = delete;
    ScopedChosenDriveDatabase& operator=(const ScopedChosenDriveDatabase&) = delete;

    // False: the clauses that depend on the database's names and formats
    // skip.
    bool present() const { return m_present; }

private:
    bool m_present;
};

} // namespace realworld
