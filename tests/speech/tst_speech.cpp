#include "standinprobe.h"

#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/documentmodel.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "httptestserver.h"
#include "modalanswer.h"
#include "senttext.h"
#include "speech/interpreter.h"
#include "speech/readaloud.h"
#include "speech/recognition.h"
#include "speech/recorder.h"
#include "speech/speechconfig.h"
#include "speech/speechengine.h"
#include "speech/speechsdk.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTemporaryDir>

// Collects the recognition events the SDK's handlers post to it.
class Receiver : public QObject
{
public:
    QList<RecognitionEvent> received;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != RecognitionEvent::FinalType && event->type() != RecognitionEvent::PartialType)
            return QObject::event(event);
        received.append(*static_cast<RecognitionEvent *>(event));
        return true;
    }
};

namespace {
QByteArray segments(std::initializer_list<QByteArray> list, const QByteArray &count = QByteArray())
{
    return "{" + (count.isEmpty() ? QByteArray() : "\"SegmentCount\":" + count + ',') + "\"Segment\":["
        + QByteArrayList(list).join(',') + "]}";
}

QByteArray segment(int index, int score, const QByteArray &text)
{
    return "{\"SegmentIndex\":" + QByteArray::number(index) + ",\"Score\":" + QByteArray::number(score)
        + ",\"Text\":\"" + text + "\"}";
}

// A result as "<P|F|N><score>|<payload>": partial, final, final without entries.
QString result(char kind, const QByteArray &payload, quint32 score = 500)
{
    return QString::fromUtf8(kind + QByteArray::number(score) + '|' + payload);
}

RecognitionEvent toEvent(const QString &encoded)
{
    const int bar = encoded.indexOf(QLatin1Char('|'));
    const QChar kind = encoded.at(0);
    return RecognitionEvent(kind == QLatin1Char('P') ? RecognitionEvent::Partial : RecognitionEvent::Final,
        kind != QLatin1Char('N'), encoded.mid(1, bar - 1).toUInt(), encoded.mid(bar + 1).toUtf8());
}

const QString fullwidthComma(QChar(0xFF0C));
const QString arabicComma = QString(QChar(0x060C)) + QLatin1Char(' ');

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
}

// A translation server on 127.0.0.1 that answers prefix and the sentence.
void translateWith(HttpTestServer &server, MainWindow *w, const QString &prefix = QStringLiteral("T:"))
{
    server.setHandler([prefix](const HttpTestServer::Request &request) {
        return HttpTestServer::Reply { 200, HttpTestServer::translationReply(prefix + sentText(request)), 0 };
    });
    w->translationWorker().setDefaultEndpoint(QStringLiteral("127.0.0.1"), server.port());
    w->translationWorker().setPauseAfterRequest(0);
}

// What the recognition handlers post: a phrase-mode partial, or a sentence-mode result.
void post(MainWindow *w, bool partial, const QString &text)
{
    const QByteArray payload = partial
        ? "{\"SegmentCount\":1,\"Segment\":[{\"SegmentIndex\":1,\"Score\":500,\"Text\":\"" + text.toUtf8()
            + "\"}]}"
        : text.toUtf8();
    QCoreApplication::postEvent(w,
        new RecognitionEvent(
            partial ? RecognitionEvent::Partial : RecognitionEvent::Final, true, 500, payload));
    QCoreApplication::processEvents();
}

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
}

class TestSpeech : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void configs_data();
    void configs();
    void failedSetUpIsReported();
    void handlersPostResults();
    void apply_data();
    void apply();
    void readAloud_data();
    void readAloud();
    void readAloudStops();
    void recordCommands_data();
    void recordCommands();
    void restartTakesNewLanguageAndSeparator();
    void captureEndsWithItsWindowOrLastDocument();
    void stopKeepsProvisionalSentence();
    void floodWhileSaving();
    void interpreterMode();

private:
    QString writeFile(const QString &name, const QStringList &lines);

    StandinProbe probe;
    QTemporaryDir dir;
    Receiver receiver;
};

void TestSpeech::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(probe.load());
    QVERIFY2(SpeechSdk::instance().load(QCoreApplication::applicationDirPath()),
        qPrintable(SpeechSdk::instance().loadError()));
}

void TestSpeech::init()
{
    // A silent microphone unless a test gives it something to say.
    qputenv("TOLVANE_SDK_TRANSCRIPT", QFile::encodeName(writeFile(QStringLiteral("transcript.txt"), {})));
    qputenv("TOLVANE_SDK_PACE_MS", "0");
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.05");
    ModalAnswer::reset();
}

