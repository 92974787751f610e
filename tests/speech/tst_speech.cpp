#include "standinprobe.h"

#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/mdichild.h"
#include "modalanswer.h"
#include "senttext.h"
#include "speech/interpreter.h"
#include "speech/readaloud.h"
#include "speech/recognition.h"
#include "speech/recorder.h"
#include "speech/speechengine.h"
#include "speech/speechsdk.h"
#include "testfiles.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

namespace {
QByteArray segments(std::initializer_list<QByteArray> list, const QByteArray &count = QByteArray())
{
    return "{" + (count.isEmpty() ? QByteArray() : "\"SegmentCount\":" + count + ',') + "\"Segment\":["
        + QByteArrayList(list).join(',') + "]}";
}

QByteArray segment(int index, const QByteArray &text, int score = 500)
{
    return "{\"SegmentIndex\":" + QByteArray::number(index) + ",\"Score\":" + QByteArray::number(score)
        + ",\"Text\":\"" + text + "\"}";
}

// A result as "<P|F|N><score>|<payload>": partial, final, final without entries.
QString result(char kind, const QByteArray &payload, quint32 score = 500)
{
    return QString::fromUtf8(kind + QByteArray::number(score) + '|' + payload);
}

// A phrase-mode result of one segment.
QString phrase(char kind, const QByteArray &text) { return result(kind, segments({ segment(1, text) }, "1")); }

RecognitionEvent toEvent(const QString &encoded)
{
    const int bar = encoded.indexOf('|');
    return RecognitionEvent(encoded.startsWith('P') ? RecognitionEvent::Partial : RecognitionEvent::Final,
        !encoded.startsWith('N'), encoded.mid(1, bar - 1).toUInt(), encoded.mid(bar + 1).toUtf8());
}

// Posted to the window as the recognition handlers post it.
void post(MainWindow *w, const QString &encoded)
{
    QCoreApplication::postEvent(w, new RecognitionEvent(toEvent(encoded)));
    QCoreApplication::processEvents();
}

const QString arabicComma = QStringLiteral("\u060C ");

// The fixture's server answers prefix and the sentence.
void translateWith(WindowFixture &f, const QString &prefix = QStringLiteral("T:"))
{
    f.translationServer->setHandler([prefix](const HttpTestServer::Request &request) {
        return HttpTestServer::Reply { 200, HttpTestServer::translationReply(prefix + sentText(request)), 0 };
    });
    f.window->translationWorker().setPauseAfterRequest(0);
}
}

class TestSpeech : public QObject
{
    Q_OBJECT

    StandinProbe probe;
    QTemporaryDir dir;
    QList<RecognitionEvent> received;

    // Only the SDK's handlers post to the test object.
    void customEvent(QEvent *e) override { received.append(*static_cast<RecognitionEvent *>(e)); }

    // Points the stand-in's variable at a file of these lines.
    void feed(const char *variable, const QStringList &lines)
    {
        const QString path = dir.filePath(QLatin1String(variable));
        QVERIFY(writeBytes(path, lines.join(QLatin1Char('\n')).toUtf8()));
        qputenv(variable, QFile::encodeName(path));
    }

    void initPlayer()
    {
        QCOMPARE(SpeechSdk::instance().init("appKey=1"), 0);
        QCOMPARE(SpeechSdk::instance().playerInit("initCapkeys=tts.cloud.wangjing,dataPath=/nowhere"), 0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid() && probe.load());
        QVERIFY2(SpeechSdk::instance().load(QCoreApplication::applicationDirPath()),
            qPrintable(SpeechSdk::instance().loadError()));
    }

    void init()
    {
        feed("TOLVANE_SDK_TRANSCRIPT", {}); // a silent microphone unless a test gives it something to say
        qputenv("TOLVANE_SDK_PACE_MS", "0");
        qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.05");
        ModalAnswer::reset();
    }

    void cleanup()
    {
        Recorder::cancel();
        ReadAloud::stopPlayer();
        for (auto name : { "TOLVANE_SDK_SCRIPT", "TOLVANE_SDK_FAIL_HCI_INIT", "TOLVANE_SDK_FAIL_RECORDER_START" })
            qunsetenv(name);
        WindowFixture::resetState();
    }

