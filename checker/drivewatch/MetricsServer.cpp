#include "MetricsServer.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace vorn::drivewatch {

namespace {

QByteArray MethodName(QHttpServerRequest::Method method) {
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Options:
        return "OPTIONS";
    case QHttpServerRequest::Method::Patch:
        return "PATCH";
    default:
        return "OTHER";
    }
}

HttpAnswer Text(int status, const char* text) {
    return {status, QByteArrayLiteral("text/plain; charset=utf-8"), QByteArray(text), {}};
}

} // namespace

HttpAnswer AnswerMetricsRequest(const CMetricsExporter& exporter, const QByteArray& method,
                                const QString& path, const QByteArray& accept) {
    const bool metrics = path == QLatin1String("/metrics");
    const bool health = path == QLatin1String("/healthz");
    if (!metrics && !health)
        return Text(404, "not found: the paths are /metrics and /healthz\n");
    if (method != "GET") {
        HttpAnswer answer = Text(405, "method not allowed: GET only\n");
        answer.allow = "GET";
        return answer;
    }
    if (!exporter.HasReading())
        return Text(503, "starting: the first pass over the disks has not ended\n");
    if (health)
        return Text(200, "ok\n");
    const MetricsFormat format = MetricsFormatForAccept(accept);
    return {200, MetricsContentType(format), exporter.Exposition(format), {}};
}

bool ParseListenAddress(const QString& text, QHostAddress* address, quint16* port, QString* error) {
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    bool ok = false;
    const uint number = colon < 0 ? 0 : text.mid(colon + 1).toUInt(&ok);
    if (colon < 0 || !ok || number > 65535) {
        *error = QStringLiteral("%1 is no ADDRESS:PORT (127.0.0.1:9633)").arg(text);
        return false;
    }
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    if (host.isEmpty()) {
        *address = QHostAddress(QHostAddress::LocalHost);
    } else if (!address->setAddress(host)) {
        *error = QStringLiteral("%1 is no IP address").arg(host);
        return false;
    }
    *port = static_cast<quint16>(number);
    return true;
}

// Hands connections to the HTTP server with a watch on each: the server
// itself waits for a request however long it takes and however big it
// grows.
class CMetricsServer::Guard : public QTcpServer {
public:
    explicit Guard(Limits limits) : m_limits(limits) {}

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        if (m_open >= m_limits.maxConnections) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        ++m_open;
        connect(socket, &QObject::destroyed, this, [this] { --m_open; });
        auto* deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, &QTcpSocket::abort);
        deadline->start(m_limits.idleMs);
        // Bytes of the request now on its way; zero between requests.
        auto received = std::make_shared<qint64>(0);
        // Connected before the HTTP server's own reader, so it sees each
        // chunk before that reader takes it.
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, deadline, received] {
            if (*received == 0)
                deadline->start(m_limits.requestMs);
            *received += socket->bytesAvailable();
            // Dropped once the HTTP server's reader has had this chunk:
            // a socket closed under it makes it complain.
            if (*received > m_limits.maxRequestBytes)
                QMetaObject::invokeMethod(socket, &QTcpSocket::abort, Qt::QueuedConnection);
        });
        connect(socket, &QTcpSocket::bytesWritten, socket, [this, deadline, received](qint64) {
            *received = 0;
            deadline->start(m_limits.idleMs);
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        addPendingConnection(socket);
    }

private:
    Limits m_limits;
    int m_open = 0;
};

CMetricsServer::CMetricsServer(const CMetricsExporter& exporter, Limits limits)
    : m_exporter(exporter), m_http(std::make_unique<QHttpServer>()), m_tcp(new Guard(limits)) {
    m_tcp->setParent(m_http.get());
    m_http->setMissingHandler(
        [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
            const HttpAnswer answer =
                AnswerMetricsRequest(m_exporter, MethodName(request.method()), request.url().path(),
                                     request.value("Accept"));
            if (answer.allow.isEmpty())
                responder.write(answer.body, {{"Content-Type", answer.contentType}},
                                static_cast<QHttpServerResponder::StatusCode>(answer.status));
            else
                responder.write(answer.body,
                                {{"Content-Type", answer.contentType}, {"Allow", answer.allow}},
                                static_cast<QHttpServerResponder::StatusCode>(answer.status));
        });
}

CMetricsServer::~CMetricsServer() = default;

bool CMetricsServer::Listen(const QHostAddress& address, quint16 port, QString* error) {
    if (!m_tcp->listen(address, port)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(m_tcp->errorString());
        return false;
    }
    m_http->bind(m_tcp);
    return true;
}

quint16 CMetricsServer::Port() const {
    return m_tcp->serverPort();
}

} // namespace vorn::drivewatch
