#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace SettingsKeys {
inline constexpr const char *UiLang = "action/uilang";
inline constexpr const char *Realtime = "action/realtime";
inline constexpr const char *UiScore = "action/uiScore";
inline constexpr const char *EditStyle = "action/setEditStyle";
inline constexpr const char *TextMode = "action/setTextMode";
inline constexpr const char *Lang = "action/lang";
inline constexpr const char *BackupDir = "action/backupdir";
inline constexpr const char *ListBackColor = "action/listbackcolor";
inline constexpr const char *ListSelColor = "action/listselcolor";
inline constexpr const char *AutoSave = "action/autoSave";
inline constexpr const char *PauseMark = "action/pauseMark";
inline constexpr const char *VoiceHost = "action/VoiceHost";
inline constexpr const char *TranslateHostWW = "action/TranslateHostWW";
inline constexpr const char *TranslateHostCN = "action/TranslateHostCN";
inline constexpr const char *SpeakTranslations = "action/speakTranslations";
inline constexpr const char *ListenWhileSpeaking = "action/listenWhileSpeaking";
inline constexpr const char *LangFontPattern = "langfont/f%1";

// User settings store (organisation Merovaal, application Tolvane).
inline constexpr const char *SplitterSizes = "main/verticalSplitterSizes";
inline constexpr const char *MainSize = "main/size";
inline constexpr const char *KeyboardCapsLock = "mykeyboard/capslock";

inline constexpr const char *DefaultListBackColor = "-2102281";
inline constexpr const char *DefaultListSelColor = "-16140809";
}

// The INI settings files. Every access opens the file, reads or writes with
// the GB18030 codec, and closes it again.
//
// Writes go to one file: the file in use (currentPath) or the one named.
// Reads go through layers and take the first file that holds the key:
//   1. that file, in writableDir();
//   2. for the English file only: the Chinese file, in writableDir();
//   3. the same name beside the program, when writableDir() is elsewhere;
//   4. for the English file only: the Chinese file beside the program.
// So the operator's own settings, made under either interface, come before
// those an administrator placed beside an installed program, and the English
// file holds only what was changed under English.
class Settings
{
public:
    // Where the program lives (the executable's directory unless a test says otherwise).
    static QString programDir();
    // Tests stand in for the program directory; a userDir makes it read-only
    // with userDir as the per-user folder (root may write anywhere).
    static void setProgramDir(const QString &dir, const QString &userDir = QString());
    // Where the settings file and the auto-save copy go: the program directory,
    // or a per-user folder when the program directory is not writable.
    static QString writableDir();

    static QString mainPath();      // .../Tolvane.ini
    static QString englishPath();   // .../Tolvaneen.ini
    static QString currentPath();   // AppState::settingsPath, or mainPath() when unset

    static int readInt(const char *key, const QString &defaultText, const QString &path = QString());
    static QString readString(const char *key, const QString &defaultText, const QString &path = QString());
    // A 32-bit ARGB colour stored signed or unsigned: the low 32 bits count.
    static quint32 readColor(const char *key, const QString &defaultText, const QString &path = QString());
    static void write(const char *key, const QVariant &value, const QString &path = QString());

    static QString fontKey(int index);  // "langfont/f0", "langfont/f1"
    static int toInt(const QString &text); // unparsable text reads as 0

private:
    static QString resolve(const QString &path);
    // The files a read of path consults, in order (see above).
    static QStringList readLayers(const QString &path);
};