    // The cloud free-talk key is found as such; only the exact key counts.
    void capability()
    {
        int local = 5, kind = 5;
        SpeechEngine::classifyCapability({ "asr.cloud.grammar", "asr.cloud.freetalk" }, &local, &kind);
        QCOMPARE(QPair(local, kind), QPair(0, 0));
        SpeechEngine::classifyCapability({ "asr.cloud.freetalk.uyghur" }, &local, &kind);
        QCOMPARE(QPair(local, kind), QPair(-1, -1));
    }

    // A failed set-up is reported once and leaves the program running without speech.
    void failedSetUpIsReported()
    {
        Settings::setProgramDir(dir.path());
        qputenv("TOLVANE_SDK_FAIL_HCI_INIT", "2");
        QStringList reports;
        QVERIFY(!SpeechEngine::setUp(this, [&reports](const QString &message) { reports << message; }));
        QCOMPARE(reports, QStringList { "hci_init return (2:Invalid configuration string)\n" });
        QCOMPARE(probe.sysInitialised(), 0);
    }

    void handlersPostResults()
    {
        QCOMPARE(SpeechSdk::instance().init("appKey=1"), 0);
        QCOMPARE(SpeechSdk::instance().recorderInit("initCapkeys=asr.cloud.freetalk", this), 0);
        feed("TOLVANE_SDK_SCRIPT", { "0\tpartial\t50\t{}", "0\tfinal\t4000000000\t你" });
        QCOMPARE(Recorder::start(), 0);
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(int(received.at(0).type()), int(RecognitionEvent::PartialType));
        QCOMPARE(int(received.at(1).type()), int(RecognitionEvent::FinalType));
        QCOMPARE(QPair(received.at(1).score(), received.at(1).text()), QPair(4000000000u, QByteArray("你")));
    }

    void apply_data()
    {
        QTest::addColumn<bool>("phrase");
        QTest::addColumn<int>("textMode");
        QTest::addColumn<QString>("start"); // "~x" a provisional item, "=edited|running" running text
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("queued"); // for translation, in order
        // per result F: a final sentence added, P: the provisional item changed; then ~: one is left provisional
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("running"); // with textMode 0: "<running text>|<shown text>"
        const QStringList none, kept { "one", "as text", "unscored", "six", "" };
        QTest::newRow("phrases: score rules, empty text kept, no text or json dropped") << true << 1 << ""
            << QStringList { result('F', segments({ segment(1, "one", 120), segment(2, "two", 99),
                   "{\"SegmentIndex\":3,\"Score\":\"150\",\"Text\":\"as text\"}",
                   "{\"SegmentIndex\":4,\"Text\":\"unscored\"}", "{\"SegmentIndex\":5,\"Score\":\"9\",\"Text\":\"x\"}",
                   segment(6, "six", 100), segment(7, ""), "{\"Score\":500}" })), result('F', "{\"Segment\":") }
            << kept << kept << "F" << "";
        QTest::newRow("partials replace the provisional item") << true << 1 << ""
            << QStringList { phrase('F', "earlier"), phrase('P', "wo"), phrase('F', "wo men"), phrase('P', "hao") }
            << QStringList { "earlier", "wo men", "hao" } << QStringList { "earlier", "wo men" } << "FPFP~" << "";
        QTest::newRow("all segments but the last are final") << true << 1 << ""
            << QStringList { result('P', segments({ segment(1, "s1"), segment(2, "s2"), segment(3, "s3") }, "3")),
                   result('P', segments({ segment(3, "s3 more") }, "3")),
                   result('P', segments({ segment(2, "s3 done") }, "4")) }
            << QStringList { "s1", "s2", "s3 done" } << QStringList { "s1", "s2", "s3 done" } << "FPPF" << "";
        QTest::newRow("no segment count keeps the last provisional") << true << 1 << ""
            << QStringList { result('P', segments({ segment(1, "a"), segment(2, "b") })) }
            << QStringList { "b" } << none << "P~" << "";
        QTest::newRow("sentences: score threshold inclusive, provisional untouched") << false << 1 << "~kept"
            << QStringList { result('F', "你好", 99), result('F', "你好", 100), result('F', "x", 3000000000u) }
            << QStringList { "kept", "你好", "x" } << QStringList { "你好", "x" } << "FF~" << "";
        QTest::newRow("sentences dropped: no entries, empty, partial") << false << 0 << ""
            << QStringList { phrase('N', "x"), result('F', ""), phrase('P', "x") } << none << none << "" << "|";
        QTest::newRow("continuous text, phrases") << true << 0 << ""
            << QStringList { phrase('P', "bir"), phrase('F', "bir ikki"), phrase('P', "uch") }
            << QStringList { "bir ikki", "uch" } << QStringList { "bir ikki" } << "PFP~"
            << "bir ikki" + arabicComma + "|bir ikki" + arabicComma + "uch" + arabicComma;
        // The operator's own edits of the running text are kept.
        QTest::newRow("continuous text, sentences") << false << 0 << "=typed" + arabicComma + "|stale"
            << QStringList { result('F', "next") } << QStringList { "next" } << QStringList { "next" } << "F"
            << "typed" + arabicComma + "next" + arabicComma + "|typed" + arabicComma + "next" + arabicComma;
    }

