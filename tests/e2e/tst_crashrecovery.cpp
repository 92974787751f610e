// A copy of the real program, driven through its standard input and killed
// with two unsaved recordings, gets both back on its next start.

#include "documents/recoveryjournal.h"
#include "senttext.h"
#include "testfiles.h"

#include <QtCore>
#include <QTest>

namespace {
const int WaitMs = 60000;
using Items = QList<QPair<QString, QString>>; // source, translation (null: none yet)

Items expected(const QStringList &sentences)
{
    Items items;
    for (const QString &sentence : sentences)
        items.append({ sentence, QStringLiteral("译:") + sentence });
    return items;
}

Items itemsOf(const QJsonValue &document)
{
    Items items;
    for (const QJsonValue &item : document[QStringLiteral("items")].toArray())
        items.append({ item[QStringLiteral("source")].toString(), item[QStringLiteral("translation")].toString() });
    return items;
}

}

class TestCrashRecovery : public QObject
{
    Q_OBJECT

    HttpTestServer server;
    QTemporaryDir root;
    int dumps = 0;

    QString path(const QString &name) const { return root.filePath(name); }

    // A child of this object: destroying it kills the program.
    QProcess *start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : { "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME" })
            env.insert(QLatin1String(name), path(QStringLiteral("home/")) + QLatin1String(name));
        const QStringList settings = { "XDG_RUNTIME_DIR", path("runtime"), "QT_QPA_PLATFORM", "offscreen",
            "TOLVANE_SDK_AUDIO", "none", "TOLVANE_SDK_TRANSCRIPT", path("transcript.txt"), "TOLVANE_SDK_PACE_MS",
            "10", "TOLVANE_TEST_CONTROL", "1" };
        for (int i = 0; i < settings.size(); i += 2)
            env.insert(settings.at(i), settings.at(i + 1));
        auto *child = new QProcess(this);
        child->setProcessEnvironment(env);
        child->setWorkingDirectory(root.path());
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->setStandardOutputFile(QProcess::nullDevice());
        child->start(path(QStringLiteral("program/tolvane")), QStringList());
        child->waitForStarted();
        return child;
    }

    // Asks the child for its documents until it shows count of them and no dialog; empty after a while.
    QJsonArray documents(QProcess *child, int count)
    {
        for (int tries = 0; tries < 200 && child->state() == QProcess::Running; ++tries) {
            const QString file = path(QStringLiteral("dump%1.json").arg(++dumps));
            child->write("dump " + file.toUtf8() + '\n');
            if (!QTest::qWaitFor([&file] { return QFile::exists(file); }, 10000))
                continue;
            const QJsonObject state = QJsonDocument::fromJson(readBytes(file)).object();
            const QJsonArray documents = state[QStringLiteral("documents")].toArray();
            if (documents.size() == count && state[QStringLiteral("modal")].toString().isEmpty())
                return documents;
            QTest::qWait(50);
        }
        return {};
    }

    QStringList journals() const { return QDir(path("program/recovery")).entryList({ "*.jsonl" }, QDir::Files); }

    // The recovery file holding exactly these translated sentences, or empty.
    QString journalHolding(const QStringList &sentences) const
    {
        for (const QString &journal : journals()) {
            Items held;
            for (const DocumentModel::Item &item : RecoveryJournal::read(path("program/recovery/" + journal)).items)
                held.append({ item.source, item.hasTranslation ? item.translation : QString() });
            if (held == expected(sentences))
                return path("program/recovery/" + journal);
        }
        return QString();
    }

