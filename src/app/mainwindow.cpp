#include "mainwindow.h"

#include "app/appstate.h"
#include "app/mainwidget.h"
#include "app/settings.h"
#include "documents/documentfile.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "documents/showeditdialog.h"
#include "speech/readaloud.h"
#include "speech/recognition.h"
#include "speech/recognitionevent.h"
#include "speech/recorder.h"
#include "speech/speechengine.h"
#include "translation/networkdialog.h"
#include "translation/translationevent.h"
#include "widgets/qcoloroption.h"
#include "widgets/qlogindialog.h"
#include "widgets/qmymessagebox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QSignalMapper>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>
#include <QVBoxLayout>

namespace {
const int AutoSaveMinutesMin = 1;
const int AutoSaveMinutesMax = 30;

int clampedAutoSaveMinutes(int minutes)
{
    return qBound(AutoSaveMinutesMin, minutes, AutoSaveMinutesMax);
}

QFont statusFont()
{
    QFont font(QStringLiteral("SimSun"));
    font.setPointSize(10);
    return font;
}
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , recognition(std::make_unique<Recognition>())
    , readAloud(std::make_unique<ReadAloud>())
{
    setWindowIcon(QIcon(QStringLiteral(":images/Application.png")));
    AppState::settingsPath = Settings::mainPath();

    autoSaveTimer = new QTimer(this);
    playTimer = new QTimer(this);
    connect(autoSaveTimer, &QTimer::timeout, this, &MainWindow::MyTimerSlot);
    connect(playTimer, &QTimer::timeout, this, &MainWindow::OnMyPlayTimer);

    AppState::RecordState = AppState::NoDocument;

    qtTranslator = new QTranslator(this);
    if (qtTranslator->load(QStringLiteral("qt_zh_CN.qm"), QStringLiteral(":/lang")))
        QCoreApplication::installTranslator(qtTranslator);
    installAppTranslator(QStringLiteral("Tolvane_cn.qm"));

    const int uiLang = Settings::readInt(SettingsKeys::UiLang, QStringLiteral("0"), Settings::mainPath());
    if (uiLang == 1)
        AppState::settingsPath = Settings::englishPath();

    // Start-up reads every value from the settings file in use, so that settings
    // changed under the English interface survive the next start.
    AppState::phraseMode = Settings::readInt(SettingsKeys::Realtime, QStringLiteral("1")) == 1;
    AppState::scoreThreshold = Settings::readInt(SettingsKeys::UiScore, QStringLiteral("100"));
    AppState::editOrientation = Settings::readInt(SettingsKeys::EditStyle, QStringLiteral("0"));
    AppState::textMode = Settings::readInt(SettingsKeys::TextMode, QStringLiteral("1"));

    AppState::mainWindow = this;

    mdiArea = new QMdiArea;
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setViewMode(QMdiArea::SubWindowView);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::updateMenus);
    windowMapper = new QSignalMapper(this);
    connect(windowMapper, &QSignalMapper::mappedWidget, this, &MainWindow::setActiveSubWindow);

    statusBar()->showMessage(tr("Ready"));

    createActions();
    createMenus();
    createToolBars();
    updateMenus();

    setCentralWidget(new MainWidget(this));

    AppState::recognitionLanguage = Settings::readInt(SettingsKeys::Lang, QStringLiteral("0"));
    AppState::backupDir = Settings::readString(SettingsKeys::BackupDir, QString());
    plcThread.setRecognitionLanguage(AppState::recognitionLanguage);

    statusBar()->showMessage(tr("Ready"));
    resize(1024, 600);

    SpeechEngine::setUp(this, [this](const QString &message) {
        QMyMessageBox::warning(this, tr("Application"), message);
    });
    plcThread.setHosts(AppState::translateHostWW, AppState::translateHostCN);

    newFile();

    uiLanguageBox->setCurrentIndex(uiLang == 0 ? 0 : 1);

    AppState::listBackgroundColor = Settings::readColor(SettingsKeys::ListBackColor,
                                                        QLatin1String(SettingsKeys::DefaultListBackColor));
    AppState::listSelectionColor = Settings::readColor(SettingsKeys::ListSelColor,
                                                       QLatin1String(SettingsKeys::DefaultListSelColor));

    const int minutes = clampedAutoSaveMinutes(Settings::readInt(SettingsKeys::AutoSave, QStringLiteral("1")));
    autoSaveTimer->start(minutes * 60000);

    plcThread.startTranslating(this);
}

MainWindow::~MainWindow()
{
    QSettings settings;
    settings.setValue(QLatin1String(SettingsKeys::MainSize), size());
    delete windowMapper;
    windowMapper = nullptr;
    // The document area and the documents outlive this destructor's body; their
    // last signals must not reach a window that is already half destroyed.
    disconnect(mdiArea, nullptr, this, nullptr);
    for (MdiChild *document : documents())
        disconnect(document, nullptr, this, nullptr);
    // The SDK's threads post to this window: stop them before it goes away.
    Recorder::cancel();
    ReadAloud::stopPlayer();
    if (AppState::mainWindow == this)
        AppState::mainWindow = nullptr;
}

QString MainWindow::settingsPath() const
{
    return AppState::settingsPath;
}

void MainWindow::installAppTranslator(const QString &catalogue)
{
    if (appTranslator) {
        QCoreApplication::removeTranslator(appTranslator);
        delete appTranslator;
    }
    appTranslator = new QTranslator(this);
    if (appTranslator->load(catalogue, QStringLiteral(":/lang")))
        QCoreApplication::installTranslator(appTranslator);
}

