#include "documents/documentfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

const QByteArray utf8Mark("\xEF\xBB\xBF");

QByteArray utf16(const QString &text, bool littleEndian)
{
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (const QChar c : text) {
        const char low = char(c.cell());
        const char high = char(c.row());
        bytes.append(littleEndian ? low : high);
        bytes.append(littleEndian ? high : low);
    }
    return bytes;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList trimmedAll(const QStringList &list)
{
    QStringList result;
    for (const QString &s : list)
        result << s.trimmed();
    return result;
}

QStringList blanks(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QString();
    return list;
}

} // namespace

class TestDocumentFile : public QObject
{
    Q_OBJECT

private slots:
    void readsEncodings_data();
    void readsEncodings();
    void parsesPairs_data();
    void parsesPairs();
    void parsesOneItemPerLine_data();
    void parsesOneItemPerLine();
    void roundTrip_data();
    void roundTrip();
    void exportsCsv_data();
    void exportsCsv();
    void names_data();
    void names();
    void readsBadInput_data();
    void readsBadInput();
    void readsKeptFindings_data();
    void readsKeptFindings();
    void refusesUnreadable_data();
    void refusesUnreadable();
    void writeReplacesWholeFile();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void interruptedWriteKeepsOldFile();
    void autoSaveCreatesFolder();
    void autoSaveFailsSilently();

private:
    QTemporaryDir dir;
};

void TestDocumentFile::readsEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QStringLiteral("你好世界\nسالام دۇنيا\n");
    QTest::newRow("UTF-16LE with mark") << utf16(text, true);
    QTest::newRow("UTF-16BE with mark") << utf16(text, false);
    QTest::newRow("UTF-8 with mark") << QByteArray(utf8Mark + text.toUtf8());
    QTest::newRow("UTF-8 without mark") << text.toUtf8();
}

void TestDocumentFile::readsEncodings()
{
    QFETCH(QByteArray, bytes);
    const QString path = dir.filePath("encoding.txt");
    QVERIFY(writeBytes(path, bytes));
    DocumentFile::Items items;
    QString error;
    QVERIFY(DocumentFile::read(path, false, &items, &error));
    QCOMPARE(items.sources, QStringList { QStringLiteral("你好世界") });
    QCOMPARE(items.translations, QStringList { QStringLiteral("سالام دۇنيا") });
}

void TestDocumentFile::parsesPairs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("translations");
    QTest::newRow("pairs") << "a\nb\nc\nd\n" << QStringList { "a", "c" } << QStringList { "b", "d" };
    QTest::newRow("blank item in the middle") << "a\nb\n \n \nc\nd\n"
                                              << QStringList { "a", "", "c" } << QStringList { "b", "", "d" };
    QTest::newRow("trimming") << " \ta  \n\u3000b\u00A0\r\n" << QStringList { "a" } << QStringList { "b" };
    QTest::newRow("CR LF") << "a\r\nb\r\nc\r\nd\r\n" << QStringList { "a", "c" } << QStringList { "b", "d" };
    QTest::newRow("empty pair at the end") << "a\nb\n\n\n"
                                           << QStringList { "a", "" } << QStringList { "b", "" };
}

void TestDocumentFile::parsesPairs()
{
    QFETCH(QString, text);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, translations);
    const DocumentFile::Items items = DocumentFile::parse(text, false);
    QCOMPARE(items.sources, sources);
    QCOMPARE(items.translations, translations);
}

void TestDocumentFile::parsesOneItemPerLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("sources");
    QTest::newRow("lines") << "a\nb\nc\n" << QStringList { "a", "b", "c" };
    QTest::newRow("blank lines") << " \na\n \t \nb  \n" << QStringList { "a", "b" };
    QTest::newRow("document file") << "a\nA\nb\n\n" << QStringList { "a", "A", "b" };
}

void TestDocumentFile::parsesOneItemPerLine()
{
    QFETCH(QString, text);
    QFETCH(QStringList, sources);
    const DocumentFile::Items items = DocumentFile::parse(text, true);
    QCOMPARE(items.sources, sources);
    QCOMPARE(items.translations, blanks(sources.size()));
}

void TestDocumentFile::roundTrip_data()
{
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("translations");
    QTest::newRow("blank item from Add Up") << QStringList { " " } << QStringList { " " };
    QTest::newRow("empty source, translation present") << QStringList { "", "a" } << QStringList { "x", "b" };
    QTest::newRow("Chinese and Uyghur")
        << QStringList { QStringLiteral("今天天气很好，我们去公园散步吧。") }
        << QStringList { QStringLiteral("بۈگۈن ھاۋا ناھايىتى ياخشى، باغچىغا بېرىپ سەيلە قىلايلى.") };
    QTest::newRow("commas and quotes") << QStringList { "a,b", "say \"hi\"" } << QStringList { "c", "\"\"" };
    QTest::newRow("emoji and NUL") << QStringList { QStringLiteral("\U0001F600") }
                                   << QStringList { QString::fromUtf16(u"a\0b", 3) };
    QTest::newRow("untranslated tail") << QStringList { "a", "b", "c" } << QStringList { "A", "B" };
}