private slots:
    void initTestCase()
    {
        server.setHandler([](const HttpTestServer::Request &request) {
            return HttpTestServer::Reply { 200,
                HttpTestServer::translationReply(QStringLiteral("译:") + sentText(request)), 0 };
        });
        // /proc/self/exe names the real file, so a link would lead back to build/bin.
        const QDir built(QCoreApplication::applicationDirPath());
        QVERIFY(QDir().mkpath(path(QStringLiteral("program/data"))) && QDir().mkpath(path(QStringLiteral("runtime"))));
        QFile::setPermissions(path(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QStringList files = built.entryList({ QStringLiteral("libhci_*.so") }, QDir::Files);
        QCOMPARE(files.size(), 3);
        files << QStringLiteral("tolvane");
        for (const QString &data : QDir(built.filePath(QStringLiteral("data"))).entryList(QDir::Files))
            files << QStringLiteral("data/") + data;
        for (const QString &file : files)
            QVERIFY2(QFile::copy(built.filePath(file), path(QStringLiteral("program/") + file)), qPrintable(file));
        const QByteArray host = server.baseUrl().toLatin1();
        QVERIFY(writeBytes(path(QStringLiteral("program/Tolvane.ini")),
            "[action]\nTranslateHostWW=" + host + "\nTranslateHostCN=" + host + "\n"));
    }

    void cleanup() { qDeleteAll(findChildren<QProcess *>()); }

    void killedProgramRestoresBothDocuments()
    {
        const QStringList first
            = { QStringLiteral("今天的会议现在开始。"), QStringLiteral("请大家把手机调成静音。") };
        const QStringList second
            = { QStringLiteral("ياخشىمۇسىز"), QStringLiteral("بۈگۈن ھاۋا ناھايىتى ياخشى") };
        const QString transcript = path(QStringLiteral("transcript.txt"));
        QVERIFY(writeBytes(transcript, first.join(QLatin1Char('\n')).toUtf8()));
        QProcess *running = start();
        QCOMPARE(documents(running, 1).size(), 1);
        QVERIFY2(journals().isEmpty(), "nothing unsaved yet");
        running->write("record\n");
        QTRY_VERIFY_WITH_TIMEOUT(!journalHolding(first).isEmpty(), WaitMs);
        const QString firstJournal = journalHolding(first);

        // Recording stops; the second document gets the second transcript.
        running->write("stop\nnew\n");
        QCOMPARE(documents(running, 2).size(), 2);
        QVERIFY(writeBytes(transcript, second.join(QLatin1Char('\n')).toUtf8()));
        running->write("record\n");
        QTRY_VERIFY_WITH_TIMEOUT(!journalHolding(second).isEmpty(), WaitMs);
        const QString secondJournal = journalHolding(second);
        QCOMPARE(journalHolding(first), firstJournal);

        // A second instance starting now leaves the first one's files alone.
        QProcess *other = start();
        QVERIFY2(documents(other, 1).size() == 1, "the second instance offered files of a running program");
        delete other;

        running->kill(); // SIGKILL: nothing runs on the way out
        QVERIFY(running->waitForFinished(10000));
        QCOMPARE(running->exitStatus(), QProcess::CrashExit);
        QVERIFY(QFile::exists(firstJournal) && QFile::exists(secondJournal));

        QProcess *restarted = start();
        restarted->write("accept\n");
        const QJsonArray restored = documents(restarted, 3);
        QCOMPARE(restored.size(), 3);
        QCOMPARE(itemsOf(restored[0]), Items()); // the new empty document of every start
        for (int i : { 1, 2 })
            QVERIFY(restored[i][QStringLiteral("modified")].toBool()
                && restored[i][QStringLiteral("untitled")].toBool());
        QCOMPARE(QList<Items>({ itemsOf(restored[1]), itemsOf(restored[2]) }),
            QList<Items>({ expected(first), expected(second) }));

        // The old files went; the restored documents, still unsaved, have files of their own.
        QVERIFY(!QFile::exists(firstJournal) && !QFile::exists(secondJournal));
        QCOMPARE(journals().size(), 2);
        QVERIFY(!journalHolding(first).isEmpty() && !journalHolding(second).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCrashRecovery)
#include "tst_crashrecovery.moc"
