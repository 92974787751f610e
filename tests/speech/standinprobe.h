#pragma once

// Reads the SDK stand-in's record of what it was called with. The stand-in is
// loaded from the test's own directory, as the program loads it.

#include "../../sdk/include/hci_standin.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

class StandinProbe
{
public:
    static QString path(const char *name) { return QDir(QCoreApplication::applicationDirPath()).filePath(name); }
    bool load() { return sys.load() && recorder.load() && player.load(); }

    int sysInitialised() { return call<int>(sys, "hci_standin_sys_initialised"); }
    QByteArray recorderStartConfig() { return call<const char *>(recorder, "hci_standin_recorder_last_start_config"); }
    int recorderRunning() { return call<int>(recorder, "hci_standin_recorder_running"); }
    unsigned resultCount() { return call<unsigned>(recorder, "hci_standin_recorder_result_count"); }
    QByteArray playerText() { return call<const char *>(player, "hci_standin_player_last_text"); }
    int playerSpeaking() { return call<int>(player, "hci_standin_player_speaking"); }
    unsigned spokenCount() { return call<unsigned>(player, "hci_standin_player_spoken_count"); }
    // "voice: text" of the index-th accepted speak.
    QString spoken(unsigned index)
    {
        return QString::fromUtf8(call<const char *>(player, "hci_standin_player_spoken_voice", index)) + ": "
            + QString::fromUtf8(call<const char *>(player, "hci_standin_player_spoken_text", index));
    }

private:
    // A missing entry gives a value no test expects.
    template <typename T, typename... Args> static T call(QLibrary &library, const char *name, Args... args)
    {
        const auto f = reinterpret_cast<T (*)(Args...)>(library.resolve(name));
        if constexpr (std::is_pointer_v<T>)
            return f ? f(args...) : "<missing>";
        else
            return f ? f(args...) : T(-1);
    }

    QLibrary sys { path("hci_sys") };
    QLibrary recorder { path("hci_asr_recorder") };
    QLibrary player { path("hci_tts_player") };
};