void TestDocumentFile::roundTrip()
{
    QFETCH(QStringList, sources);
    QFETCH(QStringList, translations);
    const QString path = dir.filePath("roundtrip.txt");
    QString error;
    QVERIFY2(
        DocumentFile::write(path, DocumentFile::encode(sources, translations), &error), qPrintable(error));
    DocumentFile::Items items;
    QVERIFY(DocumentFile::read(path, false, &items, &error));
    const int n = qMin(sources.size(), translations.size());
    QCOMPARE(items.sources, trimmedAll(sources.mid(0, n)));
    QCOMPARE(items.translations, trimmedAll(translations.mid(0, n)));
}

void TestDocumentFile::exportsCsv_data()
{
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("translations");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << QStringList { "a", "b" } << QStringList { "A", "B" }
                           << QByteArray(utf8Mark + "a,A\nb,B\n");
    QTest::newRow("comma") << QStringList { "a,b" } << QStringList { "c" }
                           << QByteArray(utf8Mark + "\"a,b\",c\n");
    QTest::newRow("quote") << QStringList { "a" } << QStringList { "say \"hi\"" }
                           << QByteArray(utf8Mark + "a,\"say \"\"hi\"\"\"\n");
    QTest::newRow("carriage return") << QStringList { "a\rb" } << QStringList { "c" }
                                     << QByteArray(utf8Mark + "\"a\rb\",c\n");
    QTest::newRow("full-width comma stays bare")
        << QStringList { QStringLiteral("你好，世界") } << QStringList { QStringLiteral("ياخشى،") }
        << QByteArray(utf8Mark + QStringLiteral("你好，世界,ياخشى،\n").toUtf8());
    QTest::newRow("untranslated tail")
        << QStringList { "a", "b" } << QStringList { "A" } << QByteArray(utf8Mark + "a,A\n");
}

void TestDocumentFile::exportsCsv()
{
    QFETCH(QStringList, sources);
    QFETCH(QStringList, translations);
    QFETCH(QByteArray, bytes);
    QCOMPARE(DocumentFile::encodeCsv(sources, translations), bytes);
}

void TestDocumentFile::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("saveAs");
    QTest::addColumn<QString>("exportName");
    const auto row = [](const char *name, const char *saveAs, const char *exportName) {
        QTest::newRow(name) << QString(name) << QString(saveAs) << QString(exportName);
    };
    row("notes", "notes.txt", "notes.csv");
    row("notes.TXT", "notes.TXT.txt", "notes.TXT.csv");
    row("a.txt.bak", "a.txt.bak", "a.csv.bak");
    row("/x.txt/b.txt", "/x.txt/b.txt", "/x.csv/b.csv");
}

void TestDocumentFile::names()
{
    QFETCH(QString, name);
    QFETCH(QString, saveAs);
    QFETCH(QString, exportName);
    QCOMPARE(DocumentFile::saveAsName(name), saveAs);
    QCOMPARE(DocumentFile::exportProposal(name), exportName);
}

void TestDocumentFile::readsBadInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("oneItemPerLine");
    QTest::addColumn<QStringList>("sources");
    const QString fffd(QChar::ReplacementCharacter);
    QTest::newRow("odd UTF-16") << QByteArray::fromHex("fffe61000a0062") << true << QStringList { "a", fffd };
    QTest::newRow("invalid UTF-8") << QByteArray("\xC3\n\xE4\xB8\n") << true
                                   << QStringList { fffd, fffd + fffd };
    QTest::newRow("NUL bytes") << QByteArray("\0\n\0\0\n", 5) << false << QStringList { QString(QChar()) };
    QTest::newRow("10 MB single line") << QByteArray(10 * 1024 * 1024, 'x') << false
                                       << QStringList { QString(10 * 1024 * 1024, QLatin1Char('x')) };
}

void TestDocumentFile::readsBadInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, oneItemPerLine);
    QFETCH(QStringList, sources);
    const QString path = dir.filePath("bad.txt");
    QVERIFY(writeBytes(path, bytes));
    DocumentFile::Items items;
    QString error;
    QVERIFY(DocumentFile::read(path, oneItemPerLine, &items, &error));
    QCOMPARE(items.sources, sources);
    QCOMPARE(items.translations.size(), items.sources.size());
}

// The inputs kept in fuzz/regressions.
void TestDocumentFile::readsKeptFindings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("translations");
    const QString fffd(QChar::ReplacementCharacter);
    QTest::newRow("trailing empty pair") << QByteArray("\n\n") << QStringList { "" } << QStringList { "" };
    QTest::newRow("mark at line start") << QByteArray::fromHex("610aefbbbf620a") << QStringList { "a" }
                                        << QStringList { QStringLiteral("\uFEFFb") };
    QTest::newRow("lone surrogates") << QByteArray::fromHex("feffd800000adc00") << QStringList { fffd }
                                     << QStringList { fffd };
}

