// Document files, the document window and its lists, and crash recovery files.

#include "app/appstate.h"
#include "app/mainwindow.h"
#include "documents/documentfile.h"
#include "documents/documentmodel.h"
#include "documents/linecountcache.h"
#include "documents/lineeditorcreator.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "documents/mywrapitem.h"
#include "documents/recovery.h"
#include "documents/recoverydialog.h"
#include "documents/recoveryjournal.h"
#include "modalanswer.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QMdiSubWindow>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QTreeWidget>
#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

const QByteArray mark("\xEF\xBB\xBF");

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

DocumentFile::Items readItems(const QString &path, bool perLine = false)
{
    DocumentFile::Items items;
    QString error;
    DocumentFile::read(path, perLine, &items, &error);
    return items;
}

QFont testFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    return font;
}

void show(MdiChild &child, const QStringList &sources, const QStringList &translations, int lineHeight = 20)
{
    child.newFile();
    child.resize(800 + child.handleWidth(), 400);
    child.setSizes({ 400, 400 });
    child.show();
    QVERIFY(QTest::qWaitForWindowExposed(&child));
    child.applyFonts(testFont(), testFont(), false, lineHeight);
    child.setItems(sources, translations);
    QTRY_VERIFY(child.sourceView->visualRect(child.sourceModel->index(sources.size() - 1)).isValid());
}

void clickRow(QListView *view, int row)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 0)).center());
}

// Quotes, backslashes, line breaks (items turn them into spaces), NUL, surrogate pairs, JSON look-alikes.
const QStringList tricky = { QStringLiteral("今天的会议现在开始。"), QStringLiteral("ياخشىمۇسىز \"دوست\""),
    QStringLiteral("a\\b\\\"c"), QStringLiteral("line\nbreak\r\nand\u2028more"),
    QString(QChar(0)) + QStringLiteral("nul"), QStringLiteral("😀 emoji"),
    QStringLiteral("{\"op\":\"del\",\"id\":1}\n"), QString(), QStringLiteral(" ") };