void MainWindow::createActions()
{
    struct ActionRow {
        QAction **action;
        const char *text;
        const char *icon;
        QKeySequence::StandardKey shortcut;
        const char *tip;
    };
    const ActionRow rows[] = {
        { &newAct, QT_TR_NOOP("&New"), ":/images/New.png", QKeySequence::New, QT_TR_NOOP("Create a new file") },
        { &openAct, QT_TR_NOOP("&Open..."), ":/images/Open.png", QKeySequence::Open,
          QT_TR_NOOP("Open an existing file") },
        { &saveAct, QT_TR_NOOP("&Save"), ":/images/Save.png", QKeySequence::Save,
          QT_TR_NOOP("Save the document to disk") },
        { &saveAsAct, QT_TR_NOOP("Save &As..."), nullptr, QKeySequence::SaveAs,
          QT_TR_NOOP("Save the document under a new name") },
        { &saveAsTabAct, QT_TR_NOOP("Save As Excel..."), nullptr, QKeySequence::UnknownKey,
          QT_TR_NOOP("Save the document to excel file") },
        { &exitAct, QT_TR_NOOP("E&xit"), nullptr, QKeySequence::Quit, QT_TR_NOOP("Exit the application") },
        { &cutAct, QT_TR_NOOP("Cu&t"), ":/images/cut.png", QKeySequence::Cut,
          QT_TR_NOOP("Cut the current selection's contents to the clipboard") },
        { &copyAct, QT_TR_NOOP("&Copy"), ":/images/copy.png", QKeySequence::Copy,
          QT_TR_NOOP("Copy the current selection's contents to the clipboard") },
        { &pasteAct, QT_TR_NOOP("&Paste"), ":/images/paste.png", QKeySequence::Paste,
          QT_TR_NOOP("Paste the clipboard's contents into the current selection") },
        { &runAct, QT_TR_NOOP("Record"), ":/images/Run.png", QKeySequence::UnknownKey, QT_TR_NOOP("Record") },
        { &stopAct, QT_TR_NOOP("Stop"), ":/images/Stop1.png", QKeySequence::UnknownKey, QT_TR_NOOP("Stop") },
        { &langCNAct, QT_TR_NOOP("LangCN"), ":/images/ico001.png", QKeySequence::UnknownKey, QT_TR_NOOP("LangCN") },
        { &langWWAct, QT_TR_NOOP("LangWW"), ":/images/ico002.png", QKeySequence::UnknownKey, QT_TR_NOOP("LangWW") },
        { &setFontAct, QT_TR_NOOP("SetFont"), ":/images/Application.png", QKeySequence::UnknownKey, QT_TR_NOOP("SetFont") },
        { &setFontWWAct, QT_TR_NOOP("SetFontWW"), ":/images/Application.png", QKeySequence::UnknownKey,
          QT_TR_NOOP("SetFontWW") },
        { &setColorAct, QT_TR_NOOP("SetColor"), ":/images/Application.png", QKeySequence::UnknownKey,
          QT_TR_NOOP("setColor") },
        { &setAutoSaveAct, QT_TR_NOOP("SetAutoSave"), ":/images/Save.png", QKeySequence::UnknownKey,
          QT_TR_NOOP("SetAutoSave") },
        { &setPauseMarkAct, QT_TR_NOOP("SetPauseMark"), ":/images/Application.png", QKeySequence::UnknownKey,
          QT_TR_NOOP("SetPauseMark") },
        { &setShowEditAct, QT_TR_NOOP("SetShowEdit"), ":/images/Application.png", QKeySequence::UnknownKey,
          QT_TR_NOOP("SetShowEdit") },
        { &setNetworkAct, QT_TR_NOOP("SetNetwork"), ":/images/Application.png", QKeySequence::UnknownKey,
          QT_TR_NOOP("SetNetwork") },
        { &closeAct, QT_TR_NOOP("Cl&ose"), nullptr, QKeySequence::UnknownKey, QT_TR_NOOP("Close the active window") },
        { &closeAllAct, QT_TR_NOOP("Close &All"), nullptr, QKeySequence::UnknownKey, QT_TR_NOOP("Close all the windows") },
        { &tileAct, QT_TR_NOOP("&Tile"), nullptr, QKeySequence::UnknownKey, QT_TR_NOOP("Tile the windows") },
        { &cascadeAct, QT_TR_NOOP("&Cascade"), nullptr, QKeySequence::UnknownKey, QT_TR_NOOP("Cascade the windows") },
        { &nextAct, QT_TR_NOOP("Ne&xt"), nullptr, QKeySequence::NextChild,
          QT_TR_NOOP("Move the focus to the next window") },
        { &previousAct, QT_TR_NOOP("Pre&vious"), nullptr, QKeySequence::PreviousChild,
          QT_TR_NOOP("Move the focus to the previous window") },
    };
    for (const ActionRow &s : rows) {
        QAction *action = s.icon ? new QAction(QIcon(QLatin1String(s.icon)), tr(s.text), this)
                                 : new QAction(tr(s.text), this);
        if (s.shortcut != QKeySequence::UnknownKey)
            action->setShortcuts(s.shortcut);
        action->setStatusTip(tr(s.tip));
        *s.action = action;
    }

    separatorAct = new QAction(this);
    separatorAct->setSeparator(true);

    aboutAct = new QAction(tr("A&bout"), this);
    aboutAct->setShortcut(QKeySequence(tr("Ctrl+B")));

    transelAct = new QAction(QIcon(QStringLiteral(":/images/Right.png")), tr("translate selection"), this);
    transelAct->setStatusTip(tr("translate selection item"));
    tranallAct = new QAction(QIcon(QStringLiteral(":/images/Pause.png")), tr("translate all"), this);
    tranallAct->setStatusTip(tr("translate all"));
    addUpAct = new QAction(QIcon(QStringLiteral(":/images/AddUp.png")), tr("Add Up"), this);
    addUpAct->setStatusTip(tr("add Up Item"));
    addDownAct = new QAction(QIcon(QStringLiteral(":/images/AddDown.png")), tr("Add Down"), this);
    addDownAct->setStatusTip(tr("add Down Item"));
    deleteAct = new QAction(QIcon(QStringLiteral(":/images/Delete.png")), tr("&Delete"), this);
    deleteAct->setShortcut(QKeySequence(Qt::Key_Delete));
    deleteAct->setStatusTip(tr("Delete Item"));
    playAct = new QAction(QIcon(QStringLiteral(":/images/play.png")), tr("Play"), this);
    playAct->setStatusTip(tr("Play"));

    connect(newAct, &QAction::triggered, this, &MainWindow::newFile);
    connect(openAct, &QAction::triggered, this, &MainWindow::open);
    connect(saveAct, &QAction::triggered, this, &MainWindow::save);
    connect(saveAsAct, &QAction::triggered, this, &MainWindow::saveAs);
    connect(saveAsTabAct, &QAction::triggered, this, &MainWindow::saveAsTabFile);
    connect(exitAct, &QAction::triggered, this, &QWidget::close);
    connect(cutAct, &QAction::triggered, this, &MainWindow::cut);
    connect(copyAct, &QAction::triggered, this, &MainWindow::copy);
    connect(pasteAct, &QAction::triggered, this, &MainWindow::paste);
    connect(runAct, &QAction::triggered, this, &MainWindow::runItem);
    connect(stopAct, &QAction::triggered, this, &MainWindow::stopItem);
    connect(langCNAct, &QAction::triggered, this, &MainWindow::LangCNItem);
    connect(langWWAct, &QAction::triggered, this, &MainWindow::LangWWItem);
    connect(setFontAct, &QAction::triggered, this, &MainWindow::setFontItem);
    connect(setFontWWAct, &QAction::triggered, this, &MainWindow::setFontItemWW);
    connect(setColorAct, &QAction::triggered, this, &MainWindow::setColorItem);
    connect(setAutoSaveAct, &QAction::triggered, this, &MainWindow::setAutoSaveItem);
    connect(setPauseMarkAct, &QAction::triggered, this, &MainWindow::setPauseMarkActItem);
    connect(setShowEditAct, &QAction::triggered, this, &MainWindow::setShowEditActItem);
    connect(setNetworkAct, &QAction::triggered, this, &MainWindow::setNetworkActItem);
    connect(closeAct, &QAction::triggered, mdiArea, &QMdiArea::closeActiveSubWindow);
    connect(closeAllAct, &QAction::triggered, mdiArea, &QMdiArea::closeAllSubWindows);
    connect(tileAct, &QAction::triggered, mdiArea, &QMdiArea::tileSubWindows);
    connect(cascadeAct, &QAction::triggered, mdiArea, &QMdiArea::cascadeSubWindows);
    connect(nextAct, &QAction::triggered, mdiArea, &QMdiArea::activateNextSubWindow);
    connect(previousAct, &QAction::triggered, mdiArea, &QMdiArea::activatePreviousSubWindow);
    connect(aboutAct, &QAction::triggered, this, &MainWindow::about);
    connect(transelAct, &QAction::triggered, this, &MainWindow::transelItem);
    connect(tranallAct, &QAction::triggered, this, &MainWindow::tranallItem);
    connect(addUpAct, &QAction::triggered, this, &MainWindow::addUpItem);
    connect(addDownAct, &QAction::triggered, this, &MainWindow::addDownItem);
    connect(deleteAct, &QAction::triggered, this, &MainWindow::deleteItem);
    connect(playAct, &QAction::triggered, this, &MainWindow::playItem);
}