void TestSpeech::cleanup()
{
    Recorder::cancel();
    ReadAloud::stopPlayer();
    for (const char *variable : { "TOLVANE_SDK_SCRIPT", "TOLVANE_SDK_FAIL_HCI_INIT", "TOLVANE_SDK_FAIL_RECORDER_START" })
        qunsetenv(variable);
    QCoreApplication::sendPostedEvents(&receiver);
    receiver.received.clear();
    Settings::setProgramDir(QString());
    WindowFixture::resetState();
    SpeechSdk::setPlayState(0);
}

QString TestSpeech::writeFile(const QString &name, const QStringList &lines)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(lines.join(QLatin1Char('\n')).toUtf8());
    return file.fileName();
}

// With an own server; the cloud's configurations and the recording ones are checked where they are used.
void TestSpeech::configs_data()
{
    QTest::addColumn<QByteArray>("made");
    QTest::addColumn<QByteArray>("expected");
    const QString own = QStringLiteral("h:1");
    QTest::newRow("synthesis, chinese voice") << SpeechConfig::synthesisConfig(
        1, own) << QByteArray("property=cn_wangjing_common,tagmode=none,capkey=tts.cloud.synth");
    // The index of the cloud free-talk key, as "local,kind".
    const auto found = [](const QList<QByteArray> &keys) -> QByteArray {
        int local = 5, kind = 5;
        SpeechEngine::classifyCapability(keys, &local, &kind);
        return QByteArray::number(local) + ',' + QByteArray::number(kind);
    };
    QTest::newRow("capability: none") << found({}) << QByteArray("-1,-1");
    QTest::newRow("capability: free talk")
        << found({ "asr.cloud.grammar", "asr.cloud.freetalk" }) << QByteArray("0,0");
    QTest::newRow("capability: only uyghur") << found({ "asr.cloud.freetalk.uyghur" }) << QByteArray("-1,-1");
}

void TestSpeech::configs()
{
    QFETCH(QByteArray, made);
    QTEST(made, "expected");
}

// A failed set-up is reported once and leaves the program running without speech.
void TestSpeech::failedSetUpIsReported()
{
    Settings::setProgramDir(dir.path());
    qputenv("TOLVANE_SDK_FAIL_HCI_INIT", "2");
    QStringList reports;
    QVERIFY(!SpeechEngine::setUp(&receiver, [&reports](const QString &message) { reports << message; }));
    QCOMPARE(reports, QStringList { "hci_init return (2:Invalid configuration string)\n" });
    QCOMPARE(probe.sysInitialised(), 0);
}

void TestSpeech::handlersPostResults()
{
    QCOMPARE(SpeechSdk::instance().init("appKey=1"), 0);
    QCOMPARE(SpeechSdk::instance().recorderInit("initCapkeys=asr.cloud.freetalk", &receiver), 0);
    qputenv("TOLVANE_SDK_SCRIPT",
        QFile::encodeName(writeFile(QStringLiteral("script.txt"),
            { QStringLiteral("0\tpartial\t50\t{}"), QStringLiteral("0\tfinal\t4000000000\t\u4f60") })));
    QCOMPARE(Recorder::start(), 0);
    QTRY_COMPARE(receiver.received.size(), 2);
    QCOMPARE(int(receiver.received.at(0).type()), int(RecognitionEvent::PartialType));
    const RecognitionEvent &last = receiver.received.at(1);
    QCOMPARE(int(last.type()), int(RecognitionEvent::FinalType));
    QCOMPARE(last.score(), 4000000000u);
    QCOMPARE(QString::fromUtf8(last.text()), QStringLiteral("\u4f60"));
}

