#pragma once

#include "app/relauncher.h"
#include "translation/plcthread.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class ActionTable;
class FileCommands;
class InterfaceLanguage;
class Interpreter;
class MdiChild;
class MyEdit;
class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QTimer;
class ReadAloud;
class RecordingControl;
class Recovery;
class SettingsCommands;
class StatusColumns;
class TranslationRouter;
class WindowMenu;

// The main window owns the document area, the actions and the helpers that
// carry out each family of commands, and wires them together. Its slots hand
// the work over to the document window or to the helper in charge.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    MdiChild *activeMdiChild() const;
    QMdiSubWindow *findMdiChild(const QString &fileName) const;
    QList<MdiChild *> documents() const;
    QMdiArea *documentArea() const { return mdiArea; }
    // An action, menu, tool bar, label or box of the window by its object name.
    QAction *action(const char *name) const;

    bool checkItemCommand();
    void updateLetterCount();
    void applyLanguageFonts();
    void applyOrientation();
    void rebuildContinuousTexts();
    void retranslateUi();

    PlcThread &translationWorker() { return plcThread; }
    Relauncher &restarter() { return relauncher; }
    TranslationRouter &translations() { return *translationRouter; }
    QString settingsPath() const;

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
    void langChanged(const QString &lang);
    void realtimeChanged(const QString &mode);
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
    void createStatusBars();
    // UBSan misreads a member-function pointer called through child->sourceEdit.
    void editRunningText(const std::function<void(MyEdit *)> &command);
    void setRecognitionLanguage(int language);
    bool runItemCommand(bool (MdiChild::*command)());
    void saveWith(void (FileCommands::*command)());
    void offerRecovery();

    PlcThread plcThread;
    Relauncher relauncher;
    QMdiArea *mdiArea = nullptr;
    QTimer *autoSaveTimer = nullptr;
    std::unique_ptr<ActionTable> actions;
    std::unique_ptr<InterfaceLanguage> language;
    std::unique_ptr<TranslationRouter> translationRouter;
    std::unique_ptr<RecordingControl> recording;
    std::unique_ptr<ReadAloud> readAloud;
    std::unique_ptr<FileCommands> files;
    std::unique_ptr<SettingsCommands> settingsCommands;
    std::unique_ptr<StatusColumns> status;
    std::unique_ptr<Recovery> recovery;
    std::unique_ptr<WindowMenu> windowMenu;
    Interpreter *interpreter = nullptr;
};
