#include "itemcolumnmodel.h"

#include "documents/documentmodel.h"

ItemColumnModel::ItemColumnModel(DocumentModel *document, Column column)
    : QAbstractListModel(document)
    , document(document)
    , side(column)
{ }

QStringList ItemColumnModel::stringList() const
{
    return side == Sources ? document->sources() : document->translations();
}

const QString &ItemColumnModel::textAt(int row) const
{
    const DocumentModel::Item &item = document->at(row);
    return side == Sources ? item.source : item.translation;
}

int ItemColumnModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : document->count();
}

QVariant ItemColumnModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const DocumentModel::Item &item = document->at(index.row());
    if (side == Sources)
        return role == Qt::DisplayRole || role == Qt::EditRole ? QVariant(item.source) : QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return item.hasTranslation ? QVariant(item.translation) : QVariant();
    case StateRole:
        return int(item.state);
    case Qt::ToolTipRole:
        if (item.state == DocumentModel::Failed)
            return tr("Translation failed: %1").arg(item.failure);
        if (item.state == DocumentModel::Queued)
            return tr("Waiting for the translation server");
        return QVariant();
    default:
        return QVariant();
    }
}

bool ItemColumnModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::EditRole)
        return false;
    const QString text = DocumentModel::oneLine(value.toString());
    if (data(index, role).toString() == text)
        return true;
    if (side == Sources)
        document->setSource(index.row(), text);
    else
        document->setTranslation(index.row(), text);
    // Edits made in place are the operator's words.
    document->setModified(true);
    return true;
}

Qt::ItemFlags ItemColumnModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (side == Translations && index.row() < rowCount() && !document->at(index.row()).hasTranslation)
        return flags;
    return flags | Qt::ItemIsEditable;
}

void ItemColumnModel::rowChanged(int row)
{
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
}
