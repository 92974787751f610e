#include "testmain.h"

#include "documents/showeditdialog.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The display options: edit orientation and text mode.
class TestShowEditDialog : public QObject
{
    Q_OBJECT

private slots:
    void optionsDialog_data()
    {
        QTest::addColumn<int>("editStyle");
        QTest::addColumn<int>("textMode");
        QTest::addColumn<QString>("orientationChoice");
        QTest::addColumn<QString>("modeChoice");
        QTest::addColumn<int>("newEditStyle");
        QTest::addColumn<int>("newTextMode");
        QTest::newRow("to vertical, running text") << 0 << 1 << "Vertical"
                                                   << "Comma separate" << 1 << 0;
        QTest::newRow("to horizontal, lists") << 1 << 0 << "Horizontal"
                                              << "one sentence per line" << 0 << 1;
        QTest::newRow("unchanged") << 1 << 1 << ""
                                   << "" << 1 << 1;
    }

    void optionsDialog()
    {
        QFETCH(int, editStyle);
        QFETCH(int, textMode);
        QFETCH(QString, orientationChoice);
        QFETCH(QString, modeChoice);
        QFETCH(int, newEditStyle);
        QFETCH(int, newTextMode);
        ShowEditDialog dialog(editStyle, textMode, nullptr);
        const auto buttons = dialog.findChildren<QRadioButton *>();
        QCOMPARE(buttons.size(), 4);
        for (QRadioButton *button : buttons) {
            if (button->text() == orientationChoice || button->text() == modeChoice)
                button->click();
        }
        // Cancel keeps the values the dialog was given.
        dialog.reject();
        QCOMPARE(dialog.editStyle(), editStyle);
        QCOMPARE(dialog.textMode(), textMode);

        for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
            if (button->text() == QLatin1String("OK"))
                button->click();
        }
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.editStyle(), newEditStyle);
        QCOMPARE(dialog.textMode(), newTextMode);
    }
};

TOLVANE_TEST_MAIN(TestShowEditDialog)
#include "tst_showeditdialog.moc"
