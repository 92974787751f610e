#include "app/appstate.h"
#include "app/mainwindow.h"
#include "documents/mdichild.h"
#include "modalanswer.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAction>
#include <QListView>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>

namespace {
const QStringList threeSources { "你好", "谢谢", "再见" };
const QStringList threeTranslations { "salam", "rehmet", "xosh" };

// A document with items, shown and laid out, and a current source item (-1: none).
MdiChild *prepare(MainWindow *w, const QStringList &sources, const QStringList &translations, int current)
{
    MdiChild *child = w->activeMdiChild();
    child->setItems(sources, translations);
    if (current >= 0)
        child->sourceView->setCurrentIndex(child->sourceModel->index(current));
    child->setModified(false);
    w->statusBar()->showMessage(QStringLiteral("before"));
    return child;
}

QAction *commandAction(MainWindow *w, const QString &command)
{
    if (command == QLatin1String("up"))
        return w->action("addUpAct");
    if (command == QLatin1String("down"))
        return w->action("addDownAct");
    return w->action("deleteAct");
}

// The context-menu entry of the source list that runs the same command.
QAction *menuEntry(QMenu *menu, const QString &command)
{
    const QString text = command == QLatin1String("up") ? QStringLiteral("上边添加")
        : command == QLatin1String("down")              ? QStringLiteral("下边添加")
                                                        : QStringLiteral("删除当前选项");
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

int letterCount(const QStringList &sources)
{
    int count = 0;
    for (const QString &s : sources)
        count += s.size() + 1;
    return count;
}
}

// Add Up, Add Down and Delete, from the main window and from the context menu.
class TestItemCommands : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void refusals_data();
    void refusals();

    void mainWindowCommands_data();
    void mainWindowCommands();
};

void TestItemCommands::cleanup() { ModalAnswer::reset(); }

void TestItemCommands::refusals_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("recording");
    QTest::addColumn<bool>("noWindow");
    QTest::addColumn<int>("textMode");
    QTest::addColumn<bool>("items");
    QTest::addColumn<QString>("message");

    const QString stopFirst = QStringLiteral("请先停止录音");
    const QString noWindow = QStringLiteral("没有活动窗口");
    const QString switchMode = QStringLiteral("请先把显示方式切换到每句显示为一行");
    const QString noItems = QStringLiteral("没有内容");
    // Each row also breaks every later check, so the order shows.
    const QString c = QStringLiteral("up");
    QTest::newRow("recording") << c << true << false << 0 << false << stopFirst;
    QTest::newRow("recording, no window") << c << true << true << 0 << false << stopFirst;
    QTest::newRow("no window") << c << false << true << 0 << false << noWindow;
    QTest::newRow("comma separate, items") << c << false << false << 0 << true << switchMode;
    QTest::newRow("no items") << c << false << false << 1 << false << noItems;
    QTest::newRow("delete: no items") << QStringLiteral("delete") << false << false << 1 << false << noItems;
}

void TestItemCommands::refusals()
{
    QFETCH(QString, command);
    QFETCH(bool, recording);
    QFETCH(bool, noWindow);
    QFETCH(int, textMode);
    QFETCH(bool, items);
    QFETCH(QString, message);
    WindowFixture f;
    MainWindow *w = f.window;
    const QStringList sources = items ? threeSources : QStringList();
    const QStringList translations = items ? threeTranslations : QStringList();
    MdiChild *child = prepare(w, sources, translations, items ? 1 : -1);
    if (noWindow) {
        w->documentArea()->closeAllSubWindows();
        QTRY_VERIFY(w->documentArea()->subWindowList().isEmpty());
        child = nullptr;
    }
    if (recording)
        AppState::RecordState = AppState::Recording;
    AppState::textMode = textMode;

    ModalAnswer::clickStandard(QMessageBox::Ok);
    commandAction(w, command)->trigger();

    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("工具"));
    QCOMPARE(ModalAnswer::lastText(), message);
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("before"));
    if (child) {
        QCOMPARE(child->sources(), sources);
        QCOMPARE(child->translations(), translations);
        QVERIFY(!child->isModified());
        QCOMPARE(child->sourceView->currentIndex().row(), items ? 1 : -1);
    }
}

