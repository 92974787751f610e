#include "widgets/qmykeyboard.h"
#include "widgets/qmykeyboardtoolbutton.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QSettings>
#include <QTest>

class TestQMyKeyboard : public QObject
{
    Q_OBJECT

private:
    static QStringList labels(const QMyKeyboard &keyboard)
    {
        QStringList result;
        for (const QMyKeyboardToolButton *key : keyboard.keys())
            result << key->text();
        return result;
    }

    static QMyKeyboardToolButton *key(const QMyKeyboard &keyboard, const QString &label)
    {
        for (QMyKeyboardToolButton *k : keyboard.keys()) {
            if (k->text().compare(label, Qt::CaseInsensitive) == 0)
                return k;
        }
        return nullptr;
    }

    static QMyKeyboardToolButton *controlButton(QMyKeyboard &keyboard, const QString &label)
    {
        for (auto *button : keyboard.findChildren<QMyKeyboardToolButton *>()) {
            if (button->text() == label)
                return button;
        }
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Merovaal"));
        QCoreApplication::setApplicationName(QStringLiteral("Tolvane"));
        // The button icons name no file on purpose; keep the log readable.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.svg.warning=false"));
    }

    void init() { QSettings().clear(); }

    void labelsFollowStoredCapsLock_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("letters");
        const QString lower = QStringLiteral("qwertyuiopasdfghjkl*`zxcvbnm,. ");
        QTest::newRow("absent") << QVariant() << lower;
        QTest::newRow("false") << QVariant(false) << lower;
        QTest::newRow("true") << QVariant(true) << lower.toUpper();
    }

    void labelsFollowStoredCapsLock()
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

    void capsLockTwiceReturnsToLowerCase()
    {
        QMyKeyboard keyboard(QStringLiteral("kb"), QString(), QStringLiteral("Keyboard"));
        const QStringList before = labels(keyboard);
        QMyKeyboardToolButton *caps = controlButton(keyboard, QStringLiteral("Caps lock"));
        QVERIFY(caps);

        caps->click();
        QCOMPARE(key(keyboard, QStringLiteral("q"))->text(), QStringLiteral("Q"));
        QCOMPARE(key(keyboard, QStringLiteral("7"))->text(), QStringLiteral("7"));
        caps->click();
        QCOMPARE(labels(keyboard), before);
    }

    void capsLockNeverStored()
    {
        {
            QMyKeyboard keyboard(QStringLiteral("kb"), QString(), QStringLiteral("Keyboard"));
            controlButton(keyboard, QStringLiteral("Caps lock"))->click();
        }
        QVERIFY(!QSettings().contains(QStringLiteral("mykeyboard/capslock")));
        QMyKeyboard next(QStringLiteral("kb"), QString(), QStringLiteral("Keyboard"));
        QCOMPARE(key(next, QStringLiteral("a"))->text(), QStringLiteral("a"));
    }

    void keysTypeTheirLabelAtTheCursor()
    {
        QMyKeyboard keyboard(QStringLiteral("kb"), QStringLiteral("xy"), QStringLiteral("Keyboard"));
        QCOMPARE(keyboard.text(), QStringLiteral("xy"));
        keyboard.textField()->setCursorPosition(1);

        key(keyboard, QStringLiteral("A"))->click();
        QCOMPARE(keyboard.text(), QStringLiteral("xay"));
        key(keyboard, QStringLiteral(" "))->click();
        QCOMPARE(keyboard.text(), QStringLiteral("xa y"));

        controlButton(keyboard, QStringLiteral("Caps lock"))->click();
        key(keyboard, QStringLiteral("A"))->click();
        QCOMPARE(keyboard.text(), QStringLiteral("xa Ay"));
    }

    void backspace()
    {
        QMyKeyboard keyboard(QStringLiteral("kb"), QStringLiteral("abc"), QStringLiteral("Keyboard"));
        QMyKeyboardToolButton *back = controlButton(keyboard, QStringLiteral("<-"));
        QVERIFY(back);

        keyboard.textField()->setCursorPosition(0);
        back->click();
        QCOMPARE(keyboard.text(), QStringLiteral("abc"));

        keyboard.textField()->setCursorPosition(2);
        back->click();
        QCOMPARE(keyboard.text(), QStringLiteral("ac"));
        QCOMPARE(keyboard.textField()->cursorPosition(), 1);
    }

};

QTEST_MAIN(TestQMyKeyboard)
#include "tst_qmykeyboard.moc"