    void apply()
    {
        QFETCH(bool, phrase);
        QFETCH(int, textMode);
        QFETCH(QString, start);
        QFETCH(QStringList, results);
        AppState::phraseMode = phrase;
        AppState::textMode = textMode;
        AppState::sentenceSeparator = arabicComma;
        DocumentModel doc;
        const QString rest = start.mid(1), typed = rest.section(QLatin1Char('|'), 0, 0);
        if (start.startsWith(QLatin1Char('~')))
            doc.showProvisional(rest);
        if (start.startsWith(QLatin1Char('='))) {
            doc.setEditedSourceReader([typed] { return typed; });
            doc.setRunningSource(rest.section(QLatin1Char('|'), 1));
        }
        Recognition recognition;
        QStringList queued;
        QString outcome;
        for (const QString &r : results) {
            const Recognition::Outcome o = recognition.apply(&doc, toEvent(r));
            for (const quint64 item : o.queued)
                queued += doc.at(doc.rowOf(item)).source;
            outcome += QLatin1String(o.finalAdded ? "F" : "") + QLatin1String(o.partialChanged ? "P" : "");
        }
        outcome += QLatin1String(doc.hasProvisional() ? "~" : "");
        QTEST(doc.sources(), "sources");
        QTEST(queued, "queued");
        QTEST(outcome, "outcome");
        if (start.isEmpty())
            QCOMPARE(doc.isModified(), !doc.sources().isEmpty());
        if (textMode == 0)
            QTEST(QString(doc.runningSource() + QLatin1Char('|') + doc.shownSource()), "running");
    }

    // Play reads each translation once from the current row on, up to the first row still untranslated.
    void readAloud_data()
    {
        QTest::addColumn<int>("selected"); // before the start; -1: none
        QTest::addColumn<int>("selectedAfter"); // after the start, which does not steer the reading
        QTest::addColumn<QList<int>>("rows"); // read at the start and after each end
        QTest::newRow("no current row") << -1 << 2 << QList<int> { 0, 1, 2, 2 };
        QTest::newRow("from the current row") << 1 << 0 << QList<int> { 1, 2, 2 };
    }

    void readAloud()
    {
        QFETCH(int, selected);
        QFETCH(int, selectedAfter);
        QFETCH(QList<int>, rows);
        initPlayer();
        MdiChild doc(nullptr);
        doc.newFile();
        doc.setItems({ "a", "b", "c", "d" }, { "0", "1", "2" }); // each translation its row
        QListView *view = doc.translationView;
        ReadAloud reading;
        view->setCurrentIndex(doc.translationModel->index(selected));
        QVERIFY(reading.start(view));
        view->setCurrentIndex(doc.translationModel->index(selectedAfter));
        for (int step = 0; step < rows.size(); ++step) {
            if (step > 0) {
                QTRY_COMPARE(SpeechSdk::playState(), 9);
                // A second tick, before the player has said "started" for the row, is no sign that it ended.
                reading.tick(view);
                reading.tick(view);
                QCOMPARE(view->currentIndex().row(), rows.at(step));
            }
            QCOMPARE(reading.playIndex(), rows.at(step));
            QCOMPARE(probe.playerText(), QByteArray::number(rows.at(step)));
        }
        // The last translation is read once, in the voice for Chinese speech: the end stays the end.
        QCOMPARE(probe.spoken(probe.spokenCount() - 1), QStringLiteral("ug: 2"));
        QVERIFY(!probe.playerSpeaking() && SpeechSdk::playState() == 9);
    }

