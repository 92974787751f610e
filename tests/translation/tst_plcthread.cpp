#include "buildconfig.h"
#include "httptestserver.h"
#include "translation/plcthread.h"
#include "translation/translationevent.h"

#include <QElapsedTimer>
#include <QTest>
#include <memory>

namespace {

// Takes results the way the main window does: everything waiting, on each event.
class ResultRecorder : public QObject
{
public:
    PlcThread *worker = nullptr;
    QList<TranslationAppendResult> appended;
    QList<TranslationRowResult> rows;
    int appendEvents = 0;
    int rowEvents = 0;
    bool onOwnThread = true;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == static_cast<QEvent::Type>(TranslationEvent::AppendType)) {
            ++appendEvents;
            onOwnThread = onOwnThread && QThread::currentThread() == thread();
            TranslationAppendResult r;
            while (worker->takeAppendResult(&r))
                appended.append(r);
            return true;
        }
        if (e->type() == static_cast<QEvent::Type>(TranslationEvent::RowType)) {
            ++rowEvents;
            onOwnThread = onOwnThread && QThread::currentThread() == thread();
            TranslationRowResult r;
            while (worker->takeRowResult(&r))
                rows.append(r);
            return true;
        }
        return QObject::event(e);
    }
};

// The recorder outlives the worker, so no result is posted to a dead receiver.
struct Translation
{
    ResultRecorder recorder;
    std::unique_ptr<PlcThread> worker { new PlcThread };

    explicit Translation(const HttpTestServer &defaultServer)
    {
        recorder.worker = worker.get();
        worker->setDefaultEndpoint(QStringLiteral("127.0.0.1"), defaultServer.port());
        worker->setRequestTimeout(5000);
    }
    void start() { worker->startTranslating(&recorder); }
};

// The sentence as the server received it, in either request style.
QString sentText(const HttpTestServer::Request &request)
{
    QByteArray encoded;
    if (request.method == "POST") {
        for (const QByteArray &field : request.body.split('&')) {
            if (field.startsWith("content="))
                encoded = field.mid(8);
        }
    } else {
        encoded = request.target.mid(request.target.indexOf("src_text=") + 9);
    }
    return QString::fromUtf8(QByteArray::fromPercentEncoding(encoded));
}

HttpTestServer::Reply echo(const HttpTestServer::Request &request)
{
    return { 200, HttpTestServer::translationReply(QStringLiteral("T:") + sentText(request)), 0 };
}

QStringList sentTexts(const HttpTestServer &server)
{
    QStringList texts;
    for (const HttpTestServer::Request &request : server.requests())
        texts.append(sentText(request));
    return texts;
}

const QString chineseText = QStringLiteral("你好 & 100% + a=b");
const QByteArray chineseEncoded = "%E4%BD%A0%E5%A5%BD%20%26%20100%25%20%2B%20a%3Db";
const QString uyghurText = QStringLiteral("سالام دۇنيا");
const QByteArray uyghurEncoded = "%D8%B3%D8%A7%D9%84%D8%A7%D9%85%20%D8%AF%DB%87%D9%86%D9%8A%D8%A7";
const QByteArray credentials = "&appkey=" TOLVANE_TRANSLATE_APPKEY "&appsecret=" TOLVANE_TRANSLATE_SECRET;

}

class tst_PlcThread : public QObject
{
    Q_OBJECT

private slots:
    void parseRowTag_data();
    void parseRowTag();

    void wireFormat_data();
    void wireFormat();
    void emptyChineseHostFails();

    void replyHandling_data();
    void replyHandling();

    void queueOrderOneResultPerLine();
    void failedRowsKeepTheirText();
    void rowsBeyondTheTag();
    void linesQueuedBeforeStartWait();
    void shutdownAbortsSilentRequest();
};

void tst_PlcThread::parseRowTag_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");

    QTest::newRow("tagged") << "@@0012Hello" << 12 << "Hello";
    QTest::newRow("negative row is untagged") << "@@-001Hello" << -1 << "Hello";
    QTest::newRow("short tag") << "@@12" << 12 << "";
    QTest::newRow("no digits") << "@@abcdHi" << 0 << "Hi";
    QTest::newRow("untagged") << "Hello" << -1 << "Hello";
}

void tst_PlcThread::parseRowTag()
{
    QFETCH(QString, line);
    QFETCH(int, row);
    QFETCH(QString, text);

    QString parsed = QStringLiteral("unchanged");
    QCOMPARE(PlcThread::parseRowTag(line, &parsed), row);
    QCOMPARE(parsed, text);
}

