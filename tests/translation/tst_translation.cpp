#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "buildconfig.h"
#include "documents/mdichild.h"
#include "httptestserver.h"
#include "modalanswer.h"
#include "senttext.h"
#include "testmain.h"
#include "translation/networkdialog.h"
#include "translation/plcthread.h"
#include "translation/translationevent.h"
#include "widgets/qmylineedit.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>
#include <memory>

namespace {

// Takes results the way the main window does: everything waiting, on each event.
class ResultRecorder : public QObject
{
public:
    PlcThread *worker = nullptr;
    QStringList appended; // "<document>:<text>", or "<document>:failed <text>"
    QStringList rows; // "<document>:<row>:<text>", or "...:failed <reason>"
    bool onOwnThread = true;

protected:
    bool event(QEvent *e) override
    {
        onOwnThread = onOwnThread && QThread::currentThread() == thread();
        if (e->type() == QEvent::Type(TranslationEvent::AppendType)) {
            TranslationAppendResult r;
            while (worker->takeAppendResult(&r))
                appended << QStringLiteral("%1:%2%3").arg(r.documentId).arg(r.ok ? "" : "failed ", r.text);
            return true;
        }
        if (e->type() == QEvent::Type(TranslationEvent::RowType)) {
            TranslationRowResult r;
            while (worker->takeRowResult(&r))
                rows << QStringLiteral("%1:%2:%3")
                            .arg(r.documentId)
                            .arg(r.row)
                            .arg(r.ok ? r.text : "failed " + r.failure + r.text);
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
        worker->setPauseAfterRequest(0);
    }
    void start() { worker->startTranslating(&recorder); }
};

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

bool clickButton(QWidget *parent, const QString &text)
{
    for (QAbstractButton *b : parent->findChildren<QAbstractButton *>()) {
        if (b->text().remove(QLatin1Char('&')) == text) {
            b->click();
            return true;
        }
    }
    return false;
}

struct Hosts
{
    QString voice;
    QString ww;
    QString cn;
};

// Answers the next NetworkDialog: chooses the server, types the hosts and presses "确定".
void answerNetworkDialog(bool otherServer, const Hosts &typed)
{
    ModalAnswer::onNext([otherServer, typed](QWidget *modal) {
        auto *dialog = qobject_cast<NetworkDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        (otherServer ? dialog->otherServerButton() : dialog->defaultServerButton())->click();
        dialog->voiceHostEdit()->setText(typed.voice);
        dialog->translateHostWWEdit()->setText(typed.ww);
        dialog->translateHostCNEdit()->setText(typed.cn);
        clickButton(dialog, QStringLiteral("确定"));
    });
}

// While it lives, answers each message box with the next of answers (the last one
// again for any further box) and remembers its text; with rejectDialogs it also
// closes any other dialog, so that an unexpected one fails the test instead of blocking it.
class MessageBoxWatch : public QObject
{
public:
    explicit MessageBoxWatch(const QStringList &answers, bool rejectDialogs = false)
        : answers(answers)
        , rejectDialogs(rejectDialogs)
    {
        connect(&timer, &QTimer::timeout, this, &MessageBoxWatch::poll);
        timer.start(10);
    }

    QStringList texts;
    QStringList dialogs;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || handled.contains(modal))
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            handled << box;
            texts << box->text();
            if (!clickButton(box, answers.value(texts.size() - 1, answers.last())))
                box->close();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal); dialog && rejectDialogs) {
            handled << dialog;
            dialogs << dialog->windowTitle();
            dialog->reject();
        }
    }

    QStringList answers;
    bool rejectDialogs;
    QTimer timer;
    QList<QPointer<QWidget>> handled;
};

const QString restartQuestion = QStringLiteral("要重启程序才能生效，要重启吗？");
}

Q_DECLARE_METATYPE(Hosts)

