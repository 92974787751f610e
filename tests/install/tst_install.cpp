#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifndef TOLVANE_BINARY_DIR
#error "cmake/Install.cmake passes the build directory to this test"
#endif

namespace {
const QString programDirName = QStringLiteral(TOLVANE_INSTALL_PROGRAMDIR);
const QString binDirName = QStringLiteral(TOLVANE_INSTALL_BINDIR);
const QString dataRootName = QStringLiteral(TOLVANE_INSTALL_DATAROOTDIR);
const QStringList sdkLibraries = { QStringLiteral("libhci_sys.so"), QStringLiteral("libhci_asr_recorder.so"),
    QStringLiteral("libhci_tts_player.so") };

QString buildDir() { return QStringLiteral(TOLVANE_BINARY_DIR); }

// Every file and link under dir with its size and time, to see whether anything wrote there.
QStringList snapshot(const QString &dir)
{
    QStringList entries;
    QDirIterator it(dir, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        entries << QStringLiteral("%1 %2 %3")
                       .arg(QDir(dir).relativeFilePath(info.filePath()))
                       .arg(info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

// The shared objects the process has mapped, by their real paths.
QStringList mappedFiles(qint64 pid)
{
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    if (!maps.open(QIODevice::ReadOnly))
        return {};
    QStringList files;
    const QList<QByteArray> lines = maps.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const int slash = line.indexOf('/');
        if (slash < 0)
            continue;
        const QString file = QString::fromLocal8Bit(line.mid(slash));
        if (!files.contains(file))
            files << file;
    }
    return files;
}

QStringList sdkLibrariesIn(const QStringList &files)
{
    QStringList found;
    for (const QString &file : files) {
        if (sdkLibraries.contains(QFileInfo(file).fileName()))
            found << file;
    }
    found.sort();
    return found;
}

bool setWritable(const QString &path, bool writable)
{
    QFile::Permissions permissions = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
        | QFile::ReadOther | QFile::ExeOther;
    if (writable)
        permissions |= QFile::WriteOwner;
    return QFile::setPermissions(path, permissions);
}
}

class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void installedTree();
    void desktopEntryNamesInstalledFiles();
    void installedProgramStarts();

private:
    QString prefixPath(const QString &relative) const { return prefix + QLatin1Char('/') + relative; }
    QString programDir() const { return prefixPath(programDirName); }

    QTemporaryDir root;
    QString prefix;
};

void TestInstall::initTestCase()
{
    qRegisterMetaType<QProcess::ExitStatus>();
    QVERIFY(root.isValid());
    const QString stage = root.filePath(QStringLiteral("stage"));

    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DESTDIR"));
    install.setProcessEnvironment(env);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(TOLVANE_CMAKE_COMMAND),
        { QStringLiteral("--install"), buildDir(), QStringLiteral("--prefix"), stage });
    QVERIFY2(install.waitForFinished(120000), "cmake --install did not finish");
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
        install.readAll().constData());

    // Moved after installing, as a package's files are: nothing may point back into the stage.
    prefix = root.filePath(QStringLiteral("moved"));
    QVERIFY(QDir().rename(stage, prefix));
}

void TestInstall::cleanupTestCase()
{
    if (!prefix.isEmpty()) {
        setWritable(programDir(), true);
        setWritable(programDir() + QStringLiteral("/data"), true);
    }
}

void TestInstall::installedTree()
{
    const QString program = programDir() + QStringLiteral("/tolvane");
    QStringList files = { program };
    for (const QString &lib : sdkLibraries)
        files << programDir() + QLatin1Char('/') + lib;
    for (const QString &file : files)
        QVERIFY2(QFileInfo(file).isFile() && QFileInfo(file).size() > 0, qPrintable(file));
    QVERIFY(QFileInfo(program).isExecutable());
    const QFileInfo command(prefixPath(binDirName + QStringLiteral("/tolvane")));
    QVERIFY(command.isSymLink());
    QCOMPARE(command.canonicalFilePath(), QFileInfo(program).canonicalFilePath());

    // The program hands <program dir>/data to the recorder: every transcript the build uses must be there.
    const QDir built(buildDir() + QStringLiteral("/bin/data"));
    const QStringList names = built.entryList({ QStringLiteral("*.txt") }, QDir::Files, QDir::Name);
    QVERIFY(!names.isEmpty());
    for (const QString &name : names) {
        QFile original(built.filePath(name));
        QFile installed(programDir() + QStringLiteral("/data/") + name);
        QVERIFY2(installed.open(QIODevice::ReadOnly), qPrintable(installed.fileName()));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(installed.readAll(), original.readAll());
    }

    const QString readelf = QStandardPaths::findExecutable(QStringLiteral("readelf"));
    const QString buildTree = QFileInfo(buildDir()).canonicalFilePath();
    for (const QString &file : readelf.isEmpty() ? QStringList() : files) {
        QProcess process;
        process.start(readelf, { QStringLiteral("-d"), file });
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        const QString dynamic = QString::fromLocal8Bit(process.readAllStandardOutput());
        QVERIFY2(!dynamic.contains(buildTree) && !dynamic.contains(buildDir()), qPrintable(file + dynamic));
    }
}

