#include "modalanswer.h"
#include "widgets/qmykeyboard.h"
#include "widgets/qmykeyboardtoolbutton.h"
#include "widgets/qmylineedit.h"

#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace {
void leave(QMyLineEdit &edit)
{
    QFocusEvent event(QEvent::FocusOut);
    QApplication::sendEvent(&edit, &event);
}

void sendContextMenu(QMyLineEdit &edit)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&edit, &event);
}

// Types the given labels on the next keyboard, then clicks button.
void answerKeyboard(const QStringList &keys, const QString &button, QString *title = nullptr)
{
    ModalAnswer::onNext([keys, button, title](QWidget *modal) {
        auto *keyboard = qobject_cast<QMyKeyboard *>(modal);
        if (!keyboard) {
            modal->close();
            return;
        }
        if (title)
            *title = keyboard->windowTitle() + QLatin1Char('|') + keyboard->objectName() + QLatin1Char('|')
                + keyboard->text();
        for (const QString &label : keys) {
            for (QMyKeyboardToolButton *key : keyboard->keys()) {
                if (key->text() == label)
                    key->click();
            }
        }
        for (auto *b : keyboard->findChildren<QPushButton *>()) {
            if (b->text() == button)
                b->click();
        }
    });
}
}

class TestQMyLineEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Merovaal"));
        QCoreApplication::setApplicationName(QStringLiteral("Tolvane"));
        QLoggingCategory::setFilterRules(QStringLiteral("qt.svg.warning=false"));
    }

    void init()
    {
        QSettings().clear();
        QMyLineEdit::clearHistory();
        ModalAnswer::reset();
    }

    void refusedKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("message");
        QTest::newRow("apostrophe") << int(Qt::Key_Apostrophe) << QStringLiteral("Forbidden character use `");
        QTest::newRow("backslash") << int(Qt::Key_Backslash) << QStringLiteral("Forbidden character use /");
    }

    void refusedKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, message);
        QMyLineEdit edit(QStringLiteral("ab"));
        edit.show();

        ModalAnswer::clickStandard(QMessageBox::Ok);
        QTest::keyClick(&edit, Qt::Key(key));
        QCOMPARE(ModalAnswer::answeredCount(), 1);
        QCOMPARE(ModalAnswer::lastTitle(), QStringLiteral("Error"));
        QCOMPARE(ModalAnswer::lastText(), message);
        QCOMPARE(edit.text(), QStringLiteral("ab"));

        // Other keys still type: the field is not simply deaf.
        QTest::keyClick(&edit, Qt::Key_C);
        QCOMPARE(edit.text(), QStringLiteral("abc"));
    }

    void refusedCharactersArriveOtherwise()
    {
        QMyLineEdit edit(QStringLiteral("a"));
        edit.appendText(QStringLiteral("'\\"));
        QCOMPARE(edit.text(), QStringLiteral("a'\\"));

        QApplication::clipboard()->setText(QStringLiteral("`'\\"));
        edit.paste();
        QCOMPARE(edit.text(), QStringLiteral("a'\\`'\\"));
        QCOMPARE(ModalAnswer::answeredCount(), 0);
    }

    void keyboardOkReplacesText()
    {
        QMyLineEdit edit(QStringLiteral("ab"));
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QString seen;
        answerKeyboard({ QStringLiteral("x"), QStringLiteral("`") }, QStringLiteral("OK"), &seen);
        edit.keyboard();

        QCOMPARE(seen, QStringLiteral("Keyboard|mylineedits1|ab"));
        QCOMPARE(edit.text(), QStringLiteral("abx`"));
        // The keyboard stores where it was moved: just under the field.
        QCOMPARE(QSettings().value(QStringLiteral("mylineedits1/Position")).toPoint(),
                 edit.mapToGlobal(QPoint(0, edit.height() - 2)));
    }

    void keyboardCancelLeavesText()
    {
        QMyLineEdit edit(QStringLiteral("ab"));
        answerKeyboard({ QStringLiteral("x") }, QStringLiteral("Cancel"));
        edit.keyboard();
        QCOMPARE(ModalAnswer::answeredCount(), 1);
        QCOMPARE(edit.text(), QStringLiteral("ab"));
    }

    void keyboardOpeners_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("F9") << QStringLiteral("F9") << false;
        QTest::newRow("double-click, read-only") << QStringLiteral("double-click") << true;
        QTest::newRow("search") << QStringLiteral("search") << false;
    }

    void keyboardOpeners()
    {
        QFETCH(QString, how);
        QFETCH(bool, readOnly);
        QMyLineEdit edit(QStringLiteral("ab"));
        edit.setReadOnly(readOnly);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));

        answerKeyboard({ QStringLiteral("z") }, QStringLiteral("OK"));
        if (how == QLatin1String("F9"))
            QTest::keyClick(&edit, Qt::Key_F9);
        else if (how == QLatin1String("double-click"))
            QTest::mouseDClick(&edit, Qt::LeftButton);
        else
            edit.search();
        QCOMPARE(ModalAnswer::answeredCount(), 1);
        QCOMPARE(edit.text(), QStringLiteral("abz"));
    }

    void contextMenuOffersKeyboard()
    {
        QMyLineEdit edit(QStringLiteral("ab"));
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        sendContextMenu(edit);

        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QAction *last = menu->actions().last();
        QCOMPARE(last->text(), QStringLiteral("Keyboard"));
        menu->close();

        answerKeyboard({ QStringLiteral("q") }, QStringLiteral("OK"));
        last->trigger();
        QCOMPARE(edit.text(), QStringLiteral("abq"));
    }

    void readOnlyHasNoContextMenu()
    {
        // The same event on an editable field pops a menu up (contextMenuOffersKeyboard).
        QMyLineEdit edit(QStringLiteral("ab"));
        edit.setReadOnly(true);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        sendContextMenu(edit);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }

    void historyKeepsEachTextOnce()
    {
        QMyLineEdit first(QStringLiteral("host"));
        QMyLineEdit second(QStringLiteral("Host"));
        leave(first);
        leave(first);
        leave(second);
        second.clear();
        leave(second);
        leave(second);
        first.setText(QStringLiteral("host"));
        leave(first);
        QCOMPARE(QMyLineEdit::history(), QStringList({ QStringLiteral("host"), QStringLiteral("Host"), QString() }));
    }

    void completionOnlyForLaterFields()
    {
        QMyLineEdit earlier(QStringLiteral("10.0.0.7"));
        QMyLineEdit source(QStringLiteral("Voice.Example"));
        leave(source);
        QMyLineEdit later{ QString() };

        earlier.completer()->setCompletionPrefix(QStringLiteral("voice"));
        QCOMPARE(earlier.completer()->completionCount(), 0);
        later.completer()->setCompletionPrefix(QStringLiteral("voice"));
        QCOMPARE(later.completer()->completionCount(), 1);
        QCOMPARE(later.completer()->currentCompletion(), QStringLiteral("Voice.Example"));
    }

};

QTEST_MAIN(TestQMyLineEdit)
#include "tst_qmylineedit.moc"
