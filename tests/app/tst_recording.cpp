#include "../speech/standinprobe.h"
#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "httptestserver.h"
#include "modalanswer.h"
#include "speech/recognitionevent.h"
#include "speech/speechsdk.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QTemporaryDir>

namespace {
const QString fullwidthComma(QChar(0xFF0C));
const QString arabicComma = QString(QChar(0x060C)) + QLatin1Char(' ');

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage resourceImage(const QString &path) { return iconImage(QIcon(path)); }

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QString sentText(const HttpTestServer::Request &request)
{
    for (const QByteArray &field : request.body.split('&')) {
        if (field.startsWith("content="))
            return QString::fromUtf8(QByteArray::fromPercentEncoding(field.mid(8)));
    }
    return QString();
}

HttpTestServer::Reply echo(const HttpTestServer::Request &request)
{
    return { 200, HttpTestServer::translationReply(QStringLiteral("T:") + sentText(request)), 0 };
}

QStringList translated(const QStringList &sentences)
{
    QStringList list;
    for (const QString &s : sentences)
        list << QStringLiteral("T:") + s;
    return list;
}

// What the in-progress handler posts for one provisional phrase-mode text.
void postPartial(MainWindow *w, const QString &text)
{
    const QByteArray json = "{\"SegmentCount\":1,\"Segment\":[{\"SegmentIndex\":1,\"Score\":500,\"Text\":\""
        + text.toUtf8() + "\"}]}";
    QCoreApplication::postEvent(w, new RecognitionEvent(RecognitionEvent::Partial, true, 500, json));
    QCoreApplication::sendPostedEvents(w, RecognitionEvent::PartialType);
}

// What a recognition handler posts for one sentence-mode result.
void postSentence(MainWindow *w, const QString &text)
{
    QCoreApplication::postEvent(w, new RecognitionEvent(RecognitionEvent::Final, true, 500, text.toUtf8()));
    QCoreApplication::sendPostedEvents(w, RecognitionEvent::FinalType);
}

void clickText(QWidget *dialog, const QString &text)
{
    for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>()) {
        if (b->text().remove(QLatin1Char('&')) == text) {
            b->click();
            return;
        }
    }
    qWarning("no button '%s'", qPrintable(text));
}
}

class TestRecording : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void recordCommands_data();
    void recordCommands();
    void startFailure();
    void languageSwitchWhileRecording();
    void pauseMarkChangeWaitsForNextStart();
    void closeLastDocumentWhileRecording();
    void destroyWindowWhileRecording();
    void stopKeepsProvisionalSentence();

    void destroyWindowWhileReading();

private:
    void useTranscript(const QStringList &sentences);

    StandinProbe probe;
    QTemporaryDir dir;
};

void TestRecording::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(probe.load());
}

void TestRecording::init()
{
    // A silent microphone unless a test gives it something to say.
    useTranscript({});
    qunsetenv("TOLVANE_SDK_SCRIPT");
    qunsetenv("TOLVANE_SDK_FAIL_RECORDER_START");
    qputenv("TOLVANE_SDK_PACE_MS", "0");
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.05");
    ModalAnswer::reset();
}

void TestRecording::cleanup() { SpeechSdk::setPlayState(0); }

void TestRecording::useTranscript(const QStringList &sentences)
{
    const QString path = dir.filePath(QStringLiteral("transcript.txt"));
    writeFile(path, sentences.join(QLatin1Char('\n')).toUtf8());
    qputenv("TOLVANE_SDK_TRANSCRIPT", QFile::encodeName(path));
}

void TestRecording::recordCommands_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("record");
    QTest::addColumn<bool>("acts");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("runIcon");
    QTest::addColumn<QString>("stopIcon");
    QTest::addColumn<QString>("label");

    const QString run(QStringLiteral(":/images/Run.png"));
    const QString run1(QStringLiteral(":/images/Run1.png"));
    const QString stop(QStringLiteral(":/images/Stop.png"));
    const QString stop1(QStringLiteral(":/images/Stop1.png"));
    const QString recording(QStringLiteral("正在录音..."));
    const QString idle(QStringLiteral("未开始"));
    const int none = AppState::NoDocument;
    const int i = AppState::Idle;
    const int r = AppState::Recording;

    QTest::newRow("no document: Record") << none << true << false << none << run1 << stop1 << QString();
    QTest::newRow("no document: Stop") << none << false << false << none << run1 << stop1 << QString();
    QTest::newRow("idle: Record") << i << true << true << r << run1 << stop << recording;
    QTest::newRow("idle: Stop") << i << false << false << i << run << stop1 << QString();
    QTest::newRow("recording: Record") << r << true << false << r << run1 << stop << QString();
    QTest::newRow("recording: Stop") << r << false << true << i << run << stop1 << idle;
}