void TestSpeech::apply_data()
{
    QTest::addColumn<bool>("phrase");
    QTest::addColumn<int>("textMode");
    QTest::addColumn<QString>("start"); // "+x" an item, "~x" a provisional item, "=edited|running" running text
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("queued"); // for translation, in order
    // F: a final sentence added, P: the provisional item changed, ~: one is left provisional
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("running"); // with textMode 0: "<running text>|<shown text>"
    const auto one = [](char kind, const QByteArray &text) {
        return result(kind, segments({ segment(1, 500, text) }, "1"));
    };
    const QStringList none;
    QTest::newRow("segments at and below the threshold")
        << true << 1 << "" << QStringList { result('F',
               segments({ segment(1, 120, "one"), segment(2, 99, "two"),
                            "{\"SegmentIndex\":3,\"Score\":\"150\",\"Text\":\"as text\"}",
                            "{\"SegmentIndex\":4,\"Text\":\"unscored\"}",
                            "{\"SegmentIndex\":5,\"Score\":\"9\",\"Text\":\"x\"}", segment(6, 100, "six") },
                   "6")) }
        << QStringList { "one", "as text", "unscored", "six" } << QStringList { "one", "as text", "unscored", "six" }
        << "F" << "";
    QTest::newRow("partials replace the provisional item")
        << true << 1 << "+earlier" << QStringList { one('P', "wo"), one('F', "wo men qu ba"), one('P', "hao") }
        << QStringList { "earlier", "wo men qu ba", "hao" } << QStringList { "wo men qu ba" } << "FP~" << "";
    QTest::newRow("all segments but the last are final")
        << true << 1 << ""
        << QStringList { result('P', segments({ segment(1, 500, "s1"), segment(2, 500, "s2"), segment(3, 500, "s3") }, "3")),
               result('P', segments({ segment(3, 500, "s3 more") }, "3")),
               result('P', segments({ segment(2, 500, "s3 done") }, "4")) }
        << QStringList { "s1", "s2", "s3 done" } << QStringList { "s1", "s2", "s3 done" } << "FP" << "";
    QTest::newRow("no segment count keeps the last provisional")
        << true << 1 << "" << QStringList { result('P', segments({ segment(1, 500, "a"), segment(2, 500, "b") })) }
        << QStringList { "b" } << none << "P~" << "";
    QTest::newRow("empty phrase kept")
        << true << 1 << "" << QStringList { one('F', "") } << QStringList { "" } << QStringList { "" } << "F" << "";
    QTest::newRow("empty sentence dropped") << false << 1 << "" << QStringList { result('F', "") } << none << none << "" << "";
    const QString hello = QStringLiteral("\u4f60\u597d");
    QTest::newRow("sentence below the threshold") << false << 1 << "~kept" << QStringList { result('F', hello.toUtf8(), 99) }
                                                  << QStringList { "kept" } << none << "~" << "";
    QTest::newRow("sentence at the threshold, provisional untouched")
        << false << 1 << "~kept" << QStringList { result('F', hello.toUtf8(), 100) } << QStringList { "kept", hello }
        << QStringList { hello } << "F~" << "";
    QTest::newRow("score beyond the signed range") << false << 1 << "" << QStringList { result('F', "x", 3000000000u) }
                                                   << QStringList { "x" } << QStringList { "x" } << "F" << "";
    const QString good = one('F', "x");
    QTest::newRow("dropped: invalid json") << true << 0 << "" << QStringList { result('F', "{\"Segment\":") } << none
                                           << none << "" << "|";
    QTest::newRow("dropped: no entries")
        << true << 0 << "" << QStringList { QString(good).replace(0, 1, 'N') } << none << none << "" << "|";
    QTest::newRow("dropped: partial in sentence mode")
        << false << 0 << "" << QStringList { QString(good).replace(0, 1, 'P') } << none << none << "" << "|";
    QTest::newRow("dropped: every segment fails")
        << true << 0 << "" << QStringList { result('F', segments({ segment(1, 5, "x"), "{\"Score\":500}" })) } << none
        << none << "" << "|";
    const QString comma = QStringLiteral("\u060C ");
    QTest::newRow("continuous text, phrases")
        << true << 0 << "" << QStringList { one('P', "bir"), one('F', "bir ikki"), one('P', "uch") }
        << QStringList { "bir ikki", "uch" } << QStringList { "bir ikki" } << "FP~"
        << "bir ikki" + comma + "|bir ikki" + comma + "uch" + comma;
    // The operator's own edits of the running text are kept.
    QTest::newRow("continuous text, sentences")
        << false << 0 << "=typed" + comma + "|stale" << QStringList { result('F', "next") } << QStringList { "next" }
        << QStringList { "next" } << "F" << "typed" + comma + "next" + comma + "|typed" + comma + "next" + comma;
}

