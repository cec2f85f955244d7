#pragma once
// A tiny HTTP/1.1 server on the loopback interface for network tests: each path answers with a handler
// the test chooses (a whole response, a body streamed with no length, silence), and requests are counted.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>
#include <utility>

class LocalHttpServer : public QObject {
public:
    using Handler = std::function<void(QTcpSocket* socket)>;

    LocalHttpServer() {
        connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
        m_listening = m_server.listen(QHostAddress::LocalHost);
    }

    bool isListening() const { return m_listening; }
    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    void route(const QByteArray& path, Handler handler) { m_routes.insert(path, std::move(handler)); }
    int hits(const QByteArray& path) const { return m_hits.value(path); }
    int totalHits() const {
        int total = 0;
        for (int n : m_hits) {
            total += n;
        }
        return total;
    }

    // A complete answer, then the connection closes.
    static Handler respond(int status, QByteArray body, QByteArray extraHeaders = {}) {
        return [=](QTcpSocket* socket) {
            socket->write("HTTP/1.1 " + QByteArray::number(status) +
                          " Status\r\nContent-Type: application/json\r\n" +
                          "Content-Length: " + QByteArray::number(body.size()) + "\r\n" + extraHeaders +
                          "Connection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        };
    }
    static Handler redirect(QByteArray location) {
        return respond(302, {}, "Location: " + location + "\r\n");
    }
    // A body with no announced length, after which the connection stays open: only a reader that counts
    // as it goes stops before its own time limit.
    static Handler stream(QByteArray body) {
        return [=](QTcpSocket* socket) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n" + body);
        };
    }
    // Announces a length and sends a little of it, then nothing more.
    static Handler announce(qint64 length) {
        return [=](QTcpSocket* socket) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                          QByteArray::number(length) + "\r\n\r\n{\"items\":[");
        };
    }
    // Reads the request and never answers.
    static Handler silence() {
        return [](QTcpSocket*) {};
    }
    // Answers with `then` after a pause, so a check is still running meanwhile.
    static Handler later(int ms, Handler then) {
        return [=](QTcpSocket* socket) { QTimer::singleShot(ms, socket, [=] { then(socket); }); };
    }

private:
    void accept() {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            auto request = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                *request += socket->readAll();
                const qsizetype end = request->indexOf("\r\n\r\n");
                if (end < 0 || request->isEmpty()) {
                    return;
                }
                const QList<QByteArray> firstLine = request->left(request->indexOf("\r\n")).split(' ');
                request->clear();
                const QByteArray path = firstLine.value(1);
                ++m_hits[path];
                const auto found = m_routes.constFind(path);
                if (found == m_routes.cend()) {
                    respond(404, "{}")(socket);
                } else {
                    (*found)(socket);
                }
            });
        }
    }

    QTcpServer m_server;
    bool m_listening = false;
    QHash<QByteArray, Handler> m_routes;
    QHash<QByteArray, int> m_hits;
};
