#pragma once

#include <QCoreApplication>

class QComboBox;
class QLabel;
class QMainWindow;

// The tool bars beside the actions: the current direction and record state
// in two columns, the recognition mode box and the interface language box.
class StatusColumns
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    explicit StatusColumns(QMainWindow *window);

    // The texts follow the interface language; refilling the mode box says nothing to the settings.
    void retranslate(bool phraseMode);

    QLabel *curLang;
    QLabel *curVoice;
    QLabel *direction;
    QLabel *recordState;
    QComboBox *modeBox;
    QComboBox *uiLanguageBox;
};
