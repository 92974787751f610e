#include "testmain.h"

#include "app/appstate.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QTest>

// The running-text views of "Comma separate" mode.
class TestMyEdit : public QObject
{
    Q_OBJECT

private:
    static void selectFirst(MyEdit *edit, int count)
    {
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(count, QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
    }

private slots:
    void init()
    {
        AppState::textMode = 0;
        QApplication::clipboard()->clear();
    }

    void cutAndPaste_data()
    {
        QTest::addColumn<bool>("sourceSide");
        QTest::addColumn<bool>("byKey");
        QTest::newRow("source view, menu slots") << true << false;
        QTest::newRow("source view, keys") << true << true;
        QTest::newRow("translation view, menu slots") << false << false;
        QTest::newRow("translation view, keys") << false << true;
    }

    void cutAndPaste()
    {
        QFETCH(bool, sourceSide);
        QFETCH(bool, byKey);
        MdiChild child;
        child.model()->setRunningSource(QStringLiteral("unchanged"), false);
        MyEdit *edit = sourceSide ? child.sourceEdit : child.translationEdit;
        edit->setPlainText(QStringLiteral("first，second，"));
        selectFirst(edit, 6);
        if (byKey)
            QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        else
            edit->cut1();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("first，"));
        QCOMPARE(edit->toPlainText(), QStringLiteral("second，"));
        QCOMPARE(child.model()->runningSource(), sourceSide ? edit->toPlainText() : QStringLiteral("unchanged"));

        edit->moveCursor(QTextCursor::End);
        if (byKey)
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        else
            edit->paste1();
        QCOMPARE(edit->toPlainText(), QStringLiteral("second，first，"));
        QCOMPARE(child.model()->runningSource(), sourceSide ? edit->toPlainText() : QStringLiteral("unchanged"));
    }

    void typingDoesNotTouchSourceTextButModifies()
    {
        MdiChild child;
        child.model()->setRunningSource(QStringLiteral("unchanged"), false);
        QTest::keyClicks(child.sourceEdit, QStringLiteral("abc"));
        QCOMPARE(child.sourceEdit->toPlainText(), QStringLiteral("abc"));
        QCOMPARE(child.model()->runningSource(), QStringLiteral("unchanged"));
        QVERIFY(child.isModified());
    }

    void contextMenu()
    {
        MyEdit edit;
        QMenu *menu = edit.createContextMenu();
        QStringList texts;
        QList<QKeySequence> keys;
        for (QAction *action : menu->actions()) {
            texts << action->text();
            keys << action->shortcut();
        }
        QCOMPARE(texts, QStringList({ "Cu&t", "&Copy", "&Paste" }));
        QCOMPARE(keys, QList<QKeySequence>({ QKeySequence::Cut, QKeySequence::Copy, QKeySequence::Paste }));

        edit.setPlainText(QStringLiteral("text"));
        edit.selectAll();
        menu->actions().at(1)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("text"));
        delete menu;
    }
};

TOLVANE_TEST_MAIN(TestMyEdit)
#include "tst_myedit.moc"
