// Recovery files: a journal replays to the items on screen after any mix of
// changes, a torn last line and compaction; the start-up offer restores,
// discards or keeps them; files owned by a running journal are never offered.

#include "app/mainwindow.h"
#include "documents/documentfile.h"
#include "documents/mdichild.h"
#include "documents/recovery.h"
#include "documents/recoverydialog.h"
#include "documents/recoveryjournal.h"
#include "modalanswer.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

// Texts that break naive line formats: quotes, backslashes, every kind of line
// break (items turn them into spaces), NUL, surrogate pairs, JSON look-alikes.
const QStringList tricky = { QStringLiteral("今天的会议现在开始。"), QStringLiteral("ياخشىمۇسىز \"دوست\""),
    QStringLiteral("a\\b\\\"c"), QStringLiteral("line\nbreak\r\nand\u2028more"),
    QString(QChar(0)) + QStringLiteral("nul"), QStringLiteral("😀 emoji"),
    QStringLiteral("{\"op\":\"del\",\"id\":1}\n"), QString(), QStringLiteral(" ") };

QString pick(QRandomGenerator &random) { return tricky.at(random.bounded(tricky.size())); }

// What the document shows: every source, and the translations of the translation column.
QStringList shown(const DocumentModel &doc)
{
    return doc.sources() + QStringList { QStringLiteral("|") } + doc.translations();
}

QStringList restored(const RecoveryJournal::Contents &contents)
{
    DocumentModel doc;
    doc.restoreItems(contents.items);
    return shown(doc);
}

int lineCount(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : -1;
}

// One random change as recording, translation and the item commands make them.
void change(DocumentModel &doc, QRandomGenerator &random)
{
    const int count = doc.count();
    const int row = count ? int(random.bounded(count)) : 0;
    switch (random.bounded(10)) {
    case 0:
        doc.showProvisional(pick(random));
        break;
    case 1:
        doc.addFinal(pick(random));
        break;
    case 2:
        doc.appendSource(pick(random));
        break;
    case 3:
    case 4:
        if (count)
            doc.applyTranslation(
                doc.at(row).id, pick(random), random.bounded(2), random.bounded(4), QString());
        break;
    case 5:
        doc.setSource(row, pick(random));
        break;
    case 6:
        doc.setTranslation(row, pick(random));
        break;
    case 7:
        doc.insertBlank(row);
        break;
    case 8:
        doc.remove(row);
        break;
    case 9:
        if (random.bounded(20) == 0)
            doc.setItems({ pick(random), pick(random) }, { pick(random) });
        else
            doc.settleProvisional();
        break;
    }
}

}

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void journalReplays_data();
    void journalReplays();
    void offer_data();
    void offer();
};

void TestRecovery::journalReplays_data()
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

void TestRecovery::journalReplays()
{
    QFETCH(quint32, seed);
    QFETCH(int, changes);
    QFETCH(int, floor);
    QFETCH(bool, torn);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("recovery/doc.jsonl"));
    DocumentModel doc;
    RecoveryJournal journal(
        &doc, path, [] { return QStringLiteral("/tmp/名 \"x\".txt"); },
        [] { return QStringLiteral("名 \"x\".txt"); });
    journal.setCompactionFloor(floor);
    doc.appendSource(QStringLiteral("before the first change"));
    QVERIFY(!QFile::exists(path));
    doc.setModified(true);
    QVERIFY(journal.isActive());

    QRandomGenerator random(seed);
    int most = 0;
    for (int i = 0; i < changes; ++i) {
        change(doc, random);
        most = qMax(most, doc.count());
        // Nobody else may take the file of a running journal.
        if (i == changes / 2)
            QVERIFY(Recovery(dir.filePath(QStringLiteral("recovery"))).orphans().empty());
    }
    if (torn) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write("{\"op\":\"ins\",\"row\":0,\"id\":99999,\"s\":\"half");
    }

    const RecoveryJournal::Contents contents = RecoveryJournal::read(path);
    QVERIFY(contents.valid);
    QCOMPARE(contents.fileName, QStringLiteral("/tmp/名 \"x\".txt"));
    QCOMPARE(contents.title, QStringLiteral("名 \"x\".txt"));
    QCOMPARE(contents.skippedLines, torn ? 1 : 0);
    QCOMPARE(restored(contents), shown(doc));
    // Compaction bounds the file: a header, the items, then the changes since.
    QVERIFY2(lineCount(path) <= 1 + 2 * most + qMax(floor, 2 * most),
        qPrintable(QString::number(lineCount(path))));

    doc.setModified(false); // saved
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QFile::exists(RecoveryJournal::lockPath(path)));
}

