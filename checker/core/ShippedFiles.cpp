#include "ShippedFiles.h"

#include <QDir>
#include <QFileInfo>

namespace vorn::checker {

#ifndef VORN_DATADIR_FROM_BINDIR
#define VORN_DATADIR_FROM_BINDIR "../share/vorn"
#endif

namespace {

bool holdsTemplates(const QString& dir) {
    return !dir.isEmpty() && QFileInfo(dir + QStringLiteral("/Template")).isDir();
}

} // namespace

QString InstalledDataDir(const QString& programDir) {
    return QDir::cleanPath(programDir + QLatin1Char('/') +
                           QStringLiteral(VORN_DATADIR_FROM_BINDIR));
}

QString ManualPath(const QString& shippedDir, InterfaceLanguage language) {
    const QString name = QStringLiteral("DrivewatchMini.html");
    return QDir(shippedDir)
        .filePath(language == InterfaceLanguage::English ? QStringLiteral("en/") + name : name);
}

QString ShippedFilesDir(const QString& startDir, const QString& programDir) {
    for (const QString& dir : {startDir, programDir}) {
        if (holdsTemplates(dir))
            return dir;
    }
    return InstalledDataDir(programDir);
}

} // namespace vorn::checker
