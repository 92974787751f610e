#include "mainwindow.h"

#include "app/actiontable.h"
#include "app/appstate.h"
#include "app/interfacelanguage.h"
#include "app/mainwidget.h"
#include "app/mainwindowactions.h"
#include "app/settings.h"
#include "app/settingscommands.h"
#include "app/statuscolumns.h"
#include "app/windowmenu.h"
#include "documents/filecommands.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "documents/recovery.h"
#include "speech/interpreter.h"
#include "speech/readaloud.h"
#include "speech/recognitionevent.h"
#include "speech/recorder.h"
#include "speech/recordingcontrol.h"
#include "speech/speechengine.h"
#include "translation/translationevent.h"
#include "translation/translationrouter.h"
#include "widgets/qmymessagebox.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , actions(std::make_unique<ActionTable>(this))
    , language(std::make_unique<InterfaceLanguage>(this))
    , translationRouter(std::make_unique<TranslationRouter>(plcThread))
    , recording(std::make_unique<RecordingControl>(*translationRouter,
          [this]() -> DocumentModel * { return activeMdiChild() ? activeMdiChild()->model() : nullptr; }))
    , readAloud(std::make_unique<ReadAloud>())
{
    setWindowIcon(QIcon(QStringLiteral(":images/Application.png")));
    recovery = std::make_unique<Recovery>();
    autoSaveTimer = new QTimer(this);
    autoSaveTimer->setObjectName(QStringLiteral("autoSaveTimer"));
    connect(autoSaveTimer, &QTimer::timeout, this, &MainWindow::MyTimerSlot);
    AppState::RecordState = AppState::NoDocument;
    const int uiLang = language->startUp();

    // Start-up reads every value from the settings file in use, so that settings
    // changed under the English interface survive the next start.
    AppState::phraseMode = Settings::readInt(SettingsKeys::Realtime, QStringLiteral("1")) == 1;
    AppState::scoreThreshold = Settings::readInt(SettingsKeys::UiScore, QStringLiteral("100"));
    AppState::editOrientation = Settings::readInt(SettingsKeys::EditStyle, QStringLiteral("0"));
    AppState::textMode = Settings::readInt(SettingsKeys::TextMode, QStringLiteral("1"));

    mdiArea = new QMdiArea;
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setViewMode(QMdiArea::SubWindowView);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::updateMenus);

    statusBar()->showMessage(tr("Ready"));
    AppState::pauseMarkChoice = Settings::readInt(SettingsKeys::PauseMark, QStringLiteral("0"));
    createActions();
    createStatusBars();
    updateMenus();
    files = std::make_unique<FileCommands>(mdiArea, statusBar(), [this] { return createMdiChild(this); });
    settingsCommands = std::make_unique<SettingsCommands>(this, plcThread, autoSaveTimer, status->direction);
    recording->setControls({ this, action("runAct"), action("stopAct"), status->recordState, status->modeBox });
    recording->setSentenceAdded([this] { updateLetterCount(); });
    readAloud->attach(action("playAct"), [this]() -> QAbstractItemView * {
        return activeMdiChild() ? activeMdiChild()->translationView : nullptr;
    });
    interpreter = new Interpreter(*translationRouter, *recording, *readAloud, this);
    interpreter->attach(
        { action("speakAct"), action("listenAct"), action("playAct"), action("stopAct"), statusBar() },
        [this] { return documents(); });

    setCentralWidget(new MainWidget(mdiArea, this));

    AppState::recognitionLanguage = Settings::readInt(SettingsKeys::Lang, QStringLiteral("0"));
    AppState::backupDir = Settings::readString(SettingsKeys::BackupDir, QString());
    plcThread.setRecognitionLanguage(AppState::recognitionLanguage);
    resize(1024, 600);

    SpeechEngine::setUp(
        this, [this](const QString &message) { QMyMessageBox::warning(this, tr("Application"), message); });
    plcThread.setHosts(AppState::translateHostWW, AppState::translateHostCN);

    newFile();
    status->uiLanguageBox->setCurrentIndex(uiLang == 0 ? 0 : 1);
    // What a crashed run left unsaved is offered once the window is up.
    QTimer::singleShot(0, this, &MainWindow::offerRecovery);

    AppState::listBackgroundColor
        = Settings::readColor(SettingsKeys::ListBackColor, QLatin1String(SettingsKeys::DefaultListBackColor));
    AppState::listSelectionColor
        = Settings::readColor(SettingsKeys::ListSelColor, QLatin1String(SettingsKeys::DefaultListSelColor));
    autoSaveTimer->start(SettingsCommands::autoSaveMinutes() * 60000);
    plcThread.startTranslating(this);
}

