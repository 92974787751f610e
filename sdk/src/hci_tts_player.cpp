// Player part of the speech SDK stand-in: speaks with espeak-ng on a thread of
// its own. Voice "cmn" for the Mandarin configurations, "ug" for the Uyghur
// ones. The samples go to the ALSA device $TOLVANE_SDK_AUDIO (default
// "default"; "none" for no device); without a device the player waits as long
// as the sound would last, times $TOLVANE_SDK_PLAYBACK_SCALE (default 1.0).
//
// Player events: PLAYER_EVENT_BEGIN when a text starts, PLAYER_EVENT_END when
// it has been spoken to its end, PLAYER_EVENT_STOP when stop or a new speak
// cut it short, PLAYER_EVENT_ENGINE_ERROR (with pfnPlayerError) when espeak-ng
// fails.
#include "hci_sdk.h"
#include "hci_standin.h"
#include "standin.h"

#include <alsa/asoundlib.h>
#include <espeak-ng/speak_lib.h>

namespace {

struct Player
{
    std::mutex mutex;
    bool initialised = false;
    PLAYER_CALLBACK_PARAM handlers{};
    std::string initCapkey;
    std::string lastInitConfig;
    std::string lastConfig;
    std::string lastText;
    std::string lastVoice;
    // Every accepted text with its voice, in order, since the library was loaded.
    std::vector<std::pair<std::string, std::string>> spoken;
    std::atomic<unsigned long long> lastSampleCount{0};
    // Last member: destroyed first, so its thread is gone before the rest.
    standin::Worker worker;
};

Player &player()
{
    static Player instance;
    return instance;
}

const char *const ttsCapkeys[] = {"tts.cloud.wangjing", "tts.cloud.uyghur", "tts.cloud.synth"};

bool knownCapkey(const std::string &key)
{
    for (const char *known : ttsCapkeys) {
        if (key == known)
            return true;
    }
    return false;
}

// The voice for a synthesis configuration, or an error code.
int chooseVoice(const standin::Config &config, const std::string &initCapkey, std::string &voice)
{
    const std::string capkey = config.has("capkey") ? config.value("capkey") : initCapkey;
    const std::string property = config.value("property");
    if (capkey == "tts.cloud.wangjing")
        voice = "cmn";
    else if (capkey == "tts.cloud.uyghur")
        voice = "ug";
    else if (capkey != "tts.cloud.synth")
        return HCI_ERR_CAPKEY_NOT_FOUND;
    else if (standin::startsWith(property, "cn_"))
        voice = "cmn";
    else if (standin::startsWith(property, "uyghur"))
        voice = "ug";
    else
        return HCI_ERR_CONFIG_INVALID;
    return HCI_ERR_NONE;
}

// espeak-ng keeps global state and is not thread-safe: every use holds this.
std::mutex espeakMutex;
std::atomic<int> espeakSampleRate{0};
bool espeakFailed = false;

struct Synthesis
{
    std::vector<short> samples;
    standin::Session *session = nullptr;
};

// The synthesis espeak_Synth is working on; it calls back on the same thread.
Synthesis *currentSynthesis = nullptr;

int collectSamples(short *wav, int count, espeak_EVENT *)
{
    Synthesis *synthesis = currentSynthesis;
    if (!synthesis)
        return 0;
    if (wav && count > 0)
        synthesis->samples.insert(synthesis->samples.end(), wav, wav + count);
    return synthesis->session->stopRequested() ? 1 : 0;
}

bool synthesise(const std::string &text, const std::string &voice, Synthesis &synthesis, int &sampleRate)
{
    std::lock_guard<std::mutex> lock(espeakMutex);
    if (espeakFailed)
        return false;
    if (espeakSampleRate == 0) {
        const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (rate <= 0) {
            espeakFailed = true;
            return false;
        }
        espeakSampleRate = rate;
        espeak_SetSynthCallback(collectSamples);
    }
    sampleRate = espeakSampleRate;
    if (espeak_SetVoiceByName(voice.c_str()) != EE_OK)
        return false;
    currentSynthesis = &synthesis;
    const espeak_ERROR error = espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                                            espeakCHARS_UTF8, nullptr, nullptr);
    currentSynthesis = nullptr;
    return error == EE_OK;
}

void quietAlsa(const char *, int, const char *, int, const char *, ...) {}

