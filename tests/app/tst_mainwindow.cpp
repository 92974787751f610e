#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "modalanswer.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

namespace {
QImage iconImage(const QIcon &icon) { return icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32); }
}

// Start-up from the settings files, the state of the menus, the window menu,
// closing, and the letter count.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { ModalAnswer::reset(); }
    void startUp_data();
    void startUp();
    void menusFollowDocumentsAndTextMode();
    void windowMenuTenDocuments();
    void exitConfirmation_data();
    void exitConfirmation();
    void refusedExitAsksAgain();
    void letterCountAndRunningTextCommands();
};

void TestMainWindow::startUp_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("englishIni");
    QTest::addColumn<bool>("phrase");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("fileMenu");
    QTest::addColumn<int>("autoSaveMinutes");
    QTest::newRow("first start") << QByteArray() << QByteArray() << true << 0 << "汉-->维翻译" << "文件" << 1;
    // Built before the switch to English, status tips stay Chinese.
    QTest::newRow("English") << QByteArray("[action]\nuilang=1\n") << QByteArray() << true << 0
                             << "Chinese-->Uygur Translator" << "&File" << 1;
    // Values changed under the English interface are there at the next start.
    QTest::newRow("English file read") << QByteArray("[action]\nuilang=1\nrealtime=1\nlang=0\n")
                                       << QByteArray("[action]\nrealtime=0\nlang=1\n") << false << 1
                                       << "Uygur-->Chinese Translator" << "&File" << 1;
    QTest::newRow("realtime 2 is sentence mode") << QByteArray("[action]\nrealtime=2\n") << QByteArray() << false
                                                 << 0 << "汉-->维翻译" << "文件" << 1;
    QTest::newRow("auto-save 0") << QByteArray("[action]\nautoSave=0\n") << QByteArray() << true << 0
                                 << "汉-->维翻译" << "文件" << 1;
    QTest::newRow("auto-save 99") << QByteArray("[action]\nautoSave=99\n") << QByteArray() << true << 0
                                  << "汉-->维翻译" << "文件" << 30;
}

void TestMainWindow::startUp()
{
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, englishIni);
    QFETCH(bool, phrase);
    QFETCH(int, direction);
    QFETCH(QString, title);
    QFETCH(QString, fileMenu);
    QFETCH(int, autoSaveMinutes);
    WindowFixture f(ini, englishIni);
    MainWindow *w = f.window;
    QCOMPARE(w->size(), QSize(1024, 600));
    QCOMPARE(WindowFixture::mainTitle(w), title);
    QCOMPARE(w->findChild<QMenu *>(QStringLiteral("fileMenu"))->title(), fileMenu);
    QCOMPARE(w->action("newAct")->statusTip(), QStringLiteral("新建一个文件"));
    QCOMPARE(AppState::phraseMode, phrase);
    QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->currentIndex(), phrase ? 0 : 1);
    QCOMPARE(AppState::recognitionLanguage, direction);
    QCOMPARE(w->findChild<QTimer *>(QStringLiteral("autoSaveTimer"))->interval(), autoSaveMinutes * 60000);
    QCOMPARE(w->documentArea()->subWindowList().size(), 1);
    QVERIFY(w->documentArea()->subWindowList().first()->isMaximized());
    QCOMPARE(AppState::RecordState, int(AppState::Idle));
    QVERIFY(w->translationWorker().isRunning());
}

void TestMainWindow::menusFollowDocumentsAndTextMode()
{
    WindowFixture f;
    MainWindow *w = f.window;
    MdiChild *child = w->activeMdiChild();
    const QStringList documentActions { "saveAct", "saveAsAct", "saveAsTabAct", "closeAct", "closeAllAct",
        "tileAct", "cascadeAct", "nextAct", "previousAct" };
    auto enabled = [w](const QString &name) { return w->action(name.toLatin1().constData())->isEnabled(); };
    for (const QString &name : documentActions)
        QVERIFY2(enabled(name), qPrintable(name));
    QVERIFY(!enabled(QStringLiteral("pasteAct")) && !enabled(QStringLiteral("cutAct")));

    // Paste needs the running text on screen; Cut and Copy a selection in it.
    AppState::textMode = 0;
    child->sourceEdit->setPlainText(QStringLiteral("你好"));
    w->updateMenus();
    QVERIFY(enabled(QStringLiteral("pasteAct")) && !enabled(QStringLiteral("copyAct")));
    child->sourceEdit->selectAll();
    w->updateMenus();
    QVERIFY(enabled(QStringLiteral("cutAct")) && enabled(QStringLiteral("copyAct")));
    child->sourceEdit->moveCursor(QTextCursor::End);
    QVERIFY(!enabled(QStringLiteral("copyAct")));

    // Without documents: nothing to save, and recording is no longer offered.
    child->setModified(false);
    w->newFile();
    w->documentArea()->closeAllSubWindows();
    QTRY_VERIFY(w->documentArea()->subWindowList().isEmpty());
    w->updateMenus();
    for (const QString &name : documentActions + QStringList { "pasteAct", "cutAct", "copyAct" })
        QVERIFY2(!enabled(name), qPrintable(name));
    QVERIFY(!w->action("separatorAct")->isVisible());
    QCOMPARE(AppState::RecordState, int(AppState::NoDocument));
    QCOMPARE(iconImage(w->action("runAct")->icon()), iconImage(QIcon(QStringLiteral(":/images/Run1.png"))));
    w->newFile();
    QCOMPARE(AppState::RecordState, int(AppState::Idle));
    QCOMPARE(iconImage(w->action("runAct")->icon()), iconImage(QIcon(QStringLiteral(":/images/Run.png"))));
}

