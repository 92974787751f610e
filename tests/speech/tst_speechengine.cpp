#include "standinprobe.h"

#include "speech/speechconfig.h"
#include "speech/speechengine.h"
#include "speech/speechsdk.h"

#include "app/appstate.h"
#include "app/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class tst_SpeechEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void setUpConfigures_data();
    void setUpConfigures();
    void setUpReadsTranslationHosts();
    void failures_data();
    void failures();
    void missingLibrary();
    void incompleteLibrary();
    void capability_data();
    void capability();

private:
    bool runSetUp();

    StandinProbe probe;
    std::unique_ptr<QTemporaryDir> programDir;
    QStringList reports;
    QObject receiver;
};

static const char *const FailureVariables[] = { "TOLVANE_SDK_FAIL_HCI_INIT", "TOLVANE_SDK_FAIL_RECORDER_INIT",
                                                "TOLVANE_SDK_FAIL_PLAYER_INIT" };

void tst_SpeechEngine::initTestCase()
{
    qputenv("TOLVANE_SDK_AUDIO", "none");
    QVERIFY(probe.load());
}

void tst_SpeechEngine::init()
{
    for (const char *variable : FailureVariables)
        qunsetenv(variable);
    // A fresh program directory per test: its path shows up in every
    // configuration, so a configuration from an earlier test cannot pass.
    programDir = std::make_unique<QTemporaryDir>();
    QVERIFY(programDir->isValid());
    Settings::setProgramDir(programDir->path());
    QVERIFY2(SpeechSdk::instance().isLoaded() || SpeechSdk::instance().load(QCoreApplication::applicationDirPath()),
             qPrintable(SpeechSdk::instance().loadError()));
    SpeechSdk::instance().release();
    // Mark the stand-in's remembered configurations, so that a set-up that never
    // reaches the recorder or the player cannot pass on an earlier test's value.
    SpeechSdk::instance().recorderInit("initCapkeys=unset", &receiver);
    SpeechSdk::instance().playerInit("initCapkeys=unset");
    reports.clear();
    AppState::recognitionLanguage = 0;
    AppState::voiceHost = QStringLiteral("left over");
    AppState::translateHostWW = QStringLiteral("left over");
    AppState::translateHostCN = QStringLiteral("left over");
}

void tst_SpeechEngine::cleanup()
{
    for (const char *variable : FailureVariables)
        qunsetenv(variable);
    Settings::setProgramDir(QString());
}

bool tst_SpeechEngine::runSetUp()
{
    return SpeechEngine::setUp(&receiver, [this](const QString &message) { reports.append(message); });
}

void tst_SpeechEngine::setUpConfigures_data()
{
    QTest::addColumn<bool>("writeHost");
    QTest::addColumn<QString>("voiceHost");
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("customEngine");
    QTest::addColumn<QString>("cloudUrl");
    QTest::addColumn<QString>("recorderKey");
    QTest::addColumn<QString>("playerKey");
    QTest::addColumn<QString>("sharedHost");

    QTest::newRow("empty settings file") << false << QString() << 0 << false << QString()
                                         << "asr.cloud.freetalk" << "tts.cloud.wangjing" << QString();
    QTest::newRow("uyghur, default cloud") << false << QString() << 1 << false << QString()
                                           << "asr.cloud.freetalk.uyghur" << "tts.cloud.uyghur" << QString();
    QTest::newRow("own server, http prefix")
        << true << "http://10.1.2.3:8888" << 1 << true << "10.1.2.3:8888" << "asr.cloud.freetalk"
        << "tts.cloud.synth" << "10.1.2.3:8888";
}

