#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/mdichild.h"
#include "documents/myedit.h"
#include "documents/mywrapitem.h"
#include "modalanswer.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextDocument>
#include <QTimer>

namespace {
const QString fullwidthComma(QChar(0xFF0C));
const QString arabicComma = QString(QChar(0x060C)) + QLatin1Char(' ');
const QString absent(QStringLiteral("<absent>"));

QString stored(const char *key) { return Settings::readString(key, absent); }

QAbstractButton *buttonNamed(QWidget *dialog, const QString &text)
{
    for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>()) {
        if (b->text().remove(QLatin1Char('&')) == text)
            return b;
    }
    qWarning("no button '%s'", qPrintable(text));
    return nullptr;
}

void click(QWidget *dialog, const QString &text)
{
    if (QAbstractButton *b = buttonNamed(dialog, text))
        b->click();
}

QString checkedRadio(QWidget *dialog)
{
    QStringList texts;
    for (QRadioButton *b : dialog->findChildren<QRadioButton *>()) {
        if (b->isChecked())
            texts << b->text();
    }
    return texts.join(QLatin1Char('|'));
}

// A font description as the font chooser writes it.
QByteArray fontEntry(const QString &family, int pointSize)
{
    QFont font(family, pointSize);
    return '"' + font.toString().toLatin1() + '"';
}
}

class TestAppearance : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void showEditCancelledAfterLanguageSwitch();
    void showEditTextMode_data();
    void showEditTextMode();

    void pauseMark_data();
    void pauseMark();

    void colour_data();
    void colour();

    void autoSave_data();
    void autoSave();

    void fontChooser_data();
    void fontChooser();
    void languageFonts_data();
    void languageFonts();
};

void TestAppearance::init() { ModalAnswer::reset(); }

void TestAppearance::showEditCancelledAfterLanguageSwitch()
{
    // Running text chosen under the English interface; the Chinese file says nothing.
    WindowFixture f("[action]\nuilang=1\n", "[action]\nsetTextMode=0\n");
    MainWindow *w = f.window;
    MdiChild *child = w->activeMdiChild();
    QCOMPARE(AppState::textMode, 0);
    w->findChild<QComboBox *>(QStringLiteral("uiLanguageBox"))->setCurrentIndex(0);
    QTRY_COMPARE(w->findChild<QMenu *>(QStringLiteral("fileMenu"))->title(), QStringLiteral("文件"));
    ModalAnswer::onNext([](QWidget *dialog) { click(dialog, QStringLiteral("取消")); });
    w->action("setShowEditAct")->trigger();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    // What is on screen and the mode in effect still agree.
    QCOMPARE(AppState::textMode, 0);
    QVERIFY(child->sourceEdit->isVisibleTo(child));
    QVERIFY(!child->sourceView->isVisibleTo(child));
}

void TestAppearance::showEditTextMode_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("translations");
    QTest::addColumn<QString>("sourceText");
    QTest::addColumn<QString>("translationText");

    const QStringList ab { QStringLiteral("a"), QStringLiteral("b") };
    const QStringList xy { QStringLiteral("x"), QStringLiteral("y") };
    QTest::newRow("Chinese speech") << 0 << ab << xy << QStringLiteral("a，b，") << QStringLiteral("x، y، ");
    QTest::newRow("one translation of three") << 0 << QStringList { "a", "b", "c" } << QStringList { "x" }
                                              << QStringLiteral("a，") << QStringLiteral("x، ");
}

void TestAppearance::showEditTextMode()
{
    QFETCH(int, language);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, translations);
    QFETCH(QString, sourceText);
    QFETCH(QString, translationText);

    WindowFixture f(QStringLiteral("[action]\nlang=%1\n").arg(language).toLatin1());
    MainWindow *w = f.window;
    MdiChild *child = w->activeMdiChild();
    child->setItems(sources, translations);
    child->sourceEdit->setPlainText(QStringLiteral("stale"));

    ModalAnswer::onNext([](QWidget *dialog) {
        click(dialog, QStringLiteral("每句用逗号隔开"));
        click(dialog, QStringLiteral("确定"));
    });
    w->setShowEditActItem();
    QCOMPARE(stored(SettingsKeys::TextMode), QStringLiteral("0"));
    QCOMPARE(AppState::textMode, 0);
    QCOMPARE(child->sourceEdit->toPlainText(), sourceText);
    QCOMPARE(child->translationEdit->toPlainText(), translationText);
    QCOMPARE(child->model()->runningSource(), sourceText);
    QCOMPARE(child->model()->runningTranslation(), translationText);
    QVERIFY(child->sourceEdit->isVisibleTo(child));
    QVERIFY(!child->sourceView->isVisibleTo(child));
    QCOMPARE(child->sourceEdit->textCursor().position(), sourceText.size());
    // The running texts get the direction of their language.
    const Qt::LayoutDirection spoken = language == 1 ? Qt::RightToLeft : Qt::LeftToRight;
    const Qt::LayoutDirection other = language == 1 ? Qt::LeftToRight : Qt::RightToLeft;
    QCOMPARE(child->sourceEdit->document()->defaultTextOption().textDirection(), spoken);
    QCOMPARE(child->translationEdit->document()->defaultTextOption().textDirection(), other);
    // Cut and paste work on the running text now.
    QVERIFY(w->action("pasteAct")->isEnabled());

    ModalAnswer::onNext([](QWidget *dialog) {
        click(dialog, QStringLiteral("每句显示为一行"));
        click(dialog, QStringLiteral("确定"));
    });
    w->setShowEditActItem();
    QCOMPARE(AppState::textMode, 1);
    QVERIFY(child->sourceView->isVisibleTo(child));
    QVERIFY(!child->sourceEdit->isVisibleTo(child));
    QCOMPARE(child->sources(), sources);
    QVERIFY(!w->action("pasteAct")->isEnabled());
}

