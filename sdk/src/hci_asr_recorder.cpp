// Recorder part of the speech SDK stand-in. There is no microphone and no
// cloud: a recording replays a transcript, or an exact event script, through
// the handlers given at initialisation, on a thread of its own.
//
// Transcript: one sentence per line, UTF-8, blank lines skipped. Taken from
// $TOLVANE_SDK_TRANSCRIPT, else <dataPath>/transcript_ug.txt for Uyghur
// (capkey asr.cloud.freetalk.uyghur or property uyghur_16k_common), else
// <dataPath>/transcript_cn.txt.
//   realtime=rt   each sentence gives in-progress results (pair 5) whose text
//                 grows word by word (three characters at a time where there
//                 are no blanks), then one final result (pair 3), all as
//                 {"SegmentCount":1,"Segment":[{"SegmentIndex":1,"Score":n,"Text":"..."}]}
//   otherwise     one final result per sentence with the plain sentence.
// Scores are 300..900, fixed per sentence. $TOLVANE_SDK_PACE_MS sets the
// milliseconds between any two results (0: as fast as possible); by default
// 250 ms between in-progress results and 800 ms before each sentence.
//
// Script: $TOLVANE_SDK_SCRIPT names a file that replaces the transcript. Each
// line is
//   delay_ms<TAB>handler<TAB>score<TAB>payload
// delay_ms counts from the previous line (or from the start), handler is
// "final" (pair 3) or "partial" (pair 5), payload is the rest of the line and
// is handed over as it is. Lines starting with # and malformed lines are
// skipped.
//
// After the last result the recording stays running, silent, until cancel.
#include "hci_sdk.h"
#include "hci_standin.h"
#include "standin.h"

#include <cstdio>

namespace {

struct Event
{
    std::chrono::milliseconds delay{0};
    bool final = true;
    uint32_t score = 0;
    std::string payload;
};

struct Recorder
{
    std::mutex mutex;
    bool initialised = false;
    RECORDER_CALLBACK_PARAM handlers{};
    std::string dataPath;
    std::string initCapkey;
    std::string lastInitConfig;
    std::string lastStartConfig;
    std::string source;
    std::atomic<unsigned int> results{0};
    // Last member: destroyed first, so its thread is gone before the rest.
    standin::Worker worker;
};

Recorder &recorder()
{
    static Recorder instance;
    return instance;
}

const char *const uyghurCapkey = "asr.cloud.freetalk.uyghur";
const char *const asrCapkeys[] = {"asr.cloud.freetalk", "asr.cloud.freetalk.uyghur", "asr.cloud.grammar"};

bool knownCapkey(const std::string &key)
{
    for (const char *known : asrCapkeys) {
        if (key == known)
            return true;
    }
    return false;
}

std::string jsonEscaped(const std::string &text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '"':
            escaped += "\\\"";
            break;
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned int>(c));
                escaped += code;
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}

std::string segmentJson(const std::string &text, uint32_t score)
{
    return "{\"SegmentCount\":1,\"Segment\":[{\"SegmentIndex\":1,\"Score\":" + std::to_string(score)
        + ",\"Text\":\"" + jsonEscaped(text) + "\"}]}";
}

// A stable, plausible score for a sentence (FNV-1a of its bytes).
uint32_t scoreFor(const std::string &sentence)
{
    uint32_t hash = 2166136261u;
    for (const char c : sentence) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return 300 + hash % 601;
}

// Byte lengths of the growing in-progress texts, the whole sentence last.
std::vector<std::size_t> prefixLengths(const std::string &sentence)
{
    std::vector<std::size_t> lengths;
    if (sentence.find(' ') != std::string::npos) {
        for (std::size_t i = 1; i < sentence.size(); ++i) {
            if (sentence[i] == ' ' && sentence[i - 1] != ' ')
                lengths.push_back(i);
        }
    } else {
        int characters = 0;
        for (std::size_t i = 1; i < sentence.size(); ++i) {
            const bool startsCharacter = (static_cast<unsigned char>(sentence[i]) & 0xC0) != 0x80;
            if (startsCharacter && ++characters % 3 == 0)
                lengths.push_back(i);
        }
    }
    lengths.push_back(sentence.size());
    return lengths;
}

