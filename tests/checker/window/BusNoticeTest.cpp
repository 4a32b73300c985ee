#ifdef VORN_TEST_DBUS

#include "AlertWatch.h"
#include "CheckerWindow.h"
#include "platform/SimMachine.h"

#include "../../support/SimMachineFiles.h"
#include "../../support/TempDir.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// A session bus of the tests' own, in place before any test touches the
// bus: no notification of a test reaches the desktop of whoever runs it.
class PrivateSessionBus : public ::testing::Environment {
public:
    void SetUp() override {
        m_daemon = std::make_unique<QProcess>();
        m_daemon->start(QStringLiteral("dbus-daemon"),
                        {QStringLiteral("--session"), QStringLiteral("--nofork"),
                         QStringLiteral("--print-address=1")});
        if (m_daemon->waitForStarted() && m_daemon->waitForReadyRead(20000))
            s_address = QString::fromUtf8(m_daemon->readLine()).trimmed();
        // Without a daemon nothing may go to a desktop bus either.
        qputenv("DBUS_SESSION_BUS_ADDRESS",
                s_address.isEmpty() ? QByteArray("unix:path=/nonexistent") : s_address.toUtf8());
    }
    void TearDown() override {
        m_daemon->kill();
        m_daemon->waitForFinished();
    }

    static inline QString s_address;

private:
    std::unique_ptr<QProcess> m_daemon;
};

[[maybe_unused]] ::testing::Environment* const kBus =
    ::testing::AddGlobalTestEnvironment(new PrivateSessionBus);

// The desktop's notification service, as far as the programs use it.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Note {
        uint id;
        QString app, summary, body;
        QStringList actions;
    };

    FakeNotifications()
        : m_bus(QDBusConnection::connectToBus(PrivateSessionBus::s_address, kName)) {}
    ~FakeNotifications() override {
        m_bus.unregisterService(kService);
        QDBusConnection::disconnectFromBus(kName);
    }

    bool Serve() {
        return m_bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots) &&
               m_bus.registerService(kService);
    }

    void Emit(const QString& name, const QVariantList& arguments) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, name);
        signal.setArguments(arguments);
        m_bus.send(signal);
    }

    QList<Note> notes;

signals:
    void notified();

public slots:
    uint Notify(const QString& app, uint, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap&, int) {
        notes.append({uint(notes.size() + 1), app, summary, body, actions});
        emit notified();
        return notes.last().id;
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

private:
    static inline const QString kName = QStringLiteral("fake-notifications");
    QDBusConnection m_bus;
};

// Every signal the service sent before this returns has reached the
// program's side: the answer to a call comes after them on the same road.
bool RoundTrip() {
    QDBusPendingCallWatcher watcher(
        QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
            kService, kPath, kService, QStringLiteral("GetCapabilities"))));
    QSignalSpy done(&watcher, &QDBusPendingCallWatcher::finished);
    return done.wait(20000) && !watcher.isError();
}

TEST(CheckerBusNotice, TheButtonOfItsOwnNotificationAcceptsAndNothingElseDoes) {
    if (PrivateSessionBus::s_address.isEmpty())
        GTEST_SKIP() << "no dbus-daemon";
    FakeNotifications service;
    ASSERT_TRUE(service.Serve());
    TestDir dir;
    const QString machine = dir.path(QStringLiteral("machine"));
    ASSERT_TRUE(
        simfiles::CopyMachine(QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine"), machine));
    vorn::platform::selectSimMachine(machine);

    CCheckerDlg::Setup setup;
    const QString baselines = dir.path();
    setup.session.baselineDir = [baselines] { return baselines; };
    setup.session.now = [] { return std::int64_t{1'800'000'000}; };
    setup.session.sleep = [](int) {};
    setup.startDir = QStringLiteral(VORN_SOURCE_ROOT "/data");
    setup.services.showSmoothly = [](QWidget*, bool, int, int) {};
    setup.workerMode = CDiskWorker::Mode::Inline;
    setup.trayAvailable = false; // no balloons: the bus
    CCheckerDlg window(setup);
    window.Start();
    const CDisk* disk = window.Session().Disks().GetAt(0);
    ASSERT_TRUE(disk);
    const QString watchFile = WatchFilePath(baselines, disk->GetSerialNumber());
    const auto reallocated = [&watchFile] {
        QFile file(watchFile);
        const std::optional<WatchState> state =
            file.open(QIODevice::ReadOnly) ? DecodeWatchState(file.readAll()) : std::nullopt;
        return state ? state->reference.counts.at(5) : -1;
    };
    ASSERT_EQ(reallocated(), 0);

    ASSERT_TRUE(
        simfiles::SetRawLow(machine + QStringLiteral("/0-sata-healthy/smart-data.hex"), 5, 8));
    ASSERT_TRUE(
        simfiles::SetRawLow(machine + QStringLiteral("/0-sata-healthy/smart-data.hex"), 197, 2));
    vorn::platform::selectSimMachine(machine);
    window.Refresh();
    QSignalSpy notified(&service, &FakeNotifications::notified);
    while (service.notes.size() < 2 && notified.wait(20000)) {
    }
    ASSERT_EQ(service.notes.size(), 2);
    const FakeNotifications::Note& first = service.notes[0];
    EXPECT_EQ(first.app, QStringLiteral("Drivewatch Vuda"));
    EXPECT_EQ(first.summary, QStringLiteral("ST2000DM008-2FR102 C: D:"));
    EXPECT_EQ(first.body, QStringLiteral("再配置セクタ数 (5) が 0 から 8 に増えました"));
    EXPECT_EQ(first.actions, (QStringList{"accept", "今の状態を基準にする"}));

    // A closed notification, an id not ours, another key: none accepts.
    QSignalSpy accepted(&window.Notice(), &CDesktopNotice::actionInvoked);
    const uint closed = service.notes[0].id;
    const uint open = service.notes[1].id;
    service.Emit(QStringLiteral("NotificationClosed"), {closed, 2u});
    service.Emit(QStringLiteral("ActionInvoked"), {closed, QStringLiteral("accept")});
    service.Emit(QStringLiteral("ActionInvoked"), {open + 100, QStringLiteral("accept")});
    service.Emit(QStringLiteral("ActionInvoked"), {open, QStringLiteral("default")});
    ASSERT_TRUE(RoundTrip());
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_EQ(reallocated(), 0);

    service.Emit(QStringLiteral("ActionInvoked"), {open, QStringLiteral("accept")});
    ASSERT_TRUE(accepted.wait(20000));
    EXPECT_EQ(reallocated(), 8);
    vorn::platform::selectSimMachine(QString());
}

} // namespace

#include "BusNoticeTest.moc"

#endif
