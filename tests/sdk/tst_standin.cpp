#include "../../sdk/include/hci_sdk.h"
#include "../../sdk/include/hci_standin.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibrary>
#include <QMutex>
#include <QMutexLocker>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>


namespace {

struct RecorderEntry
{
    int pair = 0;     // handler pair that was called
    int context = 0;  // pair whose context pointer came with it
    quint32 score = 0;
    QByteArray text;
};

class RecorderLog
{
public:
    void add(int pair, int context, ASR_RECOG_RESULT *result)
    {
        RecorderEntry entry;
        entry.pair = pair;
        entry.context = context;
        if (result && result->uiResultItemCount > 0) {
            entry.score = result->psResultItemList[0].uiScore;
            entry.text = QByteArray(result->psResultItemList[0].pszResult);
        }
        QMutexLocker locker(&mutex);
        entries.append(entry);
    }

    QVector<RecorderEntry> snapshot()
    {
        QMutexLocker locker(&mutex);
        return entries;
    }

    int size()
    {
        QMutexLocker locker(&mutex);
        return entries.size();
    }

    int finals()
    {
        QMutexLocker locker(&mutex);
        return int(std::count_if(entries.cbegin(), entries.cend(), [](const RecorderEntry &e) { return e.pair == 3; }));
    }

    bool contains(const QByteArray &text)
    {
        QMutexLocker locker(&mutex);
        return std::any_of(entries.cbegin(), entries.cend(), [&](const RecorderEntry &e) { return e.text == text; });
    }

    void reset()
    {
        QMutexLocker locker(&mutex);
        entries.clear();
    }

private:
    QMutex mutex;
    QVector<RecorderEntry> entries;
};

struct RecorderContext
{
    RecorderLog *log;
    int pair;
};

void onStateChange(int, void *) {}
void onTwoValues(int, int, void *) {}

void onRecogFinish(int, ASR_RECOG_RESULT *result, void *context)
{
    auto c = static_cast<RecorderContext *>(context);
    c->log->add(3, c->pair, result);
}

void onRecogProcess(int, ASR_RECOG_RESULT *result, void *context)
{
    auto c = static_cast<RecorderContext *>(context);
    c->log->add(5, c->pair, result);
}

class PlayerLog
{
public:
    void add(int event)
    {
        QMutexLocker locker(&mutex);
        events.append(event);
    }

    QVector<int> snapshot()
    {
        QMutexLocker locker(&mutex);
        return events;
    }

    void reset()
    {
        QMutexLocker locker(&mutex);
        events.clear();
    }

private:
    QMutex mutex;
    QVector<int> events;
};

void onPlayerEvent(int event, void *context)
{
    static_cast<PlayerLog *>(context)->add(event);
}

void onProgress(int, int, int, void *) {}
void onPlayerError(int, int, void *) {}

const char defaultEngineConfig[] = "appKey=1f2e3d4c,developerKey=0123456789abcdef0123456789abcdef,"
                            "cloudUrl=speech.example.org:8888,logfilepath=/tmp/log,logfilesize=1024,loglevel=5";
const char chinesePhrase[] = "domain=common, capkey=asr.cloud.freetalk,realtime=rt,continuous=yes";
const char chineseSentence[] = "domain=common, capkey=asr.cloud.freetalk,realtime=yes,continuous=yes";
const char chineseVoice[] = "property=cn_xiaokun_common,tagmode=none,capkey=tts.cloud.wangjing";

const char *const environment[] = {
    "TOLVANE_SDK_SCRIPT", "TOLVANE_SDK_TRANSCRIPT", "TOLVANE_SDK_PACE_MS",
    "TOLVANE_SDK_FAIL_HCI_INIT", "TOLVANE_SDK_FAIL_RECORDER_INIT", "TOLVANE_SDK_FAIL_RECORDER_START",
    "TOLVANE_SDK_FAIL_PLAYER_INIT",
};

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QJsonObject firstSegment(const QByteArray &json, int *count = nullptr)
{
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    if (count)
        *count = object.value(QLatin1String("SegmentCount")).toInt(-1);
    return object.value(QLatin1String("Segment")).toArray().first().toObject();
}

} // namespace

