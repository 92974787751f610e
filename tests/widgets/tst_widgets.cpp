#include "modalanswer.h"
#include "widgets/qcoloroption.h"
#include "widgets/qlogindialog.h"
#include "widgets/qmykeyboard.h"
#include "widgets/qmykeyboardtoolbutton.h"
#include "widgets/qmylineedit.h"
#include "widgets/qmylogindialog.h"
#include "widgets/qmymodaldialog.h"

#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <memory>

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

template <typename Button> Button *find(QWidget *parent, const QString &text)
{
    for (Button *b : parent->findChildren<Button *>()) {
        if (b->text().compare(text, Qt::CaseInsensitive) == 0)
            return b;
    }
    return nullptr;
}

// Types the given labels on the next keyboard, then clicks button.
void answerKeyboard(const QStringList &keys, const QString &button)
{
    ModalAnswer::onNext([keys, button](QWidget *modal) {
        for (const QString &label : keys) {
            if (auto *key = find<QMyKeyboardToolButton>(modal, label))
                key->click();
        }
        if (auto *b = find<QPushButton>(modal, button))
            b->click();
        else
            modal->close();
    });
}

QStringList labels(const QMyKeyboard &keyboard)
{
    QStringList result;
    for (const QMyKeyboardToolButton *key : keyboard.keys())
        result << key->text();
    return result;
}

