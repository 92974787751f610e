#include "standinprobe.h"

#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/documentmodel.h"
#include "documents/mdichild.h"
#include "httptestserver.h"
#include "modalanswer.h"
#include "senttext.h"
#include "speech/recognition.h"
#include "speech/recorder.h"
#include "speech/speechconfig.h"
#include "speech/speechengine.h"
#include "speech/speechsdk.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

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
}

class TestSpeech : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void configs_data();
    void configs();
    void setUpConfigures_data();
    void setUpConfigures();
    void setUpFailures_data();
    void setUpFailures();
    void capability_data();
    void capability();
    void handlersPostResults();

    void parseSegments_data();
    void parseSegments();
    void apply_data();
    void apply();
    void floodWhileSaving();

private:
    bool runSetUp(QStringList *reports);
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

void TestSpeech::cleanup()
{
    Recorder::cancel();
    for (const char *variable : { "TOLVANE_SDK_SCRIPT", "TOLVANE_SDK_FAIL_HCI_INIT",
             "TOLVANE_SDK_FAIL_RECORDER_INIT", "TOLVANE_SDK_FAIL_PLAYER_INIT" })
        qunsetenv(variable);
    QCoreApplication::sendPostedEvents(&receiver);
    receiver.received.clear();
    Settings::setProgramDir(QString());
    SpeechEngine::libraryDir.clear();
    WindowFixture::resetState();
    if (!SpeechSdk::instance().isLoaded())
        SpeechSdk::instance().load(QCoreApplication::applicationDirPath());
}

QString TestSpeech::writeFile(const QString &name, const QStringList &lines)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    return file.fileName();
}

void TestSpeech::configs_data()
{
    QTest::addColumn<QByteArray>("made");
    QTest::addColumn<QByteArray>("expected");
    const SpeechConfig &c = SpeechConfig::instance();
    const QByteArray custom
        = "appKey=" + c.customAppKey() + ",developerKey=" + c.customDeveloperKey() + ",cloudUrl=";
    const QByteArray tail = ",logfilepath=/l,logfilesize=1024,loglevel=5";
    const auto engine
        = [](const char *host) { return SpeechConfig::engineConfig(QLatin1String(host), "/l"); };
    const QString own = QStringLiteral("h:1");
    QTest::newRow("engine, http prefix removed")
        << engine("http://10.0.0.5:88") << custom + "10.0.0.5:88" + tail;
    QTest::newRow("engine, capitals kept")
        << engine("HTTP://10.0.0.5:88") << custom + "HTTP://10.0.0.5:88" + tail;
    QTest::newRow("engine, only the prefix") << engine("http://") << custom + tail;
    QTest::newRow("recorder, uyghur, own server") << SpeechConfig::recorderInitConfig(1, own, "/d")
                                                  << QByteArray("initCapkeys=asr.cloud.freetalk,dataPath=/d");
    QTest::newRow("player, chinese, own server") << SpeechConfig::playerInitConfig(0, own, "/d")
                                                 << QByteArray("initCapkeys=tts.cloud.synth,dataPath=/d");
    QTest::newRow("recording, chinese, own server")
        << SpeechConfig::recordingConfig(0, own, true)
        << QByteArray("domain=common,capkey=asr.cloud.freetalk,property=chinese_16k_common,realtime=rt,"
                      "continuous=yes");
    QTest::newRow("recording, uyghur, own server")
        << SpeechConfig::recordingConfig(1, own, false)
        << QByteArray("domain=common,capkey=asr.cloud.freetalk,property=uyghur_16k_common,realtime=yes,"
                      "continuous=yes");
    QTest::newRow("synthesis, own server, chinese speech") << SpeechConfig::synthesisConfig(
        0, own) << QByteArray("property=uyghur_uyghur_common,tagmode=none,capkey=tts.cloud.synth");
    QTest::newRow("synthesis, own server, uyghur speech") << SpeechConfig::synthesisConfig(
        1, own) << QByteArray("property=cn_wangjing_common,tagmode=none,capkey=tts.cloud.synth");
    QTest::newRow("synthesis, cloud, chinese speech") << SpeechConfig::synthesisConfig(
        0, QString()) << QByteArray("property=cn_xiaokun_common,tagmode=none,capkey=tts.cloud.uyghur");
    QTest::newRow("separator, chinese")
        << SpeechConfig::sentenceSeparator(0, 0).toUtf8() << QByteArray("\uFF0C");
    QTest::newRow("separator, arabic comma")
        << SpeechConfig::sentenceSeparator(1, 0).toUtf8() << QByteArray("\u060C ");
    QTest::newRow("separator, blank") << SpeechConfig::sentenceSeparator(1, 1).toUtf8() << QByteArray(" ");
}

