#include "standinprobe.h"

#include "speech/readaloud.h"
#include "speech/speechconfig.h"
#include "speech/speechsdk.h"

#include "documents/mdichild.h"

#include "app/appstate.h"

#include <QListView>
#include <QtTest>
#include <memory>

class tst_ReadAloud : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readsOnFromCurrentRow();
    void startsAtRowZeroWithoutCurrentRow();
    void lastTranslationIsReadOnce();
    void nothingToRead_data();
    void nothingToRead();
    void selectionDoesNotSteer();
    void stopEndsReading();
    void voiceFollowsLanguage_data();
    void voiceFollowsLanguage();

private:
    int currentRow() const { return doc->translationView->currentIndex().row(); }
    void selectRow(int row) { doc->translationView->setCurrentIndex(doc->translationModel->index(row)); }

    StandinProbe probe;
    std::unique_ptr<MdiChild> doc;
    ReadAloud readAloud;
    const QStringList translations { QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three") };
};

void tst_ReadAloud::initTestCase()
{
    qputenv("TOLVANE_SDK_AUDIO", "none");
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.01");
    QVERIFY(probe.load());
    SpeechSdk &sdk = SpeechSdk::instance();
    QVERIFY2(sdk.load(QCoreApplication::applicationDirPath()), qPrintable(sdk.loadError()));
    QCOMPARE(sdk.init("appKey=1"), 0);
    QCOMPARE(sdk.playerInit("initCapkeys=tts.cloud.wangjing,dataPath=/nowhere"), 0);
}

void tst_ReadAloud::init()
{
    AppState::recognitionLanguage = 1;
    AppState::voiceHost.clear();
    readAloud = ReadAloud();
    doc = std::make_unique<MdiChild>(nullptr);
    doc->newFile();
    // Row 3 still waits for its first translation: reading ends before it.
    doc->setItems({ "a", "b", "c", "d" }, translations);
    SpeechSdk::setPlayState(0);
}

void tst_ReadAloud::cleanup()
{
    readAloud.stop();
    QTRY_COMPARE(probe.playerSpeaking(), 0);
    doc.reset();
}

void tst_ReadAloud::readsOnFromCurrentRow()
{
    doc->setItems({ "a", "b", "c", "d" }, translations + QStringList { QStringLiteral("four") });
    selectRow(1);
    QVERIFY(readAloud.start(doc->translationView));
    QCOMPARE(readAloud.playIndex(), 1);
    QCOMPARE(probe.playerText(), QByteArray("two"));
    QCOMPARE(currentRow(), 1);

    QTRY_COMPARE(SpeechSdk::playState(), 9);
    readAloud.tick(doc->translationView);
    QCOMPARE(readAloud.playIndex(), 2);
    QCOMPARE(currentRow(), 2);
    QCOMPARE(probe.playerText(), QByteArray("three"));
    // A tick before the player has said "started" for this row is no sign that it ended.
    readAloud.tick(doc->translationView);
    QCOMPARE(readAloud.playIndex(), 2);
    QCOMPARE(probe.playerText(), QByteArray("three"));
}

void tst_ReadAloud::startsAtRowZeroWithoutCurrentRow()
{
    QCOMPARE(currentRow(), -1);
    QVERIFY(readAloud.start(doc->translationView));
    QCOMPARE(readAloud.playIndex(), 0);
    QCOMPARE(currentRow(), 0);
    QCOMPARE(probe.playerText(), QByteArray("one"));
}

void tst_ReadAloud::lastTranslationIsReadOnce()
{
    selectRow(2);
    QVERIFY(readAloud.start(doc->translationView));
    QCOMPARE(probe.playerText(), QByteArray("three"));
    QTRY_COMPARE(SpeechSdk::playState(), 9);
    QTRY_COMPARE(probe.playerSpeaking(), 0);

    readAloud.tick(doc->translationView);
    readAloud.tick(doc->translationView);
    QCOMPARE(readAloud.playIndex(), 2);
    QCOMPARE(probe.playerSpeaking(), 0);
    QCOMPARE(SpeechSdk::playState(), 9);
}

void tst_ReadAloud::nothingToRead_data()
{
    QTest::addColumn<bool>("withDocument");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("no document") << false << QStringList { "x" };
    QTest::newRow("empty list") << true << QStringList();
}

void tst_ReadAloud::nothingToRead()
{
    QFETCH(bool, withDocument);
    QFETCH(QStringList, items);
    doc->setItems(items, items);
    SpeechSdk::setPlayState(4);
    QVERIFY(!readAloud.start(withDocument ? doc->translationView : nullptr));
    QCOMPARE(readAloud.playIndex(), 0);
    QCOMPARE(probe.playerSpeaking(), 0);
    QCOMPARE(SpeechSdk::playState(), 4);
}

void tst_ReadAloud::selectionDoesNotSteer()
{
    QVERIFY(readAloud.start(doc->translationView));
    selectRow(2);
    QTRY_COMPARE(SpeechSdk::playState(), 9);
    readAloud.tick(doc->translationView);
    QCOMPARE(readAloud.playIndex(), 1);
    QCOMPARE(probe.playerText(), QByteArray("two"));
    QCOMPARE(currentRow(), 1);
}

void tst_ReadAloud::stopEndsReading()
{
    // Long enough to be still speaking when stopped.
    doc->setItems({ "a", "b" }, { QString(QStringLiteral("a long sentence to read, ")).repeated(40), "next" });
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "1");
    QVERIFY(readAloud.start(doc->translationView));
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.01");
    QTRY_COMPARE(probe.playerSpeaking(), 1);

    readAloud.stop();
    QTRY_COMPARE(probe.playerSpeaking(), 0);
    // The player reports the stop, which is not the end of the text: no tick reads on.
    QTRY_COMPARE(SpeechSdk::playState(), 10);
    readAloud.tick(doc->translationView);
    QCOMPARE(readAloud.playIndex(), 0);
    QVERIFY(probe.playerText().startsWith("a long sentence"));
}

void tst_ReadAloud::voiceFollowsLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("voiceHost");
    QTest::newRow("chinese speech, cloud") << 0 << QString();
    QTest::newRow("uyghur speech, cloud") << 1 << QString();
}

void tst_ReadAloud::voiceFollowsLanguage()
{
    QFETCH(int, language);
    QFETCH(QString, voiceHost);
    AppState::recognitionLanguage = language;
    AppState::voiceHost = voiceHost;
    QVERIFY(readAloud.start(doc->translationView));
    QCOMPARE(probe.playerConfig(), SpeechConfig::synthesisConfig(language, voiceHost));
    QTRY_COMPARE(SpeechSdk::playState(), 9);
    readAloud.tick(doc->translationView);
    QCOMPARE(probe.playerText(), QByteArray("two"));
    QCOMPARE(probe.playerConfig(), SpeechConfig::synthesisConfig(language, voiceHost));
}

QTEST_MAIN(tst_ReadAloud)
#include "tst_readaloud.moc"