void TestDocumentFile::readsKeptFindings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, translations);
    const QString path = dir.filePath("finding.txt");
    QVERIFY(writeBytes(path, bytes));
    DocumentFile::Items items;
    QString error;
    QVERIFY(DocumentFile::read(path, false, &items, &error));
    QCOMPARE(items.sources, sources);
    QCOMPARE(items.translations, translations);
}

void TestDocumentFile::refusesUnreadable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("directory") << "directory";
    QTest::newRow("missing file") << "missing";
    QTest::newRow("too large") << "large";
}

void TestDocumentFile::refusesUnreadable()
{
    QFETCH(QString, kind);
    QString path = dir.filePath("unreadable-" + kind);
    if (kind == "directory") {
        QVERIFY(QDir(dir.path()).mkdir("unreadable-directory"));
    } else if (kind == "large") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(DocumentFile::maxFileSize + 1)); // sparse: costs no disk
    }
    DocumentFile::Items items { { "kept" }, { "kept" } };
    QString error;
    QVERIFY(!DocumentFile::read(path, false, &items, &error));
    QVERIFY2(!error.isEmpty(), qPrintable(kind));
    QCOMPARE(items.sources, QStringList { "kept" });
}

void TestDocumentFile::writeReplacesWholeFile()
{
    const QString folder = dir.filePath("replace");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + "/doc.txt";
    QVERIFY(writeBytes(path, QByteArray(1000, 'o')));
    QString error;
    QVERIFY(DocumentFile::write(path, "new", &error));
    QCOMPARE(readBytes(path), QByteArray("new"));
    QVERIFY(DocumentFile::write(path, QByteArray(), &error));
    QCOMPARE(QFileInfo(path).size(), 0);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { "doc.txt" });
}

void TestDocumentFile::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing folder") << "missing";
    QTest::newRow("target is a folder") << "folder";
    QTest::newRow("full device") << "device";
    QTest::newRow("read-only folder") << "readonly";
}

void TestDocumentFile::failedWriteKeepsOldFile()
{
    QFETCH(QString, kind);
    const QString folder = dir.filePath("fail-" + kind);
    QVERIFY(QDir().mkpath(folder));
    QString path = folder + "/doc.txt";
    if (kind == "missing") {
        path = folder + "/nowhere/doc.txt";
    } else if (kind == "folder") {
        QVERIFY(QDir(folder).mkdir("doc.txt"));
    } else if (kind == "device") {
        path = "/dev/full";
        if (!QFileInfo::exists(path))
            QSKIP("no /dev/full on this system");
    } else if (kind == "readonly") {
        QVERIFY(writeBytes(path, "old"));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QFile probe(folder + "/probe");
        const bool canCreate = probe.open(QIODevice::WriteOnly);
        probe.remove();
        if (canCreate) {
            QFile::setPermissions(
                folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QSKIP("this user writes into read-only folders (root); the file size limit case covers it");
        }
    }
    // Reading /dev/full never ends.
    const QByteArray before = kind == "device" ? QByteArray() : readBytes(path);
    QString error;
    QVERIFY(!DocumentFile::write(path, utf8Mark + "new\n\n", &error));
    QVERIFY(!error.isEmpty());
    if (kind == "device")
        QVERIFY(!QFileInfo(path).isFile());
    else
        QCOMPARE(readBytes(path), before);
    if (kind == "missing")
        QVERIFY(!QFileInfo::exists(folder + "/nowhere"));
    if (kind == "readonly") {
        QVERIFY(QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { "doc.txt" });
    }
}

void TestDocumentFile::interruptedWriteKeepsOldFile()
{
#ifdef Q_OS_UNIX
    // A file size limit stops the write half-way, even for root.
    const QString folder = dir.filePath("interrupted");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + "/doc.txt";
    const QByteArray old = DocumentFile::encode({ "old" }, { "alt" });
    QVERIFY(writeBytes(path, old));

    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = DocumentFile::write(path, QByteArray(256 * 1024, 'n'), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QCOMPARE(readBytes(path), old);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { "doc.txt" });
#else
    QSKIP("needs POSIX file size limits");
#endif
}

void TestDocumentFile::autoSaveCreatesFolder()
{
    const QString path = dir.filePath("app/file/tempfile.txt");
    QVERIFY(!QFileInfo::exists(dir.filePath("app")));
    QVERIFY(DocumentFile::writeAutoSave(path, { "a", "b" }, { "A" }));
    QCOMPARE(readBytes(path), QByteArray(utf8Mark + "a\nA\n"));
    QVERIFY(DocumentFile::writeAutoSave(path, { "c" }, { "C" }));
    QCOMPARE(readBytes(path), QByteArray(utf8Mark + "c\nC\n"));
}

void TestDocumentFile::autoSaveFailsSilently()
{
    const QString blocker = dir.filePath("blocker");
    QVERIFY(writeBytes(blocker, "not a folder"));
    QVERIFY(!DocumentFile::writeAutoSave(blocker + "/file/tempfile.txt", { "a" }, { "A" }));
    QCOMPARE(readBytes(blocker), QByteArray("not a folder"));
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