class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void parseRowTag_data();
    void parseRowTag();
    void wireFormat_data();
    void wireFormat();
    void replyHandling_data();
    void replyHandling();
    void queueOrderAndRows();
    void shutdownAbortsSilentRequest();

    void dialogOpens_data();
    void dialogOpens();
    void dialogAnswers_data();
    void dialogAnswers();
    void windowStoresHosts_data();
    void windowStoresHosts();
    void windowUsesCurrentSettingsFile();
    void restartClosesDocumentsThenStartsAgain_data();
    void restartClosesDocumentsThenStartsAgain();
    void nothingWhileRecording();
};

void TestTranslation::cleanup()
{
    ModalAnswer::reset();
    WindowFixture::resetState();
}

void TestTranslation::parseRowTag_data()
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

void TestTranslation::parseRowTag()
{
    QFETCH(QString, line);
    QFETCH(int, row);
    QFETCH(QString, text);
    QString parsed = QStringLiteral("unchanged");
    QCOMPARE(PlcThread::parseRowTag(line, &parsed), row);
    QCOMPARE(parsed, text);
}

void TestTranslation::wireFormat_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("hosts"); // which of the WW and CN hosts are set
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("server"); // the one asked, or "none": the line comes back untranslated
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("body"); // empty: GET

    // Every UTF-8 byte but the unreserved ones as %XX: "&", "%", "+" and "=" too.
    const QString chinese = QStringLiteral("你好 & 100% + a=b~");
    const QByteArray chineseEncoded = "%E4%BD%A0%E5%A5%BD%20%26%20100%25%20%2B%20a%3Db~";
    const QString uyghur = QStringLiteral("سالام");
    const QByteArray uyghurEncoded = "%D8%B3%D8%A7%D9%84%D8%A7%D9%85";
    const QByteArray credentials = "&appkey=" TOLVANE_TRANSLATE_APPKEY "&appsecret=" TOLVANE_TRANSLATE_SECRET;
    QTest::newRow("post uyghur into chinese, although the chinese host is set")
        << 1 << "cn" << uyghur << "default" << QByteArray("/trans/ts/rq?from=ww&to=zh")
        << QByteArray("content=" + uyghurEncoded + credentials);
    QTest::newRow("post, special characters")
        << 0 << "" << chinese << "default" << QByteArray("/trans/ts/rq?from=zh&to=ww")
        << QByteArray("content=" + chineseEncoded + credentials);
    QTest::newRow("get chinese into uyghur")
        << 0 << "ww,cn" << chinese << "ww"
        << "/NiuTransServer/translation?from=zh&to=uy&src_text=" + chineseEncoded << QByteArray();
    QTest::newRow("get without the chinese host fails")
        << 1 << "ww" << uyghur << "none" << QByteArray() << QByteArray();
}

void TestTranslation::wireFormat()
{
    QFETCH(int, language);
    QFETCH(QString, hosts);
    QFETCH(QString, line);
    QFETCH(QString, server);
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, body);
    HttpTestServer defaultServer, wwServer, cnServer;
    for (HttpTestServer *s : { &defaultServer, &wwServer, &cnServer })
        s->setHandler(echo);
    Translation translation(defaultServer);
    translation.worker->setHosts(hosts.contains(QLatin1String("ww")) ? wwServer.baseUrl() : QString(),
        hosts.contains(QLatin1String("cn")) ? cnServer.baseUrl() : QString());
    translation.worker->setRecognitionLanguage(language);
    translation.start();
    translation.worker->enqueue(line, 4);

    QTRY_COMPARE(translation.recorder.appended.size(), 1);
    QCOMPARE(defaultServer.requestCount() + wwServer.requestCount() + cnServer.requestCount(),
        server == "none" ? 0 : 1);
    if (server == "none") {
        QCOMPARE(translation.recorder.appended.first(), "4:failed " + line);
        return;
    }
    QCOMPARE(translation.recorder.appended.first(), "4:T:" + line);
    const HttpTestServer &asked = server == "ww" ? wwServer : defaultServer;
    QCOMPARE(asked.requestCount(), 1);
    const HttpTestServer::Request request = asked.requests().constFirst();
    QCOMPARE(request.method, QByteArray(body.isEmpty() ? "GET" : "POST"));
    QCOMPARE(request.target, target);
    QCOMPARE(request.body, body);
    QCOMPARE(request.headers.value("content-type"),
        QByteArray(body.isEmpty() ? "" : "application/x-www-form-urlencoded; charset=UTF-8"));
}