// One random change as recording, translation and the item commands make them.
void change(DocumentModel &doc, QRandomGenerator &random)
{
    const auto pick = [&random] { return tricky.at(random.bounded(tricky.size())); };
    const int row = doc.count() ? int(random.bounded(doc.count())) : 0;
    const quint64 id = doc.count() ? doc.at(row).id : 0;
    const auto translate
        = [&] { doc.applyTranslation(id, pick(), random.bounded(2), random.bounded(4), QString()); };
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

    void fileReads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("perLine");
        QTest::addColumn<QStringList>("items"); // source, translation, source, ...
        const QByteArray text = QStringLiteral("你好\nسالام\n").toUtf8();
        const QStringList both { QStringLiteral("你好"), QStringLiteral("سالام") };
        const QString fffd(QChar::ReplacementCharacter);
        const auto row = [](const char *name, const QByteArray &bytes, bool perLine, const QStringList &items) {
            QTest::newRow(name) << bytes << perLine << items;
        };
        row("UTF-16LE", QByteArray::fromHex("fffe604f7d590a0061000a00"), false, { QStringLiteral("你好"), "a" });
        row("UTF-16BE", QByteArray::fromHex("feff4f60597d000a0061000a"), false, { QStringLiteral("你好"), "a" });
        row("UTF-8 with mark", mark + text, false, both);
        row("UTF-8 without mark", text, false, both);
        row("blank item in the middle", "a\nb\n \n \nc\nd\n", false, { "a", "b", "", "", "c", "d" });
        row("trimming, CR LF", QStringLiteral(" \ta  \r\n\u3000b\u00A0\r\n").toUtf8(), false, { "a", "b" });
        row("lone CR", "a\rb\rc\r", false, { "a", "b", "c", "" });
        row("empty pair at the end", "a\nb\n\n\n", false, { "a", "b", "", "" });
        row("trailing blank line", "a\nb\n\n", false, { "a", "b" });
        row("per line, blanks dropped", " \na\n \t \nb  \n", true, { "a", "", "b", "" });
        row("per line, odd UTF-16", QByteArray::fromHex("fffe61000a0062"), true, { "a", "", fffd, "" });
        row("per line, invalid UTF-8", "\xC3\n\xE4\xB8\n", true, { fffd, "", fffd + fffd, "" });
    }

    void fileReads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, perLine);
        QFETCH(QStringList, items);
        const QString path = dir.filePath("read.txt");
        QVERIFY(writeBytes(path, bytes));
        const DocumentFile::Items read = readItems(path, perLine);
        QStringList got;
        for (int i = 0; i < read.sources.size(); ++i)
            got << read.sources.at(i) << read.translations.value(i, "<none>");
        QCOMPARE(got, items);
        QCOMPARE(read.translations.size(), read.sources.size());
    }

    // Saved texts read back as they were (trimmed); the export quotes only what needs it.
    void fileWrites_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("translations");
        QTest::addColumn<QByteArray>("csv");
        QTest::newRow("blank, empty") << QStringList { " ", "" } << QStringList { " ", "x" } << mark + " , \n,x\n";
        QTest::newRow("comma, quotes") << QStringList { "a,b", "say \"hi\"" } << QStringList { "c", "\"" }
                                       << mark + "\"a,b\",c\n\"say \"\"hi\"\"\",\"\"\"\"\n";
        QTest::newRow("carriage return") << QStringList { "a\rb" } << QStringList { "d" } << mark + "\"a\rb\",d\n";
        QTest::newRow("full-width commas") << QStringList { QStringLiteral("你，") } << QStringList { QStringLiteral("،") }
                                           << mark + QStringLiteral("你，,،\n").toUtf8();
        QTest::newRow("untranslated tail") << QStringList { "a", "b", "c" } << QStringList { "A", "B" } << mark + "a,A\nb,B\n";
    }

    void fileWrites()
    {
        QFETCH(QStringList, sources);
        QFETCH(QStringList, translations);
        QFETCH(QByteArray, csv);
        QCOMPARE(DocumentFile::encodeCsv(sources, translations), csv);
        if (csv.contains('\r'))
            return; // read back, a CR is a line break
        // The folder is made on the way, and a second save replaces the whole file.
        QTemporaryDir local;
        const QString path = local.filePath("app/file/doc.txt");
        QVERIFY(DocumentFile::writeAutoSave(path, { "old", "x", "y" }, { "OLD", "X", "Y" }));
        QVERIFY(DocumentFile::writeAutoSave(path, sources, translations));
        const DocumentFile::Items items = readItems(path);
        for (QStringList *list : { &sources, &translations })
            for (QString &text : *list)
                text = text.trimmed();
        QCOMPARE(items.sources, sources.mid(0, translations.size()));
        QCOMPARE(items.translations, translations);
        QCOMPARE(QDir(local.filePath("app/file")).entryList(QDir::Files | QDir::Hidden), { "doc.txt" });
    }

    void saveAndExportNames()
    {
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
        const QString folder = dir.filePath("failing");
        const QString path = folder + "/doc.txt";
        QVERIFY(QDir().mkpath(folder + "/folder.txt"));
        QFile large(folder + "/large.txt");
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(DocumentFile::maxFileSize + 1)); // sparse
        QString error;
        for (const char *name : { "/folder.txt", "/missing.txt", "/large.txt" }) {
            DocumentFile::Items items { { "kept" }, { "kept" } };
            error.clear();
            QVERIFY2(!DocumentFile::read(folder + name, false, &items, &error) && !error.isEmpty(), name);
            QCOMPARE(items.sources, QStringList { "kept" });
        }
        const QByteArray old = DocumentFile::encode({ "old" }, { "alt" });
        QVERIFY(writeBytes(path, old));
        QVERIFY(!DocumentFile::write(folder + "/nowhere/doc.txt", old, &error));
        QVERIFY(!DocumentFile::write(folder + "/folder.txt", old, &error));
        QVERIFY(!DocumentFile::writeAutoSave(path + "/file/tempfile.txt", { "a" }, { "A" }));
        // A file size limit stops the write half-way, even for root.
        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small { 4096, saved.rlim_max };
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        error.clear();
        const bool written = DocumentFile::write(path, QByteArray(256 * 1024, 'n'), &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!written && !error.isEmpty());
        QCOMPARE(readBytes(path), old);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList({ "doc.txt", "folder.txt", "large.txt" }));
    }

    void documentsNamedInSequence()
    {
        MdiChild first, third;
        first.newFile();
        const int n = first.currentFile().mid(8).chopped(4).toInt();
        QCOMPARE(first.windowTitle(), QStringLiteral("document%1.txt[*]").arg(n));
        quint64 secondId;
        {
            MdiChild second; // numbers go on after a document closes
            second.newFile();
            secondId = second.documentId();
        }
        third.newFile();
        QCOMPARE(third.currentFile(), QStringLiteral("document%1.txt").arg(n + 2));
        QVERIFY(third.documentId() != first.documentId() && third.documentId() != secondId);
    }

    // Only items with a source and a translation are moved or copied; a row still
    // waiting for its first translation is refused.
    void itemCommands()
    {
        // Command (0 up, 1 down, 2 delete) at the current row, and the sources it leaves.
        const struct { int command, row; QStringList sources; } rows[] = { { 0, 1, { "a", " ", "b", "c" } },
            { 1, 0, { "a", " ", "b", "c" } }, { 2, 0, { "b", "c" } }, { 0, 2, { "a", "b", "c" } },
            { 2, 2, { "a", "b", "c" } }, { 2, -1, { "a", "b", "c" } } };
        for (const auto &row : rows) {
            MdiChild child;
            child.setItems({ "a", "b", "c" }, { "x", "y" });
            child.sourceView->setCurrentIndex(child.sourceModel->index(row.row, 0));
            const bool done = row.command == 0 ? child.addUp() : row.command == 1 ? child.addDown() : child.deleteCurrent();
            QCOMPARE(child.sources(), row.sources);
            QCOMPARE(child.isModified(), done);
            QCOMPARE(done, row.sources.size() != 3);
        }
        // Copying takes the current item or all of a list; nothing current, nothing copied.
        MdiChild child;
        const auto clip = [] { return QApplication::clipboard()->text(); };
        child.copyAll();
        child.copy1();
        QCOMPARE(clip(), QStringLiteral("before"));
        child.setItems({ "a", "b" }, { "x", "y" });
        child.copyAll2();
        QCOMPARE(clip(), QStringLiteral("x\ny\n"));
        child.sourceView->setCurrentIndex(child.sourceModel->index(1, 0));
        child.copy1();
        child.translationView->setCurrentIndex(child.translationModel->index(0, 0));
        QCOMPARE(clip(), QStringLiteral("b"));
        child.copy2();
        QCOMPARE(clip(), QStringLiteral("x"));
        child.setItems({ "" }, { "" });
        child.copyAll();
        QCOMPARE(clip(), QStringLiteral("\n"));
    }

    void following()
    {
        QStringList sources;
        for (int i = 0; i < 100; ++i)
            sources << QString::number(i);
        MdiChild child;
        show(child, sources, sources.mid(0, 60));
        clickRow(child.sourceView, 1);
        QCOMPARE(child.translationView->currentIndex().row(), 1);
        clickRow(child.translationView, 0);
        QCOMPARE(child.sourceView->currentIndex().row(), 0);
        QScrollBar *source = child.sourceView->verticalScrollBar(), *translation = child.translationView->verticalScrollBar();
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

    // An edit in place is kept and marks the document; an unchanged one does not.
    void editInPlace_data()
    {
        QTest::addColumn<bool>("sourceSide");
        QTest::addColumn<QString>("text");
        QTest::newRow("source edited") << true << "edited";
        QTest::newRow("translation edited") << false << "edited";
        QTest::newRow("translation unchanged") << false << "y";
    }

    void editInPlace()
    {
        QFETCH(bool, sourceSide);
        QFETCH(QString, text);
        MdiChild child;
        show(child, { "a", "b", "c" }, { "x", "y", "z" });
        child.setModified(false);
        QListView *view = sourceSide ? child.sourceView : child.translationView;
        view->edit(view->model()->index(1, 0));
        auto *editor = view->viewport()->findChild<LineEditorCreator *>();
        QVERIFY(editor && editor->text() == (sourceSide ? "b" : "y"));
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!view->viewport()->findChild<LineEditorCreator *>());
        QCOMPARE((sourceSide ? child.sources() : child.translations()).at(1), text);
        QCOMPARE(child.isModified(), text == QStringLiteral("edited"));
        // The next recognised sentence keeps the operator's edit.
        child.model()->appendSource(QStringLiteral("next"));
        QCOMPARE(child.sources().at(1), sourceSide ? text : QStringLiteral("b"));
    }

    void closeAsksToSave_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("itemsOnDisk");
        QTest::newRow("Save") << "Save" << true << 2;
        QTest::newRow("Discard") << "Discard" << true << 1;
        QTest::newRow("Cancel") << "Cancel" << false << 1;
    }

    void closeAsksToSave()
    {
        QFETCH(QString, button);
        QFETCH(bool, closes);
        QFETCH(int, itemsOnDisk);
        const QString file = dir.filePath(QStringLiteral("prompt.txt"));
        {
            MdiChild writer;
            writer.setItems({ "a" }, { "x" });
            writer.setModified(true);
            QVERIFY(writer.saveFile(file) && !writer.isModified());
        }
        MdiChild child;
        QVERIFY(child.loadFile(file, false));
        QVERIFY(child.maybeSave()); // unmodified: nothing asked
        child.setItems({ "a", "b" }, { "x", "y" });
        child.setModified(true);
        ModalAnswer::clickButton(button);
        QCOMPARE(child.close(), closes);
        QCOMPARE(ModalAnswer::answeredCount(), 1);
        QCOMPARE(ModalAnswer::lastText(), QStringLiteral("'prompt.txt' has been modified.\nDo you want to save your changes?"));
        QCOMPARE(readItems(file).sources.size(), itemsOnDisk);
    }

    // Cut and paste in the running texts; only the source side's text is taken over.
    void runningTextEdits_data()
    {
        QTest::addColumn<bool>("sourceSide");
        QTest::addColumn<bool>("byKey");
        QTest::newRow("source view, keys") << true << true;
        QTest::newRow("source view, menu slots") << true << false;
        QTest::newRow("translation view, keys") << false << true;
    }

    void runningTextEdits()
    {
        QFETCH(bool, sourceSide);
        QFETCH(bool, byKey);
        AppState::textMode = 0;
        MdiChild child;
        child.model()->setRunningSource(QStringLiteral("unchanged"), false);
        MyEdit *edit = sourceSide ? child.sourceEdit : child.translationEdit;
        const auto taken = [&] { return sourceSide ? edit->toPlainText() : QStringLiteral("unchanged"); };
        // Typing is read when a sentence needs it, and marks the document.
        QTest::keyClicks(edit, QStringLiteral("abc"));
        QCOMPARE(child.model()->runningSource(), QStringLiteral("unchanged"));
        QVERIFY(child.isModified() || !sourceSide);
        // And again after a save.
        child.setModified(false);
        QTest::keyClicks(edit, QStringLiteral("d"));
        QVERIFY(child.isModified() || !sourceSide);
        edit->setPlainText(QStringLiteral("first，second，"));
        QTextCursor cursor(edit->document());
        cursor.setPosition(6, QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
        byKey ? QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier) : edit->cut1();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("first，"));
        QCOMPARE(edit->toPlainText(), QStringLiteral("second，"));
        QCOMPARE(child.model()->runningSource(), taken());
        // Every sentence of a running text is one line.
        QApplication::clipboard()->setText(QStringLiteral("first\nthird\r\n"));
        edit->moveCursor(QTextCursor::End);
        byKey ? QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier) : edit->paste1();
        QCOMPARE(edit->toPlainText(), QStringLiteral("second，first third "));
        QCOMPARE(child.model()->runningSource(), taken());
    }

    void lineCounts()
    {
        // Every character 10 pixels wide: the fitting rule without a font.
        const struct { QString text; int width, spaceWidth, lines; } rows[] = { { QString(), 100, 4, 1 }, { "abc", 100, 4, 1 }, { QString(10, 'a'), 100, 4, 2 },
            { QString(25, QChar(0x4E2D)), 100, 4, 3 }, { "aaaaa aaaaa", 100, 4, 2 },
            { "aaaaa aaaaa aaaaa aaaaa", 100, 4, 4 }, { "aa " + QString(25, 'a'), 100, 4, 4 },
            { "aaaa  aaaaa", 100, 7, 2 }, { "aaaa", 0, 4, 1 } };
        for (const auto &row : rows)
            QCOMPARE(LineCountCache::count(row.text, row.width, row.spaceWidth, [](const QString &word) { return 10.0 * word.size(); }), row.lines);
        // Text without blanks takes the fewest lines that hold it.
        const QString chinese = QStringLiteral("我们今天在这里开会讨论一下经济发展的问题，请大家发言。");
        const QFontMetricsF metrics(testFont());
        for (int width : { 50, 97, 160, 333, 1000 })
            QCOMPARE(MyWrapItem::lineCount(chinese, metrics, width),
                int(metrics.horizontalAdvance(chinese) / width) + 1);
    }

    // Through appends, inserts, removals, edits and translations in any order,
    // the rows of both lists stay level and contiguous, every row shown holds
    // both its texts as drawn (Chinese that may not break before punctuation,
    // translations longer than their sources), and laying the lists out afresh
    // gives the rows each change left. Seeded; TOLVANE_SEED repeats a run.
    void rowsHoldBothTextsThroughEdits()
    {
        const quint32 seed = qEnvironmentVariableIsSet("TOLVANE_SEED") ? qgetenv("TOLVANE_SEED").toUInt()
                                                                      : QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const QString hanzi = QStringLiteral("的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下");
        const QStringList words = QStringLiteral("a an of to words which have many different lengths wrap")
                                      .split(QLatin1Char(' '));
        auto sentence = [&](bool chinese) {
            QString text;
            const int length = 1 + random.bounded(chinese ? 70 : 30);
            for (int i = 0; i < length; ++i) {
                if (chinese)
                    text += random.bounded(3) == 0 ? QChar(0xFF0C) : hanzi.at(random.bounded(hanzi.size()));
                else
                    text += words.at(random.bounded(words.size())) + QLatin1Char(' ');
            }
            return chinese ? text + QChar(0x3002) : text.trimmed();
        };
        QFont chinese(QStringLiteral("WenQuanYi Micro Hei"));
        chinese.setPixelSize(16);
        constexpr int lineHeight = 30;
        // Every length of a translation, so that its word ends sweep across the view.
        QStringList sources;
        QStringList translations;
        const QString latin = QStringLiteral("a sentence of words which have many different lengths, to "
                                             "wrap at every possible place; ")
                                  .repeated(3);
        for (int length = 1; length <= latin.size(); length += 3) {
            sources << hanzi.left(length % 30);
            translations << latin.left(length);
        }
        MdiChild child;
        show(child, sources, translations, lineHeight);
        child.resize(child.width(), 2000);
        // A scroll bar coming and going would lay both lists out afresh and hide a wrong row table.
        child.sourceView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        child.translationView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        child.applyFonts(chinese, testFont(), false, lineHeight);
        // The first rows put a comma at each place around the end of a full
        // line, in sentences a little shorter and longer than two lines.
        const int perLine = int((child.sourceView->viewport()->width() - 8)
            / QFontMetricsF(chinese).horizontalAdvance(hanzi.at(0)));
        for (int row = 0; row < 20; ++row)
            sources[row] = hanzi.left(perLine - 1 + row % 4) + QChar(0xFF0C) + hanzi.left(perLine - 3 + row / 4) + QChar(0x3002);
        child.setItems(sources, translations);
        child.sourceView->doItemsLayout();
        child.translationView->doItemsLayout();
        DocumentModel *document = child.model();
        auto drawnLines = [](const QString &text, const QFont &font, int width) {
            QTextLayout layout(text, font);
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            int lines = 0;
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                ++lines;
            }
            layout.endLayout();
            return lines;
        };
        // Step -1 checks the document as read, shown from its top.
        for (int step = -1; step < 100; ++step) {
            const int rows = document->count();
            const int row = random.bounded(qMax(rows, 1));
            switch (step < 0 ? -1 : random.bounded(5)) {
            case -1:
                break;
            case 0:
                document->appendSource(sentence(true));
                break;
            case 1:
                document->insertBlank(random.bounded(rows + 1));
                break;
            case 2:
                if (rows > 1)
                    document->remove(row);
                break;
            case 3:
                document->setSource(row, sentence(true));
                break;
            default:
                document->applyTranslation(document->at(row).id, sentence(false), true, true, QString());
            }
            // Each change (and the rows its own repaint found taller) left both
            // lists as a fresh layout would: level, contiguous, every row as
            // tall as its delegate says.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
            const QString where = QStringLiteral("step %1, seed %2").arg(step).arg(seed);
            const QStyleOptionViewItem option;
            int top = child.sourceView->visualRect(child.sourceModel->index(0)).top();
            for (int r = 0; r < document->count(); ++r) {
                const QRect source = child.sourceView->visualRect(child.sourceModel->index(r));
                const QRect translation = child.translationView->visualRect(child.translationModel->index(r));
                const int height = child.sourceView->itemDelegate()->sizeHint(option, child.sourceModel->index(r)).height();
                // Word-wrapped text is counted right without painting it first.
                const int translationLines
                    = drawnLines(document->at(r).translation, testFont(), translation.width() - 8);
                QVERIFY2(source.top() == top && source.height() == height && translation.top() == source.top()
                        && translation.height() == height && height >= lineHeight * translationLines,
                    qPrintable(where + QStringLiteral(", row %1").arg(r)));
                top += height;
            }
            // Painted as the screen would be; rows shown hold their texts as drawn.
            child.grab();
            QCoreApplication::processEvents();
            for (int r = 0; r < document->count(); ++r) {
                const QRect source = child.sourceView->visualRect(child.sourceModel->index(r));
                if (!source.intersects(child.sourceView->viewport()->rect()))
                    continue;
                const int lines = qMax(drawnLines(document->at(r).source, chinese, source.width() - 8),
                    drawnLines(document->at(r).translation, testFont(), source.width() - 8));
                QVERIFY2(source.height() >= lineHeight * lines, qPrintable(where + QStringLiteral(", row %1").arg(r)));
                QCOMPARE(child.translationView->visualRect(child.translationModel->index(r)), source);
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

    // A journal replays to the items on screen after any mix of changes, a torn
    // last line and compaction; its file and lock go once the document is saved.
    void journalReplays_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("changes");
        QTest::addColumn<int>("floor");
        QTest::addColumn<bool>("torn");
        QTest::newRow("few changes") << 1u << 40 << 1000 << false;
        QTest::newRow("many changes, compacted often") << 2u << 3000 << 8 << false;
        QTest::newRow("torn last line") << 3u << 300 << 1000 << true;
        QTest::newRow("compacted, torn last line") << 4u << 2000 << 16 << true;
    }

    void journalReplays()
    {
        QFETCH(quint32, seed);
        QFETCH(int, changes);
        QFETCH(int, floor);
        QFETCH(bool, torn);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("recovery/doc.jsonl"));
        const QString name = QStringLiteral("/tmp/名 \"x\".txt");
        DocumentModel doc;
        RecoveryJournal journal(&doc, path, [&] { return name; }, [] { return QStringLiteral("名"); });
        journal.setCompactionFloor(floor);
        doc.appendSource(QStringLiteral("before the first change"));
        QVERIFY(!QFile::exists(path));
        doc.setModified(true);
        QRandomGenerator random(seed);
        int most = 0;
        // Compaction bounds the file: a header, the items, then the changes since.
        const auto bounded = [&] {
            QFile file(path);
            const int lines = file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : -1;
            return lines > 0 && lines <= 1 + 2 * most + qMax(floor, 2 * most);
        };
        for (int i = 0; i < changes; ++i) {
            change(doc, random);
            most = qMax(most, doc.count());
            // Nobody else may take the file of a running journal.
            if (i == changes / 2)
                QVERIFY(Recovery(dir.filePath(QStringLiteral("recovery"))).orphans().empty());
        }
        QVERIFY(bounded());
        QFile file(path);
        QVERIFY(!torn || (file.open(QIODevice::Append) && file.write("{\"op\":\"ins\",\"row\":0,\"id\":9,\"s\":\"half") > 0));
        file.close();
        const RecoveryJournal::Contents contents = RecoveryJournal::read(path);
        QVERIFY(contents.valid && contents.fileName == name && contents.title == QStringLiteral("名"));
        QCOMPARE(contents.skippedLines, torn ? 1 : 0);
        DocumentModel replayed;
        replayed.restoreItems(contents.items);
        QCOMPARE(replayed.sources(), doc.sources());
        QCOMPARE(replayed.translations(), doc.translations());
        // Edits in place only: the file is still written whole again before it outgrows its bound.
        doc.appendSource(QStringLiteral("last"));
        most = qMax(most, doc.count());
        for (int i = 0; i < 2 * (2 * most + qMax(floor, 2 * most)); ++i)
            doc.setTranslation(0, tricky.at(i % tricky.size()));
        QVERIFY(bounded());
        doc.setModified(false); // saved
        QVERIFY(!QFile::exists(path) && !QFile::exists(RecoveryJournal::lockPath(path)));
    }

    // The start-up offer restores, discards or keeps a crashed run's file.
    void recoveryOffer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("restore") << int(RecoveryDialog::Restore);
        QTest::newRow("discard") << int(RecoveryDialog::Discard);
        QTest::newRow("later") << int(RecoveryDialog::Later);
    }

    void recoveryOffer()
    {
        QFETCH(int, answer);
        WindowFixture f;
        MainWindow *w = f.window;
        const Recovery recovery(f.path(QStringLiteral("recovery")));
        const QString savedName = f.path(QStringLiteral("talk.txt"));
        const QString orphan = recovery.dir() + QStringLiteral("/old.jsonl");
        const QStringList sources { QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三") };
        const QStringList translations { QStringLiteral("bir"), QStringLiteral("ikki") };
        {
            // A journal's file while its lock is not held.
            QTemporaryDir crashed;
            DocumentModel doc;
            RecoveryJournal journal(&doc, crashed.filePath("old.jsonl"), [&] { return savedName; }, [] { return QString(); });
            doc.setItems(sources, translations);
            doc.setModified(true);
            QVERIFY(QDir().mkpath(recovery.dir()) && QFile::copy(journal.path(), orphan));
        }
        const int before = w->documents().size();
        QStringList listed;
        ModalAnswer::onNext([&](QWidget *modal) {
            auto *dialog = qobject_cast<RecoveryDialog *>(modal);
            QTreeWidgetItem *row = dialog ? dialog->list()->topLevelItem(0) : nullptr;
            listed = row ? QStringList { row->text(0), row->text(2) } : QStringList();
            const QString button = answer == RecoveryDialog::Restore ? "恢复" : answer == RecoveryDialog::Discard ? "放弃" : "";
            for (QAbstractButton *b : modal->findChildren<QAbstractButton *>())
                if (b->text() == button)
                    b->click();
            modal->close();
        });
        const int restored = recovery.offer(w, [w] { return w->createMdiChild(w); });
        QCOMPARE(listed, QStringList({ QDir::toNativeSeparators(savedName), QStringLiteral("3") }));
        QCOMPARE(restored, answer == RecoveryDialog::Restore ? 1 : 0);
        QCOMPARE(QFile::exists(orphan), answer == RecoveryDialog::Later);
        QCOMPARE(int(recovery.orphans().size()), answer == RecoveryDialog::Later ? 1 : 0);
        QCOMPARE(w->documents().size(), before + restored);
        if (answer != RecoveryDialog::Restore)
            return;

        MdiChild *child = w->documents().constLast();
        QCOMPARE(child->sources(), sources);
        QCOMPARE(child->translations(), translations);
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
        QVERIFY(qobject_cast<QMdiSubWindow *>(child->parentWidget())->close());
        QTRY_COMPARE(journals(), 0);
    }
};

TOLVANE_TEST_MAIN(TestDocuments)
#include "tst_documents.moc"
