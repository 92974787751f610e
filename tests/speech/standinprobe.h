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
    StandinProbe()
        : sys(path("hci_sys"))
        , recorder(path("hci_asr_recorder"))
        , player(path("hci_tts_player"))
    {
    }

    static QString path(const char *name)
    {
        return QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(name));
    }

    bool load() { return sys.load() && recorder.load() && player.load(); }

    QByteArray sysLastConfig() { return text(sys, "hci_standin_sys_last_config"); }
    int sysInitialised() { return number<int>(sys, "hci_standin_sys_initialised"); }
    QByteArray recorderInitConfig() { return text(recorder, "hci_standin_recorder_last_init_config"); }
    QByteArray recorderStartConfig() { return text(recorder, "hci_standin_recorder_last_start_config"); }
    int recorderRunning() { return number<int>(recorder, "hci_standin_recorder_running"); }
    unsigned resultCount() { return number<unsigned>(recorder, "hci_standin_recorder_result_count"); }
    QByteArray playerInitConfig() { return text(player, "hci_standin_player_last_init_config"); }
    QByteArray playerConfig() { return text(player, "hci_standin_player_last_config"); }
    QByteArray playerText() { return text(player, "hci_standin_player_last_text"); }
    int playerSpeaking() { return number<int>(player, "hci_standin_player_speaking"); }
    unsigned spokenCount() { return number<unsigned>(player, "hci_standin_player_spoken_count"); }
    // "voice: text" of the index-th accepted speak.
    QString spoken(unsigned index)
    {
        using Function = const char *(*)(unsigned);
        const auto text = reinterpret_cast<Function>(player.resolve("hci_standin_player_spoken_text"));
        const auto voice = reinterpret_cast<Function>(player.resolve("hci_standin_player_spoken_voice"));
        if (!text || !voice)
            return QStringLiteral("<missing>");
        return QString::fromUtf8(voice(index)) + QStringLiteral(": ") + QString::fromUtf8(text(index));
    }

private:
    static QByteArray text(QLibrary &library, const char *name)
    {
        using Function = const char *(*)();
        const auto f = reinterpret_cast<Function>(library.resolve(name));
        return f ? QByteArray(f()) : QByteArray("<missing " + QByteArray(name) + '>');
    }

    template<typename T>
    static T number(QLibrary &library, const char *name)
    {
        using Function = T (*)();
        const auto f = reinterpret_cast<Function>(library.resolve(name));
        return f ? f() : T(-1);
    }

    QLibrary sys;
    QLibrary recorder;
    QLibrary player;
};