void TestAppearance::pauseMark_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("choose");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("choice");

    const QString comma(QStringLiteral("加入逗号"));
    const QString space(QStringLiteral("加入空格"));
    QTest::newRow("nothing stored, space") << QByteArray() << space << true << comma << "1" << 1;
    QTest::newRow("unknown value, as opened") << QByteArray("5") << QString() << true << space << "1" << 1;
    QTest::newRow("space, cancelled") << QByteArray("1") << comma << false << space << "1" << 1;
}

void TestAppearance::pauseMark()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, choose);
    QFETCH(bool, accept);
    QFETCH(QString, opened);
    QFETCH(QString, after);
    QFETCH(int, choice);

    WindowFixture f(before.isEmpty() ? QByteArray() : "[action]\npauseMark=" + before + '\n');
    MainWindow *w = f.window;
    QString shown;
    ModalAnswer::onNext([&](QWidget *dialog) {
        shown = checkedRadio(dialog);
        if (!choose.isEmpty())
            click(dialog, choose);
        click(dialog, accept ? QStringLiteral("确定") : QStringLiteral("取消"));
    });
    w->action("setPauseMarkAct")->trigger();
    QCOMPARE(ModalAnswer::answeredCount(), 1);
    QCOMPARE(shown, opened);
    QCOMPARE(stored(SettingsKeys::PauseMark), after);
    QCOMPARE(AppState::pauseMarkChoice, accept ? choice : Settings::toInt(QString::fromLatin1(before)));
}

void TestAppearance::colour_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QColor>("answer"); // invalid: the colour chooser is cancelled
    QTest::addColumn<QColor>("offered");
    QTest::addColumn<QString>("backStored");
    QTest::addColumn<QString>("selStored");
    QTest::addColumn<quint32>("back");
    QTest::addColumn<quint32>("sel");

    const QString background(QStringLiteral("设置列表框背景色"));
    const QString selection(QStringLiteral("设置当前选择项颜色"));
    const QString defaults(QStringLiteral("设置回默认值"));
    const QByteArray custom("[action]\nlistbackcolor=-16776961\nlistselcolor=4278255360\n");
    const QColor red(255, 0, 0);
    const QColor green(0, 128, 0);

    QTest::newRow("background") << QByteArray() << background << red << QColor::fromRgba(0xFFDFEBF7u)
                                << "4294901760" << absent << 0xFFFF0000u << 0xFF09B5F7u;
    QTest::newRow("selection") << QByteArray() << selection << green << QColor::fromRgba(0xFF09B5F7u)
                               << absent << "4278222848" << 0xFFDFEBF7u << 0xFF008000u;
    QTest::newRow("defaults") << custom << defaults << QColor() << QColor() << "-2102281"
                              << "-16140809" << 0xFFDFEBF7u << 0xFF09B5F7u;
    QTest::newRow("chooser cancelled") << custom << background << QColor() << QColor(0, 0, 255) << "-16776961"
                                       << "4278255360" << 0xFF0000FFu << 0xFF00FF00u;
}

