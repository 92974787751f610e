#include "speechengine.h"

#include <QCoreApplication>

#include "speechconfig.h"
#include "speechsdk.h"

#include "app/appstate.h"
#include "app/settings.h"

bool SpeechEngine::setUp(QObject *receiver, const Report &report)
{
    // The settings file in use: hosts set under the English interface count too.
    const QString voiceHost = Settings::readString(SettingsKeys::VoiceHost, QString());
    AppState::translateHostWW = Settings::readString(SettingsKeys::TranslateHostWW, QString());
    AppState::translateHostCN = Settings::readString(SettingsKeys::TranslateHostCN, QString());

    const SpeechConfig &config = SpeechConfig::instance();
    const QByteArray engineConfig = SpeechConfig::engineConfig(voiceHost, config.logPath());
    AppState::voiceHost = SpeechConfig::shortenedHost(voiceHost);

    SpeechSdk &sdk = SpeechSdk::instance();
    if (!sdk.isLoaded())
        sdk.load(libraryDir.isEmpty() ? QCoreApplication::applicationDirPath() : libraryDir);

    const int initCode = sdk.init(engineConfig);
    if (initCode != 0) {
        report(QString::asprintf("hci_init return (%d:%s)\n", initCode, sdk.errorInfo(initCode).constData()));
        return false;
    }

    QList<QByteArray> keys;
    if (sdk.capabilityList("asr", &keys) != 0)
        keys.clear();
    classifyCapability(keys, &capabilityLocal, &capabilityKind);

    const int language = AppState::recognitionLanguage;
    const int recorderCode = sdk.recorderInit(
        SpeechConfig::recorderInitConfig(language, AppState::voiceHost, config.dataPath()), receiver);
    if (recorderCode != 0)
        report(QString::asprintf("Recorder init failed,error:%d", recorderCode));

    const int playerCode
        = sdk.playerInit(SpeechConfig::playerInitConfig(language, AppState::voiceHost, config.dataPath()));
    if (playerCode != 0) {
        sdk.release();
        report(QString::asprintf("TTS init failed,error:%d", playerCode));
        return false;
    }
    return true;
}

void SpeechEngine::classifyCapability(const QList<QByteArray> &keys, int *local, int *kind)
{
    *local = -1;
    *kind = -1;
    const QByteArray wanted = SpeechConfig::instance().chineseRecognitionKey();
    for (const QByteArray &key : keys) {
        if (key.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        *local = key.contains("cloud") ? 0 : 1;
        if (key.contains("freetalk"))
            *kind = 0;
        else
            *kind = key.contains("grammar") ? 0 : -1;
        return;
    }
}
