#include "modalanswer.h"
#include "widgets/qcoloroption.h"
#include "widgets/qlogindialog.h"
#include "widgets/qmylogindialog.h"
#include "widgets/qmymodaldialog.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>

class TestDialogGeometry : public QObject
{
    Q_OBJECT

private:
    QSize desktop;

    static QRect geometryOf(const QWidget &w) { return QRect(w.pos(), w.size()); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Merovaal"));
        QCoreApplication::setApplicationName(QStringLiteral("Tolvane"));
        desktop = QGuiApplication::primaryScreen()->virtualSize();
        // A zero-sized desktop would make every default (0, 0, 0, 0) and prove nothing.
        QVERIFY(desktop.width() > 100 && desktop.height() > 100);
    }

    void init() { QSettings().clear(); }

    void defaultGeometry()
    {
        const int W = desktop.width();
        const int H = desktop.height();
        {
            QMyLoginDialog login(QStringLiteral("login"));
            const QSize size(W / 3, H / 4);
            QCOMPARE(login.windowTitle(), QStringLiteral("login"));
            QCOMPARE(geometryOf(login), QRect(QPoint(W / 2 - size.width() / 2, H / 2 - size.height() / 2), size));
        }
        {
            QMyModalDialog modal(QStringLiteral("modal"), QStringLiteral("box"));
            const QSize size(3 * W / 4, 3 * H / 4);
            QCOMPARE(modal.objectName(), QStringLiteral("box"));
            QCOMPARE(geometryOf(modal), QRect(QPoint(W / 2 - size.width() / 2, H / 2 - size.height() / 2), size));
        }
    }

    void storedOnDestructionUnderObjectName()
    {
        {
            QMyModalDialog modal(QStringLiteral("modal"), QStringLiteral("box"));
            modal.resize(300, 200);
            modal.move(17, 29);
        }
        QSettings settings;
        QCOMPARE(settings.value(QStringLiteral("box/Size")).toSize(), QSize(300, 200));
        QCOMPARE(settings.value(QStringLiteral("box/Position")).toPoint(), QPoint(17, 29));
        QVERIFY(!settings.contains(QStringLiteral("Size")));

        QMyModalDialog again(QStringLiteral("modal"), QStringLiteral("box"));
        QCOMPARE(geometryOf(again), QRect(17, 29, 300, 200));
        QMyModalDialog other(QStringLiteral("modal"), QStringLiteral("other"));
        QCOMPARE(other.size(), QSize(3 * desktop.width() / 4, 3 * desktop.height() / 4));
    }

    void settingsDialogsShareOneEntry()
    {
        QSize colourSize;
        {
            QLoginDialog pauseMark(0);
            QCOMPARE(pauseMark.size(), QSize(200, 140));
            // The colour dialog may be wider than 200 where its labels need it.
            pauseMark.move(37, 41);
        }
        QSettings settings;
        QCOMPARE(settings.value(QStringLiteral("Size")).toSize(), QSize(200, 140));
        QCOMPARE(settings.value(QStringLiteral("Position")).toPoint(), QPoint(37, 41));

        {
            QColorOption colour(0);
            // The fixed size wins over the stored one; the position is shared.
            QCOMPARE(geometryOf(colour).topLeft(), QPoint(37, 41));
            QCOMPARE(colour.height(), 180);
            colourSize = colour.size();
            colour.move(5, 6);
        }
        QMyLoginDialog next(QStringLiteral("server"));
        QCOMPARE(geometryOf(next), QRect(QPoint(5, 6), colourSize));
    }

    void cancelledDialogStoresGeometry()
    {
        QPoint shownAt;
        {
            QLoginDialog pauseMark(0);
            pauseMark.move(60, 70);
            ModalAnswer::onNext([&shownAt](QWidget *modal) {
                shownAt = modal->pos();
                modal->move(61, 71);
                for (auto *button : modal->findChildren<QPushButton *>()) {
                    if (button->text() == QLatin1String("Cancel"))
                        button->click();
                }
            });
            QCOMPARE(pauseMark.exec(), int(QDialog::Rejected));
        }
        QCOMPARE(shownAt, QPoint(60, 70));
        QCOMPARE(QSettings().value(QStringLiteral("Position")).toPoint(), QPoint(61, 71));
    }
};

QTEST_MAIN(TestDialogGeometry)
#include "tst_dialoggeometry.moc"
