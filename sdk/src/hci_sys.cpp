// Engine part of the speech SDK stand-in: configuration, error texts and the
// capability list. Nothing is sent anywhere; the cloud is simulated by the
// recorder and the player.
#include "hci_sdk.h"
#include "hci_standin.h"
#include "standin.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Engine
{
    std::mutex mutex;
    bool initialised = false;
    std::string lastConfig;
};

Engine &engine()
{
    static Engine instance;
    return instance;
}

struct Capability
{
    const char *type;
    const char *key;
};

const Capability capabilities[] = {
    {"asr", "asr.cloud.freetalk"},
    {"asr", "asr.cloud.freetalk.uyghur"},
    {"asr", "asr.cloud.grammar"},
    {"tts", "tts.cloud.wangjing"},
    {"tts", "tts.cloud.uyghur"},
    {"tts", "tts.cloud.synth"},
};

bool isCount(const standin::Config &config, const char *key, long long low, long long high)
{
    if (!config.has(key))
        return true;
    long long number = 0;
    return standin::parseInt(config.value(key), number) && number >= low && number <= high;
}

} // namespace

extern "C" {

HCI_API int hci_init(const char *pszConfig)
{
    Engine &e = engine();
    if (pszConfig) {
        std::lock_guard<std::mutex> lock(e.mutex);
        e.lastConfig = pszConfig;
    }
    if (const int code = standin::injectedFailure("TOLVANE_SDK_FAIL_HCI_INIT"))
        return code;
    if (!pszConfig)
        return HCI_ERR_PARAM_INVALID;

    const standin::Config config(pszConfig);
    if (config.malformed || config.value("appKey").empty())
        return HCI_ERR_CONFIG_INVALID;
    if (!isCount(config, "logfilesize", 0, 1 << 30) || !isCount(config, "loglevel", 0, 5))
        return HCI_ERR_CONFIG_INVALID;

    // A second hci_init opens the engine again with the new configuration:
    // the program sets the engine up once per main window.
    std::lock_guard<std::mutex> lock(e.mutex);
    e.initialised = true;
    return HCI_ERR_NONE;
}

HCI_API const char *hci_get_error_info(int nErrorCode)
{
    switch (nErrorCode) {
    case HCI_ERR_NONE:
        return "Success";
    case HCI_ERR_PARAM_INVALID:
        return "Invalid parameter";
    case HCI_ERR_CONFIG_INVALID:
        return "Invalid configuration string";
    case HCI_ERR_SYS_NOT_INIT:
        return "Speech engine not initialised";
    case HCI_ERR_SYS_ALREADY_INIT:
        return "Speech engine already initialised";
    case HCI_ERR_CAPKEY_NOT_FOUND:
        return "Capability key not found";
    case HCI_ERR_DATA_NOT_FOUND:
        return "Data file not found";
    case HCI_ERR_ASR_NOT_INIT:
        return "Recorder not initialised";
    case HCI_ERR_ASR_ALREADY_INIT:
        return "Recorder already initialised";
    case HCI_ERR_ASR_BUSY:
        return "Recorder busy: a recording is running";
    case HCI_ERR_TTS_NOT_INIT:
        return "Player not initialised";
    case HCI_ERR_TTS_ALREADY_INIT:
        return "Player already initialised";
    case HCI_ERR_TTS_ENGINE_FAILED:
        return "Speech synthesis engine failed";
    case HCI_ERR_OUT_OF_MEMORY:
        return "Out of memory";
    case HCI_ERR_UNKNOWN:
        return "Unknown error";
    default:
        return "Unrecognised error code";
    }
}

HCI_API int hci_release(void)
{
    Engine &e = engine();
    std::lock_guard<std::mutex> lock(e.mutex);
    if (!e.initialised)
        return HCI_ERR_SYS_NOT_INIT;
    e.initialised = false;
    return HCI_ERR_NONE;
}

HCI_API int hci_get_capability_list(const char *pszCapabilityType, CAPABILITY_LIST *psCapabilityList)
{
    if (!psCapabilityList)
        return HCI_ERR_PARAM_INVALID;
    {
        Engine &e = engine();
        std::lock_guard<std::mutex> lock(e.mutex);
        if (!e.initialised)
            return HCI_ERR_SYS_NOT_INIT;
    }
    // No type (or "") lists every capability.
    const std::string type = pszCapabilityType ? standin::lowered(pszCapabilityType) : std::string();
    std::vector<const char *> keys;
    for (const Capability &capability : capabilities) {
        if (type.empty() || type == capability.type)
            keys.push_back(capability.key);
    }
    if (keys.empty())
        return HCI_ERR_CAPKEY_NOT_FOUND;

    auto entries = static_cast<const char **>(std::calloc(keys.size(), sizeof(const char *)));
    if (!entries)
        return HCI_ERR_OUT_OF_MEMORY;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        entries[i] = strdup(keys[i]);
        if (!entries[i]) {
            for (std::size_t j = 0; j < i; ++j)
                std::free(const_cast<char *>(entries[j]));
            std::free(entries);
            return HCI_ERR_OUT_OF_MEMORY;
        }
    }
    psCapabilityList->pEntryList = entries;
    psCapabilityList->uiItemCount = static_cast<uint32_t>(keys.size());
    return HCI_ERR_NONE;
}

HCI_API int hci_free_capability_list(CAPABILITY_LIST *psCapabilityList)
{
    if (!psCapabilityList)
        return HCI_ERR_PARAM_INVALID;
    if (psCapabilityList->pEntryList) {
        for (uint32_t i = 0; i < psCapabilityList->uiItemCount; ++i)
            std::free(const_cast<char *>(psCapabilityList->pEntryList[i]));
        std::free(psCapabilityList->pEntryList);
    }
    psCapabilityList->pEntryList = nullptr;
    psCapabilityList->uiItemCount = 0;
    return HCI_ERR_NONE;
}

HCI_API const char *hci_standin_sys_last_config(void)
{
    thread_local std::string copy;
    Engine &e = engine();
    return standin::lockedCopy(e.mutex, e.lastConfig, copy);
}

HCI_API int hci_standin_sys_initialised(void)
{
    Engine &e = engine();
    std::lock_guard<std::mutex> lock(e.mutex);
    return e.initialised ? 1 : 0;
}

} // extern "C"
