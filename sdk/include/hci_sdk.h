/*
 * Speech SDK interface as the Tolvane program uses it.
 *
 * Three shared libraries implement it: hci_sys (engine, error texts,
 * capability list), hci_asr_recorder (capture and recognition, results
 * through handler functions) and hci_tts_player (synthesis and playback).
 * Strings are NUL-terminated: configurations in ASCII, spoken text in UTF-8.
 * Every operation returns 0 on success.
 *
 * The player exports its operations by ordinal only; here that is modelled
 * by one lookup function, hci_tts_player_entry(ordinal), which hands out the
 * operation for ordinal 1 (initialise), 4 (speak) and 7 (stop).
 */
#ifndef HCI_SDK_H
#define HCI_SDK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define HCI_API __attribute__((visibility("default")))
#else
#define HCI_API
#endif

/* Error codes. */
enum {
    HCI_ERR_NONE = 0,
    HCI_ERR_PARAM_INVALID = 1,
    HCI_ERR_CONFIG_INVALID = 2,
    HCI_ERR_SYS_NOT_INIT = 3,
    HCI_ERR_SYS_ALREADY_INIT = 4,
    HCI_ERR_CAPKEY_NOT_FOUND = 5,
    HCI_ERR_DATA_NOT_FOUND = 6,
    HCI_ERR_ASR_NOT_INIT = 7,
    HCI_ERR_ASR_ALREADY_INIT = 8,
    HCI_ERR_ASR_BUSY = 9,
    HCI_ERR_TTS_NOT_INIT = 10,
    HCI_ERR_TTS_ALREADY_INIT = 11,
    HCI_ERR_TTS_ENGINE_FAILED = 12,
    HCI_ERR_OUT_OF_MEMORY = 13,
    HCI_ERR_UNKNOWN = 99
};

/* hci_get_capability_list fills this record. */
typedef struct _CAPABILITY_LIST {
    const char **pEntryList;  /* capability key texts */
    uint32_t uiItemCount;
} CAPABILITY_LIST;

/* One recognition result. In phrase mode pszResult is a JSON object. */
typedef struct _ASR_RECOG_RESULT_ITEM {
    uint32_t uiScore;
    char *pszResult;  /* UTF-8 */
} ASR_RECOG_RESULT_ITEM;

typedef struct _ASR_RECOG_RESULT {
    ASR_RECOG_RESULT_ITEM *psResultItemList;
    uint32_t uiResultItemCount;
} ASR_RECOG_RESULT;

/* Recorder events (first argument of the recorder handlers). */
enum {
    RECORDER_EVENT_BEGIN_RECORD = 0,
    RECORDER_EVENT_END_RECORD = 1,
    RECORDER_EVENT_RECOGNIZE_COMPLETE = 2,
    RECORDER_EVENT_RECOGNIZE_PROCESS = 3,
    RECORDER_EVENT_CANCELLED = 4,
    RECORDER_EVENT_ERROR = 5
};

typedef void (*Callback_RecorderEventStateChange)(int eRecorderEvent, void *pUsrParam);
typedef void (*Callback_RecorderTwoValues)(int eRecorderEvent, int iValue, void *pUsrParam);
typedef void (*Callback_RecorderRecogResult)(int eRecorderEvent, ASR_RECOG_RESULT *psAsrRecogResult,
                                             void *pUsrParam);

/* Five handler/context pairs, in this order. */
typedef struct _RECORDER_CALLBACK_PARAM {
    Callback_RecorderEventStateChange pfnStateChange;   /* 1 state change */
    void *pvStateChangeUsrParam;
    Callback_RecorderTwoValues pfnVolume;               /* 2 two values */
    void *pvVolumeUsrParam;
    Callback_RecorderRecogResult pfnRecogFinish;        /* 3 recognition finished */
    void *pvRecogFinishUsrParam;
    Callback_RecorderTwoValues pfnError;                /* 4 two values */
    void *pvErrorUsrParam;
    Callback_RecorderRecogResult pfnRecogProcess;       /* 5 recognition in progress */
    void *pvRecogProcessUsrParam;
} RECORDER_CALLBACK_PARAM;

/* Player events (first argument of the player event handler). */
enum {
    PLAYER_EVENT_BEGIN = 1,
    PLAYER_EVENT_PAUSE = 2,
    PLAYER_EVENT_RESUME = 3,
    PLAYER_EVENT_PROGRESS = 4,
    PLAYER_EVENT_END = 5,      /* the text has been spoken to its end */
    PLAYER_EVENT_STOP = 6,
    PLAYER_EVENT_ENGINE_ERROR = 7
};

typedef void (*Callback_PlayerEvent)(int ePlayerEvent, void *pUsrParam);
typedef void (*Callback_PlayerThreeValues)(int ePlayerEvent, int iStart, int iStop, void *pUsrParam);
typedef void (*Callback_PlayerTwoValues)(int ePlayerEvent, int iValue, void *pUsrParam);

/* Three handler/context pairs, in this order. */
typedef struct _PLAYER_CALLBACK_PARAM {
    Callback_PlayerEvent pfnPlayerEvent;          /* 1 player event */
    void *pvPlayerEventUsrParam;
    Callback_PlayerThreeValues pfnProgressChange; /* 2 three values */
    void *pvProgressChangeUsrParam;
    Callback_PlayerTwoValues pfnPlayerError;      /* 3 two values */
    void *pvPlayerErrorUsrParam;
} PLAYER_CALLBACK_PARAM;

/* hci_sys */
HCI_API int hci_init(const char *pszConfig);
HCI_API const char *hci_get_error_info(int nErrorCode);
HCI_API int hci_release(void);
HCI_API int hci_get_capability_list(const char *pszCapabilityType, CAPABILITY_LIST *psCapabilityList);
HCI_API int hci_free_capability_list(CAPABILITY_LIST *psCapabilityList);

/* hci_asr_recorder */
HCI_API int hci_asr_recorder_init(const char *pszConfig, RECORDER_CALLBACK_PARAM *psCallbackParam);
HCI_API int hci_asr_recorder_start(const char *pszConfig, const char *pszGrammar);
HCI_API int hci_asr_recorder_cancel(void);

/* hci_tts_player, by ordinal */
typedef int (*HciPlayerInit)(const char *pszConfig, PLAYER_CALLBACK_PARAM *psCallbackParam);
typedef int (*HciPlayerSpeak)(const char *pszText, const char *pszConfig);
typedef int (*HciPlayerStop)(void);

enum {
    HCI_TTS_PLAYER_ORDINAL_INIT = 1,
    HCI_TTS_PLAYER_ORDINAL_SPEAK = 4,
    HCI_TTS_PLAYER_ORDINAL_STOP = 7
};

HCI_API void *hci_tts_player_entry(unsigned int uiOrdinal);

#ifdef __cplusplus
}
#endif

#endif /* HCI_SDK_H */
