#include "app/appstate.h"
#include "app/mainwindow.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "httptestserver.h"
#include "modalanswer.h"
#include "speech/recognitionevent.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAction>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <memory>

namespace {
// The sentence as the translation server received it.
QString sentText(const HttpTestServer::Request &request)
{
    for (const QByteArray &field : request.body.split('&')) {
        if (field.startsWith("content="))
            return QString::fromUtf8(QByteArray::fromPercentEncoding(field.mid(8)));
    }
    return QString();
}

// A main window whose translation worker talks to a server on 127.0.0.1 that
// answers "T:" and the sentence, and fails for the sentence "bad".
struct TranslatingWindow
{
    HttpTestServer server;
    std::unique_ptr<WindowFixture> fixture;
    MainWindow *w = nullptr;

    TranslatingWindow()
    {
        server.setHandler([](const HttpTestServer::Request &request) {
            const QString text = sentText(request);
            if (text == QLatin1String("bad"))
                return HttpTestServer::Reply { 500, QByteArray(), 0 };
            return HttpTestServer::Reply { 200, HttpTestServer::translationReply(QStringLiteral("T:") + text),
                0 };
        });
        fixture = std::make_unique<WindowFixture>();
        w = fixture->window;
        w->translationWorker().setDefaultEndpoint(QStringLiteral("127.0.0.1"), server.port());
        w->translationWorker().setRequestTimeout(5000);
    }

    QStringList sent() const
    {
        QStringList texts;
        for (const HttpTestServer::Request &request : server.requests())
            texts << sentText(request);
        return texts;
    }
};

MdiChild *prepare(
    MainWindow *w, const QStringList &sources, const QStringList &translations, int current = -1)
{
    MdiChild *child = w->activeMdiChild();
    child->setItems(sources, translations);
    if (current >= 0)
        child->sourceView->setCurrentIndex(child->sourceModel->index(current));
    child->setModified(false);
    w->statusBar()->showMessage(QStringLiteral("before"));
    return child;
}

QAction *menuEntry(MdiChild *child, const QString &text, QMenu **menu)
{
    *menu = child->createSourceMenu();
    for (QAction *action : (*menu)->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

void runMenuEntry(MdiChild *child, const QString &text)
{
    QMenu *menu = nullptr;
    QAction *entry = menuEntry(child, text, &menu);
    QVERIFY2(entry, qPrintable(text));
    entry->trigger();
    delete menu;
}
}

// Translate selection and translate all, and where their results land.
class TestTranslationCommands : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void refusalsQueueNothing_data();
    void refusalsQueueNothing();
    void translateSelection();
    void translateAllReplacesRowsInOrder();
    void failedRowIsLeftAlone();
    void resultsReachTheirOwnDocument();
    void resultsOfAClosedDocumentAreDropped();
    void contextMenuWorksWhileRecording();
    void commaSeparateAppendsRecognisedSentence();
};

void TestTranslationCommands::cleanup() { ModalAnswer::reset(); }

void TestTranslationCommands::refusalsQueueNothing_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<bool>("noWindow");
    QTest::addColumn<QString>("message");
    for (bool all : { false, true }) {
        const char *command = all ? "translate all" : "translate selection";
        QTest::addRow("%s: no window", command) << all << true << QStringLiteral("没有活动窗口");
        QTest::addRow("%s: no items", command) << all << false << QStringLiteral("没有内容");
    }
}

void TestTranslationCommands::refusalsQueueNothing()
{
    QFETCH(bool, all);
    QFETCH(bool, noWindow);
    QFETCH(QString, message);
    TranslatingWindow t;
    MdiChild *child = prepare(t.w, {}, { "orphan" });
    if (noWindow) {
        t.w->mdiArea->closeAllSubWindows();
        QTRY_VERIFY(t.w->mdiArea->subWindowList().isEmpty());
    }
    ModalAnswer::clickStandard(QMessageBox::Ok);
    (all ? t.w->tranallAct : t.w->transelAct)->trigger();
    QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("工具"));
    QCOMPARE(ModalAnswer::lastText(), message);
    if (!noWindow)
        QVERIFY(!child->isModified());

    // A line queued after the command is the first the server sees.
    t.w->translationWorker().enqueue(QStringLiteral("later"), 0);
    QTRY_COMPARE(t.server.requestCount(), 1);
    QCOMPARE(t.sent(), QStringList { QStringLiteral("later") });
}