void MainWindow::createMenus()
{
    fileMenu = menuBar()->addMenu(tr("&File"));
    fileMenu->addAction(newAct);
    fileMenu->addAction(openAct);
    fileMenu->addAction(saveAct);
    fileMenu->addAction(saveAsAct);
    fileMenu->addAction(saveAsTabAct);
    fileMenu->addSeparator();
    fileMenu->addAction(exitAct);

    editMenu = menuBar()->addMenu(tr("&Edit"));
    editMenu->addAction(cutAct);
    editMenu->addAction(copyAct);
    editMenu->addAction(pasteAct);

    actionMenu = menuBar()->addMenu(tr("&Action"));
    actionMenu->addAction(runAct);
    actionMenu->addAction(stopAct);

    langMenu = menuBar()->addMenu(tr("&Lang"));
    langMenu->addAction(langCNAct);
    langMenu->addAction(langWWAct);

    settingMenu = menuBar()->addMenu(tr("&Setting"));
    settingMenu->addAction(setFontAct);
    settingMenu->addAction(setFontWWAct);
    settingMenu->addAction(setColorAct);
    settingMenu->addAction(setAutoSaveAct);
    settingMenu->addAction(setPauseMarkAct);
    settingMenu->addAction(setShowEditAct);
    settingMenu->addAction(setNetworkAct);

    windowMenu = menuBar()->addMenu(tr("&Window"));
    updateWindowMenu();
    connect(windowMenu, &QMenu::aboutToShow, this, &MainWindow::updateWindowMenu);

    menuBar()->addSeparator();
    helpMenu = menuBar()->addMenu(tr("&Help"));
    helpMenu->addAction(aboutAct);
}