void TestAppearance::colour()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, option);
    QFETCH(QColor, answer);
    QFETCH(QColor, offered);
    QFETCH(QString, backStored);
    QFETCH(QString, selStored);
    QFETCH(quint32, back);
    QFETCH(quint32, sel);

    WindowFixture f(ini);
    MainWindow *w = f.window;
    QString opened;
    QColor chooserColour;
    bool chooserShown = false;
    ModalAnswer::onNext([&](QWidget *dialog) {
        opened = checkedRadio(dialog);
        click(dialog, option);
        if (offered.isValid()) {
            ModalAnswer::onNext([&](QWidget *modal) {
                auto *chooser = qobject_cast<QColorDialog *>(modal);
                QVERIFY(chooser);
                chooserShown = true;
                chooserColour = chooser->currentColor();
                if (answer.isValid()) {
                    chooser->setCurrentColor(answer);
                    chooser->accept();
                } else {
                    chooser->reject();
                }
            });
        }
        click(dialog, QStringLiteral("确定"));
    });
    w->action("setColorAct")->trigger();
    QCOMPARE(opened, QStringLiteral("设置列表框背景色"));
    QCOMPARE(chooserShown, offered.isValid());
    if (offered.isValid())
        QCOMPARE(chooserColour, offered);
    QCOMPARE(stored(SettingsKeys::ListBackColor), backStored);
    QCOMPARE(stored(SettingsKeys::ListSelColor), selStored);
    QCOMPARE(AppState::listBackgroundColor, back);
    QCOMPARE(AppState::listSelectionColor, sel);
}

void TestAppearance::autoSave_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("offered");
    QTest::addColumn<int>("entered"); // 0 and above 30 are clamped by the dialog; -1 cancels
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("minutes");

    QTest::newRow("nothing stored, 12") << QByteArray() << 1 << 12 << "12" << 12;
    QTest::newRow("5, 45") << QByteArray("5") << 5 << 45 << "30" << 30;
    QTest::newRow("5, 0") << QByteArray("5") << 5 << 0 << "1" << 1;
    QTest::newRow("5, cancelled") << QByteArray("5") << 5 << -1 << "5" << 5;
}

void TestAppearance::autoSave()
{
    QFETCH(QByteArray, before);
    QFETCH(int, offered);
    QFETCH(int, entered);
    QFETCH(QString, after);
    QFETCH(int, minutes);

    WindowFixture f(before.isEmpty() ? QByteArray() : "[action]\nautoSave=" + before + '\n');
    MainWindow *w = f.window;
    int initial = -1;
    ModalAnswer::onNext([&](QWidget *modal) {
        auto *dialog = qobject_cast<QInputDialog *>(modal);
        QVERIFY(dialog);
        auto *spin = dialog->findChild<QSpinBox *>();
        QVERIFY(spin);
        initial = spin->value();
        if (entered < 0) {
            dialog->reject();
            return;
        }
        spin->setValue(entered);
        dialog->accept();
    });
    w->action("setAutoSaveAct")->trigger();
    QCOMPARE(initial, offered);
    QCOMPARE(stored(SettingsKeys::AutoSave), entered < 0 ? QString::fromLatin1(before) : after);
    QVERIFY(w->findChild<QTimer *>(QStringLiteral("autoSaveTimer"))->isActive());
    QCOMPARE(w->findChild<QTimer *>(QStringLiteral("autoSaveTimer"))->interval(), (entered < 0 ? offered : minutes) * 60000);
}

void TestAppearance::fontChooser_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("title");

    QTest::newRow("Chinese font") << 0 << true << QStringLiteral("汉文字体设置");
    QTest::newRow("Uyghur font, cancelled") << 1 << false << QStringLiteral("维文字体设置");
}

void TestAppearance::fontChooser()
{
    QFETCH(int, index);
    QFETCH(bool, accept);
    QFETCH(QString, title);

    const QByteArray sans = fontEntry(QStringLiteral("DejaVu Sans"), 11);
    const QByteArray serif = fontEntry(QStringLiteral("DejaVu Serif"), 13);
    WindowFixture f("[langfont]\nf0=" + sans + "\nf1=" + serif + '\n');
    MainWindow *w = f.window;
    MdiChild *child = w->activeMdiChild();
    const QString keys[] = { Settings::fontKey(0), Settings::fontKey(1) };
    const QString before[]
        = { stored(keys[0].toLatin1().constData()), stored(keys[1].toLatin1().constData()) };

    QString shownTitle;
    QFont offered;
    QString chosen;
    ModalAnswer::onNext([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFontDialog *>(modal);
        QVERIFY(dialog);
        shownTitle = dialog->windowTitle();
        offered = dialog->currentFont();
        if (!accept) {
            dialog->reject();
            return;
        }
        dialog->setCurrentFont(QFont(QStringLiteral("UKIJ Tuz Tom"), 17));
        chosen = dialog->currentFont().toString();
        dialog->accept();
    });
    if (index == 0)
        w->action("setFontAct")->trigger();
    else
        w->action("setFontWWAct")->trigger();

    QCOMPARE(shownTitle, title);
    QCOMPARE(offered.family(), index == 0 ? QStringLiteral("DejaVu Sans") : QStringLiteral("DejaVu Serif"));
    QCOMPARE(offered.pointSize(), index == 0 ? 11 : 13);
    const QString afterThis = stored(keys[index].toLatin1().constData());
    QCOMPARE(stored(keys[1 - index].toLatin1().constData()), before[1 - index]);
    if (!accept) {
        QCOMPARE(afterThis, before[index]);
        return;
    }
    // The font's key: its description in lower case.
    QCOMPARE(afterThis, chosen.toLower());
    QVERIFY2(afterThis.startsWith(QLatin1String("ukij tuz tom,17,")), qPrintable(afterThis));
    // Chinese speech: the Chinese font is the source list's, the Uyghur font the translation list's.
    QListView *view = index == 0 ? child->sourceView : child->translationView;
    QCOMPARE(QFontInfo(view->font()).family(), QStringLiteral("UKIJ Tuz Tom"));
    QCOMPARE(view->font().pointSize(), 17);
}