void TestSpeech::apply()
{
    QFETCH(int, textMode);
    QFETCH(QString, start);
    QFETCH(QStringList, results);
    QFETCH(QString, running);
    QFETCH(bool, phrase);
    AppState::phraseMode = phrase;
    AppState::textMode = textMode;
    AppState::sentenceSeparator = QStringLiteral("\u060C ");
    DocumentModel doc;
    if (start.startsWith(QLatin1Char('+'))) {
        doc.appendSource(start.mid(1));
    } else if (start.startsWith(QLatin1Char('~'))) {
        doc.showProvisional(start.mid(1));
    } else if (start.startsWith(QLatin1Char('='))) {
        const QString typed = start.mid(1).section(QLatin1Char('|'), 0, 0);
        doc.setEditedSourceReader([typed] { return typed; });
        doc.setRunningSource(start.section(QLatin1Char('|'), 1));
    }

    Recognition recognition;
    QStringList queued;
    bool finalAdded = false, partialChanged = false;
    for (const QString &r : results) {
        const Recognition::Outcome outcome = recognition.apply(&doc, toEvent(r));
        for (const quint64 item : outcome.queued)
            queued += doc.at(doc.rowOf(item)).source;
        finalAdded |= outcome.finalAdded;
        partialChanged |= outcome.partialChanged;
    }
    QTEST(doc.sources(), "sources");
    QTEST(queued, "queued");
    const QString outcome = QString(finalAdded ? "F" : "") + (partialChanged ? "P" : "") + (doc.hasProvisional() ? "~" : "");
    QTEST(outcome, "outcome");
    if (start.isEmpty())
        QCOMPARE(doc.isModified(), !doc.sources().isEmpty());
    if (textMode == 0)
        QCOMPARE(doc.runningSource() + QLatin1Char('|') + doc.shownSource(), running);
}

// Play reads the translations from the current row on, each once, up to the
// first row still waiting for its translation.
void TestSpeech::readAloud_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("selected"); // before the start; -1: none
    QTest::addColumn<int>("selectedAfter"); // after the start: the reading goes on from its own row
    QTest::addColumn<QList<int>>("rows"); // read at the start and after each end
    QTest::newRow("no current row, up to the waiting row") << 1 << -1 << -1 << QList<int> { 0, 1, 2, 2 };
    QTest::newRow("from the current row, chinese") << 0 << 1 << -1 << QList<int> { 1, 2, 2 };
    QTest::newRow("selection does not steer") << 1 << -1 << 2 << QList<int> { 0, 1 };
}

void TestSpeech::readAloud()
{
    QFETCH(int, language);
    QFETCH(int, selected);
    QFETCH(int, selectedAfter);
    QFETCH(QList<int>, rows);
    QCOMPARE(SpeechSdk::instance().init("appKey=1"), 0);
    QCOMPARE(SpeechSdk::instance().playerInit("initCapkeys=tts.cloud.wangjing,dataPath=/nowhere"), 0);
    AppState::recognitionLanguage = language;
    MdiChild doc(nullptr);
    doc.newFile();
    const QStringList texts { "one", "two", "three" };
    doc.setItems({ "a", "b", "c", "d" }, texts);
    QListView *view = doc.translationView;
    ReadAloud reading;
    view->setCurrentIndex(doc.translationModel->index(selected));
    QVERIFY(reading.start(view));
    if (selectedAfter >= 0)
        view->setCurrentIndex(doc.translationModel->index(selectedAfter));
    for (int step = 0; step < rows.size(); ++step) {
        if (step > 0) {
            QTRY_COMPARE(SpeechSdk::playState(), 9);
            reading.tick(view);
            // A tick before the player has said "started" for this row is no sign that it ended.
            reading.tick(view);
        }
        QCOMPARE(reading.playIndex(), rows.at(step));
        if (step > 0 || selectedAfter < 0)
            QCOMPARE(view->currentIndex().row(), rows.at(step));
        QCOMPARE(probe.playerText(), texts.at(rows.at(step)).toUtf8());
        QCOMPARE(probe.playerConfig(), SpeechConfig::synthesisConfig(language, QString()));
    }
    if (rows.size() > 1 && rows.last() == rows.at(rows.size() - 2)) {
        // The last translation is read once: the end stays the end.
        QCOMPARE(probe.playerSpeaking(), 0);
        QCOMPARE(SpeechSdk::playState(), 9);
    }
}

