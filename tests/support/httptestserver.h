#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <functional>

class QTcpServer;
class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 for tests. It runs in the thread that
// created it, so that thread's event loop must turn (QTRY_*, QSignalSpy::wait)
// while a client on another thread waits for an answer.
class HttpTestServer : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QByteArray target; // path and query exactly as received
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    struct Reply
    {
        int status = 200;
        QByteArray body;
        int delayMs = 0;
    };

    enum class Behaviour {
        Answer, // answer every request through the handler
        Silent, // read requests, never answer
        Endless // answer 200 without a length and send the body until the client goes
    };

    using Handler = std::function<Reply(const Request &)>;

    // Listens at once on the given port (0: a free one); the default handler answers 404.
    explicit HttpTestServer(QObject *parent = nullptr, quint16 port = 0);
    ~HttpTestServer() override;

    quint16 port() const;
    QString baseUrl() const; // "http://127.0.0.1:<port>", no trailing slash

    void setHandler(Handler handler);
    void setReply(int status, const QByteArray &body); // the same reply to every request
    void setBehaviour(Behaviour behaviour);

    QList<Request> requests() const;
    int requestCount() const;

    // {"translation_result_app": text}, the translation servers' reply.
    static QByteArray translationReply(const QString &text);

private:
    struct Connection
    {
        QByteArray buffer;
        bool busy = false;
    };

    void acceptConnections();
    void readRequests(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const Reply &reply, bool close);
    void streamEndlessly(QTcpSocket *socket);

    QTcpServer *server;
    quint16 listeningPort = 0;
    Handler handler;
    Behaviour behaviour = Behaviour::Answer;
    QList<Request> received;
    QHash<QTcpSocket *, Connection> connections;
};
