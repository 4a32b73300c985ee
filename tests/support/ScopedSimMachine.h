#pragma once

#include "SimMachineInstall.h"

#include <QString>

// A simulated machine installed for one test or one fixture: the whole
// process reads it while the object lives, and nothing is installed once it
// is gone, so no test leaves its machine to the next.
class ScopedSimMachine {
public:
    ScopedSimMachine() = default;
    explicit ScopedSimMachine(const QString& directory) { install(directory); }
    ScopedSimMachine(const ScopedSimMachine&) = delete;
    ScopedSimMachine& operator=(const ScopedSimMachine&) = delete;
    ~ScopedSimMachine() { vorn::platform::InstallSimMachine(nullptr); }

    // Reads the folder afresh and installs it in place of the last machine:
    // after a test changed the files, or to start the disks anew. A folder
    // that does not exist installs the real machine.
    void install(const QString& directory) {
        vorn::platform::InstallSimMachine(vorn::platform::loadSimMachine(directory));
    }
};