void tst_PlcThread::wireFormat_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("hostWWSet");
    QTest::addColumn<bool>("hostCNSet");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expectedServer");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("body");

    const QByteArray postZhWw = "/trans/ts/rq?from=zh&to=ww";
    const QByteArray postWwZh = "/trans/ts/rq?from=ww&to=zh";
    const QByteArray getZhUy = "/NiuTransServer/translation?from=zh&to=uy&src_text=";
    const QByteArray getUyZh = "/NiuTransServer/translation?from=uy&to=zh&src_text=";

    QTest::newRow("post chinese into uyghur")
        << 0 << false << false << chineseText << "default" << QByteArray("POST") << postZhWw
        << QByteArray("content=" + chineseEncoded + credentials);
    QTest::newRow("post uyghur into chinese")
        << 1 << false << false << uyghurText << "default" << QByteArray("POST") << postWwZh
        << QByteArray("content=" + uyghurEncoded + credentials);
    QTest::newRow("post although chinese host set")
        << 1 << false << true << uyghurText << "default" << QByteArray("POST") << postWwZh
        << QByteArray("content=" + uyghurEncoded + credentials);
    QTest::newRow("get chinese into uyghur") << 0 << true << true << chineseText << "ww" << QByteArray("GET")
                                             << QByteArray(getZhUy + chineseEncoded) << QByteArray();
    QTest::newRow("get uyghur into chinese") << 1 << true << true << uyghurText << "cn" << QByteArray("GET")
                                             << QByteArray(getUyZh + uyghurEncoded) << QByteArray();
}

void tst_PlcThread::wireFormat()
{
    QFETCH(int, language);
    QFETCH(bool, hostWWSet);
    QFETCH(bool, hostCNSet);
    QFETCH(QString, line);
    QFETCH(QString, expectedServer);
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, body);

    HttpTestServer defaultServer, wwServer, cnServer;
    for (HttpTestServer *server : { &defaultServer, &wwServer, &cnServer })
        server->setHandler(echo);
    Translation translation(defaultServer);
    translation.worker->setHosts(
        hostWWSet ? wwServer.baseUrl() : QString(), hostCNSet ? cnServer.baseUrl() : QString());
    translation.worker->setRecognitionLanguage(language);
    translation.start();
    translation.worker->enqueue(line, 1);

    QTRY_COMPARE(translation.recorder.appended.size() + translation.recorder.rows.size(), 1);
    HttpTestServer &server = expectedServer == "ww" ? wwServer
        : expectedServer == "cn"                    ? cnServer
                                                    : defaultServer;
    QCOMPARE(defaultServer.requestCount() + wwServer.requestCount() + cnServer.requestCount(), 1);
    QCOMPARE(server.requestCount(), 1);
    const HttpTestServer::Request request = server.requests().constFirst();
    QCOMPARE(request.method, method);
    QCOMPARE(request.target, target);
    QCOMPARE(request.body, body);
    if (method == "POST")
        QCOMPARE(request.headers.value("content-type"),
            QByteArray("application/x-www-form-urlencoded; charset=UTF-8"));
    else
        QVERIFY(!request.headers.contains("content-type"));
}

void tst_PlcThread::emptyChineseHostFails()
{
    HttpTestServer defaultServer, wwServer;
    defaultServer.setHandler(echo);
    wwServer.setHandler(echo);
    Translation translation(defaultServer);
    translation.worker->setHosts(wwServer.baseUrl(), QString());
    translation.worker->setRecognitionLanguage(1);
    translation.start();
    translation.worker->enqueue(uyghurText, 4);

    QTRY_COMPARE(translation.recorder.appended.size(), 1);
    QCOMPARE(translation.recorder.appended[0].text, uyghurText);
    QCOMPARE(translation.recorder.appended[0].documentId, quint64(4));
    QCOMPARE(defaultServer.requestCount() + wwServer.requestCount(), 0);
}