void TestRecording::recordCommands()
{
    QFETCH(int, before);
    QFETCH(bool, record);
    QFETCH(bool, acts);
    QFETCH(int, after);
    QFETCH(QString, runIcon);
    QFETCH(QString, stopIcon);
    QFETCH(QString, label);

    WindowFixture f;
    MainWindow *w = f.window;
    if (before == AppState::NoDocument) {
        w->documentArea()->closeAllSubWindows();
        QTRY_VERIFY(w->documentArea()->subWindowList().isEmpty());
    } else if (before == AppState::Recording) {
        w->runItem();
    }
    QCOMPARE(AppState::RecordState, before);
    QCOMPARE(probe.recorderRunning(), before == AppState::Recording ? 1 : 0);

    // A command that does nothing leaves these marks alone; a start would
    // record in the language set here.
    const QByteArray configBefore = probe.recorderStartConfig();
    AppState::recognitionLanguage = 1;
    const QString sentinel(QStringLiteral("label untouched"));
    w->findChild<QLabel *>(QStringLiteral("recordStateLabel"))->setText(sentinel);
    const bool boxEnabled = w->findChild<QComboBox *>(QStringLiteral("modeBox"))->isEnabled();

    if (record)
        w->action("runAct")->trigger();
    else
        w->action("stopAct")->trigger();

    QCOMPARE(AppState::RecordState, after);
    QCOMPARE(iconImage(w->action("runAct")->icon()), resourceImage(runIcon));
    QCOMPARE(iconImage(w->action("stopAct")->icon()), resourceImage(stopIcon));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("recordStateLabel"))->text(), acts ? label : sentinel);
    QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->isEnabled(), acts ? after != AppState::Recording : boxEnabled);
    QCOMPARE(probe.recorderRunning(), after == AppState::Recording ? 1 : 0);
    const bool started = acts && record;
    QCOMPARE(probe.recorderStartConfig(),
        started ? QByteArray("domain=common,capkey=asr.cloud.freetalk.uyghur,realtime=rt,continuous=yes")
                : configBefore);
}

void TestRecording::startFailure()
{
    qputenv("TOLVANE_SDK_FAIL_RECORDER_START", "23");
    WindowFixture f("[action]\nlang=1\npauseMark=0\n");
    MainWindow *w = f.window;
    ModalAnswer::clickStandard(QMessageBox::Ok);
    w->runItem();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("工具"));
    QCOMPARE(ModalAnswer::lastText(), QStringLiteral("开始录音失败，错误码：23"));
    QCOMPARE(AppState::RecordState, int(AppState::Idle));
    QCOMPARE(iconImage(w->action("runAct")->icon()), resourceImage(QStringLiteral(":/images/Run.png")));
    QVERIFY(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->isEnabled());
    QCOMPARE(probe.recorderRunning(), 0);
    // The start had already got as far as choosing the separator.
    QCOMPARE(AppState::sentenceSeparator, arabicComma);
}

void TestRecording::languageSwitchWhileRecording()
{
    WindowFixture f;
    MainWindow *w = f.window;
    w->runItem();
    QCOMPARE(probe.recorderStartConfig(),
        QByteArray("domain=common, capkey=asr.cloud.freetalk,realtime=rt,continuous=yes"));
    QCOMPARE(AppState::sentenceSeparator, fullwidthComma);

    w->action("langWWAct")->trigger();
    // Stopped at once; started again shortly after in Uyghur.
    QCOMPARE(AppState::RecordState, int(AppState::Idle));
    QCOMPARE(probe.recorderRunning(), 0);
    QCOMPARE(WindowFixture::mainTitle(w), QStringLiteral("维-->汉翻译"));
    QTRY_COMPARE(AppState::RecordState, int(AppState::Recording));
    QCOMPARE(probe.recorderRunning(), 1);
    QCOMPARE(probe.recorderStartConfig(),
        QByteArray("domain=common,capkey=asr.cloud.freetalk.uyghur,realtime=rt,continuous=yes"));
    QCOMPARE(AppState::sentenceSeparator, arabicComma);
    QCOMPARE(Settings::readInt(SettingsKeys::Lang, QStringLiteral("0")), 1);

    w->action("langCNAct")->trigger();
    QTRY_COMPARE(probe.recorderStartConfig(),
        QByteArray("domain=common, capkey=asr.cloud.freetalk,realtime=rt,continuous=yes"));
    QTRY_COMPARE(AppState::RecordState, int(AppState::Recording));
    QCOMPARE(WindowFixture::mainTitle(w), QStringLiteral("汉-->维翻译"));
}

