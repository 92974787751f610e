// Document files, the document window and its lists, and crash recovery files.

#include "app/appstate.h"
#include "app/mainwindow.h"
#include "documents/documentfile.h"
#include "documents/lineeditorcreator.h"
#include "documents/mdichild.h"
#include "documents/mywrapitem.h"
#include "documents/recovery.h"
#include "documents/recoverydialog.h"
#include "modalanswer.h"
#include "testfiles.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextLayout>
#include <QTreeWidget>
#include <csignal>
#include <sys/resource.h>

namespace {

const QByteArray mark("\xEF\xBB\xBF");


DocumentFile::Items readItems(const QString &path, bool perLine = false)
{
    DocumentFile::Items items;
    DocumentFile::read(path, perLine, &items, nullptr);
    return items;
}

QFont testFont(const QString &family = QStringLiteral("DejaVu Sans"))
{
    QFont font(family);
    font.setPixelSize(16);
    return font;
}

void show(MdiChild &child, const QStringList &sources, const QStringList &translations, int lineHeight = 20,
    const QFont &sourceFont = testFont())
{
    child.newFile();
    child.resize(800 + child.handleWidth(), 400);
    child.setSizes({ 400, 400 });
    child.show();
    QVERIFY(QTest::qWaitForWindowExposed(&child));
    child.applyFonts(sourceFont, testFont(), false, lineHeight);
    child.setItems(sources, translations);
    QTRY_VERIFY(child.sourceView->visualRect(child.sourceModel->index(sources.size() - 1)).isValid());
}

// The lines a text takes drawn word-wrapped in width, as the lists draw it.
int drawnLines(const QString &text, const QFont &font, int width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(width);
    layout.endLayout();
    return layout.lineCount();
}

// Quotes, backslashes, line breaks (items turn them into spaces), NUL, surrogate pairs, JSON look-alikes.
const QStringList tricky = { "今天的会议现在开始。", "ياخشىمۇسىز \"دوست\"", "a\\b\\\"c", "line\nbreak\r\nand\u2028more",
    QString(QChar(0)) + "nul", "😀 emoji", "{\"op\":\"del\",\"id\":1}\n", QString(), " " };

// One random change as recording, translation and the item commands make them.
void change(DocumentModel &doc, QRandomGenerator &random)
{
    const auto pick = [&random] { return tricky.at(random.bounded(tricky.size())); };
    const int row = doc.count() ? int(random.bounded(doc.count())) : 0;
    const quint64 id = doc.count() ? doc.at(row).id : 0;
    const auto translate = [&] { doc.applyTranslation(id, pick(), random.bounded(2), random.bounded(4), QString()); };
    const std::function<void()> changes[] = { [&] { doc.showProvisional(pick()); }, [&] { doc.addFinal(pick()); },
        [&] { doc.appendSource(pick()); }, translate, translate, [&] { doc.setSource(row, pick()); },
        [&] { doc.setTranslation(row, pick()); }, [&] { doc.insertBlank(row); }, [&] { doc.remove(row); },
        [&] { random.bounded(20) ? void(doc.settleProvisional()) : doc.setItems({ pick(), pick() }, { pick() }); } };
    changes[random.bounded(10)]();
}

}