void tst_PlcThread::replyHandling_data()
{
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("delivered");
    QTest::addColumn<int>("timeoutMs");

    const int answer = int(HttpTestServer::Behaviour::Answer);
    const QString source = QStringLiteral("源句子 \t甲");

    QTest::newRow("translation trimmed")
        << answer << 200 << HttpTestServer::translationReply(QStringLiteral("  ئەسسالامۇ  ئەلەيكۇم \n"))
        << QStringLiteral("ئەسسالامۇ  ئەلەيكۇم") << 5000;
    QTest::newRow("empty string") << answer << 200 << QByteArray(R"({"translation_result_app":""})") << ""
                                  << 5000;
    QTest::newRow("number value") << answer << 200 << QByteArray(R"({"translation_result_app":42})") << ""
                                  << 5000;
    QTest::newRow("not found") << answer << 404 << HttpTestServer::translationReply("x") << source << 5000;
    QTest::newRow("server error") << answer << 500 << HttpTestServer::translationReply("x") << source << 5000;
    QTest::newRow("invalid json") << answer << 200 << QByteArray(R"({"translation_result_app":"x")") << source
                                  << 5000;
    QTest::newRow("not an object") << answer << 200 << QByteArray(R"(["x"])") << source << 5000;
    QTest::newRow("missing key") << answer << 200 << QByteArray(R"({"translation":"x"})") << source << 5000;
    QTest::newRow("silent beyond time limit")
        << int(HttpTestServer::Behaviour::Silent) << 0 << QByteArray() << source << 300;
    QTest::newRow("refused") << -1 << 0 << QByteArray() << source << 5000;
    // A broken server cannot fill the memory; the bound itself still reads.
    const QByteArray reply = HttpTestServer::translationReply(QStringLiteral("x"));
    const qint64 bound = TranslationRequest::maxReplyBytes;
    QTest::newRow("at the size bound")
        << answer << 200 << reply + QByteArray(bound - reply.size(), ' ') << "x" << 5000;
    QTest::newRow("beyond the size bound")
        << answer << 200 << reply + QByteArray(bound - reply.size() + 1, ' ') << source << 5000;
    QTest::newRow("endless body") << int(HttpTestServer::Behaviour::Endless) << 200 << QByteArray() << source
                                  << 60000;
}

void tst_PlcThread::replyHandling()
{
    QFETCH(int, behaviour);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, delivered);
    QFETCH(int, timeoutMs);

    HttpTestServer server;
    if (behaviour < 0)
        server.stopListening();
    else
        server.setBehaviour(HttpTestServer::Behaviour(behaviour));
    server.setReply(status, body);
    Translation translation(server);
    translation.worker->setRequestTimeout(timeoutMs);
    translation.start();
    translation.worker->enqueue(QStringLiteral("  源句子 \t甲\n"), 7);

    QTRY_COMPARE(translation.recorder.appended.size(), 1);
    QCOMPARE(translation.recorder.appended[0].text, delivered);
    QCOMPARE(translation.recorder.appended[0].documentId, quint64(7));
    QVERIFY(translation.recorder.rows.isEmpty());
    QVERIFY(translation.recorder.onOwnThread);
}

void tst_PlcThread::queueOrderOneResultPerLine()
{
    HttpTestServer server;
    server.setHandler([](const HttpTestServer::Request &request) {
        const QString text = sentText(request);
        if (text == "three")
            return HttpTestServer::Reply { 500, QByteArray(), 0 };
        HttpTestServer::Reply reply = echo(request);
        // A slow first answer must not let later lines overtake it.
        reply.delayMs = text == "one" ? 300 : 0;
        return reply;
    });
    Translation translation(server);
    translation.start();
    translation.worker->enqueue(QStringLiteral("one"), 1);
    translation.worker->enqueue(QStringLiteral("@@0000two"), 2);
    translation.worker->enqueue(QStringLiteral("three"), 1);
    translation.worker->enqueueRow(5, QStringLiteral("four"), 3);
    translation.worker->enqueue(QStringLiteral("five"), 2);

    const ResultRecorder &recorder = translation.recorder;
    QTRY_COMPARE_WITH_TIMEOUT(recorder.appended.size() + recorder.rows.size(), 5, 10000);
    QCOMPARE(sentTexts(server), QStringList({ "one", "two", "three", "four", "five" }));
    QCOMPARE(recorder.appended.size(), 3);
    QCOMPARE(recorder.appended[0].text, QStringLiteral("T:one"));
    QCOMPARE(recorder.appended[0].documentId, quint64(1));
    QCOMPARE(recorder.appended[1].text, QStringLiteral("three"));
    QCOMPARE(recorder.appended[1].documentId, quint64(1));
    QCOMPARE(recorder.appended[2].text, QStringLiteral("T:five"));
    QCOMPARE(recorder.appended[2].documentId, quint64(2));
    QCOMPARE(recorder.rows.size(), 2);
    QCOMPARE(recorder.rows[0].row, 0);
    QCOMPARE(recorder.rows[0].text, QStringLiteral("T:two"));
    QCOMPARE(recorder.rows[0].documentId, quint64(2));
    QCOMPARE(recorder.rows[1].row, 5);
    QCOMPARE(recorder.rows[1].text, QStringLiteral("T:four"));
    QCOMPARE(recorder.rows[1].documentId, quint64(3));
    QCOMPARE(recorder.appendEvents, 3);
    QCOMPARE(recorder.rowEvents, 2);
    QVERIFY(recorder.onOwnThread);
    QCOMPARE(translation.worker->pendingCount(), 0);
}

