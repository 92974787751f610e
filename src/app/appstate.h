#pragma once

#include <QString>
#include <QtGlobal>

// Process-wide values. Set during start-up and changed only by their commands,
// always on the GUI thread.
struct AppState
{
    enum RecordStates { NoDocument = -1, Idle = 0, Recording = 1 };

    static constexpr quint32 DefaultListBackgroundColor = 0xFFDFEBF7u;
    static constexpr quint32 DefaultListSelectionColor = 0xFF09B5F7u;

    // From the settings file (see Settings).
    static inline bool phraseMode = true;
    static inline int scoreThreshold = 100;
    static inline int editOrientation = 0;
    static inline int textMode = 1;
    static inline int recognitionLanguage = 0;
    static inline QString backupDir;
    static inline quint32 listBackgroundColor = DefaultListBackgroundColor;
    static inline quint32 listSelectionColor = DefaultListSelectionColor;
    static inline int pauseMarkChoice = 0;

    static inline int RecordState = NoDocument;
    static inline bool exitConfirmed = false;
    static inline bool savingInProgress = false;

    // Speech and translation hosts; empty means the default servers.
    static inline QString voiceHost;
    static inline QString translateHostWW;
    static inline QString translateHostCN;

    // What follows each sentence in the "Comma separate" running texts.
    static inline QString sentenceSeparator = QString(QChar(0xFF0C));

    // Path of the settings file in use: Tolvane.ini, or Tolvaneen.ini in English.
    static inline QString settingsPath;

};