// Plays on the ALSA device; false when it cannot be opened.
bool playOnDevice(const std::string &device, const std::vector<short> &samples, int rate,
                  standin::Session &session)
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(quietAlsa); });

    snd_pcm_t *pcm = nullptr;
    if (snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return false;
    if (snd_pcm_nonblock(pcm, 0) < 0
        || snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                              static_cast<unsigned int>(rate), 1, 100000) < 0) {
        snd_pcm_close(pcm);
        return false;
    }
    // Small pieces, so that a stop is noticed within a few milliseconds.
    const std::size_t piece = static_cast<std::size_t>(rate / 50);
    std::size_t done = 0;
    while (done < samples.size() && !session.stopRequested()) {
        const std::size_t count = std::min(piece, samples.size() - done);
        snd_pcm_sframes_t written = snd_pcm_writei(pcm, samples.data() + done, count);
        if (written < 0)
            written = snd_pcm_recover(pcm, static_cast<int>(written), 1);
        if (written < 0)
            break;
        done += static_cast<std::size_t>(written);
    }
    for (;;) {
        snd_pcm_sframes_t delay = 0;
        if (session.stopRequested() || snd_pcm_delay(pcm, &delay) < 0 || delay <= 0)
            break;
        const auto left = std::chrono::microseconds(delay * 1000000LL / rate);
        if (!session.pause(std::min(left, std::chrono::microseconds(20000))))
            break;
    }
    snd_pcm_drop(pcm);
    snd_pcm_close(pcm);
    return true;
}

struct Request
{
    PLAYER_CALLBACK_PARAM handlers;
    std::string text;
    std::string voice;
    std::string device;
    double scale = 1.0;
};

void emit(const PLAYER_CALLBACK_PARAM &handlers, int event)
{
    if (handlers.pfnPlayerEvent)
        handlers.pfnPlayerEvent(event, handlers.pvPlayerEventUsrParam);
}

void speak(const Request &request, std::atomic<unsigned long long> &sampleCount, standin::Session &session)
{
    sampleCount = 0;
    emit(request.handlers, PLAYER_EVENT_BEGIN);
    Synthesis synthesis;
    synthesis.session = &session;
    int rate = 0;
    const bool blank = standin::trimmed(request.text).empty();
    if (!blank && !synthesise(request.text, request.voice, synthesis, rate) && !session.stopRequested()) {
        if (request.handlers.pfnPlayerError)
            request.handlers.pfnPlayerError(PLAYER_EVENT_ENGINE_ERROR, HCI_ERR_TTS_ENGINE_FAILED,
                                            request.handlers.pvPlayerErrorUsrParam);
        emit(request.handlers, PLAYER_EVENT_ENGINE_ERROR);
        return;
    }
    if (session.stopRequested()) {
        emit(request.handlers, PLAYER_EVENT_STOP);
        return;
    }
    sampleCount = synthesis.samples.size();

    if (!synthesis.samples.empty()) {
        const bool played = request.device != "none"
            && playOnDevice(request.device, synthesis.samples, rate, session);
        if (!played) {
            const double seconds = static_cast<double>(synthesis.samples.size()) / rate * request.scale;
            session.pause(std::chrono::microseconds(static_cast<long long>(seconds * 1e6)));
        }
    }
    emit(request.handlers, session.stopRequested() ? PLAYER_EVENT_STOP : PLAYER_EVENT_END);
}

int playerInit(const char *pszConfig, PLAYER_CALLBACK_PARAM *psCallbackParam)
{
    Player &p = player();
    if (pszConfig) {
        std::lock_guard<std::mutex> lock(p.mutex);
        p.lastInitConfig = pszConfig;
    }
    if (const int code = standin::injectedFailure("TOLVANE_SDK_FAIL_PLAYER_INIT"))
        return code;
    if (!pszConfig || !psCallbackParam)
        return HCI_ERR_PARAM_INVALID;
    const standin::Config config(pszConfig);
    if (config.malformed || config.value("initCapkeys").empty())
        return HCI_ERR_CONFIG_INVALID;
    for (const std::string &key : standin::split(config.value("initCapkeys"), ';')) {
        if (!knownCapkey(standin::trimmed(key)))
            return HCI_ERR_CAPKEY_NOT_FOUND;
    }

    // Initialising again replaces the handlers: the program does it once per main window.
    p.worker.stop();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.handlers = *psCallbackParam;
    p.initCapkey = standin::trimmed(standin::split(config.value("initCapkeys"), ';').front());
    p.initialised = true;
    return HCI_ERR_NONE;
}