    void readAloudStops()
    {
        initPlayer();
        MdiChild doc(nullptr);
        doc.newFile();
        ReadAloud reading;
        // Nothing to read: nothing starts, and the play state is left alone.
        SpeechSdk::setPlayState(4);
        QVERIFY(!reading.start(nullptr) && !reading.start(doc.translationView));
        QCOMPARE(SpeechSdk::playState(), 4);
        // Long enough to be still speaking when stopped.
        doc.setItems({ "a", "b" }, { QStringLiteral("a long sentence to read, ").repeated(40), "next" });
        qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "1");
        QVERIFY(reading.start(doc.translationView));
        QTRY_COMPARE(probe.playerSpeaking(), 1);
        reading.stop();
        // The player reports the stop, which is not the end of the text: no tick reads on.
        QTRY_COMPARE(SpeechSdk::playState(), 10);
        reading.tick(doc.translationView);
        QCOMPARE(reading.playIndex(), 0);
    }

    // Record and Stop on one window in sentence mode: a refused start is reported with its code and changes
    // nothing; while recording Stop is lit, Record dimmed and the mode locked; a new language restarts the
    // capture at once, a new pause mark waits for the next start; the capture ends with the last document.
    void recordCommands()
    {
        qputenv("TOLVANE_SDK_FAIL_RECORDER_START", "23");
        WindowFixture f("[action]\nrealtime=0\nsetTextMode=0\n");
        MainWindow *w = f.window;
        QAction *run = w->action("runAct"), *stop = w->action("stopAct");
        const auto image = [](const QIcon &icon) { return icon.pixmap(48).toImage(); };
        const auto shows = [&](bool on) {
            QCOMPARE(AppState::RecordState, int(on ? AppState::Recording : AppState::Idle));
            QCOMPARE(probe.recorderRunning(), int(on));
            QCOMPARE(w->findChild<QComboBox *>("modeBox")->isEnabled(), !on);
            QCOMPARE(w->findChild<QLabel *>("recordStateLabel")->text(), QString(on ? "正在录音..." : "未开始"));
            QCOMPARE(image(run->icon()), image(QIcon(on ? ":/images/Run1.png" : ":/images/Run.png")));
            QCOMPARE(image(stop->icon()), image(QIcon(on ? ":/images/Stop.png" : ":/images/Stop1.png")));
        };
        ModalAnswer::clickStandard(QMessageBox::Ok);
        run->trigger();
        QCOMPARE(ModalAnswer::lastText(), QStringLiteral("开始录音失败，错误码：23"));
        shows(false);
        qunsetenv("TOLVANE_SDK_FAIL_RECORDER_START");
        run->trigger();
        shows(true);
        w->action("langWWAct")->trigger();
        QCOMPARE(probe.recorderRunning(), 0);
        QTRY_COMPARE(probe.recorderRunning(), 1);
        QCOMPARE(probe.recorderStartConfig(),
            QByteArray("domain=common,capkey=asr.cloud.freetalk.uyghur,realtime=yes,continuous=yes"));
        AppState::pauseMarkChoice = 1; // as its dialog leaves it
        post(w, result('F', "بىر"));
        stop->trigger();
        shows(false);
        w->runItem();
        post(w, result('F', "ئىككى"));
        QCOMPARE(w->activeMdiChild()->sourceEdit->toPlainText(), "بىر" + arabicComma + "ئىككى ");
        w->activeMdiChild()->setModified(false);
        w->documentArea()->closeAllSubWindows();
        QTRY_COMPARE(AppState::RecordState, int(AppState::NoDocument));
        QCOMPARE(probe.recorderRunning(), 0);
    }

    // A busy window's capture ends with the window.
    void captureEndsWithItsWindow()
    {
        feed("TOLVANE_SDK_TRANSCRIPT", { QStringLiteral("一句话\n").repeated(400) });
        qputenv("TOLVANE_SDK_PACE_MS", "5");
        auto f = std::make_unique<WindowFixture>();
        const unsigned before = probe.resultCount();
        f->window->runItem();
        QTRY_VERIFY(probe.resultCount() > before + 3);
        f.reset();
        QCOMPARE(probe.recorderRunning(), 0);
    }

    // The text on screen at Stop stays and is translated, so later translations do not slide a row up.
    void stopKeepsProvisionalSentence()
    {
        WindowFixture f;
        translateWith(f);
        for (const char *text : { "我们去公", "今天" }) {
            f.window->runItem();
            post(f.window, phrase('P', text));
            f.window->stopItem();
        }
        QTRY_COMPARE(f.window->activeMdiChild()->translations(), QStringList({ "T:我们去公", "T:今天" }));
        // Chinese phrases: the cloud has always been sent the blank after the comma.
        QCOMPARE(probe.recorderStartConfig(),
            QByteArray("domain=common, capkey=asr.cloud.freetalk,realtime=rt,continuous=yes"));
    }

    // Results stream into the real main window while saves start and end: every one arriving during a save
    // waits for its end, and none is lost or reordered. 3,000, as each sentence recounts the whole document.
    void floodWhileSaving()
    {
        const int count = 3000;
        QStringList lines, expected;
        for (int i = 0; i < count; ++i) {
            // A pause now and then, so that saves begin while results still come in.
            lines << QStringLiteral("%1\tfinal\t500\tsentence %2").arg(i % 500 ? 0 : 2).arg(i);
            expected << QStringLiteral("sentence %1").arg(i);
        }
        feed("TOLVANE_SDK_SCRIPT", lines);
        WindowFixture f("[action]\nrealtime=0\n");
        MainWindow *w = f.window;
        HttpTestServer &server = *f.translationServer;
        server.setReply(200, HttpTestServer::translationReply(QStringLiteral("t")));
        DocumentModel *doc = w->activeMdiChild()->model();
        const int base = int(probe.resultCount()); // the stand-in counts every recording's results
        const auto posted = [&] { return int(probe.resultCount()) - base; };
        w->action("runAct")->trigger();
        QStringList faults;
        for (int save = 0; doc->count() < count && save < 2000; ++save) {
            const int before = doc->count();
            int delivered = 0;
            // The untitled document asks for a name: the save lasts until the dialog is answered.
            ModalAnswer::onNext([&](QWidget *modal) {
                const int atStart = posted();
                if (!QTest::qWaitFor([&] { return posted() > atStart || atStart == count; }))
                    faults << QStringLiteral("the stand-in stopped at %1").arg(atStart);
                delivered = posted();
                QCoreApplication::sendPostedEvents(w);
                if (doc->count() != before)
                    faults << QStringLiteral("save %1: applied during the save").arg(save);
                qobject_cast<QDialog *>(modal)->reject();
            });
            w->action("saveAct")->trigger();
            if (delivered <= before || doc->count() < delivered)
                faults << QStringLiteral("save %1: %2 before, %3 delivered, %4 after")
                              .arg(save).arg(before).arg(delivered).arg(doc->count());
        }
        w->action("stopAct")->trigger();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        QCOMPARE(doc->sources(), expected);
        // Every sentence went to the translation worker, in order.
        QTRY_VERIFY(server.requestCount() > 0);
        QCOMPARE(sentText(server.requests().first()), expected.first());
        QVERIFY(w->translationWorker().pendingCount() + server.requestCount() >= count - 1);
    }

    // Interpreter mode walked as two people use it, on one main window: the stand-in replays a
    // transcript, the server translates, and each translation is spoken as it lands.
    void interpreterMode()
    {
        qunsetenv("TOLVANE_SDK_TRANSCRIPT"); // the recorder's own transcripts
        qputenv("TOLVANE_SDK_PACE_MS", "5");
        qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.1");
        const int waitMs = 60000;
        WindowFixture f("[action]\nspeakTranslations=1\nlistenWhileSpeaking=1\n");
        MainWindow *w = f.window;
        translateWith(f, QStringLiteral("译:"));
        auto *interpreter = w->findChild<Interpreter *>();
        QAction *speak = w->action("speakAct"), *listen = w->action("listenAct"), *play = w->action("playAct");
        const auto silent = [&] {
            return !interpreter->isSpeaking() && interpreter->waiting() == 0 && probe.playerSpeaking() == 0;
        };
        // Both switches come back on as the settings remember them; each change is written back as "1" or "0".
        QVERIFY(speak->isChecked() && listen->isChecked());

        // Chinese speech, every result kept: the queue falls behind and catches up. At each start the spoken
        // row is current in both lists, Play is off and the status bar counts what waits.
        QFile transcript(StandinProbe::path("data/transcript_cn.txt")); // what the stand-in says
        QVERIFY(transcript.open(QIODevice::ReadOnly));
        const QStringList chinese = QString::fromUtf8(transcript.readAll()).split('\n', Qt::SkipEmptyParts);
        MdiChild *doc = w->activeMdiChild();
        auto *stateLabel = w->findChild<QLabel *>("interpreterLabel");
        unsigned first = probe.spokenCount();
        QStringList faults;
        int mostWaiting = 0;
        const auto watch = connect(interpreter, &Interpreter::started, this, [&](quint64 documentId, quint64 itemId) {
            const int row = doc->model()->rowOf(itemId), waiting = interpreter->waiting();
            mostWaiting = qMax(mostWaiting, waiting);
            const QString label = "正在朗读译文" + (waiting ? QString("，还有 %1 条等待").arg(waiting) : QString());
            if (documentId != doc->documentId() || doc->sourceView->currentIndex().row() != row
                || doc->translationView->currentIndex().row() != row || play->isEnabled()
                || stateLabel->text() != label || stateLabel->isHidden())
                faults << QStringLiteral("row %1: %2").arg(row).arg(stateLabel->text());
        });
        w->action("runAct")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(probe.spokenCount() == first + chinese.size() && !interpreter->isSpeaking(), waitMs);
        w->action("stopAct")->trigger();
        disconnect(watch);
        // Chinese speech is translated into Uyghur, so the Uyghur voice speaks.
        for (int i = 0; i < chinese.size(); ++i)
            QCOMPARE(probe.spoken(first + i), QStringLiteral("ug: 译:") + chinese.at(i));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        QVERIFY2(mostWaiting >= 2, "the queue never fell behind");
        QVERIFY(play->isEnabled() && stateLabel->isHidden());

        // Uyghur speech, Chinese voice; Stop mid-queue: translations still on their way are not spoken.
        qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "2");
        w->action("langWWAct")->trigger();
        first = probe.spokenCount();
        w->action("runAct")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(interpreter->isSpeaking() && interpreter->waiting() >= 2, waitMs);
        w->action("stopAct")->trigger();
        QVERIFY(silent() && play->isEnabled());
        QTest::qWait(300);
        QCOMPARE(probe.spokenCount(), first + 1);
        QCOMPARE(probe.spoken(first), "cmn: 译:" + doc->sources().at(chinese.size()));

        // Switched off while speaking: silent at once, and recording goes on with translations landing unspoken.
        qputenv("TOLVANE_SDK_PACE_MS", "50");
        first = probe.spokenCount();
        w->action("runAct")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(interpreter->isSpeaking() && interpreter->waiting() >= 1, waitMs);
        speak->trigger();
        QVERIFY(silent());
        QCOMPARE(Settings::readString(SettingsKeys::SpeakTranslations, QString()), QStringLiteral("0"));
        const int landed = doc->translations().size();
        QTRY_VERIFY_WITH_TIMEOUT(doc->translations().size() > landed, waitMs);
        QCOMPARE(AppState::RecordState, int(AppState::Recording));
        QCOMPARE(probe.spokenCount(), first + 1);
        w->action("stopAct")->trigger();

        // Half duplex: sentences heard while the program speaks are dropped, and said so once.
        qputenv("TOLVANE_SDK_PACE_MS", "600000"); // the stand-in stays silent
        w->findChild<QComboBox *>("modeBox")->setCurrentIndex(1);
        w->action("newAct")->trigger();
        doc = w->activeMdiChild();
        speak->trigger();
        listen->trigger();
        QCOMPARE(Settings::readString(SettingsKeys::SpeakTranslations, QString()), QStringLiteral("1"));
        QCOMPARE(Settings::readString(SettingsKeys::ListenWhileSpeaking, QString()), QStringLiteral("0"));
        int droppedSaid = 0;
        connect(w->statusBar(), &QStatusBar::messageChanged, doc, [&](const QString &message) {
            droppedSaid += message == QStringLiteral("朗读译文时听到的语音已丢弃");
        });
        // What comes just after the voice stopped may still be its echo.
        QTest::qWait(Interpreter::EchoTailMs);
        w->action("runAct")->trigger();
        post(w, result('F', "bir ikki uch tort besh alte yette sekkiz toqquz on"));
        QTRY_VERIFY_WITH_TIMEOUT(interpreter->isSpeaking(), waitMs);
        post(w, result('F', "echo one"));
        post(w, result('F', "echo two"));
        QCOMPARE(doc->sources().size(), 1);
        QCOMPARE(droppedSaid, 1);
        // With headphones the other side is heard while the program speaks.
        listen->trigger();
        QCOMPARE(Settings::readString(SettingsKeys::ListenWhileSpeaking, QString()), QStringLiteral("1"));
        post(w, result('F', "kept"));
        QCOMPARE(doc->sources().size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(interpreter->waiting(), 1, waitMs);
        // Closing the document silences its voice and its queue.
        doc->setModified(false);
        QVERIFY(qobject_cast<QMdiSubWindow *>(doc->parentWidget())->close());
        QTRY_VERIFY(silent());
    }
};

TOLVANE_TEST_MAIN(TestSpeech)
#include "tst_speech.moc"