void tst_PlcThread::failedRowsKeepTheirText()
{
    HttpTestServer server;
    server.setReply(500, QByteArray());
    Translation translation(server);
    translation.start();
    translation.worker->enqueue(QStringLiteral("@@0003row three"), 1);
    translation.worker->enqueueRow(12000, QStringLiteral("wide row"), 1);
    translation.worker->enqueue(QStringLiteral("@@-001negative"), 1);
    translation.worker->enqueue(QStringLiteral("last"), 1);

    // Lines are answered in order, so once "last" is back the rows were answered too.
    QTRY_COMPARE_WITH_TIMEOUT(translation.recorder.appended.size(), 2, 10000);
    QCOMPARE(sentTexts(server), QStringList({ "row three", "wide row", "negative", "last" }));
    QCOMPARE(translation.recorder.appended[0].text, QStringLiteral("negative"));
    QCOMPARE(translation.recorder.appended[1].text, QStringLiteral("last"));
    // A failed row is reported as failed, with its reason, and carries no text to show.
    QCOMPARE(translation.recorder.rows.size(), 2);
    for (const TranslationRowResult &row : translation.recorder.rows) {
        QVERIFY(!row.ok);
        QVERIFY(row.text.isEmpty());
        QCOMPARE(row.failure, QStringLiteral("The server answered HTTP 500"));
    }
}

void tst_PlcThread::rowsBeyondTheTag()
{
    HttpTestServer server;
    server.setHandler(echo);
    Translation translation(server);
    translation.start();
    translation.worker->enqueueRow(9999, QStringLiteral("a"), 1);
    translation.worker->enqueueRow(10000, QStringLiteral("b"), 2);
    translation.worker->enqueueRow(123456, QStringLiteral("@@0001c"), 3);

    QTRY_COMPARE_WITH_TIMEOUT(translation.recorder.rows.size(), 3, 10000);
    // A text that itself starts with a tag is sent whole when the row travels beside it.
    QCOMPARE(sentTexts(server), QStringList({ "a", "b", "@@0001c" }));
    QCOMPARE(translation.recorder.rows[0].row, 9999);
    QCOMPARE(translation.recorder.rows[1].row, 10000);
    QCOMPARE(translation.recorder.rows[1].text, QStringLiteral("T:b"));
    QCOMPARE(translation.recorder.rows[1].documentId, quint64(2));
    QCOMPARE(translation.recorder.rows[2].row, 123456);
    QCOMPARE(translation.recorder.rows[2].text, QStringLiteral("T:@@0001c"));
    QVERIFY(translation.recorder.appended.isEmpty());
}

void tst_PlcThread::linesQueuedBeforeStartWait()
{
    HttpTestServer server;
    server.setHandler(echo);
    Translation translation(server);
    translation.worker->enqueue(QStringLiteral("early"), 1);
    translation.worker->enqueueRow(2, QStringLiteral("row"), 1);
    QCOMPARE(translation.worker->pendingCount(), 2);
    QCOMPARE(server.requestCount(), 0);

    translation.start();
    QTRY_COMPARE(translation.recorder.rows.size(), 1);
    QCOMPARE(translation.worker->pendingCount(), 0);
    QCOMPARE(translation.recorder.appended.size(), 1);
    QCOMPARE(translation.recorder.appended[0].text, QStringLiteral("T:early"));
}

void tst_PlcThread::shutdownAbortsSilentRequest()
{
    HttpTestServer server;
    server.setBehaviour(HttpTestServer::Behaviour::Silent);
    Translation translation(server);
    translation.worker->setRequestTimeout(30000);
    translation.start();
    translation.worker->enqueue(QStringLiteral("never answered"), 1);
    translation.worker->enqueue(QStringLiteral("still queued"), 1);
    QTRY_COMPARE(server.requestCount(), 1);

    QElapsedTimer shutdown;
    shutdown.start();
    translation.worker.reset();
    // Hang check against the 30 s limit, not a speed target.
    QVERIFY2(shutdown.elapsed() < 3000, qPrintable(QString::number(shutdown.elapsed())));
    QCoreApplication::processEvents();
    QVERIFY(translation.recorder.appended.isEmpty());
    QCOMPARE(server.requestCount(), 1);
}

QTEST_GUILESS_MAIN(tst_PlcThread)
#include "tst_plcthread.moc"
