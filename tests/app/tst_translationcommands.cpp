#include "app/appstate.h"
#include "app/mainwindow.h"
#include "documents/documentfile.h"
#include "documents/documentmodel.h"
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
#include <QRandomGenerator>
#include <QTemporaryDir>
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
    void interleavedWorkKeepsTranslationsBesideTheirSentences_data();
    void interleavedWorkKeepsTranslationsBesideTheirSentences();
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
        t.w->documentArea()->closeAllSubWindows();
        QTRY_VERIFY(t.w->documentArea()->subWindowList().isEmpty());
    }
    ModalAnswer::clickStandard(QMessageBox::Ok);
    (all ? t.w->action("tranallAct") : t.w->action("transelAct"))->trigger();
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
    t.w->action("transelAct")->trigger();
    QCOMPARE(t.w->translationWorker().pendingCount(), 0);
    QVERIFY(!child->isModified());

    child->sourceView->setCurrentIndex(child->sourceModel->index(1));
    t.w->action("transelAct")->trigger();
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
    t.w->action("tranallAct")->trigger();
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
    t.w->action("tranallAct")->trigger();
    // Results are applied in order, so the failure was handled before the second row.
    QTRY_COMPARE(child->translations().at(1), QStringLiteral("T:fine"));
    QCOMPARE(t.sent(), QStringList({ "bad", "fine" }));
    QCOMPARE(child->translations(), QStringList({ "old", "T:fine" }));
    QCOMPARE(child->translationModel->stringList(), child->translations());
}