void TestSpeech::readAloudStops()
{
    QCOMPARE(SpeechSdk::instance().init("appKey=1"), 0);
    QCOMPARE(SpeechSdk::instance().playerInit("initCapkeys=tts.cloud.wangjing,dataPath=/nowhere"), 0);
    MdiChild doc(nullptr);
    doc.newFile();
    ReadAloud reading;
    // Nothing to read: nothing starts, and the play state is left alone.
    SpeechSdk::setPlayState(4);
    QVERIFY(!reading.start(nullptr));
    QVERIFY(!reading.start(doc.translationView));
    QCOMPARE(probe.playerSpeaking(), 0);
    QCOMPARE(SpeechSdk::playState(), 4);
    // Long enough to be still speaking when stopped.
    doc.setItems({ "a", "b" }, { QStringLiteral("a long sentence to read, ").repeated(40), "next" });
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "1");
    QVERIFY(reading.start(doc.translationView));
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.05");
    QTRY_COMPARE(probe.playerSpeaking(), 1);
    reading.stop();
    // The player reports the stop, which is not the end of the text: no tick reads on.
    QTRY_COMPARE(SpeechSdk::playState(), 10);
    reading.tick(doc.translationView);
    QCOMPARE(reading.playIndex(), 0);
    QVERIFY(probe.playerText().startsWith("a long sentence"));
}

void TestSpeech::recordCommands_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("record");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("icons"); // of Record and Stop: "<Run|Run1> <Stop|Stop1>"
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("failure"); // the stand-in's refusal of the start
    const int idle = AppState::Idle, recording = AppState::Recording;
    QTest::newRow("Record") << idle << true << recording << "Run1 Stop" << QStringLiteral("正在录音...") << 0;
    QTest::newRow("Record refused") << idle << true << idle << "Run Stop1" << QStringLiteral("untouched") << 23;
    QTest::newRow("Stop") << recording << false << idle << "Run Stop1" << QStringLiteral("未开始") << 0;
}

void TestSpeech::recordCommands()
{
    QFETCH(int, before);
    QFETCH(int, after);
    QFETCH(QString, icons);
    QFETCH(int, failure);
    if (failure)
        qputenv("TOLVANE_SDK_FAIL_RECORDER_START", QByteArray::number(failure));
    WindowFixture f;
    MainWindow *w = f.window;
    if (before == AppState::Recording)
        w->runItem();
    // A start records in Uyghur; a refused one leaves the label alone.
    AppState::recognitionLanguage = 1;
    auto *stateLabel = w->findChild<QLabel *>(QStringLiteral("recordStateLabel"));
    stateLabel->setText(QStringLiteral("untouched"));
    if (failure)
        ModalAnswer::clickStandard(QMessageBox::Ok);
    QFETCH(bool, record);
    w->action(record ? "runAct" : "stopAct")->trigger();
    QCOMPARE(ModalAnswer::lastText(),
        failure ? QStringLiteral("开始录音失败，错误码：%1").arg(failure) : QString());
    QCOMPARE(AppState::RecordState, after);
    const QStringList icon = icons.split(QLatin1Char(' '));
    QCOMPARE(iconImage(w->action("runAct")->icon()), iconImage(QIcon(":/images/" + icon.at(0) + ".png")));
    QCOMPARE(iconImage(w->action("stopAct")->icon()), iconImage(QIcon(":/images/" + icon.at(1) + ".png")));
    QTEST(stateLabel->text(), "label");
    QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->isEnabled(), after != AppState::Recording);
    QCOMPARE(probe.recorderRunning(), after == AppState::Recording ? 1 : 0);
    if (record)
        QCOMPARE(probe.recorderStartConfig(),
            QByteArray("domain=common,capkey=asr.cloud.freetalk.uyghur,realtime=rt,continuous=yes"));
}