MainWindow::~MainWindow()
{
    QSettings settings;
    settings.setValue(QLatin1String(SettingsKeys::MainSize), size());
    // The document area and the documents outlive this destructor's body; their
    // last signals must not reach a window that is already half destroyed.
    disconnect(mdiArea, nullptr, this, nullptr);
    for (MdiChild *document : documents())
        disconnect(document, nullptr, this, nullptr);
    // The SDK's threads post to this window: stop them before it goes away.
    Recorder::cancel();
    ReadAloud::stopPlayer();
}

QString MainWindow::settingsPath() const { return AppState::settingsPath; }

QAction *MainWindow::action(const char *name) const { return findChild<QAction *>(QLatin1String(name)); }

void MainWindow::createActions()
{
    actions->build(mainWindowMenus(), mainWindowActions(this));
    auto *separator = new QAction(this);
    separator->setObjectName(QStringLiteral("separatorAct"));
    separator->setSeparator(true);
    windowMenu = std::make_unique<WindowMenu>(
        actions->menu("windowMenu"), mdiArea, [this](const char *name) { return action(name); });
    windowMenu->update();
}

void MainWindow::createStatusBars()
{
    status = std::make_unique<StatusColumns>(this, *translationRouter);
    status->retranslate(AppState::phraseMode);
    connect(status->modeBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int index) { realtimeChanged(status->modeBox->itemText(index)); });
    connect(status->uiLanguageBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int index) { langChanged(status->uiLanguageBox->itemText(index)); });
}

// ---------------------------------------------------------------------------
// Documents

MdiChild *MainWindow::activeMdiChild() const
{
    if (QMdiSubWindow *window = mdiArea->activeSubWindow())
        return qobject_cast<MdiChild *>(window->widget());
    return nullptr;
}

QMdiSubWindow *MainWindow::findMdiChild(const QString &fileName) const { return files->find(fileName); }

QList<MdiChild *> MainWindow::documents() const
{
    QList<MdiChild *> list;
    const auto windows = mdiArea->subWindowList();
    for (QMdiSubWindow *window : windows) {
        if (auto *child = qobject_cast<MdiChild *>(window->widget()))
            list.append(child);
    }
    return list;
}

MdiChild *MainWindow::createMdiChild(MainWindow *win)
{
    auto *child = new MdiChild(win);
    QMdiSubWindow *window = mdiArea->addSubWindow(child);
    window->setWindowState(Qt::WindowMaximized);
    connect(child->sourceEdit, &QPlainTextEdit::copyAvailable, action("cutAct"), &QAction::setEnabled);
    connect(child->sourceEdit, &QPlainTextEdit::copyAvailable, action("copyAct"), &QAction::setEnabled);
    connect(child, &MdiChild::closeChild, this, &MainWindow::closeChild);
    connect(child, &MdiChild::translationRequested, this,
        [this, child](int row) { translationRouter->queueAgain(child->model(), row); });
    recovery->watch(child);
    connect(
        child, &MdiChild::cancelTranslationRequested, translationRouter.get(), &TranslationRouter::cancel);
    connect(child, &MdiChild::retryFailedRequested, translationRouter.get(), &TranslationRouter::retryFailed);
    return child;
}

void MainWindow::offerRecovery()
{
    const int restored = recovery->offer(this, [this] {
        MdiChild *child = createMdiChild(this);
        child->show();
        return child;
    });
    if (restored > 0) {
        rebuildContinuousTexts();
        ChangeTitle();
    }
}

void MainWindow::newFile()
{
    recording->documentOpened();
    MdiChild *child = createMdiChild(this);
    child->newFile();
    child->sourceEdit->setPlainText(QString());
    child->translationEdit->setPlainText(QString());
    child->setModified(false);
    child->show();
    QTimer::singleShot(10, this, &MainWindow::ChangeTitle);
}

