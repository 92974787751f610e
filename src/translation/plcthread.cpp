#include "plcthread.h"

#include "buildconfig.h"
#include "translationevent.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <algorithm>

namespace {
const QLatin1String rowTagMark("@@");

QString failureText(QNetworkReply *reply, bool timedOut)
{
    if (timedOut)
        return PlcThread::tr("The server did not answer in time");
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400)
        return PlcThread::tr("The server answered HTTP %1").arg(status);
    if (reply->error() == QNetworkReply::ConnectionRefusedError)
        return PlcThread::tr("The server refused the connection");
    return reply->errorString();
}
}

PlcThread::PlcThread()
{
    target.defaultHost = QStringLiteral(TOLVANE_TRANSLATE_HOST);
    target.defaultPort = TOLVANE_TRANSLATE_PORT;
    target.appKey = QByteArrayLiteral(TOLVANE_TRANSLATE_APPKEY);
    target.appSecret = QByteArrayLiteral(TOLVANE_TRANSLATE_SECRET);
}

PlcThread::~PlcThread()
{
    {
        QMutexLocker locker(&mutex);
        quit = true;
        // A silent server must not hold the program's exit until the time limit.
        if (inFlight) {
            QNetworkReply *reply = inFlight;
            QMetaObject::invokeMethod(
                reply, [reply] { reply->abort(); }, Qt::QueuedConnection);
        }
        wakeUp.wakeAll();
    }
    wait();
}

void PlcThread::startTranslating(QObject *receiver)
{
    QMutexLocker locker(&mutex);
    this->receiver = receiver;
    if (!isRunning())
        start(QThread::InheritPriority);
}

void PlcThread::enqueue(const QString &line, quint64 documentId, quint64 itemId)
{
    QueuedLine item;
    item.line = line;
    item.documentId = documentId;
    item.itemId = itemId;
    append(item);
}

void PlcThread::append(const QueuedLine &item)
{
    QMutexLocker locker(&mutex);
    translationQueue.append(item);
    wakeUp.wakeAll();
}

void PlcThread::enqueueRow(int row, const QString &text, quint64 documentId, quint64 itemId)
{
    QueuedLine item;
    item.documentId = documentId;
    item.itemId = itemId;
    if (row >= 0 && row <= 9999) {
        item.line = QString::asprintf("@@%04d", row) + text;
    } else {
        item.line = text;
        item.rowBeside = true;
        item.row = row;
    }
    append(item);
}

void PlcThread::cancel(quint64 documentId)
{
    QMutexLocker locker(&mutex);
    auto ofDocument = [documentId](const auto &entry) { return entry.documentId == documentId; };
    translationQueue.erase(
        std::remove_if(translationQueue.begin(), translationQueue.end(), ofDocument), translationQueue.end());
    appendResults.erase(
        std::remove_if(appendResults.begin(), appendResults.end(), ofDocument), appendResults.end());
    rowResults.erase(std::remove_if(rowResults.begin(), rowResults.end(), ofDocument), rowResults.end());
    if (busyDocument != documentId)
        return;
    busyCancelled = true;
    // Waiting for an answer nobody will see would hold up the next document's lines.
    if (inFlight) {
        QNetworkReply *reply = inFlight;
        QMetaObject::invokeMethod(
            reply, [reply] { reply->abort(); }, Qt::QueuedConnection);
    }
}

bool PlcThread::takeAppendResult(TranslationAppendResult *out)
{
    QMutexLocker locker(&mutex);
    if (appendResults.isEmpty())
        return false;
    *out = appendResults.takeFirst();
    return true;
}

bool PlcThread::takeRowResult(TranslationRowResult *out)
{
    QMutexLocker locker(&mutex);
    if (rowResults.isEmpty())
        return false;
    *out = rowResults.takeFirst();
    return true;
}

int PlcThread::pendingCount() const
{
    QMutexLocker locker(&mutex);
    return translationQueue.size();
}

void PlcThread::setHosts(const QString &hostWW, const QString &hostCN)
{
    QMutexLocker locker(&mutex);
    target.hostWW = hostWW;
    target.hostCN = hostCN;
}

void PlcThread::setRecognitionLanguage(int language)
{
    QMutexLocker locker(&mutex);
    target.language = language;
}