void TestTranslationCommands::resultsOfAClosedDocumentAreDropped()
{
    TranslatingWindow t;
    MdiChild *first = prepare(t.w, { "a" }, { "x" });
    t.w->action("tranallAct")->trigger();
    t.w->translationWorker().enqueue(QStringLiteral("b"), first->documentId(), first->model()->appendSource(QStringLiteral("b")));
    t.w->newFile();
    MdiChild *second = t.w->activeMdiChild();
    second->setItems({ "p" }, { "q" });
    // The server answers only when this thread's events turn: nothing has arrived yet.
    first->setModified(false);
    QVERIFY(qobject_cast<QMdiSubWindow *>(first->parentWidget())->close());
    QCOMPARE(t.w->documentArea()->subWindowList().size(), 1);

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

    for (QAction *action : { t.w->action("transelAct"), t.w->action("tranallAct") }) {
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
    t.w->action("tranallAct")->trigger();
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


void TestTranslationCommands::interleavedWorkKeepsTranslationsBesideTheirSentences_data()
{
    QTest::addColumn<int>("textMode");
    QTest::newRow("one sentence per line") << 1;
    QTest::newRow("comma separate") << 0;
}

// Recognition (provisional and final), late translation results, translate all,
// Add Up, Add Down, Delete, in-place edits and document switches, in random
// order over two documents. A server that answers with line breaks. Once
// everything has settled, each item holds the translation of its own
// sentence, nothing is lost or doubled, and a saved document reads back the same.
void TestTranslationCommands::interleavedWorkKeepsTranslationsBesideTheirSentences()
{
    QFETCH(int, textMode);
    const quint32 seed = qEnvironmentVariableIsSet("TOLVANE_SEED")
        ? quint32(qEnvironmentVariableIntValue("TOLVANE_SEED"))
        : QRandomGenerator::global()->generate();
    const QByteArray context = "seed " + QByteArray::number(seed) + " (set TOLVANE_SEED to repeat)";
    QRandomGenerator random(seed);

    TranslatingWindow t;
    t.server.setHandler([](const HttpTestServer::Request &request) {
        return HttpTestServer::Reply { 200,
            HttpTestServer::translationReply(QStringLiteral("T:") + sentText(request) + QStringLiteral("\nline\r\nend")),
            2 };
    });
    const auto translationOf = [](const QString &source) -> QString { return QStringLiteral("T:") + source + QStringLiteral(" line end"); };
    t.w->translationWorker().setPauseAfterRequest(1);
    AppState::phraseMode = true;
    AppState::textMode = textMode;
    t.w->rebuildContinuousTexts();
    t.w->newFile();
    QList<MdiChild *> documents = t.w->documents();
    QCOMPARE(documents.size(), 2);

    // What each document must hold: its sentences in order, and whether the last is provisional.
    QList<QStringList> expected { {}, {} };
    QList<bool> provisional { false, false };
    int spoken = 0;
    auto active = [&] { return int(documents.indexOf(t.w->activeMdiChild())); };
    auto postResult = [&](bool final, const QString &text) {
        const QByteArray json = "{\"SegmentCount\":1,\"Segment\":[{\"SegmentIndex\":1,\"Score\":500,\"Text\":\""
            + text.toUtf8() + "\"}]}";
        QCoreApplication::postEvent(t.w,
            new RecognitionEvent(final ? RecognitionEvent::Final : RecognitionEvent::Partial, true, 500, json));
        QCoreApplication::processEvents();
        const int doc = active();
        // A result for one document keeps another's provisional sentence as it stands.
        provisional[1 - doc] = false;
        // A line separator inside recognised text becomes a blank.
        QString shown = text;
        shown.replace(QStringLiteral("\\u2028"), QStringLiteral(" "));
        if (provisional[doc])
            expected[doc].last() = shown;
        else
            expected[doc].append(shown);
        provisional[doc] = !final;
    };
    auto currentRow = [&](MdiChild *child) {
        const int row = int(random.bounded(child->model()->count() + 1)) - 1;
        child->sourceView->setCurrentIndex(child->sourceModel->index(row));
        return row;
    };

    for (int step = 0; step < 120; ++step) {
        MdiChild *child = t.w->activeMdiChild();
        DocumentModel *model = child->model();
        const int doc = active();
        const int action = int(random.bounded(textMode == 1 ? 9 : 4));
        if (action == 0) {
            t.w->documentArea()->activateNextSubWindow();
        } else if (action == 1) {
            QTest::qWait(int(random.bounded(15)));
        } else if (action == 2) {
            ++spoken;
            const QString sentence = QStringLiteral("d%1 s%2").arg(doc).arg(spoken)
                + (spoken % 5 == 0 ? QStringLiteral("\\u2028more") : QString());
            if (random.bounded(2))
                postResult(false, sentence.left(4));
            postResult(true, sentence);
        } else if (action == 3) {
            postResult(false, QStringLiteral("d%1 p%2").arg(doc).arg(++spoken));
        } else if (model->count() == 0 || provisional[doc]) {
            continue; // the item commands wait for the sentence being spoken
        } else if (action == 4) {
            t.w->action("tranallAct")->trigger();
        } else if (action == 5 || action == 6) {
            const int row = currentRow(child) + (action == 6 ? 1 : 0);
            const bool done = row >= 0 && row < model->translationCount();
            (action == 5 ? t.w->action("addUpAct") : t.w->action("addDownAct"))->trigger();
            if (done)
                expected[doc].insert(row, QStringLiteral(" "));
        } else if (action == 7) {
            const int row = currentRow(child);
            const bool done = row >= 0 && row < model->translationCount();
            t.w->action("deleteAct")->trigger();
            if (done)
                expected[doc].removeAt(row);
        } else {
            // An in-place edit, then its re-translation.
            const int row = currentRow(child);
            if (row < 0)
                continue;
            const QString edited = QStringLiteral("d%1 e%2").arg(doc).arg(++spoken);
            child->sourceModel->setData(child->sourceModel->index(row), QString(edited + QStringLiteral("\r\n")));
            expected[doc][row] = edited + QStringLiteral(" ");
            t.w->action("transelAct")->trigger();
        }
        QVERIFY2(ModalAnswer::answeredCount() == 0, context.constData());
    }
    // The sentences still being spoken are finished.
    for (int doc = 0; doc < 2; ++doc) {
        if (!provisional[doc])
            continue;
        t.w->documentArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(documents[doc]->parentWidget()));
        postResult(true, QStringLiteral("d%1 last").arg(doc));
    }
    // The worker answers in order: once the server has seen a last line, every result is in.
    QTRY_COMPARE(t.w->translationWorker().pendingCount(), 0);
    t.w->translationWorker().enqueue(QStringLiteral("end of test"), 0);
    QTRY_VERIFY(t.sent().contains(QStringLiteral("end of test")));
    QTest::qWait(20);

    QTemporaryDir dir;
    for (int doc = 0; doc < 2; ++doc) {
        const DocumentModel *model = documents[doc]->model();
        QVERIFY2(model->sources() == expected[doc], context.constData());
        QVERIFY2(model->translationCount() == model->count(), context.constData());
        QString running;
        QString runningTranslation;
        for (int row = 0; row < model->count(); ++row) {
            const DocumentModel::Item &item = model->at(row);
            const bool blank = item.source == QLatin1String(" ") && item.translation == QLatin1String(" ");
            QVERIFY2(blank || item.translation == translationOf(item.source),
                qPrintable(QStringLiteral("%1: document %2 row %3: %4 beside %5")
                               .arg(QString::fromLatin1(context)).arg(doc).arg(row).arg(item.translation, item.source)));
            running += item.source + AppState::sentenceSeparator;
            runningTranslation += item.translation + AppState::sentenceSeparator;
        }
        if (textMode == 0) {
            QVERIFY2(documents[doc]->sourceEdit->toPlainText() == running, context.constData());
            QVERIFY2(model->runningTranslation() == runningTranslation, context.constData());
        }

        const QString file = dir.filePath(QStringLiteral("document%1.txt").arg(doc));
        QVERIFY(documents[doc]->saveFile(file));
        DocumentFile::Items read;
        QVERIFY(DocumentFile::read(file, false, &read, nullptr));
        QStringList sources, translations;
        for (int row = 0; row < model->count(); ++row) {
            sources << model->at(row).source.trimmed();
            translations << model->at(row).translation.trimmed();
        }
        QVERIFY2(read.sources == sources && read.translations == translations, context.constData());
    }
}

TOLVANE_TEST_MAIN(TestTranslationCommands)
#include "tst_translationcommands.moc"
