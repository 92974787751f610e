// Interpreter mode walked as two people use it: the stand-in replays a
// transcript, a server on 127.0.0.1 translates, and each translation is
// spoken as it lands. The steps run in order on one main window.

#include "../speech/standinprobe.h"
#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/mdichild.h"
#include "httptestserver.h"
#include "speech/interpreter.h"
#include "speech/recognitionevent.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <memory>

namespace {

const int WaitMs = 60000;

QStringList transcript(const QString &name)
{
    QStringList sentences;
    QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/data/") + name);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.trimmed().isEmpty())
                sentences.append(QString::fromUtf8(line).trimmed());
        }
    }
    return sentences;
}

QString sentText(const HttpTestServer::Request &request)
{
    QByteArray encoded;
    for (const QByteArray &field : request.body.split('&')) {
        if (field.startsWith("content="))
            encoded = field.mid(8);
    }
    return QString::fromUtf8(QByteArray::fromPercentEncoding(encoded));
}

QString translationOf(const QString &text) { return QStringLiteral("译:") + text; }

}

class TestInterpreter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void switchesAreRemembered();
    void speaksEveryTranslationOnceInOrder();
    void stopEmptiesTheQueue();
    void switchingOffSilencesAtOnce();
    void halfDuplexDropsWhatItHearsWhileSpeaking();

private:
    // "voice: text" of each speak since first.
    QStringList spokenSince(unsigned first);
    void recordUntil(const std::function<bool()> &condition);

    StandinProbe probe;
    std::unique_ptr<HttpTestServer> server;
    std::unique_ptr<WindowFixture> f;
    MainWindow *w = nullptr;
    Interpreter *interpreter = nullptr;
};

void TestInterpreter::initTestCase()
{
    qputenv("TOLVANE_SDK_PACE_MS", "5");
    QVERIFY(probe.load());
    {
        WindowFixture remembered("[action]\nspeakTranslations=1\nlistenWhileSpeaking=1\n");
        QVERIFY(remembered.window->action("speakAct")->isChecked());
        QVERIFY(remembered.window->action("listenAct")->isChecked());
    }
    server = std::make_unique<HttpTestServer>();
    server->setHandler([](const HttpTestServer::Request &request) {
        return HttpTestServer::Reply { 200,
            HttpTestServer::translationReply(translationOf(sentText(request))), 0 };
    });
    f = std::make_unique<WindowFixture>();
    w = f->window;
    w->translationWorker().setDefaultEndpoint(QStringLiteral("127.0.0.1"), server->port());
    w->translationWorker().setPauseAfterRequest(0);
    interpreter = w->findChild<Interpreter *>();
    QVERIFY(interpreter);
}

void TestInterpreter::cleanupTestCase()
{
    f.reset();
    server.reset();
    qunsetenv("TOLVANE_SDK_PACE_MS");
}

QStringList TestInterpreter::spokenSince(unsigned first)
{
    QStringList spoken;
    for (unsigned i = first; i < probe.spokenCount(); ++i)
        spoken.append(probe.spoken(i));
    return spoken;
}

void TestInterpreter::recordUntil(const std::function<bool()> &condition)
{
    w->action("runAct")->trigger();
    QCOMPARE(AppState::RecordState, int(AppState::Recording));
    QTRY_VERIFY_WITH_TIMEOUT(condition(), WaitMs);
}

// Where they sit is checked with the other actions (tst_mainwindow).
void TestInterpreter::switchesAreRemembered()
{
    QAction *speak = w->action("speakAct");
    QAction *listen = w->action("listenAct");
    QVERIFY(speak->isCheckable() && !speak->isChecked());
    QVERIFY(listen->isCheckable() && !listen->isChecked());

    // Remembered in the [action] group, as "1" and "0".
    speak->trigger();
    listen->trigger();
    QCOMPARE(Settings::readString(SettingsKeys::SpeakTranslations, QString()), QStringLiteral("1"));
    QCOMPARE(Settings::readString(SettingsKeys::ListenWhileSpeaking, QString()), QStringLiteral("1"));
    listen->trigger();
    QCOMPARE(Settings::readString(SettingsKeys::ListenWhileSpeaking, QString()), QStringLiteral("0"));
    listen->trigger();
}

// Chinese speech, every result kept: the queue falls behind and catches up.
void TestInterpreter::speaksEveryTranslationOnceInOrder()
{
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.1");
    const QStringList chinese = transcript(QStringLiteral("transcript_cn.txt"));
    QVERIFY(chinese.size() >= 10);
    MdiChild *doc = w->activeMdiChild();
    auto *stateLabel = w->findChild<QLabel *>(QStringLiteral("interpreterLabel"));
    const unsigned first = probe.spokenCount();

    // At each start: the spoken row is current in both lists, Play is off and
    // the status bar counts what waits.
    QStringList faults;
    int mostWaiting = 0;
    QObject watch;
    connect(interpreter, &Interpreter::started, &watch, [&](quint64 documentId, quint64 itemId) {
        const int row = doc->model()->rowOf(itemId);
        const int waiting = interpreter->waiting();
        mostWaiting = qMax(mostWaiting, waiting);
        const QString label = waiting ? QStringLiteral("正在朗读译文，还有 %1 条等待").arg(waiting)
                                      : QStringLiteral("正在朗读译文");
        if (documentId != doc->documentId() || doc->sourceView->currentIndex().row() != row
            || doc->translationView->currentIndex().row() != row || w->action("playAct")->isEnabled()
            || stateLabel->text() != label || stateLabel->isHidden())
            faults.append(
                QStringLiteral("row %1 (%2 waiting): %3").arg(row).arg(waiting).arg(stateLabel->text()));
    });

    recordUntil([&] {
        return probe.spokenCount() - first == unsigned(chinese.size()) && !interpreter->isSpeaking();
    });
    w->action("stopAct")->trigger();
    QCOMPARE(doc->sources(), chinese);

    // Chinese speech is translated into Uyghur, so the Uyghur voice speaks.
    QStringList expected;
    for (const QString &sentence : chinese)
        expected.append(QStringLiteral("ug: ") + translationOf(sentence));
    QCOMPARE(spokenSince(first), expected);
    QCOMPARE(
        probe.playerConfig(), QByteArray("property=cn_xiaokun_common,tagmode=none,capkey=tts.cloud.uyghur"));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    QVERIFY2(mostWaiting >= 2, "the queue never fell behind");
    QVERIFY(w->action("playAct")->isEnabled());
    QVERIFY(stateLabel->isHidden());
}

