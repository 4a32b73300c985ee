#ifdef VORN_TEST_DBUS

#include "AlertWatch.h"
#include "CheckerWindow.h"
#include "DrivewatchOutput.h"
#include "DrivewatchRun.h"

#include "../../support/PassFakes.h"
#include "../../support/ScopedSimMachine.h"
#include "../../support/SimMachineFiles.h"
#include "../../support/TempDir.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

using namespace vorn::diskpass;
using namespace vorn::checker;
using namespace vorn::drivewatch;

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

// The checker without a notification area, on a copy of the sample
// machine, its notifications going to the fake service.
class CheckerBusNotice : public ::testing::Test {
protected:
    void SetUp() override {
        if (PrivateSessionBus::s_address.isEmpty())
            GTEST_SKIP() << "no dbus-daemon";
        ASSERT_TRUE(m_service.Serve());
        ASSERT_TRUE(simfiles::CopyMachine(QStringLiteral(VORN_SOURCE_ROOT "/data/sample-machine"),
                                          Machine()));
        // A disk over its threshold keeps every drivewatch run at exit 3;
        // these tests are about what changes.
        ASSERT_TRUE(QDir(Machine() + QStringLiteral("/2-sata-failing")).removeRecursively());
        m_sim.install(Machine());
        CCheckerDlg::Setup setup;
        const QString baselines = m_dir.path();
        setup.session.baselineDir = [baselines] { return baselines; };
        setup.session.now = [] { return kNow; };
        setup.session.sleep = [](int) {};
        setup.startDir = QStringLiteral(VORN_SOURCE_ROOT "/data");
        setup.services.showSmoothly = [](QWidget*, bool, int, int) {};
        setup.runner = &m_runner;
        setup.trayAvailable = false; // no balloons: the bus
        m_window = std::make_unique<CCheckerDlg>(setup);
        m_window->Start();
    }
    void TearDown() override { m_window.reset(); }

    QString Machine() const { return m_dir.path(QStringLiteral("machine")); }

    // Raw count id of the first disk, read from the next pass on.
    void SetCount(int id, int value) {
        ASSERT_TRUE(simfiles::SetRawLow(
            Machine() + QStringLiteral("/0-sata-healthy/smart-data.hex"), id, value));
        m_sim.install(Machine());
    }

    // The reallocated count the first disk's accepted state holds.
    long long AcceptedCount() const {
        const CDisk* disk = m_window->Monitor().Session().Disks().GetAt(0);
        QFile file(WatchFilePath(m_dir.path(), disk->GetSerialNumber()));
        const std::optional<WatchState> state =
            file.open(QIODevice::ReadOnly) ? DecodeWatchState(file.readAll()) : std::nullopt;
        return state ? state->reference.counts.at(5) : -1;
    }

    // The notifications the service got, once every one sent has arrived.
    qsizetype Notes() {
        EXPECT_TRUE(RoundTrip());
        return m_service.notes.size();
    }

    DrivewatchResult Drivewatch(const QString& option) {
        DrivewatchEnvironment env;
        env.programDir = QStringLiteral(VORN_SOURCE_ROOT "/data");
        env.currentDir = m_dir.path();
        env.now = [] { return kNow; };
        env.sleep = [](int) {};
        return RunDrivewatch({QStringLiteral("drivewatch"), option}, env);
    }

    static constexpr std::int64_t kNow = 1'800'000'000;
    FakeNotifications m_service;
    ScopedSimMachine m_sim;
    TestDir m_dir;
    CInlinePassRunner m_runner;
    std::unique_ptr<CCheckerDlg> m_window;
};

TEST_F(CheckerBusNotice, TheButtonOfItsOwnNotificationAcceptsAndNothingElseDoes) {
    ASSERT_EQ(AcceptedCount(), 0);
    SetCount(5, 8);
    SetCount(197, 2);
    m_window->Refresh();
    // Both changes of the pass in one notification: a second would replace
    // the first.
    ASSERT_EQ(Notes(), 1);
    const FakeNotifications::Note& first = m_service.notes[0];
    EXPECT_EQ(first.app, QStringLiteral("Drivewatch Vuda"));
    EXPECT_EQ(first.summary, QStringLiteral("ST2000DM008-2FR102 C: D:"));
    EXPECT_EQ(first.body, QStringLiteral("再配置セクタ数 (5) が 0 から 8 に増えました\n"
                                         "不安定セクター数 (197) が 0 から 2 に増えました"));
    EXPECT_EQ(first.actions, (QStringList{"accept", "今の状態を基準にする"}));
    SetCount(198, 1);
    m_window->Refresh();
    ASSERT_EQ(Notes(), 2);

    // A closed notification, an id not ours, another key: none accepts.
    QSignalSpy accepted(&m_window->Notice(), &CDesktopNotice::actionInvoked);
    const uint closed = m_service.notes[0].id;
    const uint open = m_service.notes[1].id;
    m_service.Emit(QStringLiteral("NotificationClosed"), {closed, 2u});
    m_service.Emit(QStringLiteral("ActionInvoked"), {closed, QStringLiteral("accept")});
    m_service.Emit(QStringLiteral("ActionInvoked"), {open + 100, QStringLiteral("accept")});
    m_service.Emit(QStringLiteral("ActionInvoked"), {open, QStringLiteral("default")});
    ASSERT_TRUE(RoundTrip());
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_EQ(AcceptedCount(), 0);

    m_service.Emit(QStringLiteral("ActionInvoked"), {open, QStringLiteral("accept")});
    ASSERT_TRUE(accepted.wait(20000));
    EXPECT_EQ(AcceptedCount(), 8);
}

// A disk whose reallocated count rises: one notification and one run of
// drivewatch --changes that exits 4, however often either looks, until the
// user accepts; then a further rise is news again.
TEST_F(CheckerBusNotice, ARisingCountIsToldOnceOnEachSideUntilAccepted) {
    EXPECT_EQ(Drivewatch(QStringLiteral("--changes")).exitCode, kExitGood);
    SetCount(5, 8);
    for (int pass = 0; pass < 3; ++pass) {
        m_window->Refresh();
        m_window->TimerPass();
    }
    EXPECT_EQ(Notes(), 1);
    EXPECT_EQ(Drivewatch(QStringLiteral("--changes")).exitCode, kExitWorse);
    EXPECT_EQ(Drivewatch(QStringLiteral("--changes")).exitCode, kExitGood);
    m_window->Refresh();
    EXPECT_EQ(Notes(), 1);

    QSignalSpy accepted(&m_window->Notice(), &CDesktopNotice::actionInvoked);
    m_service.Emit(QStringLiteral("ActionInvoked"),
                   {m_service.notes[0].id, QStringLiteral("accept")});
    ASSERT_TRUE(accepted.wait(20000));
    const DrivewatchResult after = Drivewatch(QStringLiteral("--changes"));
    EXPECT_EQ(after.exitCode, kExitGood);
    EXPECT_TRUE(after.out.isEmpty());
    m_window->Refresh();
    EXPECT_EQ(Notes(), 1);

    SetCount(5, 9);
    m_window->Refresh();
    EXPECT_EQ(Notes(), 2);
    EXPECT_EQ(Drivewatch(QStringLiteral("--changes")).exitCode, kExitWorse);
}

} // namespace

#include "BusNoticeTest.moc"

#endif