void TestTranslation::replyHandling_data()
{
    QTest::addColumn<int>("behaviour"); // -1: the port refuses
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("delivered"); // a failure delivers the trimmed source
    QTest::addColumn<int>("timeoutMs");

    const int answer = int(HttpTestServer::Behaviour::Answer);
    const QString failed = QStringLiteral("failed 源句子 \t甲");
    QTest::newRow("translation trimmed")
        << answer << 200 << HttpTestServer::translationReply(QStringLiteral("  ئەسسالامۇ  ئەلەيكۇم \n"))
        << QStringLiteral("ئەسسالامۇ  ئەلەيكۇم") << 5000;
    QTest::newRow("empty string") << answer << 200 << QByteArray(R"({"translation_result_app":""})") << ""
                                  << 5000;
    QTest::newRow("number value") << answer << 200 << QByteArray(R"({"translation_result_app":42})") << ""
                                  << 5000;
    QTest::newRow("server error") << answer << 500 << HttpTestServer::translationReply("x") << failed << 5000;
    QTest::newRow("invalid json") << answer << 200 << QByteArray(R"({"translation_result_app":"x")") << failed
                                  << 5000;
    QTest::newRow("missing key") << answer << 200 << QByteArray(R"({"translation":"x"})") << failed << 5000;
    QTest::newRow("silent beyond the time limit")
        << int(HttpTestServer::Behaviour::Silent) << 0 << QByteArray() << failed << 300;
    QTest::newRow("refused") << -1 << 0 << QByteArray() << failed << 5000;
    // A broken server cannot fill the memory; the bound itself still reads.
    const QByteArray reply = HttpTestServer::translationReply(QStringLiteral("x"));
    const qint64 bound = TranslationRequest::maxReplyBytes;
    QTest::newRow("at the size bound")
        << answer << 200 << reply + QByteArray(bound - reply.size(), ' ') << "x" << 5000;
    QTest::newRow("beyond the size bound")
        << answer << 200 << reply + QByteArray(bound - reply.size() + 1, ' ') << failed << 5000;
    QTest::newRow("endless body") << int(HttpTestServer::Behaviour::Endless) << 200 << QByteArray() << failed
                                  << 60000;
}

void TestTranslation::replyHandling()
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
    QCOMPARE(translation.recorder.appended.first(), "7:" + delivered);
    QVERIFY(translation.recorder.rows.isEmpty());
    QVERIFY(translation.recorder.onOwnThread);
}