void TestRecording::pauseMarkChangeWaitsForNextStart()
{
    WindowFixture f("[action]\nlang=1\nrealtime=0\nsetTextMode=0\n");
    MainWindow *w = f.window;
    MdiChild *child = w->activeMdiChild();
    w->runItem();
    QCOMPARE(AppState::sentenceSeparator, arabicComma);

    ModalAnswer::onNext([](QWidget *dialog) {
        clickText(dialog, QStringLiteral("加入空格"));
        clickText(dialog, QStringLiteral("确定"));
    });
    w->action("setPauseMarkAct")->trigger();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(AppState::pauseMarkChoice, 1);
    QCOMPARE(Settings::readInt(SettingsKeys::PauseMark, QStringLiteral("0")), 1);
    QCOMPARE(AppState::RecordState, int(AppState::Recording));
    postSentence(w, QStringLiteral("بىر"));
    QCOMPARE(child->sourceEdit->toPlainText(), QStringLiteral("بىر") + arabicComma);

    w->stopItem();
    w->runItem();
    QCOMPARE(AppState::sentenceSeparator, QStringLiteral(" "));
    postSentence(w, QStringLiteral("ئىككى"));
    QCOMPARE(
        child->sourceEdit->toPlainText(), QStringLiteral("بىر") + arabicComma + QStringLiteral("ئىككى "));
}

void TestRecording::closeLastDocumentWhileRecording()
{
    WindowFixture f("[action]\nrealtime=0\n");
    MainWindow *w = f.window;
    HttpTestServer server;
    server.setHandler(echo);
    w->translationWorker().setDefaultEndpoint(QStringLiteral("127.0.0.1"), server.port());
    w->runItem();
    QCOMPARE(AppState::RecordState, int(AppState::Recording));

    w->documentArea()->closeAllSubWindows();
    QTRY_VERIFY(w->documentArea()->subWindowList().isEmpty());
    QCOMPARE(AppState::RecordState, int(AppState::NoDocument));
    // The capture ends with its last document, so the next one can record again.
    QCOMPARE(probe.recorderRunning(), 0);
    // A result still in flight has nowhere to go.
    postSentence(w, QStringLiteral("没有文档的句子"));
    QVERIFY(!w->activeMdiChild());

    // Had the dropped sentence been queued, the translator would see it first.
    w->newFile();
    w->runItem();
    QCOMPARE(AppState::RecordState, int(AppState::Recording));
    postSentence(w, QStringLiteral("新文档的句子"));
    QCOMPARE(w->activeMdiChild()->sources(), QStringList { QStringLiteral("新文档的句子") });
    QTRY_COMPARE(server.requestCount(), 1);
    QCOMPARE(sentText(server.requests().first()), QStringLiteral("新文档的句子"));
}

void TestRecording::destroyWindowWhileRecording()
{
    QStringList many;
    for (int i = 0; i < 400; ++i)
        many << QStringLiteral("第%1句话").arg(i);
    useTranscript(many);
    qputenv("TOLVANE_SDK_PACE_MS", "5");
    {
        WindowFixture f;
        const unsigned before = probe.resultCount();
        f.window->runItem();
        QCOMPARE(AppState::RecordState, int(AppState::Recording));
        QTRY_VERIFY(probe.resultCount() > before + 3);
        QCOMPARE(probe.recorderRunning(), 1);
    }
    QCOMPARE(probe.recorderRunning(), 0);
}

void TestRecording::stopKeepsProvisionalSentence()
{
    WindowFixture f;
    MainWindow *w = f.window;
    HttpTestServer server;
    server.setHandler(echo);
    w->translationWorker().setDefaultEndpoint(QStringLiteral("127.0.0.1"), server.port());
    MdiChild *doc = w->activeMdiChild();
    w->runItem();
    postPartial(w, QStringLiteral("我们去公"));
    w->stopItem();
    // The text on screen when the operator stopped stays and is translated,
    // so the next recording's translations do not slide one row up.
    QCOMPARE(doc->sources(), QStringList { QStringLiteral("我们去公") });
    QTRY_COMPARE(doc->translations(), QStringList { QStringLiteral("T:我们去公") });
    w->runItem();
    postPartial(w, QStringLiteral("今天"));
    QCOMPARE(doc->sources(), (QStringList { QStringLiteral("我们去公"), QStringLiteral("今天") }));
    w->stopItem();
    QTRY_COMPARE(doc->translations(), translated({ QStringLiteral("我们去公"), QStringLiteral("今天") }));
}

void TestRecording::destroyWindowWhileReading()
{
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "1");
    {
        WindowFixture f("[action]\nlang=1\n");
        MainWindow *w = f.window;
        w->activeMdiChild()->setItems({ QStringLiteral("长句") },
            { QStringLiteral("one two three four five six seven eight nine ten eleven twelve") });
        w->playItem();
        QTRY_COMPARE(probe.playerSpeaking(), 1);
    }
    QCOMPARE(probe.playerSpeaking(), 0);
}

TOLVANE_TEST_MAIN(TestRecording)
#include "tst_recording.moc"