class TestStandin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void failureInjection_data();
    void failureInjection();

    void phraseMode();
    void sentenceMode_data();
    void sentenceMode();
    void scriptedEvents();
    void noResultAfterCancel();

    void voiceSelection_data();
    void voiceSelection();

private:
    template <typename F>
    void resolve(QLibrary &library, const char *name, F &function)
    {
        function = reinterpret_cast<F>(library.resolve(name));
        QVERIFY2(function, name);
    }

    int initRecorder(const QString &dataPath);
    int startScript(const QByteArray &script, const char *config = chinesePhrase);
    int initPlayer();

    QLibrary sys, recorder, playerLibrary;
    QTemporaryDir tempDir;

    decltype(&hci_init) init = nullptr;
    decltype(&hci_release) release = nullptr;
    decltype(&hci_standin_sys_initialised) initialised = nullptr;

    decltype(&hci_asr_recorder_init) recorderInit = nullptr;
    decltype(&hci_asr_recorder_start) recorderStart = nullptr;
    decltype(&hci_asr_recorder_cancel) recorderCancel = nullptr;
    decltype(&hci_standin_recorder_last_start_config) lastStartConfig = nullptr;
    decltype(&hci_standin_recorder_source) recorderSource = nullptr;
    decltype(&hci_standin_recorder_running) recorderRunning = nullptr;
    decltype(&hci_standin_recorder_result_count) resultCount = nullptr;

    decltype(&hci_tts_player_entry) playerEntry = nullptr;
    HciPlayerInit playerInit = nullptr;
    HciPlayerSpeak speak = nullptr;
    HciPlayerStop stop = nullptr;
    decltype(&hci_standin_player_last_config) lastSpeakConfig = nullptr;
    decltype(&hci_standin_player_last_text) lastText = nullptr;
    decltype(&hci_standin_player_last_voice) lastVoice = nullptr;
    decltype(&hci_standin_player_last_sample_count) sampleCount = nullptr;
    decltype(&hci_standin_player_sample_rate) sampleRate = nullptr;
    decltype(&hci_standin_player_speaking) speaking = nullptr;

    RecorderLog recorderLog;
    RecorderContext recorderContexts[5] = {{&recorderLog, 1}, {&recorderLog, 2}, {&recorderLog, 3},
                                           {&recorderLog, 4}, {&recorderLog, 5}};
    PlayerLog playerLog;
};

void TestStandin::initTestCase()
{
    const QString dir = QCoreApplication::applicationDirPath();
    sys.setFileName(dir + QLatin1String("/libhci_sys.so"));
    recorder.setFileName(dir + QLatin1String("/libhci_asr_recorder.so"));
    playerLibrary.setFileName(dir + QLatin1String("/libhci_tts_player.so"));
    for (QLibrary *library : {&sys, &recorder, &playerLibrary})
        QVERIFY2(library->load(), qPrintable(library->errorString()));

    resolve(sys, "hci_init", init);
    resolve(sys, "hci_release", release);
    resolve(sys, "hci_standin_sys_initialised", initialised);
    resolve(recorder, "hci_asr_recorder_init", recorderInit);
    resolve(recorder, "hci_asr_recorder_start", recorderStart);
    resolve(recorder, "hci_asr_recorder_cancel", recorderCancel);
    resolve(recorder, "hci_standin_recorder_last_start_config", lastStartConfig);
    resolve(recorder, "hci_standin_recorder_source", recorderSource);
    resolve(recorder, "hci_standin_recorder_running", recorderRunning);
    resolve(recorder, "hci_standin_recorder_result_count", resultCount);
    resolve(playerLibrary, "hci_tts_player_entry", playerEntry);
    resolve(playerLibrary, "hci_standin_player_last_config", lastSpeakConfig);
    resolve(playerLibrary, "hci_standin_player_last_text", lastText);
    resolve(playerLibrary, "hci_standin_player_last_voice", lastVoice);
    resolve(playerLibrary, "hci_standin_player_last_sample_count", sampleCount);
    resolve(playerLibrary, "hci_standin_player_sample_rate", sampleRate);
    resolve(playerLibrary, "hci_standin_player_speaking", speaking);
    QVERIFY(!QTest::currentTestFailed());
    playerInit = reinterpret_cast<HciPlayerInit>(playerEntry(HCI_TTS_PLAYER_ORDINAL_INIT));
    speak = reinterpret_cast<HciPlayerSpeak>(playerEntry(HCI_TTS_PLAYER_ORDINAL_SPEAK));
    stop = reinterpret_cast<HciPlayerStop>(playerEntry(HCI_TTS_PLAYER_ORDINAL_STOP));
    QVERIFY(playerInit && speak && stop);

    QVERIFY(tempDir.isValid());
    // No sound card in tests; sound lasts a twentieth of its length.
    qputenv("TOLVANE_SDK_AUDIO", "none");
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.05");
    for (const char *name : environment)
        qunsetenv(name);
}

