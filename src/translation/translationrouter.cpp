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
    queued({ document->documentId(), itemId });
}

void TranslationRouter::queueAgain(DocumentModel *document, int row)
{
    if (!document || row < 0 || row >= document->count())
        return;
    const DocumentModel::Item &item = document->at(row);
    document->markQueued(item.id);
    worker.enqueueRow(row, item.source, document->documentId(), item.id);
    queued({ document->documentId(), item.id });
}

int TranslationRouter::retryFailed(DocumentModel *document)
{
    int retried = 0;
    for (int row = 0; document && row < document->count(); ++row) {
        if (document->at(row).state == DocumentModel::Failed) {
            queueAgain(document, row);
            ++retried;
        }
    }
    if (retried > 0)
        document->setModified(true);
    return retried;
}

int TranslationRouter::cancel(DocumentModel *document)
{
    if (!document)
        return 0;
    worker.cancel(document->documentId());
    for (auto line = outstanding.begin(); line != outstanding.end();) {
        if (line.key().first == document->documentId()) {
            totalCount -= line.value();
            line = outstanding.erase(line);
        } else {
            ++line;
        }
    }
    const int cancelled = document->cancelQueued();
    emit progressChanged(doneCount, totalCount);
    endBatchIfDone();
    return cancelled;
}

void TranslationRouter::deliver()
{
    TranslationAppendResult first;
    while (worker.takeAppendResult(&first)) {
        DocumentModel *document = DocumentModel::find(first.documentId);
        const bool landed
            = document && document->applyTranslation(first.itemId, first.text, true, first.ok, first.failure);
        if (landed && AppState::textMode == 0)
            document->appendRunningTranslation(DocumentModel::oneLine(first.text) + AppState::sentenceSeparator);
        finished({ first.documentId, first.itemId });
        if (landed && first.ok && firstLanded)
            firstLanded(document, first.itemId);
    }
    TranslationRowResult again;
    while (worker.takeRowResult(&again)) {
        if (DocumentModel *document = DocumentModel::find(again.documentId))
            document->applyTranslation(again.itemId, again.text, false, again.ok, again.failure);
        finished({ again.documentId, again.itemId });
    }
}

void TranslationRouter::queued(const Line &line)
{
    ++outstanding[line];
    ++totalCount;
    emit progressChanged(doneCount, totalCount);
}

// Lines queued past the router (none in the program) are not counted.
void TranslationRouter::finished(const Line &line)
{
    const auto found = outstanding.find(line);
    if (found == outstanding.end())
        return;
    if (--found.value() == 0)
        outstanding.erase(found);
    ++doneCount;
    emit progressChanged(doneCount, totalCount);
    endBatchIfDone();
}

void TranslationRouter::endBatchIfDone()
{
    if (!outstanding.isEmpty() || totalCount == 0)
        return;
    doneCount = 0;
    totalCount = 0;
    emit progressChanged(0, 0);
}
