// Linked into every test program whose code may look drives up: before main()
// the process is told to read no drive database, so the built-in table
// serves whatever the machine running the tests has installed. A test that
// wants a database installs one with ScopedDriveDatabase.
#include "DriveDatabaseInstall.h"

namespace {

const bool kNoDatabase = [] {
    vorn::hdd::InstallDriveDatabase({});
    return true;
}();

} // namespace