void TestSpeech::configs()
{
    QFETCH(QByteArray, made);
    QFETCH(QByteArray, expected);
    QCOMPARE(made, expected);
}

bool TestSpeech::runSetUp(QStringList *reports)
{
    // The stand-in's remembered configurations are marked first, so that a set-up that
    // never reaches the recorder or the player cannot pass on an earlier value.
    SpeechSdk::instance().release();
    SpeechSdk::instance().recorderInit("initCapkeys=unset", &receiver);
    SpeechSdk::instance().playerInit("initCapkeys=unset");
    AppState::voiceHost = AppState::translateHostWW = AppState::translateHostCN = QStringLiteral("left over");
    return SpeechEngine::setUp(&receiver, [reports](const QString &message) { reports->append(message); });
}

void TestSpeech::setUpConfigures_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<QByteArray>("recorderKey");
    QTest::addColumn<QByteArray>("playerKey");
    QTest::addColumn<QString>("voiceHost");
    const SpeechConfig &c = SpeechConfig::instance();
    const QByteArray cloud
        = "appKey=" + c.appKey() + ",developerKey=" + c.developerKey() + ",cloudUrl=" + c.cloudEndpoint();
    QTest::newRow("empty settings file") << QByteArray() << 0 << cloud << QByteArray("asr.cloud.freetalk")
                                         << QByteArray("tts.cloud.wangjing") << QString();
    QTest::newRow("uyghur, default cloud")
        << QByteArray() << 1 << cloud << QByteArray("asr.cloud.freetalk.uyghur")
        << QByteArray("tts.cloud.uyghur") << QString();
    QTest::newRow("own server, http prefix")
        << QByteArray("[action]\nVoiceHost=http://10.1.2.3:8888\n") << 1
        << "appKey=" + c.customAppKey() + ",developerKey=" + c.customDeveloperKey()
            + ",cloudUrl=10.1.2.3:8888"
        << QByteArray("asr.cloud.freetalk") << QByteArray("tts.cloud.synth")
        << QStringLiteral("10.1.2.3:8888");
}

void TestSpeech::setUpConfigures()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, language);
    QFETCH(QByteArray, keys);
    QFETCH(QByteArray, recorderKey);
    QFETCH(QByteArray, playerKey);
    QFETCH(QString, voiceHost);
    QTemporaryDir programDir;
    Settings::setProgramDir(programDir.path());
    QFile file(Settings::mainPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ini);
    file.close();
    // Under the English interface the translation hosts come from the file in use.
    AppState::settingsPath = programDir.filePath(QStringLiteral("Tolvaneen.ini"));
    Settings::write(SettingsKeys::TranslateHostWW, QStringLiteral("http://ww.example:81"));
    Settings::write(SettingsKeys::TranslateHostCN, QStringLiteral("\u4e2d.example:82"));
    AppState::recognitionLanguage = language;

    QStringList reports;
    QVERIFY(runSetUp(&reports));
    QCOMPARE(reports, QStringList());
    QCOMPARE(AppState::voiceHost, voiceHost);
    QCOMPARE(AppState::translateHostWW, QStringLiteral("http://ww.example:81"));
    QCOMPARE(AppState::translateHostCN, QStringLiteral("\u4e2d.example:82"));
    // The SDK's data and log folders lie beside the executable, wherever the settings are.
    const QByteArray exe = QCoreApplication::applicationDirPath().toUtf8();
    QCOMPARE(probe.sysLastConfig(), keys + ",logfilepath=" + exe + "/log,logfilesize=1024,loglevel=5");
    QCOMPARE(probe.recorderInitConfig(), "initCapkeys=" + recorderKey + ",dataPath=" + exe + "/data");
    QCOMPARE(probe.playerInitConfig(), "initCapkeys=" + playerKey + ",dataPath=" + exe + "/data");
    QCOMPARE(probe.sysInitialised(), 1);
}