std::vector<Event> transcriptEvents(const std::vector<std::string> &lines, bool phraseMode)
{
    using std::chrono::milliseconds;
    milliseconds partialGap(250);
    milliseconds sentenceGap(800);
    double pace = 0;
    if (standin::environmentNumber("TOLVANE_SDK_PACE_MS", pace) && pace >= 0) {
        partialGap = milliseconds(static_cast<long long>(pace));
        sentenceGap = partialGap;
    }

    std::vector<Event> events;
    for (const std::string &line : lines) {
        const std::string sentence = standin::trimmed(line);
        if (sentence.empty())
            continue;
        const uint32_t score = scoreFor(sentence);
        if (!phraseMode) {
            events.push_back({sentenceGap, true, score, sentence});
            continue;
        }
        milliseconds gap = sentenceGap;
        for (const std::size_t length : prefixLengths(sentence)) {
            events.push_back({gap, false, score, segmentJson(sentence.substr(0, length), score)});
            gap = partialGap;
        }
        events.push_back({partialGap, true, score, segmentJson(sentence, score)});
    }
    return events;
}

std::vector<Event> scriptEvents(const std::vector<std::string> &lines)
{
    std::vector<Event> events;
    for (const std::string &line : lines) {
        if (line.empty() || line[0] == '#')
            continue;
        const auto tab1 = line.find('\t');
        const auto tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        const auto tab3 = tab2 == std::string::npos ? tab2 : line.find('\t', tab2 + 1);
        if (tab3 == std::string::npos)
            continue;
        long long delay = 0;
        long long score = 0;
        const std::string handler = standin::trimmed(line.substr(tab1 + 1, tab2 - tab1 - 1));
        if (!standin::parseInt(standin::trimmed(line.substr(0, tab1)), delay) || delay < 0
            || !standin::parseInt(standin::trimmed(line.substr(tab2 + 1, tab3 - tab2 - 1)), score)
            || score < 0 || score > UINT32_MAX || (handler != "final" && handler != "partial"))
            continue;
        events.push_back({std::chrono::milliseconds(delay), handler == "final", static_cast<uint32_t>(score),
                          line.substr(tab3 + 1)});
    }
    return events;
}

void deliver(const RECORDER_CALLBACK_PARAM &handlers, const Event &event, std::atomic<unsigned int> &results)
{
    std::string text = event.payload;
    ASR_RECOG_RESULT_ITEM item{event.score, text.data()};
    ASR_RECOG_RESULT result{&item, 1};
    if (event.final) {
        if (!handlers.pfnRecogFinish)
            return;
        ++results;
        handlers.pfnRecogFinish(RECORDER_EVENT_RECOGNIZE_COMPLETE, &result, handlers.pvRecogFinishUsrParam);
    } else {
        if (!handlers.pfnRecogProcess)
            return;
        ++results;
        handlers.pfnRecogProcess(RECORDER_EVENT_RECOGNIZE_PROCESS, &result, handlers.pvRecogProcessUsrParam);
    }
}

void record(const RECORDER_CALLBACK_PARAM &handlers, const std::vector<Event> &events,
            std::atomic<unsigned int> &results, standin::Session &session)
{
    if (handlers.pfnStateChange)
        handlers.pfnStateChange(RECORDER_EVENT_BEGIN_RECORD, handlers.pvStateChangeUsrParam);
    for (const Event &event : events) {
        if (!session.pause(event.delay))
            return;
        deliver(handlers, event, results);
    }
    session.waitForStop();
}

} // namespace

