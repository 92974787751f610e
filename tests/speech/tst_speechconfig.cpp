#include <QCoreApplication>
#include "speech/speechconfig.h"

#include "app/settings.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_SpeechConfig : public QObject
{
    Q_OBJECT

private slots:
    void engineConfig_data();
    void engineConfig();
    void recorderInitConfig_data();
    void recorderInitConfig();
    void playerInitConfig_data();
    void playerInitConfig();
    void recordingConfig_data();
    void recordingConfig();
    void synthesisConfig_data();
    void synthesisConfig();
    void sentenceSeparator_data();
    void sentenceSeparator();
};

void tst_SpeechConfig::engineConfig_data()
{
    QTest::addColumn<QString>("voiceHost");
    QTest::addColumn<QByteArray>("expected");

    const SpeechConfig &c = SpeechConfig::instance();
    const QByteArray tail = ",logfilepath=/opt/t/log,logfilesize=1024,loglevel=5";
    const QByteArray custom = "appKey=" + c.customAppKey() + ",developerKey=" + c.customDeveloperKey() + ",cloudUrl=";
    QTest::newRow("default cloud") << QString()
                                   << QByteArray("appKey=" + c.appKey() + ",developerKey=" + c.developerKey()
                                                 + ",cloudUrl=" + c.cloudEndpoint() + tail);
    QTest::newRow("http prefix removed") << "http://10.0.0.5:8888" << QByteArray(custom + "10.0.0.5:8888" + tail);
    QTest::newRow("capitals kept") << "HTTP://10.0.0.5:8888" << QByteArray(custom + "HTTP://10.0.0.5:8888" + tail);
    QTest::newRow("only the prefix") << "http://" << QByteArray(custom + tail);
}

void tst_SpeechConfig::engineConfig()
{
    QFETCH(QString, voiceHost);
    QFETCH(QByteArray, expected);
    QCOMPARE(SpeechConfig::engineConfig(voiceHost, "/opt/t/log"), expected);
}

void tst_SpeechConfig::recorderInitConfig_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("voiceHost");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("chinese") << 0 << QString() << QByteArray("initCapkeys=asr.cloud.freetalk,dataPath=/d");
    QTest::newRow("uyghur") << 1 << QString() << QByteArray("initCapkeys=asr.cloud.freetalk.uyghur,dataPath=/d");
    QTest::newRow("chinese, own server") << 0 << "h:1" << QByteArray("initCapkeys=asr.cloud.freetalk,dataPath=/d");
    QTest::newRow("uyghur, own server") << 1 << "h:1" << QByteArray("initCapkeys=asr.cloud.freetalk,dataPath=/d");
}

void tst_SpeechConfig::recorderInitConfig()
{
    QFETCH(int, language);
    QFETCH(QString, voiceHost);
    QFETCH(QByteArray, expected);
    QCOMPARE(SpeechConfig::recorderInitConfig(language, voiceHost, "/d"), expected);
}

void tst_SpeechConfig::playerInitConfig_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("voiceHost");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("chinese") << 0 << QString() << QByteArray("initCapkeys=tts.cloud.wangjing,dataPath=/d");
    QTest::newRow("uyghur") << 1 << QString() << QByteArray("initCapkeys=tts.cloud.uyghur,dataPath=/d");
    QTest::newRow("chinese, own server") << 0 << "h:1" << QByteArray("initCapkeys=tts.cloud.synth,dataPath=/d");
    QTest::newRow("uyghur, own server") << 1 << "h:1" << QByteArray("initCapkeys=tts.cloud.synth,dataPath=/d");
}

void tst_SpeechConfig::playerInitConfig()
{
    QFETCH(int, language);
    QFETCH(QString, voiceHost);
    QFETCH(QByteArray, expected);
    QCOMPARE(SpeechConfig::playerInitConfig(language, voiceHost, "/d"), expected);
}

void tst_SpeechConfig::recordingConfig_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("voiceHost");
    QTest::addColumn<bool>("phraseMode");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray phrase = ",realtime=rt,continuous=yes";
    const QByteArray sentence = ",realtime=yes,continuous=yes";
    QTest::newRow("chinese, phrase") << 0 << QString() << true
                                     << QByteArray("domain=common, capkey=asr.cloud.freetalk" + phrase);
    QTest::newRow("chinese, own server")
        << 0 << "h:1" << true
        << QByteArray("domain=common,capkey=asr.cloud.freetalk,property=chinese_16k_common" + phrase);
    QTest::newRow("uyghur, sentence") << 1 << QString() << false
                                      << QByteArray("domain=common,capkey=asr.cloud.freetalk.uyghur" + sentence);
    QTest::newRow("uyghur, own server")
        << 1 << "h:1" << false
        << QByteArray("domain=common,capkey=asr.cloud.freetalk,property=uyghur_16k_common" + sentence);
}

void tst_SpeechConfig::recordingConfig()
{
    QFETCH(int, language);
    QFETCH(QString, voiceHost);
    QFETCH(bool, phraseMode);
    QFETCH(QByteArray, expected);
    QCOMPARE(SpeechConfig::recordingConfig(language, voiceHost, phraseMode), expected);
}

void tst_SpeechConfig::synthesisConfig_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("voiceHost");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("own server, chinese speech")
        << 0 << "h:1" << QByteArray("property=uyghur_uyghur_common,tagmode=none,capkey=tts.cloud.synth");
    QTest::newRow("own server, uyghur speech")
        << 1 << "h:1" << QByteArray("property=cn_wangjing_common,tagmode=none,capkey=tts.cloud.synth");
    QTest::newRow("cloud, chinese speech")
        << 0 << QString() << QByteArray("property=cn_xiaokun_common,tagmode=none,capkey=tts.cloud.uyghur");
    QTest::newRow("cloud, uyghur speech")
        << 1 << QString() << QByteArray("property=cn_xiaokun_common,tagmode=none,capkey=tts.cloud.wangjing");
}

void tst_SpeechConfig::synthesisConfig()
{
    QFETCH(int, language);
    QFETCH(QString, voiceHost);
    QFETCH(QByteArray, expected);
    QCOMPARE(SpeechConfig::synthesisConfig(language, voiceHost), expected);
}

void tst_SpeechConfig::sentenceSeparator_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("pauseMark");
    QTest::addColumn<QString>("expected");
    const QString fullwidthComma(QChar(0xFF0C));
    QTest::newRow("chinese") << 0 << 0 << fullwidthComma;
    QTest::newRow("uyghur, arabic comma") << 1 << 0 << QStringLiteral("\u060C ");
    QTest::newRow("uyghur, blank") << 1 << 1 << QStringLiteral(" ");
}

void tst_SpeechConfig::sentenceSeparator()
{
    QFETCH(int, language);
    QFETCH(int, pauseMark);
    QFETCH(QString, expected);
    QCOMPARE(SpeechConfig::sentenceSeparator(language, pauseMark), expected);
}

QTEST_GUILESS_MAIN(tst_SpeechConfig)
#include "tst_speechconfig.moc"
