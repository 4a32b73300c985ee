#include "PerDiskFile.h"

namespace vorn::diskpass {

QString PerDiskFilePath(const QString& directory, QString serial, const QString& extension) {
    if (directory.isEmpty() || serial.isEmpty())
        return QString();
    serial.replace(QLatin1Char('/'), QLatin1Char('_'));
    serial.replace(QChar(u'\0'), QLatin1Char('_'));
    QString path = directory;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + serial + extension;
}

} // namespace vorn::diskpass
