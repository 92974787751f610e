#include "modalanswer.h"
#include "widgets/qcoloroption.h"
#include "widgets/qlogindialog.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <memory>

// QLoginDialog (pause mark) and QColorOption: same shape, different choices.
class TestOptionDialogs : public QObject
{
    Q_OBJECT

private:
    static std::unique_ptr<QMyLoginDialog> make(const QString &which, int value)
    {
        if (which == QLatin1String("pause"))
            return std::make_unique<QLoginDialog>(value);
        return std::make_unique<QColorOption>(value);
    }

    static int result(QMyLoginDialog *dialog)
    {
        if (auto *pause = qobject_cast<QLoginDialog *>(dialog))
            return pause->mark();
        return qobject_cast<QColorOption *>(dialog)->choice();
    }

    template<typename Button>
    static QStringList texts(const QList<Button *> &buttons)
    {
        QStringList result;
        for (const Button *b : buttons)
            result << b->text();
        return result;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Merovaal"));
        QCoreApplication::setApplicationName(QStringLiteral("Tolvane"));
        QSettings().clear();
    }

    void layout_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("radios");
        QTest::addColumn<QSize>("size");
        QTest::newRow("pause") << "pause" << "WW Pause Mark" << QStringList({ "add comma", "add space" })
                               << QSize(200, 140);
        QTest::newRow("colour") << "colour" << "Color Option"
                                << QStringList({ "list background color", "list selected color", "list default color" })
                                << QSize(200, 180);
    }

    void layout()
    {
        QFETCH(QString, which);
        QFETCH(QString, group);
        QFETCH(QStringList, radios);
        QFETCH(QSize, size);

        auto dialog = make(which, 0);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("setting"));
        QCOMPARE(dialog->findChild<QGroupBox *>()->title(), group);
        const auto radioButtons = dialog->findChildren<QRadioButton *>();
        QCOMPARE(texts(radioButtons), radios);
        const auto pushButtons = dialog->findChildren<QPushButton *>();
        QCOMPARE(texts(pushButtons), QStringList({ "Cancel", "OK" }));
        QVERIFY(pushButtons.at(0)->x() < pushButtons.at(1)->x());
        // Fixed: the usual height, and at least the usual width but wide
        // enough that no choice is cut off.
        QCOMPARE(dialog->height(), size.height());
        QVERIFY(dialog->width() >= size.width());
        QCOMPARE(dialog->minimumSize(), dialog->size());
        QCOMPARE(dialog->maximumSize(), dialog->size());
        for (QRadioButton *radio : radioButtons)
            QVERIFY2(radio->width() >= radio->sizeHint().width(), qPrintable(radio->text()));
    }

    void choose_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("expected");

        QTest::newRow("stored 5 opens on space") << "pause" << 5 << "add space" << "" << "OK" << 1;
        QTest::newRow("comma to space") << "pause" << 0 << "add comma" << "add space" << "OK" << 1;
        QTest::newRow("pause cancelled") << "pause" << 5 << "add space" << "add comma" << "Cancel" << 5;
        QTest::newRow("not 0 opens on selected") << "colour" << 2 << "list selected color" << "" << "OK" << 1;
        QTest::newRow("default") << "colour" << 1 << "list selected color" << "list default color" << "OK" << 2;
        QTest::newRow("colour cancelled") << "colour" << 0 << "list background color" << "list default color"
                                          << "Cancel" << 0;
    }

    void choose()
    {
        QFETCH(QString, which);
        QFETCH(int, value);
        QFETCH(QString, initial);
        QFETCH(QString, pick);
        QFETCH(QString, button);
        QFETCH(int, expected);

        auto dialog = make(which, value);
        const auto radios = dialog->findChildren<QRadioButton *>();
        for (auto *radio : radios)
            QCOMPARE(radio->isChecked(), radio->text() == initial);
        for (auto *radio : radios) {
            if (radio->text() == pick)
                radio->setChecked(true);
        }
        ModalAnswer::clickButton(button);
        const int accepted = button == QLatin1String("OK") ? QDialog::Accepted : QDialog::Rejected;
        QCOMPARE(dialog->exec(), accepted);
        QCOMPARE(result(dialog.get()), expected);
    }
};

QTEST_MAIN(TestOptionDialogs)
#include "tst_optiondialogs.moc"