void TestSpeech::setUpFailures_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>(
        "libraries"); // copied into the folder set-up loads from; "" loads the built SDK
    QTest::addColumn<QString>("report"); // the start of the only report
    QTest::addColumn<QString>("reason"); // the report names this
    QTest::addColumn<bool>("ready");
    QTest::addColumn<int>("engineOpen");
    const QString notLoaded = QStringLiteral("hci_init return (%1:").arg(int(SpeechSdk::NotLoaded));
    QTest::newRow("engine") << QByteArray("TOLVANE_SDK_FAIL_HCI_INIT") << QString()
                            << "hci_init return (2:Invalid configuration string)\n"
                            << QString() << false << 0;
    QTest::newRow("recorder") << QByteArray("TOLVANE_SDK_FAIL_RECORDER_INIT") << QString()
                              << "Recorder init failed,error:2" << QString() << true << 1;
    QTest::newRow("player") << QByteArray("TOLVANE_SDK_FAIL_PLAYER_INIT") << QString()
                            << "TTS init failed,error:2" << QString() << false << 0;
    QTest::newRow("no library") << QByteArray() << "none" << notLoaded << "hci_sys" << false << 0;
    QTest::newRow("player without its entry point")
        << QByteArray() << "sys,recorder,sys as player" << notLoaded << "hci_tts_player_entry" << false << 0;
}

void TestSpeech::setUpFailures()
{
    QFETCH(QByteArray, variable);
    QFETCH(QString, libraries);
    QFETCH(QString, report);
    QFETCH(QString, reason);
    QFETCH(bool, ready);
    QFETCH(int, engineOpen);
    QTemporaryDir programDir;
    Settings::setProgramDir(programDir.path());
    if (!variable.isEmpty())
        qputenv(variable.constData(), "2");
    if (!libraries.isEmpty()) {
        const QString to = programDir.path() + QStringLiteral("/libhci_");
        if (libraries.contains(QLatin1String("sys,recorder"))) {
            QVERIFY(QFile::copy(StandinProbe::path("libhci_sys.so"), to + QStringLiteral("sys.so")));
            QVERIFY(QFile::copy(
                StandinProbe::path("libhci_asr_recorder.so"), to + QStringLiteral("asr_recorder.so")));
            QVERIFY(QFile::copy(StandinProbe::path("libhci_sys.so"), to + QStringLiteral("tts_player.so")));
        }
        SpeechSdk::instance().unload();
        SpeechEngine::libraryDir = programDir.path();
    }

    QStringList reports;
    QCOMPARE(runSetUp(&reports), ready);
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports.first().startsWith(report), qPrintable(reports.first()));
    QVERIFY2(reports.first().contains(reason), qPrintable(reports.first()));
    if (libraries.isEmpty()) {
        // Each part is tried in turn; the engine's failure stops the rest.
        const bool triedOn = variable != "TOLVANE_SDK_FAIL_HCI_INIT";
        QCOMPARE(probe.recorderInitConfig().endsWith("/data"), triedOn);
        QCOMPARE(probe.playerInitConfig().endsWith("/data"), triedOn);
        QCOMPARE(probe.sysInitialised(), engineOpen);
    } else {
        QVERIFY(!SpeechSdk::instance().isLoaded());
        QCOMPARE(SpeechSdk::instance().recorderStart("capkey=asr.cloud.freetalk"), int(SpeechSdk::NotLoaded));
        QCOMPARE(SpeechSdk::instance().playerSpeak("x", "capkey=tts.cloud.synth"), int(SpeechSdk::NotLoaded));
    }
}