extern "C" {

HCI_API int hci_asr_recorder_init(const char *pszConfig, RECORDER_CALLBACK_PARAM *psCallbackParam)
{
    Recorder &r = recorder();
    if (pszConfig) {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.lastInitConfig = pszConfig;
    }
    if (const int code = standin::injectedFailure("TOLVANE_SDK_FAIL_RECORDER_INIT"))
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
    if (r.worker.active())
        return HCI_ERR_ASR_BUSY;

    // Initialising again replaces the handlers: the program does it once per main window.
    std::lock_guard<std::mutex> lock(r.mutex);
    r.handlers = *psCallbackParam;
    r.dataPath = config.value("dataPath");
    r.initCapkey = standin::trimmed(standin::split(config.value("initCapkeys"), ';').front());
    r.initialised = true;
    return HCI_ERR_NONE;
}

HCI_API int hci_asr_recorder_start(const char *pszConfig, const char * /*pszGrammar*/)
{
    Recorder &r = recorder();
    if (pszConfig) {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.lastStartConfig = pszConfig;
    }
    if (const int code = standin::injectedFailure("TOLVANE_SDK_FAIL_RECORDER_START"))
        return code;
    if (!pszConfig)
        return HCI_ERR_PARAM_INVALID;

    RECORDER_CALLBACK_PARAM handlers;
    std::string dataPath;
    std::string capkey;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (!r.initialised)
            return HCI_ERR_ASR_NOT_INIT;
        handlers = r.handlers;
        dataPath = r.dataPath;
        capkey = r.initCapkey;
    }
    if (r.worker.active())
        return HCI_ERR_ASR_BUSY;

    const standin::Config config(pszConfig);
    if (config.malformed)
        return HCI_ERR_CONFIG_INVALID;
    if (config.has("capkey"))
        capkey = config.value("capkey");
    if (!knownCapkey(capkey))
        return HCI_ERR_CAPKEY_NOT_FOUND;
    const bool uyghur = capkey == uyghurCapkey || standin::startsWith(config.value("property"), "uyghur");
    const bool phraseMode = config.value("realtime") == "rt";

    std::string source = standin::environmentText("TOLVANE_SDK_SCRIPT");
    const bool scripted = !source.empty();
    if (!scripted)
        source = standin::environmentText("TOLVANE_SDK_TRANSCRIPT");
    if (source.empty() && !dataPath.empty())
        source = dataPath + (uyghur ? "/transcript_ug.txt" : "/transcript_cn.txt");
    std::vector<std::string> lines;
    if (source.empty() || !standin::readLines(source, lines))
        return HCI_ERR_DATA_NOT_FOUND;
    std::vector<Event> events = scripted ? scriptEvents(lines) : transcriptEvents(lines, phraseMode);

    const bool started = r.worker.startIfIdle(
        [handlers, events = std::move(events), &results = r.results](standin::Session &session) {
            record(handlers, events, results, session);
        });
    if (!started)
        return HCI_ERR_ASR_BUSY;
    std::lock_guard<std::mutex> lock(r.mutex);
    r.source = source;
    return HCI_ERR_NONE;
}

HCI_API int hci_asr_recorder_cancel(void)
{
    recorder().worker.stop();
    return HCI_ERR_NONE;
}

HCI_API const char *hci_standin_recorder_last_init_config(void)
{
    thread_local std::string copy;
    Recorder &r = recorder();
    return standin::lockedCopy(r.mutex, r.lastInitConfig, copy);
}

HCI_API const char *hci_standin_recorder_last_start_config(void)
{
    thread_local std::string copy;
    Recorder &r = recorder();
    return standin::lockedCopy(r.mutex, r.lastStartConfig, copy);
}

HCI_API const char *hci_standin_recorder_source(void)
{
    thread_local std::string copy;
    Recorder &r = recorder();
    return standin::lockedCopy(r.mutex, r.source, copy);
}

HCI_API int hci_standin_recorder_running(void)
{
    return recorder().worker.active() ? 1 : 0;
}

HCI_API unsigned int hci_standin_recorder_result_count(void)
{
    return recorder().results.load();
}

} // extern "C"
