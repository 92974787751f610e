#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

class QObject;

// Opens the speech SDK once while the main window is being built: engine,
// recognition capability, recorder and player.
class SpeechEngine
{
public:
    using Report = std::function<void(const QString &message)>;

    // Reads the host settings, opens the engine and initialises recorder and
    // player; recognition results go to receiver. Each failure is handed to
    // report. True when the player is ready.
    static bool setUp(QObject *receiver, const Report &report);

    // Sets local (0 cloud, 1 local) and kind (0 free talk or grammar, -1 other)
    // from the first key equal to the Chinese recognition key ignoring case;
    // both are -1 without one.
    static void classifyCapability(const QList<QByteArray> &keys, int *local, int *kind);

    // Found by the capability check of setUp; -1 until then.
    static inline int capabilityLocal = -1;
    static inline int capabilityKind = -1;

    // Where the SDK libraries are loaded from; empty means beside the executable.
    static inline QString libraryDir;
};
