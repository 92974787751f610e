#include "httptestserver.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

HttpTestServer::HttpTestServer(QObject *parent, quint16 port)
    : QObject(parent)
    , server(new QTcpServer(this))
{
    handler = [](const Request &) { return Reply { 404, QByteArrayLiteral("no handler"), 0 }; };
    connect(server, &QTcpServer::newConnection, this, &HttpTestServer::acceptConnections);
    if (!server->listen(QHostAddress::LocalHost, port))
        qFatal("HttpTestServer: cannot listen on 127.0.0.1: %s", qPrintable(server->errorString()));
    listeningPort = server->serverPort();
}

HttpTestServer::~HttpTestServer()
{
    const auto sockets = connections.keys();
    for (QTcpSocket *socket : sockets)
        socket->abort();
}

quint16 HttpTestServer::port() const { return listeningPort; }

QString HttpTestServer::baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(listeningPort); }

void HttpTestServer::setHandler(Handler handler) { this->handler = std::move(handler); }

void HttpTestServer::setReply(int status, const QByteArray &body)
{
    handler = [status, body](const Request &) { return Reply { status, body, 0 }; };
}

void HttpTestServer::setBehaviour(Behaviour behaviour) { this->behaviour = behaviour; }

QList<HttpTestServer::Request> HttpTestServer::requests() const { return received; }

int HttpTestServer::requestCount() const { return received.size(); }

QByteArray HttpTestServer::translationReply(const QString &text)
{
    QJsonObject object;
    object.insert(QStringLiteral("translation_result_app"), text);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

void HttpTestServer::acceptConnections()
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        connections.insert(socket, Connection());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequests(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            connections.remove(socket);
            socket->deleteLater();
        });
    }
}

void HttpTestServer::readRequests(QTcpSocket *socket)
{
    auto it = connections.find(socket);
    if (it == connections.end())
        return;
    it->buffer += socket->readAll();

    while (!it->busy) {
        const int headerEnd = it->buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> lines = it->buffer.left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        Request request;
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        const QByteArray version = requestLine.value(2);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(
                    lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const int length = request.headers.value("content-length", "0").toInt();
        const int bodyStart = headerEnd + 4;
        if (it->buffer.size() < bodyStart + length)
            return;
        request.body = it->buffer.mid(bodyStart, length);
        it->buffer.remove(0, bodyStart + length);

        received.append(request);
        switch (behaviour) {
        case Behaviour::Silent:
            it->busy = true;
            return;
        case Behaviour::Endless:
            it->busy = true;
            streamEndlessly(socket);
            return;
        case Behaviour::Answer:
            break;
        }

        const Reply reply = handler(request);
        const bool close = request.headers.value("connection").toLower() == "close" || version == "HTTP/1.0";
        if (reply.delayMs > 0) {
            it->busy = true;
            QTimer::singleShot(reply.delayMs, socket, [this, socket, reply, close] {
                auto delayed = connections.find(socket);
                if (delayed == connections.end())
                    return;
                delayed->busy = false;
                respond(socket, reply, close);
                if (!close)
                    readRequests(socket);
            });
            return;
        }
        respond(socket, reply, close);
        if (close)
            return;
    }
}

void HttpTestServer::respond(QTcpSocket *socket, const Reply &reply, bool close)
{
    QByteArray head
        = "HTTP/1.1 " + QByteArray::number(reply.status) + (reply.status == 200 ? " OK\r\n" : " Error\r\n");
    head += "Content-Type: application/json; charset=utf-8\r\n";
    head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    head += close ? "Connection: close\r\n\r\n" : "Connection: keep-alive\r\n\r\n";
    socket->write(head + reply.body);
    if (close)
        socket->disconnectFromHost();
}

void HttpTestServer::streamEndlessly(QTcpSocket *socket)
{
    socket->write(
        "HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=utf-8\r\nConnection: close\r\n\r\n"
        "{\"translation_result_app\":\"");
    // Paced (about 12 MB/s), so that a client without a bound grows by megabytes, not gigabytes.
    auto *pace = new QTimer(socket);
    connect(pace, &QTimer::timeout, socket, [socket] {
        if (socket->bytesToWrite() < 256 * 1024)
            socket->write(QByteArray(64 * 1024, 'x'));
    });
    pace->start(5);
}
