// vorn-test-authority: a stand-in for polkit's authority on a test bus, for
// machines (the QEMU guest) where polkitd cannot run. It answers
// CheckAuthorization yes for the actions named with --allow and no for any
// other, and writes one line per question to --log, so a test can see what
// the helper asked and about whom.
//
//   vorn-test-authority --address ADDRESS [--allow ACTION]... [--log FILE]
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMetaType>
#include <QFile>
#include <QObject>
#include <QVariantMap>

#include <cstdio>

namespace {

struct Subject {
    QString kind;
    QVariantMap details;
};

struct AuthorizationResult {
    bool authorized = false;
    bool challenge = false;
    QMap<QString, QString> details;
};

QDBusArgument& operator<<(QDBusArgument& argument, const Subject& subject) {
    argument.beginStructure();
    argument << subject.kind << subject.details;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Subject& subject) {
    argument.beginStructure();
    argument >> subject.kind >> subject.details;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const AuthorizationResult& result) {
    argument.beginStructure();
    argument << result.authorized << result.challenge << result.details;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, AuthorizationResult& result) {
    argument.beginStructure();
    argument >> result.authorized >> result.challenge >> result.details;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(Subject)
Q_DECLARE_METATYPE(AuthorizationResult)

class Authority : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.PolicyKit1.Authority")

public:
    Authority(QStringList allowed, QString logPath)
        : m_allowed(std::move(allowed)), m_logPath(std::move(logPath)) {}

public slots:
    AuthorizationResult CheckAuthorization(const Subject& subject, const QString& action,
                                           const QMap<QString, QString>& /*details*/, uint flags,
                                           const QString& /*cancellationId*/) {
        AuthorizationResult result;
        result.authorized = m_allowed.contains(action);
        if (!m_logPath.isEmpty()) {
            QFile log(m_logPath);
            if (log.open(QIODevice::Append | QIODevice::Text)) {
                const QString line =
                    QStringLiteral("%1 %2 %3 flags=%4 %5\n")
                        .arg(subject.kind, subject.details.value(QStringLiteral("name")).toString(),
                             action, QString::number(flags),
                             result.authorized ? QStringLiteral("yes") : QStringLiteral("no"));
                log.write(line.toUtf8());
            }
        }
        return result;
    }

private:
    QStringList m_allowed;
    QString m_logPath;
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<Subject>();
    qDBusRegisterMetaType<AuthorizationResult>();
    qDBusRegisterMetaType<QMap<QString, QString>>();

    QString address;
    QString logPath;
    QStringList allowed;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--address"))
            address = args[i + 1];
        else if (args[i] == QLatin1String("--allow"))
            allowed << args[i + 1];
        else if (args[i] == QLatin1String("--log"))
            logPath = args[i + 1];
    }
    if (address.isEmpty() || args.size() % 2 == 0) {
        std::fprintf(stderr, "usage: vorn-test-authority --address ADDRESS [--allow ACTION]... "
                             "[--log FILE]\n");
        return 64;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("authority"));
    Authority authority(allowed, logPath);
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/PolicyKit1/Authority"), &authority,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.PolicyKit1"))) {
        std::fprintf(stderr, "vorn-test-authority: cannot serve on %s: %s\n", qPrintable(address),
                     qPrintable(bus.lastError().message()));
        return 69;
    }
    return app.exec();
}

#include "main.moc"
