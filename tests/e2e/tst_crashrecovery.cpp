// The real program, killed with SIGKILL while two documents hold unsaved
// recordings, then started again: it offers both back and restores every item
// that was on screen, in order, with its translation. A second instance
// started meanwhile is not offered the files of the one still running.
//
// The children run a copy of the program in a private program directory (its
// settings point the translation hosts at a server of this test) and are
// driven through their standard input (TOLVANE_TEST_CONTROL, see TestControl).
// What was on screen is known without asking the child: the test knows the
// transcript and kills once the recovery files hold every sentence with its
// translation.

#include "documents/recoveryjournal.h"
#include "httptestserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace {

const int WaitMs = 60000;

using Items = QList<QPair<QString, QString>>; // source, translation (null: none yet)

QString translationOf(const QString &text) { return QStringLiteral("译:") + text; }

Items expected(const QStringList &sentences)
{
    Items items;
    for (const QString &sentence : sentences)
        items.append({ sentence, translationOf(sentence) });
    return items;
}

Items itemsOf(const RecoveryJournal::Contents &contents)
{
    Items items;
    for (const DocumentModel::Item &item : contents.items)
        items.append({ item.source, item.hasTranslation ? item.translation : QString() });
    return items;
}

Items itemsOf(const QJsonObject &document)
{
    Items items;
    for (const QJsonValue &item : document.value(QStringLiteral("items")).toArray()) {
        const QJsonValue translation = item[QStringLiteral("translation")];
        items.append({ item[QStringLiteral("source")].toString(),
            translation.isNull() ? QString() : translation.toString() });
    }
    return items;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

}

class TestCrashRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void killedProgramRestoresBothDocuments();

private:
    std::unique_ptr<QProcess> start();
    QJsonObject dump(QProcess *child, const std::function<bool(const QJsonObject &)> &until);
    // The recovery file holding exactly items, or empty.
    QString journalHolding(const Items &items) const;
    QStringList journals() const;

    HttpTestServer server;
    QTemporaryDir root;
    QString programDir;
    QString transcript;
    std::vector<std::unique_ptr<QProcess>> children;
    int dumps = 0;
};

void TestCrashRecovery::initTestCase()
{
    QVERIFY(root.isValid());
    server.setHandler([](const HttpTestServer::Request &request) {
        const int at = request.target.indexOf("src_text=");
        const QString text = QString::fromUtf8(QByteArray::fromPercentEncoding(request.target.mid(at + 9)));
        return HttpTestServer::Reply { 200, HttpTestServer::translationReply(translationOf(text)), 0 };
    });

    // /proc/self/exe names the real file, so a link would lead back to build/bin.
    programDir = root.filePath(QStringLiteral("program"));
    const QDir built(QCoreApplication::applicationDirPath());
    QVERIFY(QDir().mkpath(programDir + QStringLiteral("/data")));
    QStringList files = built.entryList({ QStringLiteral("libhci_*.so") }, QDir::Files);
    QCOMPARE(files.size(), 3);
    files << QStringLiteral("tolvane");
    for (const QString &data : QDir(built.filePath(QStringLiteral("data"))).entryList(QDir::Files))
        files << QStringLiteral("data/") + data;
    for (const QString &file : files)
        QVERIFY2(QFile::copy(built.filePath(file), programDir + QLatin1Char('/') + file), qPrintable(file));

    const QByteArray host = server.baseUrl().toLatin1();
    QVERIFY(writeFile(programDir + QStringLiteral("/Tolvane.ini"),
        "[action]\nTranslateHostWW=" + host + "\nTranslateHostCN=" + host + "\n"));
    transcript = root.filePath(QStringLiteral("transcript.txt"));
}

void TestCrashRecovery::cleanup()
{
    for (const auto &child : children) {
        child->kill();
        child->waitForFinished(10000);
    }
    children.clear();
}

std::unique_ptr<QProcess> TestCrashRecovery::start()
{
    const QString home = root.filePath(QStringLiteral("home"));
    const QString runtime = root.filePath(QStringLiteral("runtime"));
    QDir().mkpath(home);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("TOLVANE_SDK_AUDIO"), QStringLiteral("none"));
    env.insert(QStringLiteral("TOLVANE_SDK_TRANSCRIPT"), transcript);
    env.insert(QStringLiteral("TOLVANE_SDK_PACE_MS"), QStringLiteral("10"));
    env.insert(QStringLiteral("TOLVANE_TEST_CONTROL"), QStringLiteral("1"));
    auto child = std::make_unique<QProcess>();
    child->setProcessEnvironment(env);
    child->setWorkingDirectory(root.path());
    child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child->setStandardOutputFile(QProcess::nullDevice());
    child->start(programDir + QStringLiteral("/tolvane"), QStringList());
    if (!child->waitForStarted())
        qWarning("cannot start the program: %s", qPrintable(child->errorString()));
    return child;
}

