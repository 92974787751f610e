#pragma once

#include <QCoreApplication>
#include <QString>

class MainWindow;
class PlcThread;
class QLabel;
class QTimer;

// The Setting menu's commands: fonts, list colours, the auto-save interval,
// the pause mark, the display options and the servers. Each reads and writes
// the settings file in use and applies the change to the main window.
class SettingsCommands
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    SettingsCommands(MainWindow *window, PlcThread &worker, QTimer *autoSaveTimer, QLabel *directionLabel);

    // Gives the active document the fonts and directions of the spoken language.
    void applyLanguageFonts();
    void chooseFont(int language);
    void chooseColour();
    void chooseAutoSave();
    void choosePauseMark();
    void chooseDisplay();
    void chooseServers();

    // The stored auto-save interval in minutes, within what the dialog offers.
    static int autoSaveMinutes();

private:
    MainWindow *window;
    PlcThread &worker;
    QTimer *autoSaveTimer;
    QLabel *directionLabel;
};