void MainWindow::createToolBars()
{
    AppState::pauseMarkChoice = Settings::readInt(SettingsKeys::PauseMark, QStringLiteral("0"));

    const QSize iconSize(48, 48);
    QToolBar *fileToolBar = addToolBar(tr("File"));
    fileToolBar->setIconSize(iconSize);
    fileToolBar->addAction(newAct);
    fileToolBar->addAction(openAct);
    fileToolBar->addAction(saveAct);

    QToolBar *actionToolBar = addToolBar(tr("Action"));
    actionToolBar->setIconSize(iconSize);
    actionToolBar->addAction(runAct);
    actionToolBar->addAction(stopAct);

    QToolBar *editToolBar = addToolBar(tr("Edit"));
    editToolBar->setIconSize(iconSize);
    editToolBar->addAction(transelAct);
    editToolBar->addAction(tranallAct);
    editToolBar->addAction(addUpAct);
    editToolBar->addAction(addDownAct);
    editToolBar->addAction(deleteAct);
    editToolBar->addSeparator();
    editToolBar->addAction(playAct);

    const QFont font = statusFont();
    auto makeLabel = [&font](const QString &text, int width) {
        auto *label = new QLabel(text);
        label->setFont(font);
        label->setFixedSize(width, 24);
        return label;
    };

    auto *captions = new QWidget;
    captions->setFixedWidth(80);
    auto *captionLayout = new QVBoxLayout(captions);
    captionLayout->setContentsMargins(0, 0, 0, 0);
    captionLayout->setSpacing(0);
    curLangLabel = makeLabel(tr("CurLang"), 80);
    curVoiceLabel = makeLabel(tr("CurVoice"), 80);
    captionLayout->addWidget(curLangLabel);
    captionLayout->addWidget(curVoiceLabel);

    auto *values = new QWidget;
    values->setFixedWidth(70);
    auto *valueLayout = new QVBoxLayout(values);
    valueLayout->setContentsMargins(0, 0, 0, 0);
    valueLayout->setSpacing(0);
    directionLabel = makeLabel(tr("CN"), 70);
    directionLabel->setStyleSheet(QStringLiteral("color:red;"));
    recordStateLabel = makeLabel(tr("norecording"), 70);
    recordStateLabel->setStyleSheet(QStringLiteral("color:blue;"));
    valueLayout->addWidget(directionLabel);
    valueLayout->addWidget(recordStateLabel);

    QToolBar *statusToolBar = addToolBar(tr("Status"));
    statusToolBar->addWidget(captions);
    statusToolBar->addWidget(values);
    statusToolBar->addSeparator();

    modeBox = new QComboBox;
    modeBox->setFont(font);
    modeBox->setFixedHeight(48);
    fillModeBox();
    QToolBar *realTimeToolBar = addToolBar(tr("RealTime"));
    realTimeToolBar->addWidget(modeBox);

    uiLanguageBox = new QComboBox;
    uiLanguageBox->setFont(font);
    uiLanguageBox->setFixedHeight(48);
    uiLanguageBox->setFixedWidth(60);
    uiLanguageBox->addItem(tr("Chinese"));
    uiLanguageBox->addItem(tr("English"));
    QToolBar *languageToolBar = addToolBar(tr("Status"));
    languageToolBar->addWidget(uiLanguageBox);

    // Without grip handles all six bars fit the 1024-pixel window, status columns included.
    for (QToolBar *bar : { fileToolBar, actionToolBar, editToolBar, statusToolBar, realTimeToolBar, languageToolBar })
        bar->setMovable(false);
    connect(uiLanguageBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { langChanged(uiLanguageBox->itemText(index)); });
}

void MainWindow::fillModeBox()
{
    const QSignalBlocker blocker(modeBox);
    modeBox->clear();
    modeBox->addItem(tr("Phrase Mode"));
    modeBox->addItem(tr("Sentence Mode"));
    modeBox->setCurrentIndex(AppState::phraseMode ? 0 : 1);
    if (!modeBoxConnected) {
        connect(modeBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [this](int index) { realtimeChanged(modeBox->itemText(index)); });
        modeBoxConnected = true;
    }
}

void MainWindow::setRecordIcons(int state)
{
    const bool recording = state == AppState::Recording;
    runAct->setIcon(QIcon(state == AppState::Idle ? QStringLiteral(":/images/Run.png")
                                                  : QStringLiteral(":/images/Run1.png")));
    stopAct->setIcon(QIcon(recording ? QStringLiteral(":/images/Stop.png") : QStringLiteral(":/images/Stop1.png")));
}

// ---------------------------------------------------------------------------
// Documents

MdiChild *MainWindow::activeMdiChild() const
{
    if (QMdiSubWindow *window = mdiArea->activeSubWindow())
        return qobject_cast<MdiChild *>(window->widget());
    return nullptr;
}

QMdiSubWindow *MainWindow::findMdiChild(const QString &fileName) const
{
    const QString canonicalFilePath = QFileInfo(fileName).canonicalFilePath();
    if (canonicalFilePath.isEmpty())
        return nullptr;
    const auto windows = mdiArea->subWindowList();
    for (QMdiSubWindow *window : windows) {
        auto *child = qobject_cast<MdiChild *>(window->widget());
        if (!child)
            continue;
        // Documents keep the name they were opened with, and a linked folder gives a file
        // a second name; untitled names are relative and name no file.
        const QFileInfo current(child->currentFile());
        if (current.isAbsolute() && current.canonicalFilePath() == canonicalFilePath)
            return window;
    }
    return nullptr;
}

