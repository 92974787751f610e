#include "documentmodel.h"

#include "documents/itemcolumnmodel.h"

namespace {
quint64 nextDocumentId = 1;
QHash<quint64, DocumentModel *> openDocuments;
const QString blankItem = QStringLiteral(" ");

bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case 0x000A: // LF
    case 0x000B: // VT
    case 0x000C: // FF
    case 0x000D: // CR
    case 0x0085: // NEL
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
        return true;
    default:
        return false;
    }
}
}

DocumentModel::DocumentModel(QObject *parent)
    : QObject(parent)
    , id(nextDocumentId++)
    , sourceModel(new ItemColumnModel(this, ItemColumnModel::Sources))
    , translationModel(new ItemColumnModel(this, ItemColumnModel::Translations))
{
    openDocuments.insert(id, this);
}

DocumentModel::~DocumentModel() { openDocuments.remove(id); }

DocumentModel *DocumentModel::find(quint64 documentId) { return openDocuments.value(documentId); }

QString DocumentModel::oneLine(const QString &text)
{
    const QChar *begin = text.constData();
    const QChar *end = begin + text.size();
    const QChar *c = begin;
    while (c != end && !isLineBreak(*c))
        ++c;
    if (c == end)
        return text;
    QString result;
    result.reserve(text.size());
    result.append(begin, int(c - begin));
    while (c != end) {
        if (!isLineBreak(*c)) {
            result.append(*c++);
            continue;
        }
        // CR LF is one break.
        if (*c == QLatin1Char('\r') && c + 1 != end && c[1] == QLatin1Char('\n'))
            ++c;
        ++c;
        result.append(QLatin1Char(' '));
    }
    return result;
}

int DocumentModel::rowOf(quint64 itemId) const
{
    if (indexStale)
        rebuildIndex();
    return rowById.value(itemId, -1);
}

void DocumentModel::rebuildIndex() const
{
    rowById.clear();
    rowById.reserve(items.size());
    for (int row = 0; row < items.size(); ++row)
        rowById.insert(items.at(row).id, row);
    indexStale = false;
}

QStringList DocumentModel::sources() const
{
    QStringList list;
    list.reserve(items.size());
    for (const Item &item : items)
        list.append(item.source);
    return list;
}

QStringList DocumentModel::translations() const
{
    QStringList list;
    list.reserve(translated);
    for (int row = 0; row < translated; ++row)
        list.append(items.at(row).translation);
    return list;
}

void DocumentModel::setItems(const QStringList &sources, const QStringList &translations)
{
    QVector<Item> read(sources.size());
    for (int row = 0; row < sources.size(); ++row) {
        read[row].source = sources.at(row);
        if (row < translations.size()) {
            read[row].translation = translations.at(row);
            read[row].hasTranslation = true;
        }
    }
    restoreItems(read);
}

void DocumentModel::restoreItems(const QVector<Item> &restored)
{
    sourceModel->beginReset();
    translationModel->beginReset();
    items.clear();
    items.reserve(restored.size());
    for (const Item &from : restored) {
        Item item;
        item.id = nextItemId++;
        item.source = oneLine(from.source);
        item.translation = oneLine(from.translation);
        item.hasTranslation = from.hasTranslation;
        item.state = from.hasTranslation ? Translated : NotTranslated;
        items.append(item);
    }
    translated = 0;
    growTranslated();
    provisional = false;
    indexStale = true;
    sourceModel->endReset();
    translationModel->endReset();
}

quint64 DocumentModel::insertItem(int row, const Item &model)
{
    Item item = model;
    item.id = nextItemId++;
    sourceModel->beginInsert(row, row);
    translationModel->beginInsert(row, row);
    items.insert(row, item);
    if (row == items.size() - 1 && !indexStale)
        rowById.insert(item.id, row);
    else
        indexStale = true;
    // An item without a translation inside the leading run ends it there.
    if (row <= translated)
        translated = item.hasTranslation ? translated + 1 : row;
    translationModel->endInsert();
    sourceModel->endInsert();
    growTranslated();
    return item.id;
}

quint64 DocumentModel::appendSource(const QString &text)
{
    Item item;
    item.source = oneLine(text);
    return insertItem(items.size(), item);
}

quint64 DocumentModel::insertBlank(int row)
{
    Item item;
    item.source = blankItem;
    item.translation = blankItem;
    item.hasTranslation = true;
    return insertItem(qBound(0, row, items.size()), item);
}

