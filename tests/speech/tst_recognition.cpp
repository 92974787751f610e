#include "standinprobe.h"

#include "speech/recognition.h"
#include "speech/recorder.h"
#include "speech/speechsdk.h"

#include "documents/documentmodel.h"

#include "app/appstate.h"
#include "app/settings.h"

#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

using Kind = RecognitionEvent::Kind;

// Receives results as the main window does: held back while saving, applied
// in order to one document otherwise.
class ResultSink : public QObject
{
public:
    Recognition recognition;
    QPointer<DocumentModel> doc;
    QStringList queued;
    int received = 0;
    int deferred = 0;

    void finishSaving()
    {
        AppState::savingInProgress = false;
        for (const RecognitionEvent &result : recognition.takePending())
            take(result);
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != RecognitionEvent::FinalType && event->type() != RecognitionEvent::PartialType)
            return QObject::event(event);
        ++received;
        const auto *result = static_cast<RecognitionEvent *>(event);
        if (AppState::savingInProgress) {
            recognition.defer(*result);
            ++deferred;
        }
        else
            take(*result);
        return true;
    }

private:
    void take(const RecognitionEvent &result)
    {
        for (const quint64 item : recognition.apply(doc, result).queued)
            queued += doc->at(doc->rowOf(item)).source;
    }
};

class tst_Recognition : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void parseSegments_data();
    void parseSegments();

    void phraseSegmentsBelowThreshold();
    void provisionalItemIsReplaced();
    void segmentCountThree();
    void missingSegmentCountKeepsProvisional();
    void emptyText_data();
    void emptyText();
    void sentenceThreshold_data();
    void sentenceThreshold();
    void dropped_data();
    void dropped();
    void continuousTextPhrase();
    void continuousTextSentence();

    void floodWhileSaving();

private:
    static RecognitionEvent final(const QByteArray &text, quint32 score = 500)
    {
        return RecognitionEvent(RecognitionEvent::Final, true, score, text);
    }
    static RecognitionEvent partial(const QByteArray &text)
    {
        return RecognitionEvent(RecognitionEvent::Partial, true, 500, text);
    }
    static QByteArray segments(std::initializer_list<QByteArray> list, const QByteArray &count = QByteArray())
    {
        QByteArray json = "{";
        if (!count.isEmpty())
            json += "\"SegmentCount\":" + count + ',';
        QByteArrayList items(list);
        return json + "\"Segment\":[" + items.join(',') + "]}";
    }
    static QByteArray segment(int index, int score, const QString &text)
    {
        return "{\"SegmentIndex\":" + QByteArray::number(index) + ",\"Score\":" + QByteArray::number(score)
            + ",\"Text\":\"" + text.toUtf8() + "\"}";
    }
    QString writeFile(const QString &name, const QStringList &lines);
    QStringList texts(const QList<quint64> &items) const
    {
        QStringList list;
        for (const quint64 item : items)
            list += doc->at(doc->rowOf(item)).source;
        return list;
    }

    StandinProbe probe;
    QTemporaryDir dir;
    std::unique_ptr<DocumentModel> doc;
    Recognition recognition;
    // Outlives any recording a failed test leaves running until cleanup cancels it.
    std::unique_ptr<ResultSink> sink;
};

void tst_Recognition::initTestCase()
{
    qputenv("TOLVANE_SDK_AUDIO", "none");
    QVERIFY(dir.isValid());
    QVERIFY(probe.load());
}

void tst_Recognition::init()
{
    AppState::phraseMode = true;
    AppState::textMode = 1;
    AppState::scoreThreshold = 100;
    AppState::savingInProgress = false;
    AppState::sentenceSeparator = QString(QChar(0xFF0C));
    AppState::recognitionLanguage = 0;
    AppState::voiceHost.clear();
    AppState::RecordState = AppState::Idle;
    recognition = Recognition();
    doc = std::make_unique<DocumentModel>();
}