void tst_SpeechEngine::setUpConfigures()
{
    QFETCH(bool, writeHost);
    QFETCH(QString, voiceHost);
    QFETCH(int, language);
    QFETCH(bool, customEngine);
    QFETCH(QString, cloudUrl);
    QFETCH(QString, recorderKey);
    QFETCH(QString, playerKey);
    QFETCH(QString, sharedHost);

    if (writeHost)
        Settings::write(SettingsKeys::VoiceHost, voiceHost, Settings::mainPath());
    AppState::recognitionLanguage = language;

    QVERIFY(runSetUp());
    QCOMPARE(reports, QStringList());
    QCOMPARE(AppState::voiceHost, sharedHost);

    const SpeechConfig &c = SpeechConfig::instance();
    const QByteArray keys = customEngine
        ? "appKey=" + c.customAppKey() + ",developerKey=" + c.customDeveloperKey() + ",cloudUrl=" + cloudUrl.toUtf8()
        : "appKey=" + c.appKey() + ",developerKey=" + c.developerKey() + ",cloudUrl=" + c.cloudEndpoint();
    // The SDK's data and log folders lie beside the executable, wherever the settings are.
    const QByteArray dir = QCoreApplication::applicationDirPath().toUtf8();
    QCOMPARE(probe.sysLastConfig(), keys + ",logfilepath=" + dir + "/log,logfilesize=1024,loglevel=5");
    QCOMPARE(probe.recorderInitConfig(), "initCapkeys=" + recorderKey.toUtf8() + ",dataPath=" + dir + "/data");
    QCOMPARE(probe.playerInitConfig(), "initCapkeys=" + playerKey.toUtf8() + ",dataPath=" + dir + "/data");
    QCOMPARE(probe.sysInitialised(), 1);
    QCOMPARE(SpeechEngine::capabilityLocal, 0);
    QCOMPARE(SpeechEngine::capabilityKind, 0);
}

void tst_SpeechEngine::setUpReadsTranslationHosts()
{
    Settings::write(SettingsKeys::VoiceHost, QStringLiteral("main:1"), Settings::mainPath());
    // Under the English interface the hosts come from the file in use, and what
    // it lacks from the Chinese file.
    AppState::settingsPath = programDir->path() + QStringLiteral("/Tolvaneen.ini");
    Settings::write(SettingsKeys::TranslateHostWW, QStringLiteral("http://ww.example:81"));
    Settings::write(SettingsKeys::TranslateHostCN, QStringLiteral("\u4e2d.example:82"));

    QVERIFY(runSetUp());
    AppState::settingsPath.clear();
    QCOMPARE(AppState::translateHostWW, QStringLiteral("http://ww.example:81"));
    QCOMPARE(AppState::translateHostCN, QStringLiteral("\u4e2d.example:82"));
    QCOMPARE(AppState::voiceHost, QStringLiteral("main:1"));
}

void tst_SpeechEngine::failures_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QStringList>("expectedReports");
    QTest::addColumn<bool>("expectedResult");
    QTest::addColumn<bool>("recorderTried");
    QTest::addColumn<bool>("playerTried");
    QTest::addColumn<int>("engineOpen");

    QTest::newRow("engine") << QByteArray("TOLVANE_SDK_FAIL_HCI_INIT=2")
                            << QStringList { QStringLiteral("hci_init return (2:Invalid configuration string)\n") }
                            << false << false << false << 0;
    QTest::newRow("recorder") << QByteArray("TOLVANE_SDK_FAIL_RECORDER_INIT=7")
                              << QStringList { QStringLiteral("Recorder init failed,error:7") } << true << true
                              << true << 1;
    QTest::newRow("player") << QByteArray("TOLVANE_SDK_FAIL_PLAYER_INIT=12")
                            << QStringList { QStringLiteral("TTS init failed,error:12") } << false << true << true
                            << 0;
}

