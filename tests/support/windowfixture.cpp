#include "windowfixture.h"

#include "httptestserver.h"
#include "testfiles.h"

#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "speech/speechsdk.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTest>

WindowFixture::WindowFixture(const QByteArray &ini, const QByteArray &englishIni)
{
    resetState();
    QSettings().clear();
    Settings::setProgramDir(dir.path());
    if (!ini.isEmpty())
        writeBytes(Settings::mainPath(), ini);
    if (!englishIni.isEmpty())
        writeBytes(Settings::englishPath(), englishIni);
    translationServer = std::make_unique<HttpTestServer>();
    window = new MainWindow;
    window->translationWorker().setDefaultEndpoint(QStringLiteral("127.0.0.1"), translationServer->port());
    window->show();
    // The first document's refresh runs 10 ms after start-up and sets the title;
    // an English start retranslates through a posted language-change event.
    if (!QTest::qWaitFor([this]() { return window->windowTitle().contains(QLatin1String("-->")); }, 5000))
        qWarning("WindowFixture: the main window never set its title");
    QCoreApplication::processEvents();
}

WindowFixture::~WindowFixture()
{
    delete window;
    translationServer.reset();
    SpeechSdk::instance().release();
    Settings::setProgramDir(QString());
    resetState();
}

void WindowFixture::resetState()
{
    AppState::phraseMode = true;
    AppState::scoreThreshold = 100;
    AppState::editOrientation = 0;
    AppState::textMode = 1;
    AppState::recognitionLanguage = 0;
    AppState::backupDir.clear();
    AppState::listBackgroundColor = AppState::DefaultListBackgroundColor;
    AppState::listSelectionColor = AppState::DefaultListSelectionColor;
    AppState::pauseMarkChoice = 0;
    AppState::RecordState = AppState::NoDocument;
    AppState::exitConfirmed = false;
    AppState::savingInProgress = false;
    AppState::voiceHost.clear();
    AppState::translateHostWW.clear();
    AppState::translateHostCN.clear();
    AppState::sentenceSeparator = QString(QChar(0xFF0C));
    AppState::settingsPath.clear();
}

QString WindowFixture::mainTitle(const QWidget *window)
{
    const QString title = window->windowTitle();
    const int suffix = title.indexOf(QLatin1String(" - ["));
    return suffix < 0 ? title : title.left(suffix);
}
