#include "speechsdk.h"

#include "playerevents.h"
#include "recognitionevent.h"

#include "hci_sdk.h"

#include <QCoreApplication>
#include <QDir>
#include <QObject>
#include <atomic>

struct SpeechSdkEntries
{
    decltype(&hci_init) init = nullptr;
    decltype(&hci_get_error_info) errorInfo = nullptr;
    decltype(&hci_release) release = nullptr;
    decltype(&hci_get_capability_list) capabilityList = nullptr;
    decltype(&hci_free_capability_list) freeCapabilityList = nullptr;
    decltype(&hci_asr_recorder_init) recorderInit = nullptr;
    decltype(&hci_asr_recorder_start) recorderStart = nullptr;
    decltype(&hci_asr_recorder_cancel) recorderCancel = nullptr;
    HciPlayerInit playerInit = nullptr;
    HciPlayerSpeak playerSpeak = nullptr;
    HciPlayerStop playerStop = nullptr;
    // The SDK may keep pointers to the handler records, so they live here.
    RECORDER_CALLBACK_PARAM recorderHandlers {};
    PLAYER_CALLBACK_PARAM playerHandlers {};
};

namespace {

std::atomic<int> currentPlayState { 0 };

void ignoreState(int, void *) {}
void ignoreTwoValues(int, int, void *) {}
void ignoreThreeValues(int, int, int, void *) {}

void postResult(RecognitionEvent::Kind kind, const ASR_RECOG_RESULT *record, void *context)
{
    const bool hasEntries = record && record->psResultItemList && record->uiResultItemCount > 0;
    quint32 score = 0;
    QByteArray text;
    if (hasEntries) {
        const ASR_RECOG_RESULT_ITEM &first = record->psResultItemList[0];
        score = first.uiScore;
        text = QByteArray(first.pszResult ? first.pszResult : "");
    }
    QCoreApplication::postEvent(static_cast<QObject *>(context),
                                new RecognitionEvent(kind, hasEntries, score, text));
}

void onRecognitionFinished(int, ASR_RECOG_RESULT *record, void *context)
{
    postResult(RecognitionEvent::Final, record, context);
}

void onRecognitionProgress(int, ASR_RECOG_RESULT *record, void *context)
{
    postResult(RecognitionEvent::Partial, record, context);
}

// False for the events that leave the play state as it is.
bool mappedPlayState(int eventCode, int *state)
{
    switch (eventCode) {
    case 0:
        *state = 0;
        return true;
    case PLAYER_EVENT_BEGIN:
        *state = 2;
        return true;
    case PLAYER_EVENT_END:
        *state = 9;
        return true;
    case PLAYER_EVENT_STOP:
        *state = 10;
        return true;
    case PLAYER_EVENT_ENGINE_ERROR:
        *state = 11;
        return true;
    default:
        return false;
    }
}

void onPlayerEvent(int eventCode, void *)
{
    int state = 0;
    if (!mappedPlayState(eventCode, &state))
        return;
    currentPlayState.store(state);
    emit PlayerEvents::instance().stateChanged(state);
}

template<typename T>
T resolve(QLibrary &library, const char *name, QString *missing)
{
    QFunctionPointer f = library.resolve(name);
    if (!f)
        *missing += QLatin1Char(' ') + QLatin1String(name);
    return reinterpret_cast<T>(f);
}

}

SpeechSdk::SpeechSdk()
    : entries(std::make_unique<SpeechSdkEntries>())
{
}

SpeechSdk::~SpeechSdk() = default;

SpeechSdk &SpeechSdk::instance()
{
    // Never destroyed: SDK threads may outlive the application object.
    static SpeechSdk *sdk = new SpeechSdk;
    return *sdk;
}

bool SpeechSdk::load(const QString &dir)
{
    unload();
    error.clear();
    const QDir base(dir);
    sysLibrary.setFileName(base.filePath(QStringLiteral("hci_sys")));
    recorderLibrary.setFileName(base.filePath(QStringLiteral("hci_asr_recorder")));
    playerLibrary.setFileName(base.filePath(QStringLiteral("hci_tts_player")));

    for (QLibrary *library : { &sysLibrary, &recorderLibrary, &playerLibrary }) {
        if (!library->load()) {
            error = library->errorString();
            unload();
            return false;
        }
    }

    QString missing;
    SpeechSdkEntries &e = *entries;
    e.init = resolve<decltype(e.init)>(sysLibrary, "hci_init", &missing);
    e.errorInfo = resolve<decltype(e.errorInfo)>(sysLibrary, "hci_get_error_info", &missing);
    e.release = resolve<decltype(e.release)>(sysLibrary, "hci_release", &missing);
    e.capabilityList = resolve<decltype(e.capabilityList)>(sysLibrary, "hci_get_capability_list", &missing);
    e.freeCapabilityList
        = resolve<decltype(e.freeCapabilityList)>(sysLibrary, "hci_free_capability_list", &missing);
    e.recorderInit = resolve<decltype(e.recorderInit)>(recorderLibrary, "hci_asr_recorder_init", &missing);
    e.recorderStart = resolve<decltype(e.recorderStart)>(recorderLibrary, "hci_asr_recorder_start", &missing);
    e.recorderCancel = resolve<decltype(e.recorderCancel)>(recorderLibrary, "hci_asr_recorder_cancel", &missing);

    using PlayerEntry = void *(*)(unsigned int);
    const auto playerEntry = resolve<PlayerEntry>(playerLibrary, "hci_tts_player_entry", &missing);
    if (playerEntry) {
        e.playerInit = reinterpret_cast<HciPlayerInit>(playerEntry(HCI_TTS_PLAYER_ORDINAL_INIT));
        e.playerSpeak = reinterpret_cast<HciPlayerSpeak>(playerEntry(HCI_TTS_PLAYER_ORDINAL_SPEAK));
        e.playerStop = reinterpret_cast<HciPlayerStop>(playerEntry(HCI_TTS_PLAYER_ORDINAL_STOP));
        if (!e.playerInit || !e.playerSpeak || !e.playerStop)
            missing += QStringLiteral(" hci_tts_player ordinals 1, 4, 7");
    }

    if (!missing.isEmpty()) {
        error = QStringLiteral("speech SDK in %1 lacks%2").arg(QDir::toNativeSeparators(dir), missing);
        unload();
        return false;
    }
    return true;
}