void tst_SpeechEngine::failures()
{
    QFETCH(QByteArray, variable);
    QFETCH(QStringList, expectedReports);
    QFETCH(bool, expectedResult);
    QFETCH(bool, recorderTried);
    QFETCH(bool, playerTried);
    QFETCH(int, engineOpen);

    qputenv(variable.split('=').at(0).constData(), variable.split('=').at(1));
    QCOMPARE(runSetUp(), expectedResult);
    QCOMPARE(reports, expectedReports);

    const QByteArray dataPath = QCoreApplication::applicationDirPath().toUtf8() + "/data";
    QCOMPARE(probe.recorderInitConfig().endsWith(dataPath), recorderTried);
    QCOMPARE(probe.playerInitConfig().endsWith(dataPath), playerTried);
    QCOMPARE(probe.sysInitialised(), engineOpen);
}

void tst_SpeechEngine::missingLibrary()
{
    SpeechSdk::instance().unload();
    QVERIFY(!SpeechSdk::instance().isLoaded());

    // The folder holds no SDK: set-up loads from there and fails like hci_init.
    SpeechEngine::libraryDir = programDir->path();
    const bool ready = runSetUp();
    SpeechEngine::libraryDir.clear();
    QVERIFY(!ready);
    QCOMPARE(reports.size(), 1);
    const QString prefix = QStringLiteral("hci_init return (%1:").arg(int(SpeechSdk::NotLoaded));
    QVERIFY2(reports.first().startsWith(prefix), qPrintable(reports.first()));
    QVERIFY2(reports.first().contains(QLatin1String("hci_sys")), qPrintable(reports.first()));
    QVERIFY(reports.first().endsWith(QLatin1String(")\n")));
    QCOMPARE(SpeechSdk::instance().recorderStart("capkey=asr.cloud.freetalk"), int(SpeechSdk::NotLoaded));
    QCOMPARE(SpeechSdk::instance().playerSpeak("x", "capkey=tts.cloud.synth"), int(SpeechSdk::NotLoaded));
}

void tst_SpeechEngine::incompleteLibrary()
{
    // A player library without the player's entry point is refused as a whole.
    const QString dir = programDir->path();
    QVERIFY(QFile::copy(StandinProbe::path("libhci_sys.so"), dir + QStringLiteral("/libhci_sys.so")));
    QVERIFY(QFile::copy(StandinProbe::path("libhci_asr_recorder.so"), dir + QStringLiteral("/libhci_asr_recorder.so")));
    QVERIFY(QFile::copy(StandinProbe::path("libhci_sys.so"), dir + QStringLiteral("/libhci_tts_player.so")));

    QVERIFY(!SpeechSdk::instance().load(dir));
    QVERIFY(!SpeechSdk::instance().isLoaded());
    QVERIFY2(SpeechSdk::instance().loadError().contains(QLatin1String("hci_tts_player_entry")),
             qPrintable(SpeechSdk::instance().loadError()));
    QCOMPARE(SpeechSdk::instance().init("appKey=1"), int(SpeechSdk::NotLoaded));
}

void tst_SpeechEngine::capability_data()
{
    QTest::addColumn<QList<QByteArray>>("keys");
    QTest::addColumn<int>("local");
    QTest::addColumn<int>("kind");
    using Keys = QList<QByteArray>;
    QTest::newRow("no list") << Keys() << -1 << -1;
    QTest::newRow("cloud free talk") << Keys { "asr.cloud.grammar", "asr.cloud.freetalk" } << 0 << 0;
    QTest::newRow("only uyghur") << Keys { "asr.cloud.freetalk.uyghur" } << -1 << -1;
}

void tst_SpeechEngine::capability()
{
    QFETCH(QList<QByteArray>, keys);
    QFETCH(int, local);
    QFETCH(int, kind);
    int foundLocal = 5;
    int foundKind = 5;
    SpeechEngine::classifyCapability(keys, &foundLocal, &foundKind);
    QCOMPARE(foundLocal, local);
    QCOMPARE(foundKind, kind);
}

QTEST_GUILESS_MAIN(tst_SpeechEngine)
#include "tst_speechengine.moc"
