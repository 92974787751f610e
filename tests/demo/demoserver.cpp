// A translation server for demonstrations and screenshots: it answers the
// program's requests on 127.0.0.1 with the matching line of the other demo
// transcript, so that recorded demo speech gets a real-looking translation.
// Usage: tolvane_demo_server [port] [--fail-every N] [--delay MS]; with
// --fail-every every Nth request gets HTTP 503, to show failed rows.
#include "httptestserver.h"
#include "senttext.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QTextStream>

namespace {
QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read %s", qPrintable(path));
    QStringList lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            lines << QString::fromUtf8(line.trimmed());
    }
    return lines;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString dataDir = QCoreApplication::applicationDirPath() + QStringLiteral("/data");
    const QStringList chinese = readLines(dataDir + QStringLiteral("/transcript_cn.txt"));
    const QStringList uyghur = readLines(dataDir + QStringLiteral("/transcript_ug.txt"));
    QHash<QString, QString> dictionary;
    for (int i = 0; i < qMin(chinese.size(), uyghur.size()); ++i) {
        dictionary.insert(chinese.at(i), uyghur.at(i));
        dictionary.insert(uyghur.at(i), chinese.at(i));
    }

    const QStringList arguments = app.arguments();
    auto option = [&arguments](const QString &name, int otherwise) {
        const int at = arguments.indexOf(name);
        return at > 0 && at + 1 < arguments.size() ? arguments.at(at + 1).toInt() : otherwise;
    };
    const int failEvery = option(QStringLiteral("--fail-every"), 0);
    const int delayMs = option(QStringLiteral("--delay"), 150);
    const bool portGiven = arguments.size() > 1 && !arguments.at(1).startsWith(QLatin1Char('-'));
    const quint16 port = portGiven ? quint16(arguments.at(1).toUShort()) : 8888;
    HttpTestServer server(nullptr, port);
    int requests = 0;
    server.setHandler([&](const HttpTestServer::Request &request) {
        const QString sentence = sentText(request).trimmed();
        if (failEvery > 0 && ++requests % failEvery == 0)
            return HttpTestServer::Reply { 503, QByteArray(), delayMs };
        return HttpTestServer::Reply { 200,
            HttpTestServer::translationReply(dictionary.value(sentence, sentence)), delayMs };
    });
    QTextStream(stdout) << "Demo translation server on " << server.baseUrl() << Qt::endl;
    return app.exec();
}