void TestSpeech::restartTakesNewLanguageAndSeparator()
{
    // Sentence mode: every start config says so.
    WindowFixture f("[action]\nrealtime=0\nsetTextMode=0\n");
    MainWindow *w = f.window;
    w->runItem();
    QCOMPARE(probe.recorderStartConfig(), QByteArray("domain=common, capkey=asr.cloud.freetalk,realtime=yes,continuous=yes"));
    QCOMPARE(AppState::sentenceSeparator, fullwidthComma);

    w->action("langWWAct")->trigger();
    // Stopped at once; started again shortly after in Uyghur.
    QCOMPARE(probe.recorderRunning(), 0);
    QCOMPARE(WindowFixture::mainTitle(w), QStringLiteral("维-->汉翻译"));
    QTRY_COMPARE(probe.recorderRunning(), 1);
    QCOMPARE(probe.recorderStartConfig(),
        QByteArray("domain=common,capkey=asr.cloud.freetalk.uyghur,realtime=yes,continuous=yes"));
    QCOMPARE(AppState::sentenceSeparator, arabicComma);
    QCOMPARE(Settings::readInt(SettingsKeys::Lang, QStringLiteral("0")), 1);

    // A new pause mark waits for the next start.
    ModalAnswer::onNext([](QWidget *dialog) {
        for (const QString &text : { QStringLiteral("加入空格"), QStringLiteral("确定") }) {
            for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>()) {
                if (b->text().remove(QLatin1Char('&')) == text)
                    b->click();
            }
        }
    });
    w->action("setPauseMarkAct")->trigger();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(Settings::readInt(SettingsKeys::PauseMark, QStringLiteral("0")), 1);
    post(w, false, QStringLiteral("بىر"));
    MdiChild *child = w->activeMdiChild();
    QCOMPARE(child->sourceEdit->toPlainText(), QStringLiteral("بىر") + arabicComma);
    w->stopItem();
    w->runItem();
    QCOMPARE(AppState::sentenceSeparator, QStringLiteral(" "));
    post(w, false, QStringLiteral("ئىككى"));
    QCOMPARE(
        child->sourceEdit->toPlainText(), QStringLiteral("بىر") + arabicComma + QStringLiteral("ئىككى "));
}

// The capture ends with its last document; a busy window's capture ends with the window.
void TestSpeech::captureEndsWithItsWindowOrLastDocument()
{
    {
        WindowFixture f;
        f.window->runItem();
        f.window->documentArea()->closeAllSubWindows();
        QTRY_VERIFY(f.window->documentArea()->subWindowList().isEmpty());
        QCOMPARE(AppState::RecordState, int(AppState::NoDocument));
        QCOMPARE(probe.recorderRunning(), 0);
    }
    QStringList many;
    for (int i = 0; i < 400; ++i)
        many << QStringLiteral("第%1句话").arg(i);
    qputenv("TOLVANE_SDK_TRANSCRIPT", QFile::encodeName(writeFile(QStringLiteral("many.txt"), many)));
    qputenv("TOLVANE_SDK_PACE_MS", "5");
    {
        WindowFixture f;
        const unsigned before = probe.resultCount();
        f.window->runItem();
        QTRY_VERIFY(probe.resultCount() > before + 3);
    }
    QCOMPARE(probe.recorderRunning(), 0);
}

void TestSpeech::stopKeepsProvisionalSentence()
{
    WindowFixture f;
    MainWindow *w = f.window;
    HttpTestServer server;
    translateWith(server, w);
    MdiChild *doc = w->activeMdiChild();
    // The text on screen when the operator stops stays and is translated,
    // so the next recording's translations do not slide one row up.
    for (const QString &text : { QStringLiteral("我们去公"), QStringLiteral("今天") }) {
        w->runItem();
        post(w, true, text);
        w->stopItem();
    }
    QCOMPARE(doc->sources(), QStringList({ QStringLiteral("我们去公"), QStringLiteral("今天") }));
    QTRY_COMPARE(
        doc->translations(), QStringList({ QStringLiteral("T:我们去公"), QStringLiteral("T:今天") }));
}