void TestTranslation::queueOrderAndRows()
{
    HttpTestServer server;
    server.setHandler([](const HttpTestServer::Request &request) {
        const QString text = sentText(request);
        HttpTestServer::Reply reply = echo(request);
        if (text.startsWith(QLatin1String("bad")))
            reply = { 500, QByteArray(), 0 };
        // A slow first answer must not let later lines overtake it.
        reply.delayMs = text == "one" ? 300 : 0;
        return reply;
    });
    Translation translation(server);
    // Lines queued before the start wait for it.
    translation.worker->enqueue(QStringLiteral("one"), 1);
    translation.worker->enqueue(QStringLiteral("@@0000two"), 2);
    QCOMPARE(translation.worker->pendingCount(), 2);
    translation.start();
    translation.worker->enqueue(QStringLiteral("bad three"), 1);
    translation.worker->enqueueRow(5, QStringLiteral("four"), 3);
    translation.worker->enqueue(QStringLiteral("@@0003bad row"), 1);
    translation.worker->enqueue(QStringLiteral("@@-001negative"), 2);
    // Rows that four digits cannot hold travel beside the text, which is sent whole.
    translation.worker->enqueueRow(10000, QStringLiteral("@@0001c"), 2);
    translation.worker->enqueueRow(123456, QStringLiteral("bad wide"), 3);
    translation.worker->enqueue(QStringLiteral("last"), 2);

    const ResultRecorder &recorder = translation.recorder;
    QTRY_COMPARE_WITH_TIMEOUT(recorder.appended.size() + recorder.rows.size(), 9, 10000);
    QCOMPARE(sentTexts(server),
        QStringList(
            { "one", "two", "bad three", "four", "bad row", "negative", "@@0001c", "bad wide", "last" }));
    QCOMPARE(recorder.appended, QStringList({ "1:T:one", "1:failed bad three", "2:T:negative", "2:T:last" }));
    // A failed row is reported as failed, with its reason, and carries no text to show.
    const QString failure = QStringLiteral("failed The server answered HTTP 500");
    QCOMPARE(recorder.rows,
        QStringList(
            { "2:0:T:two", "3:5:T:four", "1:3:" + failure, "2:10000:T:@@0001c", "3:123456:" + failure }));
    QVERIFY(recorder.onOwnThread);
    QCOMPARE(translation.worker->pendingCount(), 0);
}

void TestTranslation::shutdownAbortsSilentRequest()
{
    // Without the abort, ending the worker would wait for the time limit, far beyond the test's own.
    HttpTestServer server;
    server.setBehaviour(HttpTestServer::Behaviour::Silent);
    Translation translation(server);
    translation.worker->setRequestTimeout(3600 * 1000);
    translation.start();
    translation.worker->enqueue(QStringLiteral("never answered"), 1);
    translation.worker->enqueue(QStringLiteral("still queued"), 1);
    QTRY_COMPARE(server.requestCount(), 1);
    translation.worker.reset();
    QCoreApplication::processEvents();
    QVERIFY(translation.recorder.appended.isEmpty());
    QCOMPARE(server.requestCount(), 1);
}

void TestTranslation::dialogOpens_data()
{
    QTest::addColumn<Hosts>("given");
    QTest::addColumn<bool>("otherServer");
    const QString ww = QStringLiteral("http://10.0.0.6:8080");
    const QString cn = QStringLiteral("http://10.0.0.7:8080");
    QTest::newRow("translation hosts without voice host") << Hosts { QString(), ww, cn } << false;
    QTest::newRow("all three") << Hosts { QStringLiteral("http://10.0.0.5:8880"), ww, cn } << true;
}

void TestTranslation::dialogOpens()
{
    QFETCH(Hosts, given);
    QFETCH(bool, otherServer);
    NetworkDialog dialog(given.voice, given.ww, given.cn);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.otherServerButton()->isChecked(), otherServer);
    QCOMPARE(dialog.defaultServerButton()->isChecked(), !otherServer);
    QCOMPARE(dialog.otherServerGroup()->isVisible(), otherServer);
    QCOMPARE(dialog.voiceHostEdit()->text(), given.voice);
    QCOMPARE(dialog.translateHostWWEdit()->text(), given.ww);
    QCOMPARE(dialog.translateHostCNEdit()->text(), given.cn);
}

void TestTranslation::dialogAnswers_data()
{
    QTest::addColumn<bool>("otherServer");
    QTest::addColumn<QString>("button");
    QTest::addColumn<Hosts>("expected");
    QTest::newRow("other server, white space removed")
        << true << "OK"
        << Hosts { QStringLiteral("10.1.1.1:8880"), QStringLiteral("http://ww:1"),
               QStringLiteral("http://cn:2") };
    QTest::newRow("default server empties all three") << false << "OK" << Hosts {};
    QTest::newRow("cancel keeps the hosts") << false << "Cancel" << Hosts { "old voice", "old ww", "old cn" };
}