void TestTranslationCommands::translateSelection()
{
    TranslatingWindow t;
    MdiChild *child = prepare(t.w, { "你好", "谢谢", "再见" }, { "salam", "rehmet", "xosh" });

    // No current item: nothing is queued and nothing is said.
    t.w->transelAct->trigger();
    QCOMPARE(t.w->translationWorker().pendingCount(), 0);
    QVERIFY(!child->isModified());

    child->sourceView->setCurrentIndex(child->sourceModel->index(1));
    t.w->transelAct->trigger();
    QVERIFY(child->isModified());
    QTRY_COMPARE(child->translations().at(1), QStringLiteral("T:谢谢"));
    // The tag travels as the row, not as text; the first command sent nothing.
    QCOMPARE(t.sent(), QStringList { QStringLiteral("谢谢") });
    QCOMPARE(child->translations(), QStringList({ "salam", "T:谢谢", "xosh" }));
    QCOMPARE(child->translationModel->stringList(), child->translations());
    QCOMPARE(ModalAnswer::answeredCount(), 0);
    // Translation results leave the letter count alone.
    QCOMPARE(t.w->statusBar()->currentMessage(), QStringLiteral("before"));
}

void TestTranslationCommands::translateAllReplacesRowsInOrder()
{
    TranslatingWindow t;
    MdiChild *child = prepare(t.w, { "一", "二", "三" }, { "", "", "" });
    t.w->tranallAct->trigger();
    QVERIFY(child->isModified());
    // The lines were copied when queued: an edit now does not change them.
    child->sourceModel->setData(child->sourceModel->index(2), QStringLiteral("改"));
    QCOMPARE(child->sources().at(2), QStringLiteral("改"));

    QTRY_COMPARE(child->translations().at(2), QStringLiteral("T:三"));
    QCOMPARE(t.sent(), QStringList({ "一", "二", "三" }));
    QCOMPARE(child->translations(), QStringList({ "T:一", "T:二", "T:三" }));
    QCOMPARE(child->translationModel->stringList(), child->translations());
}

void TestTranslationCommands::failedRowIsLeftAlone()
{
    TranslatingWindow t;
    MdiChild *child = prepare(t.w, { "bad", "fine" }, { "old", "older" });
    t.w->tranallAct->trigger();
    // Results are applied in order, so the failure was handled before the second row.
    QTRY_COMPARE(child->translations().at(1), QStringLiteral("T:fine"));
    QCOMPARE(t.sent(), QStringList({ "bad", "fine" }));
    QCOMPARE(child->translations(), QStringList({ "old", "T:fine" }));
    QCOMPARE(child->translationModel->stringList(), child->translations());
}

void TestTranslationCommands::resultsReachTheirOwnDocument()
{
    TranslatingWindow t;
    MdiChild *first = prepare(t.w, { "a", "b" }, { "x", "y" });
    t.w->tranallAct->trigger();
    // A recognised sentence of the same document, queued untagged as recognition does.
    t.w->translationWorker().enqueue(QStringLiteral("c"), first->documentId(), first->model()->appendSource(QStringLiteral("c")));
    t.w->newFile();
    MdiChild *second = t.w->activeMdiChild();
    QVERIFY(second != first);
    second->setItems({ "p", "q", "r" }, { "1", "2", "3" });

    QTRY_COMPARE(first->translations().size(), 3);
    QCOMPARE(first->translations(), QStringList({ "T:a", "T:b", "T:c" }));
    QCOMPARE(first->translationModel->stringList(), first->translations());
    QCOMPARE(second->translations(), QStringList({ "1", "2", "3" }));
    QCOMPARE(t.w->activeMdiChild(), second);
}