void TestItemCommands::mainWindowCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("translations");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("translationsAfter");
    QTest::addColumn<bool>("fromMenu"); // the source list's context menu, which also works while recording

    const QStringList &t = threeTranslations;
    const QStringList unchanged = threeSources;
    QTest::newRow("up on a middle item") << "up" << t << 1 << QStringList { "你好", " ", "谢谢", "再见" }
                                         << QStringList { "salam", " ", "rehmet", "xosh" } << false;
    QTest::newRow("up on the last item") << "up" << t << 2 << QStringList { "你好", "谢谢", " ", "再见" }
                                         << QStringList { "salam", "rehmet", " ", "xosh" } << false;
    QTest::newRow("down on the first item") << "down" << t << 0 << QStringList { "你好", " ", "谢谢", "再见" }
                                            << QStringList { "salam", " ", "rehmet", "xosh" } << false;
    QTest::newRow("down on the last item") << "down" << t << 2 << unchanged << t << false;
    QTest::newRow("down without current item")
        << "down" << t << -1 << QStringList { " ", "你好", "谢谢", "再见" }
        << QStringList { " ", "salam", "rehmet", "xosh" } << false;
    QTest::newRow("delete a middle item")
        << "delete" << t << 1 << QStringList { "你好", "再见" } << QStringList { "salam", "xosh" } << false;
    QTest::newRow("delete without current item") << "delete" << t << -1 << unchanged << t << false;

    // Translations still on their way: rows at or after the translation count stay.
    const QStringList pending { "salam" };
    QTest::newRow("up, translation pending") << "up" << pending << 1 << unchanged << pending << false;
    QTest::newRow("delete, translation pending") << "delete" << pending << 1 << unchanged << pending << false;
    QTest::newRow("up, translated row") << "up" << pending << 0 << QStringList { " ", "你好", "谢谢", "再见" }
                                        << QStringList { " ", "salam" } << false;
    QTest::newRow("delete, translated row")
        << "delete" << pending << 0 << QStringList { "谢谢", "再见" } << QStringList() << false;
    QTest::newRow("menu: delete while recording") << "delete" << t << 1 << QStringList { "你好", "再见" }
                                                  << QStringList { "salam", "xosh" } << true;
    QTest::newRow("menu: up, translation pending") << "up" << pending << 1 << unchanged << pending << true;
}

void TestItemCommands::mainWindowCommands()
{
    QFETCH(QString, command);
    QFETCH(QStringList, translations);
    QFETCH(int, current);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, translationsAfter);
    QFETCH(bool, fromMenu);
    WindowFixture f;
    MainWindow *w = f.window;
    MdiChild *child = prepare(w, threeSources, translations, current);
    const bool changes = sources != threeSources;
    if (fromMenu) {
        AppState::RecordState = AppState::Recording;
        QMenu *menu = child->createSourceMenu();
        menuEntry(menu, command)->trigger();
        delete menu;
        AppState::RecordState = AppState::Idle;
    } else {
        commandAction(w, command)->trigger();
    }

    QCOMPARE(ModalAnswer::answeredCount(), 0);
    QCOMPARE(child->sources(), sources);
    QCOMPARE(child->translations(), translationsAfter);
    QCOMPARE(child->isModified(), changes);
    if (changes) {
        QCOMPARE(child->sourceView->currentIndex().row(), -1);
        QCOMPARE(child->translationView->currentIndex().row(), -1);
    }
    // Only deleting from the main window refreshes the letter count, whether or not it removed anything.
    const QString status = command == QLatin1String("delete") && !fromMenu
        ? QStringLiteral("总字数：%1").arg(letterCount(sources))
        : QStringLiteral("before");
    QCOMPARE(w->statusBar()->currentMessage(), status);
}

TOLVANE_TEST_MAIN(TestItemCommands)
#include "tst_itemcommands.moc"
