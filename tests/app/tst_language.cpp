#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "documents/mdichild.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void switchBackAndForth();
    void sentenceModeSurvivesSwitch();
    void switchWhileRecordingChangesNothing();
    void chineseChosenByShortText_data();
    void chineseChosenByShortText();
};

void TestLanguage::switchBackAndForth()
{
    WindowFixture f;
    MainWindow *w = f.window;
    QCOMPARE(w->findChild<QMenu *>(QStringLiteral("fileMenu"))->title(), QStringLiteral("文件"));
    const QString chineseTip = w->action("saveAct")->statusTip();

    w->findChild<QComboBox *>(QStringLiteral("uiLanguageBox"))->setCurrentIndex(1);
    QTRY_COMPARE(w->findChild<QMenu *>(QStringLiteral("fileMenu"))->title(), QStringLiteral("&File"));
    QCOMPARE(w->findChild<QMenu *>(QStringLiteral("windowMenu"))->title(), QStringLiteral("&Window"));
    QCOMPARE(w->action("saveAct")->text(), QStringLiteral("&Save"));
    QCOMPARE(w->action("deleteAct")->text(), QStringLiteral("&Delete"));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("curLangLabel"))->text(), QStringLiteral("CurLang"));
    QCOMPARE(WindowFixture::mainTitle(w), QStringLiteral("Chinese-->Uygur Translator"));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("directionLabel"))->text(), QStringLiteral("LangCN"));
    QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->itemText(0), QStringLiteral("Phrase Mode"));
    QCOMPARE(w->action("saveAct")->statusTip(), chineseTip);
    QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("uiLanguageBox"))->itemText(0), QStringLiteral("中文"));
    QCOMPARE(Settings::readString(SettingsKeys::UiLang, QString(), Settings::mainPath()), QStringLiteral("1"));
    QCOMPARE(w->settingsPath(), Settings::englishPath());

    // Later changes go to the English file; the interface language stays in the main one.
    w->action("langWWAct")->trigger();
    QCOMPARE(Settings::readString(SettingsKeys::Lang, QString(), Settings::englishPath()), QStringLiteral("1"));
    QCOMPARE(Settings::readString(SettingsKeys::Lang, QString(), Settings::mainPath()), QString());
    QCOMPARE(WindowFixture::mainTitle(w), QStringLiteral("Uygur-->Chinese Translator"));

    w->findChild<QComboBox *>(QStringLiteral("uiLanguageBox"))->setCurrentIndex(0);
    QTRY_COMPARE(w->findChild<QMenu *>(QStringLiteral("fileMenu"))->title(), QStringLiteral("文件"));
    QCOMPARE(WindowFixture::mainTitle(w), QStringLiteral("维-->汉翻译"));
    QCOMPARE(w->settingsPath(), Settings::mainPath());
    QCOMPARE(Settings::readString(SettingsKeys::UiLang, QString(), Settings::mainPath()), QStringLiteral("0"));
}

void TestLanguage::sentenceModeSurvivesSwitch()
{
    WindowFixture f;
    MainWindow *w = f.window;
    w->findChild<QComboBox *>(QStringLiteral("modeBox"))->setCurrentIndex(1);
    QCOMPARE(Settings::readString(SettingsKeys::Realtime, QString()), QStringLiteral("0"));
    w->findChild<QComboBox *>(QStringLiteral("uiLanguageBox"))->setCurrentIndex(1);
    QTRY_COMPARE(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->currentText(), QStringLiteral("Sentence Mode"));
    QVERIFY(!AppState::phraseMode);
    // Nothing was written to the English file by the rebuild.
    const QSettings english(Settings::englishPath(), QSettings::IniFormat);
    QVERIFY(!english.contains(QLatin1String(SettingsKeys::Realtime)));
    w->findChild<QComboBox *>(QStringLiteral("uiLanguageBox"))->setCurrentIndex(0);
    QTRY_COMPARE(w->findChild<QComboBox *>(QStringLiteral("modeBox"))->currentText(), QStringLiteral("整句实时识别"));
}

void TestLanguage::switchWhileRecordingChangesNothing()
{
    WindowFixture f;
    MainWindow *w = f.window;
    AppState::RecordState = AppState::Recording;
    w->findChild<QComboBox *>(QStringLiteral("uiLanguageBox"))->setCurrentIndex(1);
    QCoreApplication::processEvents();
    QCOMPARE(w->findChild<QMenu *>(QStringLiteral("fileMenu"))->title(), QStringLiteral("文件"));
    QCOMPARE(w->findChild<QComboBox *>(QStringLiteral("uiLanguageBox"))->currentText(), QStringLiteral("English"));
    QCOMPARE(Settings::readString(SettingsKeys::UiLang, QStringLiteral("unset"), Settings::mainPath()),
             QStringLiteral("unset"));
    QCOMPARE(w->settingsPath(), Settings::mainPath());
    AppState::RecordState = AppState::Idle;
}

void TestLanguage::chineseChosenByShortText_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("fileTitle");
    QTest::newRow("item text") << QStringLiteral("中文") << QStringLiteral("文件");
    QTest::newRow("two letters") << QStringLiteral("cn") << QStringLiteral("文件");
    QTest::newRow("English") << QStringLiteral("English") << QStringLiteral("&File");
}

void TestLanguage::chineseChosenByShortText()
{
    QFETCH(QString, lang);
    QFETCH(QString, fileTitle);
    WindowFixture f;
    f.window->langChanged(lang);
    QTRY_COMPARE(f.window->findChild<QMenu *>(QStringLiteral("fileMenu"))->title(), fileTitle);
}

TOLVANE_TEST_MAIN(TestLanguage)
#include "tst_language.moc"