void TestTranslationCommands::resultsOfAClosedDocumentAreDropped()
{
    TranslatingWindow t;
    MdiChild *first = prepare(t.w, { "a" }, { "x" });
    t.w->tranallAct->trigger();
    t.w->translationWorker().enqueue(QStringLiteral("b"), first->documentId(), first->model()->appendSource(QStringLiteral("b")));
    t.w->newFile();
    MdiChild *second = t.w->activeMdiChild();
    second->setItems({ "p" }, { "q" });
    // The server answers only when this thread's events turn: nothing has arrived yet.
    first->setModified(false);
    QVERIFY(qobject_cast<QMdiSubWindow *>(first->parentWidget())->close());
    QCOMPARE(t.w->mdiArea->subWindowList().size(), 1);

    t.w->translationWorker().enqueue(QStringLiteral("s"), second->documentId(), second->model()->appendSource(QStringLiteral("s")));
    QTRY_COMPARE(second->translations().size(), 2);
    QCOMPARE(t.sent(), QStringList({ "a", "b", "s" }));
    QCOMPARE(second->translations(), QStringList({ "q", "T:s" }));
}

void TestTranslationCommands::contextMenuWorksWhileRecording()
{
    TranslatingWindow t;
    MdiChild *child = prepare(t.w, { "a", "b" }, { "x", "y" }, 1);
    AppState::RecordState = AppState::Recording;

    for (QAction *action : { t.w->transelAct, t.w->tranallAct }) {
        ModalAnswer::clickStandard(QMessageBox::Ok);
        action->trigger();
        QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("工具"));
        QCOMPARE(ModalAnswer::lastText(), QStringLiteral("请先停止录音"));
    }
    QCOMPARE(ModalAnswer::answeredCount(), 2);
    QVERIFY(!child->isModified());

    runMenuEntry(child, QStringLiteral("选中翻译"));
    QVERIFY(child->isModified());
    runMenuEntry(child, QStringLiteral("全部翻译"));

    QTRY_COMPARE(t.server.requestCount(), 3);
    // The refused commands queued nothing ahead of these.
    QCOMPARE(t.sent(), QStringList({ "b", "a", "b" }));
    QTRY_COMPARE(child->translations(), QStringList({ "T:a", "T:b" }));
    QCOMPARE(AppState::RecordState, int(AppState::Recording));
}

void TestTranslationCommands::commaSeparateAppendsRecognisedSentence()
{
    TranslatingWindow t;
    MdiChild *child = prepare(t.w, { "你好" }, { "salam" });
    AppState::textMode = 0;
    AppState::phraseMode = false;
    t.w->rebuildContinuousTexts();
    const QString arabicComma = QString(QChar(0x060C)) + QLatin1Char(' ');
    QCOMPARE(child->model()->runningTranslation(), QStringLiteral("salam") + arabicComma);

    ModalAnswer::clickStandard(QMessageBox::Ok);
    t.w->tranallAct->trigger();
    QCOMPARE(ModalAnswer::lastText(), QStringLiteral("请先把显示方式切换到每句显示为一行"));

    QCoreApplication::postEvent(t.w, new RecognitionEvent(RecognitionEvent::Final, true, 100, "谢谢"));
    QTRY_COMPARE(child->translations().size(), 2);
    QCOMPARE(t.sent(), QStringList { QStringLiteral("谢谢") });
    QCOMPARE(child->sources(), QStringList({ "你好", "谢谢" }));
    QCOMPARE(child->translations(), QStringList({ "salam", "T:谢谢" }));
    const QString expected = QStringLiteral("salam") + arabicComma + QStringLiteral("T:谢谢") + QChar(0xFF0C);
    QCOMPARE(child->model()->runningTranslation(), expected);
    QCOMPARE(child->translationEdit->toPlainText(), expected);
    QCOMPARE(child->translationEdit->textCursor().position(), expected.size());
}

TOLVANE_TEST_MAIN(TestTranslationCommands)
#include "tst_translationcommands.moc"
