#include "HistoryPath.h"

#include <QDir>
#include <QFileInfo>

#include <sys/auxv.h>
#include <sys/stat.h>

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vorn::history {

QString HistoryPathFrom(const std::function<QString(const char*)>& variable, const QString& home) {
    const QString chosen = variable("VORN_HISTORY");
    if (!chosen.isEmpty())
        return chosen;
    // XDG_STATE_HOME counts only as an absolute path; anything else falls back
    // to the default under the home folder.
    const QString state = variable("XDG_STATE_HOME");
    const QString base =
        state.startsWith(QLatin1Char('/')) ? state : home + QStringLiteral("/.local/state");
    return base + QStringLiteral("/vorn/history.sqlite");
}

QString HistoryPath() {
    const struct passwd* account = ::getpwuid(::getuid());
    const QString accountHome =
        account && account->pw_dir ? QString::fromLocal8Bit(account->pw_dir) : QString();
    if (::getauxval(AT_SECURE) != 0)
        return HistoryPathFrom([](const char*) { return QString(); }, accountHome);
    const QString home = qEnvironmentVariable("HOME");
    return HistoryPathFrom([](const char* name) { return qEnvironmentVariable(name); },
                           home.isEmpty() ? accountHome : home);
}

bool MakeHistoryFolder(const QString& file, QString* error) {
    const QString folder = QFileInfo(file).absolutePath();
    const QStringList parts = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path;
    for (const QString& part : parts) {
        path += QLatin1Char('/') + part;
        const QByteArray name = QFile::encodeName(path);
        if (::mkdir(name.constData(), 0700) == 0 || errno == EEXIST)
            continue;
        *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

} // namespace vorn::history