class TestDocuments : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void init()
    {
        AppState::textMode = 1;
        AppState::listBackgroundColor = 0xFFFF0000u;
        AppState::listSelectionColor = 0xFF00FF00u;
        ModalAnswer::reset();
        QApplication::clipboard()->setText(QStringLiteral("before"));
    }

    // Bytes read into items, per line or as source and translation lines.
    void fileReads()
    {
        const QByteArray text = QStringLiteral("你好\nسالام\n").toUtf8();
        const QStringList chinese { QStringLiteral("你好") }, uyghur { QStringLiteral("سالام") }, blanks { "", "" };
        const struct { QByteArray bytes; bool perLine; QStringList sources, translations;
        } rows[] = { { QByteArray::fromHex("fffe604f7d590a0061000a00"), false, chinese, { "a" } }, // UTF-16LE
            { QByteArray::fromHex("feff4f60597d000a0061000a"), false, chinese, { "a" } }, // UTF-16BE
            { mark + text, false, chinese, uyghur }, { text, false, chinese, uyghur },
            { "a\nb\n \n \nc\nd\n", false, { "a", "", "c" }, { "b", "", "d" } },
            { "a\rb\rc\r", false, { "a", "c" }, { "b", "" } },
            { QStringLiteral(" \ta  \r\n\u3000b\u00A0\r\n").toUtf8(), false, { "a" }, { "b" } }, // trimmed
            // An empty pair at the end is kept, a trailing blank line is not.
            { "a\nb\n\n\n", false, { "a", "" }, { "b", "" } }, { "a\nb\n\n", false, { "a" }, { "b" } },
            { " \na\n \t \nb  \n", true, { "a", "b" }, blanks }, // per line, blanks dropped
            { QByteArray::fromHex("fffe61000a0062"), true, { "a", "\uFFFD" }, blanks }, // odd UTF-16
            { "\xC3\n\xE4\xB8\n", true, { "\uFFFD", "\uFFFD\uFFFD" }, blanks } }; // invalid UTF-8
        for (const auto &row : rows) {
            QVERIFY(writeBytes(dir.filePath("read.txt"), row.bytes));
            QCOMPARE(readItems(dir.filePath("read.txt"), row.perLine).sources, row.sources);
            QCOMPARE(readItems(dir.filePath("read.txt"), row.perLine).translations, row.translations);
        }
    }

    // The export quotes only what needs it; saved texts read back trimmed, without an untranslated tail.
    void fileWrites()
    {
        const struct { QStringList sources, translations; QByteArray csv; } rows[] = {
            { { " ", "" }, { " ", "x" }, " , \n,x\n" }, { { "a\rb" }, { "d" }, "\"a\rb\",d\n" },
            { { "a,b", "say \"hi\"" }, { "c", "\"" }, "\"a,b\",c\n\"say \"\"hi\"\"\",\"\"\"\"\n" },
            { { "你，" }, { "،" }, "你，,،\n" }, { { "a", "b", "c" }, { "A", "B" }, "a,A\nb,B\n" } };
        for (const auto &row : rows)
            QCOMPARE(DocumentFile::encodeCsv(row.sources, row.translations), mark + row.csv);
        // The folder is made on the way, and a second save replaces the whole file.
        const QString path = dir.filePath("app/file/doc.txt");
        QVERIFY(DocumentFile::writeAutoSave(path, { "old", "x", "y" }, { "OLD", "X", "Y" }));
        QVERIFY(DocumentFile::writeAutoSave(path, { " ", "", "a,b", "\"", "tail" }, { " ", "x", "c", "\"\"" }));
        QCOMPARE(readItems(path).sources, QStringList({ "", "", "a,b", "\"" }));
        QCOMPARE(readItems(path).translations, QStringList({ "", "x", "c", "\"\"" }));
        QCOMPARE(QDir(dir.filePath("app/file")).entryList(QDir::Files | QDir::Hidden), { "doc.txt" });
        for (const QStringList &names : QList<QStringList> { { "notes", "notes.txt", "notes.csv" },
                 { "notes.TXT", "notes.TXT.txt", "notes.TXT.csv" }, { "a.txt.bak", "a.txt.bak", "a.csv.bak" },
                 { "/x.txt/b.txt", "/x.txt/b.txt", "/x.csv/b.csv" } }) {
            QCOMPARE(DocumentFile::saveAsName(names.at(0)), names.at(1));
            QCOMPARE(DocumentFile::exportProposal(names.at(0)), names.at(2));
        }
    }

    // A file that cannot be read leaves the items alone; a write that fails leaves the old file.
    void fileFailures()
    {
        const QString folder = dir.filePath("failing"), path = folder + "/doc.txt";
        QVERIFY(QDir().mkpath(folder + "/folder.txt"));
        QFile large(folder + "/large.txt");
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(DocumentFile::maxFileSize + 1)); // sparse
        for (const char *name : { "/folder.txt", "/missing.txt", "/large.txt" }) {
            DocumentFile::Items items { { "kept" }, { "kept" } };
            QString error;
            QVERIFY2(!DocumentFile::read(folder + name, false, &items, &error) && !error.isEmpty(), name);
            QCOMPARE(items.sources, QStringList { "kept" });
        }
        QVERIFY(writeBytes(path, DocumentFile::encode({ "old" }, { "alt" })));
        QVERIFY(!DocumentFile::write(folder + "/nowhere/doc.txt", "x", nullptr));
        QVERIFY(!DocumentFile::write(folder + "/folder.txt", "x", nullptr));
        QVERIFY(!DocumentFile::writeAutoSave(path + "/file/tempfile.txt", { "a" }, { "A" }));
        // A file size limit stops the write half-way, even for root.
        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit small { 4096, saved.rlim_max };
        std::signal(SIGXFSZ, SIG_IGN); // for good: nothing else here writes past a limit
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        const bool written = DocumentFile::write(path, QByteArray(256 * 1024, 'n'), &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written && !error.isEmpty());
        QCOMPARE(readItems(path).translations, QStringList { "alt" });
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({ "doc.txt", "large.txt" }));
    }

    // Numbers go on after a document closes; ids are never used twice.
    void documentsNamedInSequence()
    {
        MdiChild first, third;
        first.newFile();
        const int n = first.currentFile().mid(8).chopped(4).toInt();
        const quint64 secondId = [] { MdiChild second; second.newFile(); return second.documentId(); }();
        third.newFile();
        QCOMPARE(third.currentFile(), QStringLiteral("document%1.txt").arg(n + 2));
        QVERIFY(third.documentId() != first.documentId() && third.documentId() != secondId);
    }

    // Copying takes the current item or all of a list; nothing current, nothing copied.
    void copying()
    {
        MdiChild child;
        const auto copied = [&child](auto copy) { (child.*copy)(); return QApplication::clipboard()->text(); };
        child.copyAll();
        QCOMPARE(copied(&MdiChild::copy1), QStringLiteral("before"));
        child.setItems({ "a", "b" }, { "x", "y" });
        QCOMPARE(copied(&MdiChild::copyAll2), QStringLiteral("x\ny\n"));
        child.sourceView->setCurrentIndex(child.sourceModel->index(1, 0));
        QCOMPARE(copied(&MdiChild::copy1), QStringLiteral("b"));
        child.translationView->setCurrentIndex(child.translationModel->index(0, 0));
        QCOMPARE(copied(&MdiChild::copy2), QStringLiteral("x"));
        child.setItems({ "" }, { "" });
        QCOMPARE(copied(&MdiChild::copyAll), QStringLiteral("\n"));
    }

    void following()
    {
        const QStringList sources = QVector<QString>(100, QStringLiteral("row")).toList();
        MdiChild child;
        show(child, sources, sources.mid(0, 60));
        const auto click = [](QListView *view, int row) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                view->visualRect(view->model()->index(row, 0)).center());
        };
        click(child.sourceView, 1);
        QCOMPARE(child.translationView->currentIndex().row(), 1);
        click(child.translationView, 0);
        QCOMPARE(child.sourceView->currentIndex().row(), 0);
        auto *source = child.sourceView->verticalScrollBar(), *translation = child.translationView->verticalScrollBar();
        QTRY_VERIFY(translation->maximum() > 20);
        source->setValue(10);
        QCOMPARE(translation->value(), 10);
        translation->setValue(20);
        QCOMPARE(source->value(), 20);
        // Rows still without a translation keep the lists level, down to the new bottom.
        child.model()->appendSource(QStringLiteral("new"));
        QCOMPARE(source->value(), source->maximum());
        QCOMPARE(translation->value(), source->maximum());
    }

    // An edit in place marks the document if it changed anything, and outlasts the next sentence.
    void editInPlace()
    {
        const struct { bool sourceSide; QString text; } rows[] = {
            { true, "edited" }, { false, "edited" }, { false, "y" } };
        for (const auto &row : rows) {
            MdiChild child;
            show(child, { "a", "b", "c" }, { "x", "y", "z" });
            child.setModified(false);
            QListView *view = row.sourceSide ? child.sourceView : child.translationView;
            view->edit(view->model()->index(1, 0));
            auto *editor = view->viewport()->findChild<LineEditorCreator *>();
            QVERIFY(editor && editor->text() == (row.sourceSide ? "b" : "y"));
            editor->setText(row.text);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_VERIFY(!view->viewport()->findChild<LineEditorCreator *>());
            QCOMPARE(child.isModified(), row.text == QStringLiteral("edited"));
            child.model()->appendSource(QStringLiteral("next"));
            QCOMPARE((row.sourceSide ? child.sources() : child.translations()).at(1), row.text);
        }
    }

    // Closing a changed document asks, naming it: Cancel keeps it open and unsaved, Save writes it.
    void closeAsksToSave()
    {
        const QString file = dir.filePath(QStringLiteral("prompt.txt"));
        QVERIFY(writeBytes(file, "a\nx\n"));
        MdiChild child;
        QVERIFY(child.loadFile(file, false));
        QVERIFY(child.maybeSave()); // unmodified: nothing asked
        child.setItems({ "a", "b" }, { "x", "y" });
        child.setModified(true);
        ModalAnswer::clickButton("Cancel");
        QVERIFY(!child.close());
        QCOMPARE(readItems(file).sources.size(), 1);
        ModalAnswer::clickButton("Save");
        QVERIFY(child.close());
        QVERIFY(ModalAnswer::answeredCount() == 2 && ModalAnswer::lastText().startsWith("'prompt.txt'"));
        QCOMPARE(readItems(file).sources.size(), 2);
    }

    // Cut and paste in the running texts; only the source side's text is taken over.
    void runningTextEdits()
    {
        AppState::textMode = 0;
        for (const bool sourceSide : { true, false }) {
            MdiChild child;
            child.model()->setRunningSource(QStringLiteral("unchanged"), false);
            MyEdit *edit = sourceSide ? child.sourceEdit : child.translationEdit;
            const auto taken = [&] { return sourceSide ? edit->toPlainText() : QStringLiteral("unchanged"); };
            // Typing is read when a sentence needs it, and marks the document, also after a save.
            QTest::keyClicks(edit, QStringLiteral("abc"));
            QCOMPARE(child.model()->runningSource(), QStringLiteral("unchanged"));
            QVERIFY(child.isModified() || !sourceSide);
            child.setModified(false);
            QTest::keyClicks(edit, QStringLiteral("d"));
            QVERIFY(child.isModified() || !sourceSide);
            edit->setPlainText(QStringLiteral("first，second，"));
            QVERIFY(edit->find(QStringLiteral("first，")));
            QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
            QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("first，"));
            QCOMPARE(edit->toPlainText(), QStringLiteral("second，"));
            QCOMPARE(child.model()->runningSource(), taken());
            // Every sentence of a running text is one line.
            QApplication::clipboard()->setText(QStringLiteral("first\nthird\r\n"));
            edit->moveCursor(QTextCursor::End);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(edit->toPlainText(), QStringLiteral("second，first third "));
            QCOMPARE(child.model()->runningSource(), taken());
        }
    }

    void lineCounts()
    {
        // Every character 10 pixels wide: the fitting rule without a font.
        const struct { QString text; int width, spaceWidth, lines; } rows[] = { { QString(), 100, 4, 1 },
            { "abc", 100, 4, 1 }, { QString(10, 'a'), 100, 4, 2 }, { QString(25, QChar(0x4E2D)), 100, 4, 3 },
            { "aaaaa aaaaa", 100, 4, 2 }, { "aaaaa aaaaa aaaaa aaaaa", 100, 4, 4 },
            { "aa " + QString(25, 'a'), 100, 4, 4 }, { "aaaa  aaaaa", 100, 7, 2 }, { "aaaa", 0, 4, 1 } };
        const auto width = [](const QString &word) { return 10.0 * word.size(); };
        for (const auto &row : rows)
            QCOMPARE(LineCountCache::count(row.text, row.width, row.spaceWidth, width), row.lines);
        // Text without blanks takes the fewest lines that hold it.
        const QString text = QStringLiteral("我们今天在这里开会讨论一下经济发展的问题，请大家发言。");
        const QFontMetricsF metrics(testFont());
        for (int width : { 50, 97, 160, 333, 1000 })
            QCOMPARE(MyWrapItem::lineCount(text, metrics, width), int(metrics.horizontalAdvance(text) / width) + 1);
    }

    // Through random appends, inserts, removals, edits and translations, both lists' rows stay level and
    // contiguous and hold both texts as drawn, long translations too. TOLVANE_SEED repeats a run.
    void rowsHoldBothTextsThroughEdits()
    {
        const quint32 seed = qEnvironmentVariableIsSet("TOLVANE_SEED") ? qgetenv("TOLVANE_SEED").toUInt()
                                                                      : QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const QString hanzi = QStringLiteral("的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下");
        const QStringList words = QStringLiteral("a an of to words which have many different lengths wrap").split(' ');
        const auto sentence = [&](bool chinese) {
            QString text;
            for (int i = random.bounded(chinese ? 70 : 30); i >= 0; --i)
                text += chinese ? QString(random.bounded(3) ? hanzi.at(random.bounded(hanzi.size())) : QChar(0xFF0C))
                                : words.at(random.bounded(words.size())) + QLatin1Char(' ');
            return chinese ? text + QChar(0x3002) : text.trimmed();
        };
        const QFont chinese = testFont(QStringLiteral("WenQuanYi Micro Hei"));
        constexpr int lineHeight = 30;
        MdiChild child;
        show(child, { QString() }, {}, lineHeight, chinese);
        child.resize(child.width(), 2000);
        // A scroll bar coming and going would lay both lists out afresh and hide a wrong row table.
        child.sourceView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        child.translationView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // Translations of every length, so that word ends sweep across the view; the first sources put
        // a comma (which may not start a line) at each place around the end of a line.
        const int perLine
            = int((child.sourceView->viewport()->width() - 8) / QFontMetricsF(chinese).horizontalAdvance(hanzi.at(0)));
        const QString latin = QStringLiteral("a sentence of words which have many different lengths, to wrap at "
                                             "every possible place; ").repeated(3);
        QStringList sources, translations;
        for (int row = 0; 3 * row < latin.size(); ++row) {
            const QString edge = hanzi.left(perLine - 1 + row % 4) + QChar(0xFF0C) + hanzi.left(perLine - 3 + row / 4);
            sources << (row < 20 ? edge + QChar(0x3002) : hanzi.left(row % 30));
            translations << latin.left(3 * row + 1);
        }
        child.setItems(sources, translations);
        child.sourceView->doItemsLayout();
        child.translationView->doItemsLayout();
        DocumentModel *document = child.model();
        // Step -1 checks the document as read, shown from its top.
        for (int step = -1; step < 100; ++step) {
            const int rows = document->count(), row = random.bounded(qMax(rows, 1));
            const std::function<void()> changes[] = { [&] { document->appendSource(sentence(true)); },
                [&] { document->insertBlank(random.bounded(rows + 1)); },
                [&] { document->remove(rows > 1 ? row : -1); }, [&] { document->setSource(row, sentence(true)); },
                [&] { document->applyTranslation(document->at(row).id, sentence(false), true, true, QString()); } };
            if (step >= 0)
                changes[random.bounded(5)]();
            // Each change left the rows as a fresh layout would, as tall as the delegate says; words wrap
            // right before painting, Chinese once drawn (which may find rows taller).
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
            for (const bool painted : { false, true }) {
                if (painted) {
                    child.grab();
                    QCoreApplication::processEvents();
                }
                int top = child.sourceView->visualRect(child.sourceModel->index(0)).top();
                for (int r = 0; r < document->count(); ++r) {
                    const QModelIndex index = child.sourceModel->index(r);
                    const QRect source = child.sourceView->visualRect(index);
                    const QRect translation = child.translationView->visualRect(child.translationModel->index(r));
                    const int height = child.sourceView->itemDelegate()->sizeHint({}, index).height();
                    int lines = drawnLines(document->at(r).translation, testFont(), translation.width() - 8);
                    if (painted && source.intersects(child.sourceView->viewport()->rect()))
                        lines = qMax(lines, drawnLines(document->at(r).source, chinese, source.width() - 8));
                    QVERIFY2(source.top() == top && source.height() == height && translation == source
                            && height >= lineHeight * lines,
                        qPrintable(QStringLiteral("step %1, row %2, seed %3").arg(step).arg(r).arg(seed)));
                    top += height;
                }
            }
        }
    }

    // Rows in the list colours; markup is shown as written, not rendered.
    void painting()
    {
        MdiChild child;
        const QStringList texts { "a", "<b>bold</b> and the rest", "if a <b then c is true", "d" };
        show(child, texts, {}, 30);
        // Selected but not current: the style's focus frame would tint the row.
        child.sourceView->selectionModel()->select(child.sourceModel->index(1), QItemSelectionModel::Select);
        const QImage image = child.sourceView->viewport()->grab().toImage();
        for (int row = 0; row < texts.size(); ++row) {
            const QRect rect = child.sourceView->visualRect(child.sourceModel->index(row));
            QCOMPARE(QColor(image.pixel(rect.right() - 20, rect.center().y())),
                row == 1 ? Qt::green : row < 3 ? Qt::red : child.sourceView->palette().color(QPalette::Base));
            if (!texts.at(row).contains('<'))
                continue;
            int first = -1, last = -1;
            for (int x = rect.left(); x < rect.right(); ++x)
                for (int y = rect.top(); y < rect.bottom() && last != x; ++y)
                    if (qGray(image.pixel(x, y)) < 60) {
                        first = first < 0 ? x : first;
                        last = x;
                    }
            const qreal advance = QFontMetricsF(testFont()).horizontalAdvance(texts.at(row));
            QVERIFY2(qAbs(last - first + 1 - advance) < advance * 0.1 + 2, qPrintable(texts.at(row)));
        }
    }

    // A journal replays to the items after random changes, compaction and a torn last line; saving ends it.
    void journalReplays()
    {
        const QString name = QStringLiteral("/tmp/名 \"x\".txt");
        const struct { quint32 seed; int changes, floor; bool torn; } runs[] = { { 1, 40, 1000, false },
            { 2, 3000, 8, false }, { 3, 300, 1000, true }, { 4, 2000, 16, true } };
        for (const auto &run : runs) {
            const QString path = dir.filePath(QStringLiteral("recovery/doc.jsonl"));
            DocumentModel doc;
            RecoveryJournal journal(&doc, path, [&] { return name; }, [] { return QStringLiteral("名"); });
            journal.setCompactionFloor(run.floor);
            doc.appendSource(QStringLiteral("before the first change"));
            QVERIFY(!QFile::exists(path));
            doc.setModified(true);
            QRandomGenerator random(run.seed);
            int most = 0;
            // Compaction bounds the file: a header, the items, then the changes since.
            const auto bounded = [&] {
                const int lines = readBytes(path).count('\n');
                return lines > 0 && lines <= 1 + 2 * most + qMax(run.floor, 2 * most);
            };
            for (int i = 0; i < run.changes; ++i, most = qMax(most, doc.count()))
                change(doc, random);
            QVERIFY(bounded());
            // Nobody else may take the file of a running journal.
            QVERIFY(Recovery(dir.filePath(QStringLiteral("recovery"))).orphans().empty());
            QVERIFY(!run.torn || writeBytes(path, "{\"op\":\"ins\",\"row\":0,\"s\":\"half", QIODevice::Append));
            const RecoveryJournal::Contents contents = RecoveryJournal::read(path);
            QVERIFY(contents.valid && contents.fileName == name && contents.title == QStringLiteral("名"));
            QCOMPARE(contents.skippedLines, run.torn ? 1 : 0);
            DocumentModel replayed;
            replayed.restoreItems(contents.items);
            QCOMPARE(replayed.sources(), doc.sources());
            QCOMPARE(replayed.translations(), doc.translations());
            // Edits in place only: the file is still written whole again before it outgrows its bound.
            doc.appendSource(QStringLiteral("last"));
            most = qMax(most, doc.count());
            for (int i = 0; i < 2 * (2 * most + qMax(run.floor, 2 * most)); ++i)
                doc.setTranslation(0, tricky.at(i % tricky.size()));
            QVERIFY(bounded());
            doc.setModified(false); // saved
            QVERIFY(!QFile::exists(path) && !QFile::exists(RecoveryJournal::lockPath(path)));
        }
    }

    // The start-up offer restores, discards or (closed without an answer) keeps a crashed run's file.
    void recoveryOffer()
    {
        const QStringList sources { "一", "二", "三" }, translations { "bir", "ikki" };
        const QString savedName = dir.filePath(QStringLiteral("talk.txt")), crashed = dir.filePath("crashed.jsonl");
        // Its copies in the recovery folder are a crashed run's: files whose lock nobody holds.
        DocumentModel doc;
        RecoveryJournal journal(&doc, crashed, [&] { return savedName; }, [] { return QString(); });
        doc.setItems(sources, translations);
        doc.setModified(true);
        for (const QString button : { "", "放弃", "恢复" }) {
            WindowFixture f;
            const Recovery recovery(f.path(QStringLiteral("recovery")));
            const QString orphan = recovery.dir() + "/old.jsonl";
            QVERIFY(QDir().mkpath(recovery.dir()) && QFile::copy(crashed, orphan));
            const int before = f.window->documents().size();
            QStringList listed;
            ModalAnswer::onNext([&](QWidget *modal) {
                auto *dialog = qobject_cast<RecoveryDialog *>(modal);
                QTreeWidgetItem *row = dialog ? dialog->list()->topLevelItem(0) : nullptr;
                listed = row ? QStringList { row->text(0), row->text(2) } : QStringList();
                for (QAbstractButton *b : modal->findChildren<QAbstractButton *>())
                    if (b->text() == button)
                        b->click();
                modal->close();
            });
            const int restored = recovery.offer(f.window, [&f] { return f.window->createMdiChild(f.window); });
            QCOMPARE(listed, QStringList({ QDir::toNativeSeparators(savedName), QStringLiteral("3") }));
            QCOMPARE(restored, button == "恢复" ? 1 : 0);
            QCOMPARE(QFile::exists(orphan), button.isEmpty());
            QCOMPARE(int(recovery.orphans().size()), button.isEmpty() ? 1 : 0);
            QCOMPARE(f.window->documents().size(), before + restored);
            if (!restored)
                continue;
            MdiChild *child = f.window->documents().constLast();
            QCOMPARE(child->sources() + child->translations(), sources + translations);
            QVERIFY(child->isModified() && child->currentFile() == savedName);
            const auto journals = [&] { return QDir(recovery.dir()).entryList({ "*.jsonl" }, QDir::Files).size(); };
            QCOMPARE(journals(), 1); // the restored document's own, while it is unsaved
            // Saving writes the file it had and ends its journal; so does closing without saving.
            QVERIFY(child->save());
            QCOMPARE(readItems(savedName).sources, sources.mid(0, 2));
            QCOMPARE(journals(), 0);
            child->model()->appendSource(QStringLiteral("四"));
            child->setModified(true);
            QCOMPARE(journals(), 1);
            ModalAnswer::clickButton(QStringLiteral("放弃"));
            QVERIFY(child->parentWidget()->close()); // its sub-window
            QTRY_COMPARE(journals(), 0);
        }
    }
};

TOLVANE_TEST_MAIN(TestDocuments)
#include "tst_documents.moc"
