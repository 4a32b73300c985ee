#include "DrivewatchRun.h"
#include "ErrorLog.h"
#include "HistoryStore.h"
#include "MetricsExporter.h"
#include "MetricsServer.h"
#include "MetricsText.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

#include "../../support/PassFakes.h"
#include "../../support/ScopedSimMachine.h"
#include "../../support/SimMachineFiles.h"
#include "../../support/TempDir.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

using namespace vorn::drivewatch;

namespace {

const QString kSourceRoot = QStringLiteral(VORN_SOURCE_ROOT);
const QString kSampleMachine = kSourceRoot + QStringLiteral("/data/sample-machine");
const QString kNvmeMachine = kSourceRoot + QStringLiteral("/tests/fixtures/nvme-machine");

// The one complaint promtool has, and must have: the compatible name of the
// power-cycle count, kept for the dashboards beside its counter.
const QString kKnownLint = QStringLiteral(
    "smartctl_device_power_cycle_count non-histogram and non-summary metrics should not have "
    "\"_count\" suffix");

// Sets the given keys of the disk's last section; a key the file already has
// is dropped first, as the first of two equal keys would win.
void AppendToDiskIni(const QString& ini, const QByteArray& lines) {
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> kept = file.readAll().split('\n');
    file.close();
    for (const QByteArray& line : lines.split('\n')) {
        const QByteArray key = line.left(line.indexOf('=') + 1);
        if (!key.isEmpty())
            kept.removeIf([&](const QByteArray& old) { return old.startsWith(key); });
    }
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(kept.join('\n').trimmed() + '\n' + lines);
}

// --- the text itself ---------------------------------------------------

TEST(MetricsText, CountersTakeTheirSuffixWhereEachFormatWantsIt) {
    const QList<MetricFamily> families{
        {QStringLiteral("disk_cycles"),
         QStringLiteral("Cycles"),
         MetricType::Counter,
         {{{{QStringLiteral("device"), QStringLiteral("/dev/sda")}}, 3}}},
        {QStringLiteral("disk_heat"), QStringLiteral("Heat"), MetricType::Gauge, {{{}, 41}}},
        {QStringLiteral("nothing_yet"), QStringLiteral("No samples"), MetricType::Gauge, {}}};

    EXPECT_EQ(EncodeMetrics(families, MetricsFormat::Prometheus),
              QByteArray("# HELP disk_cycles_total Cycles\n"
                         "# TYPE disk_cycles_total counter\n"
                         "disk_cycles_total{device=\"/dev/sda\"} 3\n"
                         "# HELP disk_heat Heat\n"
                         "# TYPE disk_heat gauge\n"
                         "disk_heat 41\n"));
    EXPECT_EQ(EncodeMetrics(families, MetricsFormat::OpenMetrics),
              QByteArray("# HELP disk_cycles Cycles\n"
                         "# TYPE disk_cycles counter\n"
                         "disk_cycles_total{device=\"/dev/sda\"} 3\n"
                         "# HELP disk_heat Heat\n"
                         "# TYPE disk_heat gauge\n"
                         "disk_heat 41\n"
                         "# EOF\n"));
}

TEST(MetricsText, LabelValuesAndHelpAreEscaped) {
    const QList<MetricFamily> families{
        {QStringLiteral("m"),
         QStringLiteral("back\\slash \"quoted\"\nsecond line"),
         MetricType::Gauge,
         {{{{QStringLiteral("model"), QStringLiteral("A\\B \"C\"\nD ディスク")}}, 1}}}};
    const QString prometheus =
        QString::fromUtf8(EncodeMetrics(families, MetricsFormat::Prometheus));
    EXPECT_TRUE(
        prometheus.contains(QStringLiteral("# HELP m back\\\\slash \"quoted\"\\nsecond line\n")));
    EXPECT_TRUE(
        prometheus.contains(QStringLiteral("m{model=\"A\\\\B \\\"C\\\"\\nD ディスク\"} 1\n")));
    // OpenMetrics escapes the quote in HELP as well.
    EXPECT_TRUE(
        QString::fromUtf8(EncodeMetrics(families, MetricsFormat::OpenMetrics))
            .contains(QStringLiteral("# HELP m back\\\\slash \\\"quoted\\\"\\nsecond line\n")));
}

TEST(MetricsText, ValuesReadBackAsWritten) {
    EXPECT_EQ(MetricValueText(0), QStringLiteral("0"));
    EXPECT_EQ(MetricValueText(-1), QStringLiteral("-1"));
    // A 48-bit raw count stays whole, not 2.8147e+14.
    EXPECT_EQ(MetricValueText(281474976710655.0), QStringLiteral("281474976710655"));
    EXPECT_EQ(MetricValueText(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(MetricValueText(0.1).toDouble(), 0.1);
    EXPECT_EQ(MetricValueText(1e300).toDouble(), 1e300);
    EXPECT_EQ(MetricValueText(std::nan("")), QStringLiteral("NaN"));
    EXPECT_EQ(MetricValueText(std::numeric_limits<double>::infinity()), QStringLiteral("+Inf"));
    EXPECT_EQ(MetricValueText(-std::numeric_limits<double>::infinity()), QStringLiteral("-Inf"));
}

TEST(MetricsText, TheAcceptHeaderChoosesTheFormat) {
    // What Prometheus sends.
    EXPECT_EQ(MetricsFormatForAccept("application/openmetrics-text;version=1.0.0,application/"
                                     "openmetrics-text;version=0.0.1;q=0.75,text/plain;version="
                                     "0.0.4;q=0.5,*/*;q=0.1"),
              MetricsFormat::OpenMetrics);
    EXPECT_EQ(MetricsFormatForAccept("text/plain"), MetricsFormat::Prometheus);
    EXPECT_EQ(MetricsFormatForAccept(""), MetricsFormat::Prometheus);
}

TEST(MetricsServer, ListenAddressesStayLocalUnlessWrittenOut) {
    QHostAddress address;
    quint16 port = 0;
    QString error;
    ASSERT_TRUE(ParseListenAddress(QStringLiteral("127.0.0.1:9633"), &address, &port, &error));
    EXPECT_EQ(address, QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(port, 9633);
    ASSERT_TRUE(ParseListenAddress(QStringLiteral(":9100"), &address, &port, &error));
    EXPECT_TRUE(address.isLoopback());
    ASSERT_TRUE(ParseListenAddress(QStringLiteral("[::1]:80"), &address, &port, &error));
    EXPECT_EQ(address, QHostAddress(QHostAddress::LocalHostIPv6));
    ASSERT_TRUE(ParseListenAddress(QStringLiteral("0.0.0.0:9633"), &address, &port, &error));
    EXPECT_EQ(address, QHostAddress(QHostAddress::AnyIPv4));
    for (const char* bad :
         {"9633", "localhost:9633", "127.0.0.1:70000", "127.0.0.1:x", "host name:1"})
        EXPECT_FALSE(ParseListenAddress(QString::fromLatin1(bad), &address, &port, &error)) << bad;
}

// --- the exposition of whole machines ------------------------------------

class MetricsMachineTest : public ::testing::Test {
protected:
    void TearDown() override {
        Cm_CloseErrorFile();
        qunsetenv("VORN_SIM_TRACE");
    }

    QString Machine() const { return m_dir.path(QStringLiteral("machine")); }

    // The sample machine's disk in folder, alone on a machine of its own.
    void SingleDisk(const QString& folder, const QByteArray& deviceLines) {
        ASSERT_TRUE(simfiles::CopyMachine(kSampleMachine + QLatin1Char('/') + folder,
                                          Machine() + QLatin1Char('/') + folder));
        AppendToDiskIni(Machine() + QLatin1Char('/') + folder + QStringLiteral("/disk.ini"),
                        deviceLines);
    }

    DrivewatchResult Run(const QString& machine, QStringList words) {
        m_sim.install(machine);
        DrivewatchEnvironment env;
        env.currentDir = m_dir.path();
        env.now = [] { return std::int64_t{1700000000}; };
        env.sleep = [](int) {};
        words.prepend(QStringLiteral("drivewatch"));
        words.append(QStringLiteral("--no-history"));
        return RunDrivewatch(words, env);
    }

    // promtool's complaints, one per line, the known one left out; nothing
    // when promtool is not installed (the caller skips).
    QStringList Lint(const QByteArray& text) {
        QProcess promtool;
        promtool.start(m_promtool, {QStringLiteral("check"), QStringLiteral("metrics")});
        promtool.write(text);
        promtool.closeWriteChannel();
        EXPECT_TRUE(promtool.waitForFinished(60000));
        QStringList problems;
        const QString output =
            QString::fromUtf8(promtool.readAllStandardOutput() + promtool.readAllStandardError());
        for (const QString& line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line.trimmed() != kKnownLint)
                problems << line;
        }
        return problems;
    }

    bool HavePromtool() const { return !m_promtool.isEmpty(); }

    TestDir m_dir;
    ScopedSimMachine m_sim;
    QString m_promtool = QStandardPaths::findExecutable(QStringLiteral("promtool"));
};

TEST_F(MetricsMachineTest, EveryDiskKindPassesPromtool) {
    if (!HavePromtool())
        GTEST_SKIP() << "promtool is not installed";
    // A USB disk whose bridge passes no S.M.A.R.T., and a disk asleep.
    SingleDisk(QStringLiteral("4-usb"), "Bridge=none\nUsbId=abcd:0001\n");
    SingleDisk(QStringLiteral("1-pata-old"), "PowerMode=standby\n");

    const struct {
        QString machine;
        QStringList words;
        const char* expect;
    } cases[] = {
        {kSampleMachine,
         {QStringLiteral("--openmetrics")},
         "smartctl_device_attribute{device=\"/dev/sda\",attribute_id=\"5\","
         "attribute_name=\"Reallocated_Sector_Ct\",attribute_value_type=\"raw\"}"},
        {kNvmeMachine,
         {QStringLiteral("--openmetrics")},
         "smartctl_device_percentage_used{device=\"/dev/nvme0n1\"} 3\n"},
        {Machine(),
         {QStringLiteral("--openmetrics"), QStringLiteral("--no-wake")},
         "vorn_disk_sleeping{device=\"/dev/sdb\"} 1\n"},
        {Machine(),
         {QStringLiteral("--openmetrics"), QStringLiteral("--no-wake")},
         "vorn_disk_smart_available{device=\"/dev/sde\"} 0\n"},
    };
    for (const auto& c : cases) {
        const DrivewatchResult result = Run(c.machine, c.words);
        SCOPED_TRACE(c.machine.toStdString());
        EXPECT_TRUE(result.out.contains(c.expect)) << result.out.toStdString();
        EXPECT_EQ(Lint(result.out), QStringList());
        EXPECT_TRUE(result.out.contains("# TYPE vorn_disk_power_cycles_total counter\n") ||
                    c.machine == Machine());
    }
}

TEST_F(MetricsMachineTest, ASleepingOrUnreadableDiskExportsNoValuesItDoesNotHave) {
    SingleDisk(QStringLiteral("4-usb"), "Bridge=none\nUsbId=abcd:0001\n");
    SingleDisk(QStringLiteral("1-pata-old"), "PowerMode=standby\n");
    const QByteArray out =
        Run(Machine(), {QStringLiteral("--openmetrics"), QStringLiteral("--no-wake")}).out;
    EXPECT_TRUE(out.contains("vorn_disk_power_mode{device=\"/dev/sdb\",mode=\"standby\"} 1\n"));
    EXPECT_TRUE(out.contains("smartctl_device{device=\"/dev/sdb\""));
    for (const char* absent :
         {"smartctl_device_temperature{device=\"/dev/sdb\"", "smartctl_device_smart_status{device",
          "smartctl_device_attribute{device=\"/dev/sde\"",
          "vorn_disk_read_timestamp_seconds{device=\"/dev/sdb\""})
        EXPECT_FALSE(out.contains(absent)) << absent;
    EXPECT_TRUE(out.contains("vorn_disks 2\n"));
}

TEST_F(MetricsMachineTest, AFailingDiskOfTheSampleMachineSaysSoUnderBothNames) {
    const QByteArray out = Run(kSampleMachine, {QStringLiteral("--openmetrics=openmetrics")}).out;
    EXPECT_TRUE(out.contains("smartctl_device_smart_status{device=\"/dev/sdc\"} 0\n"));
    EXPECT_TRUE(out.contains("vorn_disk_status{device=\"/dev/sdc\"} 1\n"));
    EXPECT_TRUE(out.contains("# TYPE vorn_disk_power_cycles counter\n"));
    EXPECT_TRUE(out.endsWith("# EOF\n"));
}

// The execution status byte says the last self-test failed (7: a read
// element, 40 % left): the metric the failed-test rule fires on says so,
// and only of that disk; an untested drive says 0.
TEST_F(MetricsMachineTest, ADriveWhoseLastSelfTestFailedExportsTheFailure) {
    ASSERT_TRUE(simfiles::CopyMachine(kSampleMachine, Machine()));
    const QString smartData = Machine() + QStringLiteral("/0-sata-healthy/smart-data.hex");
    QByteArray data = simfiles::ReadHex(smartData);
    ASSERT_EQ(data.size(), 512);
    data[511] = static_cast<char>(data[511] - (0x74 - data[363]));
    data[363] = static_cast<char>(0x74);
    ASSERT_TRUE(simfiles::WriteHex(smartData, data));
    const QByteArray out = Run(Machine(), {QStringLiteral("--openmetrics")}).out;
    EXPECT_TRUE(out.contains("vorn_disk_self_test_failed{device=\"/dev/sda\"} 1\n")) << out.data();
    EXPECT_TRUE(out.contains("vorn_disk_self_test_failed{device=\"/dev/sdb\"} 0\n"));
    EXPECT_FALSE(out.contains("vorn_disk_self_test_failed{device=\"/dev/sde\"} 1"));
}

// --- the exporter and its endpoint -----------------------------------------

class ExporterTest : public MetricsMachineTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(simfiles::CopyMachine(kSampleMachine, Machine()));
        m_sim.install(Machine());
        qputenv("VORN_SIM_TRACE", m_dir.path(QStringLiteral("trace.txt")).toLocal8Bit());
    }

    std::unique_ptr<CMetricsExporter> MakeExporter() {
        CMetricsExporter::Environment env;
        env.timer = &m_timer;
        env.runner = &m_runner;
        MetricsPassEnvironment passEnv;
        passEnv.baselineDir = m_dir.path();
        passEnv.historyPath = m_dir.path(QStringLiteral("history.sqlite"));
        passEnv.now = [this] { return m_now; };
        passEnv.sleep = [](int) {};
        env.pass = [passEnv] { return RunMetricsPass({}, passEnv); };
        env.notice = [this](const QString& line) { m_notices += line; };
        return std::make_unique<CMetricsExporter>(env);
    }

    QByteArray Trace() const { return m_dir.read(QStringLiteral("trace.txt")); }
    QByteArray Scrape(const CMetricsExporter& exporter) const {
        return AnswerMetricsRequest(exporter, "GET", QStringLiteral("/metrics"), {}).body;
    }

    FakeTimer m_timer;
    CInlinePassRunner m_runner;
    std::int64_t m_now = 1700000000;
    QString m_notices;
};

TEST_F(ExporterTest, AScrapeSendsNoDiskRequest) {
    const auto exporter = MakeExporter();
    EXPECT_EQ(AnswerMetricsRequest(*exporter, "GET", QStringLiteral("/metrics"), {}).status, 503);
    exporter->Start();
    EXPECT_EQ(m_timer.interval, 300000);
    const QByteArray afterPass = Trace();
    ASSERT_FALSE(afterPass.isEmpty());
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(Scrape(*exporter).contains("smartctl_device_temperature"));
    EXPECT_EQ(Trace(), afterPass);
    m_timer.Tick();
    EXPECT_GT(Trace().size(), afterPass.size());
    EXPECT_EQ(m_notices, QString());
}

TEST_F(ExporterTest, ADiskThatFellAsleepKeepsItsLastValuesUnreadAndMarked) {
    const auto exporter = MakeExporter();
    exporter->Start();
    const QByteArray awake = Scrape(*exporter);
    ASSERT_TRUE(awake.contains("smartctl_device_temperature{device=\"/dev/sdb\","
                               "temperature_type=\"current\"} 43\n"));
    ASSERT_TRUE(awake.contains("vorn_disk_sleeping{device=\"/dev/sdb\"} 0\n"));

    AppendToDiskIni(Machine() + QStringLiteral("/1-pata-old/disk.ini"), "PowerMode=standby\n");
    m_sim.install(Machine());
    m_now += 300;
    m_timer.Tick();
    const QByteArray asleep = Scrape(*exporter);
    EXPECT_TRUE(asleep.contains("smartctl_device_temperature{device=\"/dev/sdb\","
                                "temperature_type=\"current\"} 43\n"));
    EXPECT_TRUE(asleep.contains("vorn_disk_sleeping{device=\"/dev/sdb\"} 1\n"));
    EXPECT_TRUE(asleep.contains("vorn_disk_power_mode{device=\"/dev/sdb\",mode=\"standby\"} 1\n"));
    // Read at the first pass, not at this one; the pass itself is now.
    EXPECT_TRUE(
        asleep.contains("vorn_disk_read_timestamp_seconds{device=\"/dev/sdb\"} 1700000000\n"));
    EXPECT_TRUE(asleep.contains("vorn_pass_timestamp_seconds 1700000300\n"));
    EXPECT_FALSE(Trace().contains(" WAKE-UP "));

    // Each pass went to the history, the sleeping disk's only while awake.
    vorn::history::HistoryStore store;
    ASSERT_TRUE(store.open(m_dir.path(QStringLiteral("history.sqlite"))));
    int sleeper = 0;
    int healthy = 0;
    for (const vorn::history::StoredReading& stored : store.readings()) {
        sleeper += stored.reading.disk.model == QLatin1String("Maxtor 6Y080L0");
        healthy += stored.reading.disk.model == QLatin1String("ST2000DM008-2FR102");
    }
    EXPECT_EQ(sleeper, 1);
    EXPECT_EQ(healthy, 2);
}

TEST_F(ExporterTest, ATickWhileAPassRunsIsSkipped) {
    m_runner.holdDone = true;
    const auto exporter = MakeExporter();
    exporter->Start();
    m_timer.Tick();
    EXPECT_EQ(m_runner.passes, 1);
    m_runner.Finish();
    EXPECT_EQ(exporter->Passes(), 1);
}

// A request over a real socket: the answer's status code and body, or -1
// when the server closed the connection without one.
struct Reply {
    int status = -1;
    QByteArray headers;
    QByteArray body;
};

// Sends request; done once one whole answer or the connection's end came.
class Client : public QObject {
    Q_OBJECT

public:
    Client(quint16 port, const QByteArray& request) {
        connect(&m_socket, &QTcpSocket::connected, this,
                [this, request] { m_socket.write(request); });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
            m_data += m_socket.readAll();
            if (Complete())
                Finish();
        });
        connect(&m_socket, &QTcpSocket::disconnected, this, &Client::Finish);
        connect(&m_socket, &QTcpSocket::errorOccurred, this, &Client::Finish);
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }
    bool Done() const { return m_done; }
    Reply Take() const {
        Reply reply;
        const int end = m_data.indexOf("\r\n\r\n");
        if (!m_data.startsWith("HTTP/1.1 ") || end < 0)
            return reply;
        reply.status = m_data.mid(9, 3).toInt();
        reply.headers = m_data.left(end);
        reply.body = m_data.mid(end + 4);
        return reply;
    }