int playerSpeak(const char *pszText, const char *pszConfig)
{
    Player &p = player();
    Request request;
    {
        std::lock_guard<std::mutex> lock(p.mutex);
        if (pszConfig)
            p.lastConfig = pszConfig;
        if (!p.initialised)
            return HCI_ERR_TTS_NOT_INIT;
        if (!pszText)
            return HCI_ERR_PARAM_INVALID;
        const standin::Config config(pszConfig);
        if (config.malformed)
            return HCI_ERR_CONFIG_INVALID;
        if (const int code = chooseVoice(config, p.initCapkey, request.voice))
            return code;
        request.handlers = p.handlers;
        request.text = pszText;
        p.lastText = request.text;
        p.lastVoice = request.voice;
        p.spoken.emplace_back(request.text, request.voice);
        p.lastSampleCount = 0;
    }
    request.device = standin::environmentText("TOLVANE_SDK_AUDIO");
    if (request.device.empty())
        request.device = "default";
    double scale = 1.0;
    if (standin::environmentNumber("TOLVANE_SDK_PLAYBACK_SCALE", scale) && scale >= 0)
        request.scale = scale;

    p.worker.replace([request, &sampleCount = p.lastSampleCount](standin::Session &session) {
        speak(request, sampleCount, session);
    });
    return HCI_ERR_NONE;
}

int playerStop()
{
    player().worker.stop();
    return HCI_ERR_NONE;
}

} // namespace

extern "C" {

HCI_API void *hci_tts_player_entry(unsigned int uiOrdinal)
{
    switch (uiOrdinal) {
    case HCI_TTS_PLAYER_ORDINAL_INIT:
        return reinterpret_cast<void *>(static_cast<HciPlayerInit>(playerInit));
    case HCI_TTS_PLAYER_ORDINAL_SPEAK:
        return reinterpret_cast<void *>(static_cast<HciPlayerSpeak>(playerSpeak));
    case HCI_TTS_PLAYER_ORDINAL_STOP:
        return reinterpret_cast<void *>(static_cast<HciPlayerStop>(playerStop));
    default:
        return nullptr;
    }
}

HCI_API const char *hci_standin_player_last_init_config(void)
{
    thread_local std::string copy;
    Player &p = player();
    return standin::lockedCopy(p.mutex, p.lastInitConfig, copy);
}

HCI_API const char *hci_standin_player_last_config(void)
{
    thread_local std::string copy;
    Player &p = player();
    return standin::lockedCopy(p.mutex, p.lastConfig, copy);
}

HCI_API const char *hci_standin_player_last_text(void)
{
    thread_local std::string copy;
    Player &p = player();
    return standin::lockedCopy(p.mutex, p.lastText, copy);
}

HCI_API const char *hci_standin_player_last_voice(void)
{
    thread_local std::string copy;
    Player &p = player();
    return standin::lockedCopy(p.mutex, p.lastVoice, copy);
}

HCI_API unsigned int hci_standin_player_spoken_count(void)
{
    Player &p = player();
    std::lock_guard<std::mutex> lock(p.mutex);
    return static_cast<unsigned int>(p.spoken.size());
}

HCI_API const char *hci_standin_player_spoken_text(unsigned int index)
{
    thread_local std::string copy;
    Player &p = player();
    std::lock_guard<std::mutex> lock(p.mutex);
    copy = index < p.spoken.size() ? p.spoken[index].first : std::string();
    return copy.c_str();
}

HCI_API const char *hci_standin_player_spoken_voice(unsigned int index)
{
    thread_local std::string copy;
    Player &p = player();
    std::lock_guard<std::mutex> lock(p.mutex);
    copy = index < p.spoken.size() ? p.spoken[index].second : std::string();
    return copy.c_str();
}

HCI_API unsigned long long hci_standin_player_last_sample_count(void)
{
    return player().lastSampleCount.load();
}

HCI_API unsigned int hci_standin_player_sample_rate(void)
{
    return static_cast<unsigned int>(espeakSampleRate.load());
}

HCI_API int hci_standin_player_speaking(void)
{
    return player().worker.active() ? 1 : 0;
}

} // extern "C"