void TestRecovery::offer_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("restore") << int(RecoveryDialog::Restore);
    QTest::newRow("discard") << int(RecoveryDialog::Discard);
    QTest::newRow("later") << int(RecoveryDialog::Later);
}

void TestRecovery::offer()
{
    QFETCH(int, answer);

    WindowFixture f;
    MainWindow *w = f.window;
    const Recovery recovery(f.path(QStringLiteral("recovery")));
    const QString savedName = f.path(QStringLiteral("talk.txt"));

    // A crashed run's file: a journal's file while its lock is not held.
    {
        QTemporaryDir crashed;
        DocumentModel doc;
        const QString path = crashed.filePath(QStringLiteral("old.jsonl"));
        RecoveryJournal journal(
            &doc, path, [&] { return savedName; }, [] { return QStringLiteral("talk.txt"); });
        doc.setItems({ QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三") },
            { QStringLiteral("bir"), QStringLiteral("ikki") });
        doc.setModified(true);
        QDir().mkpath(recovery.dir());
        QVERIFY(QFile::copy(path, recovery.dir() + QStringLiteral("/old.jsonl")));
    }
    const QString orphan = recovery.dir() + QStringLiteral("/old.jsonl");
    const int before = w->documents().size();

    QStringList listed;
    ModalAnswer::onNext([&](QWidget *modal) {
        auto *dialog = qobject_cast<RecoveryDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        QTreeWidgetItem *row = dialog->list()->topLevelItem(0);
        listed = QStringList { row->text(0), row->text(2) };
        const QString button
            = answer == RecoveryDialog::Restore ? QStringLiteral("恢复") : QStringLiteral("放弃");
        for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>()) {
            if (answer != RecoveryDialog::Later && b->text() == button)
                b->click();
        }
        if (answer == RecoveryDialog::Later)
            dialog->reject();
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
    QCOMPARE(
        child->sources(), QStringList({ QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三") }));
    QCOMPARE(child->translations(), QStringList({ QStringLiteral("bir"), QStringLiteral("ikki") }));
    QVERIFY(child->isModified());
    QCOMPARE(child->currentFile(), savedName);
    const auto journals
        = [&] { return QDir(recovery.dir()).entryList({ QStringLiteral("*.jsonl") }, QDir::Files); };
    QCOMPARE(journals().size(), 1); // the restored document's own, while it is unsaved

    // Saving writes the file it had and ends its journal; so does closing without saving.
    QVERIFY(child->save());
    DocumentFile::Items saved;
    QString error;
    QVERIFY(DocumentFile::read(savedName, false, &saved, &error));
    QCOMPARE(saved.sources, QStringList({ QStringLiteral("一"), QStringLiteral("二") }));
    QCOMPARE(journals(), QStringList());
    child->model()->appendSource(QStringLiteral("四"));
    child->setModified(true);
    QCOMPARE(journals().size(), 1);
    ModalAnswer::clickButton(QStringLiteral("放弃"));
    QVERIFY(qobject_cast<QMdiSubWindow *>(child->parentWidget())->close());
    QTRY_COMPARE(journals(), QStringList());
}

TOLVANE_TEST_MAIN(TestRecovery)

#include "tst_recovery.moc"