// Asks the child for its documents until until() holds; empty after WaitMs.
QJsonObject TestCrashRecovery::dump(QProcess *child, const std::function<bool(const QJsonObject &)> &until)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < WaitMs && child->state() == QProcess::Running) {
        const QString path = root.filePath(QStringLiteral("dump%1.json").arg(++dumps));
        child->write("dump " + path.toUtf8() + '\n');
        if (!QTest::qWaitFor([&path] { return QFile::exists(path); }, 10000))
            continue;
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QJsonObject state = QJsonDocument::fromJson(file.readAll()).object();
        if (until(state))
            return state;
        QTest::qWait(50);
    }
    return QJsonObject();
}

QStringList TestCrashRecovery::journals() const
{
    const QDir dir(programDir + QStringLiteral("/recovery"));
    QStringList paths;
    for (const QString &name : dir.entryList({ QStringLiteral("*.jsonl") }, QDir::Files))
        paths << dir.filePath(name);
    return paths;
}

QString TestCrashRecovery::journalHolding(const Items &items) const
{
    for (const QString &path : journals()) {
        if (itemsOf(RecoveryJournal::read(path)) == items)
            return path;
    }
    return QString();
}

void TestCrashRecovery::killedProgramRestoresBothDocuments()
{
    const QStringList first
        = { QStringLiteral("今天的会议现在开始。"), QStringLiteral("请大家把手机调成静音。"),
              QStringLiteral("我们先讨论第一个问题。"), QStringLiteral("这个问题已经讨论了很久。") };
    const QStringList second = { QStringLiteral("ياخشىمۇسىز"), QStringLiteral("بۈگۈن ھاۋا ناھايىتى ياخشى"),
        QStringLiteral("مەن مەكتەپكە بارىمەن") };

    QVERIFY(writeFile(transcript, first.join(QLatin1Char('\n')).toUtf8()));
    children.push_back(start());
    QProcess *running = children.back().get();
    const auto documentCount = [](int count) {
        return [count](const QJsonObject &state) {
            return state.value(QStringLiteral("documents")).toArray().size() == count
                && state.value(QStringLiteral("modal")).toString().isEmpty();
        };
    };
    QVERIFY(!dump(running, documentCount(1)).isEmpty());
    QVERIFY2(journals().isEmpty(), "nothing unsaved yet");

    running->write("record\n");
    QTRY_VERIFY_WITH_TIMEOUT(!journalHolding(expected(first)).isEmpty(), WaitMs);
    const QString firstJournal = journalHolding(expected(first));

    // Recording stops; the second document gets the second transcript.
    running->write("stop\nnew\n");
    QVERIFY(!dump(running, documentCount(2)).isEmpty());
    QVERIFY(writeFile(transcript, second.join(QLatin1Char('\n')).toUtf8()));
    running->write("record\n");
    QTRY_VERIFY_WITH_TIMEOUT(!journalHolding(expected(second)).isEmpty(), WaitMs);
    const QString secondJournal = journalHolding(expected(second));
    QCOMPARE(journalHolding(expected(first)), firstJournal);

    // A second instance starting now leaves the first one's files alone.
    children.push_back(start());
    QProcess *other = children.back().get();
    const QJsonObject otherState = dump(other, documentCount(1));
    QVERIFY2(!otherState.isEmpty(), "the second instance offered files of a running program");
    other->kill();
    QVERIFY(other->waitForFinished(10000));

    running->kill(); // SIGKILL: nothing runs on the way out
    QVERIFY(running->waitForFinished(10000));
    QCOMPARE(running->exitStatus(), QProcess::CrashExit);
    QVERIFY(QFile::exists(firstJournal) && QFile::exists(secondJournal));

    children.push_back(start());
    QProcess *restarted = children.back().get();
    restarted->write("accept\n");
    const QJsonObject state = dump(restarted, documentCount(3));
    QVERIFY2(!state.isEmpty(), "the restarted program did not restore two documents");

    const QJsonArray documents = state.value(QStringLiteral("documents")).toArray();
    QCOMPARE(itemsOf(documents.at(0).toObject()), Items()); // the new empty document of every start
    QList<Items> restored;
    for (int i = 1; i < documents.size(); ++i) {
        const QJsonObject document = documents.at(i).toObject();
        QVERIFY(document.value(QStringLiteral("modified")).toBool());
        QVERIFY(document.value(QStringLiteral("untitled")).toBool());
        restored.append(itemsOf(document));
    }
    QCOMPARE(restored, QList<Items>({ expected(first), expected(second) }));

    // The old files went; the restored documents, still unsaved, have files of their own.
    QVERIFY(!QFile::exists(firstJournal) && !QFile::exists(secondJournal));
    QCOMPARE(journals().size(), 2);
    QVERIFY(!journalHolding(expected(first)).isEmpty() && !journalHolding(expected(second)).isEmpty());
}

QTEST_GUILESS_MAIN(TestCrashRecovery)

#include "tst_crashrecovery.moc"
