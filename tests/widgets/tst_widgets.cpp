#include "modalanswer.h"
#include "widgets/qcoloroption.h"
#include "widgets/qlogindialog.h"
#include "widgets/qmykeyboard.h"
#include "widgets/qmykeyboardtoolbutton.h"
#include "widgets/qmylineedit.h"

#include <QtWidgets>
#include <QTest>

namespace {
// Clicks the buttons with these labels, whatever the case the keys show now.
void press(QWidget *dialog, const QString &labels)
{
    for (const QString &label : labels.split(QLatin1Char('|')))
        for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
            if (button->text().compare(label, Qt::CaseInsensitive) == 0)
                button->click();
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
        QTest::addColumn<bool>("ok");
        QTest::newRow("F9") << "F9" << true;
        QTest::newRow("double-click, read-only") << "double-click" << true;
        QTest::newRow("context menu") << "menu" << true;
        QTest::newRow("cancelled") << "F9" << false;
    }

    void keyboardOpeners()
    {
        QFETCH(QString, how);
        QFETCH(bool, ok);
        QMyLineEdit edit(QStringLiteral("ab"));
        edit.setReadOnly(how == "double-click");
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        ModalAnswer::onNext([ok](QWidget *modal) {
            press(modal, ok ? QStringLiteral("x|`|OK") : QStringLiteral("x|`|Cancel"));
        });
        if (how == "F9") {
            QTest::keyClick(&edit, Qt::Key_F9);
        } else {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(&edit, &event);
            // Read-only fields have no context menu; a double-click opens their keyboard.
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QCOMPARE(bool(menu), how == "menu");
            if (menu) {
                menu->close();
                menu->actions().last()->trigger();
            } else {
                QTest::mouseDClick(&edit, Qt::LeftButton);
            }
        }
        QCOMPARE(ModalAnswer::answeredCount(), 1);
        QCOMPARE(edit.text(), ok ? QStringLiteral("abx`") : QStringLiteral("ab"));
        // The keyboard opens just under the field and stores where it was.
        if (ok)
            QCOMPARE(QSettings().value(QStringLiteral("mylineedits1/Position")).toPoint(),
                edit.mapToGlobal(QPoint(0, edit.height() - 2)));
    }

    void historyAndCompletion()
    {
        QMyLineEdit earlier(QStringLiteral("10.0.0.7")), edit { QString() };
        for (const char *text : { "host", "host", "Host", "", "", "host" }) {
            edit.setText(QLatin1String(text));
            QFocusEvent out(QEvent::FocusOut);
            QApplication::sendEvent(&edit, &out);
        }
        QCOMPARE(QMyLineEdit::history(), QStringList({ QStringLiteral("host"), QStringLiteral("Host"), QString() }));
        // Only fields made later complete from the history.
        QMyLineEdit later { QString() };
        earlier.completer()->setCompletionPrefix(QStringLiteral("hos"));
        QCOMPARE(earlier.completer()->completionCount(), 0);
        later.completer()->setCompletionPrefix(QStringLiteral("Hos"));
        QCOMPARE(later.completer()->completionCount(), 2);
    }

    void keyboardCase_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("typed"); // "a", space, caps lock, "7", "a" at the cursor of "xy"
        QTest::newRow("absent") << QVariant() << "xa 7Ay";
        QTest::newRow("true") << QVariant(true) << "xA 7ay";
    }

    void keyboardCase()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, typed);
        if (stored.isValid())
            QSettings().setValue(QStringLiteral("mykeyboard/capslock"), stored);
        {
            QMyKeyboard keyboard(QStringLiteral("kb"), QStringLiteral("xy"), QStringLiteral("Keyboard"));
            // Keys type at the cursor, in the case they show; caps lock changes letters only.
            keyboard.textField()->setCursorPosition(1);
            press(&keyboard, QStringLiteral("a| |Caps lock|7|a"));
            QCOMPARE(keyboard.text(), typed);
            // Backspace takes the character before the cursor, none at the start.
            press(&keyboard, QStringLiteral("<-"));
            keyboard.textField()->setCursorPosition(0);
            press(&keyboard, QStringLiteral("<-"));
            QCOMPARE(keyboard.text(), typed.remove(4, 1));
        }
        // Caps lock is never stored: the next keyboard starts as the stored value says.
        QCOMPARE(QSettings().value(QStringLiteral("mykeyboard/capslock")), stored);
    }

    void dialogGeometry()
    {
        const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
        // A zero-sized desktop would make every default (0, 0, 0, 0) and prove nothing.
        QVERIFY(desktop.width() > 100 && desktop.height() > 100);
        const auto centred = [desktop](int width, int height) {
            return QRect(desktop.width() / 2 - width / 2, desktop.height() / 2 - height / 2, width, height);
        };
        const QRect modalDefault = centred(3 * desktop.width() / 4, 3 * desktop.height() / 4);
        QMyModalDialog(QStringLiteral("modal"), QStringLiteral("box")).setGeometry(17, 29, 300, 200);
        // Stored on destruction under the object name, and restored from there alone.
        QCOMPARE(geometryOf(QMyModalDialog(QStringLiteral("modal"), QStringLiteral("box"))), QRect(17, 29, 300, 200));
        QCOMPARE(geometryOf(QMyModalDialog(QStringLiteral("modal"), QStringLiteral("other"))), modalDefault);
        QCOMPARE(geometryOf(QMyLoginDialog(QStringLiteral("login"))),
            centred(desktop.width() / 3, desktop.height() / 4));

        // The settings dialogs share one entry. They are fixed in size, yet wide enough that no choice is cut off.
        {
            QLoginDialog pauseMark(0);
            pauseMark.show();
            QCOMPARE(pauseMark.minimumSize(), pauseMark.maximumSize());
            for (QRadioButton *radio : pauseMark.findChildren<QRadioButton *>())
                QVERIFY2(radio->width() >= radio->sizeHint().width(), qPrintable(radio->text()));
            pauseMark.move(37, 41);
        }
        auto colour = std::make_unique<QColorOption>(2);
        // Its fixed size wins over the stored one; the position is shared.
        QCOMPARE(colour->pos(), QPoint(37, 41));
        // Any choice but the background opens on the selection colour.
        for (QRadioButton *radio : colour->findChildren<QRadioButton *>())
            QCOMPARE(radio->isChecked(), radio->text() == QLatin1String("list selected color"));
        colour->move(5, 6);
        const QRect stored = geometryOf(*colour);
        colour.reset();
        QCOMPARE(geometryOf(QMyLoginDialog(QStringLiteral("server"))), stored);
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
