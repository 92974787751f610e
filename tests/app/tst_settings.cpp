#include "app/appstate.h"
#include "app/settings.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

namespace {
QByteArray gb18030(const QString &text) { return QTextCodec::codecForName("GB18030")->fromUnicode(text); }
void writeFile(const QString &path, const QString &text) { writeBytes(path, gb18030(text)); }
}

class TestSettings : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init() { dir = std::make_unique<QTemporaryDir>(); Settings::setProgramDir(dir->path()); }
    void cleanup() { Settings::setProgramDir(QString()); AppState::settingsPath.clear(); }

    void readColour_data()
    {
        QTest::addColumn<QString>("value"); // null: absent
        QTest::addColumn<quint32>("expected"); // with 100 as the fallback
        QTest::newRow("missing") << QString() << 100u;
        QTest::newRow("signed") << "-16140809" << 0xFF09B5F7u;
        QTest::newRow("unsigned") << "4278826487" << 0xFF09B5F7u;
        QTest::newRow("garbage") << "blue" << 0u;
    }
    void readColour()
    {
        QFETCH(QString, value);
        QFETCH(quint32, expected);
        writeFile(Settings::mainPath(), "[action]\n" + (value.isNull() ? QString() : "listselcolor=" + value + '\n'));
        QCOMPARE(Settings::readColor(SettingsKeys::ListSelColor, QStringLiteral("100")), expected);
    }

    void writesInGb18030ElsewhereWhenReadOnly()
    {
        // An installed copy whose directory cannot take the settings file.
        const QString missing = dir->path() + QStringLiteral("/not-there/bin"),
                      host = QStringLiteral("http://服务器.example:8080");
        Settings::setProgramDir(missing);
        QVERIFY(!Settings::mainPath().startsWith(missing));
        Settings::write(SettingsKeys::VoiceHost, host);
        QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QString()), host);
        const QByteArray bytes = readBytes(Settings::mainPath());
        QVERIFY(bytes.contains(gb18030(host)) && !bytes.contains(host.toUtf8()));
        QFile::remove(Settings::mainPath());
    }

    void readsThroughLayers_data()
    {
        QTest::addColumn<bool>("english");
        // The voice host in: own English, own Chinese, English beside the program,
        // Chinese beside the program; empty means the key is absent.
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("expected");
        const QString admin = QStringLiteral("管理员.example");
        QTest::newRow("Chinese: own before beside") << false << QStringList { "", "own", "", admin } << "own";
        QTest::newRow("Chinese: never the English files") << false << QStringList { "en", "", "en-admin", "" } << "-";
        QTest::newRow("English: own English first") << true << QStringList { "en", "own", "en-admin", admin } << "en";
        QTest::newRow("English: own Chinese before anything beside")
            << true << QStringList { "", "own", "en-admin", admin } << "own";
        QTest::newRow("English: English beside before Chinese beside")
            << true << QStringList { "", "", "en-admin", admin } << "en-admin";
        QTest::newRow("English: Chinese beside the program") << true << QStringList { "", "", "", admin } << admin;
    }
    void readsThroughLayers()
    {
        QFETCH(bool, english);
        QFETCH(QStringList, stored);
        QFETCH(QString, expected);
        // An installed copy: the program folder is read-only, writes go to the user's folder.
        const QString program = dir->filePath(QStringLiteral("program")), user = dir->filePath(QStringLiteral("user"));
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(user));
        Settings::setProgramDir(program, user);
        const QStringList files { user + "/Tolvaneen.ini", user + "/Tolvane.ini", program + "/Tolvaneen.ini",
            program + "/Tolvane.ini" };
        for (int i = 0; i < files.size(); ++i)
            if (!stored[i].isEmpty())
                writeFile(files[i], "[action]\nVoiceHost=" + stored[i] + '\n');
        AppState::settingsPath = english ? Settings::englishPath() : Settings::mainPath();
        QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QStringLiteral("-")), expected);
        // Writes go to the file in use only, and are read back first.
        Settings::write(SettingsKeys::VoiceHost, QStringLiteral("new"));
        QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QString()), QStringLiteral("new"));
        for (int i = 2; i < files.size(); ++i)
            QCOMPARE(Settings::readString(SettingsKeys::VoiceHost, QString(), files[i]), stored[i]);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