void TestAppearance::languageFonts_data()
{
    QTest::addColumn<int>("textMode");
    QTest::addColumn<QString>("chineseFamily");
    QTest::addColumn<int>("chineseSize");
    QTest::addColumn<QString>("uyghurFamily");
    QTest::addColumn<int>("uyghurSize");

    const QString sans(QStringLiteral("DejaVu Sans"));
    const QString ukij(QStringLiteral("UKIJ Tuz Tom"));
    QTest::newRow("lists, Uyghur font taller") << 1 << sans << 10 << ukij << 22;
    QTest::newRow("lists, Chinese font taller") << 1 << sans << 24 << ukij << 9;
    QTest::newRow("running texts") << 0 << sans << 10 << ukij << 22;
}

void TestAppearance::languageFonts()
{
    QFETCH(int, textMode);
    QFETCH(QString, chineseFamily);
    QFETCH(int, chineseSize);
    QFETCH(QString, uyghurFamily);
    QFETCH(int, uyghurSize);

    QByteArray ini = "[action]\nsetTextMode=" + QByteArray::number(textMode) + '\n';
    ini += "[langfont]\nf0=" + fontEntry(chineseFamily, chineseSize) + "\nf1=" + fontEntry(uyghurFamily, uyghurSize)
        + '\n';
    const QFont chinese(chineseFamily, chineseSize);
    const QFont uyghur(uyghurFamily, uyghurSize);
    const int rowHeight = qMax(QFontMetrics(chinese).height(), QFontMetrics(uyghur).height()) + 10;
    WindowFixture f(ini);
    MainWindow *w = f.window;
    MdiChild *child = w->activeMdiChild();

    // The spoken language's font and direction go to the source side.
    auto check = [child, textMode, rowHeight](
                     const QFont &source, const QFont &target, Qt::LayoutDirection dir) {
        const Qt::LayoutDirection other = dir == Qt::RightToLeft ? Qt::LeftToRight : Qt::RightToLeft;
        QWidget *sourceWidget = textMode == 0 ? static_cast<QWidget *>(child->sourceEdit) : child->sourceView;
        QWidget *targetWidget
            = textMode == 0 ? static_cast<QWidget *>(child->translationEdit) : child->translationView;
        QCOMPARE(sourceWidget->font().family(), source.family());
        QCOMPARE(sourceWidget->font().pointSize(), source.pointSize());
        QCOMPARE(targetWidget->font().family(), target.family());
        QCOMPARE(targetWidget->font().pointSize(), target.pointSize());
        if (textMode == 0) {
            const QTextOption sourceOption = child->sourceEdit->document()->defaultTextOption();
            const QTextOption targetOption = child->translationEdit->document()->defaultTextOption();
            QCOMPARE(sourceOption.textDirection(), dir);
            QCOMPARE(targetOption.textDirection(), other);
        } else {
            QCOMPARE(child->sourceView->layoutDirection(), dir);
            QCOMPARE(child->translationView->layoutDirection(), other);
            QCOMPARE(child->sourceDelegate()->lineHeight, rowHeight);
            QCOMPARE(child->translationDelegate()->lineHeight, rowHeight);
        }
    };

    check(chinese, uyghur, Qt::LeftToRight);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("directionLabel"))->text(), QStringLiteral("汉-->维"));

    w->action("langWWAct")->trigger();
    check(uyghur, chinese, Qt::RightToLeft);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("directionLabel"))->text(), QStringLiteral("维-->汉"));

    w->action("langCNAct")->trigger();
    check(chinese, uyghur, Qt::LeftToRight);
}

TOLVANE_TEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