void TestSpeech::floodWhileSaving()
{
    // Results stream into the real main window while saves start and end: every one
    // arriving during a save waits for its end, and none is lost or reordered.
    // 3,000: through the real window each sentence recounts the whole document.
    const unsigned count = 3000;
    QStringList lines;
    QStringList expected;
    for (unsigned i = 0; i < count; ++i) {
        // A pause now and then, so that saves begin while results still come in.
        lines << QStringLiteral("%1\tfinal\t500\tsentence %2").arg(i % 500 ? 0 : 2).arg(i);
        expected << QStringLiteral("sentence %1").arg(i);
    }
    qputenv("TOLVANE_SDK_SCRIPT", QFile::encodeName(writeFile(QStringLiteral("flood.txt"), lines)));
    HttpTestServer server;
    server.setReply(200, HttpTestServer::translationReply(QStringLiteral("t")));
    WindowFixture f;
    MainWindow *w = f.window;
    w->translationWorker().setDefaultEndpoint(QStringLiteral("127.0.0.1"), server.port());
    DocumentModel *doc = w->activeMdiChild()->model();
    AppState::phraseMode = false;
    const unsigned base = probe.resultCount(); // the stand-in counts every recording's results
    w->action("runAct")->trigger();
    QCOMPARE(AppState::RecordState, int(AppState::Recording));

    int saves = 0;
    QStringList faults;
    while (doc->count() < int(count) && saves < 2000) {
        const int before = doc->count();
        unsigned delivered = 0;
        // The untitled document asks for a name: the save lasts until the dialog is answered.
        ModalAnswer::onNext([&](QWidget *modal) {
            const unsigned posted = probe.resultCount() - base;
            if (!QTest::qWaitFor([&] { return probe.resultCount() - base > posted || posted == count; }))
                faults << QStringLiteral("the stand-in stopped at %1").arg(posted);
            delivered = probe.resultCount() - base;
            QCoreApplication::sendPostedEvents(w);
            if (doc->count() != before)
                faults << QStringLiteral("save %1: applied during the save").arg(saves);
            qobject_cast<QDialog *>(modal)->reject();
        });
        w->action("saveAct")->trigger();
        ++saves;
        if (int(delivered) <= before || doc->count() < int(delivered))
            faults << QStringLiteral("save %1: %2 before, %3 delivered, %4 after")
                          .arg(saves)
                          .arg(before)
                          .arg(delivered)
                          .arg(doc->count());
    }
    w->action("stopAct")->trigger();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    QCOMPARE(doc->sources(), expected);
    // Every sentence went to the translation worker, in order.
    QTRY_VERIFY(server.requestCount() > 0);
    QCOMPARE(sentText(server.requests().first()), expected.first());
    QVERIFY(w->translationWorker().pendingCount() + server.requestCount() >= int(count) - 1);
}

