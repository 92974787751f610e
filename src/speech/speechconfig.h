#pragma once

#include <QByteArray>
#include <QString>

// The fixed keys and paths the speech SDK is opened with, and the configuration
// strings built from them. One instance, made on first use and never destroyed;
// every value is handed out as a copy.
class SpeechConfig
{
public:
    static const SpeechConfig &instance();

    QByteArray appKey() const { return appKeyText; }
    QByteArray developerKey() const { return developerKeyText; }
    QByteArray cloudEndpoint() const { return cloudEndpointText; }
    // Keys for a speech server of our own (a non-empty voiceHost).
    QByteArray customAppKey() const { return customAppKeyText; }
    QByteArray customDeveloperKey() const { return customDeveloperKeyText; }

    QByteArray chineseRecognitionKey() const { return chineseRecognitionKeyText; }
    QByteArray uyghurRecognitionKey() const { return uyghurRecognitionKeyText; }
    QByteArray chineseSynthesisKey() const { return chineseSynthesisKeyText; }
    QByteArray uyghurSynthesisKey() const { return uyghurSynthesisKeyText; }
    QByteArray customSynthesisKey() const { return customSynthesisKeyText; }

    // The program directory followed by "/data" and "/log".
    QByteArray dataPath() const;
    QByteArray logPath() const;

    // voiceHost with every "http://" removed (case-sensitive).
    static QString shortenedHost(const QString &voiceHost);

    // The configuration strings. voiceHost is the text as stored; the engine
    // configuration chooses its keys by the text before shortening.
    static QByteArray engineConfig(const QString &voiceHost, const QByteArray &logPath);
    static QByteArray recorderInitConfig(int language, const QString &voiceHost, const QByteArray &dataPath);
    static QByteArray playerInitConfig(int language, const QString &voiceHost, const QByteArray &dataPath);
    static QByteArray recordingConfig(int language, const QString &voiceHost, bool phraseMode);
    static QByteArray synthesisConfig(int language, const QString &voiceHost);
    static QString sentenceSeparator(int language, int pauseMarkChoice);

private:
    SpeechConfig();

    const QByteArray appKeyText;
    const QByteArray developerKeyText;
    const QByteArray cloudEndpointText;
    const QByteArray customAppKeyText;
    const QByteArray customDeveloperKeyText;
    const QByteArray chineseRecognitionKeyText;
    const QByteArray uyghurRecognitionKeyText;
    const QByteArray chineseSynthesisKeyText;
    const QByteArray uyghurSynthesisKeyText;
    const QByteArray customSynthesisKeyText;
};