void TestSpeech::capability_data()
{
    QTest::addColumn<QList<QByteArray>>("keys");
    QTest::addColumn<int>("found");
    using Keys = QList<QByteArray>;
    QTest::newRow("no list") << Keys() << -1;
    QTest::newRow("cloud free talk") << Keys { "asr.cloud.grammar", "asr.cloud.freetalk" } << 0;
    QTest::newRow("only uyghur") << Keys { "asr.cloud.freetalk.uyghur" } << -1;
}

void TestSpeech::capability()
{
    QFETCH(QList<QByteArray>, keys);
    QFETCH(int, found);
    int local = 5;
    int kind = 5;
    SpeechEngine::classifyCapability(keys, &local, &kind);
    QCOMPARE(local, found);
    QCOMPARE(kind, found);
}

void TestSpeech::handlersPostResults()
{
    SpeechSdk &sdk = SpeechSdk::instance();
    QCOMPARE(sdk.init("appKey=1"), 0);
    QCOMPARE(
        sdk.recorderInit("initCapkeys=asr.cloud.freetalk,dataPath=" + dir.path().toUtf8(), &receiver), 0);
    qputenv("TOLVANE_SDK_SCRIPT",
        QFile::encodeName(writeFile(QStringLiteral("script.txt"),
            { QStringLiteral("0\tpartial\t50\t{\"a\":1}"),
                QStringLiteral("0\tfinal\t4000000000\t\u4f60\u597d"), QStringLiteral("0\tfinal\t0\t") })));
    QCOMPARE(Recorder::start(), 0);
    QTRY_COMPARE(receiver.received.size(), 3);

    const QList<RecognitionEvent> &r = receiver.received;
    QCOMPARE(r.at(0).type(), RecognitionEvent::PartialType);
    QCOMPARE(r.at(0).kind(), RecognitionEvent::Partial);
    QCOMPARE(r.at(0).score(), 50u);
    QCOMPARE(r.at(0).text(), QByteArray("{\"a\":1}"));
    QCOMPARE(r.at(1).type(), RecognitionEvent::FinalType);
    QCOMPARE(r.at(1).score(), 4000000000u);
    QCOMPARE(QString::fromUtf8(r.at(1).text()), QStringLiteral("\u4f60\u597d"));
    QVERIFY(r.at(1).hasEntries());
    QCOMPARE(r.at(2).text(), QByteArray());
}

void TestSpeech::parseSegments_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<int>("count");
    const int missing = Recognition::MissingSegmentCount;
    QTest::newRow("not json") << QByteArray("{\"Segment\":[") << false << QStringList() << QList<int>()
                              << missing;
    QTest::newRow("no segments") << QByteArray("{\"SegmentCount\":2}") << true << QStringList()
                                 << QList<int>() << 2;
    QTest::newRow("threshold") << QByteArray(
        "{\"Segment\":[{\"Score\":99,\"Text\":\"low\"},{\"Score\":100,\"Text\":\"equal\"},"
        "{\"Text\":\"unscored\"},{\"Score\":\"150\",\"Text\":\"as text\"},{\"Score\":\"9\",\"Text\":\"x\"}]}")
                               << true << QStringList { "equal", "unscored", "as text" }
                               << QList<int> { 0, 0, 0 } << missing;
    QTest::newRow("without text") << QByteArray(
        "{\"SegmentCount\":3,\"Segment\":[{\"SegmentIndex\":1},{\"SegmentIndex\":2,\"Text\":\"\"},"
        "{\"SegmentIndex\":3,\"Text\":\"c\"}]}")
                                  << true << QStringList { "", "c" } << QList<int> { 2, 3 } << 3;
    QTest::newRow("count as text") << QByteArray(
        "{\"SegmentCount\":\"3\",\"Segment\":[{\"SegmentIndex\":3,\"Text\":\"c\"}]}")
                                   << true << QStringList { "c" } << QList<int> { 3 } << missing;
}

