#include "httptestserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {
std::unique_ptr<QNetworkReply> finished(QNetworkReply *reply)
{
    std::unique_ptr<QNetworkReply> owned(reply);
    if (!reply->isFinished()) {
        QSignalSpy done(reply, &QNetworkReply::finished);
        done.wait(5000);
    }
    return owned;
}
}

// Other modules' tests lean on this server; these cases keep it honest.
class tst_HttpTestServer : public QObject
{
    Q_OBJECT

private slots:
    void recordsRequestAsSent();
    void keepAliveServesRequestsInTurn();
    void largeBodyArrivesWhole();
    void failingBehaviours_data();
    void failingBehaviours();
};

void tst_HttpTestServer::recordsRequestAsSent()
{
    HttpTestServer server;
    server.setHandler([](const HttpTestServer::Request &request) {
        return HttpTestServer::Reply { 201, "got " + request.body, 50 };
    });
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl::fromEncoded(server.baseUrl().toLatin1() + "/a%20b?x=%2B&y=%26"));
    request.setRawHeader("X-Probe", "Value 1");
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("text/plain"));
    const auto reply = finished(manager.post(request, QByteArray("a=1&b=%")));

    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 201);
    QCOMPARE(reply->readAll(), QByteArray("got a=1&b=%"));
    QCOMPARE(server.requestCount(), 1);
    const HttpTestServer::Request seen = server.requests().constFirst();
    QCOMPARE(seen.method, QByteArray("POST"));
    QCOMPARE(seen.target, QByteArray("/a%20b?x=%2B&y=%26"));
    QCOMPARE(seen.headers.value("x-probe"), QByteArray("Value 1"));
    QCOMPARE(seen.headers.value("content-type"), QByteArray("text/plain"));
    QCOMPARE(seen.body, QByteArray("a=1&b=%"));
}

void tst_HttpTestServer::keepAliveServesRequestsInTurn()
{
    HttpTestServer server;
    server.setHandler([](const HttpTestServer::Request &request) {
        return HttpTestServer::Reply { 200, request.target, request.target == "/first" ? 100 : 0 };
    });
    QNetworkAccessManager manager;
    const QStringList paths = { "/first", "/second", "/third" };
    for (const QString &path : paths) {
        const auto reply = finished(manager.get(QNetworkRequest(QUrl(server.baseUrl() + path))));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->readAll(), path.toLatin1());
    }
    QCOMPARE(server.requestCount(), 3);
    QCOMPARE(server.connectionCount(), 1);
}

void tst_HttpTestServer::largeBodyArrivesWhole()
{
    HttpTestServer server;
    server.setReply(200, HttpTestServer::translationReply(QStringLiteral("ok")));
    QByteArray body(3 * 1024 * 1024, 'x');
    body[0] = 'a';
    body[body.size() - 1] = 'z';
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(server.baseUrl() + "/upload"));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/octet-stream"));
    const auto reply = finished(manager.post(request, body));

    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(reply->readAll(), QByteArray(R"({"translation_result_app":"ok"})"));
    QCOMPARE(server.requestCount(), 1);
    QCOMPARE(server.requests().constFirst().body.size(), body.size());
    QVERIFY(server.requests().constFirst().body == body);
}

void tst_HttpTestServer::failingBehaviours_data()
{
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("reachedHandler");

    QTest::newRow("not found") << int(HttpTestServer::Behaviour::Answer)
                               << int(QNetworkReply::ContentNotFoundError) << true;
    // Qt gives up on the status line, reports the close that follows it and may have retried.
    QTest::newRow("garbage") << int(HttpTestServer::Behaviour::Garbage)
                             << int(QNetworkReply::RemoteHostClosedError) << true;
    QTest::newRow("closed at once") << int(HttpTestServer::Behaviour::CloseAtOnce)
                                    << int(QNetworkReply::RemoteHostClosedError) << false;
    QTest::newRow("refused") << -1 << int(QNetworkReply::ConnectionRefusedError) << false;
}

void tst_HttpTestServer::failingBehaviours()
{
    QFETCH(int, behaviour);
    QFETCH(int, error);
    QFETCH(bool, reachedHandler);

    HttpTestServer server;
    if (behaviour < 0)
        server.stopListening();
    else
        server.setBehaviour(HttpTestServer::Behaviour(behaviour));
    QNetworkAccessManager manager;
    const auto reply = finished(manager.get(QNetworkRequest(QUrl(server.baseUrl() + "/x"))));

    QCOMPARE(int(reply->error()), error);
    QCOMPARE(server.requestCount() > 0, reachedHandler);
}

QTEST_GUILESS_MAIN(tst_HttpTestServer)
#include "tst_httptestserver.moc"
