#include "app/appstate.h"
#include "app/mainwindow.h"
#include "documents/documentfile.h"
#include "documents/documentmodel.h"
#include "documents/itemcolumnmodel.h"
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
#include <QProgressBar>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTemporaryDir>
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
    void failuresAreMarkedRetriedAndCancelled();
    void interleavedWorkKeepsTranslationsBesideTheirSentences_data();
    void interleavedWorkKeepsTranslationsBesideTheirSentences();
    void resultsOfAClosedDocumentAreDropped();
    void contextMenuWorksWhileRecording();
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

void TestTranslationCommands::failuresAreMarkedRetriedAndCancelled()
{
    struct
    {
        int round = 1;
        int requests = 0;
        bool failEveryOther = true;
    } server;
    TranslatingWindow t;
    t.server.setHandler([&server](const HttpTestServer::Request &request) {
        if (server.failEveryOther && ++server.requests % 2 == 0)
            return HttpTestServer::Reply { 503, QByteArray(), 0 };
        return HttpTestServer::Reply { 200,
            HttpTestServer::translationReply(QStringLiteral("%1:").arg(server.round) + sentText(request)),
            0 };
    });
    t.w->translationWorker().setPauseAfterRequest(1);
    const QStringList sources { "s0", "s1", "s2", "s3", "s4", "s5", "s6", "s7" };
    // Rows 6 and 7 wait for their first translation.
    MdiChild *child = prepare(t.w, sources, { "o0", "o1", "o2", "o3", "o4", "o5" });
    DocumentModel *model = child->model();
    ItemColumnModel *column = child->translationModel;
    auto *bar = t.w->findChild<QProgressBar *>(QStringLiteral("translationProgress"));
    QVERIFY(bar);
    auto state = [&](int row) { return column->index(row).data(ItemColumnModel::StateRole).toInt(); };
    auto queuedRows = [&] {
        QList<int> rows;
        for (int row = 0; row < column->rowCount(); ++row) {
            if (state(row) == DocumentModel::Queued)
                rows << row;
        }
        return rows;
    };
    // Each change of the bar, with the rows still queued at that moment.
    struct Step
    {
        int value, maximum;
        bool shown;
        QList<int> queued;
    };
    QList<Step> steps;
    QObject watch;
    connect(bar, &QProgressBar::valueChanged, &watch, [&] {
        steps.append({ bar->value(), bar->maximum(), !bar->isHidden(), queuedRows() });
    });
    // One step per result, in queue order, then the bar goes away.
    auto checkBatch = [&](const QList<int> &batch) {
        QTRY_COMPARE(steps.size(), batch.size() + 1);
        for (int done = 1; done <= batch.size(); ++done) {
            const Step &step = steps.at(done - 1);
            QCOMPARE(step.value, done);
            QCOMPARE(step.maximum, batch.size());
            QVERIFY(step.shown);
            QCOMPARE(step.queued, batch.mid(done));
        }
        QCOMPARE(steps.last().value, 0);
        QVERIFY(!steps.last().shown);
        steps.clear();
    };
    auto contextEntry = [&](const QString &text) {
        std::unique_ptr<QMenu> menu(child->createTranslationMenu());
        for (QAction *action : menu->actions()) {
            if (action->text() == text)
                return std::make_pair(action->isEnabled(), std::move(menu));
        }
        return std::make_pair(false, std::unique_ptr<QMenu>());
    };
    const QString retryText = QStringLiteral("重试失败的翻译");
    const QString cancelText = QStringLiteral("取消翻译");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("d.txt"));

    // Queued: nothing can have come back yet, since the server answers on this thread.
    t.w->action("tranallAct")->trigger();
    QCOMPARE(queuedRows(), QList<int>({ 0, 1, 2, 3, 4, 5, 6, 7 }));
    QCOMPARE(column->rowCount(), sources.size());
    QVERIFY(!column->index(7).data().isValid());
    QVERIFY(!(column->flags(column->index(7)) & Qt::ItemIsEditable));
    QCOMPARE(column->index(7).data(Qt::ToolTipRole).toString(), QStringLiteral("正在等待翻译服务器"));
    QVERIFY(!bar->isHidden());
    QCOMPARE(bar->text(), QStringLiteral("已翻译 0 / 8"));
    QVERIFY(contextEntry(cancelText).first);
    QVERIFY(!contextEntry(retryText).first);
    // Placeholder rows are neither saved nor touched by the item commands.
    QVERIFY(child->saveFile(file));
    DocumentFile::Items saved;
    QVERIFY(DocumentFile::read(file, false, &saved, nullptr));
    QCOMPARE(saved.sources, sources.mid(0, 6));
    child->sourceView->setCurrentIndex(child->sourceModel->index(7));
    t.w->action("deleteAct")->trigger();
    QCOMPARE(model->count(), 8);

    checkBatch({ 0, 1, 2, 3, 4, 5, 6, 7 });
    if (QTest::currentTestFailed())
        return;
    const QString failure = QStringLiteral("翻译失败：翻译服务器应答 HTTP 503");
    const QStringList afterFirst { "1:s0", "o1", "1:s2", "o3", "1:s4", "o5", "1:s6", "s7" };
    for (int row = 0; row < 8; ++row) {
        const bool failed = row % 2 == 1;
        QCOMPARE(column->index(row).data().toString(), afterFirst.at(row));
        QCOMPARE(state(row), int(failed ? DocumentModel::Failed : DocumentModel::Translated));
        QCOMPARE(column->index(row).data(Qt::ToolTipRole).toString(), failed ? failure : QString());
    }
    // The failed rows carry a red bar on their leading edge, the others none.
    QTRY_VERIFY(child->translationView->visualRect(column->index(7)).isValid());
    const QImage shown = child->translationView->viewport()->grab().toImage();
    for (int row = 0; row < 8; ++row) {
        const QRect rect = child->translationView->visualRect(column->index(row));
        const bool rightToLeft = child->translationView->layoutDirection() == Qt::RightToLeft;
        const QColor edge
            = shown.pixelColor(rightToLeft ? rect.right() - 1 : rect.left() + 1, rect.center().y());
        QCOMPARE(edge.red() > 180 && edge.green() < 80, row % 2 == 1);
    }

    // Cancel with a line in flight: the queue empties and every row is as before.
    QList<DocumentModel::Item> before;
    for (int row = 0; row < 8; ++row)
        before << model->at(row);
    server.round = 2;
    t.server.setBehaviour(HttpTestServer::Behaviour::Silent);
    t.w->action("tranallAct")->trigger();
    QTRY_COMPARE(t.server.requestCount(), 9);
    QVERIFY(!bar->isHidden());
    QTest::keyClick(child->translationView, Qt::Key_Escape);
    QCOMPARE(t.w->translationWorker().pendingCount(), 0);
    QVERIFY(bar->isHidden());
    QVERIFY(steps.isEmpty());
    QVERIFY(!contextEntry(cancelText).first);
    for (int row = 0; row < 8; ++row) {
        const DocumentModel::Item &item = model->at(row);
        QCOMPARE(item.translation, before.at(row).translation);
        QCOMPARE(item.state, before.at(row).state);
        QCOMPARE(item.failure, before.at(row).failure);
        QCOMPARE(column->index(row).data(Qt::ToolTipRole).toString(), row % 2 ? failure : QString());
    }

    // Retry from the translation list's menu once the server answers: only the
    // failed rows go out, and the aborted line's answer never lands.
    server.round = 3;
    server.failEveryOther = false;
    t.server.setBehaviour(HttpTestServer::Behaviour::Answer);
    auto retry = contextEntry(retryText);
    QVERIFY(retry.first);
    for (QAction *action : retry.second->actions()) {
        if (action->text() == retryText)
            action->trigger();
    }
    QCOMPARE(queuedRows(), QList<int>({ 1, 3, 5, 7 }));
    checkBatch({ 1, 3, 5, 7 });
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(t.sent().mid(9), QStringList({ "s1", "s3", "s5", "s7" }));
    const QStringList afterRetry { "1:s0", "3:s1", "1:s2", "3:s3", "1:s4", "3:s5", "1:s6", "3:s7" };
    QCOMPARE(child->translations(), afterRetry);
    QVERIFY(queuedRows().isEmpty());
    for (int row = 0; row < 8; ++row)
        QCOMPARE(state(row), int(DocumentModel::Translated));
    QVERIFY(child->saveFile(file));
    QVERIFY(DocumentFile::read(file, false, &saved, nullptr));
    QCOMPARE(saved.translations, afterRetry);
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