signals:
    void done();

private:
    void Finish() {
        if (!std::exchange(m_done, true))
            emit done();
    }
    bool Complete() const {
        const int end = m_data.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        const QByteArray head = m_data.left(end).toLower();
        const int at = head.indexOf("content-length: ");
        const qint64 length = at < 0 ? 0 : head.mid(at + 16).split('\r').value(0).toLongLong();
        return m_data.size() - end - 4 >= length;
    }

    QTcpSocket m_socket;
    QByteArray m_data;
    bool m_done = false;
};

// Runs the event loop until every client is done, or a deadline far
// beyond any answer passes (then the test fails on the missing answers).
void RunUntilDone(const std::vector<std::unique_ptr<Client>>& clients) {
    QEventLoop loop;
    const auto quitWhenAllDone = [&] {
        for (const auto& client : clients) {
            if (!client->Done())
                return;
        }
        loop.quit();
    };
    for (const auto& client : clients)
        QObject::connect(client.get(), &Client::done, &loop, quitWhenAllDone, Qt::QueuedConnection);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    if (!std::all_of(clients.begin(), clients.end(), [](const auto& c) { return c->Done(); }))
        loop.exec();
}

Reply Exchange(quint16 port, const QByteArray& request) {
    std::vector<std::unique_ptr<Client>> clients;
    clients.push_back(std::make_unique<Client>(port, request));
    RunUntilDone(clients);
    return clients.front()->Take();
}

