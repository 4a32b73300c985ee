// Looks the given drives up in a drive database, once each, as a read pass
// does for its disks: the cost of the knowledge lookup on its own, to set
// beside `drivewatch --json` under callgrind (docs/performance.md).
//
// Usage: drivedb-lookup DATABASE|- MODEL FIRMWARE [MODEL FIRMWARE ...]
//   "-" reads no database (the built-in table).
#include "DriveDatabaseInstall.h"
#include "DriveKnowledge.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    if (argc < 2 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: %s DATABASE|- MODEL FIRMWARE...\n", argv[0]);
        return 2;
    }
    vorn::hdd::InstallDriveDatabase(std::strcmp(argv[1], "-") == 0
                                        ? QStringList()
                                        : QStringList{QString::fromLocal8Bit(argv[1])});
    for (int i = 2; i + 1 < argc; i += 2) {
        const auto k = vorn::hdd::lookupDriveKnowledge(QString::fromLocal8Bit(argv[i]),
                                                       QString::fromLocal8Bit(argv[i + 1]));
        std::printf("%s: %s\n", argv[i], k.inDatabase ? qPrintable(k.family) : "(not listed)");
    }
    return 0;
}