void TestTranslation::dialogAnswers()
{
    QFETCH(bool, otherServer);
    QFETCH(QString, button);
    QFETCH(Hosts, expected);
    AppState::voiceHost = QStringLiteral("old voice");
    AppState::translateHostWW = QStringLiteral("old ww");
    AppState::translateHostCN = QStringLiteral("old cn");
    NetworkDialog dialog(QStringLiteral("stored"), QString(), QString());
    (otherServer ? dialog.otherServerButton() : dialog.defaultServerButton())->click();
    dialog.voiceHostEdit()->setText(QStringLiteral("  10.1.1.1:8880\t"));
    dialog.translateHostWWEdit()->setText(QStringLiteral(" http://ww:1 "));
    dialog.translateHostCNEdit()->setText(QStringLiteral("http://cn:2  "));

    ModalAnswer::clickButton(button);
    QCOMPARE(dialog.exec(), int(button == "OK" ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(AppState::voiceHost, expected.voice);
    QCOMPARE(AppState::translateHostWW, expected.ww);
    QCOMPARE(AppState::translateHostCN, expected.cn);
}

void TestTranslation::windowStoresHosts_data()
{
    QTest::addColumn<bool>("otherServer");
    QTest::addColumn<Hosts>("typed");
    QTest::addColumn<Hosts>("stored");
    const Hosts changed { QStringLiteral("10.0.0.9:8880"), QStringLiteral("http://ww"),
        QStringLiteral("http://cn") };
    QTest::newRow("voice host changed") << true << changed << changed;
    QTest::newRow("default server after own servers")
        << false << Hosts { "ignored", "ignored", "ignored" } << Hosts {};
}

void TestTranslation::windowStoresHosts()
{
    QFETCH(bool, otherServer);
    QFETCH(Hosts, typed);
    QFETCH(Hosts, stored);
    WindowFixture f(
        "[action]\nVoiceHost=10.0.0.5:8880\nTranslateHostWW=http://ww\nTranslateHostCN=http://cn\n");
    MessageBoxWatch watch({ QStringLiteral("否") });
    answerNetworkDialog(otherServer, typed);
    f.window->setNetworkActItem();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(watch.texts, QStringList { restartQuestion });

    // "No" keeps the new values, in the file and in memory, and the program running.
    QVERIFY(f.window->isVisible());
    QCOMPARE(AppState::voiceHost, stored.voice);
    QCOMPARE(AppState::translateHostWW, stored.ww);
    QCOMPARE(AppState::translateHostCN, stored.cn);
    const QString absent = QStringLiteral("<absent>");
    QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, absent, Settings::mainPath()), stored.voice);
    // Both translation hosts are written on every accept, empty ones too.
    QCOMPARE(Settings::readString(SettingsKeys::TranslateHostWW, absent, Settings::mainPath()), stored.ww);
    QCOMPARE(Settings::readString(SettingsKeys::TranslateHostCN, absent, Settings::mainPath()), stored.cn);
}

void TestTranslation::windowUsesCurrentSettingsFile()
{
    // Under the English interface the hosts come from and go to Tolvaneen.ini.
    WindowFixture f("[action]\nuilang=1\nVoiceHost=main.example\n", "[action]\nVoiceHost=english.example\n");
    QString shown;
    ModalAnswer::onNext([&shown](QWidget *modal) {
        if (auto *dialog = qobject_cast<NetworkDialog *>(modal)) {
            shown = dialog->voiceHostEdit()->text();
            dialog->translateHostWWEdit()->setText(QStringLiteral("http://ww"));
        }
        clickButton(modal, QStringLiteral("OK"));
    });
    MessageBoxWatch watch({ QStringLiteral("No") });
    f.window->setNetworkActItem();
    QCOMPARE(shown, QStringLiteral("english.example"));
    QCOMPARE(watch.texts, QStringList());
    QCOMPARE(Settings::readString(SettingsKeys::TranslateHostWW, QString(), Settings::englishPath()),
        QStringLiteral("http://ww"));
    QCOMPARE(Settings::readString(SettingsKeys::TranslateHostWW, QString(), Settings::mainPath()), QString());
    QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QString(), Settings::mainPath()),
        QStringLiteral("main.example"));
}