MdiChild *MainWindow::documentById(quint64 id) const
{
    const auto windows = mdiArea->subWindowList();
    for (QMdiSubWindow *window : windows) {
        auto *child = qobject_cast<MdiChild *>(window->widget());
        if (child && child->documentId() == id)
            return child;
    }
    return nullptr;
}

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
    connect(child->sourceEdit, &QPlainTextEdit::copyAvailable, cutAct, &QAction::setEnabled);
    connect(child->sourceEdit, &QPlainTextEdit::copyAvailable, copyAct, &QAction::setEnabled);
    connect(child, &MdiChild::closeChild, this, &MainWindow::closeChild);
    connect(child, &MdiChild::translationRequested, this, [this, child](int row, const QString &text) {
        plcThread.enqueueRow(row, text, child->documentId());
    });
    return child;
}

void MainWindow::newFile()
{
    if (AppState::RecordState == AppState::NoDocument)
        AppState::RecordState = AppState::Idle;
    setRecordIcons(AppState::RecordState);

    MdiChild *child = createMdiChild(this);
    child->newFile();
    AppState::sourceText.clear();
    AppState::translationText.clear();
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

void MainWindow::setActiveSubWindow(QWidget *window)
{
    if (!window)
        return;
    mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(window));
}

void MainWindow::updateMenus()
{
    const bool hasDocument = activeMdiChild() != nullptr;
    for (QAction *action : { saveAct, saveAsAct, saveAsTabAct, closeAct, closeAllAct, tileAct, cascadeAct,
                             nextAct, previousAct })
        action->setEnabled(hasDocument);
    separatorAct->setVisible(hasDocument);
    const bool continuous = AppState::textMode == 0;
    pasteAct->setEnabled(hasDocument && continuous);
    const bool hasSelection = hasDocument && continuous && activeMdiChild()->sourceEdit->textCursor().hasSelection();
    cutAct->setEnabled(hasSelection);
    copyAct->setEnabled(hasSelection);
}

void MainWindow::updateWindowMenu()
{
    windowMenu->clear();
    windowMenu->addAction(closeAct);
    windowMenu->addAction(closeAllAct);
    windowMenu->addSeparator();
    windowMenu->addAction(tileAct);
    windowMenu->addAction(cascadeAct);
    windowMenu->addSeparator();
    windowMenu->addAction(nextAct);
    windowMenu->addAction(previousAct);
    windowMenu->addAction(separatorAct);

    const QList<QMdiSubWindow *> windows = mdiArea->subWindowList();
    separatorAct->setVisible(!windows.isEmpty());

    for (int i = 0; i < windows.size(); ++i) {
        auto *child = qobject_cast<MdiChild *>(windows.at(i)->widget());
        if (!child)
            continue;
        const QString text = i < 9 ? tr("&%1 %2").arg(i + 1).arg(child->userFriendlyCurrentFile())
                                   : tr("%1 %2").arg(i + 1).arg(child->userFriendlyCurrentFile());
        QAction *action = windowMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(child == activeMdiChild());
        connect(action, &QAction::triggered, windowMapper, QOverload<>::of(&QSignalMapper::map));
        windowMapper->setMapping(action, windows.at(i));
    }
}

void MainWindow::closeChild()
{
    if (mdiArea->subWindowList().size() <= 1) {
        // Nothing could take the speech any more, and a capture left running
        // would refuse the next start while the window shows "idle".
        stopItem();
        AppState::RecordState = AppState::NoDocument;
        setRecordIcons(AppState::NoDocument);
    }
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
    MdiChild *child = activeMdiChild();
    if (!child)
        return;
    statusBar()->showMessage(tr("Total Letter") + QString::number(child->currentSourceText().size()));
}

// ---------------------------------------------------------------------------
// Edit commands on the running source text

// The running source text of the active document, when it is on screen.
MyEdit *MainWindow::continuousSourceEdit() const
{
    MdiChild *child = activeMdiChild();
    return child && AppState::textMode == 0 ? child->sourceEdit : nullptr;
}

// The source view's own commands also keep the running source text in step.
void MainWindow::cut()
{
    if (MyEdit *edit = continuousSourceEdit()) {
        edit->cut1();
        updateLetterCount();
    }
}

void MainWindow::copy()
{
    if (MyEdit *edit = continuousSourceEdit()) {
        edit->copy1();
        updateLetterCount();
    }
}

void MainWindow::paste()
{
    if (MyEdit *edit = continuousSourceEdit()) {
        edit->paste1();
        updateLetterCount();
    }
}

void MainWindow::about()
{
    QMessageBox::about(this, tr("Tolvane"), tr("aboutContents"));
}

// ---------------------------------------------------------------------------
// Direction and recognition mode

void MainWindow::setRecognitionLanguage(int language)
{
    AppState::recognitionLanguage = language;
    plcThread.setRecognitionLanguage(language);
    Settings::write(SettingsKeys::Lang, language);
    ChangeTitle();
    if (AppState::RecordState == AppState::Recording) {
        stopItem();
        QTimer::singleShot(10, this, &MainWindow::runItem);
    }
}

void MainWindow::LangCNItem()
{
    setRecognitionLanguage(0);
}

void MainWindow::LangWWItem()
{
    setRecognitionLanguage(1);
}

void MainWindow::realtimeChanged(const QString &mode)
{
    if (AppState::RecordState == AppState::Recording)
        return;
    AppState::phraseMode = mode == tr("Phrase Mode");
    Settings::write(SettingsKeys::Realtime, AppState::phraseMode ? QStringLiteral("1") : QStringLiteral("0"));
}

// ---------------------------------------------------------------------------
// Interface language