void tst_Recognition::cleanup()
{
    Recorder::cancel();
    sink.reset();
    qunsetenv("TOLVANE_SDK_SCRIPT");
    qunsetenv("TOLVANE_SDK_TRANSCRIPT");
    qunsetenv("TOLVANE_SDK_PACE_MS");
    AppState::savingInProgress = false;
    doc.reset();
}

QString tst_Recognition::writeFile(const QString &name, const QStringList &lines)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    return path;
}

void tst_Recognition::parseSegments_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<int>("count");

    const int missing = Recognition::MissingSegmentCount;
    QTest::newRow("not json") << QByteArray("{\"Segment\":[") << false << QStringList() << QList<int>() << missing;
    QTest::newRow("no segments") << QByteArray("{\"SegmentCount\":2}") << true << QStringList() << QList<int>() << 2;
    QTest::newRow("threshold")
        << QByteArray("{\"Segment\":[{\"Score\":99,\"Text\":\"low\"},{\"Score\":100,\"Text\":\"equal\"},"
                      "{\"Text\":\"unscored\"},{\"Score\":\"150\",\"Text\":\"as text\"},{\"Score\":\"9\",\"Text\":\"x\"}]}")
        << true << QStringList { "equal", "unscored", "as text" } << QList<int> { 0, 0, 0 } << missing;
    QTest::newRow("without text")
        << QByteArray("{\"SegmentCount\":3,\"Segment\":[{\"SegmentIndex\":1},{\"SegmentIndex\":2,\"Text\":\"\"},"
                      "{\"SegmentIndex\":3,\"Text\":\"c\"}]}")
        << true << QStringList { "", "c" } << QList<int> { 2, 3 } << 3;
    QTest::newRow("count as text")
        << QByteArray("{\"SegmentCount\":\"3\",\"Segment\":[{\"SegmentIndex\":3,\"Text\":\"c\"}]}") << true
        << QStringList { "c" } << QList<int> { 3 } << missing;
}

void tst_Recognition::parseSegments()
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

void tst_Recognition::phraseSegmentsBelowThreshold()
{
    const auto outcome = recognition.apply(
        doc.get(), final(segments({ segment(1, 120, "one"), segment(2, 99, "two"), segment(3, 100, "three") }, "3")));
    QCOMPARE(doc->sources(), (QStringList { "one", "three" }));
    QCOMPARE(texts(outcome.queued), (QStringList { "one", "three" }));
    QVERIFY(outcome.finalAdded);
    QVERIFY(!outcome.partialChanged);
    QVERIFY(doc->isModified());
}

void tst_Recognition::provisionalItemIsReplaced()
{
    doc->appendSource(QStringLiteral("earlier"));
    QStringList queued;
    for (const char *text : { "wo", "wo men", "wo men qu" }) {
        const auto outcome = recognition.apply(doc.get(), partial(segments({ segment(1, 500, text) }, "1")));
        QVERIFY(outcome.partialChanged);
        QVERIFY(!outcome.finalAdded);
        queued += texts(outcome.queued);
        QCOMPARE(doc->sources(), (QStringList { "earlier", text }));
        QVERIFY(doc->hasProvisional());
    }
    QCOMPARE(queued, QStringList());

    const auto outcome = recognition.apply(doc.get(), final(segments({ segment(1, 500, "wo men qu ba") }, "1")));
    QCOMPARE(doc->sources(), (QStringList { "earlier", "wo men qu ba" }));
    QCOMPARE(texts(outcome.queued), QStringList { "wo men qu ba" });
    QVERIFY(!doc->hasProvisional());

    // The next sentence starts a new provisional item.
    recognition.apply(doc.get(), partial(segments({ segment(1, 500, "hao") }, "1")));
    QCOMPARE(doc->sources(), (QStringList { "earlier", "wo men qu ba", "hao" }));
}