void TestMainWindow::windowMenuTenDocuments()
{
    WindowFixture f;
    MainWindow *w = f.window;
    for (int i = 0; i < 9; ++i)
        w->newFile();
    w->updateWindowMenu();
    QMenu *menu = w->findChild<QMenu *>(QStringLiteral("windowMenu"));
    const QList<QAction *> entries = menu->actions().mid(9);
    QCOMPARE(entries.size(), 10);
    const QList<MdiChild *> docs = w->documents();
    for (int i = 0; i < 10; ++i) {
        const QString name = docs.at(i)->userFriendlyCurrentFile();
        QCOMPARE(entries.at(i)->text(),
            i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(name) : QStringLiteral("10 %1").arg(name));
        QCOMPARE(entries.at(i)->isChecked(), i == 9);
    }
    entries.first()->trigger();
    QCOMPARE(w->activeMdiChild(), docs.first());
}

void TestMainWindow::exitConfirmation_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("Yes") << QStringLiteral("是") << true;
    QTest::newRow("No") << QStringLiteral("否") << false;
    QTest::newRow("Escape") << QString() << false;
}

void TestMainWindow::exitConfirmation()
{
    QFETCH(QString, answer);
    QFETCH(bool, closed);
    WindowFixture f;
    MainWindow *w = f.window;
    if (answer.isEmpty())
        ModalAnswer::pressEscape();
    else
        ModalAnswer::clickButton(answer);
    w->action("exitAct")->trigger();
    QCOMPARE(ModalAnswer::lastText(), QStringLiteral("是否要关闭本程序？"));
    QCOMPARE(w->isVisible(), !closed);
    QCOMPARE(w->documentArea()->subWindowList().isEmpty(), closed);
}

void TestMainWindow::refusedExitAsksAgain()
{
    WindowFixture f;
    MainWindow *w = f.window;
    w->activeMdiChild()->model()->appendSource(QStringLiteral("未保存的句子"));
    w->activeMdiChild()->setModified(true);
    // Yes to the exit, then Cancel to the save prompt that it opens.
    ModalAnswer::onNext([](QWidget *exitBox) {
        ModalAnswer::clickButton(QStringLiteral("取消"));
        for (QAbstractButton *b : exitBox->findChildren<QAbstractButton *>())
            if (b->text() == QStringLiteral("是"))
                b->click();
    });
    w->close();
    QCOMPARE(ModalAnswer::answeredCount(), 2);
    QVERIFY(w->isVisible());
    QCOMPARE(w->documentArea()->subWindowList().size(), 1);
    // The next close asks again instead of quitting without saving.
    ModalAnswer::clickButton(QStringLiteral("否"));
    w->close();
    QCOMPARE(ModalAnswer::answeredCount(), 3);
    QVERIFY(w->isVisible());
}

void TestMainWindow::letterCountAndRunningTextCommands()
{
    WindowFixture f;
    MainWindow *w = f.window;
    MdiChild *child = w->activeMdiChild();
    child->model()->appendSource(QStringLiteral("你好"));
    child->model()->appendSource(QStringLiteral("谢谢"));
    w->updateLetterCount();
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("总字数：6"));

    // In lists mode Cut leaves the hidden running text alone.
    child->sourceEdit->setPlainText(QStringLiteral("abc"));
    child->sourceEdit->selectAll();
    w->cut();
    QCOMPARE(child->sourceEdit->toPlainText(), QStringLiteral("abc"));

    AppState::textMode = 0;
    w->cut();
    QCOMPARE(child->model()->runningSource(), QString());
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("总字数：0"));
    w->paste();
    QCOMPARE(child->model()->runningSource(), QStringLiteral("abc"));
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("总字数：3"));
}

TOLVANE_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