void TestInstall::desktopEntryNamesInstalledFiles()
{
    const QString path = prefixPath(dataRootName + QStringLiteral("/applications/tolvane.desktop"));
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Desktop Entry"));
    const auto entry = [&settings](const char *key) { return settings.value(QLatin1String(key)).toString(); };
    // The launcher runs Exec through PATH and looks the icon up by name in the icon theme.
    const QString command = entry("Exec").section(QLatin1Char(' '), 0, 0);
    QVERIFY(QFileInfo(prefixPath(binDirName + QLatin1Char('/') + command)).isExecutable());
    const QImage icon(prefixPath(dataRootName + QStringLiteral("/icons/hicolor/256x256/apps/") + entry("Icon")
        + QStringLiteral(".png")));
    QCOMPARE(icon.size(), QSize(256, 256));

    const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!validate.isEmpty()) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(validate, { path });
        QVERIFY(process.waitForFinished(30000));
        QVERIFY2(process.exitCode() == 0, process.readAll().constData());
    }
}

void TestInstall::installedProgramStarts()
{
    QTemporaryDir user;
    QVERIFY(user.isValid());
    const QString home = user.filePath(QStringLiteral("home"));
    const QString work = user.filePath(QStringLiteral("work"));
    const QString runtime = user.filePath(QStringLiteral("runtime"));
    for (const QString &dir : { home, work, runtime })
        QVERIFY(QDir().mkpath(dir));
    QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    // A program directory the operator cannot write sends the settings to the per-user folder.
    QVERIFY(setWritable(programDir(), false));
    QVERIFY(setWritable(programDir() + QStringLiteral("/data"), false));
    // Root writes anyway; then the settings stay beside the program.
    const bool programDirWritable = QFileInfo(programDir()).isWritable();
    const QString userDataDir = home + QStringLiteral("/data/Merovaal/Tolvane");

    const QStringList installedBefore = snapshot(prefix);
    const QStringList buildBefore = snapshot(buildDir() + QStringLiteral("/bin"));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("TOLVANE_SDK_AUDIO"), QStringLiteral("none"));
    env.remove(QStringLiteral("LD_LIBRARY_PATH"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(work);
    program.setProcessChannelMode(QProcess::MergedChannels);
    QSignalSpy finished(&program, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));

    program.start(prefixPath(binDirName + QStringLiteral("/tolvane")), QStringList());
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));

    // Started through the link, the program still finds the SDK beside its real file.
    QStringList expected;
    for (const QString &lib : sdkLibraries)
        expected << QFileInfo(programDir() + QLatin1Char('/') + lib).canonicalFilePath();
    expected.sort();
    QTRY_COMPARE_WITH_TIMEOUT(sdkLibrariesIn(mappedFiles(program.processId())), expected, 30000);
    const QStringList mapped = mappedFiles(program.processId());

    QVERIFY2(!finished.wait(3000), program.readAll().constData());
    QCOMPARE(program.state(), QProcess::Running);
    QCOMPARE(QFileInfo::exists(userDataDir), !programDirWritable);

    program.kill();
    QVERIFY(program.waitForFinished(10000));

    const QString buildTree = QFileInfo(buildDir()).canonicalFilePath() + QLatin1Char('/');
    for (const QString &file : mapped)
        QVERIFY2(!file.startsWith(buildTree), qPrintable(file));
    QCOMPARE(snapshot(prefix), installedBefore);
    QCOMPARE(snapshot(buildDir() + QStringLiteral("/bin")), buildBefore);
    QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestInstall)

#include "tst_install.moc"