void TestTranslation::restartClosesDocumentsThenStartsAgain_data()
{
    QTest::addColumn<QString>("saveAnswer"); // empty: the document is not modified
    QTest::addColumn<bool>("restarted");
    QTest::addColumn<QByteArray>("onDisk");
    const QByteArray before("你好\nsalam\n");
    QTest::newRow("nothing modified") << QString() << true << before;
    QTest::newRow("Save") << QStringLiteral("保存") << true
                          << QByteArray("\xEF\xBB\xBF你好\nsalam\n谢谢\nrehmet\n");
    QTest::newRow("Discard") << QStringLiteral("放弃") << true << before;
    QTest::newRow("Cancel stops the restart") << QStringLiteral("取消") << false << before;
}

void TestTranslation::restartClosesDocumentsThenStartsAgain()
{
    QFETCH(QString, saveAnswer);
    QFETCH(bool, restarted);
    QFETCH(QByteArray, onDisk);
    WindowFixture f;
    MainWindow *w = f.window;
    QList<QStringList> launches;
    w->restarter().setLaunch([&launches](const QString &program, const QStringList &arguments) {
        launches << QStringList { program } + arguments;
        return true;
    });
    QFile talk(f.path(QStringLiteral("talk.txt")));
    QVERIFY(talk.open(QIODevice::WriteOnly));
    talk.write("你好\nsalam\n");
    talk.close();
    MdiChild *child = w->activeMdiChild();
    QVERIFY(child->loadFile(talk.fileName(), false));
    QStringList expectedBoxes { restartQuestion };
    if (!saveAnswer.isEmpty()) {
        child->setItems({ "你好", "谢谢" }, { "salam", "rehmet" });
        child->setModified(true);
        expectedBoxes << QStringLiteral("'talk.txt' 文档已修改，你要保存吗？");
    }
    {
        MessageBoxWatch watch({ QStringLiteral("是"), saveAnswer });
        answerNetworkDialog(true, { QStringLiteral("10.0.0.5"), QString(), QString() });
        w->setNetworkActItem();
        // Never "exit program?" on top of the restart question.
        QCOMPARE(watch.texts, expectedBoxes);
    }
    QCOMPARE(w->isVisible(), !restarted);
    const QStringList sameProgram
        = QStringList { QCoreApplication::applicationFilePath() } + QCoreApplication::arguments().mid(1);
    QCOMPARE(launches, restarted ? QList<QStringList> { sameProgram } : QList<QStringList>());
    QVERIFY(talk.open(QIODevice::ReadOnly));
    QCOMPARE(talk.readAll(), onDisk);
    if (!restarted) {
        // The restart was withdrawn: the next close is an ordinary one.
        MessageBoxWatch exitWatch({ QStringLiteral("否") });
        w->close();
        QCOMPARE(exitWatch.texts, QStringList { QStringLiteral("是否要关闭本程序？") });
        QVERIFY(launches.isEmpty());
    }
}

void TestTranslation::nothingWhileRecording()
{
    WindowFixture f("[action]\nVoiceHost=10.0.0.5\n");
    QFile file(Settings::mainPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    AppState::RecordState = AppState::Recording;
    MessageBoxWatch watch({ QStringLiteral("否") }, true);
    f.window->setNetworkActItem();
    QCOMPARE(watch.dialogs, QStringList());
    QCOMPARE(watch.texts, QStringList());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    AppState::RecordState = AppState::Idle;
}

TOLVANE_TEST_MAIN(TestTranslation)
#include "tst_translation.moc"