void MainWindow::langChanged(const QString &lang)
{
    if (AppState::RecordState == AppState::Recording)
        return;
    const bool chinese = lang.size() <= 2 || lang == tr("Chinese") || lang == QLatin1String("Chinese");
    installAppTranslator(chinese ? QStringLiteral("Tolvane_cn.qm") : QStringLiteral("Tolvane_en.qm"));
    AppState::settingsPath = Settings::mainPath();
    Settings::write(SettingsKeys::UiLang, chinese ? QStringLiteral("0") : QStringLiteral("1"));
    if (!chinese)
        AppState::settingsPath = Settings::englishPath();
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QMainWindow::changeEvent(event);
}

void MainWindow::retranslateUi()
{
    if (!fileMenu)
        return;
    fileMenu->setTitle(tr("&File"));
    editMenu->setTitle(tr("&Edit"));
    actionMenu->setTitle(tr("&Action"));
    langMenu->setTitle(tr("&Lang"));
    settingMenu->setTitle(tr("&Setting"));
    windowMenu->setTitle(tr("&Window"));
    helpMenu->setTitle(tr("&Help"));

    newAct->setText(tr("&New"));
    openAct->setText(tr("&Open..."));
    saveAct->setText(tr("&Save"));
    saveAsAct->setText(tr("Save &As..."));
    saveAsTabAct->setText(tr("Save As Excel..."));
    exitAct->setText(tr("E&xit"));
    cutAct->setText(tr("Cu&t"));
    copyAct->setText(tr("&Copy"));
    pasteAct->setText(tr("&Paste"));
    runAct->setText(tr("Record"));
    stopAct->setText(tr("Stop"));
    aboutAct->setText(tr("A&bout"));
    langCNAct->setText(tr("LangCN"));
    langWWAct->setText(tr("LangWW"));
    setFontAct->setText(tr("SetFont"));
    setFontWWAct->setText(tr("SetFontWW"));
    setColorAct->setText(tr("SetColor"));
    setAutoSaveAct->setText(tr("SetAutoSave"));
    setPauseMarkAct->setText(tr("SetPauseMark"));
    setShowEditAct->setText(tr("SetShowEdit"));
    setNetworkAct->setText(tr("SetNetwork"));
    closeAct->setText(tr("Cl&ose"));
    closeAllAct->setText(tr("Close &All"));
    tileAct->setText(tr("&Tile"));
    cascadeAct->setText(tr("&Cascade"));
    nextAct->setText(tr("Ne&xt"));
    previousAct->setText(tr("Pre&vious"));

    curLangLabel->setText(tr("CurLang"));
    curVoiceLabel->setText(tr("CurVoice"));

    transelAct->setText(tr("translate selection"));
    tranallAct->setText(tr("translate all"));
    addUpAct->setText(tr("Add Up"));
    addDownAct->setText(tr("Add Down"));
    deleteAct->setText(tr("&Delete"));
    playAct->setText(tr("Play"));

    fillModeBox();
    ChangeTitle();
    recordStateLabel->setText(AppState::RecordState == AppState::Recording ? tr("recording") : tr("norecording"));
}

// ---------------------------------------------------------------------------
// Files

void MainWindow::open()
{
    if (AppState::RecordState == AppState::Recording)
        return;
    const QString fileName = QFileDialog::getOpenFileName(this, QString(), AppState::backupDir, tr("*.txt"));
    if (fileName.isEmpty())
        return;
    AppState::backupDir = QFileInfo(fileName).absolutePath();
    Settings::write(SettingsKeys::BackupDir, AppState::backupDir);

    if (QMdiSubWindow *existing = findMdiChild(fileName)) {
        mdiArea->setActiveSubWindow(existing);
        return;
    }

    const bool withTranslations = QMyMessageBox::question(this, tr("Application"), tr("Include translation text?"),
                                                          tr("Yes"), tr("No"));
    MdiChild *child = createMdiChild(this);
    if (!child->loadFile(fileName, !withTranslations)) {
        // An unnamed, empty window that cannot be saved helps nobody.
        if (QMdiSubWindow *window = qobject_cast<QMdiSubWindow *>(child->parentWidget()))
            window->close();
        return;
    }
    child->show();
    rebuildContinuousTexts();
    statusBar()->showMessage(tr("File loaded"), 2000);
    QTimer::singleShot(10, this, &MainWindow::ChangeTitle);
    if (AppState::RecordState == AppState::NoDocument)
        AppState::RecordState = AppState::Idle;
    setRecordIcons(AppState::RecordState);
}

void MainWindow::save()
{
    AppState::savingInProgress = true;
    if (MdiChild *child = activeMdiChild()) {
        if (child->save())
            statusBar()->showMessage(tr("File saved"), 2000);
    }
    finishSaving();
}

void MainWindow::saveAs()
{
    AppState::savingInProgress = true;
    if (MdiChild *child = activeMdiChild()) {
        QString chosenName;
        if (child->saveAs(chosenName)) {
            statusBar()->showMessage(tr("File saved"), 2000);
            AppState::backupDir = QFileInfo(chosenName).absolutePath();
            Settings::write(SettingsKeys::BackupDir, AppState::backupDir);
        }
    }
    finishSaving();
}

void MainWindow::saveAsTabFile()
{
    AppState::savingInProgress = true;
    if (MdiChild *child = activeMdiChild()) {
        QString chosenName;
        if (child->saveAsTabFile(chosenName))
            statusBar()->showMessage(tr("File saved"), 2000);
    }
    finishSaving();
}

void MainWindow::finishSaving()
{
    AppState::savingInProgress = false;
    // Speech recognised during the save was held back; apply it now, in order.
    const auto pending = recognition->takePending();
    for (const RecognitionEvent &result : pending) {
        RecognitionEvent copy(result);
        applyRecognitionResult(&copy);
    }
}