QRect geometryOf(const QWidget &w) { return QRect(w.pos(), w.size()); }
}

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Merovaal"));
        QCoreApplication::setApplicationName(QStringLiteral("Tolvane"));
        // The keyboard's button icons name no file on purpose; keep the log readable.
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
        QTest::newRow("apostrophe") << int(Qt::Key_Apostrophe);
        QTest::newRow("backslash") << int(Qt::Key_Backslash);
    }

    void refusedKeys()
    {
        QFETCH(int, key);
        QMyLineEdit edit(QStringLiteral("ab"));
        edit.show();
        ModalAnswer::clickStandard(QMessageBox::Ok);
        QTest::keyClick(&edit, Qt::Key(key));
        QCOMPARE(ModalAnswer::answeredCount(), 1);
        QCOMPARE(edit.text(), QStringLiteral("ab"));
        // Other keys still type: the field is not simply deaf.
        QTest::keyClick(&edit, Qt::Key_C);
        QCOMPARE(edit.text(), QStringLiteral("abc"));
        // Typed through the keyboard, appended or pasted, they are welcome.
        edit.appendText(QStringLiteral("'\\"));
        QApplication::clipboard()->setText(QStringLiteral("`'\\"));
        edit.paste();
        QCOMPARE(edit.text(), QStringLiteral("abc'\\`'\\"));
        QCOMPARE(ModalAnswer::answeredCount(), 1);
    }

    void keyboardOpeners_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected");
        QTest::newRow("F9") << "F9"
                            << "OK"
                            << "abx`";
        QTest::newRow("double-click, read-only") << "double-click"
                                                 << "OK"
                                                 << "abx`";
        QTest::newRow("search") << "search"
                                << "OK"
                                << "abx`";
        QTest::newRow("context menu") << "menu"
                                      << "OK"
                                      << "abx`";
        QTest::newRow("cancelled") << "F9"
                                   << "Cancel"
                                   << "ab";
    }

    void keyboardOpeners()
    {
        QFETCH(QString, how);
        QFETCH(QString, button);
        QFETCH(QString, expected);
        QMyLineEdit edit(QStringLiteral("ab"));
        edit.setReadOnly(how == "double-click");
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        answerKeyboard({ QStringLiteral("x"), QStringLiteral("`") }, button);
        if (how == "F9")
            QTest::keyClick(&edit, Qt::Key_F9);
        else if (how == "double-click")
            QTest::mouseDClick(&edit, Qt::LeftButton);
        else if (how == "search")
            edit.search();
        else {
            sendContextMenu(edit);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QAction *last = menu->actions().last();
            menu->close();
            last->trigger();
        }
        QCOMPARE(ModalAnswer::answeredCount(), 1);
        QCOMPARE(edit.text(), expected);
        // The keyboard opens just under the field and stores where it was.
        if (button == "OK")
            QCOMPARE(QSettings().value(QStringLiteral("mylineedits1/Position")).toPoint(),
                edit.mapToGlobal(QPoint(0, edit.height() - 2)));
    }

    void readOnlyHasNoContextMenu()
    {
        // The same event on an editable field pops a menu up (keyboardOpeners).
        QMyLineEdit edit(QStringLiteral("ab"));
        edit.setReadOnly(true);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        sendContextMenu(edit);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }

    void historyAndCompletion()
    {
        QMyLineEdit earlier(QStringLiteral("10.0.0.7"));
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
        QCOMPARE(QMyLineEdit::history(),
            QStringList({ QStringLiteral("host"), QStringLiteral("Host"), QString() }));
        // Only fields made later complete from the history.
        QMyLineEdit later { QString() };
        earlier.completer()->setCompletionPrefix(QStringLiteral("hos"));
        QCOMPARE(earlier.completer()->completionCount(), 0);
        later.completer()->setCompletionPrefix(QStringLiteral("Hos"));
        QCOMPARE(later.completer()->completionCount(), 2);
    }

    void keyboardLabelsFollowStoredCapsLock_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("letters");
        const QString lower = QStringLiteral("qwertyuiopasdfghjkl*`zxcvbnm,. ");
        QTest::newRow("absent") << QVariant() << lower;
        QTest::newRow("false") << QVariant(false) << lower;
        QTest::newRow("true") << QVariant(true) << lower.toUpper();
    }

    void keyboardLabelsFollowStoredCapsLock()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, letters);
        if (stored.isValid())
            QSettings().setValue(QStringLiteral("mykeyboard/capslock"), stored);
        QMyKeyboard keyboard(QStringLiteral("kb"), QString(), QStringLiteral("Keyboard"));
        QStringList expected;
        for (const QChar c : QString(QStringLiteral("0123456789") + letters))
            expected << QString(c);
        QCOMPARE(labels(keyboard), expected);
    }

    void keyboardTypesAtTheCursor()
    {
        {
            QMyKeyboard keyboard(QStringLiteral("kb"), QStringLiteral("xy"), QStringLiteral("Keyboard"));
            const QStringList lower = labels(keyboard);
            auto *caps = find<QMyKeyboardToolButton>(&keyboard, QStringLiteral("Caps lock"));
            auto *back = find<QMyKeyboardToolButton>(&keyboard, QStringLiteral("<-"));
            QVERIFY(caps && back);
            keyboard.textField()->setCursorPosition(1);
            find<QMyKeyboardToolButton>(&keyboard, QStringLiteral("a"))->click();
            find<QMyKeyboardToolButton>(&keyboard, QStringLiteral(" "))->click();
            caps->click();
            QCOMPARE(
                find<QMyKeyboardToolButton>(&keyboard, QStringLiteral("7"))->text(), QStringLiteral("7"));
            find<QMyKeyboardToolButton>(&keyboard, QStringLiteral("a"))->click();
            QCOMPARE(keyboard.text(), QStringLiteral("xa Ay"));
            back->click();
            QCOMPARE(keyboard.text(), QStringLiteral("xa y"));
            QCOMPARE(keyboard.textField()->cursorPosition(), 3);
            keyboard.textField()->setCursorPosition(0);
            back->click();
            QCOMPARE(keyboard.text(), QStringLiteral("xa y"));
            caps->click();
            QCOMPARE(labels(keyboard), lower);
            caps->click();
        }
        // Caps lock is never stored: the next keyboard starts in lower case.
        QVERIFY(!QSettings().contains(QStringLiteral("mykeyboard/capslock")));
        QMyKeyboard next(QStringLiteral("kb"), QString(), QStringLiteral("Keyboard"));
        QCOMPARE(find<QMyKeyboardToolButton>(&next, QStringLiteral("a"))->text(), QStringLiteral("a"));
    }

    void dialogGeometry()
    {
        const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
        // A zero-sized desktop would make every default (0, 0, 0, 0) and prove nothing.
        QVERIFY(desktop.width() > 100 && desktop.height() > 100);
        const auto centred = [desktop](QSize size) {
            return QRect(
                QPoint(desktop.width() / 2 - size.width() / 2, desktop.height() / 2 - size.height() / 2),
                size);
        };
        const QSize modalSize(3 * desktop.width() / 4, 3 * desktop.height() / 4);
        {
            QMyModalDialog modal(QStringLiteral("modal"), QStringLiteral("box"));
            QCOMPARE(geometryOf(modal), centred(modalSize));
            modal.resize(300, 200);
            modal.move(17, 29);
        }
        // Stored on destruction under the object name, and restored from there alone.
        QCOMPARE(geometryOf(QMyModalDialog(QStringLiteral("modal"), QStringLiteral("box"))),
            QRect(17, 29, 300, 200));
        QCOMPARE(
            geometryOf(QMyModalDialog(QStringLiteral("modal"), QStringLiteral("other"))), centred(modalSize));
        QVERIFY(!QSettings().contains(QStringLiteral("Size")));
        QCOMPARE(geometryOf(QMyLoginDialog(QStringLiteral("login"))),
            centred(QSize(desktop.width() / 3, desktop.height() / 4)));

        // The settings dialogs share one entry, a cancelled one too.
        QPoint shownAt;
        {
            QLoginDialog pauseMark(0);
            pauseMark.move(60, 70);
            ModalAnswer::onNext([&shownAt](QWidget *modal) {
                shownAt = modal->pos();
                modal->move(37, 41);
                find<QPushButton>(modal, QStringLiteral("Cancel"))->click();
            });
            QCOMPARE(pauseMark.exec(), int(QDialog::Rejected));
        }
        QCOMPARE(shownAt, QPoint(60, 70));
        QSize colourSize;
        {
            QColorOption colour(0);
            // Its fixed size wins over the stored one; the position is shared.
            QCOMPARE(colour.pos(), QPoint(37, 41));
            colourSize = colour.size();
            colour.move(5, 6);
        }
        QCOMPARE(geometryOf(QMyLoginDialog(QStringLiteral("server"))), QRect(QPoint(5, 6), colourSize));
    }

    void optionDialogs_data()
    {
        QTest::addColumn<bool>("pause"); // else the colour option
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("expected");
        QTest::newRow("stored 5 opens on space") << true << 5 << "add space"
                                                 << ""
                                                 << "OK" << 1;
        QTest::newRow("comma to space") << true << 0 << "add comma"
                                        << "add space"
                                        << "OK" << 1;
        QTest::newRow("pause cancelled") << true << 5 << "add space"
                                         << "add comma"
                                         << "Cancel" << 5;
        QTest::newRow("not 0 opens on selected") << false << 2 << "list selected color"
                                                 << ""
                                                 << "OK" << 1;
        QTest::newRow("default") << false << 1 << "list selected color"
                                 << "list default color"
                                 << "OK" << 2;
        QTest::newRow("colour cancelled") << false << 0 << "list background color"
                                          << "list default color"
                                          << "Cancel" << 0;
    }

    void optionDialogs()
    {
        QFETCH(bool, pause);
        QFETCH(int, value);
        QFETCH(QString, initial);
        QFETCH(QString, pick);
        QFETCH(QString, button);
        QFETCH(int, expected);
        std::unique_ptr<QMyLoginDialog> dialog;
        if (pause)
            dialog = std::make_unique<QLoginDialog>(value);
        else
            dialog = std::make_unique<QColorOption>(value);
        const auto radios = dialog->findChildren<QRadioButton *>();
        for (QRadioButton *radio : radios)
            QCOMPARE(radio->isChecked(), radio->text() == initial);
        for (QRadioButton *radio : radios) {
            if (radio->text() == pick)
                radio->setChecked(true);
        }
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        ModalAnswer::clickButton(button);
        QCOMPARE(dialog->exec(), int(button == "OK" ? QDialog::Accepted : QDialog::Rejected));
        // Fixed in size, yet wide enough that no choice is cut off.
        for (QRadioButton *radio : radios)
            QVERIFY2(radio->width() >= radio->sizeHint().width(), qPrintable(radio->text()));
        QCOMPARE(pause ? static_cast<QLoginDialog *>(dialog.get())->mark()
                       : static_cast<QColorOption *>(dialog.get())->choice(),
            expected);
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
