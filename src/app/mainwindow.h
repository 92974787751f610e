#pragma once

#include "app/relauncher.h"
#include "speech/recognition.h"
#include "translation/plcthread.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class MdiChild;
class MyEdit;
class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSignalMapper;
class QTimer;
class QTranslator;
class ReadAloud;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    MdiChild *activeMdiChild() const;
    QMdiSubWindow *findMdiChild(const QString &fileName) const;
    MdiChild *documentById(quint64 id) const;
    QList<MdiChild *> documents() const;

    bool checkItemCommand();
    void updateLetterCount();
    void applyLanguageFonts();
    void rebuildContinuousTexts();
    void retranslateUi();

    PlcThread &translationWorker() { return plcThread; }
    Relauncher &restarter() { return relauncher; }
    QString settingsPath() const;

    QMdiArea *mdiArea = nullptr;
    QSignalMapper *windowMapper = nullptr;
    QTimer *autoSaveTimer = nullptr;
    QTimer *playTimer = nullptr;

    QMenu *fileMenu = nullptr;
    QMenu *editMenu = nullptr;
    QMenu *actionMenu = nullptr;
    QMenu *langMenu = nullptr;
    QMenu *settingMenu = nullptr;
    QMenu *windowMenu = nullptr;
    QMenu *helpMenu = nullptr;

    QAction *newAct = nullptr;
    QAction *openAct = nullptr;
    QAction *saveAct = nullptr;
    QAction *saveAsAct = nullptr;
    QAction *saveAsTabAct = nullptr;
    QAction *exitAct = nullptr;
    QAction *cutAct = nullptr;
    QAction *copyAct = nullptr;
    QAction *pasteAct = nullptr;
    QAction *runAct = nullptr;
    QAction *stopAct = nullptr;
    QAction *langCNAct = nullptr;
    QAction *langWWAct = nullptr;
    QAction *setFontAct = nullptr;
    QAction *setFontWWAct = nullptr;
    QAction *setColorAct = nullptr;
    QAction *setAutoSaveAct = nullptr;
    QAction *setPauseMarkAct = nullptr;
    QAction *setShowEditAct = nullptr;
    QAction *setNetworkAct = nullptr;
    QAction *closeAct = nullptr;
    QAction *closeAllAct = nullptr;
    QAction *tileAct = nullptr;
    QAction *cascadeAct = nullptr;
    QAction *nextAct = nullptr;
    QAction *previousAct = nullptr;
    QAction *separatorAct = nullptr;
    QAction *aboutAct = nullptr;
    QAction *transelAct = nullptr;
    QAction *tranallAct = nullptr;
    QAction *addUpAct = nullptr;
    QAction *addDownAct = nullptr;
    QAction *deleteAct = nullptr;
    QAction *playAct = nullptr;

    QLabel *curLangLabel = nullptr;
    QLabel *curVoiceLabel = nullptr;
    QLabel *directionLabel = nullptr;
    QLabel *recordStateLabel = nullptr;
    QComboBox *modeBox = nullptr;
    QComboBox *uiLanguageBox = nullptr;

public slots:
    void newFile();
    void ChangeTitle();
    void open();
    void save();
    void saveAs();
    void saveAsTabFile();
    void updateMenus();
    void updateWindowMenu();
    MdiChild *createMdiChild(MainWindow *win);
    void setActiveSubWindow(QWidget *window);
    void langChanged(const QString &lang);
    void realtimeChanged(const QString &mode);
    void OnMyPlayTimer();
    void MyTimerSlot();
    void about();
    void runItem();
    void stopItem();
    void setFontItem();
    void setFontItemWW();
    void setColorItem();
    void setAutoSaveItem();
    void setPauseMarkActItem();
    void setShowEditActItem();
    void setNetworkActItem();
    void LangCNItem();
    void LangWWItem();
    void transelItem();
    void tranallItem();
    void addUpItem();
    void addDownItem();
    void deleteItem();
    void playItem();
    void closeChild();
    void cut();
    void copy();
    void paste();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void fillModeBox();
    void setRecordIcons(int state);
    void applyOrientation();
    MyEdit *continuousSourceEdit() const;
    void setRecognitionLanguage(int language);
    void applyTranslationResults();
    void applyRecognitionResult(QEvent *event);
    void queueRecognised(MdiChild *child, const Recognition::Outcome &outcome);
    void finishSaving();
    void setFontFor(int index, const QString &title);
    void installAppTranslator(const QString &catalogue);

    PlcThread plcThread;
    Relauncher relauncher;
    QTranslator *qtTranslator = nullptr;
    QTranslator *appTranslator = nullptr;
    std::unique_ptr<Recognition> recognition;
    std::unique_ptr<ReadAloud> readAloud;
    bool modeBoxConnected = false;
};