void TestStandin::cleanup()
{
    recorderCancel();
    stop();
    recorderLog.reset();
    playerLog.reset();
    for (const char *name : environment)
        qunsetenv(name);
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.05");
}

int TestStandin::initRecorder(const QString &dataPath)
{
    RECORDER_CALLBACK_PARAM handlers = {onStateChange, &recorderContexts[0], onTwoValues, &recorderContexts[1],
                                        onRecogFinish, &recorderContexts[2], onTwoValues, &recorderContexts[3],
                                        onRecogProcess, &recorderContexts[4]};
    const QByteArray config = "initCapkeys=asr.cloud.freetalk,dataPath=" + dataPath.toUtf8();
    return recorderInit(config.constData(), &handlers);
}

int TestStandin::startScript(const QByteArray &script, const char *config)
{
    static int serial = 0;
    const QString path = tempDir.filePath(QStringLiteral("script%1.txt").arg(++serial));
    if (!writeFile(path, script))
        return -1;
    qputenv("TOLVANE_SDK_SCRIPT", QFile::encodeName(path));
    return recorderStart(config, "");
}

int TestStandin::initPlayer()
{
    PLAYER_CALLBACK_PARAM handlers = {onPlayerEvent, &playerLog, onProgress, nullptr, onPlayerError, nullptr};
    const QByteArray config = "initCapkeys=tts.cloud.wangjing,dataPath=" + tempDir.path().toUtf8();
    return playerInit(config.constData(), &handlers);
}

void TestStandin::failureInjection_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<int>("call");
    QTest::newRow("hci_init") << QByteArray("TOLVANE_SDK_FAIL_HCI_INIT") << 0;
    QTest::newRow("recorder init") << QByteArray("TOLVANE_SDK_FAIL_RECORDER_INIT") << 1;
    QTest::newRow("recorder start") << QByteArray("TOLVANE_SDK_FAIL_RECORDER_START") << 2;
    QTest::newRow("player init") << QByteArray("TOLVANE_SDK_FAIL_PLAYER_INIT") << 3;
}

void TestStandin::failureInjection()
{
    QFETCH(QByteArray, variable);
    QFETCH(int, call);
    QVERIFY(writeFile(tempDir.filePath("transcript_cn.txt"), "一句话\n"));
    QCOMPARE(initRecorder(tempDir.path()), 0);
    const std::function<int()> calls[] = {
        [&] { return init(defaultEngineConfig); },
        [&] { return initRecorder(tempDir.path()); },
        [&] { return recorderStart(chineseSentence, ""); },
        [&] { return initPlayer(); },
    };
    release();

    qputenv(variable.constData(), "4711");
    QCOMPARE(calls[call](), 4711);
    QCOMPARE(initialised(), 0);
    QCOMPARE(recorderRunning(), 0);
    qputenv(variable.constData(), "not a code");
    QCOMPARE(calls[call](), 0);
    recorderCancel();
    qunsetenv(variable.constData());
    QCOMPARE(calls[call](), 0);
}