void MainWindow::MyTimerSlot()
{
    MdiChild *child = activeMdiChild();
    if (!child || child->sources().isEmpty())
        return;
    DocumentFile::writeAutoSave(Settings::writableDir() + QStringLiteral("/file/tempfile.txt"), child->sources(),
                                child->translations());
}

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
    else if (child->sources().isEmpty())
        message = tr("No Items");
    if (message.isEmpty())
        return true;
    QMyMessageBox::warning(this, tr("Application"), message);
    return false;
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

void MainWindow::addUpItem()
{
    if (checkItemCommand())
        activeMdiChild()->addUp();
}

void MainWindow::addDownItem()
{
    if (checkItemCommand())
        activeMdiChild()->addDown();
}

void MainWindow::deleteItem()
{
    if (!checkItemCommand())
        return;
    activeMdiChild()->deleteCurrent();
    updateLetterCount();
}

void MainWindow::applyTranslationResults()
{
    MdiChild *active = activeMdiChild();
    TranslationAppendResult appended;
    while (plcThread.takeAppendResult(&appended)) {
        MdiChild *child = documentById(appended.documentId);
        if (!child)
            continue; // its document has closed
        if (AppState::textMode == 0) {
            const QString piece = appended.text + AppState::sentenceSeparator;
            if (child == active) {
                AppState::translationText += piece;
                child->translationEdit->setPlainText(AppState::translationText);
            } else {
                child->translationEdit->setPlainText(child->translationEdit->toPlainText() + piece);
            }
            child->translationEdit->moveCursor(QTextCursor::End);
        }
        child->appendTranslation(appended.text);
    }
    TranslationRowResult row;
    while (plcThread.takeRowResult(&row)) {
        if (MdiChild *child = documentById(row.documentId))
            child->replaceTranslation(row.row, row.text);
    }
}

// ---------------------------------------------------------------------------
// Events from the translation worker and the speech handlers

bool MainWindow::event(QEvent *event)
{
    switch (int(event->type())) {
    case TranslationEvent::AppendType:
    case TranslationEvent::RowType:
        applyTranslationResults();
        return true;
    case RecognitionEvent::PartialType:
    case RecognitionEvent::FinalType:
        applyRecognitionResult(event);
        return true;
    default:
        return QMainWindow::event(event);
    }
}

void MainWindow::queueRecognised(MdiChild *child, const Recognition::Outcome &outcome)
{
    if (outcome.settledDocument)
        plcThread.enqueue(outcome.settledText, outcome.settledDocument->documentId());
    if (!child)
        return;
    for (const QString &sentence : outcome.queued)
        plcThread.enqueue(sentence, child->documentId());
}

void MainWindow::applyRecognitionResult(QEvent *event)
{
    auto *result = static_cast<RecognitionEvent *>(event);
    if (AppState::savingInProgress) {
        recognition->defer(*result);
        return;
    }
    MdiChild *child = activeMdiChild();
    if (!child)
        return;
    const Recognition::Outcome outcome = recognition->apply(child, *result);
    queueRecognised(child, outcome);
    if (outcome.finalAdded)
        updateLetterCount();
}

// ---------------------------------------------------------------------------
// Recording and reading aloud

void MainWindow::runItem()
{
    if (AppState::RecordState != AppState::Idle)
        return;
    const int code = Recorder::start();
    if (code != 0) {
        QMyMessageBox::warning(this, tr("Application"), tr("start record failed, errcode:") + QString::number(code));
        return;
    }
    setRecordIcons(AppState::Recording);
    AppState::RecordState = AppState::Recording;
    recordStateLabel->setText(tr("recording"));
    modeBox->setEnabled(false);
}

void MainWindow::stopItem()
{
    if (AppState::RecordState != AppState::Recording)
        return;
    Recorder::cancel();
    // Results already posted belong to this recording; then the sentence still
    // on screen as provisional text is kept and translated like any other.
    QCoreApplication::sendPostedEvents(this, 0);
    queueRecognised(activeMdiChild(), recognition->settle());
    setRecordIcons(AppState::Idle);
    AppState::RecordState = AppState::Idle;
    recordStateLabel->setText(tr("norecording"));
    modeBox->setEnabled(true);
}

void MainWindow::playItem()
{
    if (playTimer->isActive()) {
        readAloud->stop();
        playAct->setIcon(QIcon(QStringLiteral(":/images/play.png")));
        playTimer->stop();
        return;
    }
    if (readAloud->start(activeMdiChild())) {
        playAct->setIcon(QIcon(QStringLiteral(":/images/Stop.png")));
        playTimer->start(1000);
    }
}

void MainWindow::OnMyPlayTimer()
{
    readAloud->tick(activeMdiChild());
}

// ---------------------------------------------------------------------------
// Settings commands

void MainWindow::applyLanguageFonts()
{
    QFont chinese;
    chinese.fromString(Settings::readString(Settings::fontKey(0).toLatin1().constData(), QStringLiteral("SimSun")));
    QFont uyghur;
    uyghur.fromString(Settings::readString(Settings::fontKey(1).toLatin1().constData(), QStringLiteral("SimSun")));
    const int taller = qMax(QFontMetrics(chinese).height(), QFontMetrics(uyghur).height());

    const bool uyghurSpoken = AppState::recognitionLanguage != 0;
    directionLabel->setText(uyghurSpoken ? tr("LangWW") : tr("LangCN"));

    if (MdiChild *child = activeMdiChild())
        child->applyFonts(uyghurSpoken ? uyghur : chinese, uyghurSpoken ? chinese : uyghur, uyghurSpoken, taller + 10);
}