void MainWindow::ChangeTitle()
{
    MdiChild *child = activeMdiChild();
    if (child)
        child->setFocus();
    setWindowTitle(AppState::recognitionLanguage == 0 ? tr("Chinese-->Uygur Translator")
                                                      : tr("Uygur-->Chinese Translator"));
    if (child)
        applyOrientation();
    applyLanguageFonts();
    updateLetterCount();
}

void MainWindow::applyOrientation()
{
    const Qt::Orientation orientation = AppState::editOrientation == 0 ? Qt::Horizontal : Qt::Vertical;
    for (MdiChild *document : documents())
        document->setOrientation(orientation);
}

void MainWindow::updateMenus()
{
    const bool hasDocument = activeMdiChild() != nullptr;
    for (const char *name : { "saveAct", "saveAsAct", "saveAsTabAct", "closeAct", "closeAllAct", "tileAct",
             "cascadeAct", "nextAct", "previousAct" })
        action(name)->setEnabled(hasDocument);
    action("separatorAct")->setVisible(hasDocument);
    const bool continuous = AppState::textMode == 0;
    action("pasteAct")->setEnabled(hasDocument && continuous);
    const bool hasSelection
        = hasDocument && continuous && activeMdiChild()->sourceEdit->textCursor().hasSelection();
    action("cutAct")->setEnabled(hasSelection);
    action("copyAct")->setEnabled(hasSelection);
}

void MainWindow::updateWindowMenu() { windowMenu->update(); }

void MainWindow::closeChild()
{
    if (mdiArea->subWindowList().size() <= 1)
        recording->lastDocumentClosing();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (AppState::exitConfirmed) {
        event->accept();
        return;
    }
    // Whoever answered "Yes, restart" has already agreed to the closing.
    if (!relauncher.isRequested()
        && !QMyMessageBox::question(
            this, tr("Application"), tr("exit program?"), tr("Yes"), tr("No"), QMessageBox::Cancel)) {
        event->ignore();
        return;
    }
    AppState::exitConfirmed = true;
    mdiArea->closeAllSubWindows();
    if (mdiArea->currentSubWindow()) {
        // A document refused to close; the next close asks again and offers to save again.
        AppState::exitConfirmed = false;
        relauncher.withdraw();
        event->ignore();
    } else {
        event->accept();
        relauncher.launchIfRequested();
    }
}

void MainWindow::updateLetterCount()
{
    if (MdiChild *child = activeMdiChild())
        statusBar()->showMessage(tr("Total Letter") + QString::number(child->currentSourceText().size()));
}

// ---------------------------------------------------------------------------
// Files

void MainWindow::open()
{
    if (AppState::RecordState == AppState::Recording || !files->open())
        return;
    rebuildContinuousTexts();
    QTimer::singleShot(10, this, &MainWindow::ChangeTitle);
    recording->documentOpened();
}

// Speech recognised during a save is held back and applied after it, in order.
void MainWindow::save() { saveWith(&FileCommands::save); }

void MainWindow::saveAs() { saveWith(&FileCommands::saveAs); }

void MainWindow::saveAsTabFile() { saveWith(&FileCommands::saveAsTabFile); }

void MainWindow::saveWith(void (FileCommands::*command)())
{
    recording->beginSaving();
    (files.get()->*command)();
    recording->finishSaving();
}

void MainWindow::MyTimerSlot() { files->autoSave(); }

// ---------------------------------------------------------------------------
// Item and translation commands

bool MainWindow::checkItemCommand()
{
    QString message;
    MdiChild *child = activeMdiChild();
    if (AppState::RecordState == AppState::Recording)
        message = tr("Plesae stop record first");
    else if (!child)
        message = tr("No Active Window");
    else if (AppState::textMode == 0)
        message = tr("Please switch to one sentence per line");
    else if (child->model()->count() == 0)
        message = tr("No Items");
    if (message.isEmpty())
        return true;
    QMyMessageBox::warning(this, tr("Application"), message);
    return false;
}

bool MainWindow::runItemCommand(bool (MdiChild::*command)())
{
    if (!checkItemCommand())
        return false;
    (activeMdiChild()->*command)();
    return true;
}

void MainWindow::transelItem()
{
    if (checkItemCommand())
        activeMdiChild()->transelItem();
}