bool SpeechSdk::isLoaded() const
{
    return entries->init != nullptr;
}

QString SpeechSdk::loadError() const
{
    return error;
}

void SpeechSdk::clearEntries()
{
    *entries = SpeechSdkEntries();
}

void SpeechSdk::unload()
{
    // No SDK thread may run code of a library that goes away.
    recorderCancel();
    playerStop();
    clearEntries();
    playerLibrary.unload();
    recorderLibrary.unload();
    sysLibrary.unload();
}

int SpeechSdk::init(const QByteArray &config)
{
    return entries->init ? entries->init(config.constData()) : NotLoaded;
}

QByteArray SpeechSdk::errorInfo(int code) const
{
    if (code == NotLoaded || !entries->errorInfo)
        return "speech SDK not loaded: " + error.toUtf8();
    const char *text = entries->errorInfo(code);
    return QByteArray(text ? text : "");
}

void SpeechSdk::release()
{
    if (entries->release)
        entries->release();
}

int SpeechSdk::capabilityList(const QByteArray &type, QList<QByteArray> *keys)
{
    keys->clear();
    if (!entries->capabilityList)
        return NotLoaded;
    CAPABILITY_LIST list {};
    const int code = entries->capabilityList(type.constData(), &list);
    if (code != 0)
        return code;
    for (uint32_t i = 0; i < list.uiItemCount; ++i)
        keys->append(QByteArray(list.pEntryList[i] ? list.pEntryList[i] : ""));
    entries->freeCapabilityList(&list);
    return 0;
}

int SpeechSdk::recorderInit(const QByteArray &config, QObject *receiver)
{
    if (!entries->recorderInit)
        return NotLoaded;
    RECORDER_CALLBACK_PARAM &h = entries->recorderHandlers;
    h.pfnStateChange = ignoreState;
    h.pvStateChangeUsrParam = receiver;
    h.pfnVolume = ignoreTwoValues;
    h.pvVolumeUsrParam = receiver;
    h.pfnRecogFinish = onRecognitionFinished;
    h.pvRecogFinishUsrParam = receiver;
    h.pfnError = ignoreTwoValues;
    h.pvErrorUsrParam = receiver;
    h.pfnRecogProcess = onRecognitionProgress;
    h.pvRecogProcessUsrParam = receiver;
    return entries->recorderInit(config.constData(), &h);
}

int SpeechSdk::recorderStart(const QByteArray &config)
{
    return entries->recorderStart ? entries->recorderStart(config.constData(), "") : NotLoaded;
}

void SpeechSdk::recorderCancel()
{
    if (entries->recorderCancel)
        entries->recorderCancel();
}

int SpeechSdk::playerInit(const QByteArray &config)
{
    if (!entries->playerInit)
        return NotLoaded;
    PlayerEvents::instance(); // made here, on the GUI thread, before any event
    PLAYER_CALLBACK_PARAM &h = entries->playerHandlers;
    h.pfnPlayerEvent = onPlayerEvent;
    h.pvPlayerEventUsrParam = nullptr;
    h.pfnProgressChange = ignoreThreeValues;
    h.pvProgressChangeUsrParam = nullptr;
    h.pfnPlayerError = ignoreTwoValues;
    h.pvPlayerErrorUsrParam = nullptr;
    return entries->playerInit(config.constData(), &h);
}

int SpeechSdk::playerSpeak(const QByteArray &utf8Text, const QByteArray &config)
{
    return entries->playerSpeak ? entries->playerSpeak(utf8Text.constData(), config.constData()) : NotLoaded;
}

void SpeechSdk::playerStop()
{
    if (entries->playerStop)
        entries->playerStop();
}

int SpeechSdk::playState()
{
    return currentPlayState.load();
}

void SpeechSdk::setPlayState(int state)
{
    currentPlayState.store(state);
}

int SpeechSdk::playStateAfter(int eventCode, int current)
{
    int state = current;
    mappedPlayState(eventCode, &state);
    return state;
}