class EndpointTest : public ExporterTest {
protected:
    void SetUp() override {
        ExporterTest::SetUp();
        m_exporter = MakeExporter();
        m_exporter->Start();
    }
    quint16 Serve(CMetricsServer::Limits limits = {}) {
        m_server = std::make_unique<CMetricsServer>(*m_exporter, limits);
        QString error;
        EXPECT_TRUE(m_server->Listen(QHostAddress::LocalHost, 0, &error)) << error.toStdString();
        return m_server->Port();
    }

    std::unique_ptr<CMetricsExporter> m_exporter;
    std::unique_ptr<CMetricsServer> m_server;
};

TEST_F(EndpointTest, OnlyGetOfTheTwoPathsIsAnswered) {
    const quint16 port = Serve();
    const Reply metrics = Exchange(port, "GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(metrics.status, 200);
    EXPECT_TRUE(metrics.headers.contains("text/plain; version=0.0.4"));
    EXPECT_EQ(metrics.body, m_exporter->Exposition(MetricsFormat::Prometheus));

    const Reply open = Exchange(port, "GET /metrics?x=1 HTTP/1.1\r\nHost: x\r\nAccept: "
                                      "application/openmetrics-text;version=1.0.0\r\n\r\n");
    EXPECT_EQ(open.status, 200);
    EXPECT_TRUE(open.body.endsWith("# EOF\n"));
    EXPECT_EQ(Exchange(port, "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n").body, "ok\n");

    const Reply post = Exchange(port, "POST /metrics HTTP/1.1\r\nHost: x\r\nContent-Length: 2"
                                      "\r\n\r\nhi");
    EXPECT_EQ(post.status, 405);
    EXPECT_TRUE(post.headers.contains("Allow: GET"));
    EXPECT_EQ(Exchange(port, "DELETE /healthz HTTP/1.1\r\nHost: x\r\n\r\n").status, 405);
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.1\r\nHost: x\r\n\r\n").status, 404);
    EXPECT_EQ(Exchange(port, "GET /metrics/extra HTTP/1.1\r\nHost: x\r\n\r\n").status, 404);
    // Not HTTP at all: no answer the scraper could take for metrics.
    EXPECT_NE(Exchange(port, "\x16\x03\x01 hello\r\n\r\n").status, 200);
}

TEST_F(EndpointTest, SlowAndHugeRequestsAreCutOff) {
    CMetricsServer::Limits limits;
    limits.requestMs = 50;
    limits.maxRequestBytes = 4096;
    const quint16 port = Serve(limits);
    // Headers that never end: the connection goes without an answer.
    EXPECT_EQ(Exchange(port, "GET /metrics HTTP/1.1\r\nHost: x\r\n").status, -1);
    EXPECT_EQ(Exchange(port, "GET /metrics HTTP/1.1\r\nHost: x\r\nX-Pad: " +
                                 QByteArray(64 * 1024, 'a') + "\r\n\r\n")
                  .status,
              -1);
    // The server still answers the next one.
    EXPECT_EQ(Exchange(port, "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n").status, 200);
}

TEST_F(EndpointTest, ManyConcurrentScrapesAllGetTheSameAnswerWithoutTouchingADisk) {
    const quint16 port = Serve();
    const QByteArray before = Trace();
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 40; ++i)
        clients.push_back(
            std::make_unique<Client>(port, "GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n"));
    RunUntilDone(clients);
    for (const auto& client : clients) {
        const Reply reply = client->Take();
        ASSERT_EQ(reply.status, 200);
        ASSERT_EQ(reply.body, m_exporter->Exposition(MetricsFormat::Prometheus));
    }
    EXPECT_EQ(Trace(), before);
}

} // namespace

#include "MetricsTest.moc"

int main(int argc, char** argv) {
    // The endpoint's sockets need an event loop; nothing else here does.
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
