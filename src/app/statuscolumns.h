#pragma once

#include <QCoreApplication>

class QComboBox;
class QLabel;
class QMainWindow;
class TranslationProgressBar;
class TranslationRouter;

// The tool bars beside the actions: the current direction and record state
// in two columns, the recognition mode box and the interface language box;
// and the translation progress kept at the status bar's end.
class StatusColumns
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    StatusColumns(QMainWindow *window, TranslationRouter &router);

    // The texts follow the interface language; refilling the mode box says nothing to the settings.
    void retranslate(bool phraseMode);

    QLabel *curLang;
    QLabel *curVoice;
    QLabel *direction;
    QLabel *recordState;
    QComboBox *modeBox;
    QComboBox *uiLanguageBox;
    TranslationProgressBar *translationProgress;
};
