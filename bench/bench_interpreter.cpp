// Interpreter mode in a real main window: the SDK stand-in replays both demo
// transcripts, a server on 127.0.0.1 translates, and each translation is
// spoken as it lands. Prints the time from a translation's arrival in its
// document to the player's "started" event, for translations with nothing
// queued before them.

#include "app/mainwindow.h"
#include "app/resources.h"
#include "httptestserver.h"
#include "speech/interpreter.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const int rounds = 3;
const int sentencesPerTranscript = 12;

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * values.size()))];
}

QString sentText(const HttpTestServer::Request &request)
{
    for (const QByteArray &field : request.body.split('&')) {
        if (field.startsWith("content="))
            return QString::fromUtf8(QByteArray::fromPercentEncoding(field.mid(8)));
    }
    return QString();
}
}

int main(int argc, char *argv[])
{
    // A private home: the window fixture clears the user settings store.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TOLVANE_SDK_AUDIO", "none");
    // Each text is spoken before the next sentence comes: nothing waits ahead.
    qputenv("TOLVANE_SDK_PLAYBACK_SCALE", "0.02");
    qputenv("TOLVANE_SDK_PACE_MS", "300");
    initResources();
    QApplication app(argc, argv);
    configureApplication(app);

    HttpTestServer server;
    server.setHandler([](const HttpTestServer::Request &request) {
        return HttpTestServer::Reply { 200,
            HttpTestServer::translationReply(QStringLiteral("译:") + sentText(request)), 0 };
    });
    WindowFixture fixture;
    MainWindow *w = fixture.window;
    w->translationWorker().setDefaultEndpoint(QStringLiteral("127.0.0.1"), server.port());
    w->translationWorker().setPauseAfterRequest(0);
    w->findChild<QComboBox *>(QStringLiteral("modeBox"))->setCurrentIndex(1);
    w->action("speakAct")->trigger();
    // Headphones: every sentence counts, however soon after the voice it comes.
    w->action("listenAct")->trigger();
    auto *interpreter = w->findChild<Interpreter *>();

    QElapsedTimer clock;
    clock.start();
    QHash<quint64, qint64> arrivedAt; // item id -> ns, for those with nothing ahead
    std::vector<double> latencies;
    int started = 0;
    int queuedBehind = 0;
    QObject::connect(interpreter, &Interpreter::queued, [&](quint64, quint64 itemId, int ahead) {
        if (ahead == 0)
            arrivedAt.insert(itemId, clock.nsecsElapsed());
        else
            ++queuedBehind;
    });
    QObject::connect(interpreter, &Interpreter::started, [&](quint64, quint64 itemId) {
        ++started;
        if (arrivedAt.contains(itemId))
            latencies.push_back((clock.nsecsElapsed() - arrivedAt.take(itemId)) / 1e6);
    });

    for (int round = 0; round < rounds; ++round) {
        for (const char *direction : { "langCNAct", "langWWAct" }) {
            w->action(direction)->trigger();
            w->action("newAct")->trigger();
            const int before = started;
            w->action("runAct")->trigger();
            if (!QTest::qWaitFor(
                    [&] { return started - before == sentencesPerTranscript && !interpreter->isSpeaking(); },
                    60000))
                qFatal("%d of %d translations spoken", started - before, sentencesPerTranscript);
            w->action("stopAct")->trigger();
        }
    }
    if (latencies.empty())
        qFatal("no translation found the queue empty");

    std::printf("Interpreter mode, %d transcripts of %d sentences (stand-in player, loopback server)\n",
        rounds * 2, sentencesPerTranscript);
    std::printf("translations with nothing queued before them: %zu (%d found a queue)\n", latencies.size(),
        queuedBehind);
    std::printf(
        "%-52s %8.2f ms\n", "arrival to player started, median (target 100)", percentile(latencies, 0.5));
    std::printf("%-52s %8.2f ms\n", "arrival to player started, 90th percentile", percentile(latencies, 0.9));
    std::printf("%-52s %8.2f ms\n", "arrival to player started, worst", percentile(latencies, 1.0));
    return 0;
}
