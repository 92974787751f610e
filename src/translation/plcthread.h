#pragma once

#include "translationrequest.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>
#include <atomic>

class QNetworkReply;

// A result goes to the item it was asked for, wherever that item stands by then.
struct TranslationAppendResult
{
    quint64 documentId = 0;
    QString text;
    quint64 itemId = 0;
    bool ok = true;
    QString failure; // why, when not ok
};

struct TranslationRowResult
{
    quint64 documentId = 0;
    int row = -1;
    QString text;
    quint64 itemId = 0;
    bool ok = true;
    QString failure;
};

// Translates queued request lines one at a time on its own thread and hands the
// results back through two lists and posted TranslationEvents. It knows request
// lines and opaque document and item ids, never documents or widgets.
class PlcThread : public QThread
{
    Q_OBJECT

public:
    PlcThread();
    ~PlcThread() override;

    void startTranslating(QObject *receiver);

    // A request line, untagged or tagged with "@@%04d".
    void enqueue(const QString &line, quint64 documentId, quint64 itemId = 0);
    // Rows that four digits cannot hold travel beside the text instead of in a tag;
    // row -1 means untagged, as with "@@-001".
    void enqueueRow(int row, const QString &text, quint64 documentId, quint64 itemId = 0);

    // Forgets a document's queued lines and results not yet taken; the line in
    // flight, if it is the document's, is aborted and gives no result. No result
    // for the document's earlier lines is taken after this returns.
    void cancel(quint64 documentId);

    bool takeAppendResult(TranslationAppendResult *out);
    bool takeRowResult(TranslationRowResult *out);
    int pendingCount() const;

    void setHosts(const QString &hostWW, const QString &hostCN);
    void setRecognitionLanguage(int language);
    void setDefaultEndpoint(const QString &host, int port);
    void setRequestTimeout(int ms);
    void setPauseAfterRequest(int ms);

    // Row of a request line's tag, or -1 when untagged; text receives the sentence.
    static int parseRowTag(const QString &line, QString *text);
    static QByteArray percentEncodeQuery(const QString &text);

protected:
    void run() override;

private:
    struct QueuedLine
    {
        QString line;
        quint64 documentId = 0;
        quint64 itemId = 0;
        bool rowBeside = false;
        int row = -1;
    };

    void append(const QueuedLine &item);
    void translate(const QueuedLine &item, const TranslationRequest::Target &requestTarget, int timeoutMs);
    void pauseAfterRequest();
    void postAppendResult(const TranslationAppendResult &result);
    void postRowResult(const TranslationRowResult &result);

    QObject *receiver = nullptr;
    mutable QMutex mutex;
    QWaitCondition wakeUp;
    std::atomic<bool> quit { false };
    QList<QueuedLine> translationQueue;
    QList<TranslationAppendResult> appendResults;
    QList<TranslationRowResult> rowResults;
    TranslationRequest::Target target;
    int requestTimeout = 30000;
    int pauseMs = 500; // after each request, so that a server is not flooded
    QNetworkReply *inFlight = nullptr;
    quint64 busyDocument = 0; // the document of the line being translated
    bool busyCancelled = false; // its result goes nowhere
};
