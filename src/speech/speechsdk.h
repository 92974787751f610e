#pragma once

#include <QByteArray>
#include <QLibrary>
#include <QList>
#include <QString>
#include <memory>

class QObject;
struct SpeechSdkEntries;

// The speech SDK as the program sees it. The three libraries are loaded at run
// time from one directory, so that a missing or broken SDK only makes the
// speech operations fail. Every operation returns the SDK's code, 0 for
// success; without the library it returns NotLoaded.
class SpeechSdk
{
public:
    enum { NotLoaded = -1 };

    static SpeechSdk &instance();

    // Loads hci_sys, hci_asr_recorder and hci_tts_player from dir, replacing
    // what was loaded before. False when any of them is missing or incomplete.
    bool load(const QString &dir);
    bool isLoaded() const;
    QString loadError() const;
    // Stops capture and playback and lets the libraries go (for tests).
    void unload();

    int init(const QByteArray &config);
    QByteArray errorInfo(int code) const;
    void release();
    // The capability keys of type; the SDK's list is freed before returning.
    int capabilityList(const QByteArray &type, QList<QByteArray> *keys);

    // Results of the recognition handlers are posted to receiver as
    // RecognitionEvents; receiver must outlive the capture.
    int recorderInit(const QByteArray &config, QObject *receiver);
    int recorderStart(const QByteArray &config);
    void recorderCancel();

    int playerInit(const QByteArray &config);
    int playerSpeak(const QByteArray &utf8Text, const QByteArray &config);
    void playerStop();

    // The last player event as recorded by the player's event handler.
    static int playState();
    static void setPlayState(int state);
    // The play state after a player event with code eventCode.
    static int playStateAfter(int eventCode, int current);

private:
    SpeechSdk();
    ~SpeechSdk();
    void clearEntries();

    QLibrary sysLibrary;
    QLibrary recorderLibrary;
    QLibrary playerLibrary;
    QString error;
    std::unique_ptr<SpeechSdkEntries> entries;
};