void TestSpeech::parseSegments()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, valid);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, indices);
    QFETCH(int, count);
    QList<Recognition::Segment> found;
    int foundCount = -7;
    QCOMPARE(Recognition::parseSegments(json, 100, &found, &foundCount), valid);
    QStringList foundTexts;
    QList<int> foundIndices;
    for (const Recognition::Segment &s : found) {
        foundTexts.append(s.text);
        foundIndices.append(s.index);
    }
    QCOMPARE(foundTexts, texts);
    QCOMPARE(foundIndices, indices);
    if (valid)
        QCOMPARE(foundCount, count);
}

void TestSpeech::apply_data()
{
    QTest::addColumn<bool>("phrase");
    QTest::addColumn<int>("textMode");
    QTest::addColumn<QString>(
        "start"); // "+x" an item, "~x" a provisional item, "=edited|running" running text
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("queued"); // for translation, in order
    QTest::addColumn<QString>("flags"); // F: a final sentence added, P: the provisional item changed
    QTest::addColumn<bool>("provisional");
    QTest::addColumn<QString>("running"); // the continuous text, with textMode 0
    QTest::addColumn<QString>("shown");

    const QString none;
    QTest::newRow("segment below the threshold")
        << true << 1 << none
        << QStringList { result('F',
               segments({ segment(1, 120, "one"), segment(2, 99, "two"), segment(3, 100, "three") }, "3")) }
        << QStringList { "one", "three" } << QStringList { "one", "three" } << "F" << false << none << none;
    QTest::newRow("partials replace the provisional item")
        << true << 1 << "+earlier"
        << QStringList { result('P', segments({ segment(1, 500, "wo") }, "1")),
               result('P', segments({ segment(1, 500, "wo men") }, "1")),
               result('F', segments({ segment(1, 500, "wo men qu ba") }, "1")),
               result('P', segments({ segment(1, 500, "hao") }, "1")) }
        << QStringList { "earlier", "wo men qu ba", "hao" } << QStringList { "wo men qu ba" } << "FP" << true
        << none << none;
    QTest::newRow("all segments but the last are final")
        << true << 1 << none
        << QStringList { result('P',
                             segments({ segment(1, 500, "s1"), segment(2, 500, "s2"), segment(3, 500, "s3") },
                                 "3")),
               result('P', segments({ segment(3, 500, "s3 more") }, "3")),
               result('P', segments({ segment(2, 500, "s3 done") }, "4")) }
        << QStringList { "s1", "s2", "s3 done" } << QStringList { "s1", "s2", "s3 done" } << "FP" << false
        << none << none;
    QTest::newRow("no segment count keeps the last provisional")
        << true << 1 << none
        << QStringList { result('P', segments({ segment(1, 500, "a"), segment(2, 500, "b") })) }
        << QStringList { "b" } << QStringList() << "P" << true << none << none;
    QTest::newRow("empty phrase kept")
        << true << 1 << none << QStringList { result('F', segments({ segment(1, 500, "") }, "1")) }
        << QStringList { "" } << QStringList { "" } << "F" << false << none << none;
    QTest::newRow("empty sentence dropped") << false << 1 << none << QStringList { result('F', "") }
                                            << QStringList() << QStringList() << "" << false << none << none;
    const QString hello = QStringLiteral("\u4f60\u597d");
    QTest::newRow("sentence one below the threshold")
        << false << 1 << "~kept" << QStringList { result('F', hello.toUtf8(), 99) } << QStringList { "kept" }
        << QStringList() << "" << true << none << none;
    QTest::newRow("sentence at the threshold, provisional untouched")
        << false << 1 << "~kept" << QStringList { result('F', hello.toUtf8(), 100) }
        << QStringList { "kept", hello } << QStringList { hello } << "F" << true << none << none;
    QTest::newRow("score beyond the signed range")
        << false << 1 << none << QStringList { result('F', "x", 3000000000u) } << QStringList { "x" }
        << QStringList { "x" } << "F" << false << none << none;
    const QString good = result('F', segments({ segment(1, 500, "x") }, "1"));
    QTest::newRow("dropped: invalid json")
        << true << 0 << none << QStringList { result('F', "{\"Segment\":") } << QStringList() << QStringList()
        << "" << false << none << none;
    QTest::newRow("dropped: no entries")
        << true << 0 << none << QStringList { QString(good).replace(0, 1, 'N') } << QStringList()
        << QStringList() << "" << false << none << none;
    QTest::newRow("dropped: partial in sentence mode")
        << false << 0 << none << QStringList { QString(good).replace(0, 1, 'P') } << QStringList()
        << QStringList() << "" << false << none << none;
    QTest::newRow("dropped: every segment fails")
        << true << 0 << none
        << QStringList { result('F', segments({ segment(1, 5, "x"), "{\"Score\":500}" })) } << QStringList()
        << QStringList() << "" << false << none << none;
    const QString comma = QStringLiteral("\u060C ");
    QTest::newRow("continuous text, phrases")
        << true << 0 << none
        << QStringList { result('P', segments({ segment(1, 500, "bir") }, "1")),
               result('F', segments({ segment(1, 500, "bir ikki") }, "1")),
               result('P', segments({ segment(1, 500, "uch") }, "1")) }
        << QStringList { "bir ikki", "uch" } << QStringList { "bir ikki" } << "FP" << true
        << "bir ikki" + comma << "bir ikki" + comma + "uch" + comma;
    // The operator's own edits of the running text are kept.
    QTest::newRow("continuous text, sentences")
        << false << 0 << "=typed" + comma + "|stale" << QStringList { result('F', "next") }
        << QStringList { "next" } << QStringList { "next" } << "F" << false
        << "typed" + comma + "next" + comma << "typed" + comma + "next" + comma;
}