void tst_Recognition::segmentCountThree()
{
    const auto outcome = recognition.apply(
        doc.get(), partial(segments({ segment(1, 500, "s1"), segment(2, 500, "s2"), segment(3, 500, "s3") }, "3")));
    QCOMPARE(doc->sources(), (QStringList { "s1", "s2", "s3" }));
    QCOMPARE(texts(outcome.queued), (QStringList { "s1", "s2" }));
    QVERIFY(outcome.finalAdded);
    QVERIFY(outcome.partialChanged);
    QVERIFY(doc->hasProvisional());

    recognition.apply(doc.get(), partial(segments({ segment(3, 500, "s3 more") }, "3")));
    QCOMPARE(doc->sources(), (QStringList { "s1", "s2", "s3 more" }));
    // A completed segment replaces the provisional one it grew from.
    const auto second = recognition.apply(doc.get(), partial(segments({ segment(2, 500, "s3 done") }, "4")));
    QCOMPARE(doc->sources(), (QStringList { "s1", "s2", "s3 done" }));
    QCOMPARE(texts(second.queued), QStringList { "s3 done" });
}

void tst_Recognition::missingSegmentCountKeepsProvisional()
{
    const auto outcome
        = recognition.apply(doc.get(), partial(segments({ segment(1, 500, "a"), segment(2, 500, "b") })));
    QCOMPARE(doc->sources(), QStringList { "b" });
    QCOMPARE(texts(outcome.queued), QStringList());
    QVERIFY(doc->hasProvisional());
}

void tst_Recognition::emptyText_data()
{
    QTest::addColumn<bool>("phraseMode");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("phrase") << true << segments({ segment(1, 500, "") }, "1") << QStringList { "" };
    QTest::newRow("sentence") << false << QByteArray() << QStringList();
}

void tst_Recognition::emptyText()
{
    QFETCH(bool, phraseMode);
    QFETCH(QByteArray, text);
    QFETCH(QStringList, expected);
    AppState::phraseMode = phraseMode;
    const auto outcome = recognition.apply(doc.get(), final(text));
    QCOMPARE(doc->sources(), expected);
    QCOMPARE(texts(outcome.queued), expected);
    QCOMPARE(doc->isModified(), !expected.isEmpty());
}

void tst_Recognition::sentenceThreshold_data()
{
    QTest::addColumn<int>("threshold");
    QTest::addColumn<quint32>("score");
    QTest::addColumn<bool>("added");
    QTest::newRow("one below") << 100 << 99u << false;
    QTest::newRow("equal") << 100 << 100u << true;
    QTest::newRow("beyond signed range") << 100 << 3000000000u << true;
}

void tst_Recognition::sentenceThreshold()
{
    QFETCH(int, threshold);
    QFETCH(quint32, score);
    QFETCH(bool, added);
    AppState::phraseMode = false;
    AppState::scoreThreshold = threshold;
    doc->showProvisional(QStringLiteral("kept"));
    const auto outcome = recognition.apply(doc.get(), final("\xe4\xbd\xa0\xe5\xa5\xbd", score));
    const QStringList expected = added ? QStringList { "kept", QStringLiteral("\u4f60\u597d") } : QStringList { "kept" };
    QCOMPARE(doc->sources(), expected);
    QCOMPARE(outcome.finalAdded, added);
    // Sentence mode neither reads nor changes the provisional item.
    QVERIFY(doc->hasProvisional());
}

void tst_Recognition::dropped_data()
{
    QTest::addColumn<bool>("phraseMode");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("hasEntries");
    QTest::addColumn<QByteArray>("text");
    const QByteArray good = segments({ segment(1, 500, "x") }, "1");
    QTest::newRow("final, invalid json") << true << int(Kind::Final) << true << QByteArray("{\"Segment\":");
    QTest::newRow("final, no entries") << true << int(Kind::Final) << false << good;
    QTest::newRow("partial in sentence mode") << false << int(Kind::Partial) << true << good;
    QTest::newRow("all segments fail") << true << int(Kind::Final) << true
                                       << segments({ segment(1, 5, "x"), "{\"Score\":500}" });
}