// Interpreter mode walked as two people use it, in steps on one main window: the
// stand-in replays a transcript, the server translates, and each translation is
// spoken as it lands.
void TestSpeech::interpreterMode()
{
    {
        WindowFixture remembered("[action]\nspeakTranslations=1\nlistenWhileSpeaking=1\n");
        QVERIFY(remembered.window->action("speakAct")->isChecked());
        QVERIFY(remembered.window->action("listenAct")->isChecked());
    }
    qunsetenv("TOLVANE_SDK_TRANSCRIPT"); // the recorder's own transcripts
    qputenv("TOLVANE_SDK_PACE_MS", "5");
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.1");
    const int waitMs = 60000;
    WindowFixture f;
    MainWindow *w = f.window;
    HttpTestServer server;
    const QString prefix = QStringLiteral("译:");
    translateWith(server, w, prefix);
    auto *interpreter = w->findChild<Interpreter *>();
    QAction *speak = w->action("speakAct"), *listen = w->action("listenAct"), *play = w->action("playAct");
    auto spokenSince = [this](unsigned first) {
        QStringList spoken;
        for (unsigned i = first; i < probe.spokenCount(); ++i)
            spoken.append(probe.spoken(i));
        return spoken;
    };

    // The switches are remembered in the [action] group, as "1" and "0".
    QVERIFY(!speak->isChecked() && !listen->isChecked());
    speak->trigger();
    listen->trigger();
    QCOMPARE(Settings::readString(SettingsKeys::SpeakTranslations, QString()), QStringLiteral("1"));
    QCOMPARE(Settings::readString(SettingsKeys::ListenWhileSpeaking, QString()), QStringLiteral("1"));
    listen->trigger();
    QCOMPARE(Settings::readString(SettingsKeys::ListenWhileSpeaking, QString()), QStringLiteral("0"));
    listen->trigger();

    // Chinese speech, every result kept: the queue falls behind and catches up. At
    // each start the spoken row is current in both lists, Play is off and the
    // status bar counts what waits.
    const QStringList chinese = transcript(QStringLiteral("transcript_cn.txt"));
    QVERIFY(chinese.size() >= 10);
    MdiChild *doc = w->activeMdiChild();
    auto *stateLabel = w->findChild<QLabel *>(QStringLiteral("interpreterLabel"));
    unsigned first = probe.spokenCount();
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
            || doc->translationView->currentIndex().row() != row || play->isEnabled()
            || stateLabel->text() != label || stateLabel->isHidden())
            faults.append(
                QStringLiteral("row %1 (%2 waiting): %3").arg(row).arg(waiting).arg(stateLabel->text()));
    });
    w->action("runAct")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(
        probe.spokenCount() - first == unsigned(chinese.size()) && !interpreter->isSpeaking(), waitMs);
    w->action("stopAct")->trigger();
    interpreter->disconnect(&watch);
    QCOMPARE(doc->sources(), chinese);
    // Chinese speech is translated into Uyghur, so the Uyghur voice speaks.
    QStringList expected;
    for (const QString &sentence : chinese)
        expected.append(QStringLiteral("ug: ") + prefix + sentence);
    QCOMPARE(spokenSince(first), expected);
    QCOMPARE(
        probe.playerConfig(), QByteArray("property=cn_xiaokun_common,tagmode=none,capkey=tts.cloud.uyghur"));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    QVERIFY2(mostWaiting >= 2, "the queue never fell behind");
    QVERIFY(play->isEnabled());
    QVERIFY(stateLabel->isHidden());

    // Uyghur speech, Chinese voice; Stop in the middle of a queue. Translations
    // still on their way when Stop came are not spoken.
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "2");
    w->action("langWWAct")->trigger();
    first = probe.spokenCount();
    w->action("runAct")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(interpreter->isSpeaking() && interpreter->waiting() >= 2, waitMs);
    QVERIFY(!play->isEnabled());
    w->action("stopAct")->trigger();
    QCOMPARE(interpreter->waiting(), 0);
    QVERIFY(!interpreter->isSpeaking());
    QCOMPARE(probe.playerSpeaking(), 0);
    QVERIFY(play->isEnabled());
    QTest::qWait(300);
    QCOMPARE(spokenSince(first),
        QStringList { "cmn: " + prefix + transcript(QStringLiteral("transcript_ug.txt")).first() });

    // Switched off while speaking: silent at once, and recording goes on with its
    // translations landing unspoken.
    qputenv("TOLVANE_SDK_PACE_MS", "50");
    first = probe.spokenCount();
    w->action("runAct")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(interpreter->isSpeaking() && interpreter->waiting() >= 1, waitMs);
    speak->trigger();
    QCOMPARE(probe.playerSpeaking(), 0);
    QCOMPARE(interpreter->waiting(), 0);
    QCOMPARE(Settings::readString(SettingsKeys::SpeakTranslations, QString()), QStringLiteral("0"));
    const int landed = doc->translations().size();
    QTRY_VERIFY_WITH_TIMEOUT(doc->translations().size() > landed, waitMs);
    QCOMPARE(AppState::RecordState, int(AppState::Recording));
    QCOMPARE(probe.spokenCount(), first + 1);
    w->action("stopAct")->trigger();

    // Half duplex: results posted as the recogniser would while the program speaks are dropped.
    qputenv("TOLVANE_SDK_PACE_MS", "600000"); // the stand-in stays silent
    w->findChild<QComboBox *>(QStringLiteral("modeBox"))->setCurrentIndex(1);
    w->action("newAct")->trigger();
    doc = w->activeMdiChild();
    speak->trigger();
    listen->trigger();
    QVERIFY(!listen->isChecked());
    auto hear = [w](const char *text) {
        QCoreApplication::postEvent(w, new RecognitionEvent(RecognitionEvent::Final, true, 600, text));
        QCoreApplication::processEvents();
    };
    int droppedSaid = 0;
    connect(w->statusBar(), &QStatusBar::messageChanged, doc, [&](const QString &message) {
        droppedSaid += message == QStringLiteral("朗读译文时听到的语音已丢弃");
    });
    // What comes just after the voice stopped may still be its echo.
    QTest::qWait(Interpreter::EchoTailMs);
    w->action("runAct")->trigger();
    hear("bir ikki uch tort besh alte yette sekkiz toqquz on");
    QTRY_VERIFY_WITH_TIMEOUT(interpreter->isSpeaking(), waitMs);
    hear("echo one");
    hear("echo two");
    QCOMPARE(doc->sources().size(), 1);
    QCOMPARE(droppedSaid, 1);
    // With headphones the other side is heard while the program speaks.
    listen->trigger();
    hear("kept");
    QCOMPARE(doc->sources().size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(interpreter->waiting(), 1, waitMs);
    QVERIFY(interpreter->isSpeaking());
    // Closing the document silences its voice and its queue.
    doc->setModified(false);
    QVERIFY(qobject_cast<QMdiSubWindow *>(doc->parentWidget())->close());
    QTRY_VERIFY(!interpreter->isSpeaking());
    QCOMPARE(interpreter->waiting(), 0);
    QCOMPARE(probe.playerSpeaking(), 0);
    w->action("stopAct")->trigger();
}

TOLVANE_TEST_MAIN(TestSpeech)
#include "tst_speech.moc"
