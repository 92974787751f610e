#include "speechconfig.h"

#include <QCoreApplication>

#include "app/settings.h"

namespace {
const char ChineseRecognitionKey[] = "asr.cloud.freetalk";
const char UyghurRecognitionKey[] = "asr.cloud.freetalk.uyghur";
const char ChineseSynthesisKey[] = "tts.cloud.wangjing";
const char UyghurSynthesisKey[] = "tts.cloud.uyghur";
const char CustomSynthesisKey[] = "tts.cloud.synth";
}

SpeechConfig::SpeechConfig()
    : appKeyText("5a7c31e0")
    , developerKeyText("8c1f0e6a4b2d9735c0a1e8f46b3d2c59")
    , cloudEndpointText("api.speechcloud.example.com:8888")
    , customAppKeyText("3d94b6f2")
    , customDeveloperKeyText("developer_key")
    , chineseRecognitionKeyText(ChineseRecognitionKey)
    , uyghurRecognitionKeyText(UyghurRecognitionKey)
    , chineseSynthesisKeyText(ChineseSynthesisKey)
    , uyghurSynthesisKeyText(UyghurSynthesisKey)
    , customSynthesisKeyText(CustomSynthesisKey)
{
}

const SpeechConfig &SpeechConfig::instance()
{
    // Never destroyed: SDK threads may still read it while the program exits.
    static const SpeechConfig *config = new SpeechConfig;
    return *config;
}

QByteArray SpeechConfig::dataPath() const
{
    return QCoreApplication::applicationDirPath().toUtf8() + "/data";
}

QByteArray SpeechConfig::logPath() const
{
    return QCoreApplication::applicationDirPath().toUtf8() + "/log";
}

QString SpeechConfig::shortenedHost(const QString &voiceHost)
{
    QString host = voiceHost;
    host.remove(QStringLiteral("http://"), Qt::CaseSensitive);
    return host;
}

QByteArray SpeechConfig::engineConfig(const QString &voiceHost, const QByteArray &logPath)
{
    const SpeechConfig &c = instance();
    QByteArray config;
    if (!voiceHost.isEmpty()) {
        config = "appKey=" + c.customAppKey() + ",developerKey=" + c.customDeveloperKey()
            + ",cloudUrl=" + shortenedHost(voiceHost).toUtf8();
    } else {
        config = "appKey=" + c.appKey() + ",developerKey=" + c.developerKey()
            + ",cloudUrl=" + c.cloudEndpoint();
    }
    return config + ",logfilepath=" + logPath + ",logfilesize=1024,loglevel=5";
}

QByteArray SpeechConfig::recorderInitConfig(int language, const QString &voiceHost, const QByteArray &dataPath)
{
    const SpeechConfig &c = instance();
    const QByteArray key = language == 1 && voiceHost.isEmpty() ? c.uyghurRecognitionKey()
                                                                : c.chineseRecognitionKey();
    return "initCapkeys=" + key + ",dataPath=" + dataPath;
}

QByteArray SpeechConfig::playerInitConfig(int language, const QString &voiceHost, const QByteArray &dataPath)
{
    const SpeechConfig &c = instance();
    QByteArray key;
    if (!voiceHost.isEmpty())
        key = c.customSynthesisKey();
    else
        key = language == 1 ? c.uyghurSynthesisKey() : c.chineseSynthesisKey();
    return "initCapkeys=" + key + ",dataPath=" + dataPath;
}

QByteArray SpeechConfig::recordingConfig(int language, const QString &voiceHost, bool phraseMode)
{
    const SpeechConfig &c = instance();
    QByteArray config;
    if (language == 0) {
        // The blank after the comma is what the cloud service has always been sent.
        if (voiceHost.isEmpty())
            config = "domain=common, capkey=" + c.chineseRecognitionKey();
        else
            config = "domain=common,capkey=" + c.chineseRecognitionKey() + ",property=chinese_16k_common";
    } else if (language == 1) {
        if (voiceHost.isEmpty())
            config = "domain=common,capkey=" + c.uyghurRecognitionKey();
        else
            config = "domain=common,capkey=" + c.chineseRecognitionKey() + ",property=uyghur_16k_common";
    } else {
        config = "capkey=" + c.chineseRecognitionKey();
    }
    return config + (phraseMode ? ",realtime=rt,continuous=yes" : ",realtime=yes,continuous=yes");
}

QByteArray SpeechConfig::synthesisConfig(int language, const QString &voiceHost)
{
    const SpeechConfig &c = instance();
    if (!voiceHost.isEmpty()) {
        // Chinese speech is translated into Uyghur, so the Uyghur voice reads it.
        const QByteArray property = language == 0 ? "uyghur_uyghur_common" : "cn_wangjing_common";
        return "property=" + property + ",tagmode=none,capkey=" + c.customSynthesisKey();
    }
    const QByteArray key = language == 0 ? c.uyghurSynthesisKey() : c.chineseSynthesisKey();
    return "property=cn_xiaokun_common,tagmode=none,capkey=" + key;
}

QString SpeechConfig::sentenceSeparator(int language, int pauseMarkChoice)
{
    if (language == 1)
        return pauseMarkChoice == 0 ? QStringLiteral("\u060C ") : QStringLiteral(" ");
    return QString(QChar(0xFF0C));
}
