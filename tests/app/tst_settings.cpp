#include "app/appstate.h"
#include "app/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readInt_data();
    void readInt();
    void readColor_data();
    void readColor();
    void gb18030RoundTrip();
    void writesToCurrentFile();
    void fallsBackWhenProgramDirIsReadOnly();
    void readsThroughLayers_data();
    void readsThroughLayers();

private:
    void writeIni(const QByteArray &content);
    std::unique_ptr<QTemporaryDir> dir;
};

void TestSettings::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    Settings::setProgramDir(dir->path());
    AppState::settingsPath.clear();
}

void TestSettings::cleanup()
{
    Settings::setProgramDir(QString());
    AppState::settingsPath.clear();
}

void TestSettings::writeIni(const QByteArray &content)
{
    QFile file(Settings::mainPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void TestSettings::readInt_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<int>("expected");

    QTest::newRow("missing file") << QByteArray() << "action/realtime" << "1" << 1;
    QTest::newRow("missing key") << QByteArray("[action]\nlang=1\n") << "action/uiScore" << "100" << 100;
    QTest::newRow("non-numeric") << QByteArray("[action]\nuiScore=abc\n") << "action/uiScore" << "100" << 0;
    QTest::newRow("realtime 2") << QByteArray("[action]\nrealtime=2\n") << "action/realtime" << "1" << 2;
}

void TestSettings::readInt()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, key);
    QFETCH(QString, defaultText);
    QFETCH(int, expected);
    if (!ini.isEmpty())
        writeIni(ini);
    const QByteArray k = key.toLatin1();
    QCOMPARE(Settings::readInt(k.constData(), defaultText), expected);
}

void TestSettings::readColor_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("default signed") << QByteArray("-16140809") << 0xFF09B5F7u;
    QTest::newRow("same unsigned") << QByteArray("4278826487") << 0xFF09B5F7u;
    QTest::newRow("garbage") << QByteArray("blue") << 0u;
}

void TestSettings::readColor()
{
    QFETCH(QByteArray, stored);
    QFETCH(quint32, expected);
    writeIni("[action]\nlistselcolor=" + stored + "\n");
    QCOMPARE(Settings::readColor(SettingsKeys::ListSelColor, QLatin1String(SettingsKeys::DefaultListSelColor)),
             expected);
}

void TestSettings::gb18030RoundTrip()
{
    const QString host = QStringLiteral("http://服务器.example:8080");
    Settings::write(SettingsKeys::VoiceHost, host);
    QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QString()), host);
    QFile file(Settings::mainPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Stored in GB18030, not UTF-8.
    QVERIFY(bytes.contains(QTextCodec::codecForName("GB18030")->fromUnicode(QStringLiteral("服务器"))));
    QVERIFY(!bytes.contains(QStringLiteral("服务器").toUtf8()));
}

void TestSettings::writesToCurrentFile()
{
    AppState::settingsPath = Settings::englishPath();
    Settings::write(SettingsKeys::Lang, 1);
    QCOMPARE(Settings::readInt(SettingsKeys::Lang, QStringLiteral("0"), Settings::englishPath()), 1);
    QCOMPARE(Settings::readInt(SettingsKeys::Lang, QStringLiteral("0"), Settings::mainPath()), 0);
    QVERIFY(!QFile::exists(Settings::mainPath()));
}

void TestSettings::fallsBackWhenProgramDirIsReadOnly()
{
    // An installed copy whose directory cannot take the settings file.
    const QString missing = dir->path() + QStringLiteral("/not-there/bin");
    Settings::setProgramDir(missing);
    QVERIFY(!Settings::mainPath().startsWith(missing));
    Settings::write(SettingsKeys::UiScore, 42);
    QCOMPARE(Settings::readInt(SettingsKeys::UiScore, QStringLiteral("100")), 42);
    QFile::remove(Settings::mainPath());
}

void TestSettings::readsThroughLayers_data()
{
    QTest::addColumn<bool>("english");
    // The voice host in: own English, own Chinese, English beside the program,
    // Chinese beside the program; empty means the key is absent.
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("expected");

    const QString admin = QStringLiteral("管理员.example");
    QTest::newRow("Chinese: beside the program") << false << QStringList { "", "", "", admin } << admin;
    QTest::newRow("Chinese: own before beside") << false << QStringList { "", "own", "", admin } << "own";
    QTest::newRow("Chinese: never the English files")
        << false << QStringList { "en", "", "en-admin", "" } << "<default>";
    QTest::newRow("English: own English first")
        << true << QStringList { "en", "own", "en-admin", admin } << "en";
    QTest::newRow("English: own Chinese before anything beside")
        << true << QStringList { "", "own", "en-admin", admin } << "own";
    QTest::newRow("English: English beside before Chinese beside")
        << true << QStringList { "", "", "en-admin", admin } << "en-admin";
    QTest::newRow("English: Chinese beside the program")
        << true << QStringList { "", "", "", admin } << admin;
    QTest::newRow("nowhere") << true << QStringList { "", "", "", "" } << "<default>";
}

void TestSettings::readsThroughLayers()
{
    QFETCH(bool, english);
    QFETCH(QStringList, stored);
    QFETCH(QString, expected);

    // An installed copy: the program folder is read-only, writes go to the user's folder.
    const QString program = dir->filePath(QStringLiteral("program"));
    const QString user = dir->filePath(QStringLiteral("user"));
    QVERIFY(QDir().mkpath(program) && QDir().mkpath(user));
    Settings::setProgramDir(program, user);
    const QStringList files { user + "/Tolvaneen.ini", user + "/Tolvane.ini", program + "/Tolvaneen.ini",
        program + "/Tolvane.ini" };
    for (int i = 0; i < files.size(); ++i) {
        if (stored[i].isEmpty())
            continue;
        QFile file(files[i]);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "[action]\nVoiceHost=" + QTextCodec::codecForName("GB18030")->fromUnicode(stored[i]) + "\n");
    }
    AppState::settingsPath = english ? Settings::englishPath() : Settings::mainPath();

    QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QStringLiteral("<default>")), expected);

    // Writes still go to the file in use only, and are read back first.
    Settings::write(SettingsKeys::VoiceHost, QStringLiteral("new"));
    QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QString()), QStringLiteral("new"));
    for (int i = 2; i < files.size(); ++i)
        QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QString(), files[i]), stored[i]);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
