#include "modalanswer.h"
#include "testmain.h"

#include "app/appstate.h"
#include "documents/documentfile.h"
#include "documents/lineeditorcreator.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "documents/mywrapitem.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The document window: naming, menus, following, copying, item commands,
// files, and the two ways of showing the items.
class TestMdiChild : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    static void show(MdiChild &child, const QStringList &sources = {}, const QStringList &translations = {})
    {
        child.newFile();
        child.resize(820, 400);
        child.show();
        QVERIFY(QTest::qWaitForWindowExposed(&child));
        child.setItems(sources, translations);
        QTRY_VERIFY(sources.isEmpty()
            || child.sourceView->visualRect(child.sourceModel->index(sources.size() - 1)).isValid());
    }

    static QStringList menuTexts(QMenu *menu)
    {
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("|") : action->text());
        delete menu;
        return texts;
    }

    static void setCurrent(QListView *view, int row)
    {
        if (row >= 0)
            view->setCurrentIndex(view->model()->index(row, 0));
    }

    static void clickRow(QListView *view, int row)
    {
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QVERIFY(rect.isValid());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }

    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void init()
    {
        AppState::textMode = 1;
        ModalAnswer::reset();
        QApplication::clipboard()->setText(QStringLiteral("before"));
    }

    void documentsNamedInSequence()
    {
        auto *first = new MdiChild;
        first->newFile();
        const int n = first->currentFile().mid(8).chopped(4).toInt();
        QCOMPARE(first->currentFile(), QStringLiteral("document%1.txt").arg(n));
        QCOMPARE(first->windowTitle(), first->currentFile() + QStringLiteral("[*]"));
        auto *second = new MdiChild;
        second->newFile();
        QCOMPARE(second->currentFile(), QStringLiteral("document%1.txt").arg(n + 1));
        const quint64 secondId = second->documentId();
        delete second;
        MdiChild third;
        third.newFile();
        QCOMPARE(third.currentFile(), QStringLiteral("document%1.txt").arg(n + 2));
        QVERIFY(third.documentId() != first->documentId());
        QVERIFY(third.documentId() != secondId);
        QCOMPARE(third.userFriendlyCurrentFile(), third.currentFile());
        delete first;
    }

    void menus_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("current");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("source, no current item") << 1 << -1 << QStringList { "translate all", "CopyAll" };
        QTest::newRow("source, current item") << 1 << 0
                                              << QStringList { "translate selection", "translate all",
                                                     "Add Up", "Add Down", "Delete", "|", "Copy", "CopyAll" };
        QTest::newRow("translation, no current item")
            << 2 << -1 << QStringList { "CopyAll", "|", "Retry failed", "Cancel translation" };
        QTest::newRow("translation, current item")
            << 2 << 1 << QStringList { "Copy", "CopyAll", "|", "Retry failed", "Cancel translation" };
    }

    void menus()
    {
        QFETCH(int, side);
        QFETCH(int, current);
        QFETCH(QStringList, entries);
        MdiChild child;
        child.setItems({ "a", "b" }, { "x", "y" });
        setCurrent(side == 1 ? child.sourceView : child.translationView, current);
        QCOMPARE(menuTexts(side == 1 ? child.createSourceMenu() : child.createTranslationMenu()), entries);
    }

    void clickFollowing()
    {
        MdiChild child;
        show(child, { "a", "b", "c", "d" }, { "x", "y" });
        clickRow(child.sourceView, 1);
        QCOMPARE(child.translationView->currentIndex().row(), 1);
        // Row 3 has no translation yet: its row is there, without text.
        clickRow(child.sourceView, 3);
        QCOMPARE(child.translationView->currentIndex().row(), 3);
        QVERIFY(!child.translationView->currentIndex().data().isValid());
        clickRow(child.translationView, 0);
        QCOMPARE(child.sourceView->currentIndex().row(), 0);
    }

    void scrollFollowing()
    {
        QStringList sources;
        QStringList translations;
        for (int i = 0; i < 100; ++i) {
            sources << QStringLiteral("s%1").arg(i);
            translations << QStringLiteral("t%1").arg(i);
        }
        MdiChild child;
        show(child, sources, translations.mid(0, 60));
        QScrollBar *source = child.sourceView->verticalScrollBar();
        QScrollBar *translation = child.translationView->verticalScrollBar();
        QTRY_VERIFY(translation->maximum() > 20);

        QSignalSpy sourceMoves(source, &QScrollBar::valueChanged);
        source->setValue(10);
        QCOMPARE(translation->value(), 10);
        translation->setValue(20);
        QCOMPARE(source->value(), 20);
        QCOMPARE(sourceMoves.count(), 2);

        // Rows still without a translation keep the lists level, down to the new bottom.
        child.model()->appendSource(QStringLiteral("new"));
        QCOMPARE(source->value(), source->maximum());
        QCOMPARE(translation->value(), translation->maximum());
        QCOMPARE(translation->maximum(), source->maximum());
    }

    void copying_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("all of an empty list") << 1 << QStringList() << -1 << true << "before";
        QTest::newRow("all of one empty item") << 1 << QStringList { "" } << -1 << true << "\n";
        QTest::newRow("current item") << 1 << QStringList { "a", "b" } << 1 << false << "b";
        QTest::newRow("no current item") << 1 << QStringList { "a", "b" } << -1 << false << "before";
        QTest::newRow("current translation") << 2 << QStringList { "x", "y" } << 0 << false << "x";
    }

    void copying()
    {
        QFETCH(int, side);
        QFETCH(QStringList, items);
        QFETCH(int, current);
        QFETCH(bool, all);
        QFETCH(QString, clipboard);
        MdiChild child;
        child.setItems(items, items);
        setCurrent(side == 1 ? child.sourceView : child.translationView, current);
        if (side == 1)
            all ? child.copyAll() : child.copy1();
        else
            all ? child.copyAll2() : child.copy2();
        QCOMPARE(QApplication::clipboard()->text(), clipboard);
    }

    void inPlaceEditIsKept()
    {
        MdiChild child;
        show(child, { "a", "b", "c" }, { "x", "y", "z" });
        child.setModified(false);

        child.sourceView->edit(child.sourceModel->index(1));
        auto *editor = child.sourceView->viewport()->findChild<LineEditorCreator *>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("b"));
        QCOMPARE(editor->parentWidget(), child.sourceView->viewport());
        QCOMPARE(editor->font().pointSizeF(), child.sourceView->viewport()->font().pointSizeF() + 10);
        editor->setText(QStringLiteral("edited"));
        QTest::keyClick(editor, Qt::Key_Return);

        QTRY_COMPARE(child.sources().at(1), QStringLiteral("edited"));
        QVERIFY(child.isModified());
        // The next recognised sentence keeps the operator's edit.
        child.model()->appendSource(QStringLiteral("next"));
        QCOMPARE(child.sourceModel->stringList(), QStringList({ "a", "edited", "c", "next" }));
    }

    void unchangedEditIsNoModification()
    {
        MdiChild child;
        show(child, { "a" }, { "x" });
        child.setModified(false);
        child.translationView->edit(child.translationModel->index(0));
        auto *editor = child.translationView->viewport()->findChild<LineEditorCreator *>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!child.translationView->viewport()->findChild<LineEditorCreator *>());
        QVERIFY(!child.isModified());
    }

    void maybeSave_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<int>("itemsOnDisk");
        QTest::newRow("Save") << "Save" << true << 2;
        QTest::newRow("Discard") << "Discard" << true << 1;
        QTest::newRow("Cancel") << "Cancel" << false << 1;
    }

    void maybeSave()
    {
        QFETCH(QString, button);
        QFETCH(bool, goOn);
        QFETCH(int, itemsOnDisk);
        const QString file = path(QStringLiteral("prompt.txt"));
        {
            MdiChild writer;
            writer.setItems({ "a" }, { "x" });
            QVERIFY(writer.saveFile(file));
        }
        MdiChild child;
        QVERIFY(child.loadFile(file, false));
        QVERIFY(child.maybeSave());
        QCOMPARE(ModalAnswer::answeredCount(), 0);

        child.setItems({ "a", "b" }, { "x", "y" });
        child.setModified(true);
        ModalAnswer::clickButton(button);
        QCOMPARE(child.maybeSave(), goOn);
        QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("Application"));
        QCOMPARE(ModalAnswer::lastText(),
            QStringLiteral("'prompt.txt' has been modified.\nDo you want to save your changes?"));
        DocumentFile::Items items;
        QString error;
        QVERIFY(DocumentFile::read(file, false, &items, &error));
        QCOMPARE(items.sources.size(), itemsOnDisk);
    }

    void closeAsks()
    {
        MdiChild child;
        show(child, { "a" }, { "x" });
        child.setModified(true);
        QSignalSpy closed(&child, &MdiChild::closeChild);
        ModalAnswer::clickButton(QStringLiteral("Cancel"));
        QVERIFY(!child.close());
        QVERIFY(child.isVisible());
        QCOMPARE(closed.count(), 0);

        // Save on a never-saved document asks for a name; cancelling it keeps the window.
        ModalAnswer::onNext([](QWidget *box) {
            ModalAnswer::pressEscape();
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Save)->click();
        });
        QVERIFY(!child.close());
        QTRY_COMPARE(ModalAnswer::answeredCount(), 3);
        QCOMPARE(closed.count(), 0);

        ModalAnswer::clickButton(QStringLiteral("Discard"));
        QVERIFY(child.close());
        QCOMPARE(closed.count(), 1);
    }

};

TOLVANE_TEST_MAIN(TestMdiChild)
#include "tst_mdichild.moc"
