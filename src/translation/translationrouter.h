#pragma once

#include <QtGlobal>
#include <functional>

class DocumentModel;
class PlcThread;

// Between documents and the translation worker: queues an item of a document
// and brings each result back to that item, wherever it stands by then. A
// result whose item or document is gone is dropped.
class TranslationRouter
{
public:
    explicit TranslationRouter(PlcThread &worker);

    // A recognised sentence, whose translation is its first.
    void queueNew(DocumentModel *document, quint64 itemId);
    // A re-translation of the item at row.
    void queueAgain(DocumentModel *document, int row);

    // Applies every result the worker has finished so far.
    void deliver();

    // Told of each new sentence's translation that landed (not of failures).
    void setFirstTranslationLanded(std::function<void(DocumentModel *, quint64 itemId)> callback)
    {
        firstLanded = std::move(callback);
    }

private:
    PlcThread &worker;
    std::function<void(DocumentModel *, quint64)> firstLanded;
};
