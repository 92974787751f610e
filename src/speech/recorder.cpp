#include "recorder.h"

#include "speechconfig.h"
#include "speechsdk.h"

#include "app/appstate.h"

int Recorder::start()
{
    const int language = AppState::recognitionLanguage;
    const QByteArray config = SpeechConfig::recordingConfig(language, AppState::voiceHost, AppState::phraseMode);
    AppState::sentenceSeparator = SpeechConfig::sentenceSeparator(language, AppState::pauseMarkChoice);
    return SpeechSdk::instance().recorderStart(config);
}

void Recorder::cancel()
{
    SpeechSdk::instance().recorderCancel();
}