void DocumentModel::remove(int row)
{
    if (row < 0 || row >= items.size())
        return;
    sourceModel->beginRemove(row, row);
    translationModel->beginRemove(row, row);
    items.removeAt(row);
    indexStale = true;
    if (row == items.size())
        provisional = false;
    if (row < translated)
        --translated;
    translationModel->endRemove();
    sourceModel->endRemove();
    growTranslated();
}

// Items whose first translation came while one before them still waited join
// the leading run once the gap closes.
void DocumentModel::growTranslated()
{
    int end = translated;
    while (end < items.size() && items.at(end).hasTranslation)
        ++end;
    translated = end;
}

void DocumentModel::setSource(int row, const QString &text)
{
    if (row < 0 || row >= items.size())
        return;
    items[row].source = oneLine(text);
    sourceModel->rowChanged(row);
    emit sourceTextChanged(row);
}

void DocumentModel::setTranslation(int row, const QString &text)
{
    if (row < 0 || row >= items.size())
        return;
    items[row].translation = oneLine(text);
    translationModel->rowChanged(row);
}

void DocumentModel::showProvisional(const QString &text)
{
    if (provisional && !items.isEmpty()) {
        setSource(items.size() - 1, text);
        return;
    }
    appendSource(text);
    provisional = true;
}

quint64 DocumentModel::addFinal(const QString &text)
{
    if (provisional && !items.isEmpty()) {
        provisional = false;
        partialText.clear();
        setSource(items.size() - 1, text);
        return items.constLast().id;
    }
    return appendSource(text);
}

quint64 DocumentModel::settleProvisional()
{
    if (!provisional || items.isEmpty())
        return 0;
    provisional = false;
    if (!partialText.isEmpty()) {
        sourceText += partialText;
        partialText.clear();
    }
    return items.constLast().id;
}

void DocumentModel::markQueued(quint64 itemId)
{
    const int row = rowOf(itemId);
    if (row < 0)
        return;
    Item &item = items[row];
    if (item.pending++ == 0) {
        item.stateBefore = item.state;
        item.failureBefore = item.failure;
    }
    item.state = Queued;
    translationModel->rowChanged(row);
}

bool DocumentModel::applyTranslation(
    quint64 itemId, const QString &text, bool first, bool ok, const QString &failure)
{
    const int row = rowOf(itemId);
    if (row < 0)
        return false;
    Item &item = items[row];
    // A failed request keeps the translation the row had; a row without one
    // shows the sentence itself, marked as failed.
    if (ok)
        item.translation = oneLine(text);
    else if (!item.hasTranslation)
        item.translation = first ? oneLine(text) : item.source;
    item.failure = ok ? QString() : failure;
    // A later cancel keeps what this result brought.
    item.stateBefore = ok ? Translated : Failed;
    item.failureBefore = item.failure;
    item.pending = qMax(0, item.pending - 1);
    item.state = item.pending > 0 ? Queued : item.stateBefore;
    if (!item.hasTranslation) {
        item.hasTranslation = true;
        growTranslated();
    }
    translationModel->rowChanged(row);
    return true;
}

int DocumentModel::cancelQueued()
{
    int cancelled = 0;
    for (int row = 0; row < items.size(); ++row) {
        Item &item = items[row];
        if (item.pending == 0)
            continue;
        item.pending = 0;
        item.state = item.stateBefore;
        item.failure = item.failureBefore;
        translationModel->rowChanged(row);
        ++cancelled;
    }
    return cancelled;
}

void DocumentModel::setRunningSource(const QString &text, bool show)
{
    sourceText = text;
    if (show)
        emit runningSourceChanged();
}

void DocumentModel::setPartialSource(const QString &text) { partialText = text; }

void DocumentModel::appendRunningTranslation(const QString &piece)
{
    translationText += piece;
    emit runningTranslationChanged();
}

void DocumentModel::rebuildRunningTexts(const QString &sourceSeparator, const QString &translationSeparator)
{
    sourceText.clear();
    translationText.clear();
    for (int row = 0; row < translated; ++row) {
        sourceText += items.at(row).source + sourceSeparator;
        translationText += items.at(row).translation + translationSeparator;
    }
    emit runningSourceChanged();
    emit runningTranslationChanged();
}

void DocumentModel::setModified(bool on)
{
    if (modified == on)
        return;
    modified = on;
    emit modifiedChanged(on);
}