void MainWindow::setFontFor(int index, const QString &title)
{
    const QByteArray key = Settings::fontKey(index).toLatin1();
    QFont initial;
    initial.fromString(Settings::readString(key.constData(), QStringLiteral("simsun")));
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, this, title);
    if (!ok)
        return;
    // Stored as a font key: the description in lower case. QFont::key() no longer
    // lower-cases it, so settings written by earlier versions would not match.
    Settings::write(key.constData(), chosen.toString().toLower());
    applyLanguageFonts();
}

void MainWindow::setFontItem()
{
    setFontFor(0, tr("Select Font"));
}

void MainWindow::setFontItemWW()
{
    setFontFor(1, tr("Select WW Font"));
}

void MainWindow::setColorItem()
{
    QColorOption option(0, this);
    if (option.exec() != QDialog::Accepted)
        return;
    const int choice = option.choice();
    if (choice == 2) {
        AppState::listBackgroundColor = AppState::DefaultListBackgroundColor;
        AppState::listSelectionColor = AppState::DefaultListSelectionColor;
        Settings::write(SettingsKeys::ListBackColor, QLatin1String(SettingsKeys::DefaultListBackColor));
        Settings::write(SettingsKeys::ListSelColor, QLatin1String(SettingsKeys::DefaultListSelColor));
        return;
    }
    const char *key = choice == 0 ? SettingsKeys::ListBackColor : SettingsKeys::ListSelColor;
    const char *fallback = choice == 0 ? SettingsKeys::DefaultListBackColor : SettingsKeys::DefaultListSelColor;
    const QColor chosen = QColorDialog::getColor(QColor::fromRgba(Settings::readColor(key, QLatin1String(fallback))));
    if (!chosen.isValid())
        return;
    const quint32 argb = chosen.rgba() | 0xFF000000u;
    Settings::write(key, QString::number(argb));
    (choice == 0 ? AppState::listBackgroundColor : AppState::listSelectionColor) = argb;
    if (MdiChild *child = activeMdiChild()) {
        child->sourceView->viewport()->update();
        child->translationView->viewport()->update();
    }
}

void MainWindow::setAutoSaveItem()
{
    const int stored = clampedAutoSaveMinutes(Settings::readInt(SettingsKeys::AutoSave, QStringLiteral("1")));
    bool ok = false;
    const int minutes = QInputDialog::getInt(this, tr("Auto Save Setting"), tr("Set Auto Save Time(Minute)"), stored,
                                             AutoSaveMinutesMin, AutoSaveMinutesMax, 1, &ok);
    if (!ok)
        return;
    Settings::write(SettingsKeys::AutoSave, minutes);
    autoSaveTimer->stop();
    autoSaveTimer->start(minutes * 60000);
}

void MainWindow::setPauseMarkActItem()
{
    QLoginDialog dialog(Settings::readInt(SettingsKeys::PauseMark, QStringLiteral("0")), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Settings::write(SettingsKeys::PauseMark, dialog.mark());
    AppState::pauseMarkChoice = dialog.mark();
}

void MainWindow::setShowEditActItem()
{
    // The dialog opens on the stored choice; what is on screen changes only on
    // OK. (The two interface languages keep separate settings files, so the
    // stored choice can differ from the one in effect.)
    ShowEditDialog dialog(Settings::readInt(SettingsKeys::EditStyle, QStringLiteral("0")),
                          Settings::readInt(SettingsKeys::TextMode, QStringLiteral("1")), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Settings::write(SettingsKeys::EditStyle, dialog.editStyle());
    Settings::write(SettingsKeys::TextMode, dialog.textMode());
    if (dialog.editStyle() != AppState::editOrientation) {
        AppState::editOrientation = dialog.editStyle();
        applyOrientation();
    }
    if (dialog.textMode() != AppState::textMode) {
        AppState::textMode = dialog.textMode();
        rebuildContinuousTexts();
        ChangeTitle();
        updateMenus();
    }
}

void MainWindow::rebuildContinuousTexts()
{
    const QString fullwidthComma(QChar(0xFF0C));
    const QString arabicComma = QString(QChar(0x060C)) + QLatin1Char(' ');
    const bool uyghurSpoken = AppState::recognitionLanguage == 1;
    for (MdiChild *document : documents())
        document->rebuildContinuousText(uyghurSpoken ? arabicComma : fullwidthComma,
                                        uyghurSpoken ? fullwidthComma : arabicComma);
}

void MainWindow::setNetworkActItem()
{
    if (AppState::RecordState == AppState::Recording)
        return;
    const QString voice = Settings::readString(SettingsKeys::VoiceHost, QString());
    const QString ww = Settings::readString(SettingsKeys::TranslateHostWW, QString());
    const QString cn = Settings::readString(SettingsKeys::TranslateHostCN, QString());
    NetworkDialog dialog(voice, ww, cn, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    plcThread.setHosts(AppState::translateHostWW, AppState::translateHostCN);
    Settings::write(SettingsKeys::TranslateHostWW, AppState::translateHostWW);
    Settings::write(SettingsKeys::TranslateHostCN, AppState::translateHostCN);
    if (AppState::voiceHost == voice)
        return;
    Settings::write(SettingsKeys::VoiceHost, AppState::voiceHost);
    if (QMyMessageBox::question(nullptr, tr("Application"), tr("Do you want to restart to take effect?"), tr("Yes"),
                                tr("No"))) {
        // Through the normal closing, so that every modified document is offered for saving.
        relauncher.request();
        close();
    }
}
