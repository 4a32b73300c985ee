#pragma once

#include "MetricsExporter.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <memory>

class QHttpServer;

namespace vorn::drivewatch {

// What the endpoint answers to one request, apart from the socket.
struct HttpAnswer {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QByteArray allow; // for 405: the methods the path takes
};

// GET /metrics: the last exposition, in the format the Accept header asks
// for (503 before the first pass); GET /healthz: "ok" once there is a
// reading; another method on these paths 405, any other path 404.
HttpAnswer AnswerMetricsRequest(const CMetricsExporter& exporter, const QByteArray& method,
                                const QString& path, const QByteArray& accept);

// "127.0.0.1:9633", "[::1]:9633", ":9633" (loopback) or "0.0.0.0:9633"
// (every interface, only when written so). False with *error for text
// that is no address and port.
bool ParseListenAddress(const QString& text, QHostAddress* address, quint16* port, QString* error);

// The endpoint on Qt HTTP Server. A request must arrive whole within
// requestMs of its first byte and stay under maxRequestBytes, or its
// connection is dropped; an idle kept-alive connection goes after idleMs.
class CMetricsServer {
public:
    struct Limits {
        int requestMs = 10000;
        int idleMs = 120000;
        qint64 maxRequestBytes = 16 * 1024;
        int maxConnections = 64;
    };

    CMetricsServer(const CMetricsExporter& exporter, Limits limits);
    ~CMetricsServer();
    CMetricsServer(const CMetricsServer&) = delete;
    CMetricsServer& operator=(const CMetricsServer&) = delete;

    // Port 0 takes a free one. False with *error when it cannot listen.
    bool Listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 Port() const;

private:
    class Guard;
    const CMetricsExporter& m_exporter;
    std::unique_ptr<QHttpServer> m_http;
    Guard* m_tcp = nullptr; // owned by m_http
};

} // namespace vorn::drivewatch