void TestStandin::phraseMode()
{
    const QStringList sentences = {QStringLiteral("你好世界朋友们再见了"), QStringLiteral("good morning \"dear\" friends")};
    QVERIFY(writeFile(tempDir.filePath("phrases.txt"), sentences.join('\n').toUtf8() + '\n'));
    qputenv("TOLVANE_SDK_TRANSCRIPT", QFile::encodeName(tempDir.filePath("phrases.txt")));
    qputenv("TOLVANE_SDK_PACE_MS", "0");
    QCOMPARE(initRecorder(tempDir.path()), 0);
    QCOMPARE(recorderStart(chinesePhrase, ""), 0);
    QCOMPARE(QByteArray(lastStartConfig()), QByteArray(chinesePhrase));
    QTRY_COMPARE(recorderLog.finals(), 2);
    // Nobody speaks any more, but the microphone stays open.
    QCOMPARE(recorderRunning(), 1);

    const QVector<RecorderEntry> entries = recorderLog.snapshot();
    int at = 0;
    for (const QString &sentence : sentences) {
        // Growing provisional texts, then the final one, each through its own handler.
        QString previous;
        for (; at < entries.size() && entries[at].pair == 5; ++at) {
            QCOMPARE(entries[at].context, 5);
            const QString text = firstSegment(entries[at].text).value("Text").toString();
            QVERIFY2(sentence.startsWith(text) && text.size() > previous.size(), qPrintable(text));
            previous = text;
        }
        QCOMPARE(previous, sentence);
        QVERIFY(at < entries.size());
        QCOMPARE(entries[at].pair, 3);
        QCOMPARE(entries[at].context, 3);
        int count = 0;
        QCOMPARE(firstSegment(entries[at].text, &count).value("Text").toString(), sentence);
        QCOMPARE(count, 1);
        ++at;
    }
    QCOMPARE(at, entries.size());
}

void TestStandin::sentenceMode_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("file");
    QTest::newRow("Chinese") << QByteArray(chineseSentence) << "transcript_cn.txt";
    QTest::newRow("Uyghur")
        << QByteArray("domain=common,capkey=asr.cloud.freetalk.uyghur,realtime=yes,continuous=yes")
        << "transcript_ug.txt";
}

void TestStandin::sentenceMode()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, file);
    QTemporaryDir data;
    QVERIFY(writeFile(data.filePath("transcript_cn.txt"), "第一句话。\n\n第二句话。\r\n"));
    QVERIFY(writeFile(data.filePath("transcript_ug.txt"), "بىرىنچى جۈملە.\nئىككىنچى جۈملە.\n"));
    QFile expectedFile(data.filePath(file));
    QVERIFY(expectedFile.open(QIODevice::ReadOnly));
    QList<QByteArray> expected = expectedFile.readAll().replace('\r', "").split('\n');
    expected.removeAll(QByteArray());

    qputenv("TOLVANE_SDK_PACE_MS", "0");
    QCOMPARE(initRecorder(data.path()), 0);
    QCOMPARE(recorderStart(config.constData(), ""), 0);
    QCOMPARE(QString::fromLocal8Bit(recorderSource()), data.filePath(file));
    QTRY_COMPARE(recorderLog.size(), 2);
    const QVector<RecorderEntry> entries = recorderLog.snapshot();
    QList<QByteArray> texts;
    for (const RecorderEntry &entry : entries) {
        QCOMPARE(entry.pair, 3);
        QCOMPARE(entry.context, 3);
        QVERIFY(entry.score >= 300 && entry.score <= 900);
        texts << entry.text;
    }
    QCOMPARE(texts, expected);
}

