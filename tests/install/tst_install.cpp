// The installed tree, moved as a package's files are, is complete, points
// nowhere into the build, and starts the program without being written to.

#include "testfiles.h"

#include <QImage>
#include <QtCore>
#include <QTest>

#ifndef TOLVANE_BINARY_DIR
#error "cmake/Install.cmake passes the build directory to this test"
#endif

namespace {
const QString buildDir = QStringLiteral(TOLVANE_BINARY_DIR);
const QStringList sdkLibraries = { "libhci_sys.so", "libhci_asr_recorder.so", "libhci_tts_player.so" };

// Every file under dir with its size and time, to see whether anything wrote there.
QStringList snapshot(const QString &dir)
{
    QStringList entries;
    QDirIterator it(dir, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << QStringLiteral("%1 %2 %3")
                       .arg(info.filePath())
                       .arg(info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

// The SDK libraries the process has mapped, by their real paths.
QStringList mappedSdk(qint64 pid)
{
    QStringList files;
    for (const QByteArray &line : readBytes(QStringLiteral("/proc/%1/maps").arg(pid)).split('\n')) {
        const QString file = QString::fromLocal8Bit(line.mid(qMax(0, line.indexOf('/'))));
        if (sdkLibraries.contains(QFileInfo(file).fileName()) && !files.contains(file))
            files << file;
    }
    files.sort();
    return files;
}

QProcessEnvironment environment(const QStringList &settings)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (int i = 0; i + 1 < settings.size(); i += 2)
        settings.at(i + 1).isNull() ? env.remove(settings.at(i)) : env.insert(settings.at(i), settings.at(i + 1));
    return env;
}
}

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir root;
    QString prefix;
    QString path(const QString &relative) const { return prefix + QLatin1Char('/') + relative; }
    QString programDir(const QString &file = QString()) const { return path(TOLVANE_INSTALL_PROGRAMDIR "/" + file); }
    QString command() const { return path(QStringLiteral(TOLVANE_INSTALL_BINDIR "/tolvane")); }

    void setProgramDirWritable(bool writable)
    {
        for (const QString &dir : { programDir(), programDir("data") })
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                    | QFile::ReadOther | QFile::ExeOther | (writable ? QFile::WriteOwner : QFile::Permissions()));
    }

private slots:
    void initTestCase()
    {
        QProcess install;
        install.setProcessEnvironment(environment({ "DESTDIR", QString() }));
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(TOLVANE_CMAKE_COMMAND),
            { "--install", buildDir, "--prefix", root.filePath("stage") });
        QVERIFY2(install.waitForFinished(120000) && install.exitCode() == 0, install.readAll().constData());
        prefix = root.filePath(QStringLiteral("moved"));
        QVERIFY(QDir().rename(root.filePath("stage"), prefix));
    }

    void cleanupTestCase() { setProgramDirWritable(true); }

    void installedTree()
    {
        QStringList files = { programDir("tolvane") };
        for (const QString &lib : sdkLibraries)
            files << programDir(lib);
        for (const QString &file : files)
            QVERIFY2(QFileInfo(file).size() > 0, qPrintable(file));
        QVERIFY(QFileInfo(command()).isSymLink() && QFileInfo(command()).isExecutable());
        QCOMPARE(QFileInfo(command()).canonicalFilePath(), QFileInfo(files.first()).canonicalFilePath());

        // The recorder is handed <program dir>/data: every transcript of the build belongs there.
        const QDir built(buildDir + QStringLiteral("/bin/data"));
        const QStringList names = built.entryList({ "*.txt" }, QDir::Files);
        QVERIFY(!names.isEmpty());
        for (const QString &name : names)
            QCOMPARE(readBytes(programDir("data/" + name)), readBytes(built.filePath(name)));

        const QString readelf = QStandardPaths::findExecutable(QStringLiteral("readelf"));
        for (const QString &file : readelf.isEmpty() ? QStringList() : files) {
            QProcess process;
            process.start(readelf, { "-d", file });
            QVERIFY(process.waitForFinished(30000) && process.exitCode() == 0);
            const QString dynamic = QString::fromLocal8Bit(process.readAllStandardOutput());
            QVERIFY2(!dynamic.contains(QFileInfo(buildDir).canonicalFilePath()) && !dynamic.contains(buildDir),
                qPrintable(file + dynamic));
        }

        // The launcher runs Exec through PATH and looks the icon up by name in the icon theme.
        const QString desktop = path(QStringLiteral(TOLVANE_INSTALL_DATAROOTDIR "/applications/tolvane.desktop"));
        QSettings entry(desktop, QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(QFileInfo(path(TOLVANE_INSTALL_BINDIR "/" + entry.value("Exec").toString().section(' ', 0, 0))),
            QFileInfo(command()));
        const QImage icon(path(QStringLiteral(TOLVANE_INSTALL_DATAROOTDIR "/icons/hicolor/256x256/apps/")
            + entry.value("Icon").toString() + ".png"));
        QCOMPARE(icon.size(), QSize(256, 256));
        const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (!validate.isEmpty())
            QCOMPARE(QProcess::execute(validate, { desktop }), 0);
    }

    void installedProgramStarts()
    {
        QTemporaryDir user;
        const QString home = user.filePath("home"), work = user.filePath("work"), runtime = user.filePath("runtime");
        for (const QString &dir : { home, work, runtime })
            QVERIFY(QDir().mkpath(dir));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // A program directory the operator cannot write sends the settings to the per-user folder;
        // root writes anyway, and then the settings stay beside the program.
        setProgramDirWritable(false);
        const bool programDirWritable = QFileInfo(programDir()).isWritable();
        const QStringList installedBefore = snapshot(prefix), buildBefore = snapshot(buildDir + QStringLiteral("/bin"));

        QProcess program;
        program.setProcessEnvironment(environment({ "QT_QPA_PLATFORM", "offscreen", "HOME", home, "XDG_CONFIG_HOME",
            home + "/config", "XDG_DATA_HOME", home + "/data", "XDG_RUNTIME_DIR", runtime, "TOLVANE_SDK_AUDIO", "none",
            "LD_LIBRARY_PATH", QString() }));
        program.setWorkingDirectory(work);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(command(), QStringList());
        QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));

        // Started through the link, the program still finds the SDK beside its real file.
        QStringList expected;
        for (const QString &lib : sdkLibraries)
            expected << QFileInfo(programDir(lib)).canonicalFilePath();
        expected.sort();
        QTRY_COMPARE_WITH_TIMEOUT(mappedSdk(program.processId()), expected, 30000);
        QVERIFY2(!program.waitForFinished(3000), program.readAll().constData());
        QCOMPARE(QFileInfo::exists(home + QStringLiteral("/data/Merovaal/Tolvane")), !programDirWritable);
        program.kill();
        QVERIFY(program.waitForFinished(10000));

        QCOMPARE(snapshot(prefix), installedBefore);
        QCOMPARE(snapshot(buildDir + QStringLiteral("/bin")), buildBefore);
        QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
