#include "standinprobe.h"

#include "speech/recognitionevent.h"
#include "speech/recorder.h"
#include "speech/speechsdk.h"

#include "app/appstate.h"
#include "app/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Collects the recognition events posted to it.
class Receiver : public QObject
{
public:
    QList<RecognitionEvent> received;
    QList<QEvent::Type> types;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != RecognitionEvent::FinalType && event->type() != RecognitionEvent::PartialType)
            return QObject::event(event);
        received.append(*static_cast<RecognitionEvent *>(event));
        types.append(event->type());
        return true;
    }
};

class tst_SpeechSdk : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void playStateAfter_data();
    void playStateAfter();
    void playerEventsSetPlayState();

    void handlersPostResults();

private:
    QString writeScript(const QStringList &lines);

    StandinProbe probe;
    QTemporaryDir dir;
    Receiver receiver;
};

void tst_SpeechSdk::initTestCase()
{
    qputenv("TOLVANE_SDK_AUDIO", "none");
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.01");
    QVERIFY(probe.load());
    QVERIFY(dir.isValid());
    Settings::setProgramDir(QCoreApplication::applicationDirPath());
    SpeechSdk &sdk = SpeechSdk::instance();
    QVERIFY2(sdk.load(QCoreApplication::applicationDirPath()), qPrintable(sdk.loadError()));
    QCOMPARE(sdk.init("appKey=1"), 0);
    const QByteArray dataPath = QCoreApplication::applicationDirPath().toUtf8() + "/data";
    QCOMPARE(sdk.recorderInit("initCapkeys=asr.cloud.freetalk,dataPath=" + dataPath, &receiver), 0);
    QCOMPARE(sdk.playerInit("initCapkeys=tts.cloud.wangjing,dataPath=" + dataPath), 0);
}

void tst_SpeechSdk::init()
{
    receiver.received.clear();
    receiver.types.clear();
    AppState::RecordState = AppState::Idle;
    AppState::voiceHost.clear();
    AppState::recognitionLanguage = 0;
    AppState::phraseMode = true;
    AppState::pauseMarkChoice = 0;
}

void tst_SpeechSdk::cleanup()
{
    Recorder::cancel();
    QTRY_COMPARE(probe.recorderRunning(), 0);
    qunsetenv("TOLVANE_SDK_SCRIPT");
    qunsetenv("TOLVANE_SDK_FAIL_RECORDER_START");
    // Events of a cancelled run that are still queued must not leak into the next test.
    QCoreApplication::sendPostedEvents(&receiver);
}

QString tst_SpeechSdk::writeScript(const QStringList &lines)
{
    static int number = 0;
    const QString path = dir.filePath(QStringLiteral("script%1.txt").arg(++number));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    return path;
}

void tst_SpeechSdk::playStateAfter_data()
{
    QTest::addColumn<int>("eventCode");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("expected");
    QTest::newRow("1 begin") << 1 << 0 << 2;
    QTest::newRow("5 end") << 5 << 2 << 9;
    QTest::newRow("6 stop") << 6 << 2 << 10;
    QTest::newRow("7 engine error") << 7 << 2 << 11;
}

void tst_SpeechSdk::playStateAfter()
{
    QFETCH(int, eventCode);
    QFETCH(int, current);
    QFETCH(int, expected);
    QCOMPARE(SpeechSdk::playStateAfter(eventCode, current), expected);
}

void tst_SpeechSdk::playerEventsSetPlayState()
{
    // The player's handler records the end of a spoken text as 9.
    SpeechSdk::setPlayState(0);
    QCOMPARE(SpeechSdk::instance().playerSpeak("ni hao", "property=cn_xiaokun_common,tagmode=none,capkey=tts.cloud.wangjing"), 0);
    QTRY_COMPARE(SpeechSdk::playState(), 9);
    QCOMPARE(probe.playerText(), QByteArray("ni hao"));
}

void tst_SpeechSdk::handlersPostResults()
{
    const QString script = writeScript({ QStringLiteral("0\tpartial\t50\t{\"a\":1}"),
                                         QStringLiteral("0\tfinal\t4000000000\t\u4f60\u597d"),
                                         QStringLiteral("0\tfinal\t0\t") });
    qputenv("TOLVANE_SDK_SCRIPT", QFile::encodeName(script));
    QCOMPARE(Recorder::start(), 0);
    QTRY_COMPARE(receiver.received.size(), 3);

    QCOMPARE(receiver.types,
             (QList<QEvent::Type> { PartialResultEvent, FinalResultEvent, FinalResultEvent }));
    QCOMPARE(int(PartialResultEvent), 2264);
    QCOMPARE(int(FinalResultEvent), 2274);
    QCOMPARE(receiver.received.at(0).kind(), RecognitionEvent::Partial);
    QCOMPARE(receiver.received.at(0).score(), 50u);
    QCOMPARE(receiver.received.at(0).text(), QByteArray("{\"a\":1}"));
    QCOMPARE(receiver.received.at(1).kind(), RecognitionEvent::Final);
    QCOMPARE(receiver.received.at(1).score(), 4000000000u);
    QCOMPARE(QString::fromUtf8(receiver.received.at(1).text()), QStringLiteral("\u4f60\u597d"));
    QVERIFY(receiver.received.at(1).hasEntries());
    QCOMPARE(receiver.received.at(2).text(), QByteArray());
}

QTEST_GUILESS_MAIN(tst_SpeechSdk)
#include "tst_speechsdk.moc"
