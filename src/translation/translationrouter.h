#pragma once

#include <QHash>
#include <QObject>
#include <QPair>
#include <functional>

class DocumentModel;
class PlcThread;

// Between documents and the translation worker: queues an item of a document
// and brings each result back to that item, wherever it stands by then. A
// result whose item or document is gone is dropped. It counts the lines of
// the current batch (from the first line queued until none is outstanding)
// for the progress display.
class TranslationRouter : public QObject
{
    Q_OBJECT

public:
    explicit TranslationRouter(PlcThread &worker);

    // A recognised sentence, whose translation is its first.
    void queueNew(DocumentModel *document, quint64 itemId);
    // A re-translation of the item at row.
    void queueAgain(DocumentModel *document, int row);

    // Applies every result the worker has finished so far.
    void deliver();

    int done() const { return doneCount; }
    int total() const { return totalCount; }

    // Told of each new sentence's translation that landed (not of failures).
    void setFirstTranslationLanded(std::function<void(DocumentModel *, quint64 itemId)> callback)
    {
        firstLanded = std::move(callback);
    }

public slots:
    // Queues every failed item of the document again; how many.
    int retryFailed(DocumentModel *document);
    // Takes the document's lines out of the queue, drops the one in flight,
    // and puts its pending items back as they were; how many items.
    int cancel(DocumentModel *document);

signals:
    // After each line queued, result applied or cancel; (0, 0) once the batch is over.
    void progressChanged(int done, int total);
private:
    using Line = QPair<quint64, quint64>; // document id, item id
    void queued(const Line &line);
    void finished(const Line &line);
    void endBatchIfDone();

    PlcThread &worker;
    QHash<Line, int> outstanding; // lines queued here whose results have not been applied
    int doneCount = 0;
    int totalCount = 0;
    std::function<void(DocumentModel *, quint64)> firstLanded;
};
