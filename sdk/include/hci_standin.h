/*
 * Extra exports of the speech SDK stand-in, for tests only; the program never
 * uses them. Each function is exported by the library named in its prefix
 * (hci_standin_sys_* by hci_sys, ..._recorder_* by hci_asr_recorder,
 * ..._player_* by hci_tts_player).
 *
 * Returned strings are copies owned by the library: valid on the calling
 * thread until that thread calls the same function again. Configurations are
 * recorded as passed, also by calls that then fail; "" before any call.
 */
#ifndef HCI_STANDIN_H
#define HCI_STANDIN_H

#include "hci_sdk.h"

#ifdef __cplusplus
extern "C" {
#endif

/* hci_sys */
HCI_API const char *hci_standin_sys_last_config(void);       /* last hci_init configuration */
HCI_API int hci_standin_sys_initialised(void);               /* 1 between hci_init and hci_release */

/* hci_asr_recorder */
HCI_API const char *hci_standin_recorder_last_init_config(void);
HCI_API const char *hci_standin_recorder_last_start_config(void);
HCI_API const char *hci_standin_recorder_source(void);       /* transcript or script file of the last started recording */
HCI_API int hci_standin_recorder_running(void);              /* 1 from a successful start until cancel */
HCI_API unsigned int hci_standin_recorder_result_count(void); /* results handed to pairs 3 and 5 since the library was loaded */

/* hci_tts_player */
HCI_API const char *hci_standin_player_last_init_config(void);
HCI_API const char *hci_standin_player_last_config(void);    /* synthesis configuration of the last speak */
HCI_API const char *hci_standin_player_last_text(void);      /* text of the last accepted speak */
HCI_API const char *hci_standin_player_last_voice(void);     /* espeak-ng voice chosen for it: "cmn" or "ug" */
HCI_API unsigned int hci_standin_player_spoken_count(void);  /* accepted speaks since the library was loaded */
HCI_API const char *hci_standin_player_spoken_text(unsigned int index);  /* "" past the end */
HCI_API const char *hci_standin_player_spoken_voice(unsigned int index); /* "cmn" or "ug" */
HCI_API unsigned long long hci_standin_player_last_sample_count(void); /* 0 until its synthesis has finished */
HCI_API unsigned int hci_standin_player_sample_rate(void);   /* 0 before the first synthesis */
HCI_API int hci_standin_player_speaking(void);               /* 1 from speak until the end, stop or an engine error */

#ifdef __cplusplus
}
#endif

#endif /* HCI_STANDIN_H */
