#include "translationrouter.h"

#include "app/appstate.h"
#include "documents/documentmodel.h"
#include "translation/plcthread.h"

TranslationRouter::TranslationRouter(PlcThread &worker)
    : worker(worker)
{ }

void TranslationRouter::queueNew(DocumentModel *document, quint64 itemId)
{
    const int row = document ? document->rowOf(itemId) : -1;
    if (row < 0)
        return;
    document->markQueued(itemId);
    worker.enqueue(document->at(row).source, document->documentId(), itemId);
}

void TranslationRouter::queueAgain(DocumentModel *document, int row)
{
    if (!document || row < 0 || row >= document->count())
        return;
    const DocumentModel::Item &item = document->at(row);
    document->markQueued(item.id);
    worker.enqueueRow(row, item.source, document->documentId(), item.id);
}

void TranslationRouter::deliver()
{
    TranslationAppendResult first;
    while (worker.takeAppendResult(&first)) {
        DocumentModel *document = DocumentModel::find(first.documentId);
        if (!document || !document->applyTranslation(first.itemId, first.text, true, first.ok, first.failure))
            continue;
        if (AppState::textMode == 0)
            document->appendRunningTranslation(DocumentModel::oneLine(first.text) + AppState::sentenceSeparator);
        if (first.ok && firstLanded)
            firstLanded(document, first.itemId);
    }
    TranslationRowResult again;
    while (worker.takeRowResult(&again)) {
        if (DocumentModel *document = DocumentModel::find(again.documentId))
            document->applyTranslation(again.itemId, again.text, false, again.ok, again.failure);
    }
}
