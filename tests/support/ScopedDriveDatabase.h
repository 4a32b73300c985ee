#pragma once

#include "DriveDatabaseInstall.h"

#include <QString>
#include <QStringList>

#include <optional>

// A drive database file (or none) that lookupDriveKnowledge() reads while the
// object lives; afterwards what was installed before is read again. Test
// programs start with none installed (NoDriveDatabase.cpp), so what a test
// shows does not depend on the tools of the machine it runs on.
class ScopedDriveDatabase {
public:
    struct WhatARunReads {};

    // No database: the built-in table serves.
    ScopedDriveDatabase() { vorn::hdd::InstallDriveDatabase({}); }
    explicit ScopedDriveDatabase(const QString& path) { vorn::hdd::InstallDriveDatabase({path}); }
    // The system's database, or a simulated machine's own.
    explicit ScopedDriveDatabase(WhatARunReads) { vorn::hdd::InstallDefaultDriveDatabase(); }
    ScopedDriveDatabase(const ScopedDriveDatabase&) = delete;
    ScopedDriveDatabase& operator=(const ScopedDriveDatabase&) = delete;
    ~ScopedDriveDatabase() {
        if (m_previous)
            vorn::hdd::InstallDriveDatabase(*m_previous);
        else
            vorn::hdd::InstallDefaultDriveDatabase();
    }

private:
    std::optional<QStringList> m_previous = vorn::hdd::InstalledDriveDatabasePaths();
};