void PlcThread::setDefaultEndpoint(const QString &host, int port)
{
    QMutexLocker locker(&mutex);
    target.defaultHost = host;
    target.defaultPort = port;
}

void PlcThread::setRequestTimeout(int ms)
{
    QMutexLocker locker(&mutex);
    requestTimeout = ms;
}

void PlcThread::setPauseAfterRequest(int ms)
{
    QMutexLocker locker(&mutex);
    pauseMs = ms;
}

int PlcThread::parseRowTag(const QString &line, QString *text)
{
    if (!line.startsWith(rowTagMark)) {
        *text = line;
        return -1;
    }
    *text = line.mid(6);
    return line.mid(2, 4).toInt();
}

QByteArray PlcThread::percentEncodeQuery(const QString &text)
{
    return TranslationRequest::percentEncode(text);
}

void PlcThread::run()
{
    for (;;) {
        QueuedLine item;
        TranslationRequest::Target requestTarget;
        int timeoutMs = 0;
        {
            QMutexLocker locker(&mutex);
            while (translationQueue.isEmpty() && !quit)
                wakeUp.wait(&mutex);
            if (quit)
                return;
            item = translationQueue.takeFirst();
            busyDocument = item.documentId;
            busyCancelled = false;
            requestTarget = target;
            timeoutMs = requestTimeout;
        }
        translate(item, requestTarget, timeoutMs);
        {
            QMutexLocker locker(&mutex);
            busyDocument = 0;
        }
        pauseAfterRequest();
    }
}

void PlcThread::translate(
    const QueuedLine &item, const TranslationRequest::Target &requestTarget, int timeoutMs)
{
    QString text = item.line;
    int row = item.row;
    if (!item.rowBeside)
        row = parseRowTag(item.line, &text);

    QNetworkAccessManager manager;
    QNetworkReply *reply = TranslationRequest::send(&manager, text, requestTarget);
    QEventLoop loop;
    QTimer timeLimit;
    timeLimit.setSingleShot(true);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    bool timedOut = false;
    connect(&timeLimit, &QTimer::timeout, reply, [reply, &timedOut] {
        timedOut = true;
        reply->abort();
    });
    {
        QMutexLocker locker(&mutex);
        if (quit || busyCancelled)
            return;
        inFlight = reply;
    }
    if (!reply->isFinished()) {
        timeLimit.start(timeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    {
        QMutexLocker locker(&mutex);
        inFlight = nullptr;
        // Cut short by shutdown: nobody will apply the result.
        if (quit)
            return;
    }

    QString result;
    QString failure;
    bool ok = false;
    if (reply->error() != QNetworkReply::NoError)
        failure = failureText(reply, timedOut);
    else if (!(ok = TranslationRequest::parseReply(reply->readAll(), &result)))
        failure = tr("The reply holds no translation");
    // A failed first translation shows the sentence itself; a failed row keeps
    // its old translation, since appending would break the pairing of the lists.
    if (row == -1)
        postAppendResult({ item.documentId, (ok ? result : text).trimmed(), item.itemId, ok, failure });
    else
        postRowResult({ item.documentId, row, ok ? result.trimmed() : QString(), item.itemId, ok, failure });
}

void PlcThread::pauseAfterRequest()
{
    QMutexLocker locker(&mutex);
    const QDeadlineTimer pause(pauseMs);
    while (!quit && !pause.hasExpired())
        wakeUp.wait(&mutex, pause);
}

void PlcThread::postAppendResult(const TranslationAppendResult &result)
{
    QObject *to = nullptr;
    {
        QMutexLocker locker(&mutex);
        if (busyCancelled)
            return;
        appendResults.append(result);
        to = receiver;
    }
    if (to)
        QCoreApplication::postEvent(to, new TranslationEvent(TranslationEvent::AppendType));
}

void PlcThread::postRowResult(const TranslationRowResult &result)
{
    QObject *to = nullptr;
    {
        QMutexLocker locker(&mutex);
        if (busyCancelled)
            return;
        rowResults.append(result);
        to = receiver;
    }
    if (to)
        QCoreApplication::postEvent(to, new TranslationEvent(TranslationEvent::RowType));
}