void MainWindow::tranallItem()
{
    if (checkItemCommand())
        activeMdiChild()->tranallItem();
}

void MainWindow::addUpItem() { runItemCommand(&MdiChild::addUp); }

void MainWindow::addDownItem() { runItemCommand(&MdiChild::addDown); }

void MainWindow::deleteItem()
{
    if (runItemCommand(&MdiChild::deleteCurrent))
        updateLetterCount();
}

bool MainWindow::event(QEvent *event)
{
    switch (int(event->type())) {
    case TranslationEvent::AppendType:
    case TranslationEvent::RowType:
        translationRouter->deliver();
        return true;
    case RecognitionEvent::PartialType:
    case RecognitionEvent::FinalType:
        recording->apply(event);
        return true;
    default:
        return QMainWindow::event(event);
    }
}

// ---------------------------------------------------------------------------
// Recording, reading aloud and the settings commands

void MainWindow::runItem() { recording->start(); }

void MainWindow::stopItem() { recording->stop(); }

void MainWindow::playItem() { readAloud->toggle(); }

void MainWindow::applyLanguageFonts() { settingsCommands->applyLanguageFonts(); }

void MainWindow::setFontItem() { settingsCommands->chooseFont(0); }

void MainWindow::setFontItemWW() { settingsCommands->chooseFont(1); }

void MainWindow::setColorItem() { settingsCommands->chooseColour(); }

void MainWindow::setAutoSaveItem() { settingsCommands->chooseAutoSave(); }

void MainWindow::setPauseMarkActItem() { settingsCommands->choosePauseMark(); }

void MainWindow::setShowEditActItem() { settingsCommands->chooseDisplay(); }

void MainWindow::setNetworkActItem() { settingsCommands->chooseServers(); }

void MainWindow::rebuildContinuousTexts()
{
    const QString fullwidthComma(QChar(0xFF0C));
    const QString arabicComma = QString(QChar(0x060C)) + QLatin1Char(' ');
    const bool uyghurSpoken = AppState::recognitionLanguage == 1;
    for (MdiChild *document : documents())
        document->rebuildContinuousText(
            uyghurSpoken ? arabicComma : fullwidthComma, uyghurSpoken ? fullwidthComma : arabicComma);
}

// On the running source text of the active document, when it is on screen. The
// source view's own commands also keep the running source text in step.
void MainWindow::editRunningText(const std::function<void(MyEdit *)> &command)
{
    MdiChild *child = activeMdiChild();
    if (!child || AppState::textMode != 0)
        return;
    command(child->sourceEdit);
    updateLetterCount();
}

void MainWindow::cut() { editRunningText([](MyEdit *edit) { edit->cut1(); }); }

void MainWindow::copy() { editRunningText([](MyEdit *edit) { edit->copy1(); }); }

void MainWindow::paste() { editRunningText([](MyEdit *edit) { edit->paste1(); }); }

void MainWindow::about() { QMessageBox::about(this, tr("Tolvane"), tr("aboutContents")); }

// ---------------------------------------------------------------------------
// Direction, recognition mode and interface language

void MainWindow::setRecognitionLanguage(int language)
{
    AppState::recognitionLanguage = language;
    plcThread.setRecognitionLanguage(language);
    Settings::write(SettingsKeys::Lang, language);
    ChangeTitle();
    recording->restart();
}

void MainWindow::LangCNItem() { setRecognitionLanguage(0); }

void MainWindow::LangWWItem() { setRecognitionLanguage(1); }

void MainWindow::realtimeChanged(const QString &mode)
{
    if (AppState::RecordState == AppState::Recording)
        return;
    AppState::phraseMode = mode == tr("Phrase Mode");
    Settings::write(SettingsKeys::Realtime, AppState::phraseMode ? QStringLiteral("1") : QStringLiteral("0"));
}

void MainWindow::langChanged(const QString &lang)
{
    if (AppState::RecordState != AppState::Recording)
        language->switchTo(lang);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QMainWindow::changeEvent(event);
}

void MainWindow::retranslateUi()
{
    if (!status)
        return;
    actions->retranslate();
    status->retranslate(AppState::phraseMode);
    ChangeTitle();
    recording->showState();
}