void tst_Recognition::dropped()
{
    QFETCH(bool, phraseMode);
    QFETCH(int, kind);
    QFETCH(bool, hasEntries);
    QFETCH(QByteArray, text);
    AppState::phraseMode = phraseMode;
    AppState::textMode = 0;
    const auto outcome = recognition.apply(doc.get(), RecognitionEvent(Kind(kind), hasEntries, 500, text));
    QCOMPARE(doc->sources(), QStringList());
    QCOMPARE(texts(outcome.queued), QStringList());
    QVERIFY(!outcome.finalAdded);
    QVERIFY(!outcome.partialChanged);
    QVERIFY(!doc->isModified());
    QCOMPARE(doc->runningSource(), QString());
    QCOMPARE(doc->partialSource(), QString());
}

void tst_Recognition::continuousTextPhrase()
{
    AppState::textMode = 0;
    AppState::sentenceSeparator = QStringLiteral("\u060C ");
    recognition.apply(doc.get(), partial(segments({ segment(1, 500, "bir") }, "1")));
    QCOMPARE(doc->partialSource(), QStringLiteral("bir\u060C "));
    QCOMPARE(doc->shownSource(), QStringLiteral("bir\u060C "));

    recognition.apply(doc.get(), final(segments({ segment(1, 500, "bir ikki") }, "1")));
    QCOMPARE(doc->runningSource(), QStringLiteral("bir ikki\u060C "));
    QCOMPARE(doc->shownSource(), QStringLiteral("bir ikki\u060C "));

    recognition.apply(doc.get(), partial(segments({ segment(1, 500, "uch") }, "1")));
    QCOMPARE(doc->shownSource(), QStringLiteral("bir ikki\u060C uch\u060C "));
    QCOMPARE(doc->runningSource(), QStringLiteral("bir ikki\u060C "));
    QCOMPARE(doc->sources(), (QStringList { "bir ikki", "uch" }));
    QVERIFY(doc->isModified());
}

void tst_Recognition::continuousTextSentence()
{
    AppState::textMode = 0;
    AppState::phraseMode = false;
    // The operator's own edits of the running text are kept.
    doc->setEditedSource(QStringLiteral("typed\uFF0C"));
    doc->setRunningSource(QStringLiteral("stale"));
    recognition.apply(doc.get(), final("next"));
    QCOMPARE(doc->runningSource(), QStringLiteral("typed\uFF0Cnext\uFF0C"));
    QCOMPARE(doc->sources(), QStringList { "next" });
}

void tst_Recognition::floodWhileSaving()
{
    const int count = 10000;
    AppState::phraseMode = false;
    QStringList lines;
    QStringList expected;
    for (int i = 0; i < count; ++i) {
        lines.append(QStringLiteral("0\tfinal\t500\tsentence %1").arg(i));
        expected.append(QStringLiteral("sentence %1").arg(i));
    }
    qputenv("TOLVANE_SDK_SCRIPT", QFile::encodeName(writeFile(QStringLiteral("flood.txt"), lines)));

    sink = std::make_unique<ResultSink>();
    sink->doc = doc.get();
    SpeechSdk &sdk = SpeechSdk::instance();
    QVERIFY2(sdk.isLoaded() || sdk.load(QCoreApplication::applicationDirPath()), qPrintable(sdk.loadError()));
    QCOMPARE(sdk.recorderInit("initCapkeys=asr.cloud.freetalk,dataPath=" + dir.path().toUtf8(), sink.get()), 0);

    // Saves start and end while the results stream in; the first one is under way from the start.
    AppState::savingInProgress = true;
    int toggles = 0;
    QTimer saver;
    saver.setInterval(1);
    connect(&saver, &QTimer::timeout, this, [&] {
        ++toggles;
        if (AppState::savingInProgress)
            sink->finishSaving();
        else
            AppState::savingInProgress = true;
    });
    saver.start();
    QCOMPARE(Recorder::start(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(sink->received, count, 60000);
    saver.stop();
    sink->finishSaving();

    QVERIFY(toggles > 1);
    QVERIFY(sink->deferred > 0);
    QCOMPARE(sink->queued.size(), count);
    QCOMPARE(sink->queued, expected);
    QCOMPARE(doc->sources(), expected);
    Recorder::cancel();
}

QTEST_MAIN(tst_Recognition)
#include "tst_recognition.moc"