void TestSpeech::apply()
{
    QFETCH(bool, phrase);
    QFETCH(int, textMode);
    QFETCH(QString, start);
    QFETCH(QStringList, results);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, queued);
    QFETCH(QString, flags);
    QFETCH(bool, provisional);
    QFETCH(QString, running);
    QFETCH(QString, shown);
    AppState::phraseMode = phrase;
    AppState::textMode = textMode;
    AppState::sentenceSeparator = QStringLiteral("\u060C ");
    DocumentModel doc;
    if (start.startsWith(QLatin1Char('+')))
        doc.appendSource(start.mid(1));
    else if (start.startsWith(QLatin1Char('~')))
        doc.showProvisional(start.mid(1));
    else if (start.startsWith(QLatin1Char('='))) {
        const QString typed = start.mid(1).section(QLatin1Char('|'), 0, 0);
        doc.setEditedSourceReader([typed] { return typed; });
        doc.setRunningSource(start.section(QLatin1Char('|'), 1));
    }

    Recognition recognition;
    QStringList queuedTexts;
    QString seen;
    for (const QString &r : results) {
        const Recognition::Outcome outcome = recognition.apply(&doc, toEvent(r));
        for (const quint64 item : outcome.queued)
            queuedTexts += doc.at(doc.rowOf(item)).source;
        if (outcome.finalAdded && !seen.contains(QLatin1Char('F')))
            seen.prepend(QLatin1Char('F'));
        if (outcome.partialChanged && !seen.contains(QLatin1Char('P')))
            seen.append(QLatin1Char('P'));
    }
    QCOMPARE(doc.sources(), sources);
    QCOMPARE(queuedTexts, queued);
    QCOMPARE(seen, flags);
    QCOMPARE(doc.hasProvisional(), provisional);
    if (start.isEmpty())
        QCOMPARE(doc.isModified(), !sources.isEmpty());
    if (textMode == 0) {
        QCOMPARE(doc.runningSource(), running);
        QCOMPARE(doc.shownSource(), shown);
    }
}

void TestSpeech::floodWhileSaving()
{
    // Results stream into the real main window while saves start and end: every one
    // arriving during a save waits for its end, and none is lost or reordered.
    // 3,000, not 10,000: through the real window each sentence recounts the whole
    // document's letters and lays its list out again, so time grows with the square.
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

TOLVANE_TEST_MAIN(TestSpeech)
#include "tst_speech.moc"