// Uyghur speech, Chinese voice; Stop in the middle of a queue.
void TestInterpreter::stopEmptiesTheQueue()
{
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "2");
    w->action("langWWAct")->trigger();
    const QStringList uyghur = transcript(QStringLiteral("transcript_ug.txt"));
    const unsigned first = probe.spokenCount();
    recordUntil([&] { return interpreter->isSpeaking() && interpreter->waiting() >= 2; });
    QVERIFY(!w->action("playAct")->isEnabled());

    w->action("stopAct")->trigger();
    QCOMPARE(interpreter->waiting(), 0);
    QVERIFY(!interpreter->isSpeaking());
    QCOMPARE(probe.playerSpeaking(), 0);
    QVERIFY(w->action("playAct")->isEnabled());
    // Translations still on their way when Stop came are not spoken.
    QTest::qWait(300);
    QCOMPARE(spokenSince(first), QStringList { QStringLiteral("cmn: ") + translationOf(uyghur.first()) });
}

void TestInterpreter::switchingOffSilencesAtOnce()
{
    qputenv("TOLVANE_SDK_PACE_MS", "50"); // sentences still to come when the switch goes off
    MdiChild *doc = w->activeMdiChild();
    const unsigned first = probe.spokenCount();
    recordUntil([&] { return interpreter->isSpeaking() && interpreter->waiting() >= 1; });
    w->action("speakAct")->trigger();
    QCOMPARE(probe.playerSpeaking(), 0);
    QCOMPARE(interpreter->waiting(), 0);
    QCOMPARE(Settings::readString(SettingsKeys::SpeakTranslations, QString()), QStringLiteral("0"));

    // Recording goes on; its translations land unspoken.
    const int landed = doc->translations().size();
    QTRY_VERIFY_WITH_TIMEOUT(doc->translations().size() > landed, WaitMs);
    QCOMPARE(AppState::RecordState, int(AppState::Recording));
    QCOMPARE(probe.spokenCount(), first + 1);
    w->action("stopAct")->trigger();
}

// Results are posted as the recogniser would while the program speaks.
void TestInterpreter::halfDuplexDropsWhatItHearsWhileSpeaking()
{
    qputenv("TOLVANE_SDK_PACE_MS", "600000"); // the stand-in stays silent
    w->findChild<QComboBox *>(QStringLiteral("modeBox"))->setCurrentIndex(1);
    w->action("newAct")->trigger();
    MdiChild *doc = w->activeMdiChild();
    w->action("speakAct")->trigger();
    w->action("listenAct")->trigger();
    QVERIFY(!w->action("listenAct")->isChecked());
    auto hear = [this](const char *text) {
        QCoreApplication::postEvent(w, new RecognitionEvent(RecognitionEvent::Final, true, 600, text));
        QCoreApplication::processEvents();
    };
    const QString dropped = QStringLiteral("朗读译文时听到的语音已丢弃");
    int droppedSaid = 0;
    connect(w->statusBar(), &QStatusBar::messageChanged, doc,
        [&](const QString &message) { droppedSaid += message == dropped; });

    // What comes just after the voice stopped may still be its echo.
    QTest::qWait(Interpreter::EchoTailMs);
    recordUntil([] { return true; });
    hear("bir ikki uch tort besh alte yette sekkiz toqquz on");
    QTRY_VERIFY_WITH_TIMEOUT(interpreter->isSpeaking(), WaitMs);
    hear("echo one");
    hear("echo two");
    QCOMPARE(doc->sources().size(), 1);
    QCOMPARE(droppedSaid, 1);

    // With headphones the other side is heard while the program speaks.
    w->action("listenAct")->trigger();
    hear("kept");
    QCOMPARE(doc->sources().size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(interpreter->waiting(), 1, WaitMs);
    QVERIFY(interpreter->isSpeaking());

    // Closing the document silences its voice and its queue.
    doc->setModified(false);
    QVERIFY(qobject_cast<QMdiSubWindow *>(doc->parentWidget())->close());
    QTRY_VERIFY(!interpreter->isSpeaking());
    QCOMPARE(interpreter->waiting(), 0);
    QCOMPARE(probe.playerSpeaking(), 0);
    w->action("stopAct")->trigger();
}

TOLVANE_TEST_MAIN(TestInterpreter)

#include "tst_interpreter.moc"