void TestStandin::scriptedEvents()
{
    QCOMPARE(initRecorder(tempDir.path()), 0);
    const QByteArray json = R"({"SegmentCount":1,"Segment":[{"SegmentIndex":1,"Score":42,"Text":"x"}]})";
    const QByteArray script = "# delay, handler, score, payload\n"
                              "0\tfinal\t500\t一句话\n"
                              "5\tpartial\t150\t{not json\n"
                              "0\tfinal\t42\t"
                              + json
                              + "\n"
                                "soon\tfinal\t1\tskipped: bad delay\n"
                                "0\tlater\t1\tskipped: bad handler\n"
                                "0\tfinal\t1\n"
                                "0\tfinal\t7\ttab\tinside\r\n";
    QCOMPARE(startScript(script), 0);
    QTRY_COMPARE(recorderLog.size(), 4);
    const QVector<RecorderEntry> entries = recorderLog.snapshot();
    const QVector<int> pairs = {3, 5, 3, 3};
    const QVector<quint32> scores = {500, 150, 42, 7};
    const QList<QByteArray> texts = {QByteArray("一句话"), "{not json", json, "tab\tinside"};
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries[i].pair, pairs[i]);
        QCOMPARE(entries[i].context, pairs[i]);
        QCOMPARE(entries[i].score, scores[i]);
        QCOMPARE(entries[i].text, texts[i]);
    }
    QCOMPARE(recorderRunning(), 1);
}

void TestStandin::noResultAfterCancel()
{
    QByteArray transcript;
    for (int i = 0; i < 2000; ++i)
        transcript += "这是第" + QByteArray::number(i) + "个很长很长的句子\n";
    QVERIFY(writeFile(tempDir.filePath("flood.txt"), transcript));
    qputenv("TOLVANE_SDK_TRANSCRIPT", QFile::encodeName(tempDir.filePath("flood.txt")));
    qputenv("TOLVANE_SDK_PACE_MS", "1");
    QCOMPARE(initRecorder(tempDir.path()), 0);
    const unsigned int before = resultCount();
    QCOMPARE(recorderStart(chinesePhrase, ""), 0);
    QTRY_VERIFY(recorderLog.size() >= 20);
    QCOMPARE(recorderCancel(), 0);
    const int delivered = recorderLog.size();
    QCOMPARE(resultCount() - before, unsigned(delivered));

    // Results are logged in order: anything late would come before the marker.
    QCOMPARE(startScript("0\tfinal\t500\tmarker\n"), 0);
    QTRY_VERIFY(recorderLog.contains("marker"));
    QCOMPARE(recorderLog.size(), delivered + 1);
}

void TestStandin::voiceSelection_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("voice");
    const QString uyghur = QStringLiteral("ياخشىمۇسىز، بۈگۈن ھاۋا بەك ياخشى.");
    const QString chinese = QStringLiteral("你好，今天天气很好。");
    QTest::newRow("own server, Uyghur")
        << QByteArray("property=uyghur_uyghur_common,tagmode=none,capkey=tts.cloud.synth") << uyghur
        << QByteArray("ug");
    QTest::newRow("cloud, Chinese") << QByteArray(chineseVoice) << chinese << QByteArray("cmn");
}

void TestStandin::voiceSelection()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, text);
    QFETCH(QByteArray, voice);
    QCOMPARE(initPlayer(), 0);
    QCOMPARE(speak(text.toUtf8().constData(), config.constData()), 0);
    QCOMPARE(QByteArray(lastSpeakConfig()), config);
    QCOMPARE(QString::fromUtf8(lastText()), text);
    QCOMPARE(QByteArray(lastVoice()), voice);
    QTRY_COMPARE_WITH_TIMEOUT(playerLog.snapshot(), QVector<int>({PLAYER_EVENT_BEGIN, PLAYER_EVENT_END}), 20000);
    QCOMPARE(speaking(), 0);
    // At least a third of a second of speech.
    QVERIFY(sampleRate() > 0);
    QVERIFY2(sampleCount() > sampleRate() / 3, qPrintable(QString::number(sampleCount())));
}

QTEST_GUILESS_MAIN(TestStandin)
#include "tst_standin.moc"
